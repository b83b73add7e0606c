// The title screen, the start-up questions and the greeting.
#include "harness.h"

#include <gtest/gtest.h>

static const std::string TITLE =
    "{cls}{goto 31,5}QUORRELL{goto 34,7}Version 2.0 for Windows{goto 20,9}";
static const std::string BLANKS = "                              ";
static const std::string FAREWELL = "{cls}{goto 20,12}HAPPY TRAILS TILL NEXT TIME Marshal";

static std::string question(const std::string& text)
{
    return "{goto 10,22}" + BLANKS + "{goto 10,22}{delay 200}" + text;
}

static const std::string INSTRUCTIONS_QUESTION = question("Instructions?  Y or N  ");
static const std::string SOUND_QUESTION = question("Sound effects?  Y or N  ");
static const std::string NAME_QUESTION = "{goto 10,22}" + BLANKS + "{goto 10,22}What is your first name?  ";
static const std::string GREETING =
    "{cls}{delay 200}{goto 1,1}Howdie Marshal Bob, good luck, I hope your will is up to date.\n\n"
    "It is high noon in Orvane City.";

TEST(TitleSequence, AsksEachQuestionThenGreetsTheMarshalByName)
{
    Transcript game = playGame("nnBob\n");
    const std::string& out = game.output;
    ASSERT_EQ(out.rfind(TITLE, 0), 0u);
    EXPECT_NE(out.find("{goto 25,13}Marshal voice by Rudanti{goto 1,16}"), std::string::npos);
    std::string questions = INSTRUCTIONS_QUESTION + SOUND_QUESTION + NAME_QUESTION + GREETING;
    EXPECT_NE(out.find(questions), std::string::npos) << out;
    // The game starts in the office; the end of input leaves through the farewell.
    EXPECT_NE(out.find(GREETING + "You are in your office\n"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - FAREWELL.size()), FAREWELL);
    EXPECT_EQ(game.exitStatus, 0);
}

TEST(TitleSequence, OtherKeysAskTheSameQuestionAgainAndCapitalsAnswer)
{
    Transcript game = playGame("xq\nNzS5YBob\n");
    std::string expected = INSTRUCTIONS_QUESTION + INSTRUCTIONS_QUESTION + INSTRUCTIONS_QUESTION +
                           INSTRUCTIONS_QUESTION + SOUND_QUESTION + SOUND_QUESTION + SOUND_QUESTION +
                           SOUND_QUESTION + "{play intr}{play clto}" + NAME_QUESTION;
    EXPECT_NE(game.output.find(expected), std::string::npos) << game.output;
}

TEST(TitleSequence, EscapeOrControlCAtAnyQuestionSaysFarewell)
{
    for (const char* input : {"\x1b", "\x03", "n\x1b", "n\x03", "y\x1b", "y\x03", "yr\x1b"}) {
        Transcript game = playGame(input);
        EXPECT_EQ(game.exitStatus, 0);
        EXPECT_EQ(game.output.substr(game.output.size() - FAREWELL.size()), FAREWELL) << input;
        EXPECT_EQ(game.output.find("What is your first name?"), std::string::npos) << input;
    }
}

TEST(TitleSequence, InstructionsThenTheShortTitleThenTheSoundQuestion)
{
    Transcript game = playGame("yxRnBob\n");
    const std::string& out = game.output;
    std::string instructionsStart = INSTRUCTIONS_QUESTION + "{cls}{goto 20,1}Instructions for Quorrell\n"
                                    "     Quorrell is a game in which you are the Marshal of Orvane City\n";
    EXPECT_NE(out.find(instructionsStart), std::string::npos) << out;
    EXPECT_NE(out.find("which you want to go:  \"N, S, E, W, U or D.\"  You can enter the letter \"I\" \n"),
              std::string::npos);
    EXPECT_NE(out.find("obtain certain tools to succeed but not all of them are easily located.\n\n"),
              std::string::npos);
    std::string prompt = "{goto 1,24}" + BLANKS + "{goto 1,24}{delay 200}"
                         "Press R to return to the game or ESCAPE to quit ";
    std::string afterInstructions = "     Good luck!  May 2012" + prompt + prompt +
                                    "{cls}{goto 30,8}QUORRELL{goto 28,10}Version 2.0 for Windows" +
                                    SOUND_QUESTION + NAME_QUESTION;
    EXPECT_NE(out.find(afterInstructions), std::string::npos) << out;
}

TEST(TitleSequence, SoundOffPlaysNothingBeforeTheGame)
{
    Transcript game = playGame("nnBob\n");
    EXPECT_EQ(game.output.find("{play"), std::string::npos);
}

TEST(NameQuestion, SkipsEmptyLinesAndKeepsTheFirstWordOnly)
{
    Transcript game = playGame("nn\n\n   Bob the Kid\nlook\n");
    std::string after = afterGreeting(game.output);
    EXPECT_NE(game.output.find("Howdie Marshal Bob, good luck"), std::string::npos);
    // The rest of the name's line is not a phantom first command.
    EXPECT_EQ(after.find("Please use two word commands"), std::string::npos) << after;
    EXPECT_EQ(countOf(after, "You are in your office\n"), 2);
}

TEST(NameQuestion, ALongNameKeepsItsFirstTwentySevenLetters)
{
    Transcript game = playGame("nn" + std::string(40, 'A') + "\n");
    EXPECT_NE(game.output.find("Howdie Marshal " + std::string(27, 'A') + ", good luck"), std::string::npos);
}

TEST(NameQuestion, EndOfInputBeforeANameSaysFarewell)
{
    Transcript game = playGame("nn\n  \n");
    EXPECT_EQ(game.exitStatus, 0);
    EXPECT_EQ(game.output.substr(game.output.size() - FAREWELL.size()), FAREWELL);
    EXPECT_EQ(game.output.find("Howdie"), std::string::npos);
}
