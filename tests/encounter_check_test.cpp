// Meeting the rat or a brother inside a building: only when the room is
// described, the rat first, with the command read for the encounter alone.
#include "harness.h"

#include "buildings/rooms.h"
#include "commands/commands.h"
#include "world/town_map.h"
#include "world/world.h"

#include <iostream>

#include <gtest/gtest.h>

const unsigned RAT_KILLED_THEN_BROTHER_KILLED = 47;  // the rat shot dead (% 4 = 0), then a brother (% 5 = 4)
const unsigned BROTHER_KILLED = 5;                   // the first shot kills a brother

// A room built the way every building room is: its lines, the shared end of
// a description with the encounter check, and one way out to the east.
static void describeDustyRoom(char* command)
{
    std::cout << "You are in a dusty room\n";
    finishDescription("Obvious direction is east\n", command);
}

static void dustyRoomCommand(char* command, int& lastDescribedRoom)
{
    if (commandIs(command, {"e"}))
        playerLocation = OUTSIDE_SALOON;
    else if (!refuseDirection(command, "nsdu"))
        interpretCommand(command, lastDescribedRoom);
}

// The Marshal walks into the dusty room (a hotel code) with his loaded gun.
static void enterDustyRoom()
{
    playerLocation = HOTEL_LOBBY;
    itemLocation[GUN] = CARRIED;
    runBuilding(1600, describeDustyRoom, dustyRoomCommand);
    std::cout << "[out at " << playerLocation << "]";
}

static const std::string ROOM = "You are in a dusty room\n";
static const std::string WAY_OUT = "Obvious direction is east\n";
static const std::string DEXTER_WAITING = "There is Dexter Desperado smiling and pointing a gun at you\n";
static const std::string DEXTER_KILLED = "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n";

// The command read in the check is the encounter's; the room then reads
// its own.
TEST(EncounterCheck, ABrotherInTheRoomTakesTheFirstCommand)
{
    Transcript game = playScene("shoot Dexter\ne\n", [] {
        calmStart(BROTHER_KILLED);
        itemLocation[DEXTER] = 1600;
        enterDustyRoom();
    });
    EXPECT_EQ(game.output, ROOM + DEXTER_WAITING + WAY_OUT + DEXTER_KILLED + "[out at 9]");
}

TEST(EncounterCheck, TheRatComesFirstAndTheBrotherWhenTheRoomIsDescribedAgain)
{
    Transcript game = playScene("shoot rat\nlook\nshoot Dexter\ne\n", [] {
        calmStart(RAT_KILLED_THEN_BROTHER_KILLED);
        itemLocation[DEXTER] = itemLocation[RAT] = 1600;
        enterDustyRoom();
    });
    EXPECT_EQ(game.output, ROOM + "You see a big hairy rat\n{delay 2000}" + DEXTER_WAITING + WAY_OUT +
                               "Bang\nNice job!  You exploded the stinking rat all over the place\n" + ROOM +
                               DEXTER_WAITING + WAY_OUT + DEXTER_KILLED + "[out at 9]");
}

// Rodney steps into the room where the Marshal stands at turn 155; nothing
// happens until the room is described again or he is shot at.
TEST(EncounterCheck, RodneyArrivingInTheMarshalsRoomWaitsToBeMet)
{
    const std::string rodneyWaiting = "There is Rodney Desperado smiling and pointing a gun at you\n";
    const std::string quietTurns = "You cannot go that way\nYou cannot go that way\nYou cannot go that way\n";
    auto rodneysTurn = [] {
        quietStart(BROTHER_KILLED);
        turnCount = 153;
        hungerStage = -1;
        rodneyHideout = 1600;
        enterDustyRoom();
    };
    Transcript looked = playScene("u\nu\nu\nlook\nshoot Rodney\ne\n", [&] { rodneysTurn(); });
    EXPECT_EQ(looked.output, ROOM + WAY_OUT + quietTurns + ROOM + rodneyWaiting + WAY_OUT +
                                 "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n[out at 9]");

    Transcript shot = playScene("u\nu\nu\nshoot Rodney\ne\n", [&] { rodneysTurn(); });
    EXPECT_EQ(shot.output, ROOM + WAY_OUT + quietTurns +
                               "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n[out at 9]");
}
