// Sound through the audio module, loaded on the first sound the game plays.
// A player who keeps the sound off never loads SDL and the dozens of
// libraries behind it. Whatever goes wrong (no module, no sound card, no data
// folder, a file that is no plain WAV) costs one silent attempt, and the game
// plays on without that sound.
#include "platform/platform.h"
#include "platform/sound/sound_files.h"
#include "platform/sound/sound_module.h"

#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>

// The module's file name; the build passes the one it makes.
#ifndef QUORRELL_SOUND_MODULE
#define QUORRELL_SOUND_MODULE "quorrell-sound-sdl.so"
#endif

enum AudioState { AUDIO_UNTRIED, AUDIO_OPEN, AUDIO_UNAVAILABLE };

static AudioState audioState = AUDIO_UNTRIED;
static SoundDecode* decodeSound = nullptr;
static SoundPlay* playSound = nullptr;
static SoundStop* stopSound = nullptr;

// Decoded sounds by stem, kept for the whole game. A null entry is a file
// that could not be found, checked or decoded, so it is not tried again.
static std::map<std::string, void*> decodedSounds;

template <typename Entry>
static Entry* entryPoint(void* module, const char* name)
{
    return reinterpret_cast<Entry*>(dlsym(module, name));
}

static bool loadModuleAndOpenAudio()
{
    std::string path = findSoundModule(QUORRELL_SOUND_MODULE);
    void* module = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return false;
    SoundOpen* openAudio = entryPoint<SoundOpen>(module, QUORRELL_SOUND_OPEN);
    decodeSound = entryPoint<SoundDecode>(module, QUORRELL_SOUND_DECODE);
    playSound = entryPoint<SoundPlay>(module, QUORRELL_SOUND_PLAY);
    stopSound = entryPoint<SoundStop>(module, QUORRELL_SOUND_STOP);
    // A module that failed stays loaded: its libraries may have left threads
    // or exit handlers behind that must not lose their code.
    return openAudio && decodeSound && playSound && stopSound && openAudio() != 0;
}

// On a machine without a sound card the audio libraries write their
// complaints to standard error, over the game's screen; while they are
// loaded and audio is opened they write to nowhere instead.
static bool loadQuietly()
{
    std::fflush(stderr);
    int savedError = dup(STDERR_FILENO);
    int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere >= 0) {
        dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }
    bool opened = loadModuleAndOpenAudio();
    std::fflush(stderr);
    if (savedError >= 0) {
        dup2(savedError, STDERR_FILENO);
        close(savedError);
    }
    return opened;
}

static bool audioReady()
{
    if (audioState == AUDIO_UNTRIED)
        audioState = loadQuietly() ? AUDIO_OPEN : AUDIO_UNAVAILABLE;
    return audioState == AUDIO_OPEN;
}

// A sound with no file worth playing loads nothing, so a game without its
// data folder never opens audio.
static void* decodedSound(const char* stem)
{
    auto known = decodedSounds.find(stem);
    if (known != decodedSounds.end())
        return known->second;
    std::string path = findSoundFile(stem);
    std::string wav = path.empty() ? std::string() : checkedWavBytes(path);
    if (!wav.empty() && !audioReady())
        return nullptr;
    void* sound = wav.empty() ? nullptr : decodeSound(wav.data(), wav.size());
    decodedSounds[stem] = sound;
    return sound;
}

void platformPlaySound(const char* stem, int mode)
{
    // What the game printed before the sound belongs on the screen while it
    // plays.
    std::cout.flush();
    if (skippedWhileMuted(stem, mode) || audioState == AUDIO_UNAVAILABLE)
        return;
    void* sound = decodedSound(stem);
    if (sound)
        playSound(sound, mode);
}

void platformStopSound()
{
    forgetLoopWhileMuted();
    if (audioState == AUDIO_OPEN)
        stopSound();
}
