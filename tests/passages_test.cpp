// The underground passages: the loop back to the saloon's basement, the
// archway's drop, the stalactites and the rock.
#include "harness.h"

#include "buildings/buildings.h"

#include <functional>

#include <gtest/gtest.h>

const std::string DAMP = "You are in a damp and musty underground passageway\n";
const std::string WESTWARD = DAMP + "Obvious directions are east and west\n";
const std::string NORTH_SOUTH = DAMP + "Obvious directions are north and south\n";
const std::string VAULT_LINES =
    "You are in an old underground vault\nYou see a narrow passageway\nObvious directions are west or up\n";
const std::string BEND = "You are near a bend in the passageway\n";
const std::string STALACTITES_STANDING =
    BEND + "You see a dense mass of long stalactites\nObvious directions are east and west\n";
const std::string BROKEN_STALACTITES =
    BEND + "You see a pile of broken stalactites\nObvious directions are north, east and west\n";
const std::string ROCK_ROOM_LINES = "You are at the end of the underground passageway\n"
                         "You see a large rock against the wall\nObvious direction is south\n";
const std::string RAMP_ROOM = "You are at the end of the underground passageway\n"
                         "You see a large rock and a ramp going up\nObvious directions are south and up\n";
const std::string ARCHWAY = "You are standing in a darkened stone archway\nYou are overcome by doubt and fear\n"
                            "Obvious directions are north or south\n";
const std::string RICKETY_STAIRS_LINES = "You are at the end of a damp and musty underground passageway\n"
                                   "There are some rickety stairs here\nObvious directions are up and north\n";
const std::string CANNOT_GO = "You cannot go that way\n";
const std::string SWING_DOORS = "{play sado}";

static std::string times(int count, const std::string& text)
{
    std::string repeated;
    for (int i = 0; i < count; ++i)
        repeated += text;
    return repeated;
}

// Runs the saloon's handler from a passage room with the input.
static std::string below(RoomCode room, const std::string& input, const std::function<void()>& setUp = [] {})
{
    return playScene(input, [&] {
        calmStart();
        setUp();
        playerLocation = room;
        runSaloon();
    }).output;
}

TEST(Passages, TheLoopFromTheVaultComesUpUnderTheSaloonsBasement)
{
    std::string input = "e\n" + times(6, "w\n") + "n\nw\n" + times(5, "s\n") + "d\nu\nn\ns\n";
    std::string southBend = "You are at a bend in the passageway\nObvious directions are east and south\n";
    std::string basement = "You are in the basement of the saloon\nYou see stairs\nYou see shelves of whiskey\n"
                           "Obvious directions are north south or up\n";
    EXPECT_EQ(below(1004, input), VAULT_LINES + CANNOT_GO + times(5, WESTWARD) + STALACTITES_STANDING + CANNOT_GO + southBend +
                                      times(4, NORTH_SOUTH) + RICKETY_STAIRS_LINES + CANNOT_GO + ARCHWAY + basement + ARCHWAY +
                                      FAREWELL_SCREEN);
}

// Each room from the table of the passages: its ways back, a letter it
// refuses, and a line that is not its own, which the interpreter answers.
TEST(Passages, EachRoomGoesBackRefusesTheOtherLettersAndHandsOnTheRest)
{
    const std::string southBend = "You are at a bend in the passageway\nObvious directions are east and south\n";
    const std::string empty = "You are not carrying anything!\n";
    struct Row {
        RoomCode room;
        const char* input;
        std::string seen;
    } rows[] = {
        {1004, "i\n", VAULT_LINES + empty},
        {1005, "u\ni\n", WESTWARD + CANNOT_GO + empty},
        {1010, "e\n", STALACTITES_STANDING + WESTWARD},
        {1011, "n\ni\ne\n", southBend + CANNOT_GO + empty + STALACTITES_STANDING},
        {1012, "w\ni\nn\n", NORTH_SOUTH + CANNOT_GO + empty + southBend},
        {1016, "i\nn\n", RICKETY_STAIRS_LINES + empty + NORTH_SOUTH},
        {1018, "w\ni\n", NORTH_SOUTH + CANNOT_GO + empty},
    };
    for (const Row& row : rows)
        EXPECT_EQ(below(row.room, row.input), row.seen + FAREWELL_SCREEN) << row.room << " " << row.input;
}

TEST(Passages, ClimbsAreHeardAndTheArchwaysDropKills)
{
    std::string upToChamber = below(1005, "e\nu\n", [] {
        trapDoorState = DOOR_OPEN;
        soundOn = 'y';
    });
    EXPECT_EQ(upToChamber, SWING_DOORS + WESTWARD + VAULT_LINES + "{play stai}This is a gloomy chamber\n"
                           "You see a large wooden crate\nYou see an open trap door\nObvious direction is south\n" +
                           FAREWELL_SCREEN);
    std::string fall = SWING_DOORS + RICKETY_STAIRS_LINES + "{play stai}" + ARCHWAY + "{play stsc}{play stfa}{delay 1000}{cls}{play loen}"
                       "{goto 21,10}Oh no - you have taken a very bad fall";
    std::string game = below(1016, "u\ns\n", [] { soundOn = 'y'; });
    EXPECT_EQ(game.substr(0, fall.size()), fall);
}

TEST(Passages, TheAxChopsThroughTheStalactitesOnce)
{
    EXPECT_EQ(below(1010, "chop stalactites\nn\n"),
              STALACTITES_STANDING + "You are unable to do that\n" + CANNOT_GO + FAREWELL_SCREEN);
    auto carryAx = [] { itemLocation[AX] = CARRIED; };
    EXPECT_EQ(below(1010, "ax stalactites\n", carryAx),
              STALACTITES_STANDING + "Chop chop chop chop!\nA passageway going north is revealed\n" + FAREWELL_SCREEN);
    std::string shatter = times(5, "{play chop}{play shat}{delay 500}");
    // Back south from the first passage room is the bend again, not the archway.
    std::string game = below(1010, "break stalactites\nsmash stalactites\nlook\nn\ns\n", [=] {
        carryAx();
        soundOn = 'y';
    });
    EXPECT_EQ(game, SWING_DOORS + STALACTITES_STANDING + shatter + "A passageway going north is revealed\n" + shatter +
                        BROKEN_STALACTITES + NORTH_SOUTH + BROKEN_STALACTITES + FAREWELL_SCREEN);
}

TEST(Passages, TheCrowbarMovesTheRockAndTheWallBecomesARamp)
{
    EXPECT_EQ(below(1023, "u\nmove rock\n"),
              ROCK_ROOM_LINES + CANNOT_GO + "Huff puff grunt - you cannot budge it\n" + FAREWELL_SCREEN);
    auto carryCrowbar = [] { itemLocation[CROWBAR] = CARRIED; };
    EXPECT_EQ(below(1023, "slide rock\n", carryCrowbar),
              ROCK_ROOM_LINES + "Grunt \x1E gasp \x1E groan!\nYou moved the rock\n"
                     "A section of wall has come down to form a ramp going up\n" + FAREWELL_SCREEN);
    std::string game = below(1023, "use crowbar\npush rock\nlook\n", [=] {
        carryCrowbar();
        soundOn = 'y';
    });
    EXPECT_EQ(game, SWING_DOORS + ROCK_ROOM_LINES + "{play grun}{play crsl}{play cldo}You moved the rock\n"
                    "A section of wall has come down to form a ramp going up\n"
                    "{play grun}{play crsl}You moved the rock\n" + RAMP_ROOM + FAREWELL_SCREEN);
}
