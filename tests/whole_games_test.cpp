// Whole games and scenes where the subsystems meet: the verbs, the fights,
// the afflictions and the buildings, played as a player plays them.
#include "harness.h"

#include "buildings/buildings.h"
#include "game/game.h"
#include "world/town_map.h"

#include <gtest/gtest.h>

static bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

static const std::string DEFEAT_SCREEN =
    "{delay 2000}{cls}{goto 12,10}You have been defeated by the desperados Marshal Bob"
    "{goto 11,12}You once were a lion that roared, but now you are stiff as a board"
    "{goto 15,14}Your success was nil, so you must go to boot hill"
    "{goto 18,16}The desperados have prevailed in Orvane City{delay 1000}{goto 1,18}";

TEST(WholeGame, TheMarshalArmsHimselfAndWinsAGunfightOutsideHisOffice)
{
    // Seed 8 puts Dexter on the road outside the office; the first shot clips
    // him, his shot misses, the second shot finishes him.
    Transcript game = playGame(startUp() + "open drawer\ntake gun\ne\nshoot Dexter\nshoot Dex\nshoot Dexter\n", 8);
    EXPECT_EQ(afterGreeting(game.output),
              "You are in your office\nYou see your messy desk\nObvious directions are east or west\n"
              "You got the drawer open\nThere is a Colt 45 gun in there\n"
              "You now have the Colt 45 gun Marshal Bob\n"
              "You are on the road outside your office\n"
              "There is Dexter Desperado smiling and pointing a gun at you\n"
              "Obvious directions are north, south, east and west\n"
              "Bang\n{delay 200}Good shot - you clipped him\n"
              "{delay 1000}Bang\n{delay 200}He missed you\n"
              "Bang\n{delay 200}You nailed the dirtbag again\n"
              "You wasted the skunk, he is toast\n{delay 1000}"
              "There is no Dexter here Marshal Bob\n" +
                  std::string(FAREWELL_SCREEN));
}

// Each milestone is found after the one before it.
static bool inOrder(const std::string& text, std::initializer_list<const char*> milestones)
{
    std::size_t at = 0;
    for (const char* milestone : milestones) {
        at = text.find(milestone, at);
        if (at == std::string::npos)
            return false;
        at += std::string(milestone).size();
    }
    return true;
}

TEST(WholeGame, AnAfternoonFromTheOfficeToVictory)
{
    // Seed 1796701097 (a clock reading in December 2026) hides Dexter next to
    // the office, Clarence before the hotel and Rodney's hideout in the barber
    // shop. The Marshal arms himself, shoots the two brothers, cures himself
    // of hunger for good with the bread and the medicine, and waits for
    // Rodney in the barber's chair.
    std::string input = startUp() +
                        "open drawer\ntake gun\ne\ne\nshoot Dexter\nshoot Dexter\ns\ns\nw\nshoot Clarence\n"
                        "n\nw\nw\nopen cupboard\ntake bag\ne\ne\ne\ne\ne\ntake bottle\neat bread\ndrink medicine\n";
    for (int turn = 24; turn < 155; ++turn)
        input += "i\n";
    input += "shoot Rodney\n\x1b";
    Transcript game = playGame(input, 1796701097);
    EXPECT_TRUE(inOrder(game.output, {"There is Dexter Desperado smiling", "You wasted the skunk, he is toast\n",
                                      "There is Clarence Desperado smiling", "Fantastic!  You blasted the sucker away\n",
                                      "There is a bag of corn bread in there\n", "That tasted a little weird\n",
                                      "Very  good, what a relief, you feel like kicking butt again\n",
                                      "Bang\n{delay 200}Fantastic!  You blasted the sucker away\n{delay 1000}{cls}"
                                      "{goto 6,10}Great  job!  You have cleaned up Orvane City Marshal Bob"}))
        << game.output;
    EXPECT_EQ(game.output.find("You are beginning to feel hungry"), std::string::npos);
    EXPECT_TRUE(endsWith(game.output, "Press escape to exit "));
    EXPECT_EQ(game.exitStatus, 0);
}

TEST(WholeGame, ABrotherInTheTelegraphOfficeTakesTheFirstCommandInside)
{
    // Seed 13 hides Dexter in the telegraph office; an unarmed Marshal who
    // does anything but shoot is shot down.
    Transcript game = playGame(startUp() + "e\nn\ne\ne\ne\ni\n", 13);
    EXPECT_TRUE(endsWith(game.output.substr(0, game.output.find("{goto 1,18}") + 11),
                         "You are in the telegraph office\nYou see lots of dust and cobwebs\n"
                         "You see a wrinkled telegram\n"
                         "There is Dexter Desperado smiling and pointing a gun at you\n"
                         "Obvious direction is west\n"
                         "{delay 1000}Bang\n{delay 200}Oh no - he blew your head off!\n" +
                             DEFEAT_SCREEN))
        << game.output;
}

TEST(WholeGame, TheTelegramReadInTheOfficeKeepsItsHint)
{
    // Seed 1 draws hint 10 at the first reading, seven turns in.
    Transcript game = playGame(startUp() + "e\nn\ne\ne\ne\ntake telegram\nread telegram\nw\nread telegram\n", 1);
    const std::string reading =
        "It says: Attention Marshal Bob\n"
        "Take the high road all the time and your neck will be on the line.\"\n";
    EXPECT_NE(game.output.find("You now have the wrinkled telegram Marshal Bob\n" + reading), std::string::npos);
    EXPECT_EQ(countOf(game.output, reading), 2);
}

TEST(WholeGame, TheRopeFromTheCabinetPullsTheMarshalOutOfTheQuicksand)
{
    Transcript game = playScene("open cabinet\ntake rope\ns\ne\ne\nlook\nthrow rope\nn\n", [] {
        calmStart();
        playerLocation = OFFICE_BACK_ROOM;
        itemLocation[QUICKSAND] = 7;
        runOffice();
        runGame();
    });
    EXPECT_TRUE(endsWith(game.output,
                         "You now have the coil of rope Marshal Bob\n"
                         "You are at the back of your office\nYou see a jail cell\nObvious directions are north or east\n"
                         "You are in your office\nYou see your messy desk\nObvious directions are east or west\n"
                         "You are on the road outside your office\n"
                         "Oh no!  You have been caught in quicksand\n"
                         "You are sinking in quicksand, better think of something fast\n"
                         "You are slowly being swallowed up\n"
                         "Good throw \x1e you hooked a post and pulled yourself out!\n"
                         "You are in front of Clem's General Store\n"
                         "Obvious directions are north, south, east and west\n" +
                             std::string(FAREWELL_SCREEN)))
        << game.output;
}

TEST(WholeGame, OneDoseOfMedicineStopsTheVenomAndTheBreadMidway)
{
    Transcript game = playScene("u\nu\ndrink bottle\nu\nu\nu\nu\nu\nu\nu\nu\nu\nu\nu\nu\n", [] {
        calmStart();
        turnCount = 140;
        playerLocation = RESTAURANT_BARBER_ROAD;
        venomFree = 0;
        breadBagState = 0;
        itemLocation[MEDICINE] = CARRIED;
        itemsCarried = 1;
        runGame();
    });
    std::string stillStanding;
    for (int turn = 0; turn < 12; ++turn)
        stillStanding += "You cannot go that way\n";
    EXPECT_EQ(game.output,
              "You are in the road between the restaurant and the barber shop\n"
              "Obvious directions are north, south, east and west\n"
              "Your leg is swelling up\nThat bread does not agree with you\nYou cannot go that way\n"
              "You cannot go that way\n"
              "You are getting throbbing leg pains\nYou are experiencing stomach cramps\n"
              "Gulp gulp gulp gulp gulp gulp gulp gulp\nBoy that tastes horrible!\n"
              "But good move Marshal Bob, you feel much better now\n"
              "You feel like busting up some desperados\n"
              "Very  good, what a relief, you feel like kicking butt again\n" +
                  stillStanding + FAREWELL_SCREEN);
}

TEST(WholeGame, TheMedicineStopsTheRatsPoison)
{
    Transcript game = playScene("u\ndrink medicine\nu\nu\nu\nu\nu\nu\nu\nu\nu\nu\n", [] {
        calmStart();
        playerLocation = BARBER_SHOP;
        rabiesFree = 0;
        itemLocation[RAT] = NOWHERE;
        runBarberShop();
    });
    EXPECT_NE(game.output.find("You are having burning leg pain\nYou cannot go that way\n"
                               "You do not have medicine Marshal Bob\n"),
              std::string::npos)
        << "the medicine must be carried to be drunk: " << game.output;

    Transcript cured = playScene("take bottle\ndrink medicine\nu\nu\nu\nu\nu\nu\nu\nu\nu\nu\n", [] {
        calmStart();
        playerLocation = BARBER_SHOP;
        rabiesFree = 0;
        runBarberShop();
    });
    EXPECT_NE(cured.output.find("You are having burning leg pain\n"
                                "You now have the bottle of snake oil medicine Marshal Bob\n"
                                "Gulp gulp gulp gulp gulp gulp gulp gulp\nBoy that tastes horrible!\n"
                                "But good move Marshal Bob, you feel much better now\n"),
              std::string::npos)
        << cured.output;
    EXPECT_EQ(cured.output.find("You feel a tingling"), std::string::npos);
    EXPECT_EQ(cured.output.find("crashed to the floor"), std::string::npos);
}

TEST(WholeGame, ThingsInTheBuildingsAreTakenAndTheBystandersAreNot)
{
    Transcript barber = playScene("take guy\ntake bottle\n", [] {
        calmStart();
        playerLocation = BARBER_SHOP;
        runBarberShop();
    });
    EXPECT_NE(barber.output.find("You cannot carry that Marshal Bob\n"
                                 "You now have the bottle of snake oil medicine Marshal Bob\n"),
              std::string::npos)
        << barber.output;

    Transcript kitchen = playScene("w\nopen cupboard\ntake bag\ni\n", [] {
        calmStart();
        playerLocation = RESTAURANT;
        runRestaurant();
    });
    EXPECT_NE(kitchen.output.find("You now have the bag of corn bread Marshal Bob\nYou have a bag of corn bread\n"),
              std::string::npos);

    Transcript guestRoom = playScene("open dresser\ntake knife\n", [] {
        calmStart();
        playerLocation = GUEST_ROOM;
        runHotel();
    });
    EXPECT_NE(guestRoom.output.find("There is a hunting knife in there\nYou now have the hunting knife Marshal Bob\n"),
              std::string::npos);
}

TEST(WholeGame, ShootingTheHorsesOrTheFatGuyEndsTheCareer)
{
    auto shootIn = [](RoomCode room, void (*building)(), const char* command) {
        return playScene(command, [=] {
            calmStart();
            soundOn = 'y';
            playerLocation = room;
            itemLocation[GUN] = CARRIED;
            building();
        });
    };
    Transcript horses = shootIn(2000, runStable, "shoot horses\n");
    EXPECT_NE(horses.output.find("{play gush}{delay 200}{play intr}{play clto}{delay 1000}{cls}{play loen}"
                                 "{goto 10,10}Oh no Marshal Bob, you have killed some very good horses"),
              std::string::npos)
        << horses.output;
    Transcript guy = shootIn(1500, runBarberShop, "shoot guy\n");
    EXPECT_NE(guy.output.find("{play gush}{delay 200}{play plug}{delay 1000}{play fafl}"),
              std::string::npos);
    EXPECT_NE(guy.output.find("{goto 8,10}Oh no Marshal Bob, you have committed cold blooded murder"),
              std::string::npos);
}
