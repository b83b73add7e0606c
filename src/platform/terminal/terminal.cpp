// The real game on a POSIX terminal: ANSI sequences for the screen, termios
// for the keyboard, a sleeping monotonic clock for pauses. For the whole game
// the terminal echoes nothing and has no line mode of its own: the line
// editor draws each key as the game reads it, so keys typed ahead never land
// on the screen out of turn. The terminal is put back as it was on every way
// out. In plain text (--plain, a dumb terminal, a transcript) the game's
// output goes through the plain text instead, and the line is typed and
// erased at its end only.
#include "platform/terminal/terminal.h"

#include "platform/input/input_reader.h"
#include "platform/input/line_editor.h"
#include "platform/platform.h"
#include "platform/records/game_input.h"
#include "platform/records/record_link.h"
#include "platform/sound/sound_files.h"
#include "platform/text/plain_text.h"
#include "platform/text/screen_codes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

static bool readingLine = false;
static bool plainText = false;
// In plain text, the live echo of the line being typed: the blanks between
// the question and the cursor go before the first key shown, and echoShown
// is what the screen shows of it once the line is read.
static bool echoing = false;
static bool blanksShown = false;
static std::string echoShown;

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
    std::string prompt = plainText ? "\r" + plainRowBeforeCursor() : "\r\x1b[K" + promptLine();
    blanksShown = true;
    echoToTerminal(prompt.data(), static_cast<int>(prompt.size()));
    editorRedraw();
}

// The screen's width in columns, for a line that wraps.
static int screenColumns()
{
    struct winsize size = {};
    if (ioctl(writingToTerminal ? STDOUT_FILENO : STDIN_FILENO, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

// The line being typed, drawn again for the terminal's new width from the
// first row of its prompt, where the terminal has rewrapped the rows.
static void redrawAfterResize()
{
    resized = 0;
    if (!readingLine || plainText)
        return;
    int columns = screenColumns();
    int rowsUp = editorRowsFromThePrompt(columns);
    std::string prompt = (rowsUp > 0 ? "\x1b[" + std::to_string(rowsUp) + "A" : std::string()) + "\r\x1b[J" +
                         promptLineFromItsRow();
    echoToTerminal(prompt.data(), static_cast<int>(prompt.size()));
    editorPlaceLine(columns, promptColumn());
    editorRedraw();
}

// Waits for a key in a poll, which a signal always interrupts, so that a
// resize is drawn at once; the read that follows never waits. The terminal
// gives no more input only when it has gone.
static int readTerminal(char* buffer, int capacity)
{
    for (;;) {
        if (resumed)
            redrawAfterSuspension();
        if (resized)
            redrawAfterResize();
        struct pollfd input = {STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, -1) < 0)
            continue;
        int count = readStandardInputOnce(buffer, capacity);
        if (count == 0)
            endAsAtAHangUp();
        if (count >= 0)
            return count;
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

static void eraseTheEcho()
{
    std::size_t columns = static_cast<std::size_t>(plainColumnsOf(echoShown.c_str()));
    std::string erase = std::string(columns, '\b') + std::string(columns, ' ') + std::string(columns, '\b');
    echoToTerminal(erase.data(), static_cast<int>(erase.size()));
    echoShown.clear();
    echoing = false;
}

static std::string blanksBeforeInput()
{
    return std::string(static_cast<std::size_t>(plainBlanksBeforeInput()), ' ');
}

// Shown with the first key, not before: the question reaches the screen
// through a reader of the output (tee) a moment after it was written, and
// the player answers it once it is there.
static void echoPlainly(const char* bytes, int count)
{
    if (!blanksShown && count > 0 && bytes[0] != '\a' && bytes[0] != '\b') {
        std::string blanks = blanksBeforeInput();
        echoToTerminal(blanks.data(), static_cast<int>(blanks.size()));
        blanksShown = true;
    }
    echoToTerminal(bytes, count);
}

// An answer shown with no word in it (the name's) goes before the next.
static void startTheEcho()
{
    eraseTheEcho();
    blanksShown = false;
    echoing = true;
}

static bool readEditedLine(char* line, int capacity, bool command)
{
    std::cout.flush();
    resumed = 0;
    if (plainText)
        startTheEcho();
    else
        editorPlaceLine(screenColumns(), promptColumn());
    readingLine = true;
    bool read = command ? editorReadLine(line, capacity) : editorReadAnswer(line, capacity);
    readingLine = false;
    if (plainText)
        echoShown = (blanksShown ? blanksBeforeInput() : "") + (read ? line : "");
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

// What the game read takes its place in the plain text. The live echo stays
// where it is the game's own output and shows exactly that; anywhere else
// it is taken away, and the text writes the line.
static void placeTypedText(const char* text)
{
    bool kept = text && echoing && writingToTerminal && echoShown == blanksBeforeInput() + text;
    if (echoing && !kept)
        eraseTheEcho();
    echoShown.clear();
    echoing = false;
    if (text)
        plainTypedLine(text, kept);
    std::cout.flush();
}

int platformReadKey()
{
    if (!plainText)
        return inputReadKey();
    int key = plainReadKey(inputReadKey);
    if (!inputFastForward())
        std::cout.flush();
    return key;
}

// In plain text the editor's own echo may already show the line; see
// placeTypedText.
static bool readText(char* text, int capacity, bool (*read)(char* text, int capacity))
{
    if (!plainText)
        return read(text, capacity);
    plainAwaitInput();
    bool wasRead = read(text, capacity);
    placeTypedText(wasRead ? text : nullptr);
    return wasRead;
}

bool platformReadLine(char* line, int capacity)
{
    return readText(line, capacity, inputReadLine);
}

bool platformReadWord(char* word, int capacity)
{
    return readText(word, capacity, inputReadWord);
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

static void finishPlainText()
{
    plainFinish();
    std::fflush(stdout);
}


// A terminal that cannot place the cursor gets plain text, and so does a
// game whose terminal is not named at all.
static bool terminalIsDumb()
{
    const char* name = std::getenv("TERM");
    return !name || *name == '\0' || std::strcmp(name, "dumb") == 0;
}

// --asciicast: the record played at the watching pace into a recording on
// standard output, silent, and touching no terminal.
static unsigned writeTheAsciicast()
{
    startAsciicast();
    // The shell's prompt after a game comes on a line of its own, as on
    // the terminal.
    std::atexit(endOnAFreshLine);
    muteSounds(true);
    inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, nullptr}, true);
    startWatching();
    return inputBeginGame(false);
}

static bool watchingARecord()
{
    return inputOptions().watchPath || inputOptions().asciicastPath;
}

unsigned platformStart(int argc, char** argv)
{
    // A file size limit (ulimit -f) is told as a full disk is, by the write
    // that meets it, rather than ending the game in the middle of a record.
    std::signal(SIGXFSZ, SIG_IGN);
    inputStart(argc, argv, static_cast<unsigned>(std::time(nullptr)));
    if (inputOptions().sharePath)
        recordPrintShareLink(inputNamedRecord(), inputOptions().sharePath);
    if (inputOptions().asciicastPath)
        return writeTheAsciicast();
    // A transcript touches no terminal and reads nothing but its record.
    if (inputOptions().transcriptPath) {
        plainText = true;
        plainTakeStandardOutput("\xe2\x96\xb2");
        std::atexit(plainEndTranscript);
        inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, nullptr}, false);
        return inputBeginGame(false);
    }
    holdTheTerminal();
    writingToTerminal = isatty(STDOUT_FILENO);
    plainText = inputOptions().plain || terminalIsDumb();
    if (onTerminal || writingToTerminal)
        installSignalHandlers();
    if (onTerminal) {
        applyGameMode();
        editorConnect(nextTerminalByte, peekTerminalByte, plainText ? echoPlainly : echoToTerminal);
        if (plainText)
            editorUsePlainEcho();
    }
    // Plain text writes the replayed lines itself, with the keys.
    inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, onTerminal ? editorRemember : nullptr},
                       writingToTerminal && !plainText);
    if (watchingARecord())
        startWatching();
    if (plainText) {
        // The same text as a transcript's, whatever it is written to, but
        // for a terminal that has no glyph for the triangle.
        plainTakeStandardOutput(writingToTerminal ? terminalTriangle() : "\xe2\x96\xb2");
        std::atexit(finishPlainText);
        // No screen is laid out, whatever its size.
        return inputBeginGame(onTerminal);
    }
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
    placeCursor(plainText, column, row);
}

void platformClearScreen()
{
    clearTheScreen(plainText);
}

void platformWait(unsigned milliseconds)
{
    std::cout.flush();
    if (inputFastForward())
        return;
    if (watchingARecord()) {
        watchWait(milliseconds);
        return;
    }
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
