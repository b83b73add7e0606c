// The command line of both programs, read before anything is drawn or the
// terminal is touched.
#pragma once

#include <string>

struct CommandLine {
    bool seedGiven;
    unsigned seed;
    const char* recordPath;  // --record FILE, or null
    const char* replayPath;  // --replay FILE, or null
    const char* resumePath;  // --resume FILE, or null
    const char* transcriptPath;  // --transcript FILE, or null
    const char* watchPath;   // --watch FILE, or null
    const char* sharePath;   // --share FILE, or null
    const char* asciicastPath;  // --asciicast FILE, or null
    bool plain;              // --plain
    bool noSave;             // --no-save: the game is not saved as it is played
    bool listGames;          // --games: the saved games are listed, and nothing is played
};

// Reads the options of quorrell (terminalGame) or quorrell-script. --help and
// --version (-h, -V) print to standard output and exit 0, wherever they
// stand, or exit 1 when that cannot be written; anything wrong ends the
// program with one line on standard error and exit status 2.
CommandLine readProgramOptions(int argc, char** argv, bool terminalGame);

// A seed as the command line takes it: decimal digits only, 0 to 4294967295.
bool parseSeed(const char* text, unsigned* seed);

// One line on standard error naming the problem and --help, then exit 2.
[[noreturn]] void refuseCommandLine(const char* problem);

// Prints what the command line asked for (the help, the list of games) and
// exits 0, or exits 1 with one line when it cannot be written.
[[noreturn]] void answerCommandLine(const std::string& text, const char* what);
