// The locked doors: what the key, kicks, shots and the ax do to a door that
// is locked, open or not found yet.
#include "harness.h"

#include "buildings/buildings.h"

#include <functional>
#include <iostream>
#include <vector>

#include <gtest/gtest.h>

// Seeds whose first draw % 4 is 0, 1, 2 and 3: the shot's roll.
const unsigned ROLL_0 = 3, ROLL_1 = 1, ROLL_2 = 5, ROLL_3 = 4;

const std::string DEFEAT =
    "{delay 2000}{cls}{play loen}{goto 12,10}You have been defeated by the desperados Marshal Bob";

// Says each command to a door in the given state, then shows the door's
// state and the rounds left (unless the game ended on the way).
static Transcript atDoor(int state, const std::vector<const char*>& commands,
                         const std::function<void()>& setUp = [] {}, unsigned seed = 1)
{
    return playScene("", [&] {
        calmStart(seed);
        setUp();
        int door = state;
        for (const char* command : commands)
            doorCommand(command, door);
        std::cout << "[door " << door << ", rounds " << gunRounds << "]";
    });
}

static void carryKey() { itemLocation[KEY] = CARRIED; }

TEST(DoorCommand, TheKeyOpensALockedDoorAndNothingElseOpensIt)
{
    EXPECT_EQ(atDoor(DOOR_LOCKED, {"open door", "unlock door"}).output,
              "The door is locked\nThe door is locked\n[door 1, rounds 6]");
    EXPECT_EQ(atDoor(DOOR_LOCKED, {"insert key", "use key", "open door"}, carryKey).output,
              "Okay, the door is open\nThe door is already open\nThe door is already open\n[door 2, rounds 6]");
    EXPECT_EQ(atDoor(DOOR_OPEN, {"use key"}).output, "The door is already open\n[door 2, rounds 6]");
    EXPECT_EQ(atDoor(DOOR_LOCKED, {"unlock door"}, [] { carryKey(); soundOn = 'y'; }).output,
              "{play opdo}{delay 500}{play cldo}Okay, the door is open\n[door 2, rounds 6]");
    // The trap door before the crate has been moved off it.
    EXPECT_EQ(atDoor(0, {"use key", "open door"}, carryKey).output,
              "You cannot do that\nYou cannot do that\n[door 0, rounds 6]");
}

TEST(DoorCommand, KicksHurtAndTheAxNeverGetsThrough)
{
    auto carryAx = [] { itemLocation[AX] = CARRIED; };
    EXPECT_EQ(atDoor(DOOR_OPEN, {"kick door", "punch door"}).output,
              "Ouch that hurt!\nOuch that hurt!\n[door 2, rounds 6]");
    EXPECT_EQ(atDoor(DOOR_LOCKED, {"chop door"}).output, "You are unable to do that\n[door 1, rounds 6]");
    EXPECT_EQ(atDoor(DOOR_LOCKED, {"break door", "smash door"}, carryAx).output,
              "Chop chop chop chop chop\nNo good, it is too solid\n"
              "Chop chop chop chop chop\nNo good, it is too solid\n[door 1, rounds 6]");
    std::string chops;
    for (int blow = 0; blow < 5; ++blow)
        chops += "{play chop}{delay 500}";
    EXPECT_EQ(atDoor(DOOR_LOCKED, {"hit door", "chop door"}, [=] { carryAx(); soundOn = 'y'; }).output,
              "{play chop}Ouch that hurt!\n" + chops + "No good, it is too solid\n[door 1, rounds 6]");
}

TEST(DoorCommand, AnythingElseSaidToTheDoorIsRefused)
{
    Transcript door = atDoor(DOOR_LOCKED, {"take key", "drop key", "pick lock"});
    EXPECT_EQ(door.output, "You cannot do that\nYou cannot do that\nYou cannot do that\n[door 1, rounds 6]");
}

TEST(DoorCommand, AShotNeedsTheGunAndARound)
{
    EXPECT_EQ(atDoor(DOOR_LOCKED, {"shoot lock"}).output, "You do not have a gun wise guy!\n[door 1, rounds 6]");
    Transcript empty = atDoor(DOOR_LOCKED, {"shoot lock", "shoot door"}, [] {
        itemLocation[GUN] = CARRIED;
        gunRounds = 0;
        soundOn = 'y';
    });
    EXPECT_EQ(empty.output, "{play clic}Your gun is empty\n{play clic}Your gun is empty\n[door 1, rounds 0]");
}

TEST(DoorCommand, TheShotsRollOpensKillsOrDeflectsByTheDoorsState)
{
    const std::string open = "{play gush}{play opdo}{delay 500}{play cldo}Good shot!  You shot open the door\n";
    const std::string deflect = "{play gush}{play rico}The bullet deflected off the lock\n";
    const std::string ricochet = "{play gush}{play rico}{play plug}Plunk!\nYour shot deflected off the lock and\n"
                                 "heavens to Betsy \x1E it shattered your skull!\n";
    struct Shot {
        int state;
        unsigned seed;
        std::string seen;
    };
    const Shot shots[] = {
        {DOOR_LOCKED, ROLL_1, open + "[door 2, rounds 5]"},
        {DOOR_LOCKED, ROLL_2, deflect + "[door 1, rounds 5]"},
        {DOOR_LOCKED, ROLL_3, deflect + "[door 1, rounds 5]"},
        {DOOR_LOCKED, ROLL_0, ricochet},
        {DOOR_OPEN, ROLL_0, deflect + "[door 2, rounds 5]"},
        {DOOR_OPEN, ROLL_1, deflect + "[door 2, rounds 5]"},
        {0, ROLL_0, ricochet},
        {0, ROLL_1, deflect + "[door 0, rounds 5]"},
    };
    for (const Shot& shot : shots) {
        Transcript game = atDoor(shot.state, {"shoot lock"}, [] {
            itemLocation[GUN] = CARRIED;
            soundOn = 'y';
        }, shot.seed);
        std::string seen = game.output.substr(0, shot.seen.size());
        EXPECT_EQ(seen, shot.seen) << "door " << shot.state << ", seed " << shot.seed;
        if (shot.seen == ricochet)
            EXPECT_EQ(game.output.substr(seen.size(), DEFEAT.size()), DEFEAT);
        else
            EXPECT_EQ(game.output.size(), seen.size());
    }
}
