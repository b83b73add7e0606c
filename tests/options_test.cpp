// The command line of both programs, and a game's record: played again, it
// is the same game; put down and taken up again, it plays on as if it had
// never stopped.
#include "child_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A program run to its end on the input, with what it wrote to stdout and
// stderr. With a file size limit, the files it writes stop growing there, as
// on a full disk.
ChildRun play(const std::vector<std::string>& arguments, const std::string& input = "", long fileSizeLimit = 0)
{
    ChildOptions options;
    options.input = input;
    options.err = STREAM_TEXT;
    options.longestFile = fileSizeLimit;
    // A terminal that lays out screens, whatever the tests run in; env
    // TERM=dumb before the program asks for plain text.
    options.environment = {{"TERM", "xterm"}};
    return runProgram(arguments, options);
}

// The same with standard output on a disk that is full.
ChildRun playOntoAFullDisk(const std::vector<std::string>& arguments)
{
    std::vector<std::string> shell = {"/bin/sh", "-c", "exec \"$0\" \"$@\" >/dev/full"};
    shell.insert(shell.end(), arguments.begin(), arguments.end());
    return play(shell);
}

std::string scratchPath(const char* name)
{
    std::string path = std::string("/tmp/quorrell-options-") + std::to_string(getpid()) + "-" + name;
    unlink(path.c_str());
    return path;
}

const std::string GAME = QUORRELL_PROGRAM;
const std::string SCRIPT = QUORRELL_SCRIPT_PROGRAM;

// A record's header as the game writes it.
std::string header(unsigned seed, const char* state, int turn)
{
    std::string turnWord = std::to_string(turn);
    turnWord.resize(10, ' ');
    return "Quorrell record\nformat 2\nseed " + std::to_string(seed) + "\nstate " + state + "\nturn " + turnWord + "\n";
}

// Up to the greeting, with sound off, then a walk and a look around. In the
// town of seed 31 Dexter waits north of the office and shoots the Marshal
// after the fourth command, so the game is at turn 4 for good, and the last
// line is read at the closing screen.
const std::string FIRST_PART = "nnBob\nlook\ne\n";
const std::string SECOND_PART = "n\nw\ninventory\n";

TEST(CommandLine, HelpVersionAndEveryRefusal)
{
    std::string notRecord = scratchPath("not-a-record");
    std::ofstream(notRecord) << "my notes\n";
    // Named by mistake, a big file is refused without being read through.
    std::string bigNotRecord = scratchPath("big-not-a-record");
    std::ofstream(bigNotRecord) << std::string(100000, 'x');
    // A file named as a number, beside the game.
    std::ofstream("98") << "my notes\n";
    // A damaged record's seed is held to the command line's rule.
    std::string badSeed = scratchPath("bad-seed");
    std::ofstream(badSeed) << "Quorrell record\nformat 1\nseed 4294967296\nstate open \nnnBob\n";
    std::string ended = scratchPath("ended");
    play({GAME, "--seed", "7", "--record", ended}, "nnBob\nquit\ny\x1b");
    std::string putDown = scratchPath("put-down");
    std::ofstream(putDown) << header(7, "open ", 1) << "nnBob\nlook\n";
    std::string fifo = scratchPath("fifo");
    mkfifo(fifo.c_str(), 0600);
    std::string folder = scratchPath("folder");
    mkdir(folder.c_str(), 0700);
    std::string link = scratchPath("link");
    symlink(putDown.c_str(), link.c_str());
    // Damaged headers, each told by its line.
    std::map<std::string, std::string> damaged = {
        {"format", "Quorrell record\nformat 3\nseed 7\nstate open \nnnBob\n"},
        {"seed", "Quorrell record\nformat 1\nseed -5\nstate open \nnnBob\n"},
        {"state", "Quorrell record\nformat 1\nseed 5\nstate open\nnnBob\n"},
        {"turn", "Quorrell record\nformat 2\nseed 5\nstate open \nturn 5\nnnBob\n"},
        {"unknown", header(7, "open ", 1) + "author x\nnnBob\nlook\n"},
        {"nul", std::string("Quorrell record\nformat 1\nseed 7\0\nstate open \nnnBob\n", 40)},
        {"cut", "Quorrell record\nformat 2\nseed 7"},
    };
    for (auto& [name, bytes] : damaged) {
        std::string path = scratchPath(("damaged-" + name).c_str());
        std::ofstream(path, std::ios::binary) << bytes;
        bytes = path;
    }
    auto cannotRead = [](const char* program, const std::string& path, const std::string& why) {
        return std::string(program) + ": '" + path + "' is not a record this game can read: " + why + " (see " +
               program + " --help)\n";
    };
    std::string endedBefore = fileText(ended);
    // A folder of saved games, each last written at a time of its own, and
    // what else may be found there.
    std::string state = scratchPath("state");
    std::string saves = state + "/quorrell/";
    mkdir(state.c_str(), 0700);
    mkdir(saves.c_str(), 0700);
    mkdir((saves + "folder.rec").c_str(), 0700);
    std::ofstream(saves + "notes.txt") << "my notes\n";
    struct Saved {
        const char* name;
        std::string bytes;
        long writtenAt;
    } savedGames[] = {
        {"game-2026-12-01_10-00-00.rec", header(7, "ended", 1) + "nnBob\nquit\ny\x1b", 1796119200},
        {"game-2026-11-30_09-00-00-set-aside.rec", header(31, "open ", 2) + FIRST_PART, 1796029500},
        {"old.rec", "Quorrell record\nformat 1\nseed 31\nstate open \n" + FIRST_PART, 1780315200},
        {"damaged.rec", "my notes\n", 1735689600},
    };
    for (const Saved& game : savedGames) {
        std::ofstream(saves + game.name) << game.bytes;
        struct timeval times[2] = {{game.writtenAt, 0}, {game.writtenAt, 0}};
        utimes((saves + game.name).c_str(), times);
    }
    const std::string SAVED = "XDG_STATE_HOME=" + state;
    const std::string NONE_SAVED = "XDG_STATE_HOME=" + scratchPath("no-state");
    const std::string ENV = "/usr/bin/env";
    struct Row {
        std::vector<std::string> arguments;
        int status;
        std::string seen;  // the start of stdout, or the whole line on stderr
    } rows[] = {
        {{GAME, "--help"}, 0, "usage: quorrell [--seed N]"},
        {{SCRIPT, "--help"}, 0, "usage: quorrell-script [--seed N | --replay FILE]"},
        {{GAME, "--version"}, 0, "quorrell " QUORRELL_VERSION "\n"},
        {{SCRIPT, "--version"}, 0, "quorrell-script " QUORRELL_VERSION "\n"},
        {{GAME, "-h"}, 0, "usage: quorrell [--seed N]"},
        {{SCRIPT, "-V"}, 0, "quorrell-script " QUORRELL_VERSION "\n"},
        // Help and version win wherever they stand, whatever else is wrong.
        {{GAME, "--bogus", "--help"}, 0, "usage: quorrell [--seed N]"},
        {{GAME, "--help", "--bogus"}, 0, "usage: quorrell [--seed N]"},
        {{GAME, "--record", "-V"}, 0, "quorrell " QUORRELL_VERSION "\n"},
        {{SCRIPT, "--seed", "x", "-h"}, 0, "usage: quorrell-script"},
        {{GAME, "--"}, 0, "\x1b[H\x1b[2J"},
        {{GAME, "--", "--help"}, 2, "quorrell: unexpected argument '--help' (see quorrell --help)\n"},
        {{SCRIPT, "--seed", "3", "--", "x"}, 2, "quorrell-script: unexpected argument 'x' (see quorrell-script --help)\n"},
        // An option's value is never the next option.
        {{GAME, "--record", "--seed", "5"}, 2, "quorrell: --record needs a file (see quorrell --help)\n"},
        {{GAME, "--seed", "--record", "x"}, 2, "quorrell: --seed needs a number (see quorrell --help)\n"},
        {{SCRIPT, "--replay", "-h"}, 0, "usage: quorrell-script"},
        {{GAME, "--bogus"}, 2, "quorrell: unknown option '--bogus' (see quorrell --help)\n"},
        {{SCRIPT, "--record", "x"}, 2, "quorrell-script: unknown option '--record' (see quorrell-script --help)\n"},
        {{GAME, "north"}, 2, "quorrell: unexpected argument 'north' (see quorrell --help)\n"},
        {{GAME, "--seed"}, 2, "quorrell: --seed needs a number (see quorrell --help)\n"},
        {{SCRIPT, "--seed", "12x"}, 2, "quorrell-script: --seed takes a whole number, not '12x' (see quorrell-script --help)\n"},
        {{GAME, "--seed", "-1"}, 2, "quorrell: --seed takes a whole number, not '-1' (see quorrell --help)\n"},
        {{GAME, "--seed=4294967296"}, 2, "quorrell: --seed is 0 to 4294967295, not '4294967296' (see quorrell --help)\n"},
        {{GAME, "--replay"}, 2, "quorrell: --replay needs a file (see quorrell --help)\n"},
        {{GAME, "--replay", ended, "--resume", ended}, 2, "quorrell: --record, --replay, --resume and --transcript go one at a time (see quorrell --help)\n"},
        {{GAME, "--transcript"}, 2, "quorrell: --transcript needs a file (see quorrell --help)\n"},
        {{GAME, "--seed", "3", "--transcript", ended}, 2, "quorrell: --seed cannot go with --transcript: the record has its seed (see quorrell --help)\n"},
        {{GAME, "--transcript", notRecord}, 2, "quorrell: '" + notRecord + "' is not a Quorrell record (see quorrell --help)\n"},
        {{GAME, "--transcript", fifo}, 2, "quorrell: '" + fifo + "' is a named pipe, not a record (see quorrell --help)\n"},
        {{SCRIPT, "--plain"}, 2, "quorrell-script: unknown option '--plain' (see quorrell-script --help)\n"},
        {{SCRIPT, "--seed", "3", "--replay", ended}, 2, "quorrell-script: --seed cannot go with --replay: the record has its seed (see quorrell-script --help)\n"},
        {{GAME, "--replay", "/nowhere/game"}, 2, "quorrell: cannot read the record '/nowhere/game': No such file or directory (see quorrell --help)\n"},
        {{GAME, "--record", "/nowhere/game"}, 2, "quorrell: cannot write the record '/nowhere/game': No such file or directory (see quorrell --help)\n"},
        {{GAME, "--record", notRecord}, 2, "quorrell: '" + notRecord + "' is not a Quorrell record, and is left as it is (see quorrell --help)\n"},
        {{SCRIPT, "--replay", notRecord}, 2, "quorrell-script: '" + notRecord + "' is not a Quorrell record (see quorrell-script --help)\n"},
        {{GAME, "--resume", badSeed}, 2,
         cannotRead("quorrell", badSeed, "line 3, \"seed 4294967296\", should be \"seed\" and a number from 0 to 4294967295")},
        {{GAME, "--replay", damaged["format"]}, 2,
         cannotRead("quorrell", damaged["format"], "line 2, \"format 3\", is no format this game reads (1 or 2)")},
        {{SCRIPT, "--replay", damaged["seed"]}, 2,
         cannotRead("quorrell-script", damaged["seed"],
                    "line 3, \"seed -5\", should be \"seed\" and a number from 0 to 4294967295")},
        {{GAME, "--transcript", damaged["state"]}, 2,
         cannotRead("quorrell", damaged["state"], "line 4, \"state open\", should be \"state open \" or \"state ended\"")},
        {{GAME, "--resume", damaged["turn"]}, 2,
         cannotRead("quorrell", damaged["turn"],
                    "line 5, \"turn 5\", should be \"turn\" and a number padded with spaces to ten places")},
        {{GAME, "--replay", damaged["unknown"]}, 2,
         cannotRead("quorrell", damaged["unknown"], "line 6, \"author x\", is no line of a record's header")},
        {{GAME, "--resume", damaged["nul"]}, 2, cannotRead("quorrell", damaged["nul"], "line 3, \"seed 7\\0\", holds a NUL byte")},
        {{GAME, "--record", damaged["cut"]}, 2,
         "quorrell: '" + damaged["cut"] + "' is not a record this game can read: it ends in its line 3, \"seed 7\", "
         "and is left as it is (see quorrell --help)\n"},
        // A record is never opened through a symbolic link, for writing or not.
        {{GAME, "--record", link}, 2, "quorrell: '" + link + "' is a symbolic link, not a record (see quorrell --help)\n"},
        {{GAME, "--resume", link}, 2, "quorrell: '" + link + "' is a symbolic link, not a record (see quorrell --help)\n"},
        {{GAME, "--resume", ended}, 2, "quorrell: the game in '" + ended + "' has ended and cannot be resumed; --replay shows it again (see quorrell --help)\n"},
        // A record is never written over, and is named with the way to it.
        {{GAME, "--record", putDown}, 2, "quorrell: '" + putDown + "' holds a game put down at turn 1, and is left as it is; quorrell --resume '" + putDown + "' plays on (see quorrell --help)\n"},
        {{GAME, "--record", ended}, 2, "quorrell: '" + ended + "' holds a game that has ended, and is left as it is; quorrell --replay '" + ended + "' shows it again (see quorrell --help)\n"},
        // Nothing but a plain file is opened, by any option.
        {{GAME, "--record", fifo}, 2, "quorrell: '" + fifo + "' is a named pipe, not a record (see quorrell --help)\n"},
        {{GAME, "--replay", fifo}, 2, "quorrell: '" + fifo + "' is a named pipe, not a record (see quorrell --help)\n"},
        {{GAME, "--resume", fifo}, 2, "quorrell: '" + fifo + "' is a named pipe, not a record (see quorrell --help)\n"},
        {{SCRIPT, "--replay", fifo}, 2, "quorrell-script: '" + fifo + "' is a named pipe, not a record (see quorrell-script --help)\n"},
        {{GAME, "--record", "/dev/null"}, 2, "quorrell: '/dev/null' is a device, not a record (see quorrell --help)\n"},
        {{SCRIPT, "--replay", "/dev/null"}, 2, "quorrell-script: '/dev/null' is a device, not a record (see quorrell-script --help)\n"},
        {{GAME, "--resume", folder}, 2, "quorrell: '" + folder + "' is a folder, not a record (see quorrell --help)\n"},
        {{SCRIPT, "--replay", folder}, 2, "quorrell-script: '" + folder + "' is a folder, not a record (see quorrell-script --help)\n"},
        {{GAME, "--no-save", "--record", ended}, 2, "quorrell: --no-save cannot go with --record, which saves the game (see quorrell --help)\n"},
        {{SCRIPT, "--no-save"}, 2, "quorrell-script: unknown option '--no-save' (see quorrell-script --help)\n"},
        // The saved games, the one written last first; a file that is no
        // record is listed as damaged, what is no .rec file passed over.
        {{ENV, "TZ=UTC", SAVED, GAME, "--games"}, 0,
         "The games saved in " + state + "/quorrell, the one played last first:\n"
         "1  1 December 2026 10:00   turn 1  ended       game-2026-12-01_10-00-00.rec\n"
         "2  30 November 2026 09:05  turn 2  set aside   game-2026-11-30_09-00-00-set-aside.rec\n"
         "3  1 June 2026 12:00       turn ?  unfinished  old.rec\n"
         "4  1 January 2025 00:00            damaged     damaged.rec\n"},
        {{ENV, NONE_SAVED, GAME, "--games"}, 0, "No games are saved yet in " + NONE_SAVED.substr(15) + "/quorrell.\n"},
        {{ENV, "-u", "HOME", "-u", "XDG_STATE_HOME", GAME, "--games"}, 0,
         "No games are saved: neither XDG_STATE_HOME nor HOME names a folder for them.\n"},
        {{GAME, "--games", "--seed", "3"}, 2, "quorrell: --games lists the saved games, and goes alone (see quorrell --help)\n"},
        {{SCRIPT, "--games"}, 2, "quorrell-script: unknown option '--games' (see quorrell-script --help)\n"},
        // A number is a game of that list; a game the option cannot take is
        // refused as its file would be.
        {{ENV, SAVED, GAME, "--resume", "99"}, 2,
         "quorrell: --resume 99: there is no game 99; quorrell --games lists the saved games (see quorrell --help)\n"},
        {{ENV, SAVED, GAME, "--replay", "98"}, 2,
         "quorrell: --replay 98: there is no game 98; quorrell --games lists the saved games; the file named 98 here "
         "is ./98 (see quorrell --help)\n"},
        {{ENV, SAVED, GAME, "--replay", "0"}, 2,
         "quorrell: --replay 0: there is no game 0; quorrell --games lists the saved games (see quorrell --help)\n"},
        {{ENV, NONE_SAVED, GAME, "--transcript", "1"}, 2,
         "quorrell: --transcript 1: there is no game 1, as no game is saved yet (see quorrell --help)\n"},
        {{ENV, SAVED, GAME, "--resume", "1"}, 2, "quorrell: the game in '" + saves +
         "game-2026-12-01_10-00-00.rec' has ended and cannot be resumed; --replay shows it again (see quorrell --help)\n"},
        {{ENV, SAVED, GAME, "--replay", "4"}, 2, "quorrell: '" + saves + "damaged.rec' is not a Quorrell record (see quorrell --help)\n"},
        {{ENV, SAVED, GAME, "--seed", "3", "--resume", "2"}, 2,
         "quorrell: --seed cannot go with --resume: the record has its seed (see quorrell --help)\n"},
        {{GAME, "--record", "3"}, 2, "quorrell: --record 3: a number names a saved game; for a file named 3, write ./3 (see quorrell --help)\n"},
        {{ENV, SAVED, GAME, "--watch", "7"}, 2,
         "quorrell: --watch 7: there is no game 7; quorrell --games lists the saved games (see quorrell --help)\n"},
        {{ENV, SAVED, GAME, "--share", "4"}, 2, "quorrell: '" + saves + "damaged.rec' is not a Quorrell record (see quorrell --help)\n"},
        // Watching, sharing and the recording read a record and nothing else.
        {{GAME, "--watch", notRecord}, 2, "quorrell: '" + notRecord + "' is not a Quorrell record (see quorrell --help)\n"},
        {{GAME, "--replay", bigNotRecord}, 2, "quorrell: '" + bigNotRecord + "' is not a Quorrell record (see quorrell --help)\n"},
        {{GAME, "--watch", fifo}, 2, "quorrell: '" + fifo + "' is a named pipe, not a record (see quorrell --help)\n"},
        {{GAME, "--watch", folder}, 2, "quorrell: '" + folder + "' is a folder, not a record (see quorrell --help)\n"},
        {{GAME, "--watch"}, 2, "quorrell: --watch needs a file (see quorrell --help)\n"},
        {{GAME, "--share", notRecord}, 2, "quorrell: '" + notRecord + "' is not a Quorrell record (see quorrell --help)\n"},
        {{GAME, "--asciicast", "/dev/null"}, 2, "quorrell: '/dev/null' is a device, not a record (see quorrell --help)\n"},
        {{GAME, "--seed", "3", "--watch", ended}, 2, "quorrell: --seed cannot go with --watch: the record has its seed (see quorrell --help)\n"},
        {{GAME, "--watch", ended, "--replay", ended}, 2, "quorrell: --watch, --share and --asciicast take their record alone, with no other record option (see quorrell --help)\n"},
        {{GAME, "--share", ended, "--asciicast", ended}, 2, "quorrell: --watch, --share and --asciicast take their record alone, with no other record option (see quorrell --help)\n"},
        {{SCRIPT, "--watch", ended}, 2, "quorrell-script: unknown option '--watch' (see quorrell-script --help)\n"},
    };
    for (const Row& row : rows) {
        std::string shown;
        for (const std::string& argument : row.arguments)
            shown += " " + argument;
        ChildRun run = play(row.arguments, FIRST_PART);
        EXPECT_EQ(run.status, row.status) << shown;
        if (row.status == 0) {
            EXPECT_EQ(run.out.substr(0, row.seen.size()), row.seen) << shown;
            EXPECT_EQ(run.err, "") << shown;
        } else {
            EXPECT_EQ(run.err, row.seen) << shown;
            EXPECT_EQ(run.out, "") << shown;
        }
    }
    // A help or version that cannot be written is no success.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{GAME, "--help"}, {GAME, "-V"}, {SCRIPT, "-h"}, {SCRIPT, "--version"},
          {ENV, SAVED, GAME, "--games"}, {GAME, "--share", ended}, {GAME, "--asciicast", ended}}) {
        ChildRun run = playOntoAFullDisk(arguments);
        EXPECT_EQ(run.status, 1) << arguments.back();
        EXPECT_NE(run.err.find("cannot write the"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
    }
    // The help names every option and where the sounds and the games are.
    std::string help = play({GAME, "--help"}).out;
    for (const char* named : {"--seed", "--record", "--replay", "--resume", "--no-save", "--plain", "--transcript",
                              "--games", "./2", "--watch", "--share", "--asciicast",
                              "--version", "screen readers", "data", "~/.local/state/quorrell", "man 6 quorrell", "Alt-U"})
        EXPECT_NE(help.find(named), std::string::npos) << named;
    EXPECT_EQ(fileText(notRecord), "my notes\n");
    EXPECT_EQ(fileText(putDown), header(7, "open ", 1) + "nnBob\nlook\n");
    EXPECT_EQ(fileText(ended), endedBefore);
    // Nothing refused touched a saved game.
    for (const Saved& game : savedGames)
        EXPECT_EQ(fileText(saves + game.name), game.bytes) << game.name;
    // Game 2 plays on, set aside no more, to Dexter's shot: it is then the
    // game played last, and ended, put with the ended games, without the
    // line typed at its closing screen.
    EXPECT_EQ(play({ENV, SAVED, GAME, "--resume", "2"}, SECOND_PART).status, 0);
    const std::string takenUp = "ended/game-2026-11-30_09-00-00.rec";
    EXPECT_EQ(fileText(saves + takenUp), header(31, "ended", 4) + FIRST_PART + "n\nw\n");
    std::string listed = play({ENV, SAVED, GAME, "--games"}).out;
    EXPECT_EQ(listed.substr(listed.find('\n') + 1, 3), "1  ");
    EXPECT_NE(listed.find("turn 4  ended       " + takenUp + "\n2  "), std::string::npos) << listed;
    for (const std::string& scratch : {putDown, fifo, link, bigNotRecord, std::string("98")})
        unlink(scratch.c_str());
    for (const auto& named : damaged)
        unlink(named.second.c_str());
    rmdir(folder.c_str());
    std::filesystem::remove_all(state);
}

TEST(CommandLine, TheSameSeedPlaysTheSameTown)
{
    // A town where a brother waits on this walk, unlike seed 1's.
    std::string input = "nnBob\ne\nn\nw\nw\n";
    ChildRun game = play({GAME, "--seed", "77"}, input);
    std::string script = play({SCRIPT, "--seed", "77"}, input).out;
    std::string other = play({SCRIPT, "--seed", "1"}, input).out;
    ASSERT_NE(script, other);
    // The terminal's output is the transcript without its markers.
    std::string plain;
    for (std::size_t place = 0; place < script.size(); ++place) {
        if (script[place] == '{')
            place = script.find('}', place);
        else
            plain += script[place];
    }
    std::string gameText;
    for (std::size_t place = 0; place < game.out.size(); ++place) {
        if (game.out[place] == '\x1b')
            place = game.out.find_first_of("HJ", place);
        else
            gameText += game.out[place];
    }
    EXPECT_EQ(gameText, plain);
}

TEST(Record, ReplaysToTheTranscriptOfItsSeedAndInput)
{
    std::string record = scratchPath("replayed");
    std::string input = FIRST_PART + SECOND_PART + "quit\ny\x1b";
    ChildRun game = play({GAME, "--seed", "99", "--record", record}, input);
    ASSERT_EQ(game.status, 0);
    // Six commands, the surrender's answer and the Escape at the closing
    // screen.
    EXPECT_EQ(fileText(record), header(99, "ended", 6) + input);
    struct stat status = {};
    stat(record.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "for the player alone";
    ChildRun replayed = play({SCRIPT, "--replay", record});
    EXPECT_EQ(replayed.out, play({SCRIPT, "--seed", "99"}, input).out);
    EXPECT_EQ(replayed.err, "");
    // The terminal's replay reads nothing from the keyboard.
    EXPECT_EQ(play({GAME, "--replay", record}, "this is not read").out, game.out);
}

// A record of the first format, without the turn, is still played.
TEST(Record, TheFirstFormatIsStillReplayedAndResumed)
{
    std::string record = scratchPath("first-format");
    std::ofstream(record) << "Quorrell record\nformat 1\nseed 31\nstate open \n" << FIRST_PART;
    EXPECT_EQ(play({SCRIPT, "--replay", record}).out, play({SCRIPT, "--seed", "31"}, FIRST_PART).out);
    ChildRun resumed = play({GAME, "--resume", record}, "s\n");
    EXPECT_EQ(resumed.out, play({GAME, "--seed", "31"}, FIRST_PART + "s\n").out);
    EXPECT_EQ(fileText(record), "Quorrell record\nformat 1\nseed 31\nstate open \n" + FIRST_PART + "s\n");
    unlink(record.c_str());
}

// A game put down one way or another, then resumed with the rest of the
// input: the record is the whole input up to the Marshal's death, marked
// ended as the closing screen comes up, without the line typed there, and
// the resumed game shows what the game played in one go shows.
void expectResumedAsIfNeverStopped(const std::string& record)
{
    ASSERT_EQ(fileText(record), header(31, "open ", 2) + FIRST_PART);
    ChildRun resumed = play({GAME, "--resume", record}, SECOND_PART);
    EXPECT_EQ(resumed.status, 0);
    EXPECT_EQ(fileText(record), header(31, "ended", 4) + FIRST_PART + "n\nw\n");
    ChildRun whole = play({GAME, "--seed", "31"}, FIRST_PART + SECOND_PART);
    EXPECT_EQ(resumed.out, whole.out);
}

TEST(Record, PutDownAtTheEndOfInputAndResumed)
{
    std::string record = scratchPath("ended-input");
    ChildRun first = play({GAME, "--seed", "31", "--record", record}, FIRST_PART);
    EXPECT_NE(first.out.find("HAPPY TRAILS"), std::string::npos);
    expectResumedAsIfNeverStopped(record);
}

TEST(Record, KilledMidGameAndResumed)
{
    std::string record = scratchPath("killed");
    ChildOptions fed;
    fed.in = STREAM_PIPE;
    fed.err = STREAM_TEXT;
    Child game = startProgram({GAME, "--seed", "31", "--record", record}, fed);
    ASSERT_EQ(write(game.input, FIRST_PART.data(), FIRST_PART.size()), static_cast<ssize_t>(FIRST_PART.size()));
    // Killed while it waits for the next command, the pipe still open.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fileText(record) != header(31, "open ", 2) + FIRST_PART && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // A second game may not write into the record of one still playing.
    std::string before = fileText(record);
    ChildRun intruder = play({GAME, "--resume", record});
    EXPECT_EQ(intruder.status, 2);
    EXPECT_NE(intruder.err.find("is being played by another game"), std::string::npos);
    EXPECT_EQ(fileText(record), before);
    kill(game.pid, SIGTERM);
    ChildRun killed = finishChild(game);
    EXPECT_EQ(killed.status, 128 + SIGTERM);
    expectResumedAsIfNeverStopped(record);
}

// The edges of a record, each through the game and then the harness: the
// game tells the player in one line and loses nothing, and whatever record
// it leaves replays to the transcript of its seed and input.
TEST(Record, EachEdgeIsToldAndNothingIsLost)
{
    // Walks that meet nobody: the real game's screens take no long pauses.
    const std::string later = "s\ni\n";
    const std::string whole = FIRST_PART + later;
    const std::string putDown = header(31, "open ", 2) + FIRST_PART;
    const std::string absent = "(no file)";
    // The real game waits out its pauses: each screen is played once.
    std::map<std::string, std::string> screens;
    auto seededScreen = [&](const std::string& input) -> const std::string& {
        if (!screens.count(input))
            screens[input] = play({GAME, "--seed", "31"}, input).out;
        return screens[input];
    };
    struct Row {
        const char* edge;
        std::string before;  // the record's bytes before the game, or absent
        std::vector<std::string> arguments;
        std::string input;
        long fileSizeLimit;
        int status;
        std::string err;     // RECORD stands for the record's path
        std::string screenOf;  // the input of the seed-31 game shown, or absent
        std::string after;   // the record's bytes after the game, or absent
    } rows[] = {
        {"a replay of a game put down says so at its end, and reads no key", putDown, {GAME, "--replay", "RECORD"},
         "inventory\n", 0, 0, "", absent, putDown},
        {"a full disk in mid-game is told at once, and the game plays on", absent,
         {GAME, "--seed", "31", "--record", "RECORD"}, whole, static_cast<long>(putDown.size()) + 1, 0,
         "This game is no longer being saved: cannot write to 'RECORD': File too large. It plays on; "
         "quorrell --resume 'RECORD' takes it up from before this.\n",
         whole, putDown},
        {"a full disk at the start leaves no file", absent, {GAME, "--seed", "31", "--record", "RECORD"}, whole, 10,
         2, "quorrell: cannot write the record 'RECORD': File too large (see quorrell --help)\n", absent, absent},
        {"a full disk at the start leaves an empty file named for the record as empty as it was", "",
         {GAME, "--seed", "31", "--record", "RECORD"}, whole, 10, 2,
         "quorrell: cannot write the record 'RECORD': File too large (see quorrell --help)\n", absent, ""},
        {"a line cut short in the record is dropped, and the next one runs", putDown + "inven",
         {GAME, "--resume", "RECORD"}, later, 0, 0, "", whole, header(31, "open ", 4) + whole},
        {"a death's record is ended as the closing screen comes up, and keeps none of the keys typed there",
         absent, {GAME, "--seed", "31", "--record", "RECORD"}, FIRST_PART + "n\nw\nq\x03\x04inventory\n", 0, 0, "",
         FIRST_PART + "n\nw\nq\x03\x04inventory\n", header(31, "ended", 4) + FIRST_PART + "n\nw\n"},
    };
    for (const Row& row : rows) {
        std::string record = scratchPath("edge");
        if (row.before != absent)
            std::ofstream(record) << row.before;
        std::vector<std::string> arguments = row.arguments;
        for (std::string& argument : arguments)
            if (argument == "RECORD")
                argument = record;
        ChildRun game = play(arguments, row.input, row.fileSizeLimit);
        std::string err = row.err;
        for (std::size_t place; (place = err.find("RECORD")) != std::string::npos;)
            err.replace(place, 6, record);
        EXPECT_EQ(game.status, row.status) << row.edge;
        EXPECT_EQ(game.err, err) << row.edge;
        if (row.screenOf != absent) {
            EXPECT_EQ(game.out, seededScreen(row.screenOf)) << row.edge;
        }
        bool left = access(record.c_str(), F_OK) == 0;
        EXPECT_EQ(left ? fileText(record) : absent, row.after) << row.edge;
        if (!left || row.after.empty())
            continue;
        // The harness plays the record left as the game its input makes,
        // and says, apart, where the game was put down.
        std::string input = row.after.substr(header(31, "open ", 0).size());
        ChildRun replayed = play({SCRIPT, "--replay", record});
        EXPECT_EQ(replayed.out, play({SCRIPT, "--seed", "31"}, input).out) << row.edge;
        bool ended = row.after.find("\nstate ended\n") != std::string::npos;
        EXPECT_EQ(replayed.err,
                  ended ? "" : "The game was put down here; quorrell --resume '" + record + "' plays on from here.\n")
            << row.edge;
        unlink(record.c_str());
    }
    // The game's own replay ends on the same line, under the game as it was.
    std::string record = scratchPath("edge");
    std::ofstream(record) << putDown;
    ChildRun replayed = play({GAME, "--replay", record}, "inventory\n");
    std::string screen = play({GAME, "--seed", "31"}, FIRST_PART).out;
    std::string farewell = screen.substr(screen.rfind("\x1b[H\x1b[2J"));
    EXPECT_EQ(replayed.out, screen.substr(0, screen.size() - farewell.size()) +
                                "\nThe game was put down here; quorrell --resume '" + record + "' plays on from here.\n");
    // A line cut short never reached the game: the replay and the transcript
    // end before it, as the resumed game does.
    std::string transcript = play({GAME, "--transcript", record}).out;
    std::ofstream(record) << putDown << "inven";
    EXPECT_EQ(play({GAME, "--replay", record}).out, replayed.out);
    EXPECT_EQ(play({GAME, "--transcript", record}).out, transcript);
    unlink(record.c_str());
}

// A record carried through a text-mode copy, with a byte-order mark and a
// carriage return before each line feed, is the record it was.
TEST(Record, ACopyMadeInTextModePlaysAsTheOriginal)
{
    std::string original = header(31, "open ", 2) + FIRST_PART;
    std::string copy = "\xef\xbb\xbf";
    for (char byte : original)
        copy += byte == '\n' ? std::string("\r\n") : std::string(1, byte);
    std::string record = scratchPath("text-mode");
    std::ofstream(record, std::ios::binary) << original;
    std::string transcript = play({GAME, "--transcript", record}).out;
    std::string replayed = play({SCRIPT, "--replay", record}).out;
    std::ofstream(record, std::ios::binary) << copy;
    EXPECT_EQ(play({GAME, "--transcript", record}).out, transcript);
    EXPECT_EQ(play({SCRIPT, "--replay", record}).out, replayed);
    // Taken up, it is written back as it was, and what is played is added,
    // up to the closing screen of Dexter's shot.
    ChildRun resumed = play({GAME, "--resume", record}, SECOND_PART);
    EXPECT_EQ(resumed.err, "");
    EXPECT_EQ(resumed.out, play({GAME, "--seed", "31"}, FIRST_PART + SECOND_PART).out);
    EXPECT_EQ(fileText(record), header(31, "ended", 4) + FIRST_PART + "n\nw\n");
    unlink(record.c_str());
}

// What a link's "#r=" carries, unpacked as the page unpacks it: base64url,
// then raw deflate.
std::string unpackedLink(const std::string& fragment)
{
    const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string packed;
    unsigned long bits = 0;
    int bitCount = 0;
    for (char digit : fragment.substr(3)) {
        bits = (bits << 6) | digits.find(digit);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            packed += static_cast<char>((bits >> bitCount) & 255);
        }
    }
    std::string bytes(1 << 20, '\0');
    z_stream stream = {};
    inflateInit2(&stream, -15);
    stream.next_in = reinterpret_cast<Bytef*>(&packed[0]);
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(&bytes[0]);
    stream.avail_out = static_cast<uInt>(bytes.size());
    bool whole = inflate(&stream, Z_FINISH) == Z_STREAM_END;
    bytes.resize(stream.total_out);
    inflateEnd(&stream);
    return whole ? bytes : "(damaged)";
}

TEST(Record, ASharedLinkCarriesTheRecordAndTheLongestWinFitsInAMessage)
{
    // The longest winning game of the tests, whole_games_test.cpp's
    // afternoon in the office, the hotel and the barber's chair.
    std::string input = "nnBob\nopen drawer\ntake gun\ne\ne\nshoot Dexter\nshoot Dexter\ns\ns\nw\nshoot Clarence\n"
                        "n\nw\nw\nopen cupboard\ntake bag\ne\ne\ne\ne\ne\ntake bottle\neat bread\ndrink medicine\n";
    for (int turn = 24; turn < 155; ++turn)
        input += "i\n";
    input += "shoot Rodney\n\x1b";
    std::string record = scratchPath("shared");
    std::ofstream(record, std::ios::binary) << header(1796701097, "ended", 155) << input;
    ChildRun shared = play({GAME, "--share", record});
    EXPECT_EQ(shared.status, 0);
    ASSERT_EQ(shared.out.substr(0, 3), "#r=");
    std::string fragment = shared.out.substr(0, shared.out.size() - 1);
    EXPECT_EQ(unpackedLink(fragment), fileText(record));
    EXPECT_NE(shared.err.find("put the line above right after the address"), std::string::npos) << shared.err;
    // With a site's address in front, it still fits in a chat message.
    EXPECT_LE(std::string("https://orvanecity.invalid/quorrell/").size() + fragment.size(), 2000u) << fragment;
    // Bytes of every count, whatever is left over after each three.
    for (const char* typed : {"nnBob\n", "nnBob\nlook\n", "nnBob\nlook\ne\n"}) {
        std::ofstream(record, std::ios::binary) << header(7, "open ", 1) << typed;
        shared = play({GAME, "--share", record});
        EXPECT_EQ(unpackedLink(shared.out.substr(0, shared.out.size() - 1)), fileText(record)) << typed;
    }
    // A game of keys that no deflating shrinks makes a link no browser takes.
    std::string noise;
    for (unsigned state = 7; noise.size() < 2000000;) {
        state = state * 1103515245u + 12345u;
        noise += static_cast<char>(' ' + (state >> 16) % 95);
    }
    std::ofstream(record, std::ios::binary) << header(7, "open ", 1) << noise;
    shared = play({GAME, "--share", record});
    EXPECT_EQ(shared.status, 2);
    EXPECT_NE(shared.err.find("more than the 2 MB a browser takes"), std::string::npos) << shared.err;
    unlink(record.c_str());
}

// What a terminal player would read back: the bytes the terminal is sent,
// each line ended as the terminal ends it, in bursts at the game's pace.
TEST(Record, AnAsciicastIsTheTerminalsBytesInBurstsAtTheGamesPace)
{
    // Seed 2: the store's iron door kicked, whose reply holds the triangle;
    // then a line with a byte that is no part of a character.
    std::string record = scratchPath("cast");
    std::ofstream(record, std::ios::binary) << header(2, "open ", 6) << "nnBob\ne\nn\nw\nw\nkick door\nlo\xe9ok\n";
    ChildRun cast = play({GAME, "--asciicast", record});
    EXPECT_EQ(cast.status, 0) << cast.err;
    std::istringstream lines(cast.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "{\"version\": 2, \"width\": 80, \"height\": 25, \"title\": \"Quorrell\"}");
    double last = 0;
    std::string shown;
    while (std::getline(lines, line)) {
        double seconds = std::strtod(line.c_str() + 1, nullptr);
        EXPECT_GE(seconds, last) << line;
        last = seconds;
        ASSERT_EQ(line.compare(line.find(','), 8, ", \"o\", \""), 0) << line;
        shown += line;
    }
    EXPECT_GT(last, 1.0) << "the game's pauses take time";
    EXPECT_NE(shown.find("Ouch \u25b2 that hurt!"), std::string::npos);
    EXPECT_NE(shown.find("\\u000d\\u000a"), std::string::npos);
    EXPECT_EQ(shown.find("\x1e"), std::string::npos);
    EXPECT_NE(shown.find("\xef\xbf\xbd"), std::string::npos) << "a stray byte drawn as a terminal draws it";
    unlink(record.c_str());
}

// A game read from a pipe is a script's, and is saved nowhere it did not ask.
TEST(Record, AGameFromAPipeIsNotSaved)
{
    std::string state = scratchPath("state");
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    EXPECT_EQ(play({GAME}, FIRST_PART).status, 0);
    EXPECT_EQ(play({GAME, "--seed", "4"}, FIRST_PART).status, 0);
    EXPECT_NE(access(state.c_str(), F_OK), 0) << "nothing made in " << state;
}

std::string recordOf(unsigned seed, const std::string& input)
{
    std::string path = scratchPath(("record-" + std::to_string(seed)).c_str());
    std::ofstream(path, std::ios::binary) << "Quorrell record\nformat 1\nseed " << seed << "\nstate ended\n" << input;
    return path;
}

std::string placed(int column, const std::string& text)
{
    return std::string(static_cast<std::size_t>(column - 1), ' ') + text;
}

std::string linesOf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(Plain, TheTranscriptIsWhatThePlayerSaw)
{
    // A wrong key, the walk to the store's iron door, a surrender taken
    // back, a line with an arrow key's bytes in it, and a key at the
    // closing screen before Escape.
    std::string record = recordOf(2, "xnnBob\ne\nn\nw\nw\nkick door\nquit\nn\xe6\x97\xa5\xe6\x9c\xac\x1b[Dx\nquit\nya\x1b");
    std::vector<std::string> expected = {
        // At most one empty line in a row.
        "",
        placed(31, "QUORRELL"), "",
        placed(34, "Version 2.0 for Windows"), "",
        placed(20, "Written by the Orvane City Software Company"), "",
        placed(26, "quorrell@orvanecity.invalid"), "",
        placed(25, "Marshal voice by Rudanti"), "",
        "Quorrell is free: it may not be sold and comes without any warranty.",
        "You may copy it freely, as long as all of its files go with it.",
        "",
        // Each question drawn again in place, with the key that answered it;
        // the wrong key is no answer, and the question is asked again.
        placed(10, "Instructions?  Y or N"),
        placed(10, "Instructions?  Y or N  n"),
        placed(10, "Sound effects?  Y or N  n"),
        placed(10, "What is your first name?  Bob"),
        "Howdie Marshal Bob, good luck, I hope your will is up to date.",
        "",
        "It is high noon in Orvane City.You are in your office",
        "You see your messy desk",
        "Obvious directions are east or west",
        "e",
        "You are on the road outside your office",
        "Obvious directions are north, south, east and west",
        "n",
        "You are in front of Clem's General Store",
        "Obvious directions are north, south, east and west",
        "w",
        "You are in the general store",
        "You see the store counter",
        "Obvious directions are east or west",
        "w",
        "You are in the back of the store",
        "You see a large iron door that says \"STORAGE.\"",
        "You see a shiny brass key",
        "Obvious directions are east or north",
        "kick door",
        "Ouch \xe2\x96\xb2 that hurt!",
        "quit",
        "Are you surrendering Orvane City to the desperados Marshal Bob?  Y or N n",
        "I knew you were not a yellow dog, please continue",
        "\xe6\x97\xa5\xe6\x9c\xac^[[Dx",
        "Please use two word commands or a letter for direction",
        "quit",
        "Are you surrendering Orvane City to the desperados Marshal Bob?  Y or N y",
        "",
        placed(6, "You have let down the decent citizens of Orvane City Marshal Bob"), "",
        placed(18, "The desperados have prevailed in Orvane City"), "",
        "     Enjoyed Quorrell?  A contribution to the Orvane City Software Company",
        "     keeps the town's lights on: write to quorrell@orvanecity.invalid",
        "",
        placed(34, "Happy trails Marshal Bob"),
        // A key at the closing screen changes nothing, and is not shown.
        placed(34, "Press escape to exit"),
    };
    ChildRun transcript = play({GAME, "--transcript", record}, "not read");
    EXPECT_EQ(transcript.status, 0);
    EXPECT_EQ(transcript.err, "");
    EXPECT_EQ(transcript.out, linesOf(expected));
    // A wrong key at the instructions' prompt, a question longer than the
    // field blanked before it is asked again, is no answer either.
    std::string instructions = play({GAME, "--transcript", recordOf(3, "yxrnnBob\n")}).out;
    EXPECT_NE(instructions.find("\nPress R to return to the game or ESCAPE to quit\n"
                                "Press R to return to the game or ESCAPE to quit r\n"),
              std::string::npos)
        << instructions;
    // A transcript that cannot be written is no success.
    ChildRun cut = playOntoAFullDisk({GAME, "--transcript", record});
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err, "quorrell: cannot write the transcript: No space left on device\n");
}

TEST(Plain, APlainGameShowsWhatItsTranscriptShows)
{
    // Plain text for a dumb terminal, or none named; a question answered
    // with a wrong key, the name given after two empty lines and with more
    // words than one, and a game left at the end of its input.
    std::string input = "xnn\n\n  Bob Smith\nlook\nquit\nnkick door\n";
    std::string record = scratchPath("plain");
    ChildRun dumb = play({"/usr/bin/env", "TERM=dumb", GAME, "--seed", "4", "--record", record}, input);
    EXPECT_EQ(dumb.status, 0);
    EXPECT_EQ(dumb.out.find('\x1b'), std::string::npos) << dumb.out;
    EXPECT_NE(dumb.out.find("\n" + placed(10, "What is your first name?  Bob\nHowdie")), std::string::npos) << dumb.out;
    EXPECT_NE(dumb.out.find("\nlook\nYou are in your office\n"), std::string::npos) << dumb.out;
    EXPECT_EQ(play({GAME, "--transcript", record}).out, dumb.out);
    EXPECT_EQ(play({"/usr/bin/env", "-u", "TERM", GAME, "--seed", "4"}, input).out, dumb.out);
}

}  // namespace
