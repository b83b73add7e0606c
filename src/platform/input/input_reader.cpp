#include "platform/input/input_reader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif

static char buffered[4096];
static int bufferedStart = 0;
static int bufferedEnd = 0;
static bool inputEnded = false;

#ifdef _WIN32

// The handle itself, not the C runtime's text mode, which would turn a
// Ctrl-Z into the end of input and a carriage return and newline into one
// byte: the bytes come through as they were sent. A pipe whose writer has
// gone reports it as an error, which is the end of input like any other.
int readStandardInput(char* buffer, int capacity)
{
    DWORD count = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(capacity), &count, nullptr))
        return 0;
    return static_cast<int>(count);
}

#else

int readStandardInputOnce(char* buffer, int capacity)
{
    ssize_t count = read(STDIN_FILENO, buffer, static_cast<size_t>(capacity));
    if (count >= 0)
        return static_cast<int>(count);
    if (errno == EAGAIN) {
        // Standard input was left non-blocking by whoever started the game:
        // sleep until there is something to read instead of spinning on the
        // processor.
        struct pollfd input = {STDIN_FILENO, POLLIN, 0};
        poll(&input, 1, -1);
        return -1;
    }
    return errno == EINTR ? -1 : 0;
}

int readStandardInput(char* buffer, int capacity)
{
    for (;;) {
        int count = readStandardInputOnce(buffer, capacity);
        if (count >= 0)
            return count;
    }
}

#endif

int readerNextByte(InputSource source)
{
    if (bufferedStart == bufferedEnd) {
        // Once the input has ended it stays ended, even on a terminal where a
        // further read could block again.
        if (inputEnded)
            return -1;
        int count = source(buffered, sizeof buffered);
        if (count <= 0) {
            inputEnded = true;
            return -1;
        }
        bufferedStart = 0;
        bufferedEnd = count;
    }
    return static_cast<unsigned char>(buffered[bufferedStart++]);
}

int readerPeekBuffered(int offset)
{
    if (bufferedStart + offset >= bufferedEnd)
        return -1;
    return static_cast<unsigned char>(buffered[bufferedStart + offset]);
}

bool readerTopUp(InputSource source)
{
    if (inputEnded)
        return false;
    if (bufferedStart > 0) {
        for (int place = bufferedStart; place < bufferedEnd; ++place)
            buffered[place - bufferedStart] = buffered[place];
        bufferedEnd -= bufferedStart;
        bufferedStart = 0;
    }
    int room = static_cast<int>(sizeof buffered) - bufferedEnd;
    if (room == 0)
        return false;
    int count = source(buffered + bufferedEnd, room);
    if (count <= 0) {
        // What is still buffered is read first; the end comes after it.
        inputEnded = true;
        return false;
    }
    bufferedEnd += count;
    return true;
}

int readerBufferedCount()
{
    return bufferedEnd - bufferedStart;
}

void readerSkipBuffered(int count)
{
    bufferedStart += count;
    if (bufferedStart > bufferedEnd)
        bufferedStart = bufferedEnd;
}

// A line ends at a newline or at the end of input; a carriage return right
// before the line end is dropped so that scripts saved on Windows play the
// same.
bool readerReadLine(InputSource source, char* line, int capacity)
{
    int length = 0;
    bool sawAnything = false;
    bool lastByteStoredWasReturn = false;
    for (;;) {
        int byte = readerNextByte(source);
        if (byte == -1) {
            if (!sawAnything)
                return false;
            break;
        }
        sawAnything = true;
        if (byte == '\n')
            break;
        lastByteStoredWasReturn = false;
        if (length < capacity - 1) {
            line[length++] = static_cast<char>(byte);
            lastByteStoredWasReturn = byte == '\r';
        }
    }
    if (lastByteStoredWasReturn)
        --length;
    line[length] = '\0';
    return true;
}

static bool isBlank(int byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\v' || byte == '\f';
}

bool readerReadWord(InputSource source, char* word, int capacity)
{
    int byte = readerNextByte(source);
    while (byte != -1 && isBlank(byte))
        byte = readerNextByte(source);
    if (byte == -1)
        return false;
    int length = 0;
    while (byte != -1 && !isBlank(byte)) {
        if (length < capacity - 1)
            word[length++] = static_cast<char>(byte);
        byte = readerNextByte(source);
    }
    word[length] = '\0';
    // The rest of the line belongs to the answer, not to the first command.
    while (byte != -1 && byte != '\n')
        byte = readerNextByte(source);
    return true;
}
