// Clem's general store: its rooms, the iron door seen from both sides, and
// the storage room that only the ramp from the passage leads into.
#include "harness.h"

#include "buildings/buildings.h"
#include "game/game.h"
#include "world/town_map.h"

#include <functional>
#include <iostream>

#include <gtest/gtest.h>

const std::string SHOP =
    "You are in the general store\nYou see the store counter\nObvious directions are east or west\n";
const std::string BACK_OF_STORE_LINES = "You are in the back of the store\n"
                                  "You see a large iron door that says \"STORAGE.\"\n";
const std::string KEY_HERE = "You see a shiny brass key\n";
const std::string BACK_DIRECTIONS = "Obvious directions are east or north\n";
const std::string STORAGE_ROOM_LINES = "You are in the storage room of Clem's general store\n"
                                 "You see a large iron door\nYou see ugly gray walls and shelves\n"
                                 "You see a box of bullets\nYou see a open can of beans\n"
                                 "Obvious direction is down\n";
const std::string CANNOT_GO = "You cannot go that way\n";

// Runs the store from the given room with the input; setUp can change the
// world after the calm start.
static std::string inStore(RoomCode room, const std::string& input,
                           const std::function<void()>& setUp = [] {}, unsigned seed = 1)
{
    return playScene(input, [&] {
        calmStart(seed);
        setUp();
        playerLocation = room;
        runGeneralStore();
    }).output;
}

TEST(GeneralStore, WalksItsThreeRoomsFromTheStreetAndBackOutToSquareTwo)
{
    Transcript game = playScene("n\nw\ns\nn\nw\ne\nd\ns\ne\ne\n", [] {
        calmStart();
        playerLocation = GENERAL_STORE_DOOR;
        runGame();
    });
    std::string utility = "You are in a utility room\nYou see a dilapidated work table\nObvious direction is south\n";
    std::string back = BACK_OF_STORE_LINES + KEY_HERE + BACK_DIRECTIONS;
    EXPECT_EQ(game.output, SHOP + CANNOT_GO + back + CANNOT_GO + utility + CANNOT_GO + CANNOT_GO + CANNOT_GO +
                               back + SHOP + "You are in front of Clem's General Store\n"
                               "Obvious directions are north, south, east and west\n" + FAREWELL_SCREEN);
}

TEST(GeneralStore, TheIronDoorWillNotOpenFromTheBackOfTheStore)
{
    EXPECT_EQ(inStore(101, "open door\nuse key\nkick door\nshoot door\n"),
              BACK_OF_STORE_LINES + KEY_HERE + BACK_DIRECTIONS + "The door is locked\nYou are unable to do that\n"
                  "Ouch \x1E that hurt!\nYou do not have a gun smarty!\n" + FAREWELL_SCREEN);
    EXPECT_EQ(inStore(101, "open door\ninsert key\nkick door\n", [] {
                  itemLocation[KEY] = CARRIED;
                  soundOn = 'y';
              }),
              BACK_OF_STORE_LINES + BACK_DIRECTIONS + "The door is locked and the key does not fit\n"
                  "The key does not fit\n{play chop}" + FAREWELL_SCREEN);
}

TEST(GeneralStore, ShootingTheIronDoorsLockDeflectsAndOneShotInFourKills)
{
    auto loaded = [] { itemLocation[GUN] = CARRIED; };
    std::string start = BACK_OF_STORE_LINES + KEY_HERE + BACK_DIRECTIONS;
    // The seed's first draw % 4 is 1: the shot only glances off.
    EXPECT_EQ(inStore(101, "shoot lock\n", [=] { loaded(); soundOn = 'y'; }),
              start + "{play gush}{play rico}The shot deflected off the lock\n" + FAREWELL_SCREEN);
    EXPECT_EQ(inStore(101, "shoot door\nshoot door\n", [=] { loaded(); gunRounds = 0; }),
              start + "Click\nNo more bullets\nClick\nNo more bullets\n" + FAREWELL_SCREEN);
    // A seed whose first draw % 4 is 0: the shot comes back off the lock.
    std::string death = inStore(101, "shoot lock\n", loaded, 3);
    std::string expected = start + "The shot deflected off the lock\nPlunk!\n"
                                   "Your shot deflected off the lock and -- \n"
                                   "Darn it \x1E it went through your brain!\n"
                                   "{delay 2000}{cls}{goto 12,10}You have been defeated by the desperados";
    EXPECT_EQ(death.substr(0, expected.size()), expected);
}

TEST(GeneralStore, TheStorageRoomsDoorLetsTheMarshalOutAndSlamsShut)
{
    EXPECT_EQ(inStore(103, "n\nu\ninventory\nopen door\nopen door\n"),
              STORAGE_ROOM_LINES + CANNOT_GO + CANNOT_GO + "You are not carrying anything!\n" +
                  "Squeak squeal screech.It opened and slammed shut behind you\n" + BACK_OF_STORE_LINES + KEY_HERE +
                  BACK_DIRECTIONS + "The door is locked\n" + FAREWELL_SCREEN);
    std::string heard = inStore(103, "walk door\n", [] { soundOn = 'y'; });
    EXPECT_EQ(heard, STORAGE_ROOM_LINES + "{play opdo}{delay 500}{play cldo}It opened and slammed shut behind you\n" +
                         BACK_OF_STORE_LINES + KEY_HERE + BACK_DIRECTIONS + FAREWELL_SCREEN);
}

TEST(GeneralStore, TheRampLeadsUpIntoTheStorageRoomAndBackDownToTheRock)
{
    std::string ramp = "You are at the end of the underground passageway\n"
                       "You see a large rock and a ramp going up\nObvious directions are south and up\n";
    std::string passage = "You are in a damp and musty underground passageway\n"
                          "Obvious directions are north and south\n";
    Transcript game = playScene("u\nd\ns\nn\n", [] {
        calmStart();
        rockMoved = 1;
        playerLocation = ROCK_ROOM;
        runSaloon();
    });
    // The rock room is described once on the way down, by the store.
    EXPECT_EQ(game.output, ramp + STORAGE_ROOM_LINES + ramp + passage + ramp + FAREWELL_SCREEN);
}
