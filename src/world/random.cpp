// The game's random generator: the classic linear congruential generator,
// written out so that a seed draws the same game on every platform and
// with every C library.
#include "world/random.h"

#include <cstdint>

static std::uint32_t randomState = 1;

void seedRandom(unsigned seed)
{
    randomState = seed;
}

int drawRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}
