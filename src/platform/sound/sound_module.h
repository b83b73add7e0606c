// The audio module's entry points. The game opens the module with dlopen on
// its first sound and finds these by name, so the program itself links no
// audio library and a player who keeps the sound off never loads one.
#pragma once

#define QUORRELL_SOUND_OPEN "quorrellSoundOpen"
#define QUORRELL_SOUND_DECODE "quorrellSoundDecode"
#define QUORRELL_SOUND_PLAY "quorrellSoundPlay"
#define QUORRELL_SOUND_STOP "quorrellSoundStop"

extern "C" {

// Opens audio for the whole game; 0 when there is none to open.
typedef int SoundOpen();

// Decodes a whole WAV file already checked to be one; null when it cannot.
typedef void* SoundDecode(const void* wav, unsigned long size);

// Plays a decoded sound in one of the platform's modes, SOUND_SYNC waiting
// until it has been heard to the end.
typedef void SoundPlay(void* sound, int mode);

// Stops whatever is playing.
typedef void SoundStop();
}
