// The one command prompt: every location and every fight gets its next
// command here, and each call is one turn of the clock.
#pragma once

#include "world/world.h"

// Reads the turn's command into a buffer of COMMAND_SIZE characters, then
// runs the clock: the timed placements and the afflictions, any of which can
// end the game before the command is acted on.
void readCommand(char* command);

// Reads one line for the prompt, or ends the game with the farewell when
// the input has ended.
void readCommandLine(char* command);

void placeRat();
void placeSnake();
void placeQuicksand();
RoomCode drawStreetSquare();

// The afflictions, in the order the clock runs them.
void quicksandTrap();
void hungerStep();
void duskStep();
void venomStep();
void rabiesStep();
void breadStep();
