#include "platform/input/record.h"

#include "platform/input/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/file.h>
#endif

// quorrell-script replays records on Windows too, where files are opened
// in text mode unless told otherwise.
#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

static const char MAGIC[] = "Quorrell record\n";
static const char FORMAT[] = "format 1\n";
// The state has a fixed width so that it can be rewritten in place.
static const char STATE_OPEN[] = "open ";
static const char STATE_ENDED[] = "ended";

static int recordFile = -1;
static bool writing = false;
static off_t stateOffset = 0;
static off_t readOffset = 0;
static off_t replayEnd = 0;
static off_t writeOffset = 0;
static bool inputEnded = false;
static InputSource liveSource = nullptr;

static void refuse(const std::string& problem)
{
    refuseCommandLine(problem.c_str());
}

static std::string quoted(const char* path)
{
    return std::string("'") + path + "'";
}

// One thread reads and writes the record, so a seek before each is all a
// positioned read or write needs, here and on Windows.
static long readAt(off_t offset, char* bytes, std::size_t count)
{
    if (lseek(recordFile, offset, SEEK_SET) != offset)
        return -1;
    return static_cast<long>(read(recordFile, bytes, static_cast<unsigned>(count)));
}

static bool writeAll(off_t offset, const char* bytes, std::size_t count)
{
    while (count > 0) {
        if (lseek(recordFile, offset, SEEK_SET) != offset)
            return false;
        long written = static_cast<long>(write(recordFile, bytes, static_cast<unsigned>(count)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

static void append(const char* bytes, std::size_t count)
{
    if (writing && writeAll(writeOffset, bytes, count))
        writeOffset += static_cast<off_t>(count);
}

// A game that left by any way but the end of input has really ended; one
// cut short by a signal or a crash never gets here and stays open.
static void markEnded()
{
    if (writing && !inputEnded)
        writeAll(stateOffset, STATE_ENDED, sizeof STATE_ENDED - 1);
}

// Reads the header: false when the file is no record. The seed, the state
// and where the input starts are filled in.
static bool readHeader(unsigned& seed, bool& ended, off_t& inputStart)
{
    char header[128];
    long count = readAt(0, header, sizeof header - 1);
    if (count <= 0)
        return false;
    header[count] = '\0';
    std::size_t place = sizeof MAGIC - 1;
    if (std::strncmp(header, MAGIC, place) != 0 || std::strncmp(header + place, FORMAT, sizeof FORMAT - 1) != 0)
        return false;
    place += sizeof FORMAT - 1;
    if (std::strncmp(header + place, "seed ", 5) != 0)
        return false;
    place += 5;
    const char* seedStart = header + place;
    const char* lineEnd = std::strchr(seedStart, '\n');
    if (!lineEnd)
        return false;
    std::string seedText(seedStart, lineEnd);
    unsigned value = 0;
    if (!parseSeed(seedText.c_str(), &value))
        return false;
    place += seedText.size() + 1;
    if (std::strncmp(header + place, "state ", 6) != 0)
        return false;
    place += 6;
    stateOffset = static_cast<off_t>(place);
    if (std::strncmp(header + place, STATE_OPEN, 5) == 0)
        ended = false;
    else if (std::strncmp(header + place, STATE_ENDED, 5) == 0)
        ended = true;
    else
        return false;
    if (header[place + 5] != '\n')
        return false;
    seed = value;
    inputStart = static_cast<off_t>(place + 6);
    return true;
}

// Two games writing one record would interleave their keys into a game that
// neither played. The lock goes with the process, however it ends.
static void claimForThisGame(const char* path)
{
#ifndef _WIN32
    if (flock(recordFile, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        refuse(quoted(path) + " is being played by another game right now");
#else
    (void)path;
#endif
}

static off_t fileSize()
{
    struct stat status = {};
    if (fstat(recordFile, &status) != 0)
        return 0;
    return status.st_size;
}

void recordCreate(const char* path, unsigned seed)
{
    recordFile = open(path, O_RDWR | O_CREAT | O_BINARY | O_CLOEXEC, 0644);
    if (recordFile < 0)
        refuse("cannot write the record " + quoted(path) + ": " + std::strerror(errno));
    claimForThisGame(path);
    unsigned oldSeed = 0;
    bool ended = false;
    off_t inputStart = 0;
    // Only an empty file or an old record is written over.
    if (fileSize() > 0 && !readHeader(oldSeed, ended, inputStart))
        refuse(quoted(path) + " is not a Quorrell record, and is left as it is");
    std::string header = std::string(MAGIC) + FORMAT + "seed " + std::to_string(seed) + "\nstate ";
    stateOffset = static_cast<off_t>(header.size());
    header += STATE_OPEN;
    header += '\n';
    if (ftruncate(recordFile, 0) != 0 || !writeAll(0, header.data(), header.size()))
        refuse("cannot write the record " + quoted(path) + ": " + std::strerror(errno));
    writeOffset = static_cast<off_t>(header.size());
    writing = true;
    std::atexit(markEnded);
}

static unsigned openExisting(const char* path, bool forResume)
{
    recordFile = open(path, (forResume ? O_RDWR : O_RDONLY) | O_BINARY | O_CLOEXEC);
    if (recordFile < 0)
        refuse(std::string("cannot ") + (forResume ? "open" : "read") + " the record " + quoted(path) + ": " +
               std::strerror(errno));
    unsigned seed = 0;
    bool ended = false;
    off_t inputStart = 0;
    if (!readHeader(seed, ended, inputStart))
        refuse(quoted(path) + " is not a Quorrell record");
    if (forResume)
        claimForThisGame(path);
    if (forResume && ended)
        refuse("the game in " + quoted(path) + " has ended and cannot be resumed; --replay shows it again");
    readOffset = inputStart;
    replayEnd = fileSize();
    return seed;
}

unsigned recordOpenForReplay(const char* path)
{
    return openExisting(path, false);
}

unsigned recordOpenForResume(const char* path)
{
    unsigned seed = openExisting(path, true);
    writeOffset = replayEnd;
    writing = true;
    std::atexit(markEnded);
    return seed;
}

void recordGoOnFrom(InputSource live)
{
    liveSource = live;
}

bool recordReplayUsedUp()
{
    return readOffset >= replayEnd;
}

int recordReplaySource(char* buffer, int capacity)
{
    if (readOffset >= replayEnd) {
        // Only a record cut off in the middle of a line gets here: the
        // player's keys finish it.
        if (!liveSource)
            return 0;
        int count = liveSource(buffer, capacity);
        if (count > 0)
            append(buffer, static_cast<std::size_t>(count));
        return count;
    }
    off_t left = replayEnd - readOffset;
    std::size_t wanted = left < capacity ? static_cast<std::size_t>(left) : static_cast<std::size_t>(capacity);
    for (;;) {
        long count = readAt(readOffset, buffer, wanted);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return 0;
        readOffset += count;
        return static_cast<int>(count);
    }
}

void recordKey(int key)
{
    char byte = static_cast<char>(key);
    append(&byte, 1);
}

void recordLine(const char* line)
{
    std::string bytes = std::string(line) + "\n";
    append(bytes.data(), bytes.size());
}

void recordEndOfInput()
{
    inputEnded = true;
}
