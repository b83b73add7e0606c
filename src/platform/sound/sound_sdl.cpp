// The audio module: sound through SDL2_mixer, built as a library of its own
// that the game loads on its first sound. Audio is opened once and stays
// open; the mixer has one channel, so a new sound cuts off the one playing,
// a loop included.
#include "platform/platform.h"
#include "platform/sound/sound_module.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <cstdlib>
#include <type_traits>
#include <vector>

#define ENTRY_POINT extern "C" __attribute__((visibility("default")))

// Every sound decoded, given back when the game ends.
static std::vector<Mix_Chunk*> decodedSounds;

static void discardLogMessage(void*, int, SDL_LogPriority, const char*)
{
}

// The mixer's thread must not be playing while the process is taken down.
// The decoded sounds go back too, so that a leak checker sees none.
static void closeAudio()
{
    Mix_HaltChannel(-1);
    for (Mix_Chunk* sound : decodedSounds)
        Mix_FreeChunk(sound);
    decodedSounds.clear();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

ENTRY_POINT int quorrellSoundOpen()
{
    // Left to itself SDL takes over SIGINT and SIGTERM, and the game would
    // no longer end when told to.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_LogSetOutputFunction(discardLogMessage, nullptr);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0;
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    Mix_AllocateChannels(1);
    std::atexit(closeAudio);
    return 1;
}

// The bytes start with RIFF and WAVE, which keeps the mixer on SDL's own
// WAV reader and away from its music decoders.
ENTRY_POINT void* quorrellSoundDecode(const void* wav, unsigned long size)
{
    SDL_RWops* bytes = SDL_RWFromConstMem(wav, static_cast<int>(size));
    if (!bytes)
        return nullptr;
    Mix_Chunk* sound = Mix_LoadWAV_RW(bytes, 1);
    if (sound)
        decodedSounds.push_back(sound);
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

ENTRY_POINT void quorrellSoundPlay(void* decoded, int mode)
{
    Mix_Chunk* sound = static_cast<Mix_Chunk*>(decoded);
    if (Mix_PlayChannel(0, sound, mode == SOUND_LOOP ? -1 : 0) < 0 || mode == SOUND_LOOP)
        return;
    waitUntilPlayed(sound);
}

ENTRY_POINT void quorrellSoundStop()
{
    Mix_HaltChannel(0);
}

// The loader finds the entry points by name and calls them with the types
// it knows them by.
static_assert(std::is_same<decltype(quorrellSoundOpen), SoundOpen>::value, QUORRELL_SOUND_OPEN);
static_assert(std::is_same<decltype(quorrellSoundDecode), SoundDecode>::value, QUORRELL_SOUND_DECODE);
static_assert(std::is_same<decltype(quorrellSoundPlay), SoundPlay>::value, QUORRELL_SOUND_PLAY);
static_assert(std::is_same<decltype(quorrellSoundStop), SoundStop>::value, QUORRELL_SOUND_STOP);
