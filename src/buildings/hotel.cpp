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
    case HOTEL_LOBBY:
        std::cout << "You are in the lobby of the hotel, man what a dump this is!\n"
                  << "You see the concierge station\n";
        finishDescription("Obvious directions are east or west\n", command);
        break;
    case STAIRCASE_FOOT:
        std::cout << "You are at the foot of a staircase\n";
        finishDescription("Obvious directions are up or east\n", command);
        break;
    case UPSTAIRS_HALLWAY:
        std::cout << "You are at the end of a garishly decorated hallway\n"
                  << "You see stairs\n"
                  << "You see many \" DO NOT DISTURB\" signs\n";
        finishDescription("Obvious directions are west or down\n", command);
        break;
    case HALLWAY:
        std::cout << "You are in a hallway\n"
                  << "You see an open guest room\n";
        finishDescription("Obvious directions are east or west\n", command);
        break;
    case GUEST_ROOM:
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
        playerLocation = OUTSIDE_HOTEL;
    else if (commandIs(command, {"w"}))
        playerLocation = STAIRCASE_FOOT;
    else if (!refuseDirection(command, "nsud"))
        interpretCommand(command, lastDescribedRoom);
}

// Going up is always safe.
static void staircaseFootCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"})) {
        playerLocation = HOTEL_LOBBY;
    } else if (commandIs(command, {"u"})) {
        playerLocation = UPSTAIRS_HALLWAY;
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
    playerLocation = STAIRCASE_FOOT;
    if (soundOn == 'y')
        cueStairs();
}

static void upstairsHallwayCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"}))
        playerLocation = HALLWAY;
    else if (commandIs(command, {"d"}))
        goDownstairs();
    else if (!refuseDirection(command, "senu"))
        interpretCommand(command, lastDescribedRoom);
}

// No letter leads into the guest room: only its own words do.
static void hallwayCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = UPSTAIRS_HALLWAY;
    else if (commandIs(command, {"w"}))
        playerLocation = SOLARIUM;
    else if (refuseDirection(command, "sdnu"))
        return;
    else if (commandIs(command, {"go room", "enter room"}))
        playerLocation = GUEST_ROOM;
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
    itemLocation[KNIFE] = GUEST_ROOM;
}

static void guestRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"n"}))
        playerLocation = HALLWAY;
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
        playerLocation = HALLWAY;
    else if (!refuseDirection(command, "sdwun"))
        interpretCommand(command, lastDescribedRoom);
}

static void hotelRoomCommand(char* command, int& lastDescribedRoom)
{
    switch (playerLocation) {
    case HOTEL_LOBBY: lobbyCommand(command, lastDescribedRoom); break;
    case STAIRCASE_FOOT: staircaseFootCommand(command, lastDescribedRoom); break;
    case UPSTAIRS_HALLWAY: upstairsHallwayCommand(command, lastDescribedRoom); break;
    case HALLWAY: hallwayCommand(command, lastDescribedRoom); break;
    case GUEST_ROOM: guestRoomCommand(command, lastDescribedRoom); break;
    default: solariumCommand(command, lastDescribedRoom); break;
    }
}

void runHotel()
{
    runBuilding(HOTEL_LOBBY, describeHotelRoom, hotelRoomCommand);
}
