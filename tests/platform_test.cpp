// The game's own random generator and the harness's command line.
#include "harness.h"

#include "world/random.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

TEST(RandomGenerator, ASeedDrawsTheSameFifteenBitSequenceEverywhere)
{
    Transcript draws = playScene("", [] {
        seedRandom(1);
        for (int i = 0; i < 5; ++i)
            std::printf("%d ", drawRandom());
        seedRandom(12345);
        int first = drawRandom();
        std::printf("%d %d", first, drawRandom());
        std::fflush(stdout);
    });
    EXPECT_EQ(draws.output, "41 18467 6334 26500 19169 7584 19164");
}

TEST(ScriptHarness, RefusesAnUnknownOptionOrABadSeed)
{
    ChildOptions quiet;
    quiet.in = STREAM_NOWHERE;
    quiet.err = STREAM_NOWHERE;
    const std::vector<std::string> refused[] = {{"--sed", "3"}, {"--seed"}, {"--seed", "x"}, {"--seed", "3x"}};
    for (const std::vector<std::string>& arguments : refused) {
        std::vector<std::string> command = {QUORRELL_SCRIPT_PROGRAM};
        command.insert(command.end(), arguments.begin(), arguments.end());
        EXPECT_EQ(runProgram(command, quiet).status, 2) << ::testing::PrintToString(arguments);
    }
}
