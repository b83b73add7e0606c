// Thousands of whole games of random commands through quorrell-script: each
// must end the way every game ends, through the farewell or the closing
// screen, with status 0 and a bounded transcript. The series is drawn from a
// fixed master seed, so a failing game is the same game on the next run.
#include "harness.h"
#include "random_player.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
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
const rlim_t LONGEST_TRANSCRIPT = 4 << 20;
const unsigned HANG_SECONDS = 60;

// In a sanitizer build the leak check at exit costs more than the game
// itself; every tenth game still has it.
const unsigned LEAK_CHECK_EVERY = 10;

struct Running {
    unsigned index;
    pid_t pid;
    std::FILE* output;
};

Running start(unsigned index, const RandomGame& game)
{
    std::FILE* input = std::tmpfile();
    std::fwrite(game.input.data(), 1, game.input.size(), input);
    std::rewind(input);
    std::FILE* output = std::tmpfile();
    std::string seed = std::to_string(game.seed);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(input), STDIN_FILENO);
        dup2(fileno(output), STDOUT_FILENO);
        struct rlimit limit = {LONGEST_TRANSCRIPT, LONGEST_TRANSCRIPT};
        setrlimit(RLIMIT_FSIZE, &limit);
        alarm(HANG_SECONDS);
        if (index % LEAK_CHECK_EVERY != 0) {
            const char* options = std::getenv("ASAN_OPTIONS");
            setenv("ASAN_OPTIONS", (std::string(options ? options : "") + ":detect_leaks=0").c_str(), 1);
        }
        execl(QUORRELL_SCRIPT_PROGRAM, QUORRELL_SCRIPT_PROGRAM, "--seed", seed.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    std::fclose(input);
    return {index, pid, output};
}

std::string contents(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    std::fclose(file);
    return text;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What went wrong with a finished game, or an empty string.
std::string fault(int status, const std::string& output)
{
    if (WIFSIGNALED(status))
        return std::string("killed by ") + strsignal(WTERMSIG(status));
    if (WEXITSTATUS(status) != 0)
        return "exit status " + std::to_string(WEXITSTATUS(status));
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

} // namespace

class RandomPlay : public ::testing::TestWithParam<unsigned> {
};

TEST_P(RandomPlay, EveryGameOfRandomCommandsEndsNormally)
{
    const unsigned first = GetParam() * GAMES / SHARDS;
    const unsigned end = (GetParam() + 1) * GAMES / SHARDS;
    std::vector<Running> running;
    unsigned next = first;
    unsigned finished = first;
    unsigned failures = 0;
    while (finished < end) {
        while (next < end && running.size() < GAMES_AT_ONCE) {
            running.push_back(start(next, randomGame(MASTER_SEED, next)));
            ++next;
        }
        int status = 0;
        pid_t pid = wait(&status);
        ASSERT_GT(pid, 0);
        for (std::size_t i = 0; i < running.size(); ++i) {
            if (running[i].pid != pid)
                continue;
            unsigned index = running[i].index;
            std::string output = contents(running[i].output);
            running.erase(running.begin() + static_cast<long>(i));
            ++finished;
            std::string problem = fault(status, output);
            if (!problem.empty() && ++failures <= 5) {
                ADD_FAILURE() << "game " << index << ": " << problem << "\nreplay: "
                              << keepForReplay(index, randomGame(MASTER_SEED, index)) << "\nlast output: "
                              << output.substr(output.size() > 400 ? output.size() - 400 : 0);
            }
            break;
        }
    }
    EXPECT_EQ(failures, 0u) << "of games " << first << " to " << end - 1;
}

INSTANTIATE_TEST_SUITE_P(Shards, RandomPlay, ::testing::Range(0u, SHARDS));

// The random player must reach the game's far corners, or the test above
// proves little: check that a sample of its games gets there.
TEST(RandomPlayer, GetsAroundTheTown)
{
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
