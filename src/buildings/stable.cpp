// The Crazy Horse Stable and the enclosed field behind it, with the horses.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "buildings/rooms.h"

#include <iostream>

static void describeStableRoom(char* command)
{
    if (playerLocation == STABLE) {
        std::cout << "You are in the stable\n"
                  << "There is a tremendous stench of you know what\n"
                  << "You see horses all around\n";
        finishDescription("Obvious directions are east or west\n", command);
    } else {
        std::cout << "You are in an enclosed field\n"
                  << "You see a flat open area\n";
        finishDescription("Obvious direction is west\n", command);
    }
}

static void stableCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"}))
        playerLocation = OUTSIDE_STABLE;
    else if (commandIs(command, {"e"}))
        playerLocation = ENCLOSED_FIELD;
    else if (!refuseDirection(command, "nsud"))
        interpretCommand(command, lastDescribedRoom);
}

static void fieldCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"}))
        playerLocation = STABLE;
    else if (!refuseDirection(command, "nsude"))
        interpretCommand(command, lastDescribedRoom);
}

static void stableRoomCommand(char* command, int& lastDescribedRoom)
{
    if (playerLocation == STABLE)
        stableCommand(command, lastDescribedRoom);
    else
        fieldCommand(command, lastDescribedRoom);
}

// The stable and the field take their turns in one pass, the stable's
// first. The common pass does the same: a step that crosses to the other
// room is followed by that room's description and its read, whichever loop
// runs it, and no step ever moves the Marshal anywhere but the other room or
// the street.
void runStable()
{
    if (soundOn == 'y')
        playSound("intr", SOUND_SYNC);
    runBuilding(STABLE, describeStableRoom, stableRoomCommand);
}
