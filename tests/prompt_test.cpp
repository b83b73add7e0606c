// The command prompt and the turn clock.
#include "harness.h"

#include "turn/turn.h"
#include "game/game.h"
#include "world/random.h"
#include "world/town_map.h"

#include <map>
#include <sstream>

#include <gtest/gtest.h>

// Reads every line of the input as a turn and shows each command in brackets
// with the turn it was.
static Transcript readTurns(const std::string& input)
{
    return playScene(input, [] {
        calmStart();
        turnCount = 10;
        char command[COMMAND_SIZE];
        for (;;) {
            readCommand(command);
            std::cout << turnCount << '[' << command << "]\n";
        }
    });
}

TEST(Prompt, SpelledOutMovesBecomeLettersOnlyWhenTypedExactly)
{
    Transcript turns = readTurns("go north\nwalk down\ngo east\nwalk west\ngo up\nwalk south\n"
                                 "Go north\ngo north \ngo  north\nsound\nsound off\n sound\n");
    EXPECT_EQ(turns.output, "11[n]\n12[d]\n13[e]\n14[w]\n15[u]\n16[s]\n"
                            "17[Go north]\n18[go north ]\n19[go  north]\n20[effects]\n21[sound off]\n22[ sound]\n" +
                                std::string(FAREWELL_SCREEN));
}

TEST(Prompt, EmptyLinesCountAndLongLinesKeepTheirFirstTwentyFourCharacters)
{
    std::string exactly24 = "abcdefghijklmnopqrstuvwx";
    Transcript turns = readTurns("\n" + exactly24 + "\n" + exactly24 + "yz and more\nnext\r\nlast line");
    EXPECT_EQ(turns.output, "11[]\n12[" + exactly24 + "]\n13[" + exactly24 + "]\n14[next]\n15[last line]\n" +
                                std::string(FAREWELL_SCREEN));
}

TEST(Prompt, TheRestOfALongLineIsNotTheNextCommand)
{
    Transcript game = playScene("xxxxxxxxxxxxxxxxxxxxxxxxn\nlook\n", [] {
        calmStart();
        playerLocation = OFFICE_SALOON_ROAD;
        runGame();
    });
    EXPECT_EQ(countOf(game.output, "You are in the road between your office and the saloon\n"), 2);
    EXPECT_EQ(countOf(game.output, "Please use two word commands or a letter for direction\n"), 1);
}

TEST(TurnClock, TheRatSnakeQuicksandAndRodneyComeAtTheirTurnsAvoidingTheBrothers)
{
    // Seed 80 draws the rat into 1601, then 100; the snake onto 2, then 19;
    // the quicksand onto 2, then 4, then 7. Dexter in 1601, Clarence on 2 and
    // the rope on 4 send each placement to its next draw.
    Transcript game = playScene(std::string(160, '\n'), [] {
        quietStart(80);
        hungerStage = -1;  // fed, so hunger cannot end the game first
        itemLocation[DEXTER] = 1601;
        itemLocation[CLARENCE] = 2;
        itemLocation[ROPE] = 4;
        rodneyHideout = 2001;
        char command[COMMAND_SIZE];
        for (int turn : {4, 5, 59, 60, 99, 100, 154, 155}) {
            while (turnCount < turn)
                readCommand(command);
            std::cout << turnCount << ": rat " << itemLocation[RAT] << " snake " << itemLocation[SNAKE]
                      << " quicksand " << itemLocation[QUICKSAND] << " Rodney " << itemLocation[RODNEY] << '\n';
        }
    });
    EXPECT_EQ(game.output,
              "4: rat -9999 snake -9999 quicksand -9999 Rodney -9999\n"
              "5: rat 100 snake -9999 quicksand -9999 Rodney -9999\n"
              "59: rat 100 snake -9999 quicksand -9999 Rodney -9999\n"
              "60: rat 100 snake 19 quicksand -9999 Rodney -9999\n"
              "99: rat 100 snake 19 quicksand -9999 Rodney -9999\n"
              "100: rat 100 snake 19 quicksand 7 Rodney -9999\n"
              "154: rat 100 snake 19 quicksand 7 Rodney -9999\n"
              "155: rat 100 snake 19 quicksand 7 Rodney 2001\n");
}

TEST(TurnClock, StreetDrawsFavourTheSquaresInFrontOfTheBuildings)
{
    Transcript draws = playScene("", [] {
        seedRandom(3);
        for (int draw = 0; draw < 20000; ++draw)
            std::cout << drawStreetSquare() << ' ';
    });
    std::istringstream squares(draws.output);
    std::map<RoomCode, int> counts;
    RoomCode square;
    while (squares >> square)
        ++counts[square];
    ASSERT_EQ(counts.size(), 12u);
    for (RoomCode front : {2, 4, 7, 9, 12, 14, 17, 19})
        EXPECT_NEAR(counts[front], 2000, 300) << front;
    for (RoomCode between : {3, 8, 13, 18})
        EXPECT_NEAR(counts[between], 1000, 200) << between;
}
