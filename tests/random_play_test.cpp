// Thousands of whole games of random commands through quorrell-script: each
// must end the way every game ends, through the farewell or the closing
// screen, with status 0 and a bounded transcript. The series is drawn from a
// fixed master seed, so a failing game is the same game on the next run.
#include "harness.h"
#include "random_player.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::uint64_t MASTER_SEED = 0x51A7E0F1877ull;
const unsigned GAMES = 2000;
// The games are played in shards, which CTest runs side by side.
const unsigned SHARDS = 4;
const unsigned GAMES_AT_ONCE = 3;

// No game of a few hundred commands comes near this; a game that runs away
// is stopped here by the operating system rather than filling the disk.
const long LONGEST_TRANSCRIPT = 4 << 20;
const unsigned HANG_SECONDS = 60;

// In a sanitizer build the leak check at exit costs more than the game
// itself; every tenth game still has it.
const unsigned LEAK_CHECK_EVERY = 10;

Child start(unsigned index, const RandomGame& game)
{
    ChildOptions options;
    options.input = game.input;
    options.longestFile = LONGEST_TRANSCRIPT;
    options.timeoutSeconds = HANG_SECONDS;
    if (index % LEAK_CHECK_EVERY != 0) {
        const char* asan = std::getenv("ASAN_OPTIONS");
        options.environment = {{"ASAN_OPTIONS", std::string(asan ? asan : "") + ":detect_leaks=0"}};
    }
    return startProgram({QUORRELL_SCRIPT_PROGRAM, "--seed", std::to_string(game.seed)}, options);
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What went wrong with a finished game, or an empty string.
std::string fault(const ChildRun& game)
{
    if (game.signal != 0)
        return std::string("killed by ") + strsignal(game.signal);
    if (game.status != 0)
        return "exit status " + std::to_string(game.status);
    const std::string& output = game.out;
    bool farewell = endsWith(output, FAREWELL_SCREEN);
    bool closing = endsWith(output, "Press escape to exit ") || endsWith(output, "Press escape to exit {play exit}");
    if (!farewell && !closing)
        return "no farewell or closing screen at the end";
    return std::string();
}

// Keeps the failing game's input where the test ran, with the command that
// replays it.
std::string keepForReplay(unsigned index, const RandomGame& game)
{
    std::string name = "random-game-" + std::to_string(index) + ".input";
    std::ofstream(name, std::ios::binary) << game.input;
    return std::string(QUORRELL_SCRIPT_PROGRAM) + " --seed " + std::to_string(game.seed) + " < " + name;
}

// A random game is checked only for how it ends, so what it shows proves
// no message of the game seen by a test: it is kept out of the texts that
// tools/coverage looks for the messages in.
void keepNoShownText()
{
    unsetenv("QUORRELL_SHOWN_TEXT");
}

} // namespace

class RandomPlay : public ::testing::TestWithParam<unsigned> {
};

TEST_P(RandomPlay, EveryGameOfRandomCommandsEndsNormally)
{
    keepNoShownText();
    const unsigned first = GetParam() * GAMES / SHARDS;
    const unsigned end = (GetParam() + 1) * GAMES / SHARDS;
    std::vector<Child> running;
    std::map<pid_t, unsigned> gameOf;
    unsigned next = first;
    unsigned finished = first;
    unsigned failures = 0;
    while (finished < end) {
        while (next < end && running.size() < GAMES_AT_ONCE) {
            running.push_back(start(next, randomGame(MASTER_SEED, next)));
            gameOf[running.back().pid] = next;
            ++next;
        }
        ChildRun game = finishFirstChild(running);
        ASSERT_GT(game.pid, 0);
        unsigned index = gameOf[game.pid];
        ++finished;
        std::string problem = fault(game);
        if (!problem.empty() && ++failures <= 5) {
            const std::string& output = game.out;
            ADD_FAILURE() << "game " << index << ": " << problem << "\nreplay: "
                          << keepForReplay(index, randomGame(MASTER_SEED, index)) << "\nlast output: "
                          << output.substr(output.size() > 400 ? output.size() - 400 : 0);
        }
    }
    EXPECT_EQ(failures, 0u) << "of games " << first << " to " << end - 1;
}

INSTANTIATE_TEST_SUITE_P(Shards, RandomPlay, ::testing::Range(0u, SHARDS));

// The random player must reach the game's far corners, or the test above
// proves little: check that a sample of its games gets there.
TEST(RandomPlayer, GetsAroundTheTown)
{
    keepNoShownText();
    std::string all;
    for (unsigned index = 0; index < 200; ++index) {
        RandomGame game = randomGame(MASTER_SEED, index);
        all += playGame(game.input, game.seed).output;
    }
    for (const char* sight : {"You are in the saloon", "You are in the lobby of the hotel", "You are in the stable",
                              "You are in the basement of the saloon", "There is Dexter Desperado smiling", "You have been defeated",
                              "You are in your office", "HAPPY TRAILS TILL NEXT TIME", "Press escape to exit"})
        EXPECT_NE(all.find(sight), std::string::npos) << sight;
}
