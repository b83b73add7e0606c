// The game's main route: from the office to the trap door, through the
// passages, up the ramp into the store's storage room and out through its
// iron door onto the street.
#include "harness.h"

#include "game/game.h"
#include "world/town_map.h"

#include <gtest/gtest.h>

const std::string SHOP =
    "You are in the general store\nYou see the store counter\nObvious directions are east or west\n";
const std::string SQUARE_TWO =
    "You are in front of Clem's General Store\nObvious directions are north, south, east and west\n";

// Leaving the storage room by its door and the store by its street door.
static std::string outThroughTheStore(const std::string& backOfStoreListing)
{
    return "You are in the storage room of Clem's general store\nYou see a large iron door\n"
           "You see ugly gray walls and shelves\nYou see a box of bullets\nYou see a open can of beans\n"
           "Obvious direction is down\nSqueak squeal screech.It opened and slammed shut behind you\n"
           "You are in the back of the store\nYou see a large iron door that says \"STORAGE.\"\n" +
           backOfStoreListing + "Obvious directions are east or north\n" + SHOP + SQUARE_TWO;
}

// The excerpts appear in the output in this order, one after another.
static bool inOrder(const std::string& output, std::initializer_list<std::string> excerpts)
{
    std::size_t at = 0;
    for (const std::string& excerpt : excerpts) {
        at = output.find(excerpt, at);
        if (at == std::string::npos)
            return false;
        at += excerpt.size();
    }
    return true;
}

TEST(MainRoute, FromTheSaloonThroughThePassagesAndOutOfTheStoreToTheStreet)
{
    // The seed's first draw % 10 is 1: the stairs hold.
    std::string input = "e\nd\nn\nd\nw\nw\nw\nw\nw\nw\nn\nn\nn\nn\nn\nn\nu\ngo door\ne\ne\nw\n";
    Transcript game = playScene(input, [] {
        calmStart(1);
        crateMoved = 1;
        trapDoorState = DOOR_OPEN;
        stalactitesBroken = 1;
        rockMoved = 1;
        playerLocation = SALOON_DOOR;
        runGame();
    });
    EXPECT_EQ(game.output.rfind("You are in the saloon\n", 0), 0u);
    EXPECT_EQ(countOf(game.output, "You are in a damp and musty underground passageway\n"), 10);
    // Back on the street the main loop is in charge: west is the store's door.
    std::string end = outThroughTheStore("You see a shiny brass key\n") + SHOP + FAREWELL_SCREEN;
    ASSERT_GE(game.output.size(), end.size());
    EXPECT_EQ(game.output.substr(game.output.size() - end.size()), end) << game.output;
}

TEST(MainRoute, FromTheOfficeToTheStorageRoomAndOutThroughTheIronDoor)
{
    // Seed 40 hides Dexter and Clarence in the hotel, puts the rat in the
    // barber shop and lets the saloon's stairs hold.
    std::string input = startUp() +
                        "open drawer\ntake gun\ne\nn\nw\nw\ntake key\ne\ne\n"
                        "n\nw\ntake ax\ne\ns\ns\ns\ns\ns\ne\ne\ne\ntake crowbar\nw\nn\nn\nn\ne\n"
                        "e\nd\nn\npush crate\nuse key\nd\nw\nw\nw\nw\nw\nw\nchop stalactites\n"
                        "n\nn\nn\nn\nn\nn\nmove rock\nu\ngo door\ne\ne\n";
    Transcript game = playGame(input, 40);
    std::string after = afterGreeting(game.output);
    EXPECT_TRUE(inOrder(after, {"There is a Colt 45 gun in there\n", "You now have the Colt 45 gun Marshal Bob\n",
                                "You now have the shiny brass key Marshal Bob\n",
                                "You now have the sharpened ax Marshal Bob\n",
                                "You now have the iron crowbar Marshal Bob\n", "You see a trap door\n",
                                "Okay, the door is open\n", "A passageway going north is revealed\n",
                                "A section of wall has come down to form a ramp going up\n"}))
        << after;
    std::string end = outThroughTheStore("") + FAREWELL_SCREEN;
    ASSERT_GE(after.size(), end.size());
    EXPECT_EQ(after.substr(after.size() - end.size()), end) << after;
}
