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

static std::string dayAndTimeOf(long long time)
{
    std::time_t moment = static_cast<std::time_t>(time);
    std::tm* day = std::localtime(&moment);
    char clock[8] = "";
    if (day)
        std::strftime(clock, sizeof clock, "%H:%M", day);
    return dayOf(time) + (day ? std::string(" ") + clock : std::string());
}

// Only the header is read: it is under a hundred bytes, and a record of
// fifty megabytes lists as quickly as one of fifty bytes.
static bool readHeaderOnly(const std::string& path, RecordHeader* header)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char bytes[128];
    std::size_t count = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    return recordReadHeader(std::string(bytes, count), header);
}

static bool isRecordName(const std::string& name)
{
    return name.size() > sizeof SUFFIX - 1 && name[0] != '.' && endsWith(name, SUFFIX);
}

std::vector<SavedGame> listSavedGames(const std::string& folder)
{
    std::vector<SavedGame> games;
    if (folder.empty())
        return games;
    for (const std::string& name : namesIn(folder)) {
        std::string path = folder + SEPARATOR + name;
        struct stat status = {};
        // Nothing but a plain file is opened: a named pipe would never answer.
        if (!isRecordName(name) || stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        SavedGame game = {path, static_cast<long long>(status.st_mtime), -1, GAME_DAMAGED};
        RecordHeader header = {};
        if (readHeaderOnly(path, &header)) {
            game.turn = header.turn;
            game.state = header.ended ? GAME_ENDED : endsWith(name, SET_ASIDE) ? GAME_SET_ASIDE : GAME_UNFINISHED;
        }
        games.push_back(game);
    }
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
