// The real game on a POSIX terminal: ANSI sequences for the screen, termios
// for single keys, a sleeping monotonic clock for pauses. The terminal stays
// in its ordinary line mode except while one key is being read, and is put
// back as it was on every way out.
#include "input_reader.h"
#include "platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <termios.h>
#include <unistd.h>

static bool onTerminal = false;
static bool writingToTerminal = false;
static struct termios originalSettings;
static volatile sig_atomic_t inKeyMode = 0;

static void applyKeyMode()
{
    struct termios keySettings = originalSettings;
    keySettings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
    keySettings.c_cc[VMIN] = 1;
    keySettings.c_cc[VTIME] = 0;
    // TCSANOW, not TCSAFLUSH: keys typed ahead must survive the switch.
    tcsetattr(STDIN_FILENO, TCSANOW, &keySettings);
}

static void restoreTerminal()
{
    if (onTerminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &originalSettings);
}

// The last screen line is usually left unfinished ("Press escape to exit "),
// and the shell's prompt must not land in the middle of it.
static void endOnAFreshLine()
{
    std::cout << '\n';
    std::cout.flush();
}

static void dieOfSignal(int signalNumber)
{
    restoreTerminal();
    if (writingToTerminal) {
        ssize_t written = write(STDOUT_FILENO, "\n", 1);
        (void)written;
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

static void suspend(int signalNumber)
{
    restoreTerminal();
    std::signal(signalNumber, SIG_DFL);
    sigset_t pending;
    sigemptyset(&pending);
    sigaddset(&pending, signalNumber);
    sigprocmask(SIG_UNBLOCK, &pending, nullptr);
    std::raise(signalNumber);
    // Here again after SIGCONT.
    struct sigaction action = {};
    action.sa_handler = suspend;
    sigaction(signalNumber, &action, nullptr);
    if (inKeyMode)
        applyKeyMode();
}

static void resume(int)
{
    if (inKeyMode)
        applyKeyMode();
}

// A signal ignored by whoever started the game (nohup, a background job)
// stays ignored.
static void catchUnlessIgnored(int signalNumber, const struct sigaction& action)
{
    struct sigaction current = {};
    sigaction(signalNumber, nullptr, &current);
    if (current.sa_handler != SIG_IGN)
        sigaction(signalNumber, &action, nullptr);
}

static void installSignalHandlers()
{
    struct sigaction action = {};
    action.sa_handler = dieOfSignal;
    // SIGPIPE too: the question is flushed in key mode, and a reader of the
    // game's output that has gone away ends the game right there.
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        catchUnlessIgnored(signalNumber, action);
    action.sa_handler = suspend;
    sigaction(SIGTSTP, &action, nullptr);
    action.sa_handler = resume;
    sigaction(SIGCONT, &action, nullptr);
}

unsigned platformStart(int, char**)
{
    onTerminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &originalSettings) == 0;
    writingToTerminal = isatty(STDOUT_FILENO);
    if (onTerminal || writingToTerminal)
        installSignalHandlers();
    if (onTerminal)
        std::atexit(restoreTerminal);
    if (writingToTerminal)
        std::atexit(endOnAFreshLine);
    return static_cast<unsigned>(std::time(nullptr));
}

void platformGotoXY(int column, int row)
{
    std::cout << "\x1b[" << row << ';' << column << 'H';
}

void platformClearScreen()
{
    // Erases the visible screen only, so the player's scrollback survives.
    std::cout << "\x1b[H\x1b[2J";
}

static void enterKeyMode()
{
    if (!onTerminal)
        return;
    inKeyMode = 1;
    applyKeyMode();
}

static void leaveKeyMode()
{
    if (!onTerminal)
        return;
    inKeyMode = 0;
    restoreTerminal();
}

// Arrow and function keys arrive as an Escape followed at once by '[' or 'O'
// and the rest of the sequence; they are not the Escape key the game asks
// for, so the whole sequence is passed over.
static bool skipKeySequence()
{
    int introducer = readerPeekBuffered(0);
    if (introducer == 'O') {
        readerSkipBuffered(readerPeekBuffered(1) == -1 ? 1 : 2);
        return true;
    }
    if (introducer != '[')
        return false;
    int length = 1;
    for (;;) {
        int byte = readerPeekBuffered(length);
        if (byte == -1)
            break;
        ++length;
        if (byte >= 0x40 && byte <= 0x7E)
            break;
    }
    readerSkipBuffered(length);
    return true;
}

int platformReadKey()
{
    // Key mode comes before the question is shown, so a key pressed in
    // answer to it is never echoed onto the laid-out screen.
    enterKeyMode();
    std::cout.flush();
    int key = readerNextByte(readStandardInput);
    while (key == 27 && onTerminal && skipKeySequence())
        key = readerNextByte(readStandardInput);
    leaveKeyMode();
    return key;
}

bool platformReadLine(char* line, int capacity)
{
    std::cout.flush();
    return readerReadLine(readStandardInput, line, capacity);
}

bool platformReadWord(char* word, int capacity)
{
    std::cout.flush();
    return readerReadWord(readStandardInput, word, capacity);
}

void platformWait(unsigned milliseconds)
{
    std::cout.flush();
    struct timespec wakeUp;
    clock_gettime(CLOCK_MONOTONIC, &wakeUp);
    wakeUp.tv_sec += milliseconds / 1000;
    wakeUp.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (wakeUp.tv_nsec >= 1000000000L) {
        wakeUp.tv_sec += 1;
        wakeUp.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wakeUp, nullptr) == EINTR) {
    }
}
