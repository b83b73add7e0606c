// windows/: the Windows console, and PlaySoundA for sound (windows_sound.cpp).
//
// The real game on the Windows console: the console's own calls for the
// cursor and the screen, _getch for single keys, the console's line editing
// for commands, and a sleeping wait for pauses. Its input goes through the
// same routing as the terminal's, so it takes the same options and saves,
// records, replays and resumes its games alike.
//
// On the console every key and every line comes out of the one console input
// buffer, so keys typed during a pause or a sound wait there in order, for a
// key question or for the next line alike. When standard input is a pipe or
// a file instead, keys and lines are read from it as one byte stream, exactly
// as on the other platforms.
#include "platform/command_line/options.h"
#include "platform/input/input_reader.h"
#include "platform/platform.h"
#include "platform/records/game_input.h"
#include "platform/records/record_file.h"
#include "platform/records/record_link.h"
#include "platform/sound/sound_files.h"
#include "platform/text/plain_text.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

static HANDLE keyboard = INVALID_HANDLE_VALUE;
static bool onConsole = false;
static DWORD originalInputMode = 0;
static volatile LONG readingKey = 0;
// --transcript: the record's game as plain text, with no console at all.
static bool writingTranscript = false;

static void restoreConsole()
{
    if (onConsole)
        SetConsoleMode(keyboard, originalInputMode);
}

// Puts Ctrl-C into the console input as the key it is, for _getch to read.
static void typeControlC()
{
    INPUT_RECORD record = {};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = TRUE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = 'C';
    record.Event.KeyEvent.uChar.AsciiChar = 3;
    record.Event.KeyEvent.dwControlKeyState = LEFT_CTRL_PRESSED;
    DWORD written = 0;
    WriteConsoleInputA(keyboard, &record, 1, &written);
}

// Runs on a thread of its own when the console raises Ctrl-C, Ctrl-Break or
// a closed window. Some consoles (Wine's on a terminal, for one) raise Ctrl-C
// even while the console's handling of it is off; at a key question it is
// still only a key. Anything else ends the process, and the console is left
// as it was found for whatever runs in it next.
static BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event == CTRL_C_EVENT && readingKey) {
        typeControlC();
        return TRUE;
    }
    restoreConsole();
    return FALSE;
}

static int readKeyLive();
static bool readLineLive(char* line, int capacity);
static bool readWordLive(char* word, int capacity);

// An undo or a redo plays the game's record again in a fresh process of
// this program, since the game itself only ends by leaving. Windows has no
// exec: this process lets go of the console and the record, starts the new
// one on the same console, and waits for it, so that whatever started the
// game waits too, and leaves with its exit status. What it hands over goes
// in a file of its own, named in the environment, which the new process
// reads and deletes.
static const char* const HANDED_OVER = "QUORRELL_HANDED_OVER";

// While the game started again plays, Ctrl-C and a closed window are its to
// handle; this process only waits.
static BOOL WINAPI onConsoleEventWhileWaiting(DWORD)
{
    return TRUE;
}

static std::string windowsReason()
{
    return "error " + std::to_string(GetLastError());
}

static const char* startAgainInAFreshProcess(const std::string& game)
{
    static std::string reason;
    char folder[MAX_PATH];
    char path[MAX_PATH];
    char program[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "qrl", 0, path) ||
        !GetModuleFileNameA(nullptr, program, MAX_PATH)) {
        reason = windowsReason();
        return reason.c_str();
    }
    std::ofstream(path, std::ios::binary) << game;
    std::cout.flush();
    recordFileLetGo();
    platformStopSound();
    restoreConsole();
    SetEnvironmentVariableA(HANDED_OVER, path);
    std::string commandLine = std::string("\"") + program + "\"";
    STARTUPINFOA startUp = {};
    startUp.cb = sizeof startUp;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(program, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startUp, &started)) {
        reason = windowsReason();
        SetEnvironmentVariableA(HANDED_OVER, nullptr);
        DeleteFileA(path);
        // Held again for this game, which goes on.
        long stored = 0;
        recordFileHandedOver(game, &stored);
        return reason.c_str();
    }
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    SetConsoleCtrlHandler(onConsoleEventWhileWaiting, TRUE);
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(started.hProcess, &status);
    // The game that went on has saved and put back whatever it had to.
    std::_Exit(static_cast<int>(status));
}

// In the fresh process: what the game before it handed over, or nothing.
static std::string takeOverFromTheGameBefore()
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(HANDED_OVER, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    SetEnvironmentVariableA(HANDED_OVER, nullptr);
    std::ifstream file(path, std::ios::binary);
    std::string game((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    DeleteFileA(path);
    return game;
}

// The same command line as on the terminal, read before the console is
// touched. A game whose keyboard is the console is saved as it is played; one
// read from a pipe is a script's, and is saved only into a record asked for.
unsigned platformStart(int argc, char** argv)
{
    std::string handedOver = takeOverFromTheGameBefore();
    inputStart(argc, argv, static_cast<unsigned>(std::time(nullptr)));
    if (inputOptions().sharePath)
        recordPrintShareLink(inputNamedRecord(), inputOptions().sharePath);
    // The console's own line input echoes the line as it is typed, so live
    // plain text would show each line twice.
    if (inputOptions().plain)
        refuseCommandLine("--plain is for a terminal; on Windows, --transcript FILE writes a game as plain text");
    if (inputOptions().transcriptPath) {
        // The same bytes as on every machine: no carriage returns added.
        _setmode(_fileno(stdout), _O_BINARY);
        writingTranscript = true;
        plainTakeStandardOutput("\xe2\x96\xb2");
        std::atexit(plainEndTranscript);
        inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, nullptr, nullptr}, false);
        return inputBeginGame(false);
    }
    keyboard = GetStdHandle(STD_INPUT_HANDLE);
    onConsole = keyboard != INVALID_HANDLE_VALUE && GetConsoleMode(keyboard, &originalInputMode);
    if (onConsole) {
        SetConsoleCtrlHandler(onConsoleEvent, TRUE);
        std::atexit(restoreConsole);
    }
    // A replayed command shows as the console showed it when it was typed.
    DWORD outputMode = 0;
    bool writingToConsole = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &outputMode) != 0;
    inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, nullptr,
                        onConsole ? startAgainInAFreshProcess : nullptr},
                       writingToConsole);
    if (handedOver.empty())
        return inputBeginGame(onConsole);
    long stored = 0;
    RecordStore store = recordFileHandedOver(handedOver, &stored);
    return inputTakeUpGame(handedOver, store, stored);
}

void platformCommandTurn(int turn)
{
    inputCommandTurn(turn);
}

void platformGameOver()
{
    inputGameOver();
}

void platformGotoXY(int column, int row)
{
    if (writingTranscript) {
        plainPlaceCursor(column, row);
        return;
    }
    std::cout.flush();
    COORD cell;
    cell.X = static_cast<SHORT>(column - 1);
    cell.Y = static_cast<SHORT>(row - 1);
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), cell);
}

// The whole buffer is blanked, not only the window, and the cursor goes home
// to its top left cell, which brings the window up to the top: the rows that
// gotoXY counts from are then the rows the player sees.
void platformClearScreen()
{
    if (writingTranscript) {
        plainClearScreen();
        return;
    }
    std::cout.flush();
    HANDLE screen = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO buffer;
    if (!GetConsoleScreenBufferInfo(screen, &buffer))
        return;
    DWORD cells = static_cast<DWORD>(buffer.dwSize.X) * static_cast<DWORD>(buffer.dwSize.Y);
    COORD home = {0, 0};
    DWORD written = 0;
    FillConsoleOutputCharacterA(screen, ' ', cells, home, &written);
    FillConsoleOutputAttribute(screen, buffer.wAttributes, cells, home, &written);
    SetConsoleCursorPosition(screen, home);
}

static bool isKeyDown(const INPUT_RECORD& event)
{
    return event.EventType == KEY_EVENT && event.Event.KeyEvent.bKeyDown;
}

// Alt-U or Alt-R: _getch would give the letter alone. AltGr, which is Ctrl
// and the right Alt, types characters of its own.
static bool isStepKey(const INPUT_RECORD& event)
{
    const KEY_EVENT_RECORD& key = event.Event.KeyEvent;
    bool alt = key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED);
    bool control = key.dwControlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED);
    return isKeyDown(event) && alt && !control && (key.wVirtualKeyCode == 'U' || key.wVirtualKeyCode == 'R');
}

// What comes before a key and is no key itself: a key let go, Shift, Ctrl,
// Alt or Caps Lock pressed on their own, the mouse, the window's focus.
static bool isNoKey(const INPUT_RECORD& event)
{
    if (!isKeyDown(event))
        return true;
    switch (event.Event.KeyEvent.wVirtualKeyCode) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
        return true;
    default:
        return false;
    }
}

// Alt-U undoes and Alt-R redoes (inputUndo) where the game reads a key, and
// as the first key of a line: each is taken out of the console's input
// before _getch sees its letter, or the console's line input the key. A step
// taken never comes back here, and one that cannot be taken rings the bell.
// The console is then set again to the mode of the read.
static void takeStepsBeforeTheKey(DWORD mode)
{
    INPUT_RECORD event;
    DWORD count = 0;
    while (WaitForSingleObject(keyboard, INFINITE) == WAIT_OBJECT_0 &&
           PeekConsoleInputA(keyboard, &event, 1, &count) && count == 1) {
        if (!isStepKey(event) && !isNoKey(event))
            return;
        ReadConsoleInputA(keyboard, &event, 1, &count);
        if (!isStepKey(event))
            continue;
        LONG wasReadingKey = readingKey;
        restoreConsole();
        readingKey = 0;
        if (!(event.Event.KeyEvent.wVirtualKeyCode == 'U' ? inputUndo() : inputRedo()))
            std::cout << '\a' << std::flush;
        readingKey = wasReadingKey;
        SetConsoleMode(keyboard, mode);
    }
}

// One key from the console, as one byte: no echo, no Enter, and Ctrl-C is a
// key at a key question, so the console's own handling of it is off while the
// key is awaited. Arrow and function keys come from _getch as 0 or 0xE0
// followed by a code; they are not keys the game asks for and are passed over
// whole.
static int readConsoleKey(char* buffer, int)
{
    const DWORD keyMode = originalInputMode & ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
    readingKey = 1;
    SetConsoleMode(keyboard, keyMode);
    int key = 0;
    do {
        takeStepsBeforeTheKey(keyMode);
        key = _getch();
        if (key == 0 || key == 0xE0)
            _getch();
    } while (key == 0 || key == 0xE0);
    restoreConsole();
    readingKey = 0;
    if (key == EOF)
        return 0;
    buffer[0] = static_cast<char>(key);
    return 1;
}

// One line from the console with its own line editing, which is on here even
// if whatever ran before left it off: the console echoes what is typed, lets
// the player mend it with backspace, and hands over the whole line with its
// line end once Enter is pressed. Ctrl-Z at the start of a line is the
// console's end of input. The rest of a line longer than the reader's buffer
// waits in the console, not among its input's keys.
static bool lineUnfinished = false;

static int readConsoleLine(char* buffer, int capacity)
{
    const DWORD lineMode = originalInputMode | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT;
    SetConsoleMode(keyboard, lineMode);
    if (!lineUnfinished)
        takeStepsBeforeTheKey(lineMode);
    DWORD count = 0;
    BOOL read = ReadConsoleA(keyboard, buffer, static_cast<DWORD>(capacity), &count, nullptr);
    restoreConsole();
    lineUnfinished = read && count > 0 && buffer[count - 1] != '\n';
    if (!read)
        return 0;
    if (count > 0 && buffer[0] == '\x1a')
        return 0;
    return static_cast<int>(count);
}

static int readKeyLive()
{
    std::cout.flush();
    return readerNextByte(onConsole ? readConsoleKey : readStandardInput);
}

static bool readLineLive(char* line, int capacity)
{
    std::cout.flush();
    return readerReadLine(onConsole ? readConsoleLine : readStandardInput, line, capacity);
}

static bool readWordLive(char* word, int capacity)
{
    std::cout.flush();
    return readerReadWord(onConsole ? readConsoleLine : readStandardInput, word, capacity);
}

int platformReadKey()
{
    return writingTranscript ? plainReadKey(inputReadKey) : inputReadKey();
}

bool platformReadLine(char* line, int capacity)
{
    return writingTranscript ? plainReadText(line, capacity, inputReadLine) : inputReadLine(line, capacity);
}

bool platformReadWord(char* word, int capacity)
{
    return writingTranscript ? plainReadText(word, capacity, inputReadWord) : inputReadWord(word, capacity);
}

void platformWait(unsigned milliseconds)
{
    std::cout.flush();
    if (!inputFastForward())
        Sleep(milliseconds);
}
