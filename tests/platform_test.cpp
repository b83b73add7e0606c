// The game's own random generator and the harness's command line.
#include "harness.h"

#include "world/random.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

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
    for (const char* arguments : {"--sed 3", "--seed", "--seed x", "--seed 3x"}) {
        std::string command = std::string(QUORRELL_SCRIPT_PROGRAM) + " " + arguments + " </dev/null 2>/dev/null";
        int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 2) << arguments;
    }
}
