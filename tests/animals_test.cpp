// The rattlesnake on the street and the rat in a building: one command
// each, a shot that may save the Marshal, and the bite otherwise.
#include "harness.h"

#include "encounters/encounters.h"
#include "game/game.h"
#include "world/town_map.h"
#include "world/world.h"

#include <cstring>
#include <iostream>

#include <gtest/gtest.h>

// Seeds by the one draw a loaded shot makes (% 4).
const unsigned DRAWS_ZERO = 3;   // the snake or the rat killed
const unsigned DRAWS_ONE = 1;    // the snake missed; the rat hit and driven off
const unsigned DRAWS_THREE = 4;  // the rat missed

const int NO_GUN = -1;

static const std::string ROAD = "You are in the road between your office and the saloon\n";
static const std::string DIRECTIONS = "Obvious directions are north, south, east and west\n";
static const std::string SNAKE_ON_THE_ROAD = ROAD + "You see a coiled rattle snake\n" + DIRECTIONS;
static const std::string SNAKE_BITE =
    "Oh no, the snake has pounced and bitten you\nThe deadly venom is rushing through your veins\n";
static const std::string RAT_BITE =
    "Oh no, the rat has lunged and bitten you\nThe rabbid poison  is rushing through your veins\n";

// The Marshal on the road outside the saloon with the snake, his gun loaded
// with the rounds given (or left in the office).
static void snakeOnTheRoad(unsigned seed, char sound, int rounds)
{
    calmStart(seed);
    soundOn = sound;
    playerLocation = OFFICE_SALOON_ROAD;
    itemLocation[SNAKE] = 8;
    if (rounds != NO_GUN) {
        itemLocation[GUN] = CARRIED;
        gunRounds = rounds;
    }
}

// The snake fight as the main loop starts it, then one more command on the
// street.
static std::string snakeFight(const std::string& input, unsigned seed, char sound = 'n', int rounds = 6)
{
    return playScene(input, [=] {
               snakeOnTheRoad(seed, sound, rounds);
               runGame();
           })
        .output;
}

static void reportWorld()
{
    std::cout << "[rounds " << gunRounds << ", venomFree " << venomFree << ", rabiesFree " << rabiesFree
              << ", snake " << itemLocation[SNAKE] << ", rat " << itemLocation[RAT] << ", at " << playerLocation
              << "]";
}

TEST(Snake, AKillingShotLeavesTheMarshalUnharmed)
{
    EXPECT_EQ(snakeFight("shoot snake\nlook\n", DRAWS_ZERO),
              SNAKE_ON_THE_ROAD + "Bang\nGood shot!  You blasted the stinking snake to bits\n" + ROAD + DIRECTIONS +
                  FAREWELL_SCREEN);
    EXPECT_EQ(snakeFight("shoot snake\n", DRAWS_ZERO, 'y'),
              SNAKE_ON_THE_ROAD + "{play blva}{play gush}{play snki}Good shot!  You blasted the stinking snake to bits\n" +
                  FAREWELL_SCREEN);
}

// The venom starts on the very next command, before it is acted on.
TEST(Snake, AMissIsFollowedByTheBite)
{
    EXPECT_EQ(snakeFight("shoot snake\nlook\n", DRAWS_ONE),
              SNAKE_ON_THE_ROAD + "You missed\n{delay 200}" + SNAKE_BITE + "Your leg is swelling up\n" + ROAD +
                  DIRECTIONS + FAREWELL_SCREEN);
    EXPECT_EQ(snakeFight("shoot snake\n", DRAWS_ONE, 'y'),
              SNAKE_ON_THE_ROAD + "{play blva}{play gush}You missed\n{delay 200}{play snak}{play plug}" + SNAKE_BITE +
                  FAREWELL_SCREEN);
}

TEST(Snake, AnEmptyGunOrNoGunIsFollowedByTheBite)
{
    EXPECT_EQ(snakeFight("shoot snake\n", DRAWS_ZERO, 'n', 0),
              SNAKE_ON_THE_ROAD + "Click\nNo bullets\n{delay 200}" + SNAKE_BITE + FAREWELL_SCREEN);
    EXPECT_EQ(snakeFight("shoot snake\n", DRAWS_ZERO, 'y', 0),
              SNAKE_ON_THE_ROAD + "{play clic}No bullets\n{delay 200}{play snak}{play plug}" + SNAKE_BITE +
                  FAREWELL_SCREEN);
    EXPECT_EQ(snakeFight("shoot snake\n", DRAWS_ZERO, 'n', NO_GUN),
              SNAKE_ON_THE_ROAD + "No gun buster\n{delay 200}" + SNAKE_BITE + FAREWELL_SCREEN);
}

// Only the exact shot fires; anything else is the snake's turn, and the
// command is not acted on.
TEST(Snake, AnyOtherCommandIsAnsweredWithTheBite)
{
    for (const char* typed : {"n", "kill snake", "shoot Snake", "shoot snake ", "look"}) {
        Transcript game = playScene("", [typed] {
            snakeOnTheRoad(DRAWS_ZERO, 'n', 6);
            char command[COMMAND_SIZE];
            std::strcpy(command, typed);
            snakeEncounter(command);
            reportWorld();
        });
        EXPECT_EQ(game.output, "{delay 200}" + SNAKE_BITE +
                                   "[rounds 6, venomFree 0, rabiesFree 1, snake -9999, rat -9999, at 8]")
            << typed;
    }
}

TEST(Snake, TheSnakeStrikesBeforeABrotherOnTheSameSquareDraws)
{
    Transcript game = playScene("n\n", [] {
        snakeOnTheRoad(DRAWS_ZERO, 'n', 6);
        itemLocation[DEXTER] = 8;
        runGame();
    });
    EXPECT_EQ(game.output, ROAD + "You see a coiled rattle snake\n"
                                  "There is Dexter Desperado smiling and pointing a gun at you\n" +
                               DIRECTIONS + "{delay 200}" + SNAKE_BITE + FAREWELL_SCREEN);
}

// The Marshal in the hotel lobby with the rat; the check on arrival reads
// his command.
static std::string ratFight(const std::string& typed, unsigned seed, char sound = 'n', int rounds = 6)
{
    return playScene(typed + "\n", [=] {
               calmStart(seed);
               soundOn = sound;
               playerLocation = itemLocation[RAT] = HOTEL_LOBBY;
               if (rounds != NO_GUN) {
                   itemLocation[GUN] = CARRIED;
                   gunRounds = rounds;
               }
               char command[COMMAND_SIZE];
               encounterCheck(command);
               reportWorld();
           })
        .output;
}

TEST(Rat, AKillOrAHitSparesTheMarshalAndTheRatIsGone)
{
    const std::string gone = "[rounds 5, venomFree 1, rabiesFree 1, snake -9999, rat -9999, at 1600]";
    EXPECT_EQ(ratFight("shoot rat", DRAWS_ZERO),
              "Bang\nNice job!  You exploded the stinking rat all over the place\n" + gone);
    EXPECT_EQ(ratFight("kill rat", DRAWS_ZERO, 'y'),
              "{play blva}{play gush}{play radi}Nice job!  You exploded the stinking rat all over the place\n" + gone);
    EXPECT_EQ(ratFight("kill rat", DRAWS_ONE), "Bang\nYou hit the sucker but he skittered away\n" + gone);
    EXPECT_EQ(ratFight("shoot rat", DRAWS_ONE, 'y'),
              "{play blva}{play gush}{play radi}You hit the sucker but he skittered away\n" + gone);
}

TEST(Rat, AMissAnEmptyGunOrNoGunEndInTheBite)
{
    const std::string bitten = "[rounds 5, venomFree 1, rabiesFree 0, snake -9999, rat -9999, at 1600]";
    const std::string bittenWithoutFiring = "[rounds 0, venomFree 1, rabiesFree 0, snake -9999, rat -9999, at 1600]";
    EXPECT_EQ(ratFight("shoot rat", DRAWS_THREE), "You missed\n{delay 200}" + RAT_BITE + bitten);
    EXPECT_EQ(ratFight("kill rat", DRAWS_THREE, 'y'),
              "{play blva}{play gush}You missed\n{delay 200}{play rabi}" + RAT_BITE + bitten);
    EXPECT_EQ(ratFight("shoot rat", DRAWS_ZERO, 'n', 0),
              "Click\nNo bullets\n{delay 200}" + RAT_BITE + bittenWithoutFiring);
    EXPECT_EQ(ratFight("shoot rat", DRAWS_ZERO, 'y', 0),
              "{play clic}No bullets\n{delay 200}{play rabi}" + RAT_BITE + bittenWithoutFiring);
    EXPECT_NE(ratFight("kill rat", DRAWS_ZERO, 'n', NO_GUN).find("No gun buster\n{delay 200}" + RAT_BITE),
              std::string::npos);
}

TEST(Rat, AnyOtherCommandIsAnsweredWithTheBite)
{
    for (const char* typed : {"hit rat", "shoot Rat", "s", "shoot rat please"}) {
        EXPECT_EQ(ratFight(typed, DRAWS_ZERO),
                  "{delay 200}" + RAT_BITE + "[rounds 6, venomFree 1, rabiesFree 0, snake -9999, rat -9999, at 1600]")
            << typed;
    }
}
