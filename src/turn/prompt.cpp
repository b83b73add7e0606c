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

static const RoomCode ratRooms[18] = {
    GENERAL_STORE, BACK_OF_STORE, UTILITY_ROOM,
    SALOON, MANAGERS_OFFICE, SALOON_BASEMENT, GLOOMY_CHAMBER,
    RESTAURANT, KITCHEN,
    BARBER_SHOP,
    HOTEL_LOBBY, STAIRCASE_FOOT, UPSTAIRS_HALLWAY, HALLWAY, GUEST_ROOM, SOLARIUM,
    STABLE, ENCLOSED_FIELD};

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
    RoomCode square = drawRandom() % LAST_TOWN_SQUARE + FIRST_TOWN_SQUARE;
    if (square == GENERAL_STORE_DOOR || square == OFFICE_DOOR || square == RESTAURANT_DOOR ||
        square == HOTEL_DOOR)
        return square + 1;
    if (square == TELEGRAPH_OFFICE_DOOR || square == SALOON_DOOR || square == BARBER_SHOP_DOOR ||
        square == STABLE_DOOR)
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
