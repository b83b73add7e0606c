// How fast the game runs and what it costs the machine: commands and whole
// games per second through quorrell-script, the processor time a pause and a
// sound take while they wait, how soon quorrell shows its title next to a
// hello-world, how soon the first sound starts, the memory a whole game
// needs, how long the player waits from Enter to the reply with the game
// saved as it is played and without, how soon the game starts with many or
// big saved games in its folder, and what a big record's transcript costs.
// Run with `cmake --build build --target bench`; add
// --compare-with=FOLDER to measure another build's programs in the same run.
#include "child_process.h"
#include "platform/platform.h"
#include "random_player.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>
#include <unistd.h>

namespace {

// The long game: the Marshal arms himself, shoots two brothers, cures his
// hunger for good and waits in the barber's chair for Rodney, who comes at
// turn 155. The seed hides the brothers where the route finds them. With the
// sound on, the sound after Dexter's death is drawn at random, which moves
// every later roll: Clarence is only clipped by the first shot and needs a
// second.
const unsigned LONG_GAME_SEED = 1796701097;

std::string longGame(char sound)
{
    std::string clarence = sound == 'y' ? "shoot Clarence\nshoot Clarence\n" : "shoot Clarence\n";
    std::string input = std::string("n") + sound + "Bob\n" +
                        "open drawer\ntake gun\ne\ne\nshoot Dexter\nshoot Dexter\ns\ns\nw\n" + clarence +
                        "n\nw\nw\nopen cupboard\ntake bag\ne\ne\ne\ne\ne\ntake bottle\neat bread\ndrink medicine\n";
    for (int turn = sound == 'y' ? 25 : 24; turn < 155; ++turn)
        input += "i\n";
    return input + "shoot Rodney\n\x1b";
}

int linesOf(const std::string& input)
{
    int lines = 0;
    for (char c : input)
        lines += c == '\n';
    return lines;
}

// A scratch file holding the input, for the games to read it from; removed
// by the caller.
std::string fileHolding(const std::string& input)
{
    char name[] = "/tmp/quorrell-bench-XXXXXX";
    int file = mkstemp(name);
    if (file == -1 || write(file, input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        std::abort();
    close(file);
    return name;
}

// Runs a program to its end on the seed with the file as its input and its
// output thrown away, or kept.
ChildRun runToTheEnd(const char* program, const std::string& seed, const std::string& inputFile, bool keepScreen = false)
{
    ChildOptions options;
    options.in = STREAM_FILE;
    options.inputFile = inputFile;
    options.out = keepScreen ? STREAM_TEXT : STREAM_NOWHERE;
    return runProgram({program, "--seed", seed}, options);
}

double processSeconds()
{
    struct timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void ScriptedLongGame(benchmark::State& state)
{
    std::string input = longGame('n');
    std::string file = fileHolding(input);
    std::string seed = std::to_string(LONG_GAME_SEED);
    for (auto _ : state) {
        if (runToTheEnd(QUORRELL_SCRIPT_PROGRAM, seed, file).status != 0)
            state.SkipWithError("the game did not end with status 0");
    }
    std::remove(file.c_str());
    state.SetItemsProcessed(state.iterations() * linesOf(input));
    state.SetLabel(std::to_string(linesOf(input)) + " commands a game; items are commands");
}
BENCHMARK(ScriptedLongGame)->Unit(benchmark::kMillisecond)->UseRealTime();

void RandomGames(benchmark::State& state)
{
    unsigned index = 0;
    long commands = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RandomGame game = randomGame(0xBE7C4ull, index++);
        std::string file = fileHolding(game.input);
        std::string seed = std::to_string(game.seed);
        commands += linesOf(game.input);
        state.ResumeTiming();
        if (runToTheEnd(QUORRELL_SCRIPT_PROGRAM, seed, file).status != 0)
            state.SkipWithError("a game did not end with status 0");
        state.PauseTiming();
        std::remove(file.c_str());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["commands_per_game"] = static_cast<double>(commands) / static_cast<double>(state.iterations());
    state.SetLabel("items are whole games");
}
BENCHMARK(RandomGames)->Unit(benchmark::kMillisecond)->UseRealTime();

// quorrell --games over a folder of 2,000 saved games of 200 turns, one of
// them 50 MB long: only each header is read, so the long one costs nothing.
void ListingSavedGames(benchmark::State& state)
{
    char scratch[] = "/tmp/quorrell-bench-games-XXXXXX";
    std::filesystem::path saves = std::filesystem::path(mkdtemp(scratch)) / "quorrell";
    std::filesystem::create_directory(saves);
    std::string game = "Quorrell record\nformat 2\nseed 7\nstate open \nturn 200       \nnnBob\n";
    for (int turn = 0; turn < 200; ++turn)
        game += "look\n";
    for (int number = 0; number < 2000; ++number)
        std::ofstream(saves / ("game-" + std::to_string(number) + ".rec")) << game;
    std::ofstream longGame(saves / "game-long.rec");
    longGame << game;
    std::string turns(1 << 20, 'i');
    for (std::size_t place = 1; place < turns.size(); place += 2)
        turns[place] = '\n';
    for (int megabyte = 0; megabyte < 50; ++megabyte)
        longGame << turns;
    longGame.close();
    ChildOptions options;
    options.out = STREAM_NOWHERE;
    options.environment = {{"XDG_STATE_HOME", saves.parent_path().string()}};
    for (auto _ : state) {
        if (runProgram({QUORRELL_PROGRAM, "--games"}, options).status != 0)
            state.SkipWithError("quorrell --games did not end with status 0");
    }
    std::filesystem::remove_all(saves.parent_path());
    state.SetLabel("2,001 games, one of 50 MB");
}
BENCHMARK(ListingSavedGames)->Unit(benchmark::kMillisecond)->UseRealTime();

// A wait's own processor time, from every thread of the process (the
// mixer's included), as a share of the time it lasted.
template <typename Wait>
void measureWaiting(benchmark::State& state, Wait wait)
{
    double busy = 0.0;
    double lasted = 0.0;
    for (auto _ : state) {
        double cpuBefore = processSeconds();
        double wallBefore = wallSeconds();
        wait();
        double wallTaken = wallSeconds() - wallBefore;
        busy += processSeconds() - cpuBefore;
        lasted += wallTaken;
        state.SetIterationTime(wallTaken);
    }
    state.counters["cpu_share_percent"] = 100.0 * busy / lasted;
}

void DelayWhileWaiting(benchmark::State& state)
{
    unsigned milliseconds = static_cast<unsigned>(state.range(0));
    measureWaiting(state, [milliseconds] { platformWait(milliseconds); });
}
BENCHMARK(DelayWhileWaiting)->Arg(200)->Arg(1000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// A gunshot played to its end through SDL's disk driver, which takes sound
// in real time as a sound card does and writes it to nowhere.
void SyncSoundWhileWaiting(benchmark::State& state)
{
    platformPlaySound("gush", SOUND_SYNC);  // opens audio and decodes the file, once
    measureWaiting(state, [] { platformPlaySound("gush", SOUND_SYNC); });
}
BENCHMARK(SyncSoundWhileWaiting)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// From the start of a program to its title on standard output, in seconds;
// the program is then ended, as a player would end the game at its first
// question. Negative when there was no title or no clean end.
double secondsToTheTitle(const char* program)
{
    ChildOptions piped;
    piped.in = STREAM_PIPE;
    piped.out = STREAM_PIPE;
    double started = wallSeconds();
    Child game = startProgram({program}, piped);
    std::string seen;
    char buffer[4096];
    ssize_t count;
    while (seen.find("QUORRELL") == std::string::npos && (count = read(game.output, buffer, sizeof buffer)) > 0)
        seen.append(buffer, static_cast<std::size_t>(count));
    double taken = wallSeconds() - started;
    bool keyTaken = write(game.input, "\x1b", 1) == 1;
    close(game.input);
    game.input = -1;
    while (read(game.output, buffer, sizeof buffer) > 0) {
    }
    bool ended = keyTaken && seen.find("QUORRELL") != std::string::npos && finishChild(game).status == 0;
    return ended ? taken : -1.0;
}

// A program's start-up, each run paired with one of hello-world so that both
// meet the machine in the same state; times_hello_world is the ratio of the
// two sums. The target for quorrell with the sound off is 1.2 at most.
void StartUpToTheTitle(benchmark::State& state, const char* program)
{
    double own = 0.0;
    double hello = 0.0;
    bool helloFirst = true;
    for (auto _ : state) {
        // Taking turns at going first, so that neither always finds the
        // other's pages in the cache.
        double floor = helloFirst ? secondsToTheTitle(QUORRELL_HELLO_PROGRAM) : 0.0;
        double taken = secondsToTheTitle(program);
        if (!helloFirst)
            floor = secondsToTheTitle(QUORRELL_HELLO_PROGRAM);
        helloFirst = !helloFirst;
        if (floor < 0.0 || taken < 0.0) {
            state.SkipWithError("no title, or no farewell");
            break;
        }
        state.SetIterationTime(taken);
        own += taken;
        hello += floor;
    }
    state.counters["hello_world_ms"] = 1000.0 * hello / static_cast<double>(state.iterations());
    state.counters["times_hello_world"] = hello > 0.0 ? own / hello : 0.0;
}

// The first sound the player hears after answering "Y": loading the audio
// module, opening audio under SDL's dummy driver, decoding a gunshot and
// starting it, in a process of its own that has never played a sound. The
// target is 30 ms.
void FirstSound(benchmark::State& state)
{
    ChildOptions dummyAudio;
    dummyAudio.in = STREAM_SHARED;
    dummyAudio.environment = {{"SDL_AUDIODRIVER", "dummy"}};
    for (auto _ : state) {
        ChildRun child = runProgram({"/proc/self/exe", "--first-sound"}, dummyAudio);
        double seconds = std::atof(child.out.c_str());
        if (child.status != 0 || seconds <= 0.0) {
            state.SkipWithError("the first sound was not started");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(FirstSound)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The child's side of FirstSound: the time to start the first sound, in
// seconds on standard output.
int startTheFirstSound()
{
    double started = wallSeconds();
    platformPlaySound("gush", SOUND_LOOP);
    double taken = wallSeconds() - started;
    platformStopSound();
    std::printf("%.6f\n", taken);
    return 0;
}

// The most memory a whole game ever holds: the long game, seeded so that it
// is the game the route was written for, through the harness and through the
// real game with the sound off and on; the real game waits out every pause
// and sound. The target for quorrell with the sound off is 4 MiB.
void PeakMemoryOfAWholeGame(benchmark::State& state, const char* program, char sound)
{
    std::string input = longGame(sound);
    std::string file = fileHolding(input);
    std::string seed = std::to_string(LONG_GAME_SEED);
    long peak = 0;
    for (auto _ : state) {
        ChildRun game = runToTheEnd(program, seed, file, true);
        const std::string& shown = game.out;
        if (game.status != 0)
            state.SkipWithError("the game did not end with status 0");
        // Only the seeded game ends in victory on this route.
        else if (shown.find("Law and order have prevailed in Orvane City!") == std::string::npos)
            state.SkipWithError("not the seeded game: the route did not win it (does the program take --seed?)");
        peak = std::max(peak, game.peakKibibytes);
    }
    std::remove(file.c_str());
    state.counters["peak_KiB"] = static_cast<double>(peak);
}

// The real game on a terminal of its own (a pseudo-terminal of 80 by 25),
// saving its games in a scratch folder of the build's, on the build's disk.
struct TerminalGame {
    pid_t pid;
    int terminal;
    std::string folder;
};

// Reads the game's screen until text shows; false when the game is gone.
bool readUntil(int terminal, const char* text)
{
    std::string seen;
    char buffer[4096];
    while (seen.find(text) == std::string::npos) {
        ssize_t count = read(terminal, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        seen.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
}

bool typeKeys(int terminal, const char* keys)
{
    std::size_t length = std::strlen(keys);
    return write(terminal, keys, length) == static_cast<ssize_t>(length);
}

const char* const OFFICE = "Obvious directions are east or west";

// Started and brought to the first command, in the office, where nothing
// ever happens to the Marshal.
bool startInTheOffice(TerminalGame& game, const char* program, bool saving)
{
    char folder[] = QUORRELL_BUILD_DIR "/bench-saves-XXXXXX";
    if (!mkdtemp(folder))
        return false;
    game.folder = folder;
    struct winsize size = {25, 80, 0, 0};
    game.pid = forkpty(&game.terminal, nullptr, nullptr, &size);
    if (game.pid == 0) {
        setenv("XDG_STATE_HOME", folder, 1);
        if (saving)
            execl(program, program, "--seed", "1", static_cast<char*>(nullptr));
        else
            execl(program, program, "--seed", "1", "--no-save", static_cast<char*>(nullptr));
        _exit(127);
    }
    return game.pid > 0 && readUntil(game.terminal, "Instructions?") && typeKeys(game.terminal, "n") &&
           readUntil(game.terminal, "Sound effects?") && typeKeys(game.terminal, "n") &&
           readUntil(game.terminal, "first name?") && typeKeys(game.terminal, "Bob\r") &&
           readUntil(game.terminal, OFFICE);
}

void endTheGame(TerminalGame& game)
{
    if (game.pid > 0) {
        kill(game.pid, SIGTERM);
        waitpid(game.pid, nullptr, 0);
    }
    close(game.terminal);
    std::string remove = "rm -rf '" + game.folder + "'";
    if (std::system(remove.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", game.folder.c_str());
}

// From the Enter of a command to the end of its reply on the screen: "look"
// in the office, which describes it again. With saving on, the line is
// written and made to last on the disk (fdatasync) before the game acts on
// it. A hundred looks keep the game clear of hunger.
void EnterToReply(benchmark::State& state, const char* program, bool saving)
{
    TerminalGame game = {};
    if (!startInTheOffice(game, program, saving)) {
        state.SkipWithError("the game did not reach the office");
        endTheGame(game);
        return;
    }
    for (auto _ : state) {
        double started = wallSeconds();
        if (!typeKeys(game.terminal, "look\r") || !readUntil(game.terminal, OFFICE)) {
            state.SkipWithError("no reply");
            break;
        }
        state.SetIterationTime(wallSeconds() - started);
    }
    endTheGame(game);
}

// A record of a game that ended in a surrender, its closing screen then held
// for some fifty million keys before Escape: 50 MB, nearly all of it keys
// that change nothing.
std::string bigRecord()
{
    std::string record = "Quorrell record\nformat 2\nseed 1\nstate ended\nturn 1         \nnnBob\nquit\ny";
    record.append(50u * 1000 * 1000, 'x');
    return record + "\x1b";
}

// A folder of saved games of the build's, holding the records given.
std::string savedGamesHolding(const std::vector<std::string>& records)
{
    char folder[] = QUORRELL_BUILD_DIR "/bench-state-XXXXXX";
    if (!mkdtemp(folder))
        std::abort();
    std::string games = std::string(folder) + "/quorrell";
    mkdir(games.c_str(), 0700);
    mkdir((games + "/ended").c_str(), 0700);
    for (std::size_t number = 0; number < records.size(); ++number) {
        // Kept as the game keeps them: an ended game with the ended ones.
        bool ended = records[number].find("\nstate ended\n") != std::string::npos;
        std::string path = games + (ended ? "/ended/" : "/") + "game-2026-01-01_00-00-00-" + std::to_string(number + 2) + ".rec";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(records[number].data(), 1, records[number].size(), file) != records[number].size())
            std::abort();
        std::fclose(file);
    }
    return folder;
}

void removeFolder(const std::string& folder)
{
    std::string remove = "rm -rf '" + folder + "'";
    if (std::system(remove.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", folder.c_str());
}

// Two thousand short games played to their end.
std::vector<std::string> endedGames()
{
    return std::vector<std::string>(
        2000, "Quorrell record\nformat 2\nseed 7\nstate ended\nturn 3         \nnnBob\nlook\ne\nquit\ny\x1b");
}

std::vector<std::string> bigGame()
{
    return {bigRecord()};
}

// From the start of the game on a terminal of its own, saving its games in
// the folder, to its first screen: the title, or the offer of a game put
// down; the game is then ended before it reads a key, so that it saves
// nothing. Negative when it showed neither.
double secondsToTheFirstScreen(const char* program, const std::string& state)
{
    double started = wallSeconds();
    int terminal = -1;
    struct winsize size = {25, 80, 0, 0};
    pid_t game = forkpty(&terminal, nullptr, nullptr, &size);
    if (game == 0) {
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        setenv("TERM", "xterm", 1);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string seen;
    char buffer[4096];
    ssize_t count = 0;
    auto shown = [&] {
        return seen.find("QUORRELL") != std::string::npos || seen.find("Pick it up?") != std::string::npos;
    };
    while (!shown() && (count = read(terminal, buffer, sizeof buffer)) > 0)
        seen.append(buffer, static_cast<std::size_t>(count));
    double taken = wallSeconds() - started;
    kill(game, SIGTERM);
    waitpid(game, nullptr, 0);
    close(terminal);
    return shown() ? taken : -1.0;
}

// The start of the game with saved games in its folder, each run paired with
// one from an empty folder, taking turns at going first; times_empty_folder
// is the ratio of the two sums. The target is 1.2 at most.
void StartUpWithSavedGames(benchmark::State& state, const char* program, std::vector<std::string> (*records)())
{
    std::string empty = savedGamesHolding({});
    std::string full = savedGamesHolding(records());
    double own = 0.0;
    double floor = 0.0;
    bool emptyFirst = true;
    for (auto _ : state) {
        double emptyTaken = emptyFirst ? secondsToTheFirstScreen(program, empty) : 0.0;
        double taken = secondsToTheFirstScreen(program, full);
        if (!emptyFirst)
            emptyTaken = secondsToTheFirstScreen(program, empty);
        emptyFirst = !emptyFirst;
        if (taken < 0.0 || emptyTaken < 0.0) {
            state.SkipWithError("no first screen");
            break;
        }
        state.SetIterationTime(taken);
        own += taken;
        floor += emptyTaken;
    }
    state.counters["empty_folder_ms"] = 1000.0 * floor / static_cast<double>(state.iterations());
    state.counters["times_empty_folder"] = floor > 0.0 ? own / floor : 0.0;
    removeFolder(empty);
    removeFolder(full);
}
// The transcript of the 50 MB record, written to nowhere: its time and the
// most memory it held. The targets are 10 s and 100 MB.
void TranscriptOfABigRecord(benchmark::State& state, const char* program)
{
    std::string file = fileHolding(bigRecord());
    ChildOptions options;
    options.in = STREAM_NOWHERE;
    options.out = STREAM_NOWHERE;
    long peak = 0;
    for (auto _ : state) {
        double started = wallSeconds();
        ChildRun transcript = runProgram({program, "--transcript", file}, options);
        state.SetIterationTime(wallSeconds() - started);
        if (transcript.status != 0)
            state.SkipWithError("the transcript did not end with status 0");
        peak = std::max(peak, transcript.peakKibibytes);
    }
    std::remove(file.c_str());
    state.counters["peak_MB"] = static_cast<double>(peak) * 1024.0 / 1e6;
}

// A game of a thousand turns and more: the long game's seed, where Dexter
// clipped and facing the Marshal holds the clock still, so nothing kills him
// while he answers "shoot" with no one named, a turn each time.
const int LONG_RECORD_SHOTS = 1000;
const char* const NOBODY_NAMED = "You must use two words";

std::string recordOfAThousandTurns()
{
    std::string input = "nnBob\nopen drawer\ntake gun\ne\ne\nshoot Dexter\n";
    for (int shot = 0; shot < LONG_RECORD_SHOTS; ++shot)
        input += "shoot\n";
    std::string turn = std::to_string(5 + LONG_RECORD_SHOTS);
    turn.resize(10, ' ');
    return "Quorrell record\nformat 2\nseed " + std::to_string(LONG_GAME_SEED) + "\nstate open \nturn " + turn +
           "\n" + input;
}

// Reads the screen until a cleared scrollback, then until text has shown
// count times after it: the game played again to where the step leaves it.
bool readUntilPlayedAgain(int terminal, const char* text, int count)
{
    std::string seen;
    char buffer[65536];
    std::size_t length = std::strlen(text);
    std::size_t next = std::string::npos;
    int found = 0;
    while (found < count) {
        ssize_t read = ::read(terminal, buffer, sizeof buffer);
        if (read <= 0)
            return false;
        seen.append(buffer, static_cast<std::size_t>(read));
        if (next == std::string::npos && (next = seen.find("\x1b[3J")) == std::string::npos)
            continue;
        for (std::size_t at; (at = seen.find(text, next)) != std::string::npos; next = at + length)
            ++found;
        next = std::max(next, seen.size() >= length ? seen.size() - length + 1 : 0);
    }
    return true;
}

// An undo and a redo at turn 1,005 of a game saved as it is played, each
// from the keys to the screen drawn again: the game started again, its
// record cut or added to and made to last, and the whole game played again
// at full speed onto the terminal. The target is 50 ms.
void UndoAtTurnAThousand(benchmark::State& state)
{
    TerminalGame game = {};
    char folder[] = QUORRELL_BUILD_DIR "/bench-saves-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no scratch folder");
        return;
    }
    game.folder = folder;
    std::string record = game.folder + "/long.rec";
    std::FILE* file = std::fopen(record.c_str(), "wb");
    std::string bytes = recordOfAThousandTurns();
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        std::fclose(file);
    struct winsize size = {25, 80, 0, 0};
    game.pid = written ? forkpty(&game.terminal, nullptr, nullptr, &size) : -1;
    if (game.pid == 0) {
        execl(QUORRELL_PROGRAM, QUORRELL_PROGRAM, "--resume", record.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (game.pid < 0 || !readUntil(game.terminal, "He missed you")) {
        state.SkipWithError("the long game did not start");
        endTheGame(game);
        return;
    }
    bool undo = state.range(0) == 1;
    for (auto _ : state) {
        // The other step first, unmeasured, so that each measured one finds
        // the game where it takes the step from.
        if (!undo && (!typeKeys(game.terminal, "\x1bu") ||
                      !readUntilPlayedAgain(game.terminal, NOBODY_NAMED, LONG_RECORD_SHOTS - 1))) {
            state.SkipWithError("no undo");
            break;
        }
        double started = wallSeconds();
        bool taken = undo ? typeKeys(game.terminal, "\x1bu") &&
                                readUntilPlayedAgain(game.terminal, NOBODY_NAMED, LONG_RECORD_SHOTS - 1)
                          : typeKeys(game.terminal, "\x1br") &&
                                readUntilPlayedAgain(game.terminal, NOBODY_NAMED, LONG_RECORD_SHOTS);
        state.SetIterationTime(wallSeconds() - started);
        if (!taken) {
            state.SkipWithError("the step was not taken");
            break;
        }
        if (undo && (!typeKeys(game.terminal, "\x1br") ||
                     !readUntilPlayedAgain(game.terminal, NOBODY_NAMED, LONG_RECORD_SHOTS))) {
            state.SkipWithError("no redo");
            break;
        }
    }
    endTheGame(game);
}
BENCHMARK(UndoAtTurnAThousand)->ArgName("undo")->Arg(1)->Arg(0)->Iterations(20)->UseManualTime()->Unit(
    benchmark::kMillisecond);

// Every measurement of a program, registered for this build's programs and,
// with --compare-with=FOLDER, for another build's beside them in the same
// run.
void registerProgramBenchmarks(const std::string& name, const std::string& folder)
{
    // Kept for the benchmarks to name; a deque never moves what it holds.
    static std::deque<std::string> programs;
    programs.push_back(folder + "/quorrell");
    const char* game = programs.back().c_str();
    programs.push_back(folder + "/quorrell-script");
    const char* script = programs.back().c_str();
    benchmark::RegisterBenchmark(("StartUpToTheTitle/" + name).c_str(), StartUpToTheTitle, game)
        ->Iterations(20)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    struct {
        const char* label;
        const char* program;
        char sound;
    } games[] = {{"quorrell-script", script, 'n'}, {"quorrell_sound_off", game, 'n'}, {"quorrell_sound_on", game, 'y'}};
    for (const auto& run : games) {
        std::string title = "PeakMemoryOfAWholeGame/" + name + "/" + run.label;
        benchmark::RegisterBenchmark(title.c_str(), PeakMemoryOfAWholeGame, run.program, run.sound)
            ->Iterations(1)
            ->Unit(benchmark::kSecond)
            ->UseRealTime();
    }
    for (bool saving : {true, false}) {
        std::string title = "EnterToReply/" + name + (saving ? "/saving_on" : "/saving_off");
        benchmark::RegisterBenchmark(title.c_str(), EnterToReply, game, saving)
            ->Iterations(100)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(("StartUpWithSavedGames/" + name + "/2000_ended_games").c_str(),
                                 StartUpWithSavedGames, game, endedGames)
        ->Iterations(40)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("StartUpWithSavedGames/" + name + "/a_50_MB_game").c_str(), StartUpWithSavedGames,
                                 game, bigGame)
        ->Iterations(40)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("TranscriptOfABigRecord/" + name).c_str(), TranscriptOfABigRecord, game)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--first-sound") == 0)
        return startTheFirstSound();
    // The sounds are found in the build's data folder, and heard by nobody.
    if (chdir(QUORRELL_BUILD_DIR) != 0)
        return 1;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    benchmark::RegisterBenchmark("StartUpToTheTitle/hello_world", StartUpToTheTitle, QUORRELL_HELLO_PROGRAM)
        ->Iterations(20)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    int kept = 1;
    std::string compareWith;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--compare-with=", 15) == 0)
            compareWith = argv[i] + 15;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    registerProgramBenchmarks("this_build", QUORRELL_BUILD_DIR);
    if (!compareWith.empty())
        registerProgramBenchmarks("compared", compareWith);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
