// The Big Bite Restaurant: the dining room, and the smoky kitchen behind it
// with its sizzling and the bread in the cupboard.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "buildings/rooms.h"

#include <iostream>

static void describeRestaurantRoom(char* command)
{
    if (playerLocation == RESTAURANT) {
        std::cout << "You are in the restaurant\n"
                  << "The air is thick with the aroma of greasy French fries\n"
                  << "You see many tables and chairs\n";
        finishDescription("Obvious directions are east or west\n", command);
    } else {
        std::cout << "You are in the smoky kitchen\n"
                  << "You see " << (cupboardOpen != 0 ? "an open cupboard\n" : "a cupboard\n");
        finishDescription("Obvious direction is east\n", command);
    }
}

// "open cupboard" means nothing in the dining room: there it goes to the
// interpreter, which knows no cupboard.
static void diningRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"})) {
        playerLocation = OUTSIDE_RESTAURANT;
    } else if (commandIs(command, {"w"})) {
        playerLocation = KITCHEN;
        if (soundOn == 'y')
            playSound("kiso", SOUND_LOOP);
    } else if (!refuseDirection(command, "nsud")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

// The bread comes into the kitchen once, with the first opening; a second
// opening does not bring it back if it has been taken away.
static void openCupboard()
{
    if (cupboardOpen == 1) {
        std::cout << "It is already open\n";
        return;
    }
    cupboardOpen = 1;
    if (soundOn == 'y')
        cueOpenCabinet();
    std::cout << "Okay, it is open\n"
              << "There is a " << itemAdjectives[BREAD] << ' ' << nounWords[BREAD] << " in there\n";
    itemLocation[BREAD] = KITCHEN;
}

// The sizzling stops on the way out only while the sound is on.
static void kitchenCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"})) {
        playerLocation = RESTAURANT;
        if (soundOn == 'y')
            stopSound();
    } else if (refuseDirection(command, "swnud")) {
        return;
    } else if (commandIs(command, {"open cupboard"})) {
        openCupboard();
    } else {
        interpretCommand(command, lastDescribedRoom);
    }
}

static void restaurantRoomCommand(char* command, int& lastDescribedRoom)
{
    if (playerLocation == RESTAURANT)
        diningRoomCommand(command, lastDescribedRoom);
    else
        kitchenCommand(command, lastDescribedRoom);
}

// The two rooms take their turns in one pass, the dining room's before the
// kitchen's. The common pass does the same: a step that crosses to the other
// room is followed by that room's description and its read, whichever loop
// runs it, and no step ever moves the Marshal anywhere but the other room or
// the street.
void runRestaurant()
{
    runBuilding(RESTAURANT, describeRestaurantRoom, restaurantRoomCommand);
}
