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
    BACK_OF_STORE,       // key
    NOWHERE,             // gun, until the desk drawer is opened
    STORAGE_ROOM,        // bullets
    NOWHERE,             // rope, until the cabinet is opened
    CEMETERY_CORNER,     // ax
    STORAGE_ROOM,        // beans
    NOWHERE,             // bread, until the kitchen cupboard is opened
    BARBER_SHOP,         // medicine
    TELEGRAPH_OFFICE,    // telegram
    NOWHERE,             // knife, until the dresser drawer is opened
    SILVER_MINE_CORNER,  // crowbar
    NOWHERE,             // snake, until turn 60
    NOWHERE,             // rat, until turn 5
    OFFICE_BACK_ROOM,    // cabinet
    RESTAURANT,          // chairs
    GENERAL_STORE,       // counter
    OFFICE,              // desk
    GUEST_ROOM,          // dresser
    SALOON,              // guys
    STABLE,              // horses
    SALOON_BASEMENT,     // whiskey
    STORAGE_ROOM,        // shelves
    UPSTAIRS_HALLWAY,    // signs
    HOTEL_LOBBY,         // station
    RESTAURANT,          // tables
    STORAGE_ROOM,        // walls
    GLOOMY_CHAMBER,      // crate
    BACK_OF_OFFICE,      // jail
    BACK_OF_OFFICE,      // cell
    BARBER_SHOP,         // guy
    JAIL_CELL,           // cot
    GUEST_ROOM,          // bed
    NOWHERE,             // quicksand, until turn 100
    NOWHERE,             // Dexter, placed at start-up
    NOWHERE,             // Clarence, placed at start-up
    NOWHERE,             // Rodney, until turn 155
    ROCK_ROOM,           // rock
    STALACTITE_BEND,     // stalactites
    SOLARIUM,            // bench
};

RoomCode playerLocation = OFFICE_DOOR;  // the game starts inside the office
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
    return code >= FIRST_TOWN_SQUARE && code <= LAST_TOWN_SQUARE && code % SQUARES_PER_ROW >= 2 &&
           code % SQUARES_PER_ROW <= 4;
}

bool doorSquare(RoomCode code)
{
    return code >= FIRST_TOWN_SQUARE && code <= LAST_TOWN_SQUARE && !streetSquare(code);
}
