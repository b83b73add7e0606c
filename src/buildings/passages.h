// The underground passages below the saloon's trap door, from the vault to
// the rock room. They have no handler of their own: the saloon's handler
// runs them.
#pragma once

#include "world/world.h"

// The arrival lines of the passage room the Marshal stands in. Nobody is
// ever placed down here, so there is no encounter check.
void describePassageRoom();

// The passage room's exits, refused letters and own commands, in that
// order; anything else goes to the interpreter.
void passageCommand(char* command, int& lastDescribedRoom);
