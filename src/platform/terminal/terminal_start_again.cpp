// An undo or a redo plays the game's record again in a fresh process of
// this program, since the game itself only ends by leaving. The process
// takes this one's place (exec), so it keeps its terminal, its process and
// its job, and what this process hands over goes in a file of no name that
// it inherits, however long the game: the settings to give the terminal
// back on the way out, the keys typed ahead, and the routing's game. The
// terminal stays in the game's mode all the while, so nothing typed
// meanwhile is echoed or lost.
#include "platform/terminal/terminal.h"

#include "platform/input/input_reader.h"
#include "platform/records/game_input.h"
#include "platform/records/handover.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

// Names the inherited file's descriptor for the fresh process.
static const char* const HANDED_OVER = "QUORRELL_HANDED_OVER";
static const char MAGIC[] = "Quorrell terminal handed over\n";

// The field of that name at place, taken into bytes.
static bool takeField(const std::string& from, std::size_t& place, const char* name, std::string& bytes)
{
    std::string named;
    return takeHandedOverField(from, place, named, bytes) && named == name;
}

// A file of no name, left open across exec.
static int unnamedFile()
{
#ifdef __linux__
    int file = memfd_create("quorrell-handed-over", 0);
    if (file >= 0)
        return file;
#endif
    std::FILE* temporary = std::tmpfile();
    if (!temporary)
        return -1;
    int copy = dup(fileno(temporary));
    std::fclose(temporary);
    return copy;
}

static bool writeWhole(int file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(file, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

static std::string typedAheadNotRead()
{
    std::string keys;
    for (int offset = 0; offset < readerBufferedCount(); ++offset)
        keys += static_cast<char>(readerPeekBuffered(offset));
    return keys;
}

// The signals that end or stop the game wait, held across the exec, until
// the fresh process can put the terminal back when they come.
static sigset_t signalsThatWait()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGTSTP})
        sigaddset(&signals, signalNumber);
    return signals;
}

void letSignalsIn()
{
    sigset_t signals = signalsThatWait();
    sigprocmask(SIG_UNBLOCK, &signals, nullptr);
}

const char* startAgainInAFreshProcess(const std::string& game)
{
    static std::string reason;
    std::string handedOver = MAGIC;
    addHandedOverField(handedOver, "terminal", terminalSettingsBefore());
    addHandedOverField(handedOver, "keys", typedAheadNotRead());
    addHandedOverField(handedOver, "game", game);
    int file = unnamedFile();
    if (file < 0 || !writeWhole(file, handedOver)) {
        reason = std::strerror(errno);
        if (file >= 0)
            close(file);
        return reason.c_str();
    }
    std::cout.flush();
    std::fflush(stdout);
    setenv(HANDED_OVER, std::to_string(file).c_str(), 1);
    // The options that shape the screen are the game's own again; the rest
    // (the seed, the record) is in what is handed over.
    std::vector<char*> arguments = {const_cast<char*>("quorrell")};
    if (inputOptions().plain)
        arguments.push_back(const_cast<char*>("--plain"));
    arguments.push_back(nullptr);
    sigset_t signals = signalsThatWait();
    sigset_t before;
    sigprocmask(SIG_BLOCK, &signals, &before);
    execv("/proc/self/exe", arguments.data());
    reason = std::strerror(errno);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    unsetenv(HANDED_OVER);
    close(file);
    return reason.c_str();
}

// Only a plain file that begins as this program writes it is taken over.
static bool readHandedOver(int file, std::string& bytes)
{
    struct stat status = {};
    if (file <= 2 || fstat(file, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    char buffer[65536];
    for (off_t place = 0;;) {
        ssize_t count = pread(file, buffer, sizeof buffer, place);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
        place += count;
    }
    return bytes.compare(0, sizeof MAGIC - 1, MAGIC) == 0;
}

bool takeOverFromTheGameBefore(TakenOver* takenOver)
{
    const char* named = std::getenv(HANDED_OVER);
    if (!named)
        return false;
    int file = std::atoi(named);
    unsetenv(HANDED_OVER);
    std::string bytes;
    if (!readHandedOver(file, bytes))
        return false;
    close(file);
    std::size_t place = sizeof MAGIC - 1;
    return takeField(bytes, place, "terminal", takenOver->settingsBefore) &&
           takeField(bytes, place, "keys", takenOver->typedAhead) && takeField(bytes, place, "game", takenOver->game);
}
