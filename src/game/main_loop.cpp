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
    {1, 100, runGeneralStore}, {5, 500, runTelegraphOffice}, {6, 600, runOffice},
    {10, 1000, runSaloon},     {11, 1100, runRestaurant},    {15, 1500, runBarberShop},
    {16, 1600, runHotel},      {20, 2000, runStable},
};

static const char* streetDescription(RoomCode square)
{
    switch (square) {
    case 2: return "You are in front of Clem's General Store\n";
    case 3: return "You are in the road between the general store and the Telegraph Office\n";
    case 4: return "You are standing outside the Western Onion Telegraph Office\n";
    case 7: return "You are on the road outside your office\n";
    case 8: return "You are in the road between your office and the saloon\n";
    case 9: return "You are in front of the High Time Saloon\n";
    case 12: return "You are on the road outside the Big Bite Restaurant\n";
    case 13: return "You are in the road between the restaurant and the barber shop\n";
    case 14: return "You are standing outside Sam's Barber Shop\n";
    case 17: return "You are on the road in front of the Fleabag Hotel\n";
    case 18: return "You are in the road between the Hotel and the stable\n";
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
    int column = playerLocation % 5;
    if (playerLocation <= 0 && column == -4) {
        description = "You are walking through the Rubber Souls Cemetery\n";
        directions = playerLocation == -4 ? "Obvious directions are north and east\n"
                                          : "Obvious directions are north, east and south\n";
    } else if (playerLocation <= 0 && column == 0) {
        description = "You are on a flat stretch of dusty plains\n";
        directions = playerLocation == 0 ? "Obvious directions are north and west\n"
                                         : "Obvious directions are north, south and west\n";
    } else if (playerLocation > 0 && column == 1) {
        description = "You are in a hilly and rocky area alongside the road\n";
        directions = playerLocation == 21 ? "Obvious directions are east and south\n"
                                          : "Obvious directions are north, east and south\n";
    } else if (playerLocation > 0 && column == 0) {
        description = "You are in an old abandoned silver mine\n";
        directions = playerLocation == 25 ? "Obvious directions are west and south\n"
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
        if (here % 5 != 0)
            playerLocation = here + 1;
        else
            std::cout << "You cannot go that way\n";
    } else if (line == "w") {
        if ((here > 0 && here % 5 != 1) || (here < 1 && here % 5 != -4))
            playerLocation = here - 1;
        else
            std::cout << "You cannot go that way\n";
    } else if (line == "n") {
        if (here != 21 && here != 25)
            playerLocation = here - 5;
        else
            std::cout << "That way is blocked\n";
    } else if (line == "s") {
        if (here != -4 && here != 0)
            playerLocation = here + 5;
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
