// Sound through SDL2_mixer. Audio is opened on the first sound and stays
// open; the mixer has one channel, so a new sound cuts off the one playing,
// a loop included. Whatever goes wrong (no sound card, no data folder, a bad
// file) costs one silent attempt and the game plays on without that sound.
#include "platform.h"
#include "sound_files.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>

enum AudioState { AUDIO_UNTRIED, AUDIO_OPEN, AUDIO_UNAVAILABLE };

static AudioState audioState = AUDIO_UNTRIED;

// Decoded sounds by stem, kept for the whole game. A null entry is a file
// that could not be found or decoded, so it is not tried again.
static std::map<std::string, Mix_Chunk*> decodedSounds;

static void discardLogMessage(void*, int, SDL_LogPriority, const char*)
{
}

// The mixer's thread must not be playing while the process is taken down.
// The decoded sounds go back too, so that a leak checker sees none.
static void closeAudio()
{
    Mix_HaltChannel(-1);
    for (auto& sound : decodedSounds) {
        if (sound.second)
            Mix_FreeChunk(sound.second);
    }
    decodedSounds.clear();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

static bool openAudio()
{
    // Left to itself SDL takes over SIGINT and SIGTERM, and the game would
    // no longer end when told to.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_LogSetOutputFunction(discardLogMessage, nullptr);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    return true;
}

// On a machine without a sound card the audio libraries write their
// complaints to standard error, over the game's screen; while audio is
// being opened they write to nowhere instead.
static bool openAudioQuietly()
{
    std::fflush(stderr);
    int savedError = dup(STDERR_FILENO);
    int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere >= 0) {
        dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }
    bool opened = openAudio();
    std::fflush(stderr);
    if (savedError >= 0) {
        dup2(savedError, STDERR_FILENO);
        close(savedError);
    }
    return opened;
}

static bool audioReady()
{
    if (audioState == AUDIO_UNTRIED) {
        audioState = openAudioQuietly() ? AUDIO_OPEN : AUDIO_UNAVAILABLE;
        if (audioState == AUDIO_OPEN)
            std::atexit(closeAudio);
    }
    return audioState == AUDIO_OPEN;
}

static Mix_Chunk* decodedSound(const char* stem)
{
    auto known = decodedSounds.find(stem);
    if (known != decodedSounds.end())
        return known->second;
    std::string path = findSoundFile(stem);
    Mix_Chunk* sound = path.empty() ? nullptr : Mix_LoadWAV(path.c_str());
    decodedSounds[stem] = sound;
    return sound;
}

// Sleeps through most of the sound at once, then in short naps until the
// mixer has let it go.
static void waitUntilPlayed(const Mix_Chunk* sound)
{
    int frequency = 0;
    int channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) != 0) {
        std::uint64_t bytesPerSecond =
            static_cast<std::uint64_t>(frequency) * channels * (SDL_AUDIO_BITSIZE(format) / 8);
        if (bytesPerSecond > 0)
            SDL_Delay(static_cast<Uint32>(sound->alen * 1000ull / bytesPerSecond));
    }
    while (Mix_Playing(0))
        SDL_Delay(5);
}

static bool muted = false;

void muteSounds(bool mute)
{
    muted = mute;
}

void platformPlaySound(const char* stem, int mode)
{
    // What the game printed before the sound belongs on the screen while it
    // plays.
    std::cout.flush();
    if (muted || !audioReady())
        return;
    Mix_Chunk* sound = decodedSound(stem);
    if (!sound)
        return;
    if (Mix_PlayChannel(0, sound, mode == SOUND_LOOP ? -1 : 0) < 0 || mode == SOUND_LOOP)
        return;
    waitUntilPlayed(sound);
}

void platformStopSound()
{
    if (audioState == AUDIO_OPEN)
        Mix_HaltChannel(0);
}
