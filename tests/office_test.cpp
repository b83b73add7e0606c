// The Marshal's office and jail, where every game begins.
#include "harness.h"

#include "buildings/buildings.h"
#include "game/game.h"

#include <gtest/gtest.h>

static const std::string OFFICE_LINES =
    "You are in your office\nYou see your messy desk\nObvious directions are east or west\n";
static const std::string BACK_OF_OFFICE_LINES =
    "You are at the back of your office\nYou see a jail cell\nObvious directions are north or east\n";
static const std::string CANNOT = "You cannot go that way\n";

static Transcript inTheOffice(const std::string& input, const std::function<void()>& setUp = [] {})
{
    return playScene(input, [&] {
        calmStart();
        setUp();
        runGame();
    });
}

TEST(Office, TheGameBeginsAtTheDeskAndEastLeavesForTheStreet)
{
    Transcript game = inTheOffice("n\ns\nd\nu\ne\nw\n");
    EXPECT_EQ(game.output, OFFICE_LINES + CANNOT + CANNOT + CANNOT + CANNOT +
                               "You are on the road outside your office\n"
                               "Obvious directions are north, south, east and west\n" +
                               OFFICE_LINES + FAREWELL_SCREEN);
}

TEST(Office, TheDrawerGivesUpTheGunOnce)
{
    Transcript game = inTheOffice("open drawer\npull drawer\nlook\nopen desk\n");
    EXPECT_EQ(game.output, OFFICE_LINES +
                               "You got the drawer open\n"
                               "There is a Colt 45 gun in there\n"
                               "It is already open\n"
                               "You are in your office\nYou see your messy desk\nYou see a Colt 45 gun\n"
                               "Obvious directions are east or west\n"
                               "It is already open\n" +
                               FAREWELL_SCREEN);
    Transcript loud = inTheOffice("open desk\n", [] { soundOn = 'y'; });
    EXPECT_NE(loud.output.find(OFFICE_LINES + "{play opdr}You got the drawer open\n"), std::string::npos);
}

TEST(Office, TheCellIsLockedAndItsDoorCommandsGoToTheDoor)
{
    Transcript game = inTheOffice("w\nopen cell\ngo jail\ns\nw\nd\nu\nfoo door\n");
    EXPECT_EQ(game.output, OFFICE_LINES + BACK_OF_OFFICE_LINES +
                               "The cell door is locked!\nThe cell door is locked!\n" + CANNOT + CANNOT + CANNOT +
                               CANNOT + "You cannot do that\n" + FAREWELL_SCREEN);
}

TEST(Office, AnOpenCellLetsTheMarshalInAndItsCotLineRunsOn)
{
    Transcript game = inTheOffice("w\nwalk jail\nn\nw\ns\nd\nu\ne\ne\n", [] { cellDoorState = DOOR_OPEN; });
    EXPECT_EQ(game.output, OFFICE_LINES + BACK_OF_OFFICE_LINES +
                               "You are in the jail cell\nYou see a flimsy cot\n.Obvious direction is east\n" + CANNOT +
                               CANNOT + CANNOT + CANNOT + CANNOT + BACK_OF_OFFICE_LINES + OFFICE_LINES + FAREWELL_SCREEN);
}

TEST(Office, TheCabinetOpensOnceAndStaysOpen)
{
    Transcript game = inTheOffice("w\nn\nopen cabinet\nopen cabinet\ns\nn\nn\ne\nw\nu\nd\n", [] { soundOn = 'y'; });
    EXPECT_EQ(game.output, OFFICE_LINES + BACK_OF_OFFICE_LINES +
                               "You are in a back room\nYou see a cabinet\nObvious direction is south\n"
                               "{play opca}Okay, it is open\nYou see a coil of rope inside\n"
                               "It is already open\n" +
                               BACK_OF_OFFICE_LINES +
                               "You are in a back room\nYou see an open cabinet\nYou see a coil of rope\n"
                               "Obvious direction is south\n" +
                               CANNOT + CANNOT + CANNOT + CANNOT + CANNOT + FAREWELL_SCREEN);
}

TEST(Office, OtherCommandsGoToTheInterpreter)
{
    Transcript game = inTheOffice("w\nn\ninventory\nopen drawer\n");
    EXPECT_NE(game.output.find("You are not carrying anything!\n"
                               "That is impossible Marshal Bob\n"),
              std::string::npos)
        << "the drawer words belong to the desk's room only";
    Transcript inTheCell = inTheOffice("w\nwalk jail\ninventory\n", [] { cellDoorState = DOOR_OPEN; });
    EXPECT_NE(inTheCell.output.find("Obvious direction is east\nYou are not carrying anything!\n"), std::string::npos);
}
