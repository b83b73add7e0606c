// The commands that work everywhere: the single words, the two-word split,
// the noun and verb lookups and their refusals.
#include "harness.h"

#include "commands/commands.h"
#include "platform/platform.h"
#include "game/game.h"
#include "world/town_map.h"

#include <gtest/gtest.h>

// Hands each line of the input to the interpreter, as a location does with
// a line it does not take for itself.
static Transcript interpret(const std::string& input, const std::function<void()>& setUp = [] {})
{
    return playScene(input, [&] {
        calmStart();
        playerLocation = OFFICE_SALOON_ROAD;
        setUp();
        interpretEachLine("|");
    });
}

TEST(Interpreter, LinesThatAreNotTwoWordsAreRefused)
{
    Transcript replies = interpret("\n \ntake\ntake \ntake key \ntake  key\nshoot the snake\n key\n");
    EXPECT_EQ(replies.output,
              "Please use two word commands or a letter for direction\n|"
              "That is impossible Marshal Bob\n|"
              "Please use two word commands or a letter for direction\n|"
              "That is impossible Marshal Bob\n|"
              "Please use only two words\n|"
              "Please use only two words\n|"
              "Please use only two words\n|"
              "That action is not understood Marshal Bob\n|");
}

TEST(Interpreter, TheNounIsLookedUpBeforeTheVerb)
{
    Transcript replies = interpret("dance jig\ndance key\nshoot dexter\nshoot Key\n");
    EXPECT_EQ(replies.output,
              "That is impossible Marshal Bob\n|"
              "That action is not understood Marshal Bob\n|"
              "That is impossible Marshal Bob\n|"
              "That is impossible Marshal Bob\n|");
}

TEST(Interpreter, ASecondWordTooLongToBeANounIsImpossible)
{
    Transcript replies = interpret("take stalactitesstalact\nchop stalactites\n");
    EXPECT_EQ(replies.output.substr(0, 32), "That is impossible Marshal Bob\n|");
    EXPECT_EQ(replies.output.find("That is impossible", 32), std::string::npos);
}

TEST(Interpreter, InventoryListsWhatIsCarriedInNounOrder)
{
    Transcript empty = interpret("i\ninventory\ninven\ninventory of it all\ninv\nInventory\n");
    EXPECT_EQ(empty.output,
              "You are not carrying anything!\n|You are not carrying anything!\n|"
              "You are not carrying anything!\n|You are not carrying anything!\n|"
              "Please use two word commands or a letter for direction\n|"
              "Please use two word commands or a letter for direction\n|");

    Transcript carrying = interpret("i\n", [] {
        itemLocation[CROWBAR] = CARRIED;
        itemLocation[KEY] = CARRIED;
        itemLocation[GUN] = CARRIED;
    });
    EXPECT_EQ(carrying.output, "You have a shiny brass key\nYou have a Colt 45 gun\nYou have a iron crowbar\n|");
}

TEST(Interpreter, UseAsksWhatForOnlyWhenTheThingIsCarried)
{
    Transcript replies = interpret("use bag\nuse bread\nuse key\n key\n", [] {
        itemLocation[BREAD] = CARRIED;
        itemLocation[KEY] = CARRIED;
    });
    EXPECT_EQ(replies.output,
              "Use bread to do what?\n|Use bread to do what?\n|Use key to do what?\n|"
              "That action is not understood Marshal Bob\n|");
    Transcript notCarried = interpret("use key\n");
    EXPECT_EQ(notCarried.output, "That action is not understood Marshal Bob\n|");
}

TEST(Interpreter, TheSoundSwitchAnswersWithoutALineEnd)
{
    Transcript replies = interpret("effects\neffects\nsound\n");
    EXPECT_EQ(replies.output.substr(0, 17), "Sound effects on|");
    EXPECT_NE(replies.output.find("Sound effects off"), std::string::npos);
    // Typed "sound" reaches the interpreter as "effects" only through the prompt.
    EXPECT_NE(replies.output.find("Please use two word commands or a letter for direction\n|"), std::string::npos);
}

TEST(Interpreter, LookAsksTheLocationToDescribeItselfAgain)
{
    Transcript game = playScene("look\nl\nlook around\n", [] {
        calmStart();
        playerLocation = OFFICE_SALOON_ROAD;
        int lastDescribedRoom = playerLocation;
        char command[COMMAND_SIZE];
        while (platformReadLine(command, COMMAND_SIZE)) {
            lastDescribedRoom = playerLocation;
            interpretCommand(command, lastDescribedRoom);
            std::cout << lastDescribedRoom << '|';
        }
    });
    EXPECT_EQ(game.output, "-9999|-9999|That is impossible Marshal Bob\n8|");
}

// Whatever the verb, the whole line goes to the creature's own fight, and
// anything but a shot is answered with the bite.
TEST(Interpreter, ACommandNamingACreatureHereGoesToItsFight)
{
    Transcript snake = interpret("poke snake\n", [] { itemLocation[SNAKE] = OFFICE_SALOON_ROAD; });
    EXPECT_EQ(snake.output, "{delay 200}Oh no, the snake has pounced and bitten you\n"
                            "The deadly venom is rushing through your veins\n|");
    Transcript rat = interpret("kick rat\n", [] { itemLocation[RAT] = OFFICE_SALOON_ROAD; });
    EXPECT_EQ(rat.output, "{delay 200}Oh no, the rat has lunged and bitten you\n"
                          "The rabbid poison  is rushing through your veins\n|");
}

TEST(Interpreter, ACommandNamingAnAbsentCreatureIsAnOrdinaryCommand)
{
    Transcript replies = interpret("poke snake\npoke rat\npoke Rodney\n");
    EXPECT_EQ(replies.output,
              "That action is not understood Marshal Bob\n|That action is not understood Marshal Bob\n|"
              "That action is not understood Marshal Bob\n|");
}
