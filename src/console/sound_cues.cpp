#include "console/sound.h"

#include "world/random.h"
#include "world/world.h"
#include "console/console.h"

#include <iostream>

void playSound(const char* stem, int mode)
{
    platformPlaySound(stem, mode);
}

void stopSound()
{
    platformStopSound();
}

void playOrSay(void (*cue)(), const char* word)
{
    if (soundOn == 'y')
        cue();
    else
        std::cout << word;
}

void playOrSay(const char* stem, const char* word)
{
    if (soundOn == 'y')
        playSound(stem, SOUND_SYNC);
    else
        std::cout << word;
}

static void play(const char* stem)
{
    playSound(stem, SOUND_SYNC);
}

void cueIntro()        { play("intr"); play("clto"); }
void cueTake()         { play("take"); }
void cueDrop()         { play("drop"); }
void cueSwish()        { play("swis"); }
void cueHeave()        { play("grun"); play("crsl"); }
void cueRicochet()     { play("rico"); }
void cuePlug()         { play("plug"); }
void cueBoom()         { play("bubo"); }
void cueSnakeStrike()  { play("snak"); play("plug"); }
void cueGunshot()      { play("gush"); }
void cueThud()         { play("shsh"); }
void cueWounded()      { play("dewo"); }
void cueShatter()      { play("shat"); }
void cueClick()        { play("clic"); }
void cueStairs()       { play("stai"); }
void cueQuit()         { play("quit"); }
void cueLose()         { play("loen"); }
void cueWin()          { play("wien"); play("trma"); }
void cueRope()         { play("rope"); }
void cueSnakeKilled()  { play("snki"); }
void cueExit()         { play("exit"); }
void cueEat()          { play("eat"); }
void cueDrink()        { play("drin"); }
void cueOpenDrawer()   { play("opdr"); }
void cueOpenCabinet()  { play("opca"); }
void cueStairsFall()   { play("stsc"); play("stfa"); }
void cueGrunt()        { play("grun"); }
void cueQuicksand()    { play("qusa"); play("stsc"); }

void cueDoor()
{
    play("opdo");
    delayMs(500);
    play("cldo");
}

void playFallSound()
{
    play(playerLocation < FIRST_INDOOR_CODE ? "faro" : "fafl");
}

void cueDesperadoDown()
{
    play("plug");
    delayMs(1000);
    playFallSound();
    cueAfterKill();
}

// The three closing sounds come in a shuffled cycle: each once, in a random
// order, before any of them is heard again.
void cueAfterKill()
{
    static const char* const closingSounds[3] = {"scli", "tolo", "puli"};
    int pick = 0;
    bool alreadyPlayed = true;
    while (alreadyPlayed) {
        pick = drawRandom() % 3 + 1;
        alreadyPlayed = false;
        for (int slot = 0; slot < 3; ++slot) {
            if (afterKillPlayed[slot] == pick) {
                alreadyPlayed = true;
                break;
            }
            if (afterKillPlayed[slot] == 0) {
                afterKillPlayed[slot] = pick;
                break;
            }
        }
    }
    if (afterKillPlayed[2] != 0)
        afterKillPlayed[0] = afterKillPlayed[1] = afterKillPlayed[2] = 0;
    play(closingSounds[pick - 1]);
}

void cueChop()
{
    for (int round = 0; round < 5; ++round) {
        play("chop");
        delayMs(500);
    }
}

void cueChopShatter()
{
    for (int round = 0; round < 5; ++round) {
        play("chop");
        play("shat");
        delayMs(500);
    }
}
