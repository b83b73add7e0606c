#include "game/game.h"

#include "world/random.h"

// Where a brother may wait: every street square, the two outskirts rows
// next to the town, and the building rooms worth hiding in. Never the
// Marshal's office, the saloon's cellars, the passages or the storage room.
static const RoomCode desperadoSpots[39] = {
    GENERAL_STORE, BACK_OF_STORE, UTILITY_ROOM,
    TELEGRAPH_OFFICE,
    SALOON, MANAGERS_OFFICE,
    RESTAURANT, KITCHEN,
    BARBER_SHOP,
    HOTEL_LOBBY, STAIRCASE_FOOT, UPSTAIRS_HALLWAY, HALLWAY, GUEST_ROOM, SOLARIUM,
    STABLE, ENCLOSED_FIELD,
    CEMETERY_CORNER, NORTH_ROAD_WEST, NORTH_ROAD, NORTH_ROAD_EAST, PLAINS_CORNER,
    OUTSIDE_GENERAL_STORE, STORE_TELEGRAPH_ROAD, OUTSIDE_TELEGRAPH_OFFICE,
    OUTSIDE_OFFICE, OFFICE_SALOON_ROAD, OUTSIDE_SALOON,
    OUTSIDE_RESTAURANT, RESTAURANT_BARBER_ROAD, OUTSIDE_BARBER_SHOP,
    OUTSIDE_HOTEL, HOTEL_STABLE_ROAD, OUTSIDE_STABLE,
    HILLS_CORNER, SOUTH_ROAD_WEST, SOUTH_ROAD, SOUTH_ROAD_EAST, SILVER_MINE_CORNER};

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
