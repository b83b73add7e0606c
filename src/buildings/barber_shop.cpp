// Sam's barber shop: one room, a fat guy getting a shave and the bottle of
// snake oil medicine.
#include "buildings/buildings.h"

#include "commands/commands.h"
#include "console/sound.h"
#include "buildings/rooms.h"

#include <iostream>

static void describeBarberShop(char* command)
{
    std::cout << "You are in the barber shop\n"
              << "A fat guy is getting a shave\n";
    finishDescription("Obvious direction is west\n", command);
}

static void barberShopCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"w"}))
        playerLocation = OUTSIDE_BARBER_SHOP;
    else if (!refuseDirection(command, "neuds"))
        interpretCommand(command, lastDescribedRoom);
}

// The welcome plays to its end before the shop is described; nothing plays
// on the way out.
void runBarberShop()
{
    if (soundOn == 'y')
        playSound("hopa", SOUND_SYNC);
    runBuilding(BARBER_SHOP, describeBarberShop, barberShopCommand);
}
