// The start of one run, which is one game: seed the draws, ask the start-up
// questions, hide the brothers and hand over to the main loop, which ends
// the process itself.
#include "platform/platform.h"
#include "game/game.h"
#include "world/random.h"

int main(int argc, char** argv)
{
    seedRandom(platformStart(argc, argv));
    titleScreen();
    placeDesperados();
    runGame();
}
