#include "turn/turn.h"

#include "endings/endings.h"
#include "platform/platform.h"
#include "world/random.h"

#include <cstring>

struct Rewrite {
    const char* typed;
    const char* becomes;
};

static const Rewrite rewrites[] = {
    {"go north", "n"}, {"walk north", "n"}, {"go south", "s"}, {"walk south", "s"},
    {"go east", "e"},  {"walk east", "e"},  {"go west", "w"},  {"walk west", "w"},
    {"go up", "u"},    {"walk up", "u"},    {"go down", "d"},  {"walk down", "d"},
    // The interpreter takes "effects" as the sound switch.
    {"sound", "effects"},
};

void readCommandLine(char* command)
{
    if (!platformReadLine(command, COMMAND_SIZE))
        farewell();
}

static void rewriteMovement(char* command)
{
    for (const Rewrite& rewrite : rewrites) {
        if (std::strcmp(command, rewrite.typed) == 0) {
            std::strcpy(command, rewrite.becomes);
            return;
        }
    }
}

static bool brotherAt(RoomCode room)
{
    return room == itemLocation[DEXTER] || room == itemLocation[CLARENCE] ||
           room == itemLocation[RODNEY];
}

void readCommand(char* command)
{
    quicksandTrap();
    platformCommandTurn(turnCount + 1);
    readCommandLine(command);
    rewriteMovement(command);
    ++turnCount;
    if (turnCount == 5)
        placeRat();
    if (turnCount == 60)
        placeSnake();
    else if (turnCount == 100)
        placeQuicksand();
    else
        hungerStep();
    if (turnCount == 155)
        itemLocation[RODNEY] = rodneyHideout;
    else
        duskStep();
    venomStep();
    rabiesStep();
    breadStep();
}

static const RoomCode ratRooms[18] = {100,  101,  102,  1000, 1001, 1002, 1003, 1100, 1101,
                                      1500, 1600, 1601, 1602, 1603, 1604, 1605, 2000, 2001};

void placeRat()
{
    do
        itemLocation[RAT] = ratRooms[drawRandom() % 18];
    while (brotherAt(itemLocation[RAT]));
}

// Door squares give way to the street square beside them, so the squares
// in front of the buildings come up twice as often as the ones between.
RoomCode drawStreetSquare()
{
    RoomCode square = drawRandom() % 20 + 1;
    if (square == 1 || square == 6 || square == 11 || square == 16)
        return square + 1;
    if (square == 5 || square == 10 || square == 15 || square == 20)
        return square - 1;
    return square;
}

void placeSnake()
{
    do
        itemLocation[SNAKE] = drawStreetSquare();
    while (brotherAt(itemLocation[SNAKE]));
}

void placeQuicksand()
{
    do
        itemLocation[QUICKSAND] = drawStreetSquare();
    while (brotherAt(itemLocation[QUICKSAND]) || itemLocation[QUICKSAND] == itemLocation[SNAKE] ||
           itemLocation[QUICKSAND] == itemLocation[ROPE]);
}
