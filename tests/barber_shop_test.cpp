// The barber shop: one room with the fat guy and the medicine.
#include "harness.h"

#include "buildings/buildings.h"
#include "world/town_map.h"
#include "world/world.h"

#include <gtest/gtest.h>

static const std::string SHOP = "You are in the barber shop\nA fat guy is getting a shave\n";
static const std::string OUTSIDE =
    "You are standing outside Sam's Barber Shop\nObvious directions are north, south, east and west\n";

// Seed 1 keeps both brothers and the rat away from the road and the shop.
// The welcome plays before the shop is described, and nothing is stopped on
// the way out.
TEST(BarberShop, EnteredDescribedAndLeftWestWithItsWelcomeWhileTheSoundIsOn)
{
    for (char sound : {'n', 'y'}) {
        bool on = sound == 'y';
        Transcript game = playGame(startUp(sound) + "e\ns\ne\ne\ne\ne\nd\nlook\nw\n", 1);
        std::string described = SHOP + "You see a bottle of snake oil medicine\nObvious direction is west\n";
        std::string expected = OUTSIDE + (on ? "{play hopa}" : "") + described +
                               "You cannot go that way\nYou cannot go that way\n" + described + OUTSIDE +
                               FAREWELL_SCREEN;
        ASSERT_GE(game.output.size(), expected.size());
        EXPECT_EQ(game.output.substr(game.output.size() - expected.size()), expected) << sound;
    }
}

TEST(BarberShop, ABrotherWaitingInsideIsMetOnArrival)
{
    Transcript scene = playScene("", [] {
        calmStart();
        itemLocation[CLARENCE] = 1500;
        itemLocation[MEDICINE] = CARRIED;
        playerLocation = BARBER_SHOP;
        runBarberShop();
    });
    EXPECT_EQ(scene.output, SHOP + "There is Clarence Desperado smiling and pointing a gun at you\n"
                                   "Obvious direction is west\n" +
                                FAREWELL_SCREEN);
}
