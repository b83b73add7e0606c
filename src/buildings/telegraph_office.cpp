// The Western Onion telegraph office: one dusty room with the telegram, and
// the telegraph clicking away for as long as the Marshal is inside.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "buildings/rooms.h"

#include <iostream>

static void describeTelegraphOffice(char* command)
{
    std::cout << "You are in the telegraph office\n"
              << "You see lots of dust and cobwebs\n";
    finishDescription("Obvious direction is west\n", command);
}

// The clicking is stopped on the way out only while the sound is on; with the
// sound off it has stopped already, when the Marshal switched it off.
static void telegraphOfficeCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"})) {
        if (soundOn == 'y')
            stopSound();
        playerLocation = OUTSIDE_TELEGRAPH_OFFICE;
    } else if (!refuseDirection(command, "nedus")) {
        interpretCommand(command, lastDescribedRoom);
    }
}

void runTelegraphOffice()
{
    if (soundOn == 'y')
        playSound("teof", SOUND_LOOP);
    runBuilding(TELEGRAPH_OFFICE, describeTelegraphOffice, telegraphOfficeCommand);
}
