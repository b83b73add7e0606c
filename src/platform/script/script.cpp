// The harness platform behind quorrell-script and the tests: it reads
// standard input as one byte stream, never touches a terminal, never waits,
// and writes every screen and sound operation into the transcript as a
// marker, in the order the game performs them.
#include "platform/input/input_reader.h"
#include "platform/input/options.h"
#include "platform/platform.h"
#include "platform/input/record.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// The player's input: standard input, or a record's.
static InputSource inputSource = readStandardInput;

unsigned platformStart(int argc, char** argv)
{
#ifdef _WIN32
    // A transcript is the same bytes on every platform: no carriage returns
    // slipped in before the newlines.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    CommandLine options = readProgramOptions(argc, argv, false);
    if (options.replayPath) {
        inputSource = recordReplaySource;
        return recordOpenForReplay(options.replayPath);
    }
    return options.seed;
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
