// Watching a record at its own pace (--watch): each command typed out, the
// game's pauses kept, and the watcher's keys read between them. Space
// pauses, + and - change the speed, Right or . skips to the next command,
// Escape or q stops. The keys steer the watching and never reach the game,
// which reads only its record. The terminal's title tells how the watching
// goes, and is given back as it was.
#include "platform/terminal/terminal.h"

#include "platform/records/game_input.h"
#include "platform/sound/sound_files.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <string>
#include <unistd.h>

// The speeds, in halves: 1/2x, 1x, 2x, 4x, 8x.
static const int SPEED_IN_HALVES[] = {1, 2, 4, 8, 16};
static const char* const SPEED_NAMES[] = {"1/2x", "1x", "2x", "4x", "8x"};
static const int SPEEDS = 5;
static int speed = 1;
static bool paused = false;
// Skipping to the next command: no pauses, no typing and no sounds until
// the record answers the next prompt.
static bool skipping = false;
static bool keysFromTerminal = false;
static volatile sig_atomic_t titleTaken = 0;

static void writeToScreen(const std::string& bytes)
{
    echoToTerminal(bytes.data(), static_cast<int>(bytes.size()));
}

static void showTheState()
{
    if (titleTaken)
        writeToScreen(std::string("\x1b]2;Quorrell: ") + (paused ? "paused" : "watching") + " at " +
                      SPEED_NAMES[speed] + "\x07");
}

// The title the terminal had: pushed on its stack at the start, taken back
// on every way out (a signal's too, hence write alone).
void putBackTheTitle()
{
    if (!titleTaken)
        return;
    titleTaken = 0;
    ssize_t written = write(STDOUT_FILENO, "\x1b[23;2t", 7);
    (void)written;
}

static void skipToTheNextCommand()
{
    if (skipping)
        return;
    skipping = true;
    muteSounds(true);
}

static void stopWatching()
{
    std::exit(0);
}

// One byte the watcher typed, or -1 when none came in time. A terminal
// that has gone (closed, hung up) has no watcher left.
static int watcherByte(int timeoutMs)
{
    struct pollfd input = {STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, timeoutMs) <= 0)
        return -1;
    unsigned char byte = 0;
    ssize_t count = read(STDIN_FILENO, &byte, 1);
    if (count == 1)
        return byte;
    if (count == 0 || (errno != EINTR && errno != EAGAIN))
        stopWatching();
    return -1;
}

// Escape alone stops; a key sequence is read whole, and the right arrow
// skips.
static void takeEscape()
{
    int next = watcherByte(20);
    if (next == -1)
        stopWatching();
    if (next != '[' && next != 'O')
        return;
    int final = watcherByte(20);
    while (final != -1 && (final < 0x40 || final > 0x7E))
        final = watcherByte(20);
    if (final == 'C')
        skipToTheNextCommand();
}

static void takeKey(int key)
{
    if (key == ' ')
        paused = !paused;
    else if ((key == '+' || key == '=') && speed + 1 < SPEEDS)
        ++speed;
    else if ((key == '-' || key == '_') && speed > 0)
        --speed;
    else if (key == '.')
        skipToTheNextCommand();
    else if (key == 'q' || key == 'Q')
        stopWatching();
    else if (key == 27)
        takeEscape();
    showTheState();
}

// Waits up to timeoutMs (-1: for a key), taking the watcher's key if one
// comes.
static void waitForAKey(int timeoutMs)
{
    if (!keysFromTerminal) {
        poll(nullptr, 0, timeoutMs);
        return;
    }
    int key = watcherByte(timeoutMs);
    if (key != -1)
        takeKey(key);
}

static double nowMs()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A pause of the game at the watcher's speed. It is held while the
// watching is paused, and what is left of it goes on at the speed chosen
// meanwhile.
void watchWait(unsigned milliseconds)
{
    if (writingAsciicast()) {
        asciicastAdvance(milliseconds);
        return;
    }
    double left = milliseconds;
    while (!skipping && (left > 0 || paused)) {
        if (paused) {
            waitForAKey(-1);
            continue;
        }
        double halves = SPEED_IN_HALVES[speed];
        double start = nowMs();
        waitForAKey(static_cast<int>(std::ceil(left * 2 / halves)));
        left -= (nowMs() - start) * halves / 2;
    }
}

// The next command is where a skip ends, and where a step while paused
// stops.
static void atRead(bool command, int)
{
    if (command && skipping) {
        skipping = false;
        muteSounds(false);
    }
}

void startWatching()
{
    keysFromTerminal = onTerminal && !writingAsciicast();
    inputConnectWatcher({atRead, watchWait});
    if (!writingToTerminal || writingAsciicast())
        return;
    writeToScreen("\x1b[22;2t");
    titleTaken = 1;
    std::atexit(putBackTheTitle);
    showTheState();
}
