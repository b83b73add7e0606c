// Taking and dropping things, the four-item limit and the medicine bottle
// that breaks when it is put down.
#include "harness.h"

#include "buildings/buildings.h"
#include "commands/commands.h"
#include "platform/platform.h"
#include "world/town_map.h"

#include <gtest/gtest.h>

// Each typed line goes straight to the interpreter, as a room hands over
// every line that is not one of its own; setUp arranges the world first.
static Transcript interpretLines(const std::string& input, void (*setUp)())
{
    return playScene(input, [setUp] {
        calmStart();
        playerLocation = OFFICE;
        setUp();
        interpretEachLine();
    });
}

static void fiveThingsOnTheDesk()
{
    for (int item : {KEY, GUN, BULLETS, ROPE, AX})
        itemLocation[item] = 600;
}

TEST(Taking, FourThingsFillTheHandsAndAbsentThingsAreRefusedFirst)
{
    Transcript scene = interpretLines("take key\nget gun\ngrab box\ntake rope\ntake ax\ntake knife\n"
                                      "take key\ntake desk\ndrop rope\ntake desk\ntake ax\ni\n",
                                      fiveThingsOnTheDesk);
    EXPECT_EQ(scene.output,
              "You now have the shiny brass key Marshal Bob\n"
              "You now have the Colt 45 gun Marshal Bob\n"
              "You now have the box of bullets Marshal Bob\n"
              "You now have the coil of rope Marshal Bob\n"
              "You cannot carry anything else\n"
              "There is no knife here Marshal Bob\n"
              "There is no key here Marshal Bob\n"
              "You cannot carry anything else\n"
              "Okay Marshal Bob, you no longer have the rope\n"
              "You cannot carry that Marshal Bob\n"
              "You now have the sharpened ax Marshal Bob\n"
              "You have a shiny brass key\nYou have a Colt 45 gun\nYou have a box of bullets\n"
              "You have a sharpened ax\n");
}

TEST(Taking, WithSoundTheHitComesBeforeTheTake)
{
    Transcript scene = interpretLines("take key\n", [] {
        fiveThingsOnTheDesk();
        soundOn = 'y';
    });
    EXPECT_EQ(scene.output, "{play thit}{play take}You now have the shiny brass key Marshal Bob\n");
}

static void carryingFourThings()
{
    for (int item : {BULLETS, BEANS, BREAD, KNIFE})
        itemLocation[item] = CARRIED;
    itemsCarried = 4;
}

TEST(Dropping, EachThingHasItsReplyAndLiesWhereItFell)
{
    const std::string replies = "There goes the bullet box\nYou dropped the bean can\n"
                                "You gave up the bread bag\nOkay Marshal Bob, you no longer have the knife\n";
    Transcript quiet = interpretLines("drop box\nthrow can\ndrop bag\nthrow knife\ndrop knife\ndrop bottle\n",
                                      carryingFourThings);
    EXPECT_EQ(quiet.output, replies + "You do not have knife Marshal Bob\nYou do not have medicine Marshal Bob\n");

    Transcript loud = interpretLines("drop box\nthrow can\ndrop bag\nthrow knife\n", [] {
        carryingFourThings();
        soundOn = 'y';
    });
    EXPECT_EQ(loud.output, "{play drop}There goes the bullet box\n{play drop}You dropped the bean can\n"
                           "{play drop}You gave up the bread bag\n"
                           "{play drop}Okay Marshal Bob, you no longer have the knife\n");

    // Back in the office the dropped things are listed, and the hands have
    // room again.
    Transcript office = playScene("drop box\nlook\ntake rope\n", [] {
        calmStart();
        carryingFourThings();
        playerLocation = OFFICE;
        itemLocation[ROPE] = 600;
        runOffice();
    });
    EXPECT_NE(office.output.find("You are in your office\nYou see your messy desk\n"
                                 "You see a box of bullets\nYou see a coil of rope\n"
                                 "Obvious directions are east or west\nYou now have the coil of rope Marshal Bob\n"),
              std::string::npos)
        << office.output;
}

static void carryingTheMedicine()
{
    itemLocation[MEDICINE] = CARRIED;
    itemsCarried = 1;
}

TEST(Dropping, TheMedicineBottleShattersAndCannotBeTakenAgain)
{
    const std::string crash = "Crash \x1e the medicine bottle has shattered\n";
    const std::string splash = "The medicine has splashed all over the place\n";
    const std::string refused = "Impossible - the medicine bottle is shattered\n";
    Transcript full = interpretLines("drop bottle\ntake medicine\n", carryingTheMedicine);
    EXPECT_EQ(full.output, crash + splash + refused);

    Transcript empty = interpretLines("drink medicine\ndrop medicine\ntake bottle\n", carryingTheMedicine);
    EXPECT_EQ(empty.output, "Gulp gulp gulp gulp gulp gulp gulp gulp\nBoy that tastes horrible!\n" + crash + refused);

    // With sound the crash is heard instead of told, and no drop is heard.
    Transcript loud = interpretLines("drop medicine\ntake medicine\n", [] {
        carryingTheMedicine();
        soundOn = 'y';
    });
    EXPECT_EQ(loud.output, "{play shat}" + splash + refused);
}

TEST(Taking, ThingsFromTheOfficeInAWholeGame)
{
    Transcript game = playGame("nyBob\nopen drawer\ntake gun\ntake desk\ni\nthrow gun\ni\n");
    EXPECT_NE(afterGreeting(game.output)
                  .find("{play opdr}You got the drawer open\nThere is a Colt 45 gun in there\n"
                        "{play thit}{play take}You now have the Colt 45 gun Marshal Bob\n"
                        "You cannot carry that Marshal Bob\nYou have a Colt 45 gun\n"
                        "{play drop}Okay Marshal Bob, you no longer have the gun\n"
                        "You are not carrying anything!\n"),
              std::string::npos)
        << game.output;
}
