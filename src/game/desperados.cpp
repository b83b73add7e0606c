#include "game/game.h"

#include "world/random.h"

// Where a brother may wait: every street square, the two outskirts rows
// next to the town, and the building rooms worth hiding in. Never the
// Marshal's office, the saloon's cellars, the passages or the storage room.
static const RoomCode desperadoSpots[39] = {
    100, 101, 102, 500, 1000, 1001, 1100, 1101, 1500, 1600, 1601, 1602, 1603,
    1604, 1605, 2000, 2001, -4, -3, -2, -1, 0, 2, 3, 4, 7, 8,
    9, 12, 13, 14, 17, 18, 19, 21, 22, 23, 24, 25};

void placeDesperados()
{
    int first = drawRandom() % 39;
    int second = drawRandom() % 39;
    while (second == first)
        second = drawRandom() % 39;
    int third = drawRandom() % 39;
    while (third == first || third == second)
        third = drawRandom() % 39;
    itemLocation[DEXTER] = desperadoSpots[first];
    itemLocation[CLARENCE] = desperadoSpots[second];
    itemLocation[RODNEY] = NOWHERE;
    rodneyHideout = desperadoSpots[third];
}
