#include "encounters/encounters.h"

#include "console/console.h"
#include "console/sound.h"
#include "world/random.h"

#include <cstring>
#include <iostream>

enum Trigger { FIRED, EMPTY_GUN, NO_GUN };

// Pulls the trigger at an animal: a round is spent only when one is loaded.
static Trigger pullTrigger()
{
    if (itemLocation[GUN] == CARRIED && gunRounds >= 1) {
        --gunRounds;
        if (soundOn == 'y') {
            playSound("blva", SOUND_SYNC);
            cueGunshot();
        }
        return FIRED;
    }
    if (itemLocation[GUN] == CARRIED) {
        playOrSay(cueClick, "Click\n");
        std::cout << "No bullets\n";
        return EMPTY_GUN;
    }
    std::cout << "No gun buster\n";
    return NO_GUN;
}

static void shootSnake()
{
    if (pullTrigger() != FIRED)
        return;
    if (drawRandom() % 4 != 0) {
        std::cout << "You missed\n";
        return;
    }
    playOrSay(cueSnakeKilled, "Bang\n");
    std::cout << "Good shot!  You blasted the stinking snake to bits\n";
    venomFree = 1;
    itemLocation[SNAKE] = NOWHERE;
}

// The snake gets one command: only a killing shot keeps it from striking,
// and it is gone either way.
void snakeEncounter(char* command)
{
    venomFree = 0;
    if (std::strcmp(command, "shoot snake") == 0)
        shootSnake();
    if (venomFree == 1)
        return;
    delayMs(200);
    if (soundOn == 'y')
        cueSnakeStrike();
    std::cout << "Oh no, the snake has pounced and bitten you\n"
              << "The deadly venom is rushing through your veins\n";
    itemLocation[SNAKE] = NOWHERE;
}

static void ratHit(const char* message)
{
    playOrSay("radi", "Bang\n");
    std::cout << message;
    rabiesFree = 1;
    itemLocation[RAT] = NOWHERE;
}

static void shootRat()
{
    if (pullTrigger() != FIRED) {
        rabiesFree = 0;
        return;
    }
    int roll = drawRandom() % 4;
    if (roll == 0) {
        ratHit("Nice job!  You exploded the stinking rat all over the place\n");
    } else if (roll < 3) {
        ratHit("You hit the sucker but he skittered away\n");
    } else {
        std::cout << "You missed\n";
        rabiesFree = 0;
    }
}

// A hit, even one that only drives the rat off, spares the Marshal; the rat
// leaves the game either way.
void ratEncounter(char* command)
{
    bool shooting = std::strcmp(command, "shoot rat") == 0 || std::strcmp(command, "kill rat") == 0;
    if (shooting)
        shootRat();
    if (shooting && rabiesFree == 1)
        return;
    delayMs(200);
    if (soundOn == 'y')
        playSound("rabi", SOUND_SYNC);
    std::cout << "Oh no, the rat has lunged and bitten you\n"
              << "The rabbid poison  is rushing through your veins\n";
    itemLocation[RAT] = NOWHERE;
    rabiesFree = 0;
}
