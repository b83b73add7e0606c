#include "game/game.h"

#include "console/console.h"
#include "console/sound.h"
#include "endings/endings.h"

#include <cctype>
#include <cstdlib>
#include <iostream>

const int ESCAPE_KEY = 27;
const int CONTROL_C_KEY = 3;

// Blanks the question line, asks after a short pause and reads one key,
// lower-cased. Escape or Ctrl-C (or the end of input) leaves the game.
static int askForKey(int column, int row, const char* question)
{
    gotoXY(column, row);
    clearPromptField();
    gotoXY(column, row);
    delayMs(200);
    std::cout << question;
    int key = platformReadKey();
    if (key == ESCAPE_KEY || key == CONTROL_C_KEY || key == KEY_END_OF_INPUT)
        farewell();
    return std::tolower(key);
}

// Any key but the two answers asks the question again.
static char askYesOrNo(const char* question)
{
    int key = 0;
    do
        key = askForKey(10, 22, question);
    while (key != 'y' && key != 'n');
    return static_cast<char>(key);
}

void showInstructions()
{
    clearScreen();
    gotoXY(20, 1);
    std::cout << "Instructions for Quorrell\n"
                 "     Quorrell is a game in which you are the Marshal of Orvane City\n"
                 "in the year 1877 in the days of the wild west.  There are three desperados in\n"
                 "town, the Desperado brothers, Dexter, Clarence and Rodney and your assignment \n"
                 "is to track them down and wipe the bums out for good!  However, you will find \n"
                 "that your mission is not easily accomplished.\n"
                 "     You move around town by entering a single letter for the direction in \n"
                 "which you want to go:  \"N, S, E, W, U or D.\"  You can enter the letter \"I\" \n"
                 "or the word \"inventory\" to check on what you are carrying, the letter \"L\" \n"
                 "or the word \"look\" to check on where you are, the word \"sound\" to toggle \n"
                 "sound effects on and off, and the word \"quit\" to quit the game.  All other \n"
                 "commands must be in two words.  Decide what you want to do in each situation \n"
                 "and use a simple and basic command to carry out the action.  Not every command \n"
                 "that you enter will work, so try various words in an effort to accomplish your \n"
                 "goal.  Be sure to spell every word correctly.  Also, be sure to read the entire\n"
                 "description after each entry or you may miss something important. You must\n"
                 "obtain certain tools to succeed but not all of them are easily located.\n\n"
                 "     Quorrell was written by the Orvane City Software Company, which also makes\n"
                 "other small games for the console.  Read the README file that comes with the\n"
                 "game for how to build it, and write to us at quorrell@orvanecity.invalid\n"
                 "     Good luck!  May 2012";
    while (askForKey(1, 24, "Press R to return to the game or ESCAPE to quit ") != 'r') {
    }
    clearScreen();
    gotoXY(30, 8);
    std::cout << "QUORRELL";
    gotoXY(28, 10);
    std::cout << "Version 2.0 for Windows";
}

static void askForName()
{
    gotoXY(10, 22);
    clearPromptField();
    gotoXY(10, 22);
    std::cout << "What is your first name?  ";
    if (!platformReadWord(playerName, PLAYER_NAME_SIZE))
        farewell();
}

void titleScreen()
{
    clearScreen();
    gotoXY(31, 5);
    std::cout << "QUORRELL";
    gotoXY(34, 7);
    std::cout << "Version 2.0 for Windows";
    gotoXY(20, 9);
    std::cout << "Written by the Orvane City Software Company";
    gotoXY(26, 11);
    std::cout << "quorrell@orvanecity.invalid";
    gotoXY(25, 13);
    std::cout << "Marshal voice by Rudanti";
    gotoXY(1, 16);
    std::cout << "Quorrell is free: it may not be sold and comes without any warranty.\n"
                 "You may copy it freely, as long as all of its files go with it.";
    if (askYesOrNo("Instructions?  Y or N  ") == 'y')
        showInstructions();
    soundOn = askYesOrNo("Sound effects?  Y or N  ");
    if (soundOn == 'y')
        cueIntro();
    askForName();
    clearScreen();
    delayMs(200);
    gotoXY(1, 1);
    std::cout << "Howdie Marshal " << playerName << ", good luck, I hope your will is up to date.\n\n";
    std::cout << "It is high noon in Orvane City.";
}
