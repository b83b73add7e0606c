// Eating and drinking: the cures for hunger, the bites and the bad bread,
// and the whiskey that finishes the Marshal off.
#include "commands/commands.h"

#include "console/sound.h"
#include "endings/endings.h"

#include <iostream>

static void chew()
{
    playOrSay(cueEat, "Chomp chomp chomp chomp chomp chomp \x1e gulp\n");
}

static void swallow()
{
    playOrSay(cueDrink, "Gulp gulp gulp gulp gulp gulp gulp gulp\n");
}

// Beans only end a hunger that has begun, and do nothing for a stomach
// already turned by the bread: eaten early they are simply gone.
static void eatBeans()
{
    if (beanCanState == 0) {
        std::cout << "The can is empty!\n";
        return;
    }
    chew();
    beanCanState = 0;
    if (hungerStage > 0 && breadBagState != 0) {
        hungerStage = -1;
        std::cout << "How delicious Marshal " << playerName << ", that hit the spot\n"
                  << "You feel like killing you some desperados!\n";
    }
}

// The bread is what makes the Marshal sick; the bag once cured says nothing.
static void eatBread()
{
    if (breadBagState == 1) {
        chew();
        std::cout << "That tasted a little weird\n";
        breadBagState = 0;
    } else if (breadBagState == 0) {
        std::cout << "The bag is empty\n";
    }
}

void eatItem(int noun)
{
    if (itemLocation[noun] != CARRIED)
        std::cout << "You do not have " << nounWords[noun] << " Marshal " << playerName << '\n';
    else if (noun == BEANS)
        eatBeans();
    else if (noun == BREAD)
        eatBread();
    else
        std::cout << "Come on Marshal " << playerName << ", stop being silly!\n";
}

// One dose cures every poison at once, and the bread sickness with the
// hunger for good; the counters of the afflictions keep their values.
static void drinkMedicine()
{
    if (medicineState == 0) {
        std::cout << "The bottle is empty\n";
        return;
    }
    swallow();
    std::cout << "Boy that tastes horrible!\n";
    medicineState = 0;
    if (venomFree == 0 || rabiesFree == 0) {
        venomFree = 1;
        rabiesFree = 1;
        std::cout << "But good move Marshal " << playerName << ", you feel much better now\n"
                  << "You feel like busting up some desperados\n";
    }
    if (breadBagState == 0) {
        breadBagState = -1;
        hungerStage = -1;
        std::cout << "Very  good, what a relief, you feel like kicking butt again\n";
    }
}

// Away from the shelves there is nothing to drink, and nothing is said.
static void drinkWhiskey()
{
    if (playerLocation != SALOON_BASEMENT)
        return;
    swallow();
    std::cout << "Oh man - that is strong stuff!\n"
              << "You are beginning to feel very dizzy\n"
              << "You are staggering around the room\n"
              << "You see pink elephants dancing on the ceiling\n";
    endDrunk();
}

void drinkItem(int noun)
{
    if (itemLocation[noun] != CARRIED && noun != WHISKEY)
        std::cout << "You do not have " << nounWords[noun] << " Marshal " << playerName << '\n';
    else if (noun == MEDICINE)
        drinkMedicine();
    else if (noun == WHISKEY)
        drinkWhiskey();
    else
        std::cout << "That is ridiculous Marshal " << playerName << ", are you delirious!\n";
}
