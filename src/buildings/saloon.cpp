#include "buildings.h"

// TODO(puzzle route issue): this building is not built yet; the Marshal finds the
// door shut and stays on the street.
void runSaloon()
{
    playerLocation = 9;
}
