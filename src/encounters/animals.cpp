#include "encounters.h"

// TODO(danger issue): the snake and the rat do not bite yet; they simply leave.
void snakeEncounter(char*)
{
    itemLocation[SNAKE] = NOWHERE;
}

void ratEncounter(char*)
{
    itemLocation[RAT] = NOWHERE;
}
