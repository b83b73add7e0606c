// The real game on a POSIX terminal: ANSI sequences for the screen, termios
// for the keyboard, a sleeping monotonic clock for pauses. For the whole game
// the terminal echoes nothing and has no line mode of its own: the line
// editor draws each key as the game reads it, so keys typed ahead never land
// on the screen out of turn. The terminal is put back as it was on every way
// out.
#include "platform/input/input_reader.h"
#include "platform/input/line_editor.h"
#include "platform/input/options.h"
#include "platform/platform.h"
#include "platform/input/record.h"
#include "platform/sound/sound_files.h"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <langinfo.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

static bool onTerminal = false;
static bool writingToTerminal = false;
static struct termios originalSettings;
static volatile sig_atomic_t inKeyMode = 0;
static volatile sig_atomic_t resumed = 0;
static bool readingLine = false;

// Echo off and no line mode, and no Ctrl-V or Ctrl-O of the terminal's own:
// every key reaches the editor. Enter comes through as the carriage return
// it is, so a pasted Windows line end is one line end, not two. Ctrl-C and
// Ctrl-Z keep their signals, except at a one-key question, where Ctrl-C is a
// key like any other.
static void applyGameMode()
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
    if (onTerminal)
        applyGameMode();
    resumed = 1;
}

static void resume(int)
{
    if (onTerminal)
        applyGameMode();
    resumed = 1;
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
}

// What the game has written since the start of the screen line, from the
// last cursor placement on, so the prompt can be drawn again after a
// suspension.
static std::string promptLine;
static std::string sequenceSoFar;

static void rememberForThePrompt(char byte)
{
    if (!sequenceSoFar.empty()) {
        sequenceSoFar += byte;
        if (sequenceSoFar.size() > 2 && byte >= 0x40 && byte <= 0x7E) {
            // A placed cursor starts the prompt's line afresh; a cleared
            // screen leaves nothing to draw again.
            if (byte == 'H')
                promptLine = sequenceSoFar;
            else if (byte == 'J')
                promptLine.clear();
            else
                promptLine += sequenceSoFar;
            sequenceSoFar.clear();
        }
        return;
    }
    if (byte == '\n')
        promptLine.clear();
    else if (byte == '\x1b')
        sequenceSoFar = byte;
    else
        promptLine += byte;
}

// Standard output on its way to the screen. The one stored character a
// terminal has no glyph for, 0x1E, is drawn as the home console draws it;
// output sent anywhere else keeps the byte.
class TerminalOutput : public std::streambuf {
public:
    TerminalOutput(std::streambuf* screen, const char* upTriangle)
        : screen_(screen), upTriangle_(upTriangle)
    {
    }

protected:
    int overflow(int byte) override
    {
        if (byte != traits_type::eof())
            put(static_cast<char>(byte));
        return traits_type::not_eof(byte);
    }

    std::streamsize xsputn(const char* bytes, std::streamsize count) override
    {
        for (std::streamsize place = 0; place < count; ++place)
            put(bytes[place]);
        return count;
    }

    int sync() override { return screen_->pubsync(); }

private:
    void put(char byte)
    {
        rememberForThePrompt(byte);
        if (byte == '\x1e')
            screen_->sputn(upTriangle_, static_cast<std::streamsize>(std::strlen(upTriangle_)));
        else
            screen_->sputc(byte);
    }

    std::streambuf* screen_;
    const char* upTriangle_;
};

// The character set is asked of the player's locale and the game's locale
// put back at once, so nothing the game formats can change.
static bool terminalSpeaksUtf8()
{
    std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "");
    bool utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    std::setlocale(LC_CTYPE, previous.c_str());
    return utf8;
}

static void filterTheOutput()
{
    // Never freed: the output is still written at exit.
    static TerminalOutput* output = new TerminalOutput(std::cout.rdbuf(), terminalSpeaksUtf8() ? "\xe2\x96\xb2" : "^");
    std::cout.rdbuf(output);
}

// The echo goes where the player looks: the screen, or the terminal itself
// when the game's output is sent elsewhere.
static void echoToTerminal(const char* bytes, int count)
{
    std::cout.flush();
    int screen = writingToTerminal ? STDOUT_FILENO : STDIN_FILENO;
    while (count > 0) {
        ssize_t written = write(screen, bytes, static_cast<size_t>(count));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes += written;
        count -= static_cast<int>(written);
    }
}

static void redrawAfterSuspension()
{
    resumed = 0;
    if (!readingLine)
        return;
    std::string prompt = "\r\x1b[K" + promptLine;
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

static void enterKeyMode()
{
    if (!onTerminal)
        return;
    inKeyMode = 1;
    applyGameMode();
}

static void leaveKeyMode()
{
    if (!onTerminal)
        return;
    inKeyMode = 0;
    applyGameMode();
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
    promptLine.clear();
    return read;
}

static bool readLineLive(char* line, int capacity)
{
    if (onTerminal)
        return readEditedLine(line, capacity, true);
    std::cout.flush();
    return readerReadLine(readStandardInput, line, capacity);
}

// The name is the first word of an edited line; an empty line is no answer,
// and the name is no command to recall at the prompt.
static bool readWordLive(char* word, int capacity)
{
    if (!onTerminal) {
        std::cout.flush();
        return readerReadWord(readStandardInput, word, capacity);
    }
    std::vector<char> line(static_cast<std::size_t>(capacity));
    for (;;) {
        if (!readEditedLine(line.data(), capacity, false))
            return false;
        if (editorFirstWord(line.data(), word, capacity))
            return true;
    }
}

// Where the game's input comes from: the player, or a record played again.
// A resumed game plays its record at full speed and in silence, and the
// player takes over once the game asks for more than the record holds.
static bool replaying = false;
static bool fastForward = false;

static bool readingRecord()
{
    if (fastForward && recordReplayUsedUp() && readerPeekBuffered(0) == -1) {
        replaying = false;
        fastForward = false;
        muteSounds(false);
    }
    return replaying;
}

// A replay watched on the screen shows the commands as they were typed.
static void showReplayed(const char* text)
{
    if (writingToTerminal)
        std::cout << text << '\n';
}

int platformReadKey()
{
    if (readingRecord()) {
        std::cout.flush();
        return readerNextByte(recordReplaySource);
    }
    int key = readKeyLive();
    if (key == KEY_END_OF_INPUT)
        recordEndOfInput();
    else
        recordKey(key);
    return key;
}

// A line or a word, from the record while one is played, else from the
// player, and then into the record.
static bool readText(char* text, int capacity, bool (*fromRecord)(InputSource, char*, int),
                     bool (*fromPlayer)(char*, int))
{
    if (readingRecord()) {
        std::cout.flush();
        bool read = fromRecord(recordReplaySource, text, capacity);
        if (read)
            showReplayed(text);
        return read;
    }
    bool read = fromPlayer(text, capacity);
    if (read)
        recordLine(text);
    else
        recordEndOfInput();
    return read;
}

bool platformReadLine(char* line, int capacity)
{
    return readText(line, capacity, readerReadLine, readLineLive);
}

bool platformReadWord(char* word, int capacity)
{
    return readText(word, capacity, readerReadWord, readWordLive);
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
}

unsigned platformStart(int argc, char** argv)
{
    CommandLine options = readProgramOptions(argc, argv, true);
    unsigned seed = options.seedGiven ? options.seed : static_cast<unsigned>(std::time(nullptr));
    if (options.recordPath) {
        recordCreate(options.recordPath, seed);
    } else if (options.replayPath) {
        seed = recordOpenForReplay(options.replayPath);
        replaying = true;
    } else if (options.resumePath) {
        seed = recordOpenForResume(options.resumePath);
        replaying = true;
        fastForward = true;
        muteSounds(true);
    }
    onTerminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &originalSettings) == 0;
    writingToTerminal = isatty(STDOUT_FILENO);
    if (onTerminal || writingToTerminal)
        installSignalHandlers();
    if (onTerminal) {
        std::atexit(restoreTerminal);
        applyGameMode();
        editorConnect(nextTerminalByte, peekTerminalByte, echoToTerminal);
    }
    recordGoOnFrom(onTerminal ? readTerminal : readStandardInput);
    if (writingToTerminal) {
        std::atexit(endOnAFreshLine);
        filterTheOutput();
    }
    checkTheTerminalSize();
    return seed;
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

void platformWait(unsigned milliseconds)
{
    std::cout.flush();
    if (fastForward)
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
