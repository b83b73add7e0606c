// Gunfights with the Desperado brothers: the Marshal's shot, the return
// fire, the clips, the kills and the endings they lead to.
#include "harness.h"

#include "commands/commands.h"
#include "encounters/encounters.h"
#include "game/game.h"
#include "world/town_map.h"
#include "world/world.h"

#include <cstring>
#include <iostream>

#include <gtest/gtest.h>

// Seeds, by the draws the fight makes (the Marshal's shot % 5, then the
// brother's % 4, and so on; with sound on a kill also draws its closing
// sound % 3):
const unsigned CLIP_MISS_CLIP = 18;  // clip, he misses, clip, then a clip and a miss again; closing sound "tolo"
const unsigned KILL_OUTRIGHT = 5;    // the first shot kills; closing sound "tolo"
const unsigned MISS_THEN_HIT = 2;    // the Marshal misses, the brother does not
const unsigned MISS_MISS_KILL = 1;   // both miss, then the Marshal's second shot kills; a lone return shot misses

static const std::string ROAD = "You are in the road between your office and the saloon\n";
static const std::string DEXTER_WAITING = "There is Dexter Desperado smiling and pointing a gun at you\n";
static const std::string DIRECTIONS = "Obvious directions are north, south, east and west\n";
static const std::string ROAD_WITH_DEXTER = ROAD + DEXTER_WAITING + DIRECTIONS;

static std::string defeatScreen(bool sound = false)
{
    return std::string("{delay 2000}{cls}") + (sound ? "{play loen}" : "") +
           "{goto 12,10}You have been defeated by the desperados Marshal Bob"
           "{goto 11,12}You once were a lion that roared, but now you are stiff as a board"
           "{goto 15,14}Your success was nil, so you must go to boot hill"
           "{goto 18,16}The desperados have prevailed in Orvane City{delay 1000}{goto 1,18}";
}

static const std::string VICTORY_SCREEN =
    "{delay 1000}{cls}{goto 6,10}Great  job!  You have cleaned up Orvane City Marshal Bob"
    "{goto 15,12}It looked for a while like you were gonna get hurt"
    "{goto 14,14}But you mowed down the punks like weeds in the dirt"
    "{goto 18,16}Law and order have prevailed in Orvane City!{delay 1000}{goto 1,18}";

static bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The Marshal, with his loaded gun, on the road outside the saloon; Dexter
// waits there.
static void dexterOnTheRoad(unsigned seed, char sound = 'n')
{
    calmStart(seed);
    soundOn = sound;
    playerLocation = OFFICE_SALOON_ROAD;
    itemLocation[DEXTER] = 8;
    itemLocation[GUN] = CARRIED;
    itemsCarried = 1;
}

// Fights with the command already typed, then shows what is left.
static void fightAndReport(const char* typed)
{
    char command[COMMAND_SIZE];
    std::strcpy(command, typed);
    gunfight(command);
    std::cout << "[left " << desperadosLeft << ", rounds " << gunRounds << ", Dexter "
              << itemLocation[DEXTER] << ", Clarence " << itemLocation[CLARENCE] << ", Rodney "
              << itemLocation[RODNEY] << "]";
}

TEST(Gunfight, AClipThenASecondClipFinishesTheBrother)
{
    Transcript game = playScene("shoot dexter\nshoot Dexter\n", [] {
        dexterOnTheRoad(CLIP_MISS_CLIP);
        runGame();
    });
    EXPECT_EQ(game.output, ROAD_WITH_DEXTER +
                               "Bang\n{delay 200}Good shot - you clipped him\n"
                               "{delay 1000}Bang\n{delay 200}He missed you\n"
                               "Bang\n{delay 200}You nailed the dirtbag again\n"
                               "You wasted the skunk, he is toast\n{delay 1000}" +
                               FAREWELL_SCREEN);
}

TEST(Gunfight, WithSoundTheShotsAndTheFallAreHeardNotPrinted)
{
    Transcript game = playScene("shoot Dex\nshoot dex\n", [] {
        dexterOnTheRoad(CLIP_MISS_CLIP, 'y');
        runGame();
    });
    EXPECT_EQ(game.output, ROAD + "{delay 1500}{play dela}{play guco}" + DEXTER_WAITING + DIRECTIONS +
                               "{play gush}{delay 200}{play dewo}Good shot - you clipped him\n"
                               "{delay 1000}{play gus2}{delay 200}He missed you\n"
                               "{play gush}{delay 200}{play dewo}You nailed the dirtbag again\n"
                               "{delay 1000}{play faro}You wasted the skunk, he is toast\n{delay 1000}{play tolo}" +
                               FAREWELL_SCREEN);
}

TEST(Gunfight, AKillOutrightEndsTheFightAndTheGameGoesOn)
{
    Transcript game = playScene("shoot Dexter\n", [] {
        dexterOnTheRoad(KILL_OUTRIGHT);
        fightAndReport("shoot Dexter");
    });
    EXPECT_EQ(game.output, "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n"
                           "[left 2, rounds 5, Dexter -9999, Clarence -9999, Rodney -9999]");
}

TEST(Gunfight, AKillIndoorsWithSoundPlaysTheFallOnTheFloor)
{
    Transcript game = playScene("shoot Dexter\n", [] {
        dexterOnTheRoad(KILL_OUTRIGHT, 'y');
        playerLocation = itemLocation[DEXTER] = HOTEL_LOBBY;
        char command[COMMAND_SIZE];
        encounterCheck(command);
    });
    EXPECT_EQ(game.output, "{play gush}{delay 200}{play plug}{delay 1000}{play fafl}{play tolo}"
                           "Fantastic!  You blasted the sucker away\n");
}

TEST(Gunfight, AMissAndTheReturnShotKillTheMarshal)
{
    Transcript silent = playScene("shoot Dexter\n", [] {
        dexterOnTheRoad(MISS_THEN_HIT);
        runGame();
    });
    EXPECT_TRUE(startsWith(silent.output, ROAD_WITH_DEXTER + "Bang\n{delay 200}You missed\n"
                                                             "{delay 1000}Bang\n{delay 200}"
                                                             "Oh no - he blew your head off!\n" +
                                              defeatScreen()))
        << silent.output;
    EXPECT_EQ(silent.exitStatus, 0);

    Transcript loud = playScene("", [] {
        dexterOnTheRoad(MISS_THEN_HIT, 'y');
        fightAndReport("shoot Dexter");
    });
    EXPECT_TRUE(startsWith(loud.output, "{play gush}{delay 200}You missed\n"
                                        "{delay 1000}{play gus2}{delay 200}{play shsh}{delay 1000}{play faro}"
                                        "Oh no - he blew your head off!\n" +
                                            defeatScreen(true)))
        << loud.output;
}

// The seed's return shot would miss; the brother does not miss a Marshal
// who cannot fire back.
TEST(Gunfight, AnEmptyGunOrNoGunMeansCertainDeath)
{
    const std::string certainDeath = "{delay 1000}Bang\n{delay 200}Oh no - he blew your head off!\n" + defeatScreen();
    Transcript empty = playScene("", [] {
        dexterOnTheRoad(MISS_MISS_KILL);
        gunRounds = 0;
        fightAndReport("shoot Dexter");
    });
    EXPECT_TRUE(startsWith(empty.output, "Click- no bullets\n" + certainDeath)) << empty.output;

    Transcript unarmed = playScene("", [] {
        dexterOnTheRoad(MISS_MISS_KILL);
        itemLocation[GUN] = 600;
        fightAndReport("shoot Dexter");
    });
    EXPECT_TRUE(startsWith(unarmed.output, "No gun buster\n" + certainDeath)) << unarmed.output;

    Transcript click = playScene("", [] {
        dexterOnTheRoad(MISS_MISS_KILL, 'y');
        gunRounds = 0;
        fightAndReport("shoot Dexter");
    });
    EXPECT_TRUE(startsWith(click.output, "{play clic}Click- no bullets\n{delay 1000}{play gus2}{delay 200}"
                                         "{play shsh}{delay 1000}{play faro}Oh no - he blew your head off!\n"))
        << click.output;
}

// Anything but a shot at a brother who is here lets him fire at leisure: no
// round is spent, nothing moves, and the shot always kills.
TEST(Gunfight, AnyOtherCommandGivesTheBrotherAFreeShot)
{
    for (const char* typed : {"n", "look", "inventory", "shoot snake", "shoot Clarence", "kill Dexter",
                              "Shoot Dexter", "shoot DEXTER", "shoot de"}) {
        Transcript game = playScene("", [typed] {
            dexterOnTheRoad(MISS_MISS_KILL);
            itemLocation[CLARENCE] = 603;
            fightAndReport(typed);
        });
        EXPECT_TRUE(startsWith(game.output, "{delay 1000}Bang\n{delay 200}Oh no - he blew your head off!\n" +
                                                defeatScreen()))
            << typed << ": " << game.output;
    }
}

// Each brother answers to the first nine letters of a shot at him, in small
// letters or with his name's capital; a bare "shoot" opening the fight aims at
// the first brother here.
TEST(Gunfight, TheShotFindsTheBrotherItNames)
{
    struct Case {
        const char* typed;
        bool dexterHere;
        const char* survivors;
    };
    const Case cases[] = {
        {"shoot dex", true, "Dexter -9999, Clarence 8, Rodney 8"},
        {"shoot dexterous", true, "Dexter -9999, Clarence 8, Rodney 8"},
        {"shoot Dexter", true, "Dexter -9999, Clarence 8, Rodney 8"},
        {"shoot cla", true, "Dexter 8, Clarence -9999, Rodney 8"},
        {"shoot Clarence", true, "Dexter 8, Clarence -9999, Rodney 8"},
        {"shoot rodney", true, "Dexter 8, Clarence 8, Rodney -9999"},
        {"shoot Rod", true, "Dexter 8, Clarence 8, Rodney -9999"},
        {"shoot", true, "Dexter -9999, Clarence 8, Rodney 8"},
        {"shoot", false, "Dexter 603, Clarence -9999, Rodney 8"},
    };
    for (const Case& aim : cases) {
        Transcript game = playScene("", [&aim] {
            dexterOnTheRoad(KILL_OUTRIGHT);
            itemLocation[CLARENCE] = itemLocation[RODNEY] = 8;
            if (!aim.dexterHere)
                itemLocation[DEXTER] = 603;
            fightAndReport(aim.typed);
        });
        EXPECT_EQ(game.output, std::string("Bang\n{delay 200}Fantastic!  You blasted the sucker away\n"
                                           "[left 2, rounds 5, ") +
                                   aim.survivors + "]")
            << aim.typed;
    }
}

// The interpreter hands a shot at a brother who is here over with his name
// as the noun table spells it.
TEST(Gunfight, TheInterpreterHandsOverAShotAtABrotherHere)
{
    Transcript game = playScene("", [] {
        dexterOnTheRoad(KILL_OUTRIGHT);
        itemLocation[DEXTER] = NOWHERE;
        itemLocation[RODNEY] = 8;
        char command[COMMAND_SIZE] = "shoot Rodney";
        int lastDescribedRoom = 8;
        interpretCommand(command, lastDescribedRoom);
        std::cout << "[Rodney " << itemLocation[RODNEY] << "]";
    });
    EXPECT_EQ(game.output, "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n[Rodney -9999]");
}

TEST(Gunfight, ABareShootAfterTheFirstExchangeAsksForTwoWords)
{
    Transcript game = playScene("shoot\nshoot\nshoot\nshoot Dexter\n", [] {
        dexterOnTheRoad(MISS_MISS_KILL);
        runGame();
    });
    EXPECT_EQ(game.output, ROAD_WITH_DEXTER +
                               "Bang\n{delay 200}You missed\n{delay 1000}Bang\n{delay 200}He missed you\n"
                               "You must use two words\nYou must use two words\n"
                               "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n" +
                               FAREWELL_SCREEN);
}

// A clip on one brother and a clip on the other finish the second; the
// survivor's next fight starts with no clips.
TEST(Gunfight, ClipsCountForTheFightNotForOneBrother)
{
    Transcript game = playScene("shoot Dexter\nshoot Clarence\nshoot Dexter\n", [] {
        dexterOnTheRoad(CLIP_MISS_CLIP);
        itemLocation[CLARENCE] = 8;
        runGame();
    });
    std::string road = ROAD + DEXTER_WAITING + "There is Clarence Desperado smiling and pointing a gun at you\n" +
                       DIRECTIONS;
    EXPECT_EQ(game.output, road +
                               "Bang\n{delay 200}Good shot - you clipped him\n{delay 1000}Bang\n{delay 200}He missed you\n"
                               "Bang\n{delay 200}You nailed the dirtbag again\n"
                               "You wasted the skunk, he is toast\n{delay 1000}"
                               "Bang\n{delay 200}Good shot - you clipped him\n{delay 1000}Bang\n{delay 200}He missed you\n" +
                               FAREWELL_SCREEN);
}

TEST(Gunfight, TheThirdBrotherDownIsVictory)
{
    Transcript outright = playScene("shoot Dexter\n", [] {
        dexterOnTheRoad(KILL_OUTRIGHT);
        desperadosLeft = 1;
        runGame();
    });
    EXPECT_TRUE(startsWith(outright.output, ROAD_WITH_DEXTER +
                                                "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n" +
                                                VICTORY_SCREEN))
        << outright.output;
    EXPECT_EQ(outright.exitStatus, 0);

    Transcript finished = playScene("shoot Dexter\nshoot Dexter\n", [] {
        dexterOnTheRoad(CLIP_MISS_CLIP);
        desperadosLeft = 1;
        runGame();
    });
    EXPECT_NE(finished.output.find("You wasted the skunk, he is toast\n{delay 1000}" + VICTORY_SCREEN),
              std::string::npos)
        << finished.output;
}
