// The High Time Saloon: the bar room, the manager's office, the basement and
// the gloomy chamber with the crate over the trap door. The same handler
// runs the underground passages below it.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "endings/endings.h"
#include "buildings/passages.h"
#include "buildings/rooms.h"
#include "world/random.h"

#include <iostream>

// The music starts afresh on every description of the bar room and plays on
// until the next sound replaces it; nothing here ever stops it.
static void describeBarRoom(char* command)
{
    if (soundOn == 'y')
        playSound("samu", SOUND_LOOP);
    std::cout << "You are in the saloon\n"
              << "It stinks of cheap cigars and unwashed cowboys\n"
              << "You see lots of guys drinking and playing cards\n";
    finishDescription("Obvious directions are east or west\n", command);
}

static void barRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"})) {
        playerLocation = OUTSIDE_SALOON;
        if (soundOn == 'y')
            playSound("sado", SOUND_SYNC);
    } else if (commandIs(command, {"e"})) {
        playerLocation = MANAGERS_OFFICE;
        if (soundOn == 'y')
            playSound("mado", SOUND_SYNC);
    } else if (!refuseDirection(command, "nsud")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

static void describeManagersOffice(char* command)
{
    std::cout << "You are in the saloon manager's office\n"
              << "You see stairs\n";
    finishDescription("Obvious directions are west or down\n", command);
}

// The stairs only kill on the way down.
static void managersOfficeCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"})) {
        playerLocation = SALOON;
        if (soundOn == 'y')
            playSound("mado", SOUND_SYNC);
    } else if (commandIs(command, {"d"})) {
        if (drawRandom() % 10 == 0)
            endStairs();
        playerLocation = SALOON_BASEMENT;
        if (soundOn == 'y')
            cueStairs();
    } else if (!refuseDirection(command, "nesu")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

static void describeBasement(char* command)
{
    std::cout << "You are in the basement of the saloon\n"
              << "You see stairs\n"
              << "You see shelves of whiskey\n";
    finishDescription("Obvious directions are north south or up\n", command);
}

static void basementCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"n"})) {
        playerLocation = GLOOMY_CHAMBER;
    } else if (commandIs(command, {"s"})) {
        playerLocation = STONE_ARCHWAY;
    } else if (commandIs(command, {"u"})) {
        playerLocation = MANAGERS_OFFICE;
        if (soundOn == 'y')
            cueStairs();
    } else if (!refuseDirection(command, "wed")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

// The trap door is not mentioned until the crate has been moved off it; the
// directions line never mentions it.
static void describeGloomyChamber(char* command)
{
    std::cout << "This is a gloomy chamber\n"
              << "You see a large wooden crate\n";
    if (trapDoorState == DOOR_LOCKED)
        std::cout << "You see a large closed trap door\n";
    else if (trapDoorState == DOOR_OPEN)
        std::cout << "You see an open trap door\n";
    finishDescription("Obvious direction is south\n", command);
}

// Before the crate has been moved there is no door to go through.
static void descendTrapDoor()
{
    if (trapDoorState == DOOR_OPEN) {
        if (soundOn == 'y')
            cueStairs();
        playerLocation = VAULT;
    } else if (trapDoorState == DOOR_LOCKED) {
        std::cout << "the trap door is locked!\n";
    } else {
        std::cout << "You cannot go that way\n";
    }
}

static void liftCrate()
{
    playOrSay(cueGrunt, "Grunt moan gasp\n");
    std::cout << "It is too heavy\n";
}

static void strikeCrate()
{
    playOrSay("chop", "Bang\n");
    std::cout << "No good, it is too solid\n";
}

// The crate uncovers the trap door the first time it moves; moving it again
// is only effort and never closes the door.
static void pushCrate()
{
    playOrSay(cueHeave, "Huff puff sigh\n");
    std::cout << "What a strain but you moved it\n";
    if (crateMoved == 0) {
        crateMoved = 1;
        trapDoorState = DOOR_LOCKED;
        std::cout << "You see a trap door\n";
    }
}

static void chopCrate()
{
    if (itemLocation[AX] != CARRIED) {
        std::cout << "You do not have an ax\n";
        return;
    }
    playOrSay(cueChop, "Chop chop chop chop!\n");
    std::cout << "No good \x1E the wood is too hard\n";
}

// A plain "d" at the locked trap door is only told it cannot go; the other
// descent words are told why. Everything else said to the door, the key or
// the lock goes to the door, found or not.
static void gloomyChamberCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"s"}))
        playerLocation = SALOON_BASEMENT;
    else if (refuseDirection(command, trapDoorState == DOOR_LOCKED ? "wenud" : "wenu"))
        return;
    else if (commandIs(command, {"go door", "enter door", "walk door", "d"}))
        descendTrapDoor();
    else if (aimedAtDoor(command))
        doorCommand(command, trapDoorState);
    else if (commandIs(command, {"lift crate", "take crate", "raise crate"}))
        liftCrate();
    else if (commandIs(command, {"hit crate", "bang crate", "slam crate"}))
        strikeCrate();
    else if (commandIs(command, {"move crate", "slide crate", "push crate"}))
        pushCrate();
    else if (commandIs(command, {"chop crate", "ax crate", "break crate"}))
        chopCrate();
    else
        interpretCommand(command, lastDescribedRoom);
}

static void describeSaloonRoom(char* command)
{
    switch (playerLocation) {
    case SALOON: describeBarRoom(command); break;
    case MANAGERS_OFFICE: describeManagersOffice(command); break;
    case SALOON_BASEMENT: describeBasement(command); break;
    case GLOOMY_CHAMBER: describeGloomyChamber(command); break;
    default: describePassageRoom(); break;
    }
}

static void saloonRoomCommand(char* command, int& lastDescribedRoom)
{
    switch (playerLocation) {
    case SALOON: barRoomCommand(command, lastDescribedRoom); break;
    case MANAGERS_OFFICE: managersOfficeCommand(command, lastDescribedRoom); break;
    case SALOON_BASEMENT: basementCommand(command, lastDescribedRoom); break;
    case GLOOMY_CHAMBER: gloomyChamberCommand(command, lastDescribedRoom); break;
    default: passageCommand(command, lastDescribedRoom); break;
    }
}

void runSaloon()
{
    if (soundOn == 'y')
        playSound("sado", SOUND_SYNC);
    runBuilding(SALOON, describeSaloonRoom, saloonRoomCommand);
}
