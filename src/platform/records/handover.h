// What a game started again by an undo or a redo is handed by the game
// before it: its record as it is to be played again, where it is saved, the
// steps still to redo and what the step did. A few fields of bytes, each a
// name, a length and the bytes, so that any byte of a record passes as it is.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A step taken back: its bytes, and the header's turn with it done.
struct UndoneStep {
    std::string bytes;
    int turn;
};

struct HandedOver {
    std::string said;  // what the step did
    std::string file;  // where the record is saved, when in a file
    bool saved;        // whether it is being saved at all
    std::string record;
    std::vector<UndoneStep> redo;
};

std::string writeHandedOver(const HandedOver& handed);

// One field: its name, the length of its bytes and the bytes. Taking one
// reads it at place and moves place past it; false at the end or at
// anything that is no field.
void addHandedOverField(std::string& to, const std::string& name, const std::string& bytes);
bool takeHandedOverField(const std::string& from, std::size_t& place, std::string& name, std::string& bytes);

// What was handed over; empty fields for bytes that were written by no game.
HandedOver readHandedOver(const std::string& given);
