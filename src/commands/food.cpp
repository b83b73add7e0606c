#include "commands.h"

// TODO(things in hand issue): eating and drinking are not built yet.
void eatItem(int) {}
void drinkItem(int) {}
