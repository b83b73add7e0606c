#include "buildings/rooms.h"

#include "encounters/encounters.h"
#include "turn/turn.h"

#include <cstring>
#include <iostream>

void runBuilding(RoomCode blockStart, void (*describe)(char* command),
                 void (*act)(char* command, int& lastDescribedRoom))
{
    int lastDescribedRoom = NOT_YET_DESCRIBED;
    char command[COMMAND_SIZE];
    while (playerLocation >= blockStart && playerLocation < blockStart + BUILDING_BLOCK_SIZE) {
        if (playerLocation != lastDescribedRoom) {
            describe(command);
            lastDescribedRoom = playerLocation;
        }
        readCommand(command);
        act(command, lastDescribedRoom);
    }
}

void finishQuietDescription(const char* directions)
{
    describeItemsHere();
    std::cout << directions;
}

void finishDescription(const char* directions, char* command)
{
    finishQuietDescription(directions);
    if (isHere(RAT) || desperadoHere())
        encounterCheck(command);
}

bool commandIs(const char* command, std::initializer_list<const char*> words)
{
    for (const char* word : words) {
        if (std::strcmp(command, word) == 0)
            return true;
    }
    return false;
}

bool refuseDirection(const char* command, const char* refusedLetters)
{
    if (command[0] == '\0' || command[1] != '\0' || std::strchr(refusedLetters, command[0]) == nullptr)
        return false;
    std::cout << "You cannot go that way\n";
    return true;
}

bool aimedAtDoor(const char* command)
{
    const char* blank = std::strchr(command, ' ');
    return blank != nullptr && commandIs(blank + 1, {"door", "key", "lock"});
}
