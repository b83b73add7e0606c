#include "endings/endings.h"

#include "console/console.h"
#include "console/sound.h"
#include "world/world.h"

#include <cctype>
#include <cstdlib>
#include <iostream>

const int ESCAPE_KEY = 27;

// A line of an ending screen. Where afterName is given, the player's name
// stands between the two texts.
struct ScreenLine {
    int column;
    int row;
    const char* text;
    const char* afterName;
};

const char* const DESPERADOS_PREVAILED = "The desperados have prevailed in Orvane City";

// The rest of every ending screen after its opening: a cleared screen, its
// sound, four placed lines, a closing pause, then the closing screen.
[[noreturn]] static void showEnding(void (*sound)(), const ScreenLine (&lines)[4],
                                    unsigned closingPause = 1000)
{
    clearScreen();
    if (soundOn == 'y')
        sound();
    for (const ScreenLine& line : lines) {
        gotoXY(line.column, line.row);
        std::cout << line.text;
        if (line.afterName)
            std::cout << playerName << line.afterName;
    }
    delayMs(closingPause);
    closingScreen();
}

void closingScreen()
{
    platformGameOver();
    gotoXY(1, 18);
    std::cout << "     Enjoyed Quorrell?  A contribution to the Orvane City Software Company\n"
                 "     keeps the town's lights on: write to quorrell@orvanecity.invalid\n\n";
    gotoXY(34, 21);
    std::cout << "Happy trails Marshal " << playerName;
    delayMs(3000);
    gotoXY(34, 22);
    std::cout << "Press escape to exit ";
    for (;;) {
        int key = platformReadKey();
        if (key == KEY_END_OF_INPUT)
            std::exit(0);
        if (key == ESCAPE_KEY)
            break;
    }
    if (soundOn == 'y')
        cueExit();
    std::exit(0);
}

void farewell()
{
    clearScreen();
    gotoXY(20, 12);
    std::cout << "HAPPY TRAILS TILL NEXT TIME Marshal";
    std::cout.flush();
    std::exit(0);
}

void confirmQuit()
{
    std::cout << "Are you surrendering Orvane City to the desperados Marshal " << playerName << "?  Y or N";
    int key = platformReadKey();
    if (key == KEY_END_OF_INPUT)
        farewell();
    if (std::tolower(key) != 'y') {
        delayMs(100);
        std::cout << "\nI knew you were not a yellow dog, please continue\n";
        return;
    }
    clearScreen();
    if (soundOn == 'y')
        cueQuit();
    delayMs(100);
    gotoXY(6, 10);
    std::cout << "You have let down the decent citizens of Orvane City Marshal " << playerName;
    gotoXY(18, 14);
    std::cout << DESPERADOS_PREVAILED;
    delayMs(1000);
    closingScreen();
}

void endDefeated()
{
    static const ScreenLine lines[4] = {
        {12, 10, "You have been defeated by the desperados Marshal ", ""},
        {11, 12, "You once were a lion that roared, but now you are stiff as a board", nullptr},
        {15, 14, "Your success was nil, so you must go to boot hill", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(2000);
    showEnding(cueLose, lines);
}

void endVictory()
{
    static const ScreenLine lines[4] = {
        {6, 10, "Great  job!  You have cleaned up Orvane City Marshal ", ""},
        {15, 12, "It looked for a while like you were gonna get hurt", nullptr},
        {14, 14, "But you mowed down the punks like weeds in the dirt", nullptr},
        {18, 16, "Law and order have prevailed in Orvane City!", nullptr}};
    delayMs(1000);
    showEnding(cueWin, lines);
}

// The snake's verse whenever its venom is in the Marshal, even if the rat's
// poison was the one that finished him.
void endPoisoned()
{
    static const ScreenLine snakeLines[4] = {
        {7, 10, "Oh no, you have been done in by the snake venom Marshal ", ""},
        {10, 12, "You were always a battler but you were nailed by the rattler", nullptr},
        {19, 14, "For goodness sake, you were beaten by a snake", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    static const ScreenLine ratLines[4] = {
        {7, 10, "Oh no, you have been defeated  by the stinking  ratMarshal ", ""},
        {10, 12, "Imagine that, you lost to a rat", nullptr},
        {19, 14, "It is easy to determine that you lost to the vermin", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(2000);
    showEnding(cueLose, venomFree == 0 ? snakeLines : ratLines);
}

void endStarved()
{
    static const ScreenLine lines[4] = {
        {18, 10, "Oh no - you have perished from lack of food", nullptr},
        {22, 12, "And it has put you in a very bad mood", nullptr},
        {18, 14, "Perhaps a long rest will improve your tude", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(3000);
    showEnding(cueLose, lines);
}

void endNightfall()
{
    static const ScreenLine lines[4] = {
        {18, 10, "Oh no, nightfall has thwarted your mission", nullptr},
        {17, 12, "And you cannot proceed with light in remission", nullptr},
        {22, 14, "So get your pole and just go fishin", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(3000);
    showEnding(cueLose, lines);
}

void endBread()
{
    static const ScreenLine lines[4] = {
        {21, 10, "Oh no, you have succumbed to the bread", nullptr},
        {26, 12, "And now you are so very dead", nullptr},
        {19, 14, "You will never again see your cousin Fred", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(3000);
    showEnding(cueLose, lines);
}

void endQuicksand()
{
    static const ScreenLine lines[4] = {
        {8, 10, "Too bad Marshal ", ", you have been sucked into the earth"},
        {12, 12, "Your feelings are hurt because you drowned in the dirt", nullptr},
        {13, 14, "Better get on good terms with the slugs and the worms", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(2000);
    showEnding(cueLose, lines);
}

void endMurder()
{
    static const ScreenLine lines[4] = {
        {8, 10, "Oh no Marshal ", ", you have committed cold blooded murder"},
        {8, 12, "You will be planted like a flower because you abused your power", nullptr},
        {16, 14, "Although you are young you will have to be hung", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(1000);
    showEnding(cueLose, lines);
}

void endHorses()
{
    static const ScreenLine lines[4] = {
        {10, 10, "Oh no Marshal ", ", you have killed some very good horses"},
        {17, 12, "You must have been controlled by evil forces", nullptr},
        {7, 14, "But you must step down as Marshal till you take some law courses", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    delayMs(1000);
    showEnding(cueLose, lines);
}

// The fall is heard before the screen clears.
void endStairs()
{
    static const ScreenLine lines[4] = {
        {23, 10, "Oh no - you fell down the stairs!", nullptr},
        {17, 12, "Now you are dead from your toes to your hairs", nullptr},
        {15, 14, "And your neck has been broken into several pairs", nullptr},
        {18, 16, DESPERADOS_PREVAILED, nullptr}};
    if (soundOn == 'y')
        cueStairsFall();
    delayMs(500);
    showEnding(cueLose, lines);
}

void endBadFall()
{
    static const ScreenLine lines[4] = {
        {21, 10, "Oh no - you have taken a very bad fall", nullptr},
        {21, 12, "And your brains are all over the wall", nullptr},
        {20, 14, "Perhaps you were tripped by a Desperado", nullptr},
        {18, 16, "The desperados have prevailed in Orvane City.", nullptr}};
    delayMs(1000);
    showEnding(cueLose, lines);
}

// The drunk screen comes at once and leaves almost at once.
void endDrunk()
{
    static const ScreenLine lines[4] = {
        {16, 10, "Oh no!  You are drunk as a skunk Marshal ", ""},
        {4, 12, "You are unable to finish your mission in your drunken  condition", nullptr},
        {7, 14, "No one  thought you would lose to a stinking bottle of booze", nullptr},
        {18, 16, "The desperados have prevailed in Orvane City.", nullptr}};
    showEnding(cueLose, lines, 1);
}
