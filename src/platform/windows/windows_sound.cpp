// Sound on Windows through the multimedia library's PlaySoundA, which plays
// one sound at a time: starting a sound cuts off the one playing, a loop
// included, and a call without a file silences it.
#include "platform/platform.h"
#include "platform/sound/sound_files.h"

#include <iostream>
#include <string>

#include <windows.h>
#include <mmsystem.h>

// The flags spelled out as the numbers the game has always passed:
// SND_FILENAME to play to the end, SND_FILENAME | SND_ASYNC | SND_LOOP to
// repeat in the background. The default sound is not suppressed, so a
// missing recording is heard as the system's default sound.
const DWORD PLAY_TO_END = 0x20000;
const DWORD PLAY_IN_A_LOOP = 0x20009;

static_assert(PLAY_TO_END == SND_FILENAME, "play to the end: a file name, synchronously");
static_assert(PLAY_IN_A_LOOP == (SND_FILENAME | SND_ASYNC | SND_LOOP), "loop: a file name, in the background");

void platformPlaySound(const char* stem, int mode)
{
    // What the game printed before the sound belongs on the screen while it
    // plays.
    std::cout.flush();
    if (skippedWhileMuted(stem, mode))
        return;
    std::string path = findSoundFile(stem);
    // Not found anywhere: the working directory's name is still passed, and
    // Windows plays its default sound in place of the recording.
    if (path.empty())
        path = std::string("data\\") + stem + ".wav";
    PlaySoundA(path.c_str(), nullptr, mode == SOUND_LOOP ? PLAY_IN_A_LOOP : PLAY_TO_END);
}

void platformStopSound()
{
    forgetLoopWhileMuted();
    PlaySoundA(nullptr, nullptr, 0);
}
