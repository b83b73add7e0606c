// The underground passages: from the trap door a loop west, south and up
// the rickety stairs to the archway by the saloon's basement, and a branch
// north, closed by the stalactites and the rock, up into the store.
#include "buildings/passages.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "endings/endings.h"
#include "buildings/buildings.h"
#include "buildings/rooms.h"

#include <iostream>
#include <iterator>

// A straight stretch walks on one code a room and runs on into the rooms at
// its ends; only the northward stretch's way back to the bend is not a step.
static_assert(WESTWARD_PASSAGE_FIRST - 1 == VAULT && WESTWARD_PASSAGE_LAST + 1 == STALACTITE_BEND);
static_assert(SOUTHWARD_PASSAGE_FIRST - 1 == SOUTH_BEND && SOUTHWARD_PASSAGE_LAST + 1 == RICKETY_STAIRS);
static_assert(NORTHWARD_PASSAGE_LAST + 1 == ROCK_ROOM);

static const char* const DAMP_PASSAGE = "You are in a damp and musty underground passageway\n";

static void describeVault()
{
    std::cout << "You are in an old underground vault\n"
              << "You see a narrow passageway\n";
    finishQuietDescription("Obvious directions are west or up\n");
}

static void vaultCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"u"})) {
        if (soundOn == 'y')
            cueStairs();
        playerLocation = GLOOMY_CHAMBER;
    } else if (commandIs(command, {"w"})) {
        playerLocation = WESTWARD_PASSAGE_FIRST;
    } else if (!refuseDirection(command, "ends")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

// The westward stretch: west leads on, east back towards the vault.
static void describeWestwardPassage()
{
    std::cout << DAMP_PASSAGE;
    finishQuietDescription("Obvious directions are east and west\n");
}

static void westwardPassageCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"}))
        ++playerLocation;
    else if (commandIs(command, {"e"}))
        --playerLocation;
    else if (!refuseDirection(command, "unsd"))
        interpretCommand(command, lastDescribedRoom);
}

static void describeStalactiteBend()
{
    std::cout << "You are near a bend in the passageway\n";
    if (stalactitesBroken == 0) {
        std::cout << "You see a dense mass of long stalactites\n";
        finishQuietDescription("Obvious directions are east and west\n");
    } else {
        std::cout << "You see a pile of broken stalactites\n";
        finishQuietDescription("Obvious directions are north, east and west\n");
    }
}

static void chopStalactites()
{
    if (itemLocation[AX] != CARRIED) {
        std::cout << "You are unable to do that\n";
        return;
    }
    playOrSay(cueChopShatter, "Chop chop chop chop!\n");
    if (stalactitesBroken == 0) {
        stalactitesBroken = 1;
        std::cout << "A passageway going north is revealed\n";
    }
}

static void stalactiteBendCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = WESTWARD_PASSAGE_LAST;
    else if (commandIs(command, {"w"}))
        playerLocation = SOUTH_BEND;
    else if (commandIs(command, {"n"}) && stalactitesBroken == 1)
        playerLocation = NORTHWARD_PASSAGE_FIRST;
    else if (refuseDirection(command, "nsdu"))
        return;
    else if (commandIs(command, {"chop stalactites", "ax stalactites", "smash stalactites", "break stalactites"}))
        chopStalactites();
    else
        interpretCommand(command, lastDescribedRoom);
}

static void describeSouthBend()
{
    std::cout << "You are at a bend in the passageway\n";
    finishQuietDescription("Obvious directions are east and south\n");
}

static void southBendCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = STALACTITE_BEND;
    else if (commandIs(command, {"s"}))
        playerLocation = SOUTHWARD_PASSAGE_FIRST;
    else if (!refuseDirection(command, "nwdu"))
        interpretCommand(command, lastDescribedRoom);
}

// The southward stretch: south leads on to the rickety stairs, north back.
static void describeSouthwardPassage()
{
    std::cout << DAMP_PASSAGE;
    finishQuietDescription("Obvious directions are north and south\n");
}

static void southwardPassageCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"s"}))
        ++playerLocation;
    else if (commandIs(command, {"n"}))
        --playerLocation;
    else if (!refuseDirection(command, "uewd"))
        interpretCommand(command, lastDescribedRoom);
}

static void describeRicketyStairs()
{
    std::cout << "You are at the end of a damp and musty underground passageway\n"
              << "There are some rickety stairs here\n";
    finishQuietDescription("Obvious directions are up and north\n");
}

static void ricketyStairsCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"u"})) {
        if (soundOn == 'y')
            cueStairs();
        playerLocation = STONE_ARCHWAY;
    } else if (commandIs(command, {"n"})) {
        playerLocation = SOUTHWARD_PASSAGE_LAST;
    } else if (!refuseDirection(command, "wsde")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

// The doubt and fear are the only warning of the drop to the south.
static void describeArchway()
{
    std::cout << "You are standing in a darkened stone archway\n"
              << "You are overcome by doubt and fear\n";
    finishQuietDescription("Obvious directions are north or south\n");
}

static void archwayCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"n"})) {
        playerLocation = SALOON_BASEMENT;
    } else if (commandIs(command, {"s"})) {
        if (soundOn == 'y')
            cueStairsFall();
        endBadFall();
    } else if (!refuseDirection(command, "wedu")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

// The northward stretch: north leads on to the rock, south back to the bend.
static void describeNorthwardPassage()
{
    std::cout << DAMP_PASSAGE;
    finishQuietDescription("Obvious directions are north and south\n");
}

static void northwardPassageCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"n"}))
        ++playerLocation;
    else if (commandIs(command, {"s"}))
        playerLocation = playerLocation == NORTHWARD_PASSAGE_FIRST ? STALACTITE_BEND : playerLocation - 1;
    else if (!refuseDirection(command, "udew"))
        interpretCommand(command, lastDescribedRoom);
}

static void describeRockRoom()
{
    std::cout << "You are at the end of the underground passageway\n";
    if (rockMoved == 0) {
        std::cout << "You see a large rock against the wall\n";
        finishQuietDescription("Obvious direction is south\n");
    } else {
        std::cout << "You see a large rock and a ramp going up\n";
        finishQuietDescription("Obvious directions are south and up\n");
    }
}

// The wall comes down into a ramp only the first time; later heaves move
// the rock and nothing else.
static void moveRock()
{
    if (itemLocation[CROWBAR] != CARRIED) {
        std::cout << "Huff puff grunt - you cannot budge it\n";
        return;
    }
    if (soundOn == 'y') {
        cueHeave();
        if (rockMoved == 0)
            playSound("cldo", SOUND_SYNC);
    } else {
        std::cout << "Grunt \x1E gasp \x1E groan!\n";
    }
    std::cout << "You moved the rock\n";
    if (rockMoved == 0)
        std::cout << "A section of wall has come down to form a ramp going up\n";
    rockMoved = 1;
}

// Up the ramp the store takes over at once. It describes this room itself
// if the Marshal comes back down, and if he leaves the store for the street
// the saloon's loop ends with it.
static void rockRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"s"})) {
        playerLocation = NORTHWARD_PASSAGE_LAST;
    } else if (commandIs(command, {"u"}) && rockMoved == 1) {
        playerLocation = STORAGE_ROOM;
        runGeneralStore();
    } else if (refuseDirection(command, "edwnu")) {
        return;
    } else if (commandIs(command, {"move rock", "use crowbar", "push rock", "slide rock"})) {
        moveRock();
    } else {
        interpretCommand(command, lastDescribedRoom);
    }
}

// A stretch of passage rooms that share their lines and their exits.
struct PassageStretch {
    RoomCode first;
    RoomCode last;
    void (*describe)();
    void (*act)(char* command, int& lastDescribedRoom);
};

static const PassageStretch passageStretches[] = {
    {VAULT, VAULT, describeVault, vaultCommand},
    {WESTWARD_PASSAGE_FIRST, WESTWARD_PASSAGE_LAST, describeWestwardPassage, westwardPassageCommand},
    {STALACTITE_BEND, STALACTITE_BEND, describeStalactiteBend, stalactiteBendCommand},
    {SOUTH_BEND, SOUTH_BEND, describeSouthBend, southBendCommand},
    {SOUTHWARD_PASSAGE_FIRST, SOUTHWARD_PASSAGE_LAST, describeSouthwardPassage, southwardPassageCommand},
    {RICKETY_STAIRS, RICKETY_STAIRS, describeRicketyStairs, ricketyStairsCommand},
    {STONE_ARCHWAY, STONE_ARCHWAY, describeArchway, archwayCommand},
    {NORTHWARD_PASSAGE_FIRST, NORTHWARD_PASSAGE_LAST, describeNorthwardPassage, northwardPassageCommand},
    {ROCK_ROOM, ROCK_ROOM, describeRockRoom, rockRoomCommand},
};

// The stretches lie in the order of their rooms, from the vault to the rock
// room, and only the saloon's passage rooms come here.
static const PassageStretch& stretchHere()
{
    const PassageStretch* stretch = passageStretches;
    while (playerLocation > stretch->last && stretch + 1 != std::end(passageStretches))
        ++stretch;
    return *stretch;
}

void describePassageRoom()
{
    stretchHere().describe();
}

void passageCommand(char* command, int& lastDescribedRoom)
{
    stretchHere().act(command, lastDescribedRoom);
}
