// The hotel: six rooms, the guest room's own way in, the dresser with the
// knife and the stairs that kill on the way down.
#include "harness.h"

#include "buildings/buildings.h"
#include "world/town_map.h"
#include "world/world.h"

#include <gtest/gtest.h>

static const std::string LOBBY =
    "You are in the lobby of the hotel, man what a dump this is!\nYou see the concierge station\n"
    "Obvious directions are east or west\n";
static const std::string STAIRCASE_FOOT_LINES =
    "You are at the foot of a staircase\nObvious directions are up or east\n";
static const std::string UPSTAIRS =
    "You are at the end of a garishly decorated hallway\nYou see stairs\n"
    "You see many \" DO NOT DISTURB\" signs\nObvious directions are west or down\n";
static const std::string HALLWAY_LINES =
    "You are in a hallway\nYou see an open guest room\nObvious directions are east or west\n";
static const std::string GUEST_ROOM_LINES =
    "You are in a filthy guest room.You see an unmade bed and a cheap dresser\n";
static const std::string SOLARIUM_LINES = "You are in a solarium\nYou see a bench\nObvious direction is east\n";
static const std::string REFUSED = "You cannot go that way\n";
static const std::string OUTSIDE =
    "You are on the road in front of the Fleabag Hotel\nObvious directions are north, south, east and west\n";

// Seed 1 keeps both brothers and the rat out of the way, and its draw for
// the way down the stairs is a safe one. No letter leads into the guest
// room; the dresser opens once and its knife stays for the next arrival.
TEST(Hotel, EveryRoomVisitedTheDresserOpenedAndTheStairsTakenBothWays)
{
    std::string walk = "e\ns\ns\nw\nn\nw\nd\nu\nw\nw\ne\nn\ngo room\nopen dresser\nopen drawer\n"
                       "w\nn\nenter room\nn\ne\nd\ne\ne\n";
    for (char sound : {'n', 'y'}) {
        std::string stairs = sound == 'y' ? "{play stai}" : "";
        Transcript game = playGame(startUp(sound) + walk, 1);
        std::string expected =
            OUTSIDE + LOBBY + REFUSED + STAIRCASE_FOOT_LINES + REFUSED + stairs + UPSTAIRS + HALLWAY_LINES +
            SOLARIUM_LINES + HALLWAY_LINES + REFUSED + GUEST_ROOM_LINES + "Obvious direction is north\n" +
            (sound == 'y' ? "{play opdr}" : "") +
            "Okay you got it open\nThere is a hunting knife in there\nIt is already open\n" + REFUSED +
            HALLWAY_LINES + GUEST_ROOM_LINES + "You see a hunting knife\nObvious direction is north\n" + HALLWAY_LINES +
            UPSTAIRS + stairs + STAIRCASE_FOOT_LINES + LOBBY + OUTSIDE + FAREWELL_SCREEN;
        ASSERT_GE(game.output.size(), expected.size());
        EXPECT_EQ(game.output.substr(game.output.size() - expected.size()), expected) << sound;
    }
}

// Seed 16's first draw falls; seed 1's does not. Going up draws nothing, so
// after it the same first draw decides the way down.
TEST(Hotel, TheStairsKillOnlyOnTheWayDown)
{
    auto stairsScene = [](unsigned seed) {
        return playScene("u\nd\n", [seed] {
            calmStart(seed);
            playerLocation = STAIRCASE_FOOT;
            runHotel();
        });
    };
    std::string up = STAIRCASE_FOOT_LINES + UPSTAIRS;
    EXPECT_EQ(stairsScene(1).output, up + STAIRCASE_FOOT_LINES + FAREWELL_SCREEN);
    Transcript fall = stairsScene(16);
    EXPECT_EQ(fall.output.rfind(up + "{delay 500}{cls}{goto 23,10}Oh no - you fell down the stairs!", 0), 0u)
        << fall.output;
    EXPECT_EQ(fall.exitStatus, 0);
}

TEST(Hotel, ABrotherWaitingInTheGuestRoomIsMetOnArrival)
{
    Transcript scene = playScene("go room\n", [] {
        calmStart();
        itemLocation[DEXTER] = 1604;
        playerLocation = HALLWAY;
        runHotel();
    });
    EXPECT_EQ(scene.output, HALLWAY_LINES + GUEST_ROOM_LINES +
                                "There is Dexter Desperado smiling and pointing a gun at you\n"
                                "Obvious direction is north\n" +
                                FAREWELL_SCREEN);
}
