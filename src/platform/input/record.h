// A game's record: its seed and every byte of input the game read, written
// as it is read, so that the game can be replayed or taken up again. The
// file is a short text header, then the input exactly as quorrell-script
// would read it.
#pragma once

#include "platform/input/input_reader.h"

// Each opener checks the file before anything is drawn and refuses it with
// one line and exit status 2.

// --record: a new record, or an old one overwritten; never another file.
void recordCreate(const char* path, unsigned seed);
// --replay: returns the recorded seed.
unsigned recordOpenForReplay(const char* path);
// --resume: refuses a record whose game has ended; returns the recorded
// seed. Input read after the replay is added to the same file.
unsigned recordOpenForResume(const char* path);

// The recorded input, as a source for the reader; 0 at its end, unless the
// game is being resumed, when the live source takes over (and what it gives
// is added to the record).
int recordReplaySource(char* buffer, int capacity);
void recordGoOnFrom(InputSource live);
// True once every recorded byte has been handed to the reader.
bool recordReplayUsedUp();

// What the game read from the player, written at once; nothing unless a
// record is being written. A word (the name) is written as a line, which is
// how the reader reads it back.
void recordKey(int key);
void recordLine(const char* line);
// The player's input has ended: the game is cut short, not over, and the
// record stays open to be resumed.
void recordEndOfInput();
