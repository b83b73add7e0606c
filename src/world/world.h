// The whole state of one game: where everything is, the words the Marshal
// can use, and every counter and flag. It lives for the whole run and is
// never reset; one run is one game.
#pragma once

#include "world/town_map.h"

const RoomCode NOWHERE = -9999;  // not in the world: not yet in play, used up or killed
const RoomCode CARRIED = 111;    // in the Marshal's hands; no room 111 exists

const int DOOR_LOCKED = 1;
const int DOOR_OPEN = 2;

const int NOUN_COUNT = 39;
const int ITEM_COUNT = 13;      // nouns that can be seen lying about (0 to 12)
const int VERB_COUNT = 16;
const int CARRY_LIMIT = 4;

// A command line holds at most 24 characters and its terminating zero.
const int COMMAND_SIZE = 25;
const int PLAYER_NAME_SIZE = 28;

// A building handler starts its record of the room it described last here,
// a code no room has, so the first pass always describes.
const RoomCode NOT_YET_DESCRIBED = 9999;

// Noun indices: the identity of every thing in the game.
enum : int {
    KEY, GUN, BULLETS, ROPE, AX, BEANS, BREAD, MEDICINE, TELEGRAM, KNIFE, CROWBAR,
    SNAKE, RAT,
    CABINET, CHAIRS, COUNTER, DESK, DRESSER, GUYS, HORSES, WHISKEY, SHELVES, SIGNS,
    STATION, TABLES, WALLS, CRATE, JAIL, CELL, GUY, COT, BED, QUICKSAND,
    DEXTER, CLARENCE, RODNEY,
    ROCK, STALACTITES, BENCH
};

// Verb indices.
enum : int {
    VERB_TAKE, VERB_GET, VERB_GRAB, VERB_DROP, VERB_THROW, VERB_EAT, VERB_DRINK, VERB_SHOOT,
    VERB_READ, VERB_LOAD, VERB_CUT, VERB_CHOP, VERB_OPEN, VERB_HIT, VERB_KICK, VERB_PUNCH
};

extern const char* const nounWords[NOUN_COUNT];
extern const char* const itemAdjectives[ITEM_COUNT];
extern const char* const verbWords[VERB_COUNT];

extern RoomCode itemLocation[NOUN_COUNT];  // where each noun is: a room, CARRIED or NOWHERE

extern RoomCode playerLocation;   // where the Marshal stands
extern int gunRounds;             // rounds loaded in the gun
extern int medicineState;         // the bottle: 1 full, 0 drunk, -1 shattered
extern int beanCanState;          // 1 holds beans, 0 eaten
extern int breadBagState;         // 1 holds bread, 0 eaten (sickness runs), -1 cured
extern int boxHasBullets;         // 1 until the gun is reloaded from the box
extern int bulletBoxSealed;       // 1 until the knife cuts the box open
extern int venomFree;             // 0 from the snake's bite until the medicine
extern int rabiesFree;            // 0 from the rat's bite until the medicine
extern int quicksandStage;        // 1 free, 2 to 4 sinking, 5 swallowed
extern int desperadosLeft;        // brothers still alive; 0 is victory
extern int cellDoorState;         // the jail cell door: DOOR_LOCKED or DOOR_OPEN
extern char soundOn;              // 'y' while sound effects are on, 'n' while off
extern char playerName[PLAYER_NAME_SIZE];  // one word, the Marshal's first name
extern RoomCode rodneyHideout;    // where Rodney comes into play at turn 155
extern int itemsCarried;          // how many items are CARRIED
extern int turnCount;             // commands entered so far; the clock of timed events
extern int hungerStage;           // 0 not hungry yet, 1 to 16 hungry, -1 fed for good
extern int breadSickStage;        // steps of the sickness from the bread
extern int venomStage;            // steps of the snake's venom
extern int rabiesStage;           // steps of the rat's rabies
extern int duskStage;             // steps of nightfall

extern int telegramHint;          // this game's hint, once drawn
extern int telegramHintChosen;    // 1 once the telegram has been read
extern int deskDrawerOpen;        // the office desk drawer, opened once
extern int cabinetOpen;           // the back room cabinet, opened once
extern int crateMoved;            // 1 once the saloon crate has been pushed
extern int trapDoorState;         // 0 not found, then DOOR_LOCKED or DOOR_OPEN
extern int cupboardOpen;          // the kitchen cupboard, opened once
extern int dresserDrawerOpen;     // the guest room dresser, opened once
extern int rockMoved;             // 1 once the crowbar has moved the rock
extern int stalactitesBroken;     // 1 once the ax has chopped the stalactites
extern int afterKillPlayed[3];    // files of the current shuffled cycle of kill sounds

// A brother (Dexter, Clarence or Rodney) stands where the Marshal stands.
bool desperadoHere();

// The noun stands where the Marshal stands.
bool isHere(int noun);

// Town squares 1 to 20: the street squares in columns 2 to 4, and the door
// squares in columns 1 and 5 that stand for building entrances.
bool streetSquare(RoomCode code);
bool doorSquare(RoomCode code);
