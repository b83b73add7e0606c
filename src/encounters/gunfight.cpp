#include "encounters/encounters.h"

#include "console/console.h"
#include "console/sound.h"
#include "endings/endings.h"
#include "turn/turn.h"
#include "world/random.h"

#include <cstring>
#include <iostream>

struct Aim {
    int brother;
    const char* lowerPrefix;
    const char* namePrefix;  // the brother's name as the interpreter hands it over
};

// Tried in this order: a bare "shoot" aims at the first brother here.
static const Aim aims[] = {
    {DEXTER, "shoot dex", "shoot Dex"},
    {CLARENCE, "shoot cla", "shoot Cla"},
    {RODNEY, "shoot rod", "shoot Rod"},
};

const int NO_TARGET = 0;

static int chooseTarget(const char* command)
{
    for (const Aim& aim : aims) {
        if (!isHere(aim.brother))
            continue;
        if (std::strncmp(command, aim.lowerPrefix, 9) == 0 || std::strncmp(command, aim.namePrefix, 9) == 0 ||
            std::strcmp(command, "shoot") == 0)
            return aim.brother;
    }
    return NO_TARGET;
}

// Returns only when brothers are still alive.
static void killBrother(int brother)
{
    itemLocation[brother] = NOWHERE;
    --desperadosLeft;
    if (desperadosLeft == 0)
        endVictory();
}

// The second clip of a fight finishes whichever brother it strikes.
static void finishWoundedBrother(int brother)
{
    if (soundOn == 'y') {
        delayMs(1000);
        playFallSound();
    }
    std::cout << "You wasted the skunk, he is toast\n";
    delayMs(1000);
    if (soundOn == 'y')
        cueAfterKill();
    killBrother(brother);
}

enum ShotResult { BROTHER_KILLED, BROTHER_STANDING };

static ShotResult fireAt(int target, int& clips)
{
    --gunRounds;
    playOrSay(cueGunshot, "Bang\n");
    delayMs(200);
    int roll = drawRandom() % 5;
    if (roll == 4) {
        if (soundOn == 'y')
            cueDesperadoDown();
        std::cout << "Fantastic!  You blasted the sucker away\n";
        killBrother(target);
        return BROTHER_KILLED;
    }
    if (roll < 2) {
        std::cout << "You missed\n";
        return BROTHER_STANDING;
    }
    if (soundOn == 'y')
        cueWounded();
    ++clips;
    if (clips == 1) {
        std::cout << "Good shot - you clipped him\n";
        return BROTHER_STANDING;
    }
    std::cout << "You nailed the dirtbag again\n";
    finishWoundedBrother(target);
    return BROTHER_KILLED;
}

// The brother always fires back; he cannot miss a Marshal who did not aim at
// him or could not fire.
static void returnFire(bool certainHit)
{
    delayMs(1000);
    playOrSay("gus2", "Bang\n");
    delayMs(200);
    int roll = drawRandom() % 4;
    if (roll != 0 && !certainHit) {
        std::cout << "He missed you\n";
        return;
    }
    if (soundOn == 'y') {
        cueThud();
        delayMs(1000);
        playFallSound();
    }
    std::cout << "Oh no - he blew your head off!\n";
    endDefeated();
}

// After the opening shot a bare "shoot" does not say at whom.
static void readNextShot(char* command)
{
    readCommand(command);
    while (std::strcmp(command, "shoot") == 0) {
        std::cout << "You must use two words\n";
        readCommand(command);
    }
}

void gunfight(char* command)
{
    int clips = 0;
    bool unarmed = false;
    for (;;) {
        int target = chooseTarget(command);
        if (target != NO_TARGET) {
            if (itemLocation[GUN] == CARRIED && gunRounds >= 1) {
                if (fireAt(target, clips) == BROTHER_KILLED)
                    return;
            } else if (itemLocation[GUN] == CARRIED) {
                if (soundOn == 'y')
                    cueClick();
                std::cout << "Click- no bullets\n";
                unarmed = true;
            } else {
                std::cout << "No gun buster\n";
                unarmed = true;
            }
        }
        returnFire(target == NO_TARGET || unarmed);
        readNextShot(command);
    }
}
