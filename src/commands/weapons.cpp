// The gun, the knife and the ax, and the plain things a Marshal can do to
// whatever is at hand: read it, open it, kick it.
#include "commands/commands.h"

#include "console/console.h"
#include "console/sound.h"
#include "endings/endings.h"

#include <iostream>

const int FULL_GUN = 6;

static void fireGun()
{
    playOrSay(cueGunshot, "Bang\n");
    --gunRounds;
}

// While the box still holds its refill, a bullet into it sets off the lot.
[[noreturn]] static void blowUpBulletBox()
{
    delayMs(200);
    playOrSay(cueBoom, "Boom!\n");
    std::cout << "The gun powder exploded!\n"
              << "Your head has been blown off\n";
    endDefeated();
}

static void shootMedicine()
{
    playOrSay(cueShatter, "Crash!\n");
    std::cout << "The medicine bottle has shattered\n";
    if (medicineState == 1)
        std::cout << "The medicine has splashed all over the place\n";
    medicineState = -1;
}

[[noreturn]] static void shootBystander()
{
    delayMs(200);
    if (soundOn == 'y')
        cueDesperadoDown();
    endMurder();
}

[[noreturn]] static void shootHorses()
{
    delayMs(200);
    if (soundOn == 'y')
        cueIntro();
    endHorses();
}

// The snake, the rat and any brother in the room never get here: the
// interpreter sends them to their fights first. Whatever else is hit, the
// round is spent.
void shootItem(int noun)
{
    if (itemLocation[GUN] != CARRIED) {
        std::cout << "You do not have a gun Marshal " << playerName << '\n';
        return;
    }
    if (!isHere(noun)) {
        std::cout << "There is no " << nounWords[noun] << " here Marshal " << playerName << '\n';
        return;
    }
    if (gunRounds < 1) {
        playOrSay(cueClick, "Click\n");
        std::cout << "You are out of bullets\n";
        return;
    }
    fireGun();
    switch (noun) {
    case BULLETS:
        if (boxHasBullets == 1)
            blowUpBulletBox();
        break;
    case MEDICINE:
        if (medicineState != -1)
            shootMedicine();
        break;
    case GUYS: case GUY: shootBystander();
    case HORSES: shootHorses();
    default: break;
    }
}

void readItem(int noun)
{
    if (!isHere(noun) && itemLocation[noun] != CARRIED)
        std::cout << "There is no " << nounWords[noun] << " here Marshal " << playerName << '\n';
    else if (noun != TELEGRAM)
        std::cout << "Stop being silly!\n";
    else {
        std::cout << "It says: Attention Marshal " << playerName << '\n';
        showTelegramHint();
    }
}

// The box holds one refill, and only once the knife has cut it open.
void loadItem(int noun)
{
    if (noun != GUN)
        std::cout << "That makes no sense!\n";
    else if (itemLocation[GUN] != CARRIED)
        std::cout << "You do not have a gun Marshal " << playerName << '\n';
    else if (itemLocation[BULLETS] != CARRIED || boxHasBullets < 1)
        std::cout << "You have no bullets\n";
    else if (bulletBoxSealed == 1)
        std::cout << "The bullet box is sealed tight\n";
    else {
        gunRounds = FULL_GUN;
        boxHasBullets = 0;
        std::cout << "Okay, your gun is loaded\n";
    }
}

static bool withinReach(int noun)
{
    if (isHere(noun) || itemLocation[noun] == CARRIED)
        return true;
    std::cout << "There is no " << nounWords[noun] << " around here Marshal " << playerName << '\n';
    return false;
}

void cutItem(int noun)
{
    if (!withinReach(noun))
        return;
    if (itemLocation[KNIFE] != CARRIED) {
        std::cout << "You do not have a knife\n";
        return;
    }
    if (noun != BULLETS) {
        std::cout << "Okay\n";
        return;
    }
    playOrSay(cueSwish, "Swish\n");
    std::cout << "The box of bullets is open\n";
    bulletBoxSealed = 0;
}

// Chopping anything here is noise and nothing more; the things an ax can
// break are answered by their rooms.
void chopItem(int noun)
{
    if (!withinReach(noun))
        return;
    if (itemLocation[AX] != CARRIED)
        std::cout << "You do not have an ax\n";
    else playOrSay(cueChop, "Chop chop chop chop chop\n");
}

// Opening is answered whether or not the thing is anywhere near.
void openItem(int noun)
{
    switch (noun) {
    case BEANS: case BREAD: case MEDICINE: std::cout << "It is already open\n"; break;
    case BULLETS:
        std::cout << (bulletBoxSealed == 1 ? "The box is sealed tight\n" : "The box is already open\n");
        break;
    default: std::cout << "You cannot do that Marshal " << playerName << '\n'; break;
    }
}

// Hitting, kicking and punching hurt only the Marshal, wherever he is.
void strikeItem(int)
{
    if (soundOn == 'y')
        playSound("chop", SOUND_SYNC);
    std::cout << "Ouch that hurt!\n";
}
