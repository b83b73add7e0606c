// The quicksand, hunger, nightfall, the snake's venom, the rat's rabies and
// the bad bread: their stages on the turn clock, what holds them, and the
// deaths they end in.
#include "harness.h"

#include "turn/turn.h"
#include "game/game.h"
#include "world/town_map.h"
#include "world/world.h"

#include <iostream>
#include <string>

#include <gtest/gtest.h>

static const std::string ROAD = "You are in the road between your office and the saloon\n";
static const std::string DIRECTIONS = "Obvious directions are north, south, east and west\n";
static const std::string REFUSED = "You cannot go that way\n";
static const std::string PREVAILED = "{goto 18,16}The desperados have prevailed in Orvane City{delay 1000}{goto 1,18}";

static std::string ending(unsigned openingPause, bool sound, const std::string& lines)
{
    return "{delay " + std::to_string(openingPause) + "}{cls}" + (sound ? "{play loen}" : "") + lines + PREVAILED;
}

static std::string starvedScreen(bool sound = false)
{
    return ending(3000, sound, "{goto 18,10}Oh no - you have perished from lack of food"
                               "{goto 22,12}And it has put you in a very bad mood"
                               "{goto 18,14}Perhaps a long rest will improve your tude");
}

static std::string nightfallScreen(bool sound = false)
{
    return ending(3000, sound, "{goto 18,10}Oh no, nightfall has thwarted your mission"
                               "{goto 17,12}And you cannot proceed with light in remission"
                               "{goto 22,14}So get your pole and just go fishin");
}

static std::string snakeScreen(bool sound = false)
{
    return ending(2000, sound, "{goto 7,10}Oh no, you have been done in by the snake venom Marshal Bob"
                               "{goto 10,12}You were always a battler but you were nailed by the rattler"
                               "{goto 19,14}For goodness sake, you were beaten by a snake");
}

static std::string ratScreen(bool sound = false)
{
    return ending(2000, sound, "{goto 7,10}Oh no, you have been defeated  by the stinking  ratMarshal Bob"
                               "{goto 10,12}Imagine that, you lost to a rat"
                               "{goto 19,14}It is easy to determine that you lost to the vermin");
}

static std::string breadScreen(bool sound = false)
{
    return ending(3000, sound, "{goto 21,10}Oh no, you have succumbed to the bread"
                               "{goto 26,12}And now you are so very dead"
                               "{goto 19,14}You will never again see your cousin Fred");
}

static std::string quicksandScreen()
{
    return ending(2000, false, "{goto 8,10}Too bad Marshal Bob, you have been sucked into the earth"
                               "{goto 12,12}Your feelings are hurt because you drowned in the dirt"
                               "{goto 13,14}Better get on good terms with the slugs and the worms");
}

static std::string lines(int count, const std::string& line = "u\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

// Takes the given number of turns, each marked with a |, unless an
// affliction or the end of the input ends the game first.
static void takeTurns(int count)
{
    char command[COMMAND_SIZE];
    for (int turn = 0; turn < count; ++turn) {
        readCommand(command);
        std::cout << '|';
    }
}

static bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// A Marshal who never leaves his office starves on turn 151.
TEST(Hunger, SetsInAtTurn136AndKillsAt151)
{
    Transcript game = playGame(startUp() + lines(160), 1);
    std::string expected = "You are in your office\nYou see your messy desk\nObvious directions are east or west\n";
    const char* hungerLines[16] = {"You are beginning to feel hungry\n", "", "", "Your stomach is growling\n", "", "",
                                   "A chicken fried steak would  be nice right now\n", "", "",
                                   "You cannot  think of anything but food now\n", "", "",
                                   "You are feeling very faint\n", "", "", "You have fallen on your face\n"};
    for (int turn = 1; turn <= 150; ++turn)
        expected += (turn >= 136 ? hungerLines[turn - 136] : "") + REFUSED;
    expected += hungerLines[15] + starvedScreen();
    EXPECT_TRUE(startsWith(afterGreeting(game.output), expected)) << afterGreeting(game.output);
}

TEST(Hunger, WithSoundTheMarshalIsHeardFallingIndoors)
{
    Transcript game = playScene("u\n", [] {
        quietStart();
        soundOn = 'y';
        turnCount = 150;
        hungerStage = 15;
        playerLocation = OFFICE;
        takeTurns(1);
    });
    EXPECT_TRUE(startsWith(game.output, "{play shsh}{play fafl}You have fallen on your face\n" + starvedScreen(true)))
        << game.output;
}

// A brother here, the snake's venom and the bread each hold hunger at its
// stage (only the medicine ends the bread, and it feeds the Marshal for
// good); the rat's poison does not hold it.
TEST(Hunger, HoldsItsStageWhileABrotherTheVenomOrTheBreadIsThere)
{
    auto holdThenRelease = [](void (*hold)(), void (*release)()) {
        return playScene(lines(4), [=] {
                   calmStart();
                   turnCount = 140;
                   hungerStage = 3;
                   playerLocation = OFFICE_SALOON_ROAD;
                   hold();
                   takeTurns(2);
                   release();
                   takeTurns(1);
               })
            .output;
    };
    EXPECT_EQ(holdThenRelease([] { itemLocation[CLARENCE] = 8; }, [] { itemLocation[CLARENCE] = NOWHERE; }),
              "||Your stomach is growling\n|");
    EXPECT_EQ(holdThenRelease([] { venomFree = 0; venomStage = 1; }, [] { venomFree = 1; }),
              "|You are getting throbbing leg pains\n|Your stomach is growling\n|");
    EXPECT_EQ(holdThenRelease([] { breadBagState = 0; }, [] {}),
              "That bread does not agree with you\n||You are experiencing stomach cramps\n|");
    EXPECT_EQ(holdThenRelease([] { rabiesFree = 0; rabiesStage = 1; }, [] {}),
              "Your stomach is growling\n|You feel a tingling in your veins\n||");
}

// Every exchange of a fight is a turn: the rat's poison runs on while the
// brother holds hunger back; it sets in on the first turn after he falls.
TEST(Hunger, WaitsOutAGunfightWhileThePoisonRunsOn)
{
    Transcript game = playScene("shoot Dexter\nshoot Dexter\nu\n", [] {
        calmStart(1);  // a miss, a miss, then a kill
        turnCount = 135;
        rabiesFree = 0;
        playerLocation = itemLocation[DEXTER] = OFFICE_SALOON_ROAD;
        itemLocation[GUN] = CARRIED;
        runGame();
    });
    EXPECT_EQ(game.output, ROAD + "There is Dexter Desperado smiling and pointing a gun at you\n" + DIRECTIONS +
                               "You are having burning leg pain\n"
                               "Bang\n{delay 200}You missed\n{delay 1000}Bang\n{delay 200}He missed you\n"
                               "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n"
                               "You are beginning to feel hungry\nYou feel a tingling in your veins\n" +
                               REFUSED + FAREWELL_SCREEN);
}

TEST(Nightfall, FallsFromTurn201AndKillsAt225)
{
    Transcript game = playScene(lines(30), [] {
        calmStart();
        turnCount = 199;
        hungerStage = -1;
        takeTurns(30);
    });
    EXPECT_TRUE(startsWith(game.output, "|The sun is beginning to set in the west\n||||"
                                        "Night is beginning to fall in Orvane City\n||||"
                                        "Twilight has taken hold\n||||"
                                        "You are finding it very difficult to see outside now\n||||"
                                        "There is an orange glow in the western sky\n||||"
                                        "Just a faint light from the horizon remains\n||||"
                                        "It is pitch black out now\n" +
                                            nightfallScreen()))
        << game.output;

    Transcript heard = playScene("u\n", [] {
        calmStart();
        soundOn = 'y';
        turnCount = 230;
        hungerStage = -1;
        duskStage = 24;
        takeTurns(1);
    });
    EXPECT_TRUE(startsWith(heard.output, "It is pitch black out now\n" + nightfallScreen(true))) << heard.output;
}

// Night waits for a hungry Marshal to be fed, for the rat's poison to be
// cured and for a brother to be gone.
TEST(Nightfall, WaitsWhileTheMarshalIsHungryPoisonedOrFacingABrother)
{
    auto holdThenRelease = [](void (*hold)(), void (*release)()) {
        return playScene(lines(3), [=] {
                   calmStart();
                   turnCount = 210;
                   hungerStage = -1;
                   playerLocation = OFFICE_SALOON_ROAD;
                   hold();
                   takeTurns(1);
                   release();
                   takeTurns(1);
               })
            .output;
    };
    EXPECT_EQ(holdThenRelease([] { hungerStage = 12; }, [] { hungerStage = -1; }),
              "You are feeling very faint\n|The sun is beginning to set in the west\n|");
    EXPECT_EQ(holdThenRelease([] { rabiesFree = 0; rabiesStage = 1; }, [] { rabiesFree = 1; }),
              "|The sun is beginning to set in the west\n|");
    EXPECT_EQ(holdThenRelease([] { itemLocation[RODNEY] = 8; }, [] { itemLocation[RODNEY] = NOWHERE; }),
              "|The sun is beginning to set in the west\n|");
}

// The tenth command after the bite is read, and the Marshal dies before it
// is acted on.
TEST(Venom, TheBiteKillsOnTheTenthCommand)
{
    Transcript game = playScene("n\n" + lines(12), [] {
        calmStart();
        playerLocation = itemLocation[SNAKE] = OFFICE_SALOON_ROAD;
        runGame();
    });
    std::string expected = ROAD + "You see a coiled rattle snake\n" + DIRECTIONS +
                           "{delay 200}Oh no, the snake has pounced and bitten you\n"
                           "The deadly venom is rushing through your veins\n"
                           "Your leg is swelling up\n" + REFUSED + REFUSED +
                           "You are getting throbbing leg pains\n" + REFUSED + REFUSED +
                           "You are feeling delirious and weak\n" + REFUSED + REFUSED +
                           "You feel like your head is in a vice\n" + REFUSED + REFUSED +
                           "You are beginning to lose consciousness\n" + REFUSED +
                           "You have collapsed in a heap\n" + snakeScreen();
    EXPECT_TRUE(startsWith(game.output, expected)) << game.output;

    Transcript heard = playScene("u\n", [] {
        calmStart();
        soundOn = 'y';
        playerLocation = HOTEL_LOBBY;
        venomFree = 0;
        venomStage = 9;
        takeTurns(1);
    });
    EXPECT_TRUE(startsWith(heard.output, "{play fafl}You have collapsed in a heap\n" + snakeScreen(true)))
        << heard.output;
}

TEST(Rabies, KillsOnTheTenthStepAndFallsToTheFloorEvenOutdoors)
{
    auto poisoned = [](char sound) {
        return playScene(lines(12), [sound] {
                   calmStart();
                   soundOn = sound;
                   playerLocation = OFFICE_SALOON_ROAD;
                   rabiesFree = 0;
                   takeTurns(12);
               })
            .output;
    };
    const std::string stages = "You are having burning leg pain\n||You feel a tingling in your veins\n||"
                               "Your leg is getting numb\n||You a finding it difficult to go on\n||"
                               "You are beginning to lose consciousness\n|";
    std::string silent = poisoned('n');
    EXPECT_TRUE(startsWith(silent, stages + "You have crashed to the floor\n" + ratScreen())) << silent;
    std::string loud = poisoned('y');
    EXPECT_TRUE(startsWith(loud, stages + "{play fafl}You have crashed to the floor\n" + ratScreen(true))) << loud;
}

TEST(BreadSickness, KillsOnTheTenthStep)
{
    auto sick = [](char sound) {
        return playScene(lines(12), [sound] {
                   calmStart();
                   soundOn = sound;
                   playerLocation = OFFICE_SALOON_ROAD;
                   breadBagState = 0;
                   takeTurns(12);
               })
            .output;
    };
    const std::string stages = "That bread does not agree with you\n||You are experiencing stomach cramps\n||"
                               "You are also getting a splitting headache\n||"
                               "You feel like you have been run over by a stage coach\n||"
                               "Everything seems so far away now\n|";
    std::string silent = sick('n');
    EXPECT_TRUE(startsWith(silent, stages + "You cannot go on\n" + breadScreen())) << silent;
    std::string loud = sick('y');
    EXPECT_TRUE(startsWith(loud, stages + "{play faro}You cannot go on\n" + breadScreen(true))) << loud;
}

// What the medicine does to the switches stops each sickness where it is;
// the counters keep their steps. Cured of the bread the Marshal is fed for
// good, so hunger never comes.
TEST(Poisons, TheCureStopsEachSicknessAndKeepsItsCount)
{
    auto cured = [](int startTurn, void (*poison)(), void (*cure)()) {
        return playScene(lines(20), [=] {
                   calmStart();
                   turnCount = startTurn;
                   playerLocation = OFFICE_SALOON_ROAD;
                   poison();
                   takeTurns(4);
                   cure();
                   takeTurns(12);
                   std::cout << "[venom " << venomStage << ", rabies " << rabiesStage << ", bread "
                             << breadSickStage << "]";
               })
            .output;
    };
    auto cureBites = [] { venomFree = rabiesFree = 1; };
    const std::string quiet(12, '|');
    EXPECT_EQ(cured(5, [] { venomFree = 0; }, cureBites),
              "Your leg is swelling up\n||You are getting throbbing leg pains\n||" + quiet +
                  "[venom 4, rabies 0, bread 0]");
    EXPECT_EQ(cured(5, [] { rabiesFree = 0; }, cureBites),
              "You are having burning leg pain\n||You feel a tingling in your veins\n||" + quiet +
                  "[venom 0, rabies 4, bread 0]");
    EXPECT_EQ(cured(140, [] { breadBagState = 0; }, [] { breadBagState = -1; hungerStage = -1; }),
              "That bread does not agree with you\n||You are experiencing stomach cramps\n||" + quiet +
                  "[venom 0, rabies 0, bread 4]");
}

// The snake's verse, though the rat's poison was the one that killed.
TEST(Poisons, BothBitesRunTogetherAndTheSnakeTakesTheBlame)
{
    Transcript game = playScene(lines(8), [] {
        calmStart();
        venomFree = rabiesFree = 0;
        rabiesStage = 3;
        takeTurns(8);
    });
    EXPECT_TRUE(startsWith(game.output, "Your leg is swelling up\n|Your leg is getting numb\n|"
                                        "You are getting throbbing leg pains\n|You a finding it difficult to go on\n|"
                                        "You are feeling delirious and weak\n|You are beginning to lose consciousness\n|"
                                        "You feel like your head is in a vice\nYou have crashed to the floor\n" +
                                            snakeScreen()))
        << game.output;
}

// The Marshal stands in the quicksand with the rope in hand.
static void sinkingWithTheRope(char sound)
{
    calmStart();
    soundOn = sound;
    playerLocation = itemLocation[QUICKSAND] = OFFICE_SALOON_ROAD;
    itemLocation[ROPE] = CARRIED;
    itemsCarried = 1;
}

static void readTheTurnsCommand()
{
    char command[COMMAND_SIZE];
    readCommand(command);
    std::cout << "[" << command << ", turn " << turnCount << ", stage " << quicksandStage << ", rope "
              << itemLocation[ROPE] << ", carrying " << itemsCarried << "]";
}

// The lines typed while sinking are not turns and are not rewritten; the
// command after the rescue is.
TEST(Quicksand, TheRopeSavesTheMarshalEvenUpToHisNeck)
{
    Transcript game = playScene("look\nl\ngo north\nthrow rope\ngo north\n", [] {
        sinkingWithTheRope('n');
        readTheTurnsCommand();
    });
    EXPECT_EQ(game.output, "Oh no!  You have been caught in quicksand\n"
                           "You are sinking in quicksand, better think of something fast\n"
                           "You are slowly being swallowed up\n"
                           "You are sinking in quicksand, better think of something fast\n"
                           "You are up to your waist in quicksand\n"
                           "You are up to your neck now\n"
                           "Good throw \x1e you hooked a post and pulled yourself out!\n"
                           "[n, turn 6, stage 1, rope -9999, carrying 0]");

    Transcript heard = playScene("throw rope\nu\n", [] {
        sinkingWithTheRope('y');
        readTheTurnsCommand();
    });
    EXPECT_EQ(heard.output, "{play qusa}{play stsc}Oh no!  You have been caught in quicksand\n"
                            "{play rope}Good throw \x1e you hooked a post and pulled yourself out!\n"
                            "[u, turn 6, stage 1, rope -9999, carrying 0]");
}

// Standing still after the rescue, the Marshal is caught again, now with no
// rope; his fifth line is never read.
TEST(Quicksand, CaughtAgainWithoutTheRopeTheMarshalIsSwallowed)
{
    Transcript game = playScene("e\nthrow rope\nlook\n" + lines(5, "throw rope\n"), [] {
        sinkingWithTheRope('n');
        playerLocation = OUTSIDE_OFFICE;
        runGame();
    });
    EXPECT_TRUE(startsWith(game.output, "You are on the road outside your office\n" + DIRECTIONS + ROAD +
                                            "Oh no!  You have been caught in quicksand\n"
                                            "Good throw \x1e you hooked a post and pulled yourself out!\n" +
                                            ROAD +
                                            "Oh no!  You have been caught in quicksand\n"
                                            "You are slowly being swallowed up\n"
                                            "You are up to your waist in quicksand\n"
                                            "You are up to your neck now\n" +
                                            quicksandScreen()))
        << game.output;
}

TEST(Quicksand, APoisonedMarshalWalksOverItUnharmed)
{
    for (bool snakeBite : {true, false}) {
        Transcript game = playScene("e\ne\n", [snakeBite] {
            calmStart();
            playerLocation = OUTSIDE_OFFICE;
            itemLocation[QUICKSAND] = 8;
            (snakeBite ? venomFree : rabiesFree) = 0;
            (snakeBite ? venomStage : rabiesStage) = 1;
            runGame();
        });
        std::string thirdStage = snakeBite ? "You are getting throbbing leg pains\n" : "You feel a tingling in your veins\n";
        EXPECT_EQ(game.output, "You are on the road outside your office\n" + DIRECTIONS + ROAD + thirdStage +
                                   "You are in front of the High Time Saloon\n" + DIRECTIONS + FAREWELL_SCREEN);
    }
}
