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
#include "platform/records/record_link.h"
#include "platform/sound/sound_files.h"
#include "platform/text/plain_text.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>

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

// The same command line as on the terminal, read before the console is
// touched. A game whose keyboard is the console is saved as it is played; one
// read from a pipe is a script's, and is saved only into a record asked for.
unsigned platformStart(int argc, char** argv)
{
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
        inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, nullptr}, false);
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
    inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, nullptr}, writingToConsole);
    return inputBeginGame(onConsole);
}

void platformCommandTurn(int turn)
{
    inputCommandTurn(turn);
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

// One key from the console, as one byte: no echo, no Enter, and Ctrl-C is a
// key at a key question, so the console's own handling of it is off while the
// key is awaited. Arrow and function keys come from _getch as 0 or 0xE0
// followed by a code; they are not keys the game asks for and are passed over
// whole.
static int readConsoleKey(char* buffer, int)
{
    const DWORD lineEditing = ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT;
    readingKey = 1;
    SetConsoleMode(keyboard, originalInputMode & ~lineEditing);
    int key = _getch();
    while (key == 0 || key == 0xE0) {
        _getch();
        key = _getch();
    }
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
// console's end of input.
static int readConsoleLine(char* buffer, int capacity)
{
    SetConsoleMode(keyboard, originalInputMode | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
    DWORD count = 0;
    BOOL read = ReadConsoleA(keyboard, buffer, static_cast<DWORD>(capacity), &count, nullptr);
    restoreConsole();
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
