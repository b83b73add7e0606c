// Where the game's input comes from: the player, or a record played again.
// Every front end that keeps records reads through these, so a replay, a
// resumed game and a recorded one behave alike on each of them.
#pragma once

#include "platform/input/input_reader.h"
#include "platform/input/options.h"

// The front end's own reads from the player.
struct PlayerInput {
    int (*readKey)();
    bool (*readLine)(char* line, int capacity);
    bool (*readWord)(char* word, int capacity);
    // Silences the sounds while a resumed game is played at full speed.
    void (*muteSounds)(bool muted);
};

// Reads the command line of the game (--help and --version end here) and
// opens the record it names, before anything is drawn. Returns the seed:
// the option's, the record's, or clockSeed.
unsigned inputStart(int argc, char** argv, unsigned clockSeed);

// The command line inputStart read.
const CommandLine& inputOptions();

// Connects the player once the front end has its input ready. live is the
// raw source the rest of a record cut mid-line is finished from; when
// showReplayed, a replayed line is shown as it was typed.
void inputConnectPlayer(const PlayerInput& player, InputSource live, bool showReplayed);

// True while a resumed game plays its record at full speed, and for the
// whole of a transcript: no pauses, no sounds.
bool inputFastForward();

int inputReadKey();
bool inputReadLine(char* line, int capacity);
bool inputReadWord(char* word, int capacity);
