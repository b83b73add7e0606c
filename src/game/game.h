// The flow of one game: start-up, the brothers' places and the main loop
// over the town.
#pragma once

#include "world/world.h"

void titleScreen();
void showInstructions();

void placeDesperados();

[[noreturn]] void runGame();
void townTurn(int& lastDescribedRoom);
