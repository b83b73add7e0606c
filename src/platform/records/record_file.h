// Records kept in files, on the terminal and on Windows: the files the
// options name, and the games saved in a folder as they are played. Each
// opener for an option checks its file before anything is drawn, and
// refuses it with one line and exit status 2.
#pragma once

#include "platform/records/game_input.h"
#include "platform/records/record.h"

#include <string>

// Every opener refuses a symbolic link, and every record made is for the
// player alone (0600). A header that is wrong is refused naming its line.
//
// --record FILE: a new file, or an empty one, never a file that holds
// anything. The header is written and made to last at once, and a file
// refused here is left as it was found (none made, an empty one emptied).
RecordStore recordFileCreate(const char* path, unsigned seed);

// --replay FILE: the whole record.
std::string recordFileLoad(const char* path);

// The bytes of the file at path, up to where they show it is no record;
// false, with errno, when it cannot be read. Refuses nothing.
bool recordFileRead(const std::string& path, std::string& bytes);

// The header of the record at path, read without the rest of the file, and
// whether input follows it; false when the file cannot be read or is no
// record this game reads.
bool recordFileReadHeader(const std::string& path, RecordHeader* header, bool* hasInput);

// --resume FILE: the whole record, refused when its game has ended; the file
// is held for this game alone until it ends. A text-mode copy of a record is
// written back as the record it was before play goes on.
RecordStore recordFileOpenForResume(const char* path, std::string* record);

// The file of a game handed over by an undo or a redo (inputTakeUpGame),
// opened again for it, with how much of the record it holds; a store of
// nothing for a game saved in no file, or in one that cannot be opened again.
RecordStore recordFileHandedOver(const std::string& handedOver, long* storedLength);

// Closes the record, and lets go of it for another process to hold: the
// game started again in its place.
void recordFileLetGo();

// Makes the folder, for the player alone (0700): 0, or -1 with errno.
int recordFolderMake(const std::string& path);

// Gives the record being played a new name; false when it cannot have it.
bool recordFileMoveTo(const std::string& path);

// A new game's record in folder, named for the time the game started and
// made, with the folder, on the first write (mode 0700 for folders made,
// 0600 for the record).
RecordStore recordFileInFolder(const std::string& folder);

// True when another game is playing the record right now.
bool recordFileInUse(const std::string& path);

// How the player takes up the game in a file: "quorrell --resume 'FILE'".
std::string recordFileResumeHint(const std::string& path);
