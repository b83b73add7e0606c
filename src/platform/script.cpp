// The harness platform behind quorrell-script and the tests: it reads
// standard input as one byte stream, never touches a terminal, never waits,
// and writes every screen and sound operation into the transcript as a
// marker, in the order the game performs them.
#include "input_reader.h"
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

static void printUsageAndExit()
{
    std::cerr << "usage: quorrell-script [--seed N]\n";
    std::exit(2);
}

unsigned platformStart(int argc, char** argv)
{
#ifdef _WIN32
    // A transcript is the same bytes on every platform: no carriage returns
    // slipped in before the newlines.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    unsigned long seed = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") != 0 || i + 1 >= argc)
            printUsageAndExit();
        char* end = nullptr;
        seed = std::strtoul(argv[++i], &end, 10);
        if (end == argv[i] || *end != '\0' || seed > 0xFFFFFFFFul)
            printUsageAndExit();
    }
    return static_cast<unsigned>(seed);
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
    return readerNextByte(readStandardInput);
}

bool platformReadLine(char* line, int capacity)
{
    return readerReadLine(readStandardInput, line, capacity);
}

bool platformReadWord(char* word, int capacity)
{
    return readerReadWord(readStandardInput, word, capacity);
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
