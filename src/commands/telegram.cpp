#include "commands.h"

// TODO(things in hand issue): the telegram's hints are not built yet.
void showTelegramHint() {}
