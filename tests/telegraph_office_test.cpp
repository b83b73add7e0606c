// The telegraph office: its one room, the clicking loop and who waits there.
#include "harness.h"

#include "buildings/buildings.h"
#include "world/town_map.h"
#include "world/world.h"

#include <gtest/gtest.h>

static const std::string OFFICE_LINES =
    "You are in the telegraph office\nYou see lots of dust and cobwebs\n";
static const std::string OUTSIDE =
    "You are standing outside the Western Onion Telegraph Office\n"
    "Obvious directions are north, south, east and west\n";

// Seed 1 keeps both brothers and the rat away from the road and the office.
TEST(TelegraphOffice, EnteredDescribedAndLeftWestWithTheLoopOnlyWhileTheSoundIsOn)
{
    for (char sound : {'n', 'y'}) {
        bool on = sound == 'y';
        Transcript game = playGame(startUp(sound) + "e\nn\ne\ne\ne\nn\nu\nw\n", 1);
        std::string expected = OUTSIDE + (on ? "{loop teof}" : "") + OFFICE_LINES +
                               "You see a wrinkled telegram\nObvious direction is west\n"
                               "You cannot go that way\nYou cannot go that way\n" +
                               (on ? "{stop}" : "") + OUTSIDE + FAREWELL_SCREEN;
        ASSERT_GE(game.output.size(), expected.size());
        EXPECT_EQ(game.output.substr(game.output.size() - expected.size()), expected) << sound;
    }
}

// Leaving stops the sound only while it is on: a Marshal who switched it off
// inside does not stop the loop himself, one who switched it on does.
TEST(TelegraphOffice, LeavingStopsTheSoundOnlyWhileItIsOn)
{
    Transcript offInside = playScene("effects\nlook\nw\n", [] {
        calmStart();
        soundOn = 'y';
        playerLocation = TELEGRAPH_OFFICE;
        runTelegraphOffice();
    });
    std::size_t described = offInside.output.rfind(OFFICE_LINES);
    ASSERT_NE(described, std::string::npos) << offInside.output;
    EXPECT_EQ(offInside.output.find("{stop}", described), std::string::npos) << offInside.output;

    Transcript onInside = playScene("effects\nw\n", [] {
        calmStart();
        playerLocation = TELEGRAPH_OFFICE;
        runTelegraphOffice();
    });
    EXPECT_EQ(onInside.output, OFFICE_LINES + "You see a wrinkled telegram\nObvious direction is west\n"
                                        "Sound effects on{stop}");
}

// The brother waiting here is listed last before the way out; the next
// command would be his.
TEST(TelegraphOffice, ABrotherWaitingInsideIsMetOnArrival)
{
    Transcript scene = playScene("", [] {
        calmStart();
        itemLocation[DEXTER] = 500;
        playerLocation = TELEGRAPH_OFFICE;
        runTelegraphOffice();
    });
    EXPECT_EQ(scene.output, OFFICE_LINES + "You see a wrinkled telegram\n"
                                     "There is Dexter Desperado smiling and pointing a gun at you\n"
                                     "Obvious direction is west\n" +
                                FAREWELL_SCREEN);
}
