// The game's own generator, the same on every platform: a seed replays a
// game exactly. Draws are 0 to 32767.
#pragma once

void seedRandom(unsigned seed);
int drawRandom();
