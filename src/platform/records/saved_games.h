// The games saved as they are played, in a folder of the player's own: on a
// POSIX machine $XDG_STATE_HOME/quorrell, else ~/.local/state/quorrell; on
// Windows %LOCALAPPDATA%\Quorrell. Each game is a record named for the time
// it started (game-2026-12-08_14-30-05.rec); nothing there is ever deleted.
#pragma once

#include <string>
#include <vector>

struct PutDownGame {
    std::string path;
    long long putDownAt;  // when it was last written, in seconds since 1970
    int turn;
};

// The folder, or empty when the environment names none.
std::string savedGamesFolder();

// The game put down last in the folder before its end, unless it was set
// aside or another game is playing it right now: the one written last of
// the games not ended. False when there is none.
bool findPutDownGame(const std::string& folder, PutDownGame* game);

// Renames the record so that it is never offered again; it stays in the
// folder, to be taken up with --resume. True with where it is now; false
// with the reason, which is empty when the record was no longer there to
// set aside (another game took it up or set it aside first).
bool setAsideGame(const std::string& path, std::string* asidePath, std::string* reason);

// A set-aside game of the folder of saved games that is taken up again is
// one like any other: the name it is then given, to be offered again once
// it is put down. Empty for any other record.
std::string savedGameOutOfAside(const std::string& path);

// A game of the folder played to its end moves to its ended/, so that the
// search for a game put down never meets it, and an undo at its closing
// screen brings it back: the paths each then takes, the folder ended/ made
// if need be. Empty for any other record.
std::string savedGameEndedName(const std::string& path);
std::string savedGameReopenedName(const std::string& path);

// The day, in the player's own time, as "8 December 2026".
std::string dayOf(long long time);

// A record of the folder as quorrell --games lists it.
enum SavedGameState { GAME_UNFINISHED, GAME_ENDED, GAME_SET_ASIDE, GAME_DAMAGED };
struct SavedGame {
    std::string path;
    long long writtenAt;  // when it was last written, in seconds since 1970
    int turn;             // -1 where the record keeps no turn (the first format, a damaged one)
    SavedGameState state;
};

// Every record (*.rec) in the folder and in its ended/, the one written last
// first: game 1 of the list is the game played last. Only each record's
// header is read, so a long record costs no more than a short one; a file
// that is no record is listed as damaged.
std::vector<SavedGame> listSavedGames(const std::string& folder);

// What quorrell --games prints: the folder, then one line a game, or one
// line saying there are none.
std::string savedGamesListing(const std::string& folder);

// The record an option names: an argument of digits alone is that game of
// quorrell --games, anything else a file. A file named "3" in the working
// folder is "./3". A number with no game is refused with one line and exit
// status 2, before anything is read or written.
std::string savedGameOrFile(const char* option, const char* argument);
