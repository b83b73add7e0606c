// sound/: the back ends (an SDL2_mixer module, or silence) and their file search.
//
// Where the sound backend finds the game's recordings and its audio
// module, and which files it lets the audio library see.
#pragma once

#include <string>

// The file for a stem: "<stem>.wav" in the data folder beside the program,
// else in the data folder installed for it (its share folder), else
// "data/<stem>.wav" under the working directory. Empty when there is none.
std::string findSoundFile(const char* stem);

// The same search, with the program's own folder given.
std::string findSoundFileFrom(const char* stem, const std::string& programFolder);

// While muted (a resumed game playing its record again at full speed) every
// sound is skipped. Every back end has it: the audio module's loader and
// Windows' PlaySoundA through the two calls below, the silent one as nothing.
void muteSounds(bool muted);

// For a back end's platformPlaySound: true when the sound is to be skipped
// because the sounds are muted, remembering a loop to start once they are
// not, since the player would be hearing it by then.
bool skippedWhileMuted(const char* stem, int mode);

// For a back end's platformStopSound: no loop is left to start.
void forgetLoopWhileMuted();

// The whole file when it is a plain PCM WAV recording (RIFF/WAVE, 8 or 16
// bits, 1 or 2 channels) of at most MAX_SOUND_SECONDS and MAX_SOUND_BYTES,
// whole and not cut short. Empty for anything else.
const unsigned MAX_SOUND_SECONDS = 10;
const unsigned long MAX_SOUND_BYTES = 4ul << 20;
std::string checkedWavBytes(const std::string& path);

// The audio module: beside the program, else in the module folder installed
// for it. Empty when it is in neither.
std::string findSoundModule(const char* fileName);
std::string findSoundModuleFrom(const char* fileName, const std::string& programFolder);
