// The Fleabag Hotel: six rooms, the most hiding places in town (every room
// runs the encounter check), stairs that kill one descent in ten, and the
// knife in the guest room's dresser.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "endings/endings.h"
#include "buildings/rooms.h"
#include "world/random.h"

#include <iostream>

static void describeHotelRoom(char* command)
{
    switch (playerLocation) {
    case 1600:
        std::cout << "You are in the lobby of the hotel, man what a dump this is!\n"
                  << "You see the concierge station\n";
        finishDescription("Obvious directions are east or west\n", command);
        break;
    case 1601:
        std::cout << "You are at the foot of a staircase\n";
        finishDescription("Obvious directions are up or east\n", command);
        break;
    case 1602:
        std::cout << "You are at the end of a garishly decorated hallway\n"
                  << "You see stairs\n"
                  << "You see many \" DO NOT DISTURB\" signs\n";
        finishDescription("Obvious directions are west or down\n", command);
        break;
    case 1603:
        std::cout << "You are in a hallway\n"
                  << "You see an open guest room\n";
        finishDescription("Obvious directions are east or west\n", command);
        break;
    case 1604:
        // The room's first line has no line end: the bed and dresser run on.
        std::cout << "You are in a filthy guest room."
                  << "You see an unmade bed and a cheap dresser\n";
        finishDescription("Obvious direction is north\n", command);
        break;
    default:
        std::cout << "You are in a solarium\n"
                  << "You see a bench\n";
        finishDescription("Obvious direction is east\n", command);
        break;
    }
}

static void lobbyCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = 17;
    else if (commandIs(command, {"w"}))
        playerLocation = 1601;
    else if (!refuseDirection(command, "nsud"))
        interpretCommand(command, lastDescribedRoom);
}

// Going up is always safe.
static void staircaseFootCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"})) {
        playerLocation = 1600;
    } else if (commandIs(command, {"u"})) {
        playerLocation = 1602;
        if (soundOn == 'y')
            cueStairs();
    } else if (!refuseDirection(command, "swnd")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

// The stairs only kill on the way down, one time in ten.
static void goDownstairs()
{
    if (drawRandom() % 10 == 0)
        endStairs();
    playerLocation = 1601;
    if (soundOn == 'y')
        cueStairs();
}

static void upstairsHallwayCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"}))
        playerLocation = 1603;
    else if (commandIs(command, {"d"}))
        goDownstairs();
    else if (!refuseDirection(command, "senu"))
        interpretCommand(command, lastDescribedRoom);
}

// No letter leads into the guest room: only its own words do.
static void hallwayCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = 1602;
    else if (commandIs(command, {"w"}))
        playerLocation = 1605;
    else if (refuseDirection(command, "sdnu"))
        return;
    else if (commandIs(command, {"go room", "enter room"}))
        playerLocation = 1604;
    else
        interpretCommand(command, lastDescribedRoom);
}

static void openDresserDrawer()
{
    if (dresserDrawerOpen == 1) {
        std::cout << "It is already open\n";
        return;
    }
    dresserDrawerOpen = 1;
    if (soundOn == 'y')
        cueOpenDrawer();
    std::cout << "Okay you got it open\n"
              << "There is a " << itemAdjectives[KNIFE] << ' ' << nounWords[KNIFE] << " in there\n";
    itemLocation[KNIFE] = 1604;
}

static void guestRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"n"}))
        playerLocation = 1603;
    else if (refuseDirection(command, "sdwue"))
        return;
    else if (commandIs(command, {"open drawer", "pull drawer", "open dresser"}))
        openDresserDrawer();
    else
        interpretCommand(command, lastDescribedRoom);
}

static void solariumCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = 1603;
    else if (!refuseDirection(command, "sdwun"))
        interpretCommand(command, lastDescribedRoom);
}

static void hotelRoomCommand(char* command, int& lastDescribedRoom)
{
    switch (playerLocation) {
    case 1600: lobbyCommand(command, lastDescribedRoom); break;
    case 1601: staircaseFootCommand(command, lastDescribedRoom); break;
    case 1602: upstairsHallwayCommand(command, lastDescribedRoom); break;
    case 1603: hallwayCommand(command, lastDescribedRoom); break;
    case 1604: guestRoomCommand(command, lastDescribedRoom); break;
    default: solariumCommand(command, lastDescribedRoom); break;
    }
}

void runHotel()
{
    runBuilding(1600, describeHotelRoom, hotelRoomCommand);
}
