#include "platform/command_line/options.h"

#include <cctype>
#include <cerrno>
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

#ifdef _WIN32
// printf takes the help as its format.
#define SAVED_GAMES_FOLDER "%%LOCALAPPDATA%%\\Quorrell"
#else
#define SAVED_GAMES_FOLDER "$XDG_STATE_HOME/quorrell (else ~/.local/state/quorrell)"
#endif

// Watching needs a POSIX terminal's keys, and the recording its screen
// codes; the Windows console has --replay.
#ifdef _WIN32
#define WATCH_USAGE ""
#define WATCH_HELP ""
#else
#define WATCH_USAGE "       quorrell --watch REC | --asciicast REC\n"
#define WATCH_HELP                                                                           \
    "  --watch REC    watch a recorded game at its own pace, its commands typed\n"          \
    "                 out: Space pauses, + and - change the speed, Right or .\n"         \
    "                 skips to the next command, Escape or q stops\n"                    \
    "  --asciicast REC\n"                                                                \
    "                 write a recorded game as an asciicast (version 2) on\n"            \
    "                 standard output, for asciinema play or a web page\n"
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

// Says what was asked on standard output and leaves; a help that could not
// be written (a full disk, a closed pipe) is no success.
void answerCommandLine(const std::string& text, const char* what)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "%s: cannot write the %s: %s\n", programName, what, std::strerror(errno));
        std::exit(1);
    }
    std::exit(0);
}

[[noreturn]] static void printHelp(bool terminalGame)
{
    if (terminalGame) {
        answerCommandLine(
            "usage: quorrell [--seed N] [--record FILE | --replay REC | --resume REC | --no-save]\n"
            "                [--plain]\n"
            "       quorrell --games | --transcript REC\n"
            WATCH_USAGE
            "       quorrell --share REC\n"
            "       quorrell --help | --version\n"
            "\n"
            "Quorrell is a text adventure for the terminal. You are the Marshal of\n"
            "Orvane City in 1877, and the three Desperado brothers are in town.\n"
            "\n"
            "  --seed N       play the town of seed N (0 to 4294967295): the same seed\n"
            "                 and the same keys play the same game\n"
            "  --record FILE  play, writing the seed and every key the game reads to FILE\n"
            "  --replay REC   play a recorded game again on the screen, with its pauses\n"
            "  --resume REC   replay a recorded game at full speed, then play on from\n"
            "                 where it stopped, adding to its record\n"
            "  --games        list the saved games, the one played last first, each\n"
            "                 with its number, the day, the turn, its state and file\n"
            "  --no-save      play without saving the game\n"
            "  --plain        plain text, with no cursor jumps and no erased lines, for\n"
            "                 screen readers, braille displays, dumb terminals and logs\n"
            "                 (quorrell --plain | tee log); chosen by itself when TERM\n"
            "                 is dumb or unset\n"
            "  --transcript REC\n"
            "                 write what the player saw in a recorded game, as plain\n"
            "                 text, at once and without pauses or sounds\n"
            WATCH_HELP
            "  --share REC    print a link to the page that plays the recorded game\n"
            "                 back: the record itself, packed into the link\n"
            "  -h, --help     show this and exit\n"
            "  -V, --version  show the version and exit\n"
            "  --             end the options\n"
            "\n"
            "REC is a record's file, or the number --games gives a saved game:\n"
            "quorrell --resume 2 plays on the game listed second (a file named 2 in\n"
            "this folder is ./2).\n"
            "\n"
            "Saving: a game played at the keyboard is saved as it is played, in\n"
            SAVED_GAMES_FOLDER ". When one was put down\n"
            "unfinished, the next start offers to pick it up (N starts afresh and sets\n"
            "it aside; --resume REC still takes it up). --record FILE saves to a file\n"
            "of your choice; a record is the same file on every machine.\n"
            "\n"
            "Sounds: the data folder beside the program, else\n"
            QUORRELL_DATA_INSTALLED ", else data/ in the current folder.\n"
            "The commands and keys of the game: man 6 quorrell\n",
            "help");
    } else {
        answerCommandLine(
            "usage: quorrell-script [--seed N | --replay FILE]\n"
            "       quorrell-script --help | --version\n"
            "\n"
            "Quorrell as a transcript: plays the game on standard input and writes what\n"
            "the screen, the pauses and the sounds would do as text, for tests and bugs.\n"
            "\n"
            "  --seed N       play the town of seed N (0 to 4294967295, default 1)\n"
            "  --replay FILE  play the input of a quorrell --record FILE with its seed\n"
            "  -h, --help     show this and exit\n"
            "  -V, --version  show the version and exit\n"
            "  --             end the options\n"
            "\n"
            "It plays no sounds and needs no sound files. The game: man 6 quorrell\n",
            "help");
    }
}

[[noreturn]] static void printVersion()
{
    answerCommandLine(std::string(programName) + " " QUORRELL_VERSION "\n", "version");
}

// An argument that is an option of its own, and so never the value of the
// one before it: "--" and all that starts with it, and a dash and a letter.
// A dash and a digit ("-1") is a value, if a wrong one for every option.
static bool isOption(const char* argument)
{
    return argument[0] == '-' && (argument[1] == '-' || std::isalpha(static_cast<unsigned char>(argument[1])));
}

// --help and --version win wherever they stand before "--", whatever else
// the command line holds, as a player who asks for help expects.
static void answerHelpOrVersion(int argc, char** argv, bool terminalGame)
{
    for (int place = 1; place < argc; ++place) {
        const char* argument = argv[place];
        if (std::strcmp(argument, "--") == 0)
            return;
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0)
            printHelp(terminalGame);
        if (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-V") == 0)
            printVersion();
    }
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

// "--name value" or "--name=value": true when the argument is this option,
// with its value taken (null when the option ends the command line without
// one).
static bool matches(const char* argument, const char* name, char** argv, int argc, int& place,
                    const char*& value, bool takesValue)
{
    std::size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0)
        return false;
    if (argument[length] == '\0') {
        if (takesValue)
            value = place + 1 < argc && !isOption(argv[place + 1]) ? argv[++place] : nullptr;
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

// --watch, --share and --asciicast: a record played at its own pace, carried
// in a link, or written as a recording of the terminal.
static bool takeWatchingOption(const char* argument, char** argv, int argc, int& place, CommandLine& options)
{
    const char* value = nullptr;
#ifdef _WIN32
    for (const char* name : {"--watch", "--asciicast"}) {
        if (matches(argument, name, argv, argc, place, value, true))
            refuseCommandLine((std::string(name) + " needs a POSIX terminal; --replay FILE shows the game here").c_str());
    }
#else
    if (matches(argument, "--watch", argv, argc, place, value, true)) {
        takeFile(options.watchPath, "--watch", value);
        return true;
    }
    if (matches(argument, "--asciicast", argv, argc, place, value, true)) {
        takeFile(options.asciicastPath, "--asciicast", value);
        return true;
    }
#endif
    if (matches(argument, "--share", argv, argc, place, value, true)) {
        takeFile(options.sharePath, "--share", value);
        return true;
    }
    return false;
}

static const char* watchingOption(const CommandLine& options)
{
    return options.watchPath ? "--watch" : options.sharePath ? "--share" : options.asciicastPath ? "--asciicast" : nullptr;
}

static void refuseWatchingWithAnotherRecord(const CommandLine& options, int records)
{
    int watching = (options.watchPath != nullptr) + (options.sharePath != nullptr) + (options.asciicastPath != nullptr);
    if (watching > 1 || (watching == 1 && records > 0))
        refuseCommandLine("--watch, --share and --asciicast take their record alone, with no other record option");
}

CommandLine readProgramOptions(int argc, char** argv, bool terminalGame)
{
    programName = terminalGame ? "quorrell" : "quorrell-script";
    answerHelpOrVersion(argc, argv, terminalGame);
    CommandLine options = {false, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, false, false, false};
    for (int place = 1; place < argc; ++place) {
        const char* argument = argv[place];
        const char* value = nullptr;
        if (std::strcmp(argument, "--") == 0) {
            // The game takes no arguments but its options.
            if (place + 1 < argc)
                refuse("unexpected argument", argv[place + 1]);
            break;
        }
        if (matches(argument, "--seed", argv, argc, place, value, true)) {
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
        } else if (terminalGame && matches(argument, "--transcript", argv, argc, place, value, true)) {
            takeFile(options.transcriptPath, "--transcript", value);
        } else if (terminalGame && takeWatchingOption(argument, argv, argc, place, options)) {
            // Taken, with its file.
        } else if (terminalGame && matches(argument, "--plain", argv, argc, place, value, false)) {
            options.plain = true;
        } else if (terminalGame && matches(argument, "--no-save", argv, argc, place, value, false)) {
            options.noSave = true;
        } else if (terminalGame && matches(argument, "--games", argv, argc, place, value, false)) {
            options.listGames = true;
        } else {
            refuse(argument[0] == '-' ? "unknown option" : "unexpected argument", argument);
        }
    }
    if (options.listGames && (options.seedGiven || options.recordPath || options.replayPath || options.resumePath ||
                              options.transcriptPath || watchingOption(options) || options.plain || options.noSave))
        refuseCommandLine("--games lists the saved games, and goes alone");
    // A number names a game of --games to every option that reads a record;
    // a new record named by a number could never be reached by it again.
    if (options.recordPath && std::strspn(options.recordPath, "0123456789") == std::strlen(options.recordPath)) {
        std::string number = options.recordPath;
        refuseCommandLine(("--record " + number + ": a number names a saved game; for a file named " + number +
                           ", write ./" + number).c_str());
    }
    int records = (options.recordPath != nullptr) + (options.replayPath != nullptr) +
                  (options.resumePath != nullptr) + (options.transcriptPath != nullptr);
    if (records > 1)
        refuseCommandLine("--record, --replay, --resume and --transcript go one at a time");
    refuseWatchingWithAnotherRecord(options, records);
    // Those two save the game in their own file.
    if (options.noSave && (options.recordPath || options.resumePath))
        refuseCommandLine(options.recordPath ? "--no-save cannot go with --record, which saves the game"
                                             : "--no-save cannot go with --resume, which saves the game");
    // A record brings its own seed.
    const char* reading = options.replayPath ? "--replay" : options.resumePath ? "--resume"
                        : options.transcriptPath ? "--transcript" : watchingOption(options);
    if (options.seedGiven && reading)
        refuseCommandLine((std::string("--seed cannot go with ") + reading + ": the record has its seed").c_str());
    return options;
}
