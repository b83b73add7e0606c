#include "platform/input/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef QUORRELL_VERSION
#define QUORRELL_VERSION "unknown"
#endif
#ifndef QUORRELL_DATA_INSTALLED
#define QUORRELL_DATA_INSTALLED "the data folder installed with the game"
#endif

static const char* programName = "quorrell";

void refuseCommandLine(const char* problem)
{
    std::fprintf(stderr, "%s: %s (see %s --help)\n", programName, problem, programName);
    std::exit(2);
}

[[noreturn]] static void refuse(const char* problem, const char* detail)
{
    refuseCommandLine((std::string(problem) + " '" + detail + "'").c_str());
}

static void printHelp(bool terminalGame)
{
    if (terminalGame) {
        std::printf(
            "usage: quorrell [--seed N] [--record FILE | --replay FILE | --resume FILE]\n"
            "       quorrell --help | --version\n"
            "\n"
            "Quorrell is a text adventure for the terminal. You are the Marshal of\n"
            "Orvane City in 1877, and the three Desperado brothers are in town.\n"
            "\n"
            "  --seed N       play the town of seed N (0 to 4294967295): the same seed\n"
            "                 and the same keys play the same game\n"
            "  --record FILE  play, writing the seed and every key the game reads to FILE\n"
            "  --replay FILE  play a recorded game again on the screen, with its pauses\n"
            "  --resume FILE  replay a recorded game at full speed, then play on from\n"
            "                 where it stopped, adding to FILE\n"
            "  --help         show this and exit\n"
            "  --version      show the version and exit\n"
            "\n"
            "Sounds: the data folder beside the program, else\n"
            QUORRELL_DATA_INSTALLED ", else data/ in the current folder.\n"
            "The commands and keys of the game: man 6 quorrell\n");
    } else {
        std::printf(
            "usage: quorrell-script [--seed N | --replay FILE]\n"
            "       quorrell-script --help | --version\n"
            "\n"
            "Quorrell as a transcript: plays the game on standard input and writes what\n"
            "the screen, the pauses and the sounds would do as text, for tests and bugs.\n"
            "\n"
            "  --seed N       play the town of seed N (0 to 4294967295, default 1)\n"
            "  --replay FILE  play the input of a quorrell --record FILE with its seed\n"
            "  --help         show this and exit\n"
            "  --version      show the version and exit\n"
            "\n"
            "It plays no sounds and needs no sound files. The game: man 6 quorrell\n");
    }
    std::exit(0);
}

// Digits only: strtoul alone would take " 12", "-1" and "+3".
bool parseSeed(const char* text, unsigned* seed)
{
    if (!text || *text == '\0' || std::strspn(text, "0123456789") != std::strlen(text))
        return false;
    unsigned long long value = 0;
    for (const char* digit = text; *digit; ++digit) {
        value = value * 10 + static_cast<unsigned>(*digit - '0');
        if (value > 0xFFFFFFFFull)
            return false;
    }
    *seed = static_cast<unsigned>(value);
    return true;
}

static unsigned readSeed(const char* text)
{
    if (!text)
        refuseCommandLine("--seed needs a number");
    unsigned seed = 0;
    if (parseSeed(text, &seed))
        return seed;
    if (*text == '\0' || std::strspn(text, "0123456789") != std::strlen(text))
        refuse("--seed takes a whole number, not", text);
    refuse("--seed is 0 to 4294967295, not", text);
}

// "--name value" or "--name=value"; null when it is not this option.
static bool matches(const char* argument, const char* name, char** argv, int argc, int& place,
                    const char*& value, bool takesValue)
{
    std::size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0)
        return false;
    if (argument[length] == '\0') {
        if (takesValue)
            value = place + 1 < argc ? argv[++place] : nullptr;
        return true;
    }
    if (takesValue && argument[length] == '=') {
        value = argument + length + 1;
        return true;
    }
    return false;
}

static void takeFile(const char*& path, const char* option, const char* value)
{
    if (path)
        refuseCommandLine((std::string(option) + " is given twice").c_str());
    if (!value || *value == '\0')
        refuseCommandLine((std::string(option) + " needs a file").c_str());
    path = value;
}

CommandLine readProgramOptions(int argc, char** argv, bool terminalGame)
{
    programName = terminalGame ? "quorrell" : "quorrell-script";
    CommandLine options = {false, 1, nullptr, nullptr, nullptr};
    for (int place = 1; place < argc; ++place) {
        const char* argument = argv[place];
        const char* value = nullptr;
        if (matches(argument, "--help", argv, argc, place, value, false)) {
            printHelp(terminalGame);
        } else if (matches(argument, "--version", argv, argc, place, value, false)) {
            std::printf("%s %s\n", programName, QUORRELL_VERSION);
            std::exit(0);
        } else if (matches(argument, "--seed", argv, argc, place, value, true)) {
            if (options.seedGiven)
                refuseCommandLine("--seed is given twice");
            options.seed = readSeed(value);
            options.seedGiven = true;
        } else if (matches(argument, "--replay", argv, argc, place, value, true)) {
            takeFile(options.replayPath, "--replay", value);
        } else if (terminalGame && matches(argument, "--record", argv, argc, place, value, true)) {
            takeFile(options.recordPath, "--record", value);
        } else if (terminalGame && matches(argument, "--resume", argv, argc, place, value, true)) {
            takeFile(options.resumePath, "--resume", value);
        } else {
            refuse(argument[0] == '-' ? "unknown option" : "unexpected argument", argument);
        }
    }
    int records = (options.recordPath != nullptr) + (options.replayPath != nullptr) + (options.resumePath != nullptr);
    if (records > 1)
        refuseCommandLine("--record, --replay and --resume go one at a time");
    // A record brings its own seed.
    if (options.seedGiven && (options.replayPath || options.resumePath))
        refuseCommandLine(options.replayPath ? "--seed cannot go with --replay: the record has its seed"
                                             : "--seed cannot go with --resume: the record has its seed");
    return options;
}
