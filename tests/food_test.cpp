// Eating and drinking: the beans, the bread, the medicine and the whiskey.
#include "harness.h"

#include "commands/commands.h"
#include "platform/platform.h"
#include "world/town_map.h"

#include <gtest/gtest.h>
#include <iostream>

// The typed lines go straight to the interpreter, with the beans, the bread
// and the medicine in hand; the afflictions' switches are shown at the end,
// since the afflictions themselves run elsewhere.
static Transcript eatAndDrink(const std::string& input, void (*setUp)())
{
    return playScene(input, [setUp] {
        calmStart();
        playerLocation = RESTAURANT;
        for (int item : {BEANS, BREAD, MEDICINE})
            itemLocation[item] = CARRIED;
        itemsCarried = 3;
        setUp();
        interpretEachLine();
        std::cout << "{hunger " << hungerStage << " bread " << breadBagState << " venom " << venomFree
                  << " rabies " << rabiesFree << "}";
    });
}

const std::string CHEW = "Chomp chomp chomp chomp chomp chomp \x1e gulp\n";
const std::string GULP = "Gulp gulp gulp gulp gulp gulp gulp gulp\n";
const std::string HORRIBLE = "Boy that tastes horrible!\n";

TEST(Eating, BeansBeforeTheHungerAreSimplyGone)
{
    Transcript scene = eatAndDrink("eat can\neat beans\n", [] {});
    EXPECT_EQ(scene.output, CHEW + "The can is empty!\n{hunger 0 bread 1 venom 1 rabies 1}");
}

TEST(Eating, BeansEndTheHungerUnlessTheBreadIsTurningTheStomach)
{
    const std::string fed = "How delicious Marshal Bob, that hit the spot\n"
                            "You feel like killing you some desperados!\n";
    Transcript hungry = eatAndDrink("eat beans\n", [] { hungerStage = 4; });
    EXPECT_EQ(hungry.output, CHEW + fed + "{hunger -1 bread 1 venom 1 rabies 1}");

    Transcript loud = eatAndDrink("eat beans\n", [] {
        hungerStage = 1;
        soundOn = 'y';
    });
    EXPECT_EQ(loud.output, "{play eat}" + fed + "{hunger -1 bread 1 venom 1 rabies 1}");

    Transcript sick = eatAndDrink("eat bread\neat beans\n", [] { hungerStage = 4; });
    EXPECT_EQ(sick.output, CHEW + "That tasted a little weird\n" + CHEW + "{hunger 4 bread 0 venom 1 rabies 1}");
}

TEST(Drinking, OneDoseCuresTheBitesAndTheBreadTogether)
{
    Transcript scene = eatAndDrink("eat bag\neat bread\ndrink bottle\ndrink medicine\neat bread\n", [] {
        venomFree = 0;
        rabiesFree = 0;
        hungerStage = 3;
    });
    EXPECT_EQ(scene.output, CHEW + "That tasted a little weird\nThe bag is empty\n" + GULP + HORRIBLE +
                                "But good move Marshal Bob, you feel much better now\n"
                                "You feel like busting up some desperados\n"
                                "Very  good, what a relief, you feel like kicking butt again\n"
                                "The bottle is empty\n{hunger -1 bread -1 venom 1 rabies 1}");
}

TEST(Drinking, AHealthyMarshalOnlyTastesIt)
{
    Transcript scene = eatAndDrink("drink medicine\n", [] { soundOn = 'y'; });
    EXPECT_EQ(scene.output, "{play drin}" + HORRIBLE + "{hunger 0 bread 1 venom 1 rabies 1}");
}

TEST(EatingAndDrinking, OnlyFoodIsEatenAndOnlyMedicineOrWhiskeyDrunk)
{
    Transcript scene = eatAndDrink("drop can\neat can\neat bottle\ndrink bag\ndrink knife\ndrink whiskey\n",
                                   [] {});
    EXPECT_EQ(scene.output, "You dropped the bean can\nYou do not have beans Marshal Bob\n"
                            "Come on Marshal Bob, stop being silly!\n"
                            "That is ridiculous Marshal Bob, are you delirious!\n"
                            "You do not have knife Marshal Bob\n"
                            "{hunger 0 bread 1 venom 1 rabies 1}");
}

TEST(Drinking, WhiskeyInTheBasementEndsTheGame)
{
    Transcript scene = eatAndDrink("drink whiskey\nlook\n", [] { playerLocation = SALOON_BASEMENT; });
    EXPECT_EQ(scene.output.rfind(GULP + "Oh man - that is strong stuff!\nYou are beginning to feel very dizzy\n"
                                        "You are staggering around the room\n"
                                        "You see pink elephants dancing on the ceiling\n"
                                        "{cls}{goto 16,10}Oh no!  You are drunk as a skunk Marshal Bob",
                                 0),
              0u)
        << scene.output;
    EXPECT_EQ(scene.output.find("{hunger"), std::string::npos);
    EXPECT_EQ(scene.exitStatus, 0);
}
