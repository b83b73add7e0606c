// Where the sound backend finds the game's recordings.
#pragma once

#include <string>

// The file for a stem: "data/<stem>.wav" under the working directory when
// it can be read, else the same file in the data folder installed beside the
// program (next to it, or in its share folder). Empty when there is none.
std::string findSoundFile(const char* stem);

// The same search, with the program's own folder given.
std::string findSoundFileFrom(const char* stem, const std::string& programFolder);

// While muted (a resumed game playing its record again at full speed) every
// sound is skipped. Each sound backend has it.
void muteSounds(bool muted);
