// What every building room does the same way: the pass of describing,
// reading and acting, the end of a description, refused directions.
#pragma once

#include "world/world.h"

#include <initializer_list>

// Runs a building's rooms while the Marshal stays in the block of a hundred
// codes starting at blockStart. Each pass describes the room on arrival
// (describe prints its lines and may run the encounter check with the
// command buffer), reads one command and hands it to act, which tests the
// room's own commands in order and gives the rest to the interpreter.
void runBuilding(RoomCode blockStart, void (*describe)(char* command),
                 void (*act)(char* command, int& lastDescribedRoom));

// The end of a room's arrival lines: what lies here, the directions line,
// and the encounter check when the rat or a brother is in the room.
void finishDescription(const char* directions, char* command);

// The same for rooms where nobody is ever placed: no encounter check.
void finishQuietDescription(const char* directions);

// Lists the items, creatures and brothers lying where the Marshal stands.
void describeItemsHere();

bool commandIs(const char* command, std::initializer_list<const char*> words);

// A single direction letter among the refused ones is answered with
// "You cannot go that way".
bool refuseDirection(const char* command, const char* refusedLetters);

// The command's second word (after its first blank) is "door", "key" or
// "lock": it is meant for the locked door of the room.
bool aimedAtDoor(const char* command);
