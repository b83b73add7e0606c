// Taking and dropping: the Marshal's two hands and two pockets hold four
// things at most.
#include "commands/commands.h"

#include "console/sound.h"

#include <iostream>

// Every noun after the crowbar is a creature, a fixture or a brother.
const int LAST_PORTABLE_ITEM = CROWBAR;

void takeItem(int noun)
{
    if (!isHere(noun)) {
        std::cout << "There is no " << nounWords[noun] << " here Marshal " << playerName << '\n';
        return;
    }
    // Full hands are the first thing the Marshal notices, even before
    // noticing that the desk will not come along.
    if (itemsCarried >= CARRY_LIMIT) {
        std::cout << "You cannot carry anything else\n";
        return;
    }
    if (noun > LAST_PORTABLE_ITEM) {
        std::cout << "You cannot carry that Marshal " << playerName << '\n';
        return;
    }
    if (noun == MEDICINE && medicineState == -1) {
        std::cout << "Impossible - the medicine bottle is shattered\n";
        return;
    }
    if (soundOn == 'y')
        playSound("thit", SOUND_SYNC);
    itemLocation[noun] = CARRIED;
    ++itemsCarried;
    if (soundOn == 'y')
        cueTake();
    std::cout << "You now have the " << itemAdjectives[noun] << ' ' << nounWords[noun] << " Marshal "
              << playerName << '\n';
}

// The bottle is never set down gently; it stays where it broke and shows
// as shattered in the room from then on.
static void smashMedicineOnTheFloor()
{
    playOrSay(cueShatter, "Crash \x1e the medicine bottle has shattered\n");
    if (medicineState == 1)
        std::cout << "The medicine has splashed all over the place\n";
    medicineState = -1;
}

void dropItem(int noun)
{
    if (itemLocation[noun] != CARRIED) {
        std::cout << "You do not have " << nounWords[noun] << " Marshal " << playerName << '\n';
        return;
    }
    itemLocation[noun] = playerLocation;
    --itemsCarried;
    if (noun != MEDICINE && soundOn == 'y')
        cueDrop();
    switch (noun) {
    case BULLETS: std::cout << "There goes the bullet box\n"; break;
    case BEANS: std::cout << "You dropped the bean can\n"; break;
    case BREAD: std::cout << "You gave up the bread bag\n"; break;
    case MEDICINE: smashMedicineOnTheFloor(); break;
    default:
        std::cout << "Okay Marshal " << playerName << ", you no longer have the " << nounWords[noun] << '\n';
        break;
    }
}
