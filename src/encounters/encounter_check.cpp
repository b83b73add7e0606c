#include "encounters.h"

// TODO(danger issue): rooms do not start the rat fight or a gunfight yet.
void encounterCheck(char*)
{
}
