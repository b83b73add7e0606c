// The game's sounds. Game code asks for a named cue, or for one file by its
// stem; the platform finds and plays the file. Only playOrSay looks at
// soundOn: before any other of these, the caller tests soundOn == 'y'.
#pragma once

#include "platform/platform.h"

// Plays data/<stem>.wav in SOUND_SYNC or SOUND_LOOP mode.
void playSound(const char* stem, int mode);
void stopSound();

void cueIntro();
void cueTake();
void cueDrop();
void cueDoor();
void cueSwish();
void cueHeave();
void cueRicochet();
void cuePlug();
void cueBoom();
void cueSnakeStrike();
void cueGunshot();
void cueDesperadoDown();
void cueAfterKill();
void cueThud();
void cueWounded();
void cueShatter();
void cueClick();
void cueChop();
void cueChopShatter();
void cueStairs();
void cueQuit();
void cueLose();
void cueWin();
void cueRope();
void cueSnakeKilled();
void cueExit();
void cueEat();
void cueDrink();
void cueOpenDrawer();
void cueOpenCabinet();
void cueStairsFall();
void cueGrunt();
void cueQuicksand();

// The sound-word rule: with the sound on the cue (or the one file) is
// played, with it off its word is printed instead.
void playOrSay(void (*cue)(), const char* word);
void playOrSay(const char* stem, const char* word);

// The Marshal or a brother hitting the ground: "faro" out of doors, "fafl"
// inside a building.
void playFallSound();
