#include "commands/commands.h"

#include "console/sound.h"
#include "encounters/encounters.h"
#include "endings/endings.h"

#include <cstring>
#include <iostream>
#include <string>

// The second word has room for 15 characters; a longer one is no noun.
const std::size_t LONGEST_SECOND_WORD = 15;

static void listInventory()
{
    bool carryingAnything = false;
    for (int noun = 0; noun < NOUN_COUNT; ++noun) {
        if (itemLocation[noun] != CARRIED)
            continue;
        std::cout << "You have a " << itemAdjectives[noun] << ' ' << nounWords[noun] << '\n';
        carryingAnything = true;
    }
    if (!carryingAnything)
        std::cout << "You are not carrying anything!\n";
}

static void switchSound()
{
    if (soundOn == 'y') {
        soundOn = 'n';
        // A room's loop would otherwise play on for the rest of the game.
        stopSound();
        std::cout << "Sound effects off";
    } else {
        soundOn = 'y';
        std::cout << "Sound effects on";
    }
}

static std::string replaceAlias(const std::string& word)
{
    if (word == "bottle")
        return "medicine";
    if (word == "can")
        return "beans";
    if (word == "box")
        return "bullets";
    if (word == "bag")
        return "bread";
    return word;
}

static int lookUp(const std::string& word, const char* const* words, int count)
{
    for (int index = 0; index < count; ++index) {
        if (word == words[index])
            return index;
    }
    return -1;
}

static void dispatchVerb(int verb, int noun)
{
    switch (verb) {
    case VERB_TAKE: case VERB_GET: case VERB_GRAB: takeItem(noun); break;
    case VERB_DROP: case VERB_THROW: dropItem(noun); break;
    case VERB_EAT: eatItem(noun); break;
    case VERB_DRINK: drinkItem(noun); break;
    case VERB_SHOOT: shootItem(noun); break;
    case VERB_READ: readItem(noun); break;
    case VERB_LOAD: loadItem(noun); break;
    case VERB_CUT: cutItem(noun); break;
    case VERB_CHOP: chopItem(noun); break;
    case VERB_OPEN: openItem(noun); break;
    default: strikeItem(noun); break;
    }
}

// A command naming the snake, the rat or a brother who is here goes to that
// encounter, whatever its verb, with its two words joined again.
static bool handOverToEncounter(char* command, int noun, const std::string& secondWord)
{
    bool brother = noun == DEXTER || noun == CLARENCE || noun == RODNEY;
    if ((noun != SNAKE && noun != RAT && !brother) || !isHere(noun))
        return false;
    std::strcat(command, " ");
    std::strcat(command, secondWord.c_str());
    if (noun == SNAKE)
        snakeEncounter(command);
    else if (noun == RAT)
        ratEncounter(command);
    else
        gunfight(command);
    return true;
}

void interpretCommand(char* command, int& lastDescribedRoom)
{
    std::string line = command;
    if (line.compare(0, 5, "inven") == 0 || line == "i") {
        listInventory();
        return;
    }
    if (line == "look" || line == "l") {
        lastDescribedRoom = NOWHERE;
        return;
    }
    if (line == "quit" || line == "exit") {
        confirmQuit();
        return;
    }
    if (line == "effects") {
        switchSound();
        return;
    }
    std::size_t space = line.find(' ');
    if (space == std::string::npos) {
        std::cout << "Please use two word commands or a letter for direction\n";
        return;
    }
    std::string firstWord = line.substr(0, space);
    std::string secondWord = line.substr(space + 1);
    command[space] = '\0';
    if (secondWord.find(' ') != std::string::npos) {
        std::cout << "Please use only two words\n";
        return;
    }
    secondWord = replaceAlias(secondWord);
    int noun = secondWord.size() > LONGEST_SECOND_WORD ? -1 : lookUp(secondWord, nounWords, NOUN_COUNT);
    if (noun == -1) {
        std::cout << "That is impossible Marshal " << playerName << '\n';
        return;
    }
    if (handOverToEncounter(command, noun, secondWord))
        return;
    if (itemLocation[noun] == CARRIED && firstWord == "use") {
        std::cout << "Use " << secondWord << " to do what?\n";
        return;
    }
    int verb = lookUp(firstWord, verbWords, VERB_COUNT);
    if (verb == -1) {
        std::cout << "That action is not understood Marshal " << playerName << '\n';
        return;
    }
    dispatchVerb(verb, noun);
}
