// The High Time Saloon: its doors and music, the stairs, and the crate over
// the trap door.
#include "harness.h"

#include "buildings/buildings.h"
#include "game/game.h"
#include "world/town_map.h"

#include <functional>
#include <iostream>

#include <gtest/gtest.h>

const std::string BAR_ROOM = "You are in the saloon\nIt stinks of cheap cigars and unwashed cowboys\n"
                             "You see lots of guys drinking and playing cards\nObvious directions are east or west\n";
const std::string MANAGERS_OFFICE_LINES =
    "You are in the saloon manager's office\nYou see stairs\nObvious directions are west or down\n";
const std::string BASEMENT = "You are in the basement of the saloon\nYou see stairs\nYou see shelves of whiskey\n"
                             "Obvious directions are north south or up\n";
const std::string CHAMBER = "This is a gloomy chamber\nYou see a large wooden crate\n";
const std::string SOUTH = "Obvious direction is south\n";
const std::string VAULT_LINES =
    "You are in an old underground vault\nYou see a narrow passageway\nObvious directions are west or up\n";
const std::string CANNOT_GO = "You cannot go that way\n";
const std::string FELL = "{cls}{goto 23,10}Oh no - you fell down the stairs!";

// Seeds whose first draw % 10 is 0 (the fall) and 1.
const unsigned STAIRS_FALL = 16, STAIRS_HOLD = 1;

static std::string inSaloon(RoomCode room, const std::string& input,
                            const std::function<void()>& setUp = [] {}, unsigned seed = 1)
{
    return playScene(input, [&] {
        calmStart(seed);
        setUp();
        playerLocation = room;
        runSaloon();
    }).output;
}

TEST(Saloon, SwingDoorsMusicAndTheManagersDoorWithSoundOn)
{
    Transcript game = playScene("n\ne\nw\nlook\nw\n", [] {
        calmStart();
        soundOn = 'y';
        playerLocation = SALOON_DOOR;
        runGame();
    });
    std::string music = "{loop samu}";
    EXPECT_EQ(game.output, "{play sado}" + music + BAR_ROOM + CANNOT_GO + "{play mado}" + MANAGERS_OFFICE_LINES +
                               "{play mado}" + music + BAR_ROOM + music + BAR_ROOM + "{play sado}" +
                               "You are in front of the High Time Saloon\n"
                               "Obvious directions are north, south, east and west\n" + FAREWELL_SCREEN);
}

// The start of the output, as long as what it is expected to begin with.
static std::string opening(const std::string& output, const std::string& expected)
{
    return output.substr(0, expected.size());
}

TEST(Saloon, TheStairsKillOneDescentInTenAndNeverTheClimb)
{
    std::string fall = MANAGERS_OFFICE_LINES + CANNOT_GO + "{delay 500}" + FELL;
    EXPECT_EQ(opening(inSaloon(1001, "s\nd\n", [] {}, STAIRS_FALL), fall), fall);
    std::string safe = inSaloon(1001, "d\n", [] { soundOn = 'y'; }, STAIRS_HOLD);
    EXPECT_EQ(safe, "{play sado}" + MANAGERS_OFFICE_LINES + "{play stai}" + BASEMENT + FAREWELL_SCREEN);
    // Going up leaves the draw alone: the next descent meets the fall.
    std::string climb = BASEMENT + CANNOT_GO + MANAGERS_OFFICE_LINES + "{delay 500}" + FELL;
    EXPECT_EQ(opening(inSaloon(1002, "w\nu\nd\n", [] {}, STAIRS_FALL), climb), climb);
}

TEST(Saloon, TheCrateHidesATrapDoorThatTheKeyOpensForGood)
{
    std::string input = "d\ngo door\nlift crate\nhit crate\nchop crate\npush crate\n"
                        "d\nenter door\npush crate\ns\nn\nuse key\npush crate\nd\nu\n";
    std::string game = inSaloon(1003, input, [] { itemLocation[KEY] = CARRIED; });
    std::string moved = "Huff puff sigh\nWhat a strain but you moved it\n";
    EXPECT_EQ(game, CHAMBER + SOUTH + CANNOT_GO + CANNOT_GO + "Grunt moan gasp\nIt is too heavy\n" +
                        "Bang\nNo good, it is too solid\nYou do not have an ax\n" + moved + "You see a trap door\n" +
                        CANNOT_GO + "the trap door is locked!\n" + moved + BASEMENT + CHAMBER +
                        "You see a large closed trap door\n" + SOUTH + "Okay, the door is open\n" + moved + VAULT_LINES +
                        CHAMBER + "You see an open trap door\n" + SOUTH + FAREWELL_SCREEN);
}

TEST(Saloon, TheCratesSoundsReplaceItsWords)
{
    std::string chops;
    for (int blow = 0; blow < 5; ++blow)
        chops += "{play chop}{delay 500}";
    std::string game = inSaloon(1003, "take crate\nslam crate\nslide crate\nax crate\ngo door\n", [] {
        itemLocation[AX] = CARRIED;
        trapDoorState = DOOR_OPEN;
        crateMoved = 1;
        soundOn = 'y';
    });
    EXPECT_EQ(game, "{play sado}" + CHAMBER + "You see an open trap door\n" + SOUTH + "{play grun}It is too heavy\n" +
                        "{play chop}No good, it is too solid\n" + "{play grun}{play crsl}What a strain but you moved it\n" +
                        chops + "No good \x1E the wood is too hard\n" + "{play stai}" + VAULT_LINES + FAREWELL_SCREEN);
}

TEST(Saloon, WordsForTheTrapDoorGoToItEvenBeforeItIsFound)
{
    // Only a command whose second word names the door, the key or the lock
    // is the door's; the key lying here cannot be taken from under it.
    std::string words = inSaloon(1003, "take key\nunlock the door\n", [] { itemLocation[KEY] = 1003; });
    EXPECT_EQ(words, CHAMBER + "You see a shiny brass key\n" + SOUTH + "You cannot do that\n" +
                         "Please use only two words\n" + FAREWELL_SCREEN);
    // A seed whose first draw % 4 is 0: the hidden lock still sends the bullet back.
    std::string shot = CHAMBER + SOUTH + "Plunk!\nYour shot deflected off the lock and\n";
    EXPECT_EQ(opening(inSaloon(1003, "shoot lock\n", [] { itemLocation[GUN] = CARRIED; }, 3), shot), shot);
}
