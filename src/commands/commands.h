// The commands that work everywhere, and the verb handlers they lead to.
#pragma once

#include "world/world.h"

// Answers a command that no location took for itself: the single words,
// then any two-word verb and noun. The line is cut and joined in place.
void interpretCommand(char* command, int& lastDescribedRoom);

void takeItem(int noun);
void dropItem(int noun);
void eatItem(int noun);
void drinkItem(int noun);
void shootItem(int noun);
void readItem(int noun);
void loadItem(int noun);
void cutItem(int noun);
void chopItem(int noun);
void openItem(int noun);
void strikeItem(int noun);

// Prints this game's hint from the telegram, drawn at the first reading.
void showTelegramHint();
