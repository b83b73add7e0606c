#include "world/world.h"

const char* const nounWords[NOUN_COUNT] = {
    "key", "gun", "bullets", "rope", "ax", "beans", "bread", "medicine", "telegram", "knife",
    "crowbar", "snake", "rat", "cabinet", "chairs", "counter", "desk", "dresser", "guys",
    "horses", "whiskey", "shelves", "signs", "station", "tables", "walls", "crate", "jail",
    "cell", "guy", "cot", "bed", "quicksand", "Dexter", "Clarence", "Rodney", "rock",
    "stalactites", "bench"};

const char* const itemAdjectives[ITEM_COUNT] = {
    "shiny brass", "Colt 45", "box of", "coil of", "sharpened", "open can of", "bag of corn",
    "bottle of snake oil", "wrinkled", "hunting", "iron", "coiled rattle", "big hairy"};

const char* const verbWords[VERB_COUNT] = {
    "take", "get", "grab", "drop", "throw", "eat", "drink", "shoot",
    "read", "load", "cut", "chop", "open", "hit", "kick", "punch"};

RoomCode itemLocation[NOUN_COUNT] = {
    101,      // key, in the back of the store
    NOWHERE,  // gun, until the desk drawer is opened
    103,      // bullets, in the store's storage room
    NOWHERE,  // rope, until the cabinet is opened
    -4,       // ax, in the cemetery corner
    103,      // beans
    NOWHERE,  // bread, until the kitchen cupboard is opened
    1500,     // medicine, at the barber's
    500,      // telegram
    NOWHERE,  // knife, until the dresser drawer is opened
    25,       // crowbar, in the silver mine corner
    NOWHERE,  // snake, until turn 60
    NOWHERE,  // rat, until turn 5
    603,      // cabinet
    1100,     // chairs
    100,      // counter
    600,      // desk
    1604,     // dresser
    1000,     // guys
    2000,     // horses
    1002,     // whiskey
    103,      // shelves
    1602,     // signs
    1600,     // station
    1100,     // tables
    103,      // walls
    1003,     // crate
    601,      // jail
    601,      // cell
    1500,     // guy
    602,      // cot
    1604,     // bed
    NOWHERE,  // quicksand, until turn 100
    NOWHERE,  // Dexter, placed at start-up
    NOWHERE,  // Clarence, placed at start-up
    NOWHERE,  // Rodney, until turn 155
    1023,     // rock
    1010,     // stalactites
    1605,     // bench
};

RoomCode playerLocation = 6;  // the office's door square: the game starts inside
int gunRounds = 6;
int medicineState = 1;
int beanCanState = 1;
int breadBagState = 1;
int boxHasBullets = 1;
int bulletBoxSealed = 1;
int venomFree = 1;
int rabiesFree = 1;
int quicksandStage = 1;
int desperadosLeft = 3;
int cellDoorState = DOOR_LOCKED;
char soundOn = 'n';
char playerName[PLAYER_NAME_SIZE] = "";
RoomCode rodneyHideout = NOWHERE;
int itemsCarried = 0;
int turnCount = 0;
int hungerStage = 0;
int breadSickStage = 0;
int venomStage = 0;
int rabiesStage = 0;
int duskStage = 0;

int telegramHint = 0;
int telegramHintChosen = 0;
int deskDrawerOpen = 0;
int cabinetOpen = 0;
int crateMoved = 0;
int trapDoorState = 0;
int cupboardOpen = 0;
int dresserDrawerOpen = 0;
int rockMoved = 0;
int stalactitesBroken = 0;
int afterKillPlayed[3] = {0, 0, 0};

bool isHere(int noun)
{
    return itemLocation[noun] == playerLocation;
}

bool desperadoHere()
{
    return isHere(DEXTER) || isHere(CLARENCE) || isHere(RODNEY);
}

bool streetSquare(RoomCode code)
{
    return code >= 1 && code <= 20 && code % 5 >= 2 && code % 5 <= 4;
}

bool doorSquare(RoomCode code)
{
    return code >= 1 && code <= 20 && !streetSquare(code);
}
