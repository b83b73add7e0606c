// The terminal's settings for the game, and the signals that must put them
// back or change what is drawn: a kill, a hang-up, a suspension and its
// return, a resize.
#include "platform/terminal/terminal.h"

#include <cstdlib>
#include <termios.h>
#include <unistd.h>

bool onTerminal = false;
static struct termios originalSettings;
static volatile sig_atomic_t inKeyMode = 0;
volatile sig_atomic_t resumed = 0;
volatile sig_atomic_t resized = 0;

bool holdTheTerminal()
{
    onTerminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &originalSettings) == 0;
    if (onTerminal)
        std::atexit(restoreTerminal);
    return onTerminal;
}

// Echo off and no line mode, and no Ctrl-V or Ctrl-O of the terminal's own:
// every key reaches the editor. Enter comes through as the carriage return
// it is, so a pasted Windows line end is one line end, not two. Ctrl-C and
// Ctrl-Z keep their signals, except at a one-key question, where Ctrl-C is a
// key like any other.
void applyGameMode()
{
    struct termios settings = originalSettings;
    settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    if (inKeyMode)
        settings.c_lflag &= ~static_cast<tcflag_t>(ISIG);
    settings.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    // TCSANOW, not TCSAFLUSH: keys typed ahead must survive the switch.
    tcsetattr(STDIN_FILENO, TCSANOW, &settings);
}

// A game stopped with Ctrl-Z and then killed (kill %1 sends SIGTERM and
// SIGCONT) puts the terminal back from the background, where changing the
// settings would stop it again with SIGTTOU until fg: the signal is held off
// for the change, which the terminal then takes.
void restoreTerminal()
{
    if (!onTerminal)
        return;
    sigset_t terminalOutput;
    sigset_t before;
    sigemptyset(&terminalOutput);
    sigaddset(&terminalOutput, SIGTTOU);
    sigprocmask(SIG_BLOCK, &terminalOutput, &before);
    tcsetattr(STDIN_FILENO, TCSANOW, &originalSettings);
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

// The game's settings are for the terminal it has in the foreground; one
// continued in the background (bg) leaves the shell's settings alone, and
// stops at its next read as any background job does.
static bool inTheForeground()
{
    return tcgetpgrp(STDIN_FILENO) == getpgrp();
}

void enterKeyMode()
{
    if (!onTerminal)
        return;
    inKeyMode = 1;
    applyGameMode();
}

void leaveKeyMode()
{
    if (!onTerminal)
        return;
    inKeyMode = 0;
    applyGameMode();
}

static void dieOfSignal(int signalNumber)
{
    restoreTerminal();
    putBackTheTitle();
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
    if (onTerminal && inTheForeground())
        applyGameMode();
    resumed = 1;
}

static void resume(int)
{
    if (onTerminal && inTheForeground())
        applyGameMode();
    resumed = 1;
}

static void noteTheResize(int)
{
    resized = 1;
}

// A terminal that has gone (a closed window) ends the game as the hang-up it
// sends does, whichever of the two the game meets first; a game whose
// hang-ups are ignored (nohup) meets the end of its input instead.
void endAsAtAHangUp()
{
    struct sigaction current = {};
    sigaction(SIGHUP, nullptr, &current);
    if (current.sa_handler != SIG_IGN)
        std::raise(SIGHUP);
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

void installSignalHandlers()
{
    // No SA_RESTART: a read interrupted by the return from a suspension
    // comes back, so that the line being edited can be drawn again.
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
    // Resizes come in bursts while a window is dragged, and may land in the
    // middle of writing the screen: the write goes on, and the wait for a key
    // (a poll, which no signal restarts) comes back for the line's redraw.
    action.sa_handler = noteTheResize;
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, nullptr);
}
