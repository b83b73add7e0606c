// Every input the fuzzer found crashing or hanging the game, kept in
// tests/fuzz_finds/ once mended, is played again: each must now end the game
// normally. A find is the seed in four bytes (little-endian), then the input.
// The readers' fuzzers run again on their corpus (fuzz/corpus/READER) and
// their finds (tests/fuzz_finds/READER): each input must keep every
// invariant its fuzzer checks.
#include "harness.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(FuzzFinds, EachFindNowEndsTheGameNormally)
{
    fs::path finds = fs::path(QUORRELL_SOURCE_DIR) / "tests/fuzz_finds";
    int played = 0;
    for (const auto& entry : fs::directory_iterator(finds, fs::directory_options::skip_permission_denied)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        std::string find((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        find.resize(std::max<std::size_t>(find.size(), 4), '\0');
        unsigned seed = 0;
        for (int b = 0; b < 4; ++b)
            seed |= static_cast<unsigned>(static_cast<unsigned char>(find[static_cast<std::size_t>(b)])) << (8 * b);
        Transcript game = playGame(find.substr(4), seed);
        const std::string& out = game.output;
        bool farewell = out.size() >= std::string(FAREWELL_SCREEN).size() &&
                        out.compare(out.size() - std::string(FAREWELL_SCREEN).size(), std::string::npos,
                                    FAREWELL_SCREEN) == 0;
        bool closing = out.find("Press escape to exit ") != std::string::npos;
        EXPECT_EQ(game.exitStatus, 0) << entry.path();
        EXPECT_TRUE(farewell || closing) << entry.path();
        ++played;
    }
    if (played == 0)
        GTEST_SKIP() << "the fuzzer has found nothing yet";
}

TEST(FuzzFinds, EachReadersCorpusAndFindsKeepTheirInvariants)
{
    for (const char* reader : {"line-editor", "record", "options", "wav"}) {
        std::string program = std::string(QUORRELL_FUZZ_PROGRAM_DIR) + "/quorrell-fuzz-" + reader;
        int inputs = 0;
        for (fs::path folder : {fs::path(QUORRELL_SOURCE_DIR) / "fuzz/corpus" / reader,
                                fs::path(QUORRELL_SOURCE_DIR) / "tests/fuzz_finds" / reader}) {
            if (!fs::is_directory(folder))
                continue;
            for (const auto& entry : fs::directory_iterator(folder)) {
                ChildOptions options;
                options.in = STREAM_NOWHERE;
                options.err = STREAM_TEXT;
                options.timeoutSeconds = 60;
                ChildRun run = runProgram({program, entry.path().string()}, options);
                EXPECT_EQ(run.status, 0) << entry.path() << "\n" << run.err;
                ++inputs;
            }
        }
        EXPECT_GT(inputs, 0) << reader;
    }
}
