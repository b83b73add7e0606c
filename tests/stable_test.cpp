// The stable and the enclosed field behind it.
#include "harness.h"

#include "buildings/buildings.h"
#include "world/town_map.h"
#include "world/world.h"

#include <gtest/gtest.h>

static const std::string STABLE_LINES =
    "You are in the stable\nThere is a tremendous stench of you know what\n"
    "You see horses all around\nObvious directions are east or west\n";
static const std::string FIELD_LINES = "You are in an enclosed field\nYou see a flat open area\n";
static const std::string OUTSIDE =
    "You are in front of the Crazy Horse Stable\nObvious directions are north, south, east and west\n";

// Seed 1 keeps both brothers and the rat away from the road and the stable.
// Each room is described once per arrival; the welcome plays only on entry.
TEST(Stable, EnteredThroughToTheFieldAndBackOutWithItsWelcomeWhileTheSoundIsOn)
{
    for (char sound : {'n', 'y'}) {
        bool on = sound == 'y';
        Transcript game = playGame(startUp(sound) + "e\ns\ns\ne\ne\ne\nn\ne\ne\nn\nw\nw\n", 1);
        std::string expected = OUTSIDE + (on ? "{play intr}" : "") + STABLE_LINES + "You cannot go that way\n" +
                               FIELD_LINES + "Obvious direction is west\n"
                                             "You cannot go that way\nYou cannot go that way\n" +
                               STABLE_LINES + OUTSIDE + FAREWELL_SCREEN;
        ASSERT_GE(game.output.size(), expected.size());
        EXPECT_EQ(game.output.substr(game.output.size() - expected.size()), expected) << sound;
    }
}

TEST(Stable, ABrotherWaitingInTheFieldIsMetOnArrival)
{
    Transcript scene = playScene("e\n", [] {
        calmStart();
        itemLocation[RODNEY] = 2001;
        playerLocation = STABLE;
        runStable();
    });
    EXPECT_EQ(scene.output, STABLE_LINES + FIELD_LINES +
                                "There is Rodney Desperado smiling and pointing a gun at you\n"
                                "Obvious direction is west\n" +
                                FAREWELL_SCREEN);
}
