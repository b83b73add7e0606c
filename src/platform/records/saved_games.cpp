#include "platform/records/saved_games.h"

#include "platform/command_line/options.h"
#include "platform/records/record.h"
#include "platform/records/record_file.h"

#include <algorithm>
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
// A game played to its end is kept in a folder of its own inside, so that
// the search for a game put down, at every start, never even reads the
// names of the thousands a player may have finished.
static const char ENDED_FOLDER[] = "ended";

// A game not ended, with when its record was last written.
struct Candidate {
    std::string name;
    long long writtenAt;
    RecordHeader header;
};

#ifdef _WIN32

static const char SEPARATOR = '\\';
static const char NO_FOLDER[] = "LOCALAPPDATA names no folder for them";

std::string savedGamesFolder()
{
    const char* local = std::getenv("LOCALAPPDATA");
    return local && *local ? std::string(local) + "\\Quorrell" : std::string();
}

static std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    struct _finddata_t found;
    intptr_t search = _findfirst((folder + "\\*" + SUFFIX).c_str(), &found);
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
static const char NO_FOLDER[] = "neither XDG_STATE_HOME nor HOME names a folder for them";

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

// How a game's name ends: set aside or not; null for a file that is no
// game of the folder's.
static const char* endingOf(const std::string& name)
{
    if (name.compare(0, sizeof PREFIX - 1, PREFIX) != 0 || !endsWith(name, SUFFIX))
        return nullptr;
    return endsWith(name, SET_ASIDE) ? SET_ASIDE : SUFFIX;
}

static bool isSavedGame(const std::string& name)
{
    return endingOf(name) == SUFFIX;
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

static bool exists(const std::string& path)
{
    struct stat status = {};
    return stat(path.c_str(), &status) == 0;
}

static std::string folderOf(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

static bool sameFolder(const std::string& one, const std::string& other)
{
    std::string full = fullPath(one);
    return !full.empty() && full == fullPath(other);
}

// stem + ending, or the first of stem-2 + ending, stem-3 + ending... that
// is free.
static std::string freeName(const std::string& stem, const char* ending)
{
    std::string name = stem + ending;
    for (int copy = 2; exists(name); ++copy)
        name = stem + "-" + std::to_string(copy) + ending;
    return name;
}

// The name a game in the folder given, whose name ends in from, takes in
// the folder to (made if need be), ending in to instead; empty for any
// other record (a file of the player's own naming keeps its name).
static std::string renamedInto(const std::string& path, const std::string& folder, const char* from,
                               const std::string& to, const char* toEnding)
{
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    if (endingOf(name) != from || !sameFolder(folderOf(path), folder))
        return std::string();
    if (recordFolderMake(to) != 0 && errno != EEXIST)
        return std::string();
    return freeName(to + SEPARATOR + name.substr(0, name.size() - std::strlen(from)), toEnding);
}

static std::string endedFolder(const std::string& savedIn)
{
    return savedIn + SEPARATOR + ENDED_FOLDER;
}

// A game that ended among the others (played before ended games were kept
// apart, or on a system that moves no open file) is moved once found,
// unless a game is still at its closing screen.
static void putAwayAnEndedGame(const std::string& path)
{
    std::string ended = savedGameEndedName(path);
    if (!ended.empty() && !recordFileInUse(path))
        std::rename(path.c_str(), ended.c_str());
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
        if (!recordFileReadHeader(path, &header, &hasInput))
            continue;
        if (header.ended)
            putAwayAnEndedGame(path);
        else if (hasInput && lastWritten(path, &writtenAt))
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

bool setAsideGame(const std::string& path, std::string* asidePath, std::string* reason)
{
    std::string aside = freeName(path.substr(0, path.size() - (sizeof SUFFIX - 1)), SET_ASIDE);
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
    std::string savedIn = savedGamesFolder();
    return savedIn.empty() ? std::string() : renamedInto(path, savedIn, SET_ASIDE, savedIn, SUFFIX);
}

std::string savedGameEndedName(const std::string& path)
{
    std::string savedIn = savedGamesFolder();
    return savedIn.empty() ? std::string() : renamedInto(path, savedIn, SUFFIX, endedFolder(savedIn), SUFFIX);
}

std::string savedGameReopenedName(const std::string& path)
{
    std::string savedIn = savedGamesFolder();
    return savedIn.empty() ? std::string() : renamedInto(path, endedFolder(savedIn), SUFFIX, savedIn, SUFFIX);
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

static std::string dayAndTimeOf(long long time)
{
    std::time_t moment = static_cast<std::time_t>(time);
    std::tm* day = std::localtime(&moment);
    char clock[8] = "";
    if (day)
        std::strftime(clock, sizeof clock, "%H:%M", day);
    return dayOf(time) + (day ? std::string(" ") + clock : std::string());
}

static bool isRecordName(const std::string& name)
{
    return name.size() > sizeof SUFFIX - 1 && name[0] != '.' && endsWith(name, SUFFIX);
}

static void addGamesIn(const std::string& folder, std::vector<SavedGame>& games)
{
    for (const std::string& name : namesIn(folder)) {
        std::string path = folder + SEPARATOR + name;
        // Nothing but a plain file is opened: a named pipe would never
        // answer, and a symbolic link is no game of this folder's.
        long long writtenAt = 0;
        if (!isRecordName(name) || !lastWritten(path, &writtenAt))
            continue;
        SavedGame game = {path, writtenAt, -1, GAME_DAMAGED};
        // Only the header is read: a record of fifty megabytes lists as
        // quickly as one of fifty bytes.
        RecordHeader header = {};
        bool hasInput = false;
        if (recordFileReadHeader(path, &header, &hasInput)) {
            game.turn = header.turn;
            game.state = header.ended ? GAME_ENDED : endsWith(name, SET_ASIDE) ? GAME_SET_ASIDE : GAME_UNFINISHED;
        }
        games.push_back(game);
    }
}

std::vector<SavedGame> listSavedGames(const std::string& folder)
{
    std::vector<SavedGame> games;
    if (folder.empty())
        return games;
    addGamesIn(folder, games);
    addGamesIn(endedFolder(folder), games);
    // Two written in the same second: the one started later, by its name.
    std::sort(games.begin(), games.end(), [](const SavedGame& one, const SavedGame& other) {
        return one.writtenAt != other.writtenAt ? one.writtenAt > other.writtenAt : one.path > other.path;
    });
    return games;
}

static std::string padded(std::string text, std::size_t width)
{
    text.resize(std::max(width, text.size()), ' ');
    return text;
}

std::string savedGamesListing(const std::string& folder)
{
    if (folder.empty())
        return std::string("No games are saved: ") + NO_FOLDER + ".\n";
    std::vector<SavedGame> games = listSavedGames(folder);
    if (games.empty())
        return "No games are saved yet in " + folder + ".\n";
    static const char* const STATES[] = {"unfinished", "ended", "set aside", "damaged"};
    std::vector<std::string> columns[3];
    std::size_t widths[3] = {};
    for (std::size_t number = 1; number <= games.size(); ++number) {
        const SavedGame& game = games[number - 1];
        std::string turn = game.state == GAME_DAMAGED ? "" : game.turn < 0 ? "turn ?" : "turn " + std::to_string(game.turn);
        std::string cells[3] = {std::to_string(number), dayAndTimeOf(game.writtenAt), turn};
        for (int column = 0; column < 3; ++column) {
            widths[column] = std::max(widths[column], cells[column].size());
            columns[column].push_back(cells[column]);
        }
    }
    // The folder once, and each game's file by its name, so that a line
    // fits a terminal of 80 columns.
    std::string listing = "The games saved in " + folder + ", the one played last first:\n";
    for (std::size_t place = 0; place < games.size(); ++place) {
        const std::string& number = columns[0][place];
        listing += std::string(widths[0] - number.size(), ' ') + number + "  " + padded(columns[1][place], widths[1]) +
                   "  " + padded(columns[2][place], widths[2]) + "  " + padded(STATES[games[place].state], 10) + "  " +
                   games[place].path.substr(folder.size() + 1) + "\n";
    }
    return listing;
}

std::string savedGameOrFile(const char* option, const char* argument)
{
    std::size_t length = std::strlen(argument);
    if (length == 0 || std::strspn(argument, "0123456789") != length)
        return argument;
    std::vector<SavedGame> games = listSavedGames(savedGamesFolder());
    std::size_t number = 0;
    for (const char* digit = argument; *digit && number <= games.size(); ++digit)
        number = number * 10 + static_cast<std::size_t>(*digit - '0');
    if (number >= 1 && number <= games.size())
        return games[number - 1].path;
    std::string problem = std::string(option) + " " + argument + ": there is no game " + argument +
                          (games.empty() ? ", as no game is saved yet" : "; quorrell --games lists the saved games");
    struct stat status = {};
    if (stat(argument, &status) == 0)
        problem += std::string("; the file named ") + argument + " here is ./" + argument;
    refuseCommandLine(problem.c_str());
}
