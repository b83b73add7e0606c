// Where the game's input comes from (the player, or a record played again)
// and where it is saved as it is read. Every front end reads through these,
// so a replay, a resumed game and a saved one behave alike on each of them.
#pragma once

#include "platform/command_line/options.h"

#include <cstddef>
#include <string>
#include <vector>

// The front end's own reads from the player.
struct PlayerInput {
    int (*readKey)();
    bool (*readLine)(char* line, int capacity);
    bool (*readWord)(char* word, int capacity);
    // Silences the sounds while a resumed game is played at full speed.
    void (*muteSounds)(bool muted);
    // Puts a command of a resumed game into the line editor's history, so
    // that Up brings it back; null where the front end keeps no history.
    void (*rememberLine)(const char* line);
};

// Where a game's record is kept as the game is played: a file on the
// terminal and on Windows, the browser's storage in the page. Each call
// returns null, or the reason it failed, in the system's words.
struct RecordStore {
    // Puts bytes into the record at offset: at its end, or over the header's
    // state or turn. A write that fails leaves nothing of itself behind.
    const char* (*write)(long offset, const char* bytes, long count);
    // Makes everything written so far last (on the disk, or in the
    // storage), so that a crash or a power cut loses none of it.
    const char* (*settle)();
    // Cuts the record to its first length bytes.
    const char* (*cut)(long length);
    // The game read nothing: a record made for it is taken away again.
    void (*forget)();
    // How the player names the record to take it up again ("--resume
    // 'file'"), for the messages.
    std::string (*resumeHint)();
};

// Reads the command line of the game (--help and --version end here) and
// opens the record it names, before anything is drawn. A new game is seeded
// with clockSeed unless the command line gives a seed.
void inputStart(int argc, char** argv, unsigned clockSeed);

// The command line inputStart read.
const CommandLine& inputOptions();

// Connects the player once the front end has its input ready; when
// showReplayed, a replayed line is shown as it was typed.
void inputConnectPlayer(const PlayerInput& player, bool showReplayed);

// Begins the game once the player is connected, and returns its seed (the
// option's, the record's, or the clock's). When the keyboard is the
// player's own (a terminal, a console) and no option says otherwise, the
// game put down last is offered back first, and the game is saved as it is
// played.
unsigned inputBeginGame(bool playersKeyboard);

// The same steps for a front end that keeps its records itself (the page):
// record is a whole record, header and all, checked with recordReadHeader.
// A resumed game is played at full speed and in silence, then the player
// plays on and what he types is added through store; a replayed one is
// played with its pauses and sounds and reads nothing from the player; a new
// game is saved through store as it is played, its header written with the
// first byte unless headerStored. The first two return the record's seed.
unsigned inputResumeRecord(std::string record, RecordStore store);
unsigned inputReplayRecord(std::string record, const std::string& resumeHint);
void inputSaveNewGame(unsigned seed, RecordStore store, bool headerStored);
// A record played at once, in silence and to its last byte, for its
// transcript: what quorrell --transcript does with a file.
unsigned inputTranscribeRecord(std::string record);

// Watching a record at its own pace (--watch, --asciicast, the page): each
// read the record answers comes after a moment to take in the screen, and
// each line it shows is typed out, both timed by the front end's wait,
// which keeps the watcher's speed and pause. atRead comes first: a command
// or the name when command, else a one-key question; turn is the command's,
// or -1 for a read that takes no turn.
struct WatchPace {
    void (*atRead)(bool command, int turn);
    void (*wait)(unsigned milliseconds);
};

// How the front end paces a watched record; connected before the game
// begins.
void inputConnectWatcher(const WatchPace& pace);

// A record watched: played as a replay is, with its pauses and sounds, and
// paced by the watcher. Up to the command of turn fromTurn (0: none) it
// plays at full speed and in silence, for a watcher who seeks into it.
// Returns the record's seed.
unsigned inputWatchRecord(std::string record, const std::string& resumeHint, int fromTurn);

// The record --share names, read by inputStart.
const std::string& inputNamedRecord();

// The record as it stands: the header, and every byte the game has read,
// from a record played again and from the player alike, whether or not the
// game is saved.
const std::string& inputRecord();

// The command lines the game has read so far, replayed or typed: where each
// begins in the record, and the turn it was read for (-1 for a line that
// takes no turn, such as those typed while sinking in the quicksand).
struct CommandRead {
    std::size_t offset;
    int turn;
};
const std::vector<CommandRead>& inputCommandsRead();

// True while a resumed game plays its record at full speed, and for the
// whole of a transcript: no pauses, no sounds.
bool inputFastForward();

// The next line read is the command of this turn: the record keeps the
// number with the line, to tell the player where the game was put down.
void inputCommandTurn(int turn);

int inputReadKey();
bool inputReadLine(char* line, int capacity);
bool inputReadWord(char* word, int capacity);
