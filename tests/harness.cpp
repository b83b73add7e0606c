#include "harness.h"

#include "commands/commands.h"
#include "platform/platform.h"
#include "world/random.h"
#include "world/world.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

// A game that has not ended after this long is taken to hang.
const unsigned HANG_SECONDS = 20;

// The player's keys on standard input, and a limit for a game that hangs.
static ChildOptions playing(const std::string& input)
{
    ChildOptions options;
    options.input = input;
    options.timeoutSeconds = HANG_SECONDS;
    return options;
}

static Transcript transcriptOf(const ChildRun& run)
{
    return {run.out, run.signal != 0 ? -1 : run.status};
}

// With QUORRELL_CORPUS_DIR set, every whole game a test plays is kept there
// as the fuzzer's input: the seed in four bytes, then what was typed.
static void keepForTheFuzzer(const std::string& input, unsigned seed)
{
    const char* folder = std::getenv("QUORRELL_CORPUS_DIR");
    if (!folder)
        return;
    std::string game;
    for (int b = 0; b < 4; ++b)
        game += static_cast<char>(seed >> (8 * b) & 0xFF);
    game += input;
    char name[32];
    std::snprintf(name, sizeof name, "/%016zx", std::hash<std::string>()(game));
    if (std::FILE* file = std::fopen((std::string(folder) + name).c_str(), "wb")) {
        std::fwrite(game.data(), 1, game.size(), file);
        std::fclose(file);
    }
}

Transcript playGame(const std::string& input, unsigned seed)
{
    keepForTheFuzzer(input, seed);
    return transcriptOf(runProgram({QUORRELL_SCRIPT_PROGRAM, "--seed", std::to_string(seed)}, playing(input)));
}

Transcript playScene(const std::string& input, const std::function<void()>& scene)
{
    return transcriptOf(runChild(scene, playing(input)));
}

void quietStart(unsigned seed)
{
    seedRandom(seed);
    soundOn = 'n';
    std::strcpy(playerName, "Bob");
    itemLocation[DEXTER] = NOWHERE;
    itemLocation[CLARENCE] = NOWHERE;
    itemLocation[RODNEY] = NOWHERE;
    rodneyHideout = NOWHERE;
}

void calmStart(unsigned seed)
{
    quietStart(seed);
    turnCount = 5;
}

const char* const FAREWELL_SCREEN = "{cls}{goto 20,12}HAPPY TRAILS TILL NEXT TIME Marshal";

void interpretEachLine(const char* afterEach)
{
    int lastDescribedRoom = playerLocation;
    char command[COMMAND_SIZE];
    while (platformReadLine(command, COMMAND_SIZE)) {
        interpretCommand(command, lastDescribedRoom);
        std::cout << afterEach;
    }
}

std::string afterGreeting(const std::string& output)
{
    const std::string greetingEnd = "It is high noon in Orvane City.";
    std::size_t at = output.find(greetingEnd);
    return at == std::string::npos ? std::string() : output.substr(at + greetingEnd.size());
}

int countOf(const std::string& output, const std::string& text)
{
    int count = 0;
    for (std::size_t at = output.find(text); at != std::string::npos; at = output.find(text, at + text.size()))
        ++count;
    return count;
}

std::string startUp(char sound)
{
    return std::string("n") + sound + "Bob\n";
}
