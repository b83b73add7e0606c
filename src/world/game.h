// The flow of one game: start-up, the brothers' places and the main loop
// over the town.
#pragma once

#include "world.h"

void titleScreen();
void showInstructions();
[[noreturn]] void farewell();

void placeDesperados();

[[noreturn]] void runGame();
void townTurn(int& lastDescribedRoom);

// Lists the items, creatures and brothers lying where the Marshal stands.
void describeItemsHere();
