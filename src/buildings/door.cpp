#include "buildings.h"

#include <iostream>

// TODO(puzzle route issue): the locked door routine is not built yet.
void doorCommand(const char*, int&)
{
    std::cout << "You cannot do that\n";
}
