#include "platform/records/record_file.h"

#include "platform/command_line/options.h"
#include "platform/records/record.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif

// Records are bytes on every machine: Windows would otherwise open them in
// text mode.
#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

static int recordFile = -1;
static std::string recordPath;
// The folder a new game's record is made in with its first write.
static std::string folderOfNewRecord;
static std::string startedAt;
// A record this game made or found empty is taken away again when the game
// reads nothing; a record being resumed never is.
static bool madeHere = false;
static bool forgettable = false;
static long writtenLength = 0;
static long settledLength = 0;
static std::string failure;

static std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

static void refuse(const std::string& problem)
{
    refuseCommandLine(problem.c_str());
}

static const char* failed(const std::string& reason)
{
    failure = reason;
    return failure.c_str();
}

#ifdef _WIN32

static int settleFile(int file)
{
    return _commit(file);
}

static int makeOneFolder(const std::string& path)
{
    return _mkdir(path.c_str());
}

static void settleFolderOf(const std::string&)
{
}

// A lock far past the end of any record keeps no reader out, as a lock on
// the record's own bytes would on Windows.
static bool lockRecord(int file, bool exclusive)
{
    OVERLAPPED place = {};
    place.Offset = 0xFFFFFFF0u;
    place.OffsetHigh = 0x7FFFFFFFu;
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    return LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(file)), flags, 0, 1, 0, &place) != 0;
}

#else

static int settleFile(int file)
{
    return fdatasync(file);
}

static int makeOneFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0700);
}

// A new file is only there after a crash once its folder's entry is on the
// disk too.
static void settleFolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int handle = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle >= 0) {
        fsync(handle);
        close(handle);
    }
}

static bool lockRecord(int file, bool exclusive)
{
    return flock(file, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

#endif

// Two games writing one record would interleave their keys into a game that
// neither played. The lock goes with the process, however it ends.
static void holdForThisGame(const char* path)
{
    if (!lockRecord(recordFile, true))
        refuse(quoted(path) + " is being played by another game right now");
}

bool recordFileInUse(const std::string& path)
{
    int file = open(path.c_str(), O_RDONLY | O_BINARY | O_CLOEXEC);
    if (file < 0)
        return false;
    bool inUse = !lockRecord(file, false);
    close(file);
    return inUse;
}

std::string recordFileResumeHint(const std::string& path)
{
    return "quorrell --resume " + quoted(path);
}

// Anything but a plain file is refused by name before it is opened: a
// named pipe would keep the game waiting for a writer that never comes.
static void refuseAnythingButAFile(const char* path)
{
    struct stat status = {};
    if (stat(path, &status) != 0 || S_ISREG(status.st_mode))
        return;
    const char* kind = "no plain file";
    if (S_ISDIR(status.st_mode))
        kind = "a folder";
    else if (S_ISCHR(status.st_mode))
        kind = "a device";
#ifdef S_ISFIFO
    else if (S_ISFIFO(status.st_mode))
        kind = "a named pipe";
#endif
#ifdef S_ISBLK
    else if (S_ISBLK(status.st_mode))
        kind = "a device";
#endif
    refuse(quoted(path) + " is " + kind + ", not a record");
}

static bool writeAll(long offset, const char* bytes, long count)
{
    while (count > 0) {
        if (lseek(recordFile, offset, SEEK_SET) != offset)
            return false;
        long written = static_cast<long>(write(recordFile, bytes, static_cast<unsigned>(count)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        bytes += written;
        count -= written;
        offset += written;
    }
    return true;
}

// The whole file, or as much of it as shows it is no record: a large file
// named by mistake is not read to its end.
static bool readWhole(int file, std::string& bytes)
{
    bytes.clear();
    if (lseek(file, 0, SEEK_SET) != 0)
        return false;
    char buffer[4096];
    RecordHeader header = {};
    for (;;) {
        long count = static_cast<long>(read(file, buffer, sizeof buffer));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(count));
        if (bytes.size() >= sizeof buffer && !recordReadHeader(bytes, &header))
            return true;
    }
}

static const char* writeToFile(long offset, const char* bytes, long count);

static const char* settleTheFile()
{
    if (recordFile < 0)
        return nullptr;
    if (settleFile(recordFile) != 0) {
        int error = errno;
        // What the disk did not take for sure is not left to be half there.
        if (ftruncate(recordFile, settledLength) == 0)
            writtenLength = settledLength;
        return failed("cannot write to " + quoted(recordPath) + ": " + std::strerror(error));
    }
    settledLength = writtenLength;
    return nullptr;
}

static const char* cutTheFile(long length)
{
    if (ftruncate(recordFile, length) != 0)
        return failed("cannot write to " + quoted(recordPath) + ": " + std::strerror(errno));
    writtenLength = length;
    return settleTheFile();
}

static void forgetTheFile()
{
    if (recordFile < 0 || !forgettable)
        return;
    if (madeHere) {
        close(recordFile);
        recordFile = -1;
        unlink(recordPath.c_str());
    } else if (ftruncate(recordFile, 0) == 0) {
        settleFile(recordFile);
    }
}

static std::string resumeHintOfTheFile()
{
    return recordFileResumeHint(recordPath);
}

static std::string pathOfTheFile()
{
    return recordPath;
}

static RecordStore fileStore()
{
    return {writeToFile, settleTheFile, cutTheFile, forgetTheFile, resumeHintOfTheFile, pathOfTheFile};
}

RecordStore recordFileCreate(const char* path, unsigned seed)
{
    refuseAnythingButAFile(path);
    recordPath = path;
    recordFile = open(path, O_RDWR | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, 0644);
    madeHere = recordFile >= 0;
    if (!madeHere && errno == EEXIST)
        recordFile = open(path, O_RDWR | O_BINARY | O_CLOEXEC);
    if (recordFile < 0)
        refuse("cannot write the record " + quoted(path) + ": " + std::strerror(errno));
    holdForThisGame(path);
    std::string bytes;
    if (!madeHere) {
        if (!readWhole(recordFile, bytes))
            refuse("cannot read " + quoted(path) + ": " + std::strerror(errno));
        RecordHeader header = {};
        if (!bytes.empty() && !recordReadHeader(bytes, &header))
            refuse(quoted(path) + " is not a Quorrell record, and is left as it is");
        if (!bytes.empty() && header.ended)
            refuse(quoted(path) + " holds a game that has ended, and is left as it is; quorrell --replay " +
                   quoted(path) + " shows it again");
        if (!bytes.empty())
            refuse(quoted(path) + " holds a game put down at turn " + std::to_string(recordTurns(bytes, header)) +
                   ", and is left as it is; " + recordFileResumeHint(path) + " plays on");
    }
    forgettable = true;
    std::string header = recordNewHeader(seed);
    if (!writeAll(0, header.data(), static_cast<long>(header.size())) || settleFile(recordFile) != 0) {
        std::string reason = std::strerror(errno);
        forgetTheFile();
        refuse("cannot write the record " + quoted(path) + ": " + reason);
    }
    if (madeHere)
        settleFolderOf(path);
    writtenLength = settledLength = static_cast<long>(header.size());
    return fileStore();
}

bool recordFileRead(const std::string& path, std::string& bytes)
{
    int file = open(path.c_str(), O_RDONLY | O_BINARY | O_CLOEXEC);
    if (file < 0)
        return false;
    bool read = readWhole(file, bytes);
    int readError = errno;
    close(file);
    errno = readError;
    return read;
}

std::string recordFileLoad(const char* path)
{
    refuseAnythingButAFile(path);
    std::string bytes;
    if (!recordFileRead(path, bytes))
        refuse("cannot read the record " + quoted(path) + ": " + std::strerror(errno));
    RecordHeader header = {};
    if (!recordReadHeader(bytes, &header))
        refuse(quoted(path) + " is not a Quorrell record");
    return bytes;
}

void recordFileLetGo()
{
    if (recordFile >= 0)
        close(recordFile);
    recordFile = -1;
}

RecordStore recordFileOpenForResume(const char* path, std::string* record)
{
    refuseAnythingButAFile(path);
    recordPath = path;
    recordFile = open(path, O_RDWR | O_BINARY | O_CLOEXEC);
    if (recordFile < 0 || !readWhole(recordFile, *record))
        refuse("cannot open the record " + quoted(path) + ": " + std::strerror(errno));
    RecordHeader header = {};
    if (!recordReadHeader(*record, &header))
        refuse(quoted(path) + " is not a Quorrell record");
    holdForThisGame(path);
    if (header.ended)
        refuse("the game in " + quoted(path) + " has ended and cannot be resumed; --replay shows it again");
    writtenLength = settledLength = static_cast<long>(record->size());
    return fileStore();
}

// Its game may have ended: a step is taken back from the closing screen. A
// file gone or held by another game leaves the game to play on unsaved.
RecordStore recordFileHandedOver(const std::string& handedOver, long* storedLength)
{
    *storedLength = 0;
    recordPath = inputFileHandedOver(handedOver);
    if (recordPath.empty())
        return {};
    std::string stored;
    recordFile = open(recordPath.c_str(), O_RDWR | O_BINARY | O_CLOEXEC);
    if (recordFile < 0 || !readWhole(recordFile, stored) || !lockRecord(recordFile, true)) {
        recordFileLetGo();
        return {};
    }
    writtenLength = settledLength = static_cast<long>(stored.size());
    *storedLength = writtenLength;
    return fileStore();
}

// Every folder on the way is made as the last one is, for the player alone;
// the ones already there are left as they are.
static bool makeFolders(const std::string& folder)
{
    int error = 0;
    std::size_t end = 0;
    do {
        end = folder.find_first_of("/\\", end + 1);
        error = makeOneFolder(folder.substr(0, end)) != 0 && errno != EEXIST ? errno : 0;
    } while (end != std::string::npos);
    struct stat status = {};
    if (stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return true;
    failed("cannot make the folder " + quoted(folder) + ": " + std::strerror(error ? error : ENOTDIR));
    return false;
}

static bool makeTheRecordInFolder()
{
    if (folderOfNewRecord.empty()) {
#ifdef _WIN32
        failed("LOCALAPPDATA does not name a folder to save it in");
#else
        failed("neither XDG_STATE_HOME nor HOME names a folder to save it in");
#endif
        return false;
    }
    if (!makeFolders(folderOfNewRecord))
        return false;
#ifdef _WIN32
    const char* separator = "\\";
#else
    const char* separator = "/";
#endif
    // Two games started in the same second each get a name of their own.
    for (int copy = 1; recordFile < 0; ++copy) {
        recordPath = folderOfNewRecord + separator + "game-" + startedAt +
                     (copy > 1 ? "-" + std::to_string(copy) : std::string()) + ".rec";
        recordFile = open(recordPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, 0600);
        if (recordFile < 0 && (errno != EEXIST || copy == 100)) {
            failed("cannot make " + quoted(recordPath) + ": " + std::strerror(errno));
            return false;
        }
    }
    madeHere = true;
    forgettable = true;
    lockRecord(recordFile, true);
    settleFolderOf(recordPath);
    return true;
}

static const char* writeToFile(long offset, const char* bytes, long count)
{
    if (recordFile < 0 && !makeTheRecordInFolder())
        return failure.c_str();
    long lengthBefore = writtenLength;
    if (!writeAll(offset, bytes, count)) {
        int error = errno;
        // A line half written would run into the next one on a replay.
        if (offset + count > lengthBefore && ftruncate(recordFile, lengthBefore) == 0)
            writtenLength = lengthBefore;
        return failed("cannot write to " + quoted(recordPath) + ": " + std::strerror(error));
    }
    if (offset + count > writtenLength)
        writtenLength = offset + count;
    return nullptr;
}

RecordStore recordFileInFolder(const std::string& folder)
{
    folderOfNewRecord = folder;
    std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", std::localtime(&now));
    startedAt = stamp;
    return fileStore();
}
