#include "commands.h"

// TODO(things in hand issue): the weapons and tools are not built yet.
void shootItem(int) {}
void readItem(int) {}
void loadItem(int) {}
void cutItem(int) {}
void chopItem(int) {}
void openItem(int) {}
void strikeItem(int) {}
