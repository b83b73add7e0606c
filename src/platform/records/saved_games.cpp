#include "platform/records/saved_games.h"

#include "platform/records/record.h"
#include "platform/records/record_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <ctime>
#include <sys/stat.h>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#endif

static const char PREFIX[] = "game-";
static const char SUFFIX[] = ".rec";
static const char SET_ASIDE[] = "-set-aside.rec";

// A game not ended, with when its record was last written.
struct Candidate {
    std::string name;
    long long writtenAt;
    RecordHeader header;
};

#ifdef _WIN32

static const char SEPARATOR = '\\';

std::string savedGamesFolder()
{
    const char* local = std::getenv("LOCALAPPDATA");
    return local && *local ? std::string(local) + "\\Quorrell" : std::string();
}

static std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    struct _finddata_t found;
    intptr_t search = _findfirst((folder + "\\" + PREFIX + "*" + SUFFIX).c_str(), &found);
    if (search == -1)
        return names;
    do
        names.push_back(found.name);
    while (_findnext(search, &found) == 0);
    _findclose(search);
    return names;
}

static bool lastWritten(const std::string& path, long long* time)
{
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    *time = static_cast<long long>(status.st_mtime);
    return true;
}

static std::string fullPath(const std::string& path)
{
    char full[_MAX_PATH];
    return _fullpath(full, path.c_str(), sizeof full) ? std::string(full) : std::string();
}

#else

static const char SEPARATOR = '/';

// A relative XDG_STATE_HOME is ignored, as the freedesktop.org base
// directories are meant to be: a relative one would move with the working
// folder.
std::string savedGamesFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/quorrell";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/state/quorrell";
    return std::string();
}

static std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* listing = opendir(folder.c_str());
    if (!listing)
        return names;
    while (dirent* entry = readdir(listing))
        names.push_back(entry->d_name);
    closedir(listing);
    return names;
}

// When the plain file at path was last written; never what a symbolic link
// points at.
static bool lastWritten(const std::string& path, long long* time)
{
    struct stat status = {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    *time = static_cast<long long>(status.st_mtime);
    return true;
}

static std::string fullPath(const std::string& path)
{
    char* full = realpath(path.c_str(), nullptr);
    std::string text = full ? full : "";
    std::free(full);
    return text;
}

#endif

static bool endsWith(const std::string& text, const char* end)
{
    std::size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

static bool isSavedGame(const std::string& name)
{
    return name.compare(0, sizeof PREFIX - 1, PREFIX) == 0 && endsWith(name, SUFFIX) && !endsWith(name, SET_ASIDE);
}

// The turns a record's game took: its header's, or for a record of the
// first format, which has none, counted in the whole record.
static int turnsOf(const std::string& path, const RecordHeader& header)
{
    std::string record;
    if (header.turn >= 0 || !recordFileRead(path, record))
        return header.turn >= 0 ? header.turn : 0;
    recordUndoTextModeCopy(record);
    return recordTurns(record, header);
}

// Only the headers are read: the folder may hold thousands of games, and
// some of them long ones.
bool findPutDownGame(const std::string& folder, PutDownGame* game)
{
    std::vector<Candidate> candidates;
    for (const std::string& name : namesIn(folder)) {
        if (!isSavedGame(name))
            continue;
        std::string path = folder + SEPARATOR + name;
        RecordHeader header = {};
        bool hasInput = false;
        long long writtenAt = 0;
        if (recordFileReadHeader(path, &header, &hasInput) && !header.ended && hasInput && lastWritten(path, &writtenAt))
            candidates.push_back({name, writtenAt, header});
    }
    // Two put down in the same second: the one started later.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& one, const Candidate& other) {
        return one.writtenAt != other.writtenAt ? one.writtenAt > other.writtenAt : one.name > other.name;
    });
    for (const Candidate& candidate : candidates) {
        std::string path = folder + SEPARATOR + candidate.name;
        if (recordFileInUse(path))
            continue;
        *game = {path, candidate.writtenAt, turnsOf(path, candidate.header)};
        return true;
    }
    return false;
}

static bool exists(const std::string& path)
{
    struct stat status = {};
    return stat(path.c_str(), &status) == 0;
}

bool setAsideGame(const std::string& path, std::string* asidePath, std::string* reason)
{
    std::string stem = path.substr(0, path.size() - (sizeof SUFFIX - 1));
    std::string aside = stem + SET_ASIDE;
    for (int copy = 2; exists(aside); ++copy)
        aside = stem + "-" + std::to_string(copy) + SET_ASIDE;
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        *asidePath = aside;
        return true;
    }
    // Gone from its place: another game started at the same time has taken
    // it up or set it aside already.
    *reason = errno == ENOENT && !exists(path) ? std::string() : std::strerror(errno);
    return false;
}

std::string savedGameOutOfAside(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (!endsWith(name, SET_ASIDE) || name.compare(0, sizeof PREFIX - 1, PREFIX) != 0)
        return std::string();
    std::string savedIn = savedGamesFolder();
    if (savedIn.empty() || fullPath(folder).empty() || fullPath(folder) != fullPath(savedIn))
        return std::string();
    std::string stem = path.substr(0, path.size() - (sizeof SET_ASIDE - 1));
    std::string back = stem + SUFFIX;
    for (int copy = 2; exists(back); ++copy)
        back = stem + "-" + std::to_string(copy) + SUFFIX;
    return back;
}

std::string dayOf(long long time)
{
    static const char* const MONTHS[] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
    std::time_t moment = static_cast<std::time_t>(time);
    std::tm* day = std::localtime(&moment);
    if (!day)
        return "an unknown day";
    return std::to_string(day->tm_mday) + " " + MONTHS[day->tm_mon] + " " + std::to_string(day->tm_year + 1900);
}
