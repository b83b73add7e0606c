// Sound for builds without an audio library: the game plays on in silence.
#include "platform/platform.h"

#include <iostream>

void platformPlaySound(const char*, int)
{
    std::cout.flush();
}

void platformStopSound()
{
}

void muteSounds(bool)
{
}
