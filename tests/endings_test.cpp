// The ending screens, the quit confirmation and the closing screen.
#include "harness.h"

#include "endings/endings.h"
#include "game/game.h"
#include "world/town_map.h"

#include <gtest/gtest.h>

struct EndingScreen {
    const char* name;
    void (*ending)();
    std::string opening;  // what comes before the cleared screen
    std::string soundOn;  // the sound played right after the screen clears
    std::string lines;
    std::string closingPause;
};

static const std::string CLOSING_NAME = "{goto 34,21}Happy trails Marshal Bob{delay 3000}{goto 34,22}Press escape to exit ";

static void endPoisonedBySnake() { venomFree = 0; endPoisoned(); }
static void endPoisonedByRat() { rabiesFree = 0; endPoisoned(); }
static void endPoisonedByBoth() { venomFree = 0; rabiesFree = 0; endPoisoned(); }

static const std::string SNAKE_LINES =
    "{goto 7,10}Oh no, you have been done in by the snake venom Marshal Bob{goto 10,12}You were always a battler but you were nailed by the rattler{goto 19,14}For goodness sake, you were beaten by a snake{goto 18,16}The desperados have prevailed in Orvane City";

static const EndingScreen endingScreens[] = {
    {"defeated", endDefeated, "{delay 2000}", "{play loen}",
     "{goto 12,10}You have been defeated by the desperados Marshal Bob{goto 11,12}You once were a lion that roared, but now you are stiff as a board{goto 15,14}Your success was nil, so you must go to boot hill{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"victory", endVictory, "{delay 1000}", "{play wien}{play trma}",
     "{goto 6,10}Great  job!  You have cleaned up Orvane City Marshal Bob{goto 15,12}It looked for a while like you were gonna get hurt{goto 14,14}But you mowed down the punks like weeds in the dirt{goto 18,16}Law and order have prevailed in Orvane City!", "{delay 1000}"},
    {"snake venom", endPoisonedBySnake, "{delay 2000}", "{play loen}", SNAKE_LINES, "{delay 1000}"},
    {"rat poison", endPoisonedByRat, "{delay 2000}", "{play loen}",
     "{goto 7,10}Oh no, you have been defeated  by the stinking  ratMarshal Bob{goto 10,12}Imagine that, you lost to a rat{goto 19,14}It is easy to determine that you lost to the vermin{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"both poisons show the snake", endPoisonedByBoth, "{delay 2000}", "{play loen}", SNAKE_LINES, "{delay 1000}"},
    {"starved", endStarved, "{delay 3000}", "{play loen}",
     "{goto 18,10}Oh no - you have perished from lack of food{goto 22,12}And it has put you in a very bad mood{goto 18,14}Perhaps a long rest will improve your tude{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"nightfall", endNightfall, "{delay 3000}", "{play loen}",
     "{goto 18,10}Oh no, nightfall has thwarted your mission{goto 17,12}And you cannot proceed with light in remission{goto 22,14}So get your pole and just go fishin{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"bread", endBread, "{delay 3000}", "{play loen}",
     "{goto 21,10}Oh no, you have succumbed to the bread{goto 26,12}And now you are so very dead{goto 19,14}You will never again see your cousin Fred{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"quicksand", endQuicksand, "{delay 2000}", "{play loen}",
     "{goto 8,10}Too bad Marshal Bob, you have been sucked into the earth{goto 12,12}Your feelings are hurt because you drowned in the dirt{goto 13,14}Better get on good terms with the slugs and the worms{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"murder", endMurder, "{delay 1000}", "{play loen}",
     "{goto 8,10}Oh no Marshal Bob, you have committed cold blooded murder{goto 8,12}You will be planted like a flower because you abused your power{goto 16,14}Although you are young you will have to be hung{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"horses", endHorses, "{delay 1000}", "{play loen}",
     "{goto 10,10}Oh no Marshal Bob, you have killed some very good horses{goto 17,12}You must have been controlled by evil forces{goto 7,14}But you must step down as Marshal till you take some law courses{goto 18,16}The desperados have prevailed in Orvane City", "{delay 1000}"},
    {"bad fall", endBadFall, "{delay 1000}", "{play loen}",
     "{goto 21,10}Oh no - you have taken a very bad fall{goto 21,12}And your brains are all over the wall{goto 20,14}Perhaps you were tripped by a Desperado{goto 18,16}The desperados have prevailed in Orvane City.", "{delay 1000}"},
    {"drunk", endDrunk, "", "{play loen}",
     "{goto 16,10}Oh no!  You are drunk as a skunk Marshal Bob{goto 4,12}You are unable to finish your mission in your drunken  condition{goto 7,14}No one  thought you would lose to a stinking bottle of booze{goto 18,16}The desperados have prevailed in Orvane City.", "{delay 1}"},
};

static const std::string STAIRS_LINES =
    "{goto 23,10}Oh no - you fell down the stairs!{goto 17,12}Now you are dead from your toes to your hairs{goto 15,14}And your neck has been broken into several pairs{goto 18,16}The desperados have prevailed in Orvane City";

static Transcript showEnding(void (*ending)(), char sound, const std::string& keys = "\x1b")
{
    return playScene(keys, [=] {
        quietStart();
        soundOn = sound;
        ending();
    });
}

// Everything from the closing screen's first line to its prompt.
static std::string closingScreenOf(const std::string& output)
{
    std::size_t start = output.find("{goto 1,18}");
    std::size_t end = output.find(CLOSING_NAME);
    if (start == std::string::npos || end == std::string::npos)
        return std::string();
    return output.substr(start, end + CLOSING_NAME.size() - start);
}

TEST(EndingScreens, EachDrawsItsLinesInPlaceThenTheClosingScreenWaitsForEscape)
{
    for (const EndingScreen& screen : endingScreens) {
        Transcript silent = showEnding(screen.ending, 'n');
        std::string closing = closingScreenOf(silent.output);
        EXPECT_EQ(silent.output, screen.opening + "{cls}" + screen.lines + screen.closingPause + closing)
            << screen.name;
        EXPECT_EQ(closing.substr(closing.size() - CLOSING_NAME.size()), CLOSING_NAME) << screen.name;
        EXPECT_EQ(silent.exitStatus, 0) << screen.name;

        Transcript loud = showEnding(screen.ending, 'y');
        EXPECT_EQ(loud.output, screen.opening + "{cls}" + screen.soundOn + screen.lines + screen.closingPause +
                                   closingScreenOf(loud.output) + "{play exit}")
            << screen.name;
    }
}

TEST(EndingScreens, TheStairsAreHeardBeforeTheScreenClears)
{
    EXPECT_EQ(showEnding(endStairs, 'n').output.rfind("{delay 500}{cls}" + STAIRS_LINES + "{delay 1000}{goto 1,18}", 0), 0u);
    EXPECT_EQ(showEnding(endStairs, 'y').output.rfind(
                  "{play stsc}{play stfa}{delay 500}{cls}{play loen}" + STAIRS_LINES + "{delay 1000}{goto 1,18}", 0),
              0u);
}

TEST(ClosingScreen, IgnoresEveryKeyButEscapeAndEndsQuietlyWhenInputEnds)
{
    Transcript pressed = showEnding(endVictory, 'y', "yn\r\n q\x03 \x1b" "after");
    EXPECT_EQ(pressed.output.substr(pressed.output.size() - (CLOSING_NAME.size() + 11)),
              CLOSING_NAME + "{play exit}");
    EXPECT_EQ(pressed.exitStatus, 0);

    Transcript ended = showEnding(endVictory, 'y', "abc");
    EXPECT_EQ(ended.output.substr(ended.output.size() - CLOSING_NAME.size()), CLOSING_NAME);
    EXPECT_EQ(ended.exitStatus, 0);
}

static Transcript quitFromTheStreet(const std::string& input, char sound = 'n')
{
    return playScene(input, [=] {
        calmStart();
        soundOn = sound;
        playerLocation = OUTSIDE_OFFICE;
        runGame();
    });
}

TEST(QuitConfirmation, AnyKeyButYDeclinesAndPlayGoesOn)
{
    for (const char* answer : {"n", "\n", "x", "\x1b"}) {
        Transcript game = quitFromTheStreet(std::string("quit\n") + answer + "\nlook\n");
        EXPECT_NE(game.output.find("Are you surrendering Orvane City to the desperados Marshal Bob?  Y or N{delay 100}\n"
                                   "I knew you were not a yellow dog, please continue\n"),
                  std::string::npos)
            << game.output;
        EXPECT_EQ(countOf(game.output, "You are on the road outside your office\n"), 2) << answer;
    }
}

TEST(QuitConfirmation, YesShowsTheSurrenderScreen)
{
    const std::string surrender =
        "Are you surrendering Orvane City to the desperados Marshal Bob?  Y or N{cls}{delay 100}"
        "{goto 6,10}You have let down the decent citizens of Orvane City Marshal Bob"
        "{goto 18,14}The desperados have prevailed in Orvane City{delay 1000}{goto 1,18}";
    for (const char* input : {"quit\ny\x1b", "exit\nY\x1b"}) {
        Transcript game = quitFromTheStreet(input);
        EXPECT_NE(game.output.find(surrender), std::string::npos) << game.output;
        EXPECT_EQ(game.output.substr(game.output.size() - CLOSING_NAME.size()), CLOSING_NAME);
        EXPECT_EQ(game.exitStatus, 0);
    }
    Transcript loud = quitFromTheStreet("quit\ny\x1b", 'y');
    EXPECT_NE(loud.output.find("Y or N{cls}{play quit}{delay 100}{goto 6,10}"), std::string::npos);
    EXPECT_EQ(loud.output.substr(loud.output.size() - 11), "{play exit}");
}

TEST(QuitConfirmation, EndOfInputAtTheQuestionSaysFarewell)
{
    Transcript game = quitFromTheStreet("quit\n");
    EXPECT_EQ(game.output.substr(game.output.size() - std::string(FAREWELL_SCREEN).size()), FAREWELL_SCREEN);
    EXPECT_EQ(game.exitStatus, 0);
}
