// The Marshal's office and jail: the quiet building where the game starts.
// Nobody is ever placed here, so no room runs the encounter check.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "buildings/rooms.h"

#include <iostream>

static void describeOfficeRoom(char*)
{
    switch (playerLocation) {
    case OFFICE:
        std::cout << "You are in your office\n"
                  << "You see your messy desk\n";
        finishQuietDescription("Obvious directions are east or west\n");
        break;
    case BACK_OF_OFFICE:
        std::cout << "You are at the back of your office\n"
                  << "You see a jail cell\n";
        finishQuietDescription("Obvious directions are north or east\n");
        break;
    case JAIL_CELL:
        // The cot's full stop falls after the line break and opens the next line.
        std::cout << "You are in the jail cell\n"
                  << "You see a flimsy cot\n.";
        finishQuietDescription("Obvious direction is east\n");
        break;
    default:
        std::cout << "You are in a back room\n"
                  << "You see " << (cabinetOpen ? "an open cabinet\n" : "a cabinet\n");
        finishQuietDescription("Obvious direction is south\n");
        break;
    }
}

static void openDeskDrawer()
{
    if (deskDrawerOpen == 1) {
        std::cout << "It is already open\n";
        return;
    }
    deskDrawerOpen = 1;
    if (soundOn == 'y')
        cueOpenDrawer();
    std::cout << "You got the drawer open\n"
              << "There is a " << itemAdjectives[GUN] << ' ' << nounWords[GUN] << " in there\n";
    itemLocation[GUN] = OFFICE;
}

static void openCabinet()
{
    if (cabinetOpen == 1) {
        std::cout << "It is already open\n";
        return;
    }
    cabinetOpen = 1;
    if (soundOn == 'y')
        cueOpenCabinet();
    std::cout << "Okay, it is open\n"
              << "You see a " << itemAdjectives[ROPE] << ' ' << nounWords[ROPE] << " inside\n";
    itemLocation[ROPE] = OFFICE_BACK_ROOM;
}

static void officeCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = OUTSIDE_OFFICE;
    else if (commandIs(command, {"w"}))
        playerLocation = BACK_OF_OFFICE;
    else if (refuseDirection(command, "nsdu"))
        return;
    else if (commandIs(command, {"open drawer", "pull drawer", "open desk"}))
        openDeskDrawer();
    else
        interpretCommand(command, lastDescribedRoom);
}

// "open door" reaches the door routine and can unlock the cell, while
// "open cell" only tries to walk in.
static void backOfOfficeCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = OFFICE;
    else if (commandIs(command, {"n"}))
        playerLocation = OFFICE_BACK_ROOM;
    else if (refuseDirection(command, "swdu"))
        return;
    else if (commandIs(command, {"go jail", "enter jail", "open jail", "open cell", "walk jail"})) {
        if (cellDoorState == DOOR_OPEN)
            playerLocation = JAIL_CELL;
        else
            std::cout << "The cell door is locked!\n";
    } else if (aimedAtDoor(command))
        doorCommand(command, cellDoorState);
    else
        interpretCommand(command, lastDescribedRoom);
}

static void jailCellCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = BACK_OF_OFFICE;
    else if (!refuseDirection(command, "nwdus"))
        interpretCommand(command, lastDescribedRoom);
}

static void backRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"s"}))
        playerLocation = BACK_OF_OFFICE;
    else if (refuseDirection(command, "nwdue"))
        return;
    else if (commandIs(command, {"open cabinet"}))
        openCabinet();
    else
        interpretCommand(command, lastDescribedRoom);
}

static void officeRoomCommand(char* command, int& lastDescribedRoom)
{
    switch (playerLocation) {
    case OFFICE: officeCommand(command, lastDescribedRoom); break;
    case BACK_OF_OFFICE: backOfOfficeCommand(command, lastDescribedRoom); break;
    case JAIL_CELL: jailCellCommand(command, lastDescribedRoom); break;
    default: backRoomCommand(command, lastDescribedRoom); break;
    }
}

void runOffice()
{
    runBuilding(OFFICE, describeOfficeRoom, officeRoomCommand);
}
