// Meeting the brothers, the snake and the rat.
#pragma once

#include "world/world.h"

// Fights the brother or brothers here, exchange by exchange, starting with
// the command just read; returns only after a kill that leaves a brother
// alive.
void gunfight(char* command);

// The snake and the rat give the Marshal one command, already read.
void snakeEncounter(char* command);
void ratEncounter(char* command);

// Run when a building room is described: the rat or a brother waiting here
// takes the Marshal's next command.
void encounterCheck(char* command);
