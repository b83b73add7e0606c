// Undo and redo as the terminal and the page take them: through the line
// editor and the routing of input, with Alt-U and Alt-R typed as Escape and
// a letter. The game runs in a child on a platform of this test's own, which
// writes the harness's markers. A step taken starts the game again in a new
// child, from what the one before handed over and the keys it had not read,
// as the terminal's exec does. Whatever steps are taken, the game that comes
// out must be the game of its own record, which the harness replays to the
// same transcript, and that record must keep the game played before up to
// the step it went back to.
#include "child_process.h"
#include "random_player.h"

#include "game/game.h"
#include "platform/input/line_editor.h"
#include "platform/platform.h"
#include "platform/records/game_input.h"
#include "platform/records/handover.h"
#include "platform/records/record.h"
#include "platform/records/record_file.h"
#include "world/random.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A child that started the game again ends with this.
const int STARTED_AGAIN = 77;

std::string keys;
std::size_t keyPlace = 0;
std::string folder;

int nextKey()
{
    return keyPlace < keys.size() ? static_cast<unsigned char>(keys[keyPlace++]) : -1;
}

int peekKey(int offset)
{
    std::size_t at = keyPlace + static_cast<std::size_t>(offset);
    return at < keys.size() ? static_cast<unsigned char>(keys[at]) : -1;
}

void noEcho(const char*, int)
{
}

void noSound(bool)
{
}

bool readName(char* word, int capacity)
{
    return editorReadFirstWord(word, capacity, editorReadAnswer);
}

void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// What the terminal's exec carries over: the game handed over, and the keys
// not read yet.
const char* startAgain(const std::string& handedOver)
{
    std::cout.flush();
    writeFile("handed-over", handedOver);
    writeFile("keys", keys.substr(keyPlace));
    std::_Exit(STARTED_AGAIN);
}

// Where each step of the last game begins, for the test to choose where to
// take steps.
void keepTheSteps()
{
    std::string offsets;
    for (const CommandRead& command : inputCommandsRead())
        offsets += std::to_string(command.offset) + "\n";
    writeFile("steps", offsets);
}

// One process of a game: a new one (with its record in the folder), or one
// started again from what the process before handed over.
void playOneProcess(unsigned seed, const std::string& handedOver)
{
    editorConnect(nextKey, peekKey, noEcho);
    editorConnectUndo(inputUndo, inputRedo);
    inputConnectPlayer({editorReadKey, editorReadLine, readName, noSound, editorRemember, startAgain}, false);
    std::atexit(keepTheSteps);
    if (handedOver.empty()) {
        std::string seedText = std::to_string(seed);
        std::string record = folder + "/game.rec";
        const char* arguments[] = {"quorrell", "--seed", seedText.c_str(), "--record", record.c_str(), nullptr};
        inputStart(5, const_cast<char**>(arguments), 0);
        seed = inputBeginGame(false);
    } else {
        long stored = 0;
        RecordStore store = recordFileHandedOver(handedOver, &stored);
        seed = inputTakeUpGame(handedOver, store, stored);
    }
    seedRandom(seed);
    titleScreen();
    placeDesperados();
    runGame();
}

struct Played {
    std::string transcript;  // what the last process showed
    std::string record;
    std::vector<std::size_t> steps;
    int processes;
};

Played play(unsigned seed, const std::string& typed)
{
    // In memory where the machine has it: every key is made to last on the
    // disk, which is slow there.
    char scratch[] = "/dev/shm/quorrell-undo-XXXXXX";
    char elsewhere[] = "/tmp/quorrell-undo-XXXXXX";
    const char* made = mkdtemp(scratch);
    folder = made ? made : mkdtemp(elsewhere);
    Played played = {};
    std::string handedOver;
    keys = typed;
    ChildRun run = {};
    do {
        keyPlace = 0;
        ChildOptions options;
        options.timeoutSeconds = 60;
        run = runChild([&] { playOneProcess(seed, handedOver); }, options);
        ++played.processes;
        handedOver = fileText(folder + "/handed-over");
        keys = fileText(folder + "/keys");
    } while (run.status == STARTED_AGAIN && played.processes < 1000);
    EXPECT_EQ(run.status, 0) << run.out.substr(run.out.size() > 300 ? run.out.size() - 300 : 0);
    played.transcript = run.out;
    played.record = fileText(folder + "/game.rec");
    std::istringstream offsets(fileText(folder + "/steps"));
    for (std::size_t offset; offsets >> offset;)
        played.steps.push_back(offset);
    ChildRun removed = runProgram({"rm", "-rf", folder});
    EXPECT_EQ(removed.status, 0);
    return played;
}

std::string harnessReplay(const std::string& record)
{
    char name[] = "/tmp/quorrell-undo-record-XXXXXX";
    int file = mkstemp(name);
    close(file);
    std::ofstream(name, std::ios::binary) << record;
    ChildOptions options;
    options.err = STREAM_NOWHERE;
    std::string transcript = runProgram({QUORRELL_SCRIPT_PROGRAM, "--replay", name}, options).out;
    unlink(name);
    return transcript;
}

bool atTheClosingScreen(const std::string& transcript)
{
    for (const char* end : {"Press escape to exit ", "Press escape to exit {play exit}"}) {
        std::string ending(end);
        if (transcript.size() >= ending.size() && transcript.compare(transcript.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}

// The choices of each game: the standard's minimal generator is the same
// on every machine.
unsigned below(std::minstd_rand& draws, std::size_t count)
{
    return static_cast<unsigned>(draws() % count);
}

const std::string UNDO = "\x1bu";
const std::string REDO = "\x1br";

} // namespace

// The platform: the harness's markers, whether the game plays or is played
// again at full speed, and the input through the routing.
unsigned platformStart(int, char**)
{
    return 0;
}

void platformGotoXY(int column, int row)
{
    std::cout << "{goto " << column << ',' << row << '}';
}

void platformClearScreen()
{
    std::cout << "{cls}";
}

int platformReadKey()
{
    return inputReadKey();
}

bool platformReadLine(char* line, int capacity)
{
    return inputReadLine(line, capacity);
}

bool platformReadWord(char* word, int capacity)
{
    return inputReadWord(word, capacity);
}

void platformCommandTurn(int turn)
{
    inputCommandTurn(turn);
}

void platformGameOver()
{
    inputGameOver();
}

void platformWait(unsigned milliseconds)
{
    std::cout << "{delay " << milliseconds << '}';
}

void platformPlaySound(const char* stem, int mode)
{
    std::cout << (mode == SOUND_LOOP ? "{loop " : "{play ") << stem << '}';
}

void platformStopSound()
{
    std::cout << "{stop}";
}

// The random player's bytes have Escape and letters in them, so some of its
// games take steps of their own; every game, as played, must be the game of
// its record.
// What the game before hands over carries any byte of a record and of the
// steps to redo, whatever looks like a field among them.
TEST(Undo, WhatIsHandedOverComesBackByteForByte)
{
    HandedOver handed = {};
    handed.said = "Undone: take gun";
    handed.file = "/saves/game 1.rec";
    handed.saved = true;
    const char typed[] = "nnBob\nsay \0 12 x\n\x1b\xff\nredo 3 4\n";
    handed.record = recordNewHeader(7) + std::string(typed, sizeof typed - 1);
    handed.redo = {{"take gun\n", 2}, {std::string("a\nb 9\n\0x", 8), -1}};
    std::string written = writeHandedOver(handed);
    HandedOver read = readHandedOver(written);
    EXPECT_EQ(read.said, handed.said);
    EXPECT_EQ(read.file, handed.file);
    EXPECT_TRUE(read.saved);
    EXPECT_EQ(read.record, handed.record);
    ASSERT_EQ(read.redo.size(), 2u);
    for (std::size_t step = 0; step < 2; ++step) {
        EXPECT_EQ(read.redo[step].bytes, handed.redo[step].bytes);
        EXPECT_EQ(read.redo[step].turn, handed.redo[step].turn);
    }
    // A record is no hand-over; one cut short loses the field it cuts.
    EXPECT_EQ(readHandedOver(handed.record).record, "");
    HandedOver cut = readHandedOver(written.substr(0, written.size() - 1));
    EXPECT_EQ(cut.record, handed.record);
    EXPECT_EQ(cut.redo.size(), 1u);
}

TEST(Undo, AGameWithStepsTakenIsTheGameOfItsRecord)
{
    const unsigned GAMES = 60;
    int withSteps = 0;
    int closingScreens = 0;
    for (unsigned index = 0; index < GAMES; ++index) {
        SCOPED_TRACE("game " + std::to_string(index));
        RandomGame game = randomGame(0x0BAC4ull, index);
        Played first = play(game.seed, game.input);
        ASSERT_EQ(first.transcript, harnessReplay(first.record));
        RecordHeader header = {};
        ASSERT_TRUE(recordReadHeader(first.record, &header));
        std::string input = first.record.substr(header.inputAt);
        bool ended = atTheClosingScreen(first.transcript);
        // The closing screen's Escape is in the record, and nothing else
        // typed there is.
        if (ended && !input.empty() && input.back() == '\x1b')
            input.pop_back();
        EXPECT_TRUE(header.ended || !ended);
        // A record that holds an Escape would be read again as keys of the
        // editor's own; such games keep only the check above.
        std::vector<std::size_t> boundaries;
        for (std::size_t offset : first.steps)
            if (offset < first.record.size())
                boundaries.push_back(offset - header.inputAt);
        if (input.find('\x1b') != std::string::npos || boundaries.size() < 2)
            continue;

        // Where the steps are taken: at a prompt, in the middle of a step
        // that reads keys after its line, or at the closing screen.
        std::minstd_rand draws(index + 1);
        std::size_t last = 1 + below(draws, boundaries.size());
        std::size_t at = last < boundaries.size() ? boundaries[last] : input.size();
        if (ended && below(draws, 3) == 0) {
            last = boundaries.size();
            at = input.size();
        }
        std::size_t lineEnd = input.find('\n', boundaries[last - 1]) + 1;
        if (last < boundaries.size() && lineEnd < at && below(draws, 2) == 0)
            at = lineEnd;
        // boundaries[0..last) and then where the steps are taken.
        boundaries.resize(last);
        boundaries.push_back(at);
        std::size_t undone = 1 + below(draws, last < 8 ? last : 8);
        std::size_t redone = below(draws, undone + 1);
        std::string typed = input.substr(0, at);
        for (std::size_t step = 0; step < undone; ++step)
            typed += UNDO;
        for (std::size_t step = 0; step < redone; ++step)
            typed += REDO;
        typed += input.substr(at);

        Played second = play(game.seed, typed);
        EXPECT_EQ(second.processes, static_cast<int>(1 + undone + redone));
        EXPECT_EQ(second.transcript, harnessReplay(second.record));
        std::size_t kept = boundaries[boundaries.size() - 1 - undone + redone];
        RecordHeader secondHeader = {};
        ASSERT_TRUE(recordReadHeader(second.record, &secondHeader));
        // The game before, up to the step it went back to, then what was
        // typed after the steps, up to the end of the game.
        std::string secondInput = second.record.substr(secondHeader.inputAt);
        std::string expected = input.substr(0, kept) + input.substr(at);
        EXPECT_GE(secondInput.size(), kept);
        EXPECT_EQ(secondInput, expected.substr(0, secondInput.size()));
        withSteps += 1;
        closingScreens += ended && at == input.size();
    }
    EXPECT_GE(withSteps, 30);
    EXPECT_GE(closingScreens, 5);
}

// Where each key of a step lands: the bell where there is nothing to take
// back or put back, the step in progress at a question, the death taken
// back at the closing screen and its record open again.
TEST(Undo, EachStepLandsWhereTheRowSays)
{
    struct Row {
        const char* name;
        unsigned seed;
        std::string typed;
        int processes;
        std::string record;  // after the header's state and turn
    } rows[] = {
        {"the start-up questions, the name and the first prompt have nothing to take back", 1,
         UNDO + "n" + REDO + UNDO + "n" + UNDO + "Bob\n" + UNDO + REDO + "look\n" + REDO + "i\n", 1,
         "open \nturn 2         \nnnBob\nlook\ni\n"},
        {"a new command ends the redo", 1, "nnBob\nlook\ne\n" + UNDO + UNDO + "i\n" + REDO + "s\n", 3,
         "open \nturn 2         \nnnBob\ni\ns\n"},
        {"at a question, the step in progress", 1, "nnBob\nlook\nquit\n" + UNDO + "i\n", 2,
         "open \nturn 2         \nnnBob\nlook\ni\n"},
        {"at the closing screen, the fatal command, and the game is open again", 31,
         "nnBob\nlook\ne\nn\nw\n" + UNDO, 2, "open \nturn 3         \nnnBob\nlook\ne\nn\n"},
        {"redone, the death ends the game again", 31, "nnBob\nlook\ne\nn\nw\n" + UNDO + REDO, 3,
         "ended\nturn 4         \nnnBob\nlook\ne\nn\nw\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Played played = play(row.seed, row.typed);
        EXPECT_EQ(played.processes, row.processes);
        EXPECT_EQ(played.transcript, harnessReplay(played.record));
        std::string header = "Quorrell record\nformat 2\nseed " + std::to_string(row.seed) + "\nstate ";
        EXPECT_EQ(played.record, header + row.record);
    }
}
