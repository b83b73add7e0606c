// The gun and its one box of bullets, the knife, the ax, and the shots that
// end the game.
#include "harness.h"

#include "commands/commands.h"
#include "platform/platform.h"
#include "world/town_map.h"

#include <functional>
#include <gtest/gtest.h>

// The typed lines go straight to the interpreter with the gun in hand;
// setUp places everything else.
static Transcript armed(const std::string& input, const std::function<void()>& setUp)
{
    return playScene(input, [&setUp] {
        calmStart();
        playerLocation = OFFICE;
        itemLocation[GUN] = CARRIED;
        itemsCarried = 1;
        setUp();
        interpretEachLine();
    });
}

TEST(Loading, TheBoxMustBeCarriedAndCutOpenAndRefillsTheGunOnce)
{
    Transcript scene = armed("load box\nload gun\ntake box\nload gun\nopen box\ncut box\nopen box\n"
                             "load gun\nload gun\nshoot desk\nshoot desk\nshoot desk\nshoot desk\n"
                             "shoot desk\nshoot desk\nshoot desk\n",
                             [] {
                                 itemLocation[KNIFE] = CARRIED;
                                 itemLocation[BULLETS] = 600;
                                 itemsCarried = 2;
                                 gunRounds = 2;
                             });
    EXPECT_EQ(scene.output, "That makes no sense!\nYou have no bullets\n"
                            "You now have the box of bullets Marshal Bob\nThe bullet box is sealed tight\n"
                            "The box is sealed tight\nSwish\nThe box of bullets is open\nThe box is already open\n"
                            "Okay, your gun is loaded\nYou have no bullets\n"
                            "Bang\nBang\nBang\nBang\nBang\nBang\nClick\nYou are out of bullets\n");
    // Once its refill is in the gun, the box is only something to shoot at.
    Transcript spent = armed("shoot box\n", [] {
        itemLocation[BULLETS] = OFFICE;
        boxHasBullets = 0;
    });
    EXPECT_EQ(spent.output, "Bang\n");
}

// The verbs' other words go to the same handlers: grab is take, punch is
// hit.
TEST(Shooting, WithoutTheGunNothingIsShotOrLoadedAndMostThingsDoNotOpen)
{
    Transcript scene = armed("drop gun\nshoot desk\nload gun\ngrab gun\nopen gun\nopen key\npunch desk\ncut desk\n",
                             [] {});
    EXPECT_EQ(scene.output, "Okay Marshal Bob, you no longer have the gun\nYou do not have a gun Marshal Bob\n"
                            "You do not have a gun Marshal Bob\nYou now have the Colt 45 gun Marshal Bob\n"
                            "You cannot do that Marshal Bob\nYou cannot do that Marshal Bob\nOuch that hurt!\n"
                            "You do not have a knife\n");
}

TEST(Shooting, AnEmptyGunHarmsNothing)
{
    auto emptyGunInTheSaloon = [] {
        playerLocation = SALOON;
        itemLocation[BULLETS] = 1000;
        itemLocation[MEDICINE] = 1000;
        gunRounds = 0;
    };
    Transcript quiet = armed("shoot box\nshoot medicine\nshoot guys\ntake medicine\n", emptyGunInTheSaloon);
    const std::string click = "Click\nYou are out of bullets\n";
    EXPECT_EQ(quiet.output, click + click + click + "You now have the bottle of snake oil medicine Marshal Bob\n");

    Transcript loud = armed("shoot guys\n", [&] {
        emptyGunInTheSaloon();
        soundOn = 'y';
    });
    EXPECT_EQ(loud.output, "{play clic}You are out of bullets\n");
}

TEST(Shooting, TheMedicineBottleShattersWhereItLies)
{
    Transcript full = armed("shoot gun\nshoot bottle\nshoot medicine\ntake medicine\n",
                            [] { itemLocation[MEDICINE] = 600; });
    EXPECT_EQ(full.output, "There is no gun here Marshal Bob\nBang\nCrash!\nThe medicine bottle has shattered\n"
                           "The medicine has splashed all over the place\nBang\n"
                           "Impossible - the medicine bottle is shattered\n");

    Transcript empty = armed("shoot medicine\n", [] {
        itemLocation[MEDICINE] = 600;
        medicineState = 0;
        soundOn = 'y';
    });
    EXPECT_EQ(empty.output, "{play gush}{play shat}The medicine bottle has shattered\n");
}

struct FatalShot {
    RoomCode room;
    const char* command;
    char sound;
    const char* beforeTheScreen;
    const char* firstLine;
};

TEST(Shooting, TheFullBoxThePeopleAndTheHorsesEndTheGame)
{
    const char* const blownUp = "The gun powder exploded!\nYour head has been blown off\n{delay 2000}{cls}";
    const char* const defeated = "{goto 12,10}You have been defeated by the desperados Marshal Bob";
    const char* const murder = "{goto 8,10}Oh no Marshal Bob, you have committed cold blooded murder";
    const char* const horses = "{goto 10,10}Oh no Marshal Bob, you have killed some very good horses";
    // With seed 1 the kill's closing sound is the third of the cycle.
    const FatalShot shots[] = {
        {600, "shoot box\ni\n", 'n', "Bang\n{delay 200}Boom!\n", defeated},
        {600, "shoot box\ni\n", 'y', "{play gush}{delay 200}{play bubo}", defeated},
        {1000, "shoot guys\ni\n", 'n', "Bang\n{delay 200}{delay 1000}{cls}", murder},
        {1500, "shoot guy\ni\n", 'y',
         "{play gush}{delay 200}{play plug}{delay 1000}{play fafl}{play puli}{delay 1000}{cls}{play loen}", murder},
        {2000, "shoot horses\ni\n", 'n', "Bang\n{delay 200}{delay 1000}{cls}", horses},
        {2000, "shoot horses\ni\n", 'y', "{play gush}{delay 200}{play intr}{play clto}{delay 1000}{cls}{play loen}",
         horses},
    };
    for (const FatalShot& shot : shots) {
        Transcript scene = armed(shot.command, [&shot] {
            playerLocation = shot.room;
            itemLocation[BULLETS] = 600;
            soundOn = shot.sound;
        });
        std::string screen = shot.beforeTheScreen;
        if (shot.room == 600)
            screen += std::string(blownUp) + (shot.sound == 'y' ? "{play loen}" : "");
        EXPECT_EQ(scene.output.rfind(screen + shot.firstLine, 0), 0u) << scene.output;
        EXPECT_EQ(scene.output.find("You have a"), std::string::npos) << shot.command;
        EXPECT_EQ(scene.exitStatus, 0);
    }
}

TEST(Tools, TheKnifeAndTheAxOnlyWorkInHandAndWithSoundAreHeard)
{
    Transcript bare = armed("cut box\nchop desk\ncut horses\n", [] { itemLocation[BULLETS] = 600; });
    EXPECT_EQ(bare.output, "You do not have a knife\nYou do not have an ax\n"
                           "There is no horses around here Marshal Bob\n");

    Transcript loud = armed("cut box\ncut desk\nchop gun\nkick horses\n", [] {
        itemLocation[BULLETS] = 600;
        itemLocation[KNIFE] = CARRIED;
        itemLocation[AX] = CARRIED;
        soundOn = 'y';
    });
    std::string chop;
    for (int blow = 0; blow < 5; ++blow)
        chop += "{play chop}{delay 500}";
    EXPECT_EQ(loud.output, "{play swis}The box of bullets is open\nOkay\n" + chop + "{play chop}Ouch that hurt!\n");
}
