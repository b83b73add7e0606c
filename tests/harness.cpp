#include "harness.h"

#include "commands/commands.h"
#include "platform/platform.h"
#include "world/random.h"
#include "world/world.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// A game that has not ended after this long is taken to hang.
const unsigned HANG_SECONDS = 20;

static std::FILE* inputFile(const std::string& input)
{
    std::FILE* file = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), file);
    std::rewind(file);
    return file;
}

static Transcript runChild(const std::string& input, const std::function<void()>& child)
{
    std::FILE* file = inputFile(input);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        std::abort();
    std::cout.flush();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(file), STDIN_FILENO);
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        alarm(HANG_SECONDS);
        child();
        std::cout.flush();
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    ssize_t count;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(count));
    close(pipeEnds[0]);
    std::fclose(file);
    int status = 0;
    waitpid(pid, &status, 0);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
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
    std::string seedText = std::to_string(seed);
    return runChild(input, [&] {
        execl(QUORRELL_SCRIPT_PROGRAM, QUORRELL_SCRIPT_PROGRAM, "--seed", seedText.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    });
}

Transcript playScene(const std::string& input, const std::function<void()>& scene)
{
    return runChild(input, scene);
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
