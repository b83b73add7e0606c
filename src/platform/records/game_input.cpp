#include "platform/records/game_input.h"

#include "platform/records/handover.h"

#include "platform/command_line/options.h"
#include "platform/input/input_reader.h"
#include "platform/records/record.h"
#include "platform/records/record_file.h"
#include "platform/records/saved_games.h"

#include <cstdlib>
#include <iostream>
#include <utility>
#include <vector>

static PlayerInput player = {};
static bool showReplayedLines = false;

// The record as it stands: what is played again, and every byte the game
// has read, saved or not. Only the first kept bytes of it are in the store
// so far.
static std::string record;
static RecordHeader header = {};
static std::size_t kept = 0;
// Bytes of the record handed to the reader; some may still wait in its
// buffer.
static std::size_t handedOut = 0;

// A resumed game plays its record at full speed and in silence, and the
// player takes over once the game asks for more than the record holds. A
// replayed one only shows its record.
static bool replaying = false;
static bool fastForward = false;
// A transcript plays its record at full speed and in silence to the end.
static bool writingTranscript = false;
// A watched record is paced by the front end, once it has been played at
// full speed up to the turn the watcher sought.
static bool watching = false;
static WatchPace watchPace = {};
static bool seeking = false;
static int soughtTurn = 0;

static bool saving = false;
static RecordStore store = {};
static bool saveFailed = false;
static bool inputEnded = false;
// The turn of the command the game reads next, or -1.
static int commandTurn = -1;
static std::vector<CommandRead> commandsRead;
// The ending's closing screen waits for Escape.
static bool gameOver = false;

// The steps undone, the last undone last: redo puts it back first.
static std::vector<UndoneStep> redoSteps;

enum ReadKind { KEY, LINE, WORD };

// What the player is told when the record can no longer be written: at once,
// under what he typed, and the game plays on.
static void stopSaving(const char* reason, bool atLineStart)
{
    saveFailed = true;
    std::cout.flush();
    std::cerr << (atLineStart ? "" : "\n");
    if (kept == 0)
        std::cerr << "This game is not being saved: " << reason << ". It plays on unsaved.\n";
    else
        std::cerr << "This game is no longer being saved: " << reason << ". It plays on; " << store.resumeHint()
                  << " takes it up from before this.\n";
}

// A header word rewritten in the record and in the store; null, or the
// reason it could not be.
static const char* rewrite(std::size_t at, const std::string& word)
{
    record.replace(at, word.size(), word);
    if (at >= kept)
        return nullptr;
    return store.write(static_cast<long>(at), word.data(), static_cast<long>(word.size()));
}

// Writes what the store does not hold yet, with the turn of a command, and
// makes it last. The line goes first: a game killed between the two writes
// is one turn behind in its header, never ahead of its input.
static void keep(const std::string& bytes, bool atLineStart, int turn)
{
    // Something new is typed: what was undone is gone for good.
    redoSteps.clear();
    std::size_t keptBefore = kept;
    std::string turnWord = turn >= 0 && header.turnAt > 0 ? recordTurnWord(turn) : std::string();
    if (!turnWord.empty())
        record.replace(header.turnAt, turnWord.size(), turnWord);
    record += bytes;
    if (!saving || saveFailed)
        return;
    const char* reason = store.write(static_cast<long>(kept), record.data() + kept, static_cast<long>(record.size() - kept));
    if (!reason) {
        kept = record.size();
        if (!turnWord.empty() && header.turnAt < keptBefore)
            reason = rewrite(header.turnAt, turnWord);
    }
    if (!reason)
        reason = store.settle();
    if (reason) {
        // Nothing of this read is left behind in the store, and a record
        // that never held a byte of input is not left at all; the game
        // still has it, and so does the record it plays on with.
        kept = keptBefore;
        if (kept == 0)
            store.forget();
        else
            store.cut(static_cast<long>(kept));
        stopSaving(reason, atLineStart);
    }
}

// A game that left by any way but the end of input has really ended; one
// cut short by a signal or a crash never gets here and stays open, with
// everything it read.
static void atTheEnd()
{
    if (!saving || saveFailed)
        return;
    if (!recordHasInput(record, header)) {
        store.forget();
        return;
    }
    const char* reason = inputEnded ? nullptr : rewrite(header.stateAt, recordStateWord(true));
    if (!reason)
        reason = store.settle();
    if (reason)
        stopSaving(reason, false);
}

static void saveThrough(RecordStore recordStore)
{
    store = recordStore;
    saving = true;
    static bool registered = false;
    if (!registered)
        std::atexit(atTheEnd);
    registered = true;
}

static int replaySource(char* buffer, int capacity)
{
    std::size_t left = record.size() - handedOut;
    std::size_t count = left < static_cast<std::size_t>(capacity) ? left : static_cast<std::size_t>(capacity);
    record.copy(buffer, count, handedOut);
    handedOut += count;
    return static_cast<int>(count);
}

void inputConnectPlayer(const PlayerInput& playerInput, bool showReplayed)
{
    player = playerInput;
    showReplayedLines = showReplayed;
}

const std::string& inputRecord()
{
    return record;
}

const std::vector<CommandRead>& inputCommandsRead()
{
    return commandsRead;
}

bool inputFastForward()
{
    return fastForward || writingTranscript || seeking;
}

unsigned inputResumeRecord(std::string bytes, RecordStore recordStore)
{
    record = std::move(bytes);
    recordReadHeader(record, &header);
    kept = record.size();
    handedOut = header.inputAt;
    replaying = true;
    fastForward = true;
    player.muteSounds(true);
    saveThrough(recordStore);
    return header.seed;
}

static std::string replayResumeHint;

unsigned inputReplayRecord(std::string bytes, const std::string& resumeHint)
{
    record = std::move(bytes);
    recordReadHeader(record, &header);
    handedOut = header.inputAt;
    replaying = true;
    replayResumeHint = resumeHint;
    return header.seed;
}

unsigned inputTranscribeRecord(std::string bytes)
{
    unsigned recordSeed = inputReplayRecord(std::move(bytes), std::string());
    writingTranscript = true;
    player.muteSounds(true);
    return recordSeed;
}

void inputConnectWatcher(const WatchPace& pace)
{
    watchPace = pace;
}

unsigned inputWatchRecord(std::string bytes, const std::string& resumeHint, int fromTurn)
{
    unsigned recordSeed = inputReplayRecord(std::move(bytes), resumeHint);
    watching = true;
    soughtTurn = fromTurn;
    seeking = fromTurn > 0;
    if (seeking)
        player.muteSounds(true);
    return recordSeed;
}

// The turn sought is reached: the watcher sees the game from here on, and
// hears the loop a room would be playing by now.
static void stopSeeking()
{
    if (!seeking)
        return;
    seeking = false;
    player.muteSounds(false);
}

// At 1x: the moment to read a question before it is answered, and to see
// the prompt before a command is typed; then each key of the command.
const unsigned THINKING_MS = 700;
const unsigned KEYSTROKE_MS = 80;

// The watcher's own time before the record answers a read.
static void paceTheRead(bool command, int turn)
{
    if (!watching || seeking)
        return;
    // The question or the prompt is on the screen while the watcher reads it.
    std::cout.flush();
    watchPace.atRead(command, turn);
    watchPace.wait(THINKING_MS);
}

// A line of the record typed out a character at a time.
static void typeOut(const std::string& text)
{
    for (char byte : text) {
        bool continuation = (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
        if (!continuation && byte != '\n')
            watchPace.wait(KEYSTROKE_MS);
        std::cout << byte;
        std::cout.flush();
    }
}

void inputSaveNewGame(unsigned newSeed, RecordStore recordStore, bool headerStored)
{
    record = recordNewHeader(newSeed);
    recordReadHeader(record, &header);
    kept = headerStored ? record.size() : 0;
    saveThrough(recordStore);
}

void inputPlayUnsaved(unsigned newSeed)
{
    if (!record.empty())
        return;
    record = recordNewHeader(newSeed);
    recordReadHeader(record, &header);
}

int inputPlayersOwnKey()
{
    return player.readKey();
}

void inputCommandTurn(int turn)
{
    commandTurn = turn;
}

// A record played again to its end, when the game was put down there:
// said on a line of its own, and nothing is read from the keyboard.
static void putDownHere()
{
    std::cout << '\n' << recordPutDownLine(replayResumeHint) << '\n';
    std::exit(0);
}

// Whether the rest of the record holds the whole of the next line or word,
// as the reader takes them.
static bool wholeReadAhead(std::size_t at, ReadKind kind)
{
    if (kind == WORD)
        at = record.find_first_not_of(" \t\n\r\v\f", at);
    return at != std::string::npos && record.find('\n', at) != std::string::npos;
}

// What a game started again could not take over, for the player to read.
static std::string lostOnTheWay;

// A line is read at the start of a line, a key after its question.
static void goLive(ReadKind kind)
{
    replaying = false;
    if (fastForward) {
        fastForward = false;
        player.muteSounds(false);
    }
    if (!lostOnTheWay.empty()) {
        std::cout.flush();
        std::cerr << (kind == KEY ? "\n" : "") << lostOnTheWay;
        lostOnTheWay.clear();
    }
}

// A line cut short (a crash in the middle of writing it) never reached the
// game: a replay, a transcript and a resumed game all end the record before
// it, and a resumed game's store loses it too, so that the player's next
// line is the next command.
static void dropTheCutLine(std::size_t at)
{
    readerSkipBuffered(readerBufferedCount());
    record.resize(at);
    handedOut = at;
    if (fastForward && kept > at && !saveFailed) {
        if (const char* reason = store.cut(static_cast<long>(at)))
            stopSaving(reason, false);
        else
            kept = at;
    }
}

static bool readingRecord(ReadKind kind)
{
    if (!replaying)
        return false;
    std::size_t at = handedOut - static_cast<std::size_t>(readerBufferedCount());
    if (kind != KEY && at < record.size() && !wholeReadAhead(at, kind))
        dropTheCutLine(at);
    if (at >= record.size()) {
        stopSeeking();
        // A transcript shows what the player saw: at the end of what he
        // typed, the game's own end of input, as when he played it.
        if (!fastForward && !header.ended && !writingTranscript)
            putDownHere();
        if (!fastForward)
            return true;
        goLive(kind);
        return false;
    }
    return true;
}

int inputReadKey()
{
    commandTurn = -1;
    if (readingRecord(KEY)) {
        paceTheRead(false, -1);
        // A transcript has written all it shows as the game began to wait,
        // and is not looked at before its end: a closing screen held down
        // for millions of keys must not cost a flush a key.
        if (!writingTranscript)
            std::cout.flush();
        return readerNextByte(replaySource);
    }
    int key = player.readKey();
    if (key == -1)
        inputEnded = true;
    // The closing screen waits for Escape: any other key there changes
    // nothing, and is no part of the game.
    else if (!gameOver || key == 27)
        keep(std::string(1, static_cast<char>(key)), false, -1);
    return key;
}

// A line or a word, from the record while one is played, else from the
// player, and then into the record.
static bool readText(char* text, int capacity, ReadKind kind, bool (*fromRecord)(InputSource, char*, int),
                     bool (*fromPlayer)(char*, int))
{
    int turn = commandTurn;
    commandTurn = -1;
    bool fromTheRecord = readingRecord(kind);
    if (kind == LINE) {
        std::size_t at = fromTheRecord ? handedOut - static_cast<std::size_t>(readerBufferedCount()) : record.size();
        commandsRead.push_back({at, turn});
        if (seeking && turn >= soughtTurn)
            stopSeeking();
    }
    if (fromTheRecord) {
        paceTheRead(true, kind == LINE ? turn : -1);
        std::cout.flush();
        bool read = fromRecord(replaySource, text, capacity);
        // A replay watched on the screen shows the commands as they were
        // typed, and a resumed game has them to recall with Up.
        if (read && showReplayedLines && watching && !seeking)
            typeOut(std::string(text) + "\n");
        else if (read && showReplayedLines)
            std::cout << text << '\n';
        if (read && kind == LINE && fastForward && player.rememberLine)
            player.rememberLine(text);
        return read;
    }
    bool read = fromPlayer(text, capacity);
    if (read)
        keep(std::string(text) + "\n", true, kind == LINE ? turn : -1);
    else
        inputEnded = true;
    return read;
}

bool inputReadLine(char* line, int capacity)
{
    return readText(line, capacity, LINE, readerReadLine, player.readLine);
}

bool inputReadWord(char* word, int capacity)
{
    return readText(word, capacity, WORD, readerReadWord, player.readWord);
}

// A saved game of the folder goes where its state puts it (see
// savedGameEndedName); a record of any other file stays where it is.
static void placeTheSavedGame(std::string (*newName)(const std::string& path))
{
    if (!saving || saveFailed || !store.file)
        return;
    std::string renamed = newName(store.file());
    if (!renamed.empty())
        recordFileMoveTo(renamed);
}

void inputGameOver()
{
    gameOver = true;
    const char* reason = rewrite(header.stateAt, recordStateWord(true));
    if (!saving || saveFailed)
        return;
    if (!reason)
        reason = store.settle();
    if (reason)
        stopSaving(reason, false);
    else
        placeTheSavedGame(savedGameEndedName);
}

// Where the step to take back begins: the last command line read whole. A
// line being typed at the prompt now has nothing of itself in the record yet.
static std::size_t lastStepStart()
{
    for (auto command = commandsRead.rbegin(); command != commandsRead.rend(); ++command) {
        if (command->offset < record.size())
            return command->offset;
    }
    return std::string::npos;
}

bool inputCanUndo()
{
    return player.startAgain && !replaying && lastStepStart() != std::string::npos;
}

bool inputCanRedo()
{
    return player.startAgain && !replaying && !redoSteps.empty();
}

// The header's turn as the record stands before place: that of the last
// command that took a turn.
static int turnBefore(std::size_t place)
{
    int turn = 0;
    for (const CommandRead& command : commandsRead) {
        if (command.offset < place && command.turn >= 0)
            turn = command.turn;
    }
    return turn;
}

static int turnInHeader()
{
    RecordHeader now = {};
    recordReadHeader(record, &now);
    return now.turn;
}

// A game taken back or put forward is open, at the turn of its last step.
static void setHeaderWords(std::string& bytes, int turn)
{
    bytes.replace(header.stateAt, 5, recordStateWord(false));
    if (header.turnAt > 0 && turn >= 0)
        bytes.replace(header.turnAt, recordTurnWord(turn).size(), recordTurnWord(turn));
}

static std::string stepTaken;

const std::string& inputStepTaken()
{
    return stepTaken;
}

// What a step did, named by its command line.
static std::string stepSaying(const char* what, const std::string& step)
{
    return what + step.substr(0, step.find('\n'));
}

static bool startAgainFrom(HandedOver handed)
{
    handed.saved = saving && !saveFailed;
    if (handed.saved && store.file)
        handed.file = store.file();
    std::cout.flush();
    const char* reason = player.startAgain(writeHandedOver(handed));
    std::cerr << "\nThe game cannot start again from its record: " << reason << ".\n";
    return false;
}

bool inputUndo()
{
    if (!inputCanUndo())
        return false;
    std::size_t start = lastStepStart();
    HandedOver handed = {};
    handed.redo = redoSteps;
    handed.redo.push_back({record.substr(start), turnInHeader()});
    handed.said = stepSaying("Undone: ", handed.redo.back().bytes);
    handed.record = record.substr(0, start);
    setHeaderWords(handed.record, turnBefore(start));
    return startAgainFrom(handed);
}

bool inputRedo()
{
    if (!inputCanRedo())
        return false;
    HandedOver handed = {};
    handed.redo = redoSteps;
    handed.said = stepSaying("Redone: ", handed.redo.back().bytes);
    handed.record = record + handed.redo.back().bytes;
    setHeaderWords(handed.record, handed.redo.back().turn);
    handed.redo.pop_back();
    return startAgainFrom(handed);
}

// The store brought to the record: the header's words first, then the
// input cut back or added to, and all of it made to last, before the game
// goes on.
static void bringTheStoreToTheRecord()
{
    if (!saving)
        return;
    std::size_t wordsEnd = kept < header.inputAt ? kept : header.inputAt;
    const char* reason = nullptr;
    if (wordsEnd > header.stateAt)
        reason = store.write(static_cast<long>(header.stateAt), record.data() + header.stateAt,
                             static_cast<long>(wordsEnd - header.stateAt));
    if (!reason && kept > record.size())
        reason = store.cut(static_cast<long>(record.size()));
    else if (!reason && kept < record.size())
        reason = store.write(static_cast<long>(kept), record.data() + kept, static_cast<long>(record.size() - kept));
    if (!reason)
        reason = store.settle();
    if (reason) {
        stopSaving(reason, true);
        return;
    }
    kept = record.size();
    placeTheSavedGame(savedGameReopenedName);
}

std::string inputFileHandedOver(const std::string& given)
{
    HandedOver handed = readHandedOver(given);
    return handed.saved ? handed.file : std::string();
}

unsigned inputTakeUpGame(const std::string& given, RecordStore givenStore, long storedLength)
{
    HandedOver handed = readHandedOver(given);
    record = handed.record;
    redoSteps = handed.redo;
    stepTaken = handed.said;
    if (!recordReadHeader(record, &header)) {
        std::cerr << "The game cannot start again: what it was handed is no record.\n";
        std::exit(2);
    }
    if (handed.saved && givenStore.write) {
        saveThrough(givenStore);
        kept = static_cast<std::size_t>(storedLength);
    } else if (handed.saved) {
        // Told once the game is played again to where the player is, under it.
        lostOnTheWay = "This game is no longer being saved: its record '" + handed.file +
                       "' cannot be opened again. It plays on unsaved.\n";
    }
    bringTheStoreToTheRecord();
    handedOut = header.inputAt;
    replaying = true;
    fastForward = true;
    player.muteSounds(true);
    return header.seed;
}
