#include "turn/turn.h"

#include "console/sound.h"
#include "endings/endings.h"

#include <cstring>
#include <iostream>

// The line an affliction prints when its counter reaches a stage; the
// stages between say nothing.
struct StageLine {
    int stage;
    const char* text;
};

template <int N>
static void printStageLine(const StageLine (&lines)[N], int stage)
{
    for (const StageLine& line : lines) {
        if (line.stage == stage)
            std::cout << line.text;
    }
}

static const StageLine sinkingLines[] = {
    {1, "Oh no!  You have been caught in quicksand\n"},
    {2, "You are slowly being swallowed up\n"},
    {3, "You are up to your waist in quicksand\n"},
    {4, "You are up to your neck now\n"},
};

// A poisoned Marshal walks over the quicksand unharmed.
static bool sinking()
{
    return isHere(QUICKSAND) && venomFree == 1 && rabiesFree == 1;
}

// The lines typed while sinking are not turns: no clock, no afflictions,
// no spelled-out movements. Only the rope ends the trap alive.
void quicksandTrap()
{
    char line[COMMAND_SIZE];
    while (sinking()) {
        if (quicksandStage >= 5)
            endQuicksand();
        if (quicksandStage == 1 && soundOn == 'y')
            cueQuicksand();
        printStageLine(sinkingLines, quicksandStage);
        readCommandLine(line);
        if (std::strcmp(line, "throw rope") == 0 && itemLocation[ROPE] == CARRIED) {
            if (soundOn == 'y')
                cueRope();
            std::cout << "Good throw \x1e you hooked a post and pulled yourself out!\n";
            quicksandStage = 1;
            itemLocation[ROPE] = NOWHERE;
            --itemsCarried;
            return;
        }
        if (std::strcmp(line, "look") == 0 || std::strcmp(line, "l") == 0)
            std::cout << "You are sinking in quicksand, better think of something fast\n";
        ++quicksandStage;
    }
}

// Hunger and nightfall hold still while a brother faces the Marshal and while
// the snake's venom or the bread is in him.
static bool clockHeld()
{
    return desperadoHere() || quicksandStage != 1 || venomFree != 1 || breadBagState == 0;
}

static const StageLine hungerLines[] = {
    {1, "You are beginning to feel hungry\n"},
    {4, "Your stomach is growling\n"},
    {7, "A chicken fried steak would  be nice right now\n"},
    {10, "You cannot  think of anything but food now\n"},
    {13, "You are feeling very faint\n"},
};

void hungerStep()
{
    if (turnCount < 136 || hungerStage < 0 || clockHeld())
        return;
    ++hungerStage;
    if (hungerStage < 16) {
        printStageLine(hungerLines, hungerStage);
        return;
    }
    if (soundOn == 'y') {
        cueThud();
        playFallSound();
    }
    std::cout << "You have fallen on your face\n";
    endStarved();
}

static const StageLine duskLines[] = {
    {1, "The sun is beginning to set in the west\n"},
    {5, "Night is beginning to fall in Orvane City\n"},
    {9, "Twilight has taken hold\n"},
    {13, "You are finding it very difficult to see outside now\n"},
    {17, "There is an orange glow in the western sky\n"},
    {21, "Just a faint light from the horizon remains\n"},
};

// Night only falls on a Marshal who is not hungry: never yet, or fed.
void duskStep()
{
    if (turnCount < 201 || hungerStage >= 1 || clockHeld() || rabiesFree != 1)
        return;
    ++duskStage;
    if (duskStage < 25) {
        printStageLine(duskLines, duskStage);
        return;
    }
    std::cout << "It is pitch black out now\n";
    endNightfall();
}

static const StageLine venomLines[] = {
    {1, "Your leg is swelling up\n"},
    {3, "You are getting throbbing leg pains\n"},
    {5, "You are feeling delirious and weak\n"},
    {7, "You feel like your head is in a vice\n"},
    {9, "You are beginning to lose consciousness\n"},
};

void venomStep()
{
    if (venomFree != 0)
        return;
    ++venomStage;
    if (venomStage < 10) {
        printStageLine(venomLines, venomStage);
        return;
    }
    if (soundOn == 'y')
        playFallSound();
    std::cout << "You have collapsed in a heap\n";
    endPoisoned();
}

static const StageLine rabiesLines[] = {
    {1, "You are having burning leg pain\n"},
    {3, "You feel a tingling in your veins\n"},
    {5, "Your leg is getting numb\n"},
    {7, "You a finding it difficult to go on\n"},
    {9, "You are beginning to lose consciousness\n"},
};

// The rat's victim always hits a floor, even out in the street.
void rabiesStep()
{
    if (rabiesFree != 0)
        return;
    ++rabiesStage;
    if (rabiesStage < 10) {
        printStageLine(rabiesLines, rabiesStage);
        return;
    }
    if (soundOn == 'y')
        playSound("fafl", SOUND_SYNC);
    std::cout << "You have crashed to the floor\n";
    endPoisoned();
}

static const StageLine breadLines[] = {
    {1, "That bread does not agree with you\n"},
    {3, "You are experiencing stomach cramps\n"},
    {5, "You are also getting a splitting headache\n"},
    {7, "You feel like you have been run over by a stage coach\n"},
    {9, "Everything seems so far away now\n"},
};

void breadStep()
{
    if (breadBagState != 0)
        return;
    ++breadSickStage;
    if (breadSickStage < 10) {
        printStageLine(breadLines, breadSickStage);
        return;
    }
    if (soundOn == 'y')
        playFallSound();
    std::cout << "You cannot go on\n";
    endBread();
}
