// The real game in a web page, built with Emscripten. The page (web/) owns
// the screen, the keys and the audio; the game reaches them through the few
// functions below. The game's blocking reads, pauses and sounds are written
// as waits, and ASYNCIFY turns each wait into a return to the browser, so the
// page stays alive while the Marshal thinks.
//
// Standard output reaches the page through its stdout device; it is flushed
// before every wait, so the screen is always up to date when the game stops
// to listen.
#include "platform/command_line/options.h"
#include "platform/input/line_editor.h"
#include "platform/platform.h"
#include "platform/records/game_input.h"
#include "platform/records/record.h"
#include "platform/text/plain_text.h"
#include "platform/text/screen_codes.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

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

// The game the page asks for, and its record when it has one: a game put
// down to pick up, an ended one to watch, or one to write as plain text.
const int GAME_NEW = 0;
const int GAME_RESUMED = 1;
const int GAME_REPLAYED = 2;
const int GAME_TRANSCRIBED = 3;
const int GAME_WATCHED = 4;

EM_JS(int, gameOnPage, (), { return Module.page.gameKind(); });
EM_JS(int, recordLengthOnPage, (), { return Module.page.record().length; });
EM_JS(void, copyRecordFromPage, (char* bytes), { HEAPU8.set(Module.page.record(), bytes); });

// The record kept in the browser's storage; each call is true when it
// worked.
EM_JS(bool, writeRecordOnPage, (long offset, const char* bytes, long count), {
    return Module.page.recordWrite(offset, HEAPU8.slice(bytes, bytes + count));
});
EM_JS(bool, settleRecordOnPage, (), { return Module.page.recordSettle(); });
EM_JS(bool, cutRecordOnPage, (long length), { return Module.page.recordCut(length); });
EM_JS(void, forgetRecordOnPage, (), { Module.page.recordForget(); });

// A record watched at its own pace: the page keeps the watcher's speed and
// pause in its waits, hears of each read (a command's with its turn and
// where it starts in the record, for the turn slider and for playing on
// from there), and says from which turn to watch.
EM_ASYNC_JS(void, watchWaitOnPage, (int milliseconds), { await Module.page.watchWait(milliseconds); });
EM_JS(void, watchReadOnPage, (int command, int turn, int offset), { Module.page.watchRead(command, turn, offset); });
EM_JS(int, watchFromTurnOnPage, (), { return Module.page.watchFromTurn(); });

// A command of a resumed game, for Up to bring back.
EM_JS(void, rememberOnPage, (const char* line), { Module.page.remember(UTF8ToString(line)); });

static bool muted = false;
static bool plainText = false;
static bool watching = false;

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

static const char* const storageRefused = "the browser's storage refused it (full, or turned off for this site)";

static const char* writeRecord(long offset, const char* bytes, long count)
{
    return writeRecordOnPage(offset, bytes, count) ? nullptr : storageRefused;
}

static const char* settleRecord()
{
    return settleRecordOnPage() ? nullptr : storageRefused;
}

static const char* cutRecord(long length)
{
    return cutRecordOnPage(length) ? nullptr : storageRefused;
}

static std::string pageResumeHint()
{
    return "the page's Open record";
}

static const RecordStore pageStore = {writeRecord, settleRecord, cutRecord, forgetRecordOnPage, pageResumeHint};

static std::string recordFromPage()
{
    std::string bytes(static_cast<std::size_t>(recordLengthOnPage()), '\0');
    if (!bytes.empty())
        copyRecordFromPage(&bytes[0]);
    return bytes;
}

// The transcript reaches the page as standard output, like the screen.
static void finishTranscript()
{
    plainFinish();
    std::cout.flush();
    std::fflush(stdout);
}

void platformGotoXY(int column, int row)
{
    placeCursor(plainText, column, row);
}

void platformClearScreen()
{
    clearTheScreen(plainText);
}

static int readKeyLive()
{
    flushOutput();
    awaitOnPage(AWAIT_KEY, 0);
    int key = editorReadKey();
    awaitOnPage(AWAIT_NOTHING, 0);
    return key;
}

static bool readLineLive(char* line, int capacity)
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

static bool readWordLive(char* word, int capacity)
{
    flushOutput();
    return editorReadFirstWord(word, capacity, readAnswerOnPage);
}

static void muteSounds(bool mute)
{
    muted = mute;
}

int platformReadKey()
{
    return plainText ? plainReadKey(inputReadKey) : inputReadKey();
}

bool platformReadLine(char* line, int capacity)
{
    return plainText ? plainReadText(line, capacity, inputReadLine) : inputReadLine(line, capacity);
}

bool platformReadWord(char* word, int capacity)
{
    return plainText ? plainReadText(word, capacity, inputReadWord) : inputReadWord(word, capacity);
}

static void watchWait(unsigned milliseconds)
{
    flushOutput();
    watchWaitOnPage(static_cast<int>(milliseconds));
}

static void atWatchedRead(bool command, int turn)
{
    flushOutput();
    const std::vector<CommandRead>& commands = inputCommandsRead();
    long offset = command && turn >= 0 && !commands.empty() ? static_cast<long>(commands.back().offset) : -1;
    watchReadOnPage(command ? 1 : 0, turn, static_cast<int>(offset));
}

void platformWait(unsigned milliseconds)
{
    flushOutput();
    if (inputFastForward())
        return;
    if (watching)
        watchWait(milliseconds);
    else
        emscripten_sleep(milliseconds);
}

void platformPlaySound(const char* stem, int mode)
{
    flushOutput();
    if (muted || inputFastForward())
        return;
    playOnPage(stem, mode == SOUND_LOOP ? 1 : 0);
}

void platformStopSound()
{
    stopOnPage();
}

void platformCommandTurn(int turn)
{
    inputCommandTurn(turn);
}

unsigned platformStart(int argc, char** argv)
{
    editorConnect(waitForKeyByte, peekKeyByte, echo);
    int kind = gameOnPage();
    std::string record = kind == GAME_NEW ? std::string() : recordFromPage();
    RecordHeader header = {};
    if (kind != GAME_NEW && !recordReadHeader(record, &header)) {
        std::cerr << "The record cannot be read; a new game starts.\n";
        kind = GAME_NEW;
    }
    // The page draws a replayed line where the player typed it, as the
    // terminal does; the transcript writes the lines itself.
    inputConnectPlayer({readKeyLive, readLineLive, readWordLive, muteSounds, rememberOnPage},
                       kind != GAME_TRANSCRIBED);
    if (kind == GAME_RESUMED)
        return inputResumeRecord(record, pageStore);
    if (kind == GAME_REPLAYED)
        return inputReplayRecord(record, pageResumeHint());
    if (kind == GAME_WATCHED) {
        watching = true;
        inputConnectWatcher({atWatchedRead, watchWait});
        return inputWatchRecord(record, pageResumeHint(), watchFromTurnOnPage());
    }
    if (kind == GAME_TRANSCRIBED) {
        plainText = true;
        plainTakeStandardOutput("\xe2\x96\xb2");
        std::atexit(finishTranscript);
        return inputTranscribeRecord(record);
    }
    unsigned seed = 0;
    if (!seedFromArguments(argc, argv, &seed))
        seed = static_cast<unsigned>(std::time(nullptr));
    inputSaveNewGame(seed, pageStore, false);
    return seed;
}
