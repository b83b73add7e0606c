#include "platform/records/record_file.h"

#include "platform/command_line/options.h"
#include "platform/records/record.h"

#include <cerrno>
#include <cstdio>
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
// A record is never opened through a symbolic link: one planted in the
// folder of saved games would have the game write wherever it points.
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
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

static int statWithoutFollowing(const char* path, struct stat* status)
{
    return stat(path, status);
}

int recordFolderMake(const std::string& path)
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

static int statWithoutFollowing(const char* path, struct stat* status)
{
    return lstat(path, status);
}

int recordFolderMake(const std::string& path)
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
    int file = open(path.c_str(), O_RDONLY | O_BINARY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
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
    if (statWithoutFollowing(path, &status) != 0 || S_ISREG(status.st_mode))
        return;
    const char* kind = "no plain file";
#ifdef S_ISLNK
    if (S_ISLNK(status.st_mode))
        kind = "a symbolic link";
    else
#endif
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
    // Room for the whole of a big record at once: grown as it is read, the
    // string would hold twice its size for a moment.
    struct stat status = {};
    if (fstat(file, &status) == 0 && status.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    static char buffer[65536];
    bool headerChecked = false;
    for (;;) {
        long count = static_cast<long>(read(file, buffer, sizeof buffer));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(count));
        if (!headerChecked && bytes.size() >= 4096) {
            headerChecked = true;
            std::string start = bytes.substr(0, 4096);
            RecordHeader header = {};
            recordUndoTextModeCopy(start);
            if (!recordReadHeader(start, &header))
                return true;
        }
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

// What the player is told of a file whose header is wrong: which line and
// why, when it starts as a record does.
static std::string notARecord(const char* path, const std::string& problem)
{
    if (problem.empty())
        return quoted(path) + " is not a Quorrell record";
    return quoted(path) + " is not a record this game can read: " + problem;
}

RecordStore recordFileCreate(const char* path, unsigned seed)
{
    refuseAnythingButAFile(path);
    recordPath = path;
    recordFile = open(path, O_RDWR | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC | O_NOFOLLOW, 0600);
    madeHere = recordFile >= 0;
    if (!madeHere && errno == EEXIST)
        recordFile = open(path, O_RDWR | O_BINARY | O_CLOEXEC | O_NOFOLLOW);
    if (recordFile < 0)
        refuse("cannot write the record " + quoted(path) + ": " + std::strerror(errno));
    holdForThisGame(path);
    std::string bytes;
    if (!madeHere) {
        if (!readWhole(recordFile, bytes))
            refuse("cannot read " + quoted(path) + ": " + std::strerror(errno));
        recordUndoTextModeCopy(bytes);
        RecordHeader header = {};
        std::string problem;
        if (!bytes.empty() && !recordReadHeader(bytes, &header, &problem))
            refuse(notARecord(path, problem) + ", and is left as it is");
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
    int file = open(path.c_str(), O_RDONLY | O_BINARY | O_CLOEXEC | O_NOFOLLOW);
    if (file < 0)
        return false;
    bool read = readWhole(file, bytes);
    int readError = errno;
    close(file);
    errno = readError;
    return read;
}

bool recordFileReadHeader(const std::string& path, RecordHeader* header, bool* hasInput)
{
    int file = open(path.c_str(), O_RDONLY | O_BINARY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (file < 0)
        return false;
    // A header is some seventy bytes, a text-mode copy's a few more: what
    // is read past it shows whether input follows. A folder or a pipe gives
    // no header.
    char start[512];
    long count = static_cast<long>(read(file, start, sizeof start));
    close(file);
    if (count < 0)
        return false;
    std::string bytes(start, static_cast<std::size_t>(count));
    recordUndoTextModeCopy(bytes);
    if (!recordReadHeader(bytes, header))
        return false;
    *hasInput = bytes.size() > header->inputAt;
    return true;
}

std::string recordFileLoad(const char* path)
{
    refuseAnythingButAFile(path);
    std::string bytes;
    if (!recordFileRead(path, bytes))
        refuse("cannot read the record " + quoted(path) + ": " + std::strerror(errno));
    recordUndoTextModeCopy(bytes);
    RecordHeader header = {};
    std::string problem;
    if (!recordReadHeader(bytes, &header, &problem))
        refuse(notARecord(path, problem));
    return bytes;
}

void recordFileLetGo()
{
    if (recordFile >= 0)
        close(recordFile);
    recordFile = -1;
}

// Puts the new file in the place of the record at path, and makes it the
// record being played, held for this game.
static bool takeThePlaceOf(const char* path, int newFile, const std::string& newPath)
{
#ifdef _WIN32
    // Windows renames no open file.
    close(newFile);
    close(recordFile);
    recordFile = -1;
    if (!MoveFileExA(newPath.c_str(), path, MOVEFILE_REPLACE_EXISTING))
        return false;
    recordFile = open(path, O_RDWR | O_BINARY | O_CLOEXEC);
    return recordFile >= 0 && lockRecord(recordFile, true);
#else
    lockRecord(newFile, true);
    if (std::rename(newPath.c_str(), path) != 0)
        return false;
    close(recordFile);
    recordFile = newFile;
    return true;
#endif
}

// A text-mode copy taken up again is first written back as the record it
// was, so that what the game adds goes where the record says: into a new
// file beside it, which then takes its name.
static void writeBackTheOriginal(const char* path, const std::string& original)
{
    // The game holds the record, so a file of this name is one left by a
    // game cut short while it wrote it.
    std::string beside = std::string(path) + ".restoring";
    int restored = open(beside.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_BINARY | O_CLOEXEC | O_NOFOLLOW, 0600);
    bool written = restored >= 0;
    for (std::size_t place = 0; written && place < original.size();) {
        long count = static_cast<long>(write(restored, original.data() + place, static_cast<unsigned>(original.size() - place)));
        if (count < 0 && errno == EINTR)
            continue;
        written = count > 0;
        place += written ? static_cast<std::size_t>(count) : 0;
    }
    written = written && settleFile(restored) == 0 && takeThePlaceOf(path, restored, beside);
    if (!written) {
        std::string reason = std::strerror(errno);
        unlink(beside.c_str());
        refuse("cannot write " + quoted(path) + " back as the record it was before it was copied: " + reason);
    }
    settleFolderOf(path);
}

RecordStore recordFileOpenForResume(const char* path, std::string* record)
{
    refuseAnythingButAFile(path);
    recordPath = path;
    recordFile = open(path, O_RDWR | O_BINARY | O_CLOEXEC | O_NOFOLLOW);
    if (recordFile < 0 || !readWhole(recordFile, *record))
        refuse("cannot open the record " + quoted(path) + ": " + std::strerror(errno));
    bool copiedAsText = recordUndoTextModeCopy(*record);
    RecordHeader header = {};
    std::string problem;
    if (!recordReadHeader(*record, &header, &problem))
        refuse(notARecord(path, problem));
    holdForThisGame(path);
    if (header.ended)
        refuse("the game in " + quoted(path) + " has ended and cannot be resumed; --replay shows it again");
    if (copiedAsText)
        writeBackTheOriginal(path, *record);
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
    recordFile = open(recordPath.c_str(), O_RDWR | O_BINARY | O_CLOEXEC | O_NOFOLLOW);
    if (recordFile < 0 || !readWhole(recordFile, stored) || !lockRecord(recordFile, true)) {
        recordFileLetGo();
        return {};
    }
    writtenLength = settledLength = static_cast<long>(stored.size());
    *storedLength = writtenLength;
    return fileStore();
}

bool recordFileMoveTo(const std::string& path)
{
    if (recordFile < 0 || std::rename(recordPath.c_str(), path.c_str()) != 0)
        return false;
    recordPath = path;
    settleFolderOf(path);
    return true;
}

// Every folder on the way is made as the last one is, for the player alone;
// the ones already there are left as they are.
static bool makeFolders(const std::string& folder)
{
    int error = 0;
    std::size_t end = 0;
    do {
        end = folder.find_first_of("/\\", end + 1);
        error = recordFolderMake(folder.substr(0, end)) != 0 && errno != EEXIST ? errno : 0;
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
        recordFile = open(recordPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC | O_NOFOLLOW, 0600);
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
