#include "encounters/encounters.h"

#include "turn/turn.h"

// The rat comes first: a brother in the same room waits until the room is
// described again.
void encounterCheck(char* command)
{
    if (isHere(RAT) && rabiesFree == 1) {
        readCommand(command);
        ratEncounter(command);
    } else if (desperadoHere()) {
        readCommand(command);
        gunfight(command);
    }
}
