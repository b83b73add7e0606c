#include "platform/records/game_input.h"

#include "platform/command_line/options.h"
#include "platform/input/input_reader.h"
#include "platform/records/record.h"
#include "platform/records/record_file.h"
#include "platform/records/saved_games.h"

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <utility>
#include <vector>

static PlayerInput player = {};
static bool showReplayedLines = false;

static CommandLine options = {};
static unsigned seed = 0;
static std::string namedRecord;
static RecordStore namedStore = {};

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

const CommandLine& inputOptions()
{
    return options;
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

const std::string& inputNamedRecord()
{
    return namedRecord;
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

// The record an option names by the number --games gives it, as its file.
static std::string numberedRecord;

static void findNumberedRecord(const char*& path, const char* option)
{
    if (!path)
        return;
    numberedRecord = savedGameOrFile(option, path);
    path = numberedRecord.c_str();
}

// The record that --watch, --share or --asciicast names, or null.
static const char* watchedRecord(const CommandLine& commandLine)
{
    return commandLine.watchPath ? commandLine.watchPath
         : commandLine.sharePath ? commandLine.sharePath : commandLine.asciicastPath;
}

// A set-aside game taken up again is offered again, like any other, once
// it is put down.
static RecordStore resumeNamedRecord(const char* path)
{
    RecordStore recordStore = recordFileOpenForResume(path, &namedRecord);
    std::string back = savedGameOutOfAside(path);
    if (!back.empty())
        recordFileMoveTo(back);
    return recordStore;
}

void inputStart(int argc, char** argv, unsigned clockSeed)
{
    options = readProgramOptions(argc, argv, true);
    if (options.listGames)
        answerCommandLine(savedGamesListing(savedGamesFolder()), "list of games");
    // The options take one record at a time.
    findNumberedRecord(options.replayPath, "--replay");
    findNumberedRecord(options.resumePath, "--resume");
    findNumberedRecord(options.transcriptPath, "--transcript");
    findNumberedRecord(options.watchPath, "--watch");
    findNumberedRecord(options.sharePath, "--share");
    findNumberedRecord(options.asciicastPath, "--asciicast");
    seed = options.seedGiven ? options.seed : clockSeed;
    if (options.recordPath)
        inputSaveNewGame(seed, recordFileCreate(options.recordPath, seed), true);
    else if (options.replayPath)
        namedRecord = recordFileLoad(options.replayPath);
    else if (options.resumePath)
        namedStore = resumeNamedRecord(options.resumePath);
    else if (options.transcriptPath)
        namedRecord = recordFileLoad(options.transcriptPath);
    else if (const char* watched = watchedRecord(options))
        namedRecord = recordFileLoad(watched);
}

// A key at the lines before the title: Escape, Ctrl-C or the end of input
// leaves, as at the title.
static int keyBeforeTheTitle()
{
    int key = player.readKey();
    if (key == 27 || key == 3 || key == -1)
        std::exit(0);
    return key;
}

// Where the game put down went when the player starts afresh, told before
// the title clears the screen, and read before it does.
static void setTheGameAside(const std::string& path)
{
    std::string aside;
    std::string reason;
    if (recordFileInUse(path))
        std::cout << "Another game has just picked it up, and it is left to that game.\n";
    else if (setAsideGame(path, &aside, &reason))
        std::cout << "It is set aside: " << recordFileResumeHint(aside) << " plays it on.\n";
    else if (reason.empty())
        std::cout << "Another game has just picked it up or set it aside.\n";
    else
        std::cout << "It cannot be set aside (" << reason << "), and will be offered again.\n";
    std::cout << "Press a key for a new game ";
    keyBeforeTheTitle();
    std::cout << '\n';
}

// The one line before the title that offers back the game put down last.
// Its answer is the player's, never the record's, and is kept out of it.
static bool offerThePutDownGame(const std::string& folder)
{
    PutDownGame game = {};
    if (options.seedGiven || folder.empty() || !findPutDownGame(folder, &game))
        return false;
    std::cout << "You put down a game on " << dayOf(game.putDownAt) << ", at turn " << game.turn
              << ". Pick it up?  Y or N";
    int key = 0;
    while (key != 'y' && key != 'n')
        key = std::tolower(keyBeforeTheTitle());
    std::cout << "  " << static_cast<char>(key) << '\n';
    if (key == 'n') {
        setTheGameAside(game.path);
        return false;
    }
    std::string bytes;
    RecordStore gameStore = recordFileOpenForResume(game.path.c_str(), &bytes);
    seed = inputResumeRecord(std::move(bytes), gameStore);
    return true;
}

unsigned inputBeginGame(bool playersKeyboard)
{
    // A game that is not saved still has its record, for the player to
    // take back what he typed.
    if (record.empty()) {
        record = recordNewHeader(seed);
        recordReadHeader(record, &header);
    }
    // The record named is handed on, not copied: it may be a big one.
    if (options.replayPath) {
        seed = inputReplayRecord(std::move(namedRecord), recordFileResumeHint(options.replayPath));
    } else if (options.transcriptPath) {
        seed = inputTranscribeRecord(std::move(namedRecord));
    } else if (options.watchPath || options.asciicastPath) {
        seed = inputWatchRecord(std::move(namedRecord), recordFileResumeHint(watchedRecord(options)), 0);
    } else if (options.resumePath) {
        seed = inputResumeRecord(std::move(namedRecord), namedStore);
    } else if (playersKeyboard && !options.noSave) {
        std::string folder = savedGamesFolder();
        if (!offerThePutDownGame(folder))
            inputSaveNewGame(seed, recordFileInFolder(folder), false);
    }
    return seed;
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

static void goLive()
{
    replaying = false;
    if (fastForward) {
        fastForward = false;
        player.muteSounds(false);
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
        goLive();
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
    else
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
