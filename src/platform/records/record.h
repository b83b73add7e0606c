// A game's record: its seed and every byte of input the game read, the one
// form of a saved game on every platform. It is a short text header, then
// the input exactly as quorrell-script would read it:
//
//   Quorrell record
//   format 2
//   seed 1234
//   state open         "open " or "ended", rewritten in place
//   turn 17            ten places, rewritten in place as the turns go by
//   ...the input...
//
// Format 1 is the same without the turn's line, and is still read. These
// functions work on the bytes alone, so a record kept in a file and one kept
// in the browser's storage are read and written alike.
#pragma once

#include <cstddef>
#include <string>

struct RecordHeader {
    int format;             // 1 or 2
    unsigned seed;
    bool ended;             // the game was played to its end, or left
    int turn;               // the turns taken, as the header keeps them; -1 in format 1
    std::size_t stateAt;    // where the state's five bytes are
    std::size_t turnAt;     // where the turn's ten places are; 0 in format 1
    std::size_t inputAt;    // where the input starts
};

// False when the bytes do not start with a record's header this game reads;
// problem then says which of its lines is wrong and why ("line 2, \"format
// 3\", is no format this game reads (1 or 2)"), and is empty for bytes that
// are no record at all.
bool recordReadHeader(const std::string& bytes, RecordHeader* header, std::string* problem = nullptr);

// A record carried through a text-mode copy (an editor, a mail, a copy made
// on Windows) comes back with a byte-order mark before it, or a carriage
// return before every line feed; both are taken away again, and the bytes
// are the record as it was written. True when there was anything to undo.
bool recordUndoTextModeCopy(std::string& bytes);

// The header of a new game's record: open, at turn 0.
std::string recordNewHeader(unsigned seed);

// The words rewritten in place, of the header's fixed widths.
std::string recordStateWord(bool ended);
std::string recordTurnWord(int turn);

// The turns the record's game has taken: the header's, or for a record of
// format 1 its command lines, the lines after the name's.
int recordTurns(const std::string& bytes, const RecordHeader& header);

// The line a replay ends with when its game was put down unfinished, with
// the way to take it up ("quorrell --resume 'FILE'").
std::string recordPutDownLine(const std::string& resumeHint);

// True when the record holds input past its header.
bool recordHasInput(const std::string& bytes, const RecordHeader& header);
