// The real game on a POSIX terminal: ANSI sequences for the screen, termios
// for the keyboard, a sleeping monotonic clock for pauses. For the whole game
// the terminal echoes nothing and has no line mode of its own: the line
// editor draws each key as the game reads it, so keys typed ahead never land
// on the screen out of turn. The terminal is put back as it was on every way
// out.
#include "platform/terminal/terminal.h"

#include "platform/input/game_input.h"
#include "platform/input/input_reader.h"
#include "platform/input/line_editor.h"
#include "platform/input/screen_codes.h"
#include "platform/platform.h"
#include "platform/sound/sound_files.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

static bool readingLine = false;

// The last screen line is usually left unfinished ("Press escape to exit "),
// and the shell's prompt must not land in the middle of it.
static void endOnAFreshLine()
{
    std::cout << '\n';
    std::cout.flush();
}

static void redrawAfterSuspension()
{
    resumed = 0;
    if (!readingLine)
        return;
    std::string prompt = "\r\x1b[K" + promptLine();
    echoToTerminal(prompt.data(), static_cast<int>(prompt.size()));
    editorRedraw();
}

static int readTerminal(char* buffer, int capacity)
{
    for (;;) {
        int count = readStandardInputOnce(buffer, capacity);
        if (count >= 0)
            return count;
        if (resumed)
            redrawAfterSuspension();
    }
}

static int nextTerminalByte()
{
    return readerNextByte(readTerminal);
}

// A key sequence sent at once can still arrive in two reads; a moment's
// wait for its rest costs a lone Escape nothing the player would notice.
static int peekTerminalByte(int offset)
{
    for (;;) {
        int byte = readerPeekBuffered(offset);
        if (byte != -1)
            return byte;
        struct pollfd input = {STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, 20) <= 0 || !readerTopUp(readTerminal))
            return -1;
    }
}

static int readKeyLive()
{
    // The question is shown after Ctrl-C has become a key, so that the
    // player's answer to it is never taken as the end of the game.
    enterKeyMode();
    std::cout.flush();
    int key = onTerminal ? editorReadKey() : readerNextByte(readStandardInput);
    leaveKeyMode();
    return key;
}

static bool readEditedLine(char* line, int capacity, bool command)
{
    std::cout.flush();
    resumed = 0;
    readingLine = true;
    bool read = command ? editorReadLine(line, capacity) : editorReadAnswer(line, capacity);
    readingLine = false;
    forgetPromptLine();
    return read;
}

static bool readLineLive(char* line, int capacity)
{
    if (onTerminal)
        return readEditedLine(line, capacity, true);
    std::cout.flush();
    return readerReadLine(readStandardInput, line, capacity);
}

static bool readAnswerLine(char* line, int capacity)
{
    return readEditedLine(line, capacity, false);
}

// The name is the first word of an edited line, and no command to recall
// at the prompt.
static bool readWordLive(char* word, int capacity)
{
    if (onTerminal)
        return editorReadFirstWord(word, capacity, readAnswerLine);
    std::cout.flush();
    return readerReadWord(readStandardInput, word, capacity);
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

// The screens are laid out for 80 by 24 and the title clears the screen at
// once, so a smaller terminal is told before anything is drawn.
static void checkTheTerminalSize()
{
    struct winsize size = {};
    if (!onTerminal || !writingToTerminal || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
        return;
    if (size.ws_col == 0 || size.ws_row == 0 || (size.ws_col >= 80 && size.ws_row >= 24))
        return;
    std::cout << "Quorrell needs 80x24, found " << size.ws_col << 'x' << size.ws_row
              << ": Escape quits, any key plays on ";
    // Asked of the player, whatever a record holds, and kept out of it.
    int key = readKeyLive();
    if (key == 27 || key == 3)
        std::exit(0);
    // The offer of a game put down, when there is one, goes on a line of
    // its own.
    std::cout << '\n';
}

unsigned platformStart(int argc, char** argv)
{
    inputStart(argc, argv, static_cast<unsigned>(std::time(nullptr)));
    holdTheTerminal();
    writingToTerminal = isatty(STDOUT_FILENO);
    if (onTerminal || writingToTerminal)
        installSignalHandlers();
    if (onTerminal) {
        applyGameMode();
        editorConnect(nextTerminalByte, peekTerminalByte, echoToTerminal);
    }
    inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, onTerminal ? editorRemember : nullptr},
                       writingToTerminal);
    if (writingToTerminal) {
        std::atexit(endOnAFreshLine);
        filterTheOutput();
    }
    checkTheTerminalSize();
    // A game from a pipe is a script's, and stays unsaved unless a record is
    // asked for.
    return inputBeginGame(onTerminal);
}

void platformCommandTurn(int turn)
{
    inputCommandTurn(turn);
}

void platformGotoXY(int column, int row)
{
    writeCursorPlacement(column, row);
}

void platformClearScreen()
{
    writeClearScreen();
}

void platformWait(unsigned milliseconds)
{
    std::cout.flush();
    if (inputFastForward())
        return;
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
