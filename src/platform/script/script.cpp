// The harness platform behind quorrell-script and the tests: it reads
// standard input as one byte stream, never touches a terminal, never waits,
// and writes every screen and sound operation into the transcript as a
// marker, in the order the game performs them.
#include "platform/command_line/options.h"
#include "platform/input/input_reader.h"
#include "platform/platform.h"
#include "platform/records/record.h"
#include "platform/records/record_file.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// The player's input: standard input, or a record's.
static InputSource inputSource = readStandardInput;

static std::string replayed;
static std::size_t replayedUpTo = 0;
static std::string putDownWord;

// The record's input, and then its end, as the end of standard input would
// be: the transcript is the one its seed and input give. Only standard
// error says that the game was put down there.
static int fromTheRecord(char* buffer, int capacity)
{
    std::size_t left = replayed.size() - replayedUpTo;
    std::size_t count = left < static_cast<std::size_t>(capacity) ? left : static_cast<std::size_t>(capacity);
    if (count == 0 && !putDownWord.empty()) {
        std::cerr << putDownWord;
        putDownWord.clear();
    }
    replayed.copy(buffer, count, replayedUpTo);
    replayedUpTo += count;
    return static_cast<int>(count);
}

unsigned platformStart(int argc, char** argv)
{
#ifdef _WIN32
    // A transcript is the same bytes on every platform: no carriage returns
    // slipped in before the newlines.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    CommandLine options = readProgramOptions(argc, argv, false);
    if (options.replayPath) {
        replayed = recordFileLoad(options.replayPath);
        RecordHeader header = {};
        recordReadHeader(replayed, &header);
        replayedUpTo = header.inputAt;
        if (!header.ended)
            putDownWord = recordPutDownLine(recordFileResumeHint(options.replayPath)) + "\n";
        inputSource = fromTheRecord;
        return header.seed;
    }
    return options.seed;
}

void platformCommandTurn(int)
{
}

void platformGameOver()
{
}

void platformGotoXY(int column, int row)
{
    std::cout << "{goto " << column << ',' << row << '}';
}

void platformClearScreen()
{
    std::cout << "{cls}";
}

int platformReadKey()
{
    return readerNextByte(inputSource);
}

bool platformReadLine(char* line, int capacity)
{
    return readerReadLine(inputSource, line, capacity);
}

bool platformReadWord(char* word, int capacity)
{
    return readerReadWord(inputSource, word, capacity);
}

void platformWait(unsigned milliseconds)
{
    std::cout << "{delay " << milliseconds << '}';
}

void platformPlaySound(const char* stem, int mode)
{
    std::cout << (mode == SOUND_LOOP ? "{loop " : "{play ") << stem << '}';
}

void platformStopSound()
{
    std::cout << "{stop}";
}
