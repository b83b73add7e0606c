#include "encounters.h"

// TODO(danger issue): the gunfight is not built yet; the brother does nothing.
void gunfight(char*)
{
}
