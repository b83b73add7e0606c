#include "platform/input/game_input.h"

#include "platform/input/options.h"
#include "platform/input/record.h"

#include <iostream>

static PlayerInput player = {};
static bool showReplayedLines = false;
// A resumed game plays its record at full speed and in silence, and the
// player takes over once the game asks for more than the record holds.
static bool replaying = false;
static bool fastForward = false;
// A transcript plays its record at full speed and in silence to the end.
static bool writingTranscript = false;
static CommandLine options = {};

unsigned inputStart(int argc, char** argv, unsigned clockSeed)
{
    options = readProgramOptions(argc, argv, true);
    unsigned seed = options.seedGiven ? options.seed : clockSeed;
    if (options.recordPath) {
        recordCreate(options.recordPath, seed);
    } else if (options.replayPath) {
        seed = recordOpenForReplay(options.replayPath);
        replaying = true;
    } else if (options.resumePath) {
        seed = recordOpenForResume(options.resumePath);
        replaying = true;
        fastForward = true;
    } else if (options.transcriptPath) {
        seed = recordOpenForReplay(options.transcriptPath);
        replaying = true;
        writingTranscript = true;
    }
    return seed;
}

const CommandLine& inputOptions()
{
    return options;
}

void inputConnectPlayer(const PlayerInput& playerInput, InputSource live, bool showReplayed)
{
    player = playerInput;
    showReplayedLines = showReplayed;
    recordGoOnFrom(live);
    if (fastForward || writingTranscript)
        player.muteSounds(true);
}

bool inputFastForward()
{
    return fastForward || writingTranscript;
}

static bool readingRecord()
{
    if (fastForward && recordReplayUsedUp() && readerPeekBuffered(0) == -1) {
        replaying = false;
        fastForward = false;
        player.muteSounds(false);
    }
    return replaying;
}

int inputReadKey()
{
    if (readingRecord()) {
        std::cout.flush();
        return readerNextByte(recordReplaySource);
    }
    int key = player.readKey();
    if (key == -1)
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
        // A replay watched on the screen shows the commands as they were
        // typed.
        if (read && showReplayedLines)
            std::cout << text << '\n';
        return read;
    }
    bool read = fromPlayer(text, capacity);
    if (read)
        recordLine(text);
    else
        recordEndOfInput();
    return read;
}

bool inputReadLine(char* line, int capacity)
{
    return readText(line, capacity, readerReadLine, player.readLine);
}

bool inputReadWord(char* word, int capacity)
{
    return readText(word, capacity, readerReadWord, player.readWord);
}
