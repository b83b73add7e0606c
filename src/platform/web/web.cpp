// The real game in a web page, built with Emscripten. The page (web/) owns
// the screen, the keys and the audio; the game reaches them through the few
// functions below. The game's blocking reads, pauses and sounds are written
// as waits, and ASYNCIFY turns each wait into a return to the browser, so the
// page stays alive while the Marshal thinks.
//
// Standard output reaches the page through its stdout device; it is flushed
// before every wait, so the screen is always up to date when the game stops
// to listen.
#include "platform/input/line_editor.h"
#include "platform/input/options.h"
#include "platform/input/screen_codes.h"
#include "platform/platform.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

// The next key byte from the page's queue, waiting for the player when it
// is empty. Keys typed ahead wait there, unseen, until the game reads them.
EM_ASYNC_JS(int, waitForKeyByte, (), { return await Module.page.nextKeyByte(); });

EM_JS(int, peekKeyByte, (int offset), { return Module.page.peekKeyByte(offset); });

// The editor's echo of what it reads, drawn at the prompt like the rest of
// the screen, but no part of what the game says.
EM_JS(void, echoOnPage, (const char* bytes, int count), {
    Module.page.echo(HEAPU8.slice(bytes, bytes + count));
});

EM_JS(void, showPendingOutput, (), { Module.page.show(); });

// What the game waits for, so the page can offer the right thing: a text
// field capped at the bytes the game will read, or the keys of a one-key
// question. NOTHING again once the read is over.
const int AWAIT_NOTHING = 0;
const int AWAIT_KEY = 1;
const int AWAIT_COMMAND = 2;
const int AWAIT_ANSWER = 3;

EM_JS(void, awaitOnPage, (int what, int cap), { Module.page.waitFor(what, cap); });

// A synchronous sound returns when it has been heard to its end, a loop at
// once; the page skips what it cannot fetch or decode, and everything before
// the player's first key or click, which the browser would not let it play.
EM_ASYNC_JS(void, playOnPage, (const char* stem, int loop), {
    await Module.page.playSound(UTF8ToString(stem), loop !== 0);
});

EM_JS(void, stopOnPage, (), { Module.page.stopSound(); });

static void flushOutput()
{
    std::cout.flush();
    showPendingOutput();
}

static void echo(const char* bytes, int count)
{
    echoOnPage(bytes, count);
}

// ?seed=N in the page's address arrives here as --seed N, and plays the
// same game as quorrell-script --seed N; an address without a seed, or with
// one that is not a number, gets the clock, like the terminal game.
static bool seedFromArguments(int argc, char** argv, unsigned* seed)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0)
            return parseSeed(argv[i + 1], seed);
    }
    return false;
}

unsigned platformStart(int argc, char** argv)
{
    editorConnect(waitForKeyByte, peekKeyByte, echo);
    unsigned seed = 0;
    if (seedFromArguments(argc, argv, &seed))
        return seed;
    return static_cast<unsigned>(std::time(nullptr));
}

void platformGotoXY(int column, int row)
{
    writeCursorPlacement(column, row);
}

void platformClearScreen()
{
    writeClearScreen();
}

int platformReadKey()
{
    flushOutput();
    awaitOnPage(AWAIT_KEY, 0);
    int key = editorReadKey();
    awaitOnPage(AWAIT_NOTHING, 0);
    return key;
}

bool platformReadLine(char* line, int capacity)
{
    flushOutput();
    awaitOnPage(AWAIT_COMMAND, capacity - 1);
    bool read = editorReadLine(line, capacity);
    awaitOnPage(AWAIT_NOTHING, 0);
    return read;
}

// The page shows the field for the name (its own cap) only while the game
// reads an answer line.
static bool readAnswerOnPage(char* line, int capacity)
{
    awaitOnPage(AWAIT_ANSWER, capacity - 1);
    bool read = editorReadAnswer(line, capacity);
    awaitOnPage(AWAIT_NOTHING, 0);
    return read;
}

bool platformReadWord(char* word, int capacity)
{
    flushOutput();
    return editorReadFirstWord(word, capacity, readAnswerOnPage);
}

void platformWait(unsigned milliseconds)
{
    flushOutput();
    emscripten_sleep(milliseconds);
}

void platformPlaySound(const char* stem, int mode)
{
    flushOutput();
    playOnPage(stem, mode == SOUND_LOOP ? 1 : 0);
}

void platformStopSound()
{
    stopOnPage();
}

// The page does not save its games yet.
void platformCommandTurn(int)
{
}
