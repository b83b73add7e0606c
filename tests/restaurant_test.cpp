// The restaurant: the dining room, the smoky kitchen with its sizzling loop,
// and the cupboard that hides the bread.
#include "harness.h"

#include "buildings/buildings.h"
#include "world/town_map.h"
#include "world/world.h"

#include <gtest/gtest.h>

static const std::string DINING_ROOM =
    "You are in the restaurant\nThe air is thick with the aroma of greasy French fries\n"
    "You see many tables and chairs\nObvious directions are east or west\n";
static const std::string OUTSIDE =
    "You are on the road outside the Big Bite Restaurant\n"
    "Obvious directions are north, south, east and west\n";

// Seed 1 keeps both brothers and the rat away from the road and the
// restaurant. The cupboard opens once; the next look shows it open, with
// the bread.
TEST(Restaurant, EnteredExploredAndLeftWithTheKitchenLoopOnlyWhileTheSoundIsOn)
{
    for (char sound : {'n', 'y'}) {
        bool on = sound == 'y';
        Transcript game = playGame(startUp(sound) + "e\ns\nw\nn\nopen cupboard\nw\nw\nopen cupboard\n"
                                                    "open cupboard\nlook\ne\ne\n", 1);
        std::string expected =
            OUTSIDE + DINING_ROOM + "You cannot go that way\nThat is impossible Marshal Bob\n" +
            (on ? "{loop kiso}" : "") +
            "You are in the smoky kitchen\nYou see a cupboard\nObvious direction is east\n"
            "You cannot go that way\n" +
            (on ? "{play opca}" : "") +
            "Okay, it is open\nThere is a bag of corn bread in there\nIt is already open\n"
            "You are in the smoky kitchen\nYou see an open cupboard\nYou see a bag of corn bread\n"
            "Obvious direction is east\n" +
            (on ? "{stop}" : "") + DINING_ROOM + OUTSIDE + FAREWELL_SCREEN;
        ASSERT_GE(game.output.size(), expected.size());
        EXPECT_EQ(game.output.substr(game.output.size() - expected.size()), expected) << sound;
    }
}

// The bread was taken away after the first opening; a second opening does
// not bring it back.
TEST(Restaurant, TheOpenCupboardStaysOpenAndEmptyOnTheNextVisit)
{
    Transcript scene = playScene("w\nopen cupboard\n", [] {
        calmStart();
        cupboardOpen = 1;
        itemLocation[BREAD] = CARRIED;
        playerLocation = RESTAURANT;
        runRestaurant();
    });
    EXPECT_EQ(scene.output, DINING_ROOM +
                                "You are in the smoky kitchen\nYou see an open cupboard\n"
                                "Obvious direction is east\nIt is already open\n" +
                                FAREWELL_SCREEN);
}

// Switched off in the kitchen, the sound is not stopped on the way out by
// the kitchen.
TEST(Restaurant, LeavingTheKitchenWithTheSoundSwitchedOffStopsNothing)
{
    Transcript scene = playScene("w\neffects\nlook\ne\n", [] {
        calmStart();
        soundOn = 'y';
        playerLocation = RESTAURANT;
        runRestaurant();
    });
    std::size_t described = scene.output.rfind("You are in the smoky kitchen\n");
    ASSERT_NE(described, std::string::npos) << scene.output;
    std::string end = scene.output.substr(described);
    EXPECT_EQ(end.find("{stop}"), std::string::npos) << end;
    EXPECT_NE(end.find("Obvious direction is east\n" + DINING_ROOM), std::string::npos) << end;
}

// The rat is listed with its pause before the way out of the kitchen; the
// next command would be its.
TEST(Restaurant, TheRatInTheKitchenIsMetOnArrival)
{
    Transcript scene = playScene("w\n", [] {
        calmStart();
        itemLocation[RAT] = 1101;
        playerLocation = RESTAURANT;
        runRestaurant();
    });
    EXPECT_EQ(scene.output, DINING_ROOM +
                                "You are in the smoky kitchen\nYou see a cupboard\n"
                                "You see a big hairy rat\n{delay 2000}Obvious direction is east\n" +
                                FAREWELL_SCREEN);
}
