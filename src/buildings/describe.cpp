#include "buildings/rooms.h"

#include "console/console.h"
#include "console/sound.h"

#include <iostream>

void describeItemsHere()
{
    for (int item = 0; item < ITEM_COUNT; ++item) {
        if (!isHere(item))
            continue;
        std::cout << (item == MEDICINE && medicineState == -1 ? "You see a shattered " : "You see a ")
                  << itemAdjectives[item] << ' ' << nounWords[item] << '\n';
    }
    if (isHere(RAT)) {
        // The rat's pause is kept with the sound off too.
        delayMs(2000);
        if (soundOn == 'y')
            playSound("rat", SOUND_SYNC);
    }
    for (int brother : {DEXTER, CLARENCE, RODNEY}) {
        if (!isHere(brother))
            continue;
        if (soundOn == 'y') {
            delayMs(1500);
            playSound("dela", SOUND_SYNC);
            playSound("guco", SOUND_SYNC);
        }
        std::cout << "There is " << nounWords[brother] << " Desperado smiling and pointing a gun at you\n";
    }
}
