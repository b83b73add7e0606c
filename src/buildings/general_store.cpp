// Clem's general store: the shop, the back of the store with the iron door,
// the utility room, and behind the iron door the storage room, which is
// reached only by the ramp from the underground passage.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "endings/endings.h"
#include "buildings/passages.h"
#include "buildings/rooms.h"
#include "world/random.h"

#include <iostream>

static void describeShop(char* command)
{
    std::cout << "You are in the general store\n"
              << "You see the store counter\n";
    finishDescription("Obvious directions are east or west\n", command);
}

static void shopCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = OUTSIDE_GENERAL_STORE;
    else if (commandIs(command, {"w"}))
        playerLocation = BACK_OF_STORE;
    else if (!refuseDirection(command, "nsud"))
        interpretCommand(command, lastDescribedRoom);
}

static void describeBackOfStore(char* command)
{
    std::cout << "You are in the back of the store\n"
              << "You see a large iron door that says \"STORAGE.\"\n";
    finishDescription("Obvious directions are east or north\n", command);
}

// From this side the iron door never opens: the key does not fit, kicks
// hurt and shots come off the lock.
static void openIronDoor()
{
    if (itemLocation[KEY] == CARRIED)
        std::cout << "The door is locked and the key does not fit\n";
    else
        std::cout << "The door is locked\n";
}

static void unlockIronDoor()
{
    if (itemLocation[KEY] == CARRIED)
        std::cout << "The key does not fit\n";
    else
        std::cout << "You are unable to do that\n";
}

static void kickIronDoor()
{
    playOrSay("chop", "Ouch \x1E that hurt!\n");
}

static void shootIronDoorLock()
{
    if (itemLocation[GUN] != CARRIED) {
        std::cout << "You do not have a gun smarty!\n";
        return;
    }
    if (gunRounds < 1) {
        playOrSay(cueClick, "Click\n");
        std::cout << "No more bullets\n";
        return;
    }
    --gunRounds;
    if (soundOn == 'y') {
        cueGunshot();
        cueRicochet();
    }
    std::cout << "The shot deflected off the lock\n";
    if (drawRandom() % 4 != 0)
        return;
    playOrSay(cueThud, "Plunk!\n");
    std::cout << "Your shot deflected off the lock and -- \n"
              << "Darn it \x1E it went through your brain!\n";
    endDefeated();
}

static void backOfStoreCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = GENERAL_STORE;
    else if (commandIs(command, {"n"}))
        playerLocation = UTILITY_ROOM;
    else if (refuseDirection(command, "swud"))
        return;
    else if (commandIs(command, {"open door"}))
        openIronDoor();
    else if (commandIs(command, {"unlock door", "use key", "insert key"}))
        unlockIronDoor();
    else if (commandIs(command, {"kick door", "hit door", "punch door"}))
        kickIronDoor();
    else if (commandIs(command, {"shoot door", "shoot lock"}))
        shootIronDoorLock();
    else
        interpretCommand(command, lastDescribedRoom);
}

static void describeUtilityRoom(char* command)
{
    std::cout << "You are in a utility room\n"
              << "You see a dilapidated work table\n";
    finishDescription("Obvious direction is south\n", command);
}

static void utilityRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"s"}))
        playerLocation = BACK_OF_STORE;
    else if (!refuseDirection(command, "nweud"))
        interpretCommand(command, lastDescribedRoom);
}

// Nobody is ever placed in the storage room, so there is no encounter check.
static void describeStorageRoom(char*)
{
    std::cout << "You are in the storage room of Clem's general store\n"
              << "You see a large iron door\n"
              << "You see ugly gray walls and shelves\n";
    finishQuietDescription("Obvious direction is down\n");
}

// The saloon's loop, which runs the passage, will not describe the rock room
// again when the store hands the Marshal back to it, so the store does.
static void goDownTheRamp()
{
    playerLocation = ROCK_ROOM;
    describePassageRoom();
}

// From inside, the iron door lets the Marshal out and slams shut: it stays
// locked for anyone in the back of the store.
static void leaveThroughIronDoor()
{
    playerLocation = BACK_OF_STORE;
    playOrSay(cueDoor, "Squeak squeal screech.");
    std::cout << "It opened and slammed shut behind you\n";
}

static void storageRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"d"}))
        goDownTheRamp();
    else if (refuseDirection(command, "nweus"))
        return;
    else if (commandIs(command, {"go door", "enter door", "open door", "walk door"}))
        leaveThroughIronDoor();
    else
        interpretCommand(command, lastDescribedRoom);
}

static void describeStoreRoom(char* command)
{
    switch (playerLocation) {
    case GENERAL_STORE: describeShop(command); break;
    case BACK_OF_STORE: describeBackOfStore(command); break;
    case UTILITY_ROOM: describeUtilityRoom(command); break;
    default: describeStorageRoom(command); break;
    }
}

static void storeRoomCommand(char* command, int& lastDescribedRoom)
{
    switch (playerLocation) {
    case GENERAL_STORE: shopCommand(command, lastDescribedRoom); break;
    case BACK_OF_STORE: backOfStoreCommand(command, lastDescribedRoom); break;
    case UTILITY_ROOM: utilityRoomCommand(command, lastDescribedRoom); break;
    default: storageRoomCommand(command, lastDescribedRoom); break;
    }
}

void runGeneralStore()
{
    runBuilding(GENERAL_STORE, describeStoreRoom, storeRoomCommand);
}
