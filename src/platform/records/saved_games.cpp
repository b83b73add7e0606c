#include "platform/records/saved_games.h"

#include "platform/records/record.h"
#include "platform/records/record_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

bool findPutDownGame(const std::string& folder, PutDownGame* game)
{
    bool found = false;
    std::string latestName;
    for (const std::string& name : namesIn(folder)) {
        if (!isSavedGame(name))
            continue;
        std::string path = folder + SEPARATOR + name;
        struct stat status = {};
        if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        long long written = static_cast<long long>(status.st_mtime);
        // Two put down in the same second: the one started later.
        if (found && (written < game->putDownAt || (written == game->putDownAt && name < latestName)))
            continue;
        std::string record;
        RecordHeader header = {};
        if (!recordFileRead(path, record) || !recordReadHeader(record, &header) || header.ended || !recordHasInput(record, header) ||
            recordFileInUse(path))
            continue;
        *game = {path, written, recordTurns(record, header)};
        latestName = name;
        found = true;
    }
    return found;
}

std::string setAsideGame(const std::string& path)
{
    std::string stem = path.substr(0, path.size() - (sizeof SUFFIX - 1));
    std::string aside = stem + SET_ASIDE;
    struct stat status = {};
    for (int copy = 2; stat(aside.c_str(), &status) == 0; ++copy)
        aside = stem + "-" + std::to_string(copy) + SET_ASIDE;
    if (std::rename(path.c_str(), aside.c_str()) != 0)
        return std::strerror(errno);
    return std::string();
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
