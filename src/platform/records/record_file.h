// Records kept in files, on the terminal and on Windows: the files the
// options name, and the games saved in a folder as they are played. Each
// opener for an option checks its file before anything is drawn, and
// refuses it with one line and exit status 2.
#pragma once

#include "platform/records/game_input.h"

#include <string>

// --record FILE: a new file, or an empty one, never a file that holds
// anything. The header is written and made to last at once, and a file
// refused here is left as it was found (none made, an empty one emptied).
RecordStore recordFileCreate(const char* path, unsigned seed);

// --replay FILE: the whole record.
std::string recordFileLoad(const char* path);

// The bytes of the file at path, up to where they show it is no record;
// false, with errno, when it cannot be read. Refuses nothing.
bool recordFileRead(const std::string& path, std::string& bytes);

// --resume FILE: the whole record, refused when its game has ended; the file
// is held for this game alone until it ends.
RecordStore recordFileOpenForResume(const char* path, std::string* record);

// The file of a game handed over by an undo or a redo (inputTakeUpGame),
// opened again for it, with how much of the record it holds; a store of
// nothing for a game saved in no file, or in one that cannot be opened again.
RecordStore recordFileHandedOver(const std::string& handedOver, long* storedLength);

// Closes the record, and lets go of it for another process to hold: the
// game started again in its place.
void recordFileLetGo();

// A new game's record in folder, named for the time the game started and
// made, with the folder, on the first write (mode 0700 for folders made,
// 0600 for the record).
RecordStore recordFileInFolder(const std::string& folder);

// True when another game is playing the record right now.
bool recordFileInUse(const std::string& path);

// How the player takes up the game in a file: "quorrell --resume 'FILE'".
std::string recordFileResumeHint(const std::string& path);
