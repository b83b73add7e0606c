#include "game/game.h"

#include "buildings/buildings.h"
#include "buildings/rooms.h"
#include "commands/commands.h"
#include "encounters/encounters.h"
#include "turn/turn.h"

#include <iostream>
#include <string>

struct Building {
    RoomCode doorSquare;
    RoomCode entryRoom;
    void (*handler)();
};

// Tested in this order on every return to the street.
static const Building buildings[] = {
    {GENERAL_STORE_DOOR, GENERAL_STORE, runGeneralStore},
    {TELEGRAPH_OFFICE_DOOR, TELEGRAPH_OFFICE, runTelegraphOffice},
    {OFFICE_DOOR, OFFICE, runOffice},
    {SALOON_DOOR, SALOON, runSaloon},
    {RESTAURANT_DOOR, RESTAURANT, runRestaurant},
    {BARBER_SHOP_DOOR, BARBER_SHOP, runBarberShop},
    {HOTEL_DOOR, HOTEL_LOBBY, runHotel},
    {STABLE_DOOR, STABLE, runStable},
};

static const char* streetDescription(RoomCode square)
{
    switch (square) {
    case OUTSIDE_GENERAL_STORE: return "You are in front of Clem's General Store\n";
    case STORE_TELEGRAPH_ROAD: return "You are in the road between the general store and the Telegraph Office\n";
    case OUTSIDE_TELEGRAPH_OFFICE: return "You are standing outside the Western Onion Telegraph Office\n";
    case OUTSIDE_OFFICE: return "You are on the road outside your office\n";
    case OFFICE_SALOON_ROAD: return "You are in the road between your office and the saloon\n";
    case OUTSIDE_SALOON: return "You are in front of the High Time Saloon\n";
    case OUTSIDE_RESTAURANT: return "You are on the road outside the Big Bite Restaurant\n";
    case RESTAURANT_BARBER_ROAD: return "You are in the road between the restaurant and the barber shop\n";
    case OUTSIDE_BARBER_SHOP: return "You are standing outside Sam's Barber Shop\n";
    case OUTSIDE_HOTEL: return "You are on the road in front of the Fleabag Hotel\n";
    case HOTEL_STABLE_ROAD: return "You are in the road between the Hotel and the stable\n";
    default: return "You are in front of the Crazy Horse Stable\n";
    }
}

static void describeStreetSquare()
{
    std::cout << streetDescription(playerLocation);
    describeItemsHere();
    // Quicksand hides the way on.
    if (!isHere(QUICKSAND))
        std::cout << "Obvious directions are north, south, east and west\n";
}

// Out of town the kind of square depends only on its column; the corner
// squares beside the door squares are closed towards the town.
static void describeOutskirtsSquare()
{
    const char* description = "You are walking on the road\n";
    const char* directions = "Obvious directions are north, south, east and west\n";
    bool north = playerLocation < FIRST_TOWN_SQUARE;
    int column = playerLocation % SQUARES_PER_ROW;
    if (north && column == -4) {
        description = "You are walking through the Rubber Souls Cemetery\n";
        directions = playerLocation == CEMETERY_CORNER ? "Obvious directions are north and east\n"
                                                       : "Obvious directions are north, east and south\n";
    } else if (north && column == 0) {
        description = "You are on a flat stretch of dusty plains\n";
        directions = playerLocation == PLAINS_CORNER ? "Obvious directions are north and west\n"
                                                     : "Obvious directions are north, south and west\n";
    } else if (!north && column == 1) {
        description = "You are in a hilly and rocky area alongside the road\n";
        directions = playerLocation == HILLS_CORNER ? "Obvious directions are east and south\n"
                                                    : "Obvious directions are north, east and south\n";
    } else if (!north && column == 0) {
        description = "You are in an old abandoned silver mine\n";
        directions = playerLocation == SILVER_MINE_CORNER ? "Obvious directions are west and south\n"
                                                          : "Obvious directions are north, west and south\n";
    }
    std::cout << description;
    describeItemsHere();
    std::cout << directions;
}

void runGame()
{
    int lastDescribedRoom = NOWHERE;
    char command[COMMAND_SIZE];
    for (;;) {
        lastDescribedRoom = NOWHERE;
        for (const Building& building : buildings) {
            if (playerLocation == building.doorSquare) {
                playerLocation = building.entryRoom;
                building.handler();
            }
        }
        while (!doorSquare(playerLocation)) {
            if (playerLocation != lastDescribedRoom) {
                if (streetSquare(playerLocation))
                    describeStreetSquare();
                else
                    describeOutskirtsSquare();
                lastDescribedRoom = playerLocation;
            }
            if (isHere(SNAKE) && venomFree == 1) {
                readCommand(command);
                snakeEncounter(command);
            } else if (desperadoHere()) {
                readCommand(command);
                gunfight(command);
            } else {
                townTurn(lastDescribedRoom);
            }
        }
    }
}

void townTurn(int& lastDescribedRoom)
{
    char command[COMMAND_SIZE];
    readCommand(command);
    std::string line = command;
    RoomCode here = playerLocation;
    if (line == "e") {
        if (here % SQUARES_PER_ROW != 0)
            playerLocation = here + 1;
        else
            std::cout << "You cannot go that way\n";
    } else if (line == "w") {
        // The truncating remainder numbers the west column 1 in and south of
        // town and -4 north of it.
        bool north = here < FIRST_TOWN_SQUARE;
        if ((!north && here % SQUARES_PER_ROW != 1) || (north && here % SQUARES_PER_ROW != -4))
            playerLocation = here - 1;
        else
            std::cout << "You cannot go that way\n";
    } else if (line == "n") {
        if (here != HILLS_CORNER && here != SILVER_MINE_CORNER)
            playerLocation = here - SQUARES_PER_ROW;
        else
            std::cout << "That way is blocked\n";
    } else if (line == "s") {
        if (here != CEMETERY_CORNER && here != PLAINS_CORNER)
            playerLocation = here + SQUARES_PER_ROW;
        else
            std::cout << "You cannot pass there\n";
    } else if (line == "u" || line == "d") {
        std::cout << "You cannot go that way\n";
    } else if (line == "look" || line == "l") {
        lastDescribedRoom = NOWHERE;
    } else {
        interpretCommand(command, lastDescribedRoom);
    }
}
