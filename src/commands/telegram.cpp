// The telegram's rhyming hint. Each game gets one, chosen the first time
// the telegram is read; a game that never reads it never draws it, so the
// rest of that game's luck is untouched.
#include "commands/commands.h"

#include "world/random.h"

#include <iostream>

const int HINT_COUNT = 17;

// Every hint closes a quotation it never opens.
static const char* const telegramHints[HINT_COUNT] = {
    "There are times you must get down to get yourself around the town\"\n",
    "You may hate to watch your diet but you just might have to try it.\"\n",
    "Get yourself in the spirit and you may find that you are near it.\"\n",
    "You will start to reach your peak when you look and search and seek.\"\n",
    "Even magicians and crazy fools approach a job with the proper tools.\"\n",
    "Here is a word from a wise old chap do not run from every trap.\"\n",
    "You may be bold or you may be scared but just make sure that you are prepared.\"\n",
    "As you know you have to try to get to more than meets the eye.\"\n",
    "You will need the proper load to brave the dangers on the road.\"\n",
    "Roses are red and money is green and not all things are easily seen.\"\n",
    "Take the high road all the time and your neck will be on the line.\"\n",
    "If you tend to waste and squander you will wind up over yonder.\"\n",
    "If you waste time in your travel it will all start to unravel.\"\n",
    "Frustration will cause you stress but just keep pushing to achieve success.\"\n",
    "Not just beer and pairs of socks come packaged in a can or box.\"\n",
    "Here is a very useful tip take a moment to plan your trip.\"\n",
    "You may find things happen oddly but the toughest one is Rodney.\"\n",
};

void showTelegramHint()
{
    if (telegramHintChosen == 0) {
        telegramHint = drawRandom() % HINT_COUNT;
        telegramHintChosen = 1;
    }
    std::cout << telegramHints[telegramHint];
}
