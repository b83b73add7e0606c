// How fast the game runs and what it costs the machine: commands and whole
// games per second through quorrell-script, the processor time a pause and a
// sound take while they wait, how soon quorrell shows its title, and the
// memory a whole game needs. Run with `cmake --build build --target bench`.
#include "platform/platform.h"
#include "random_player.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The long game: the Marshal arms himself, shoots two brothers, cures his
// hunger for good and waits in the barber's chair for Rodney, who comes at
// turn 155. The seed hides the brothers where the route finds them.
const unsigned LONG_GAME_SEED = 1796701097;

std::string longGame(char sound)
{
    std::string input = std::string("n") + sound + "Bob\n" +
                        "open drawer\ntake gun\ne\ne\nshoot Dexter\nshoot Dexter\ns\ns\nw\nshoot Clarence\n"
                        "n\nw\nw\nopen cupboard\ntake bag\ne\ne\ne\ne\ne\ntake bottle\neat bread\ndrink medicine\n";
    for (int turn = 24; turn < 155; ++turn)
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

std::FILE* fileHolding(const std::string& input)
{
    std::FILE* file = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), file);
    std::fflush(file);
    return file;
}

struct Finished {
    int status;
    long peakKibibytes;
};

// Runs a program to its end with the file as its input and its output
// thrown away.
Finished runToTheEnd(const char* program, const char* seed, std::FILE* input)
{
    std::rewind(input);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(input), STDIN_FILENO);
        int nowhere = open("/dev/null", O_WRONLY);
        dup2(nowhere, STDOUT_FILENO);
        if (seed)
            execl(program, program, "--seed", seed, static_cast<char*>(nullptr));
        else
            execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    wait4(pid, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
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
    std::FILE* file = fileHolding(input);
    std::string seed = std::to_string(LONG_GAME_SEED);
    for (auto _ : state) {
        if (runToTheEnd(QUORRELL_SCRIPT_PROGRAM, seed.c_str(), file).status != 0)
            state.SkipWithError("the game did not end with status 0");
    }
    std::fclose(file);
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
        std::FILE* file = fileHolding(game.input);
        std::string seed = std::to_string(game.seed);
        commands += linesOf(game.input);
        state.ResumeTiming();
        if (runToTheEnd(QUORRELL_SCRIPT_PROGRAM, seed.c_str(), file).status != 0)
            state.SkipWithError("a game did not end with status 0");
        state.PauseTiming();
        std::fclose(file);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["commands_per_game"] = static_cast<double>(commands) / static_cast<double>(state.iterations());
    state.SetLabel("items are whole games");
}
BENCHMARK(RandomGames)->Unit(benchmark::kMillisecond)->UseRealTime();

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

// From the start of quorrell to its title on standard output. The game is
// then ended, as a player would end it at the first question.
void StartUpToTheTitle(benchmark::State& state)
{
    for (auto _ : state) {
        int toGame[2];
        int fromGame[2];
        if (pipe(toGame) != 0 || pipe(fromGame) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        double started = wallSeconds();
        pid_t pid = fork();
        if (pid == 0) {
            dup2(toGame[0], STDIN_FILENO);
            dup2(fromGame[1], STDOUT_FILENO);
            close(toGame[1]);
            close(fromGame[0]);
            execl(QUORRELL_PROGRAM, QUORRELL_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toGame[0]);
        close(fromGame[1]);
        std::string seen;
        char buffer[4096];
        ssize_t count;
        while (seen.find("QUORRELL") == std::string::npos && (count = read(fromGame[0], buffer, sizeof buffer)) > 0)
            seen.append(buffer, static_cast<std::size_t>(count));
        state.SetIterationTime(wallSeconds() - started);
        if (write(toGame[1], "\x1b", 1) != 1)
            state.SkipWithError("the game took no key");
        close(toGame[1]);
        while (read(fromGame[0], buffer, sizeof buffer) > 0) {
        }
        close(fromGame[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (seen.find("QUORRELL") == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("no title, or no farewell");
    }
}
BENCHMARK(StartUpToTheTitle)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The most memory a whole game ever holds: the long game through the
// harness, and through the real game with its sounds, which waits out
// every pause and sound.
void PeakMemoryOfAWholeGame(benchmark::State& state)
{
    bool real = state.range(0) == 1;
    std::string input = longGame(real ? 'y' : 'n');
    std::FILE* file = fileHolding(input);
    std::string seed = std::to_string(LONG_GAME_SEED);
    long peak = 0;
    for (auto _ : state) {
        Finished game = real ? runToTheEnd(QUORRELL_PROGRAM, nullptr, file)
                             : runToTheEnd(QUORRELL_SCRIPT_PROGRAM, seed.c_str(), file);
        if (game.status != 0)
            state.SkipWithError("the game did not end with status 0");
        peak = std::max(peak, game.peakKibibytes);
    }
    std::fclose(file);
    state.counters["peak_KiB"] = static_cast<double>(peak);
    state.SetLabel(real ? "quorrell, sound on" : "quorrell-script");
}
BENCHMARK(PeakMemoryOfAWholeGame)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // The sounds are found in the build's data folder, and heard by nobody.
    if (chdir(QUORRELL_BUILD_DIR) != 0)
        return 1;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
