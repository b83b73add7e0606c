// quorrell-fuzz: one whole game per run on the harness's platform, like
// quorrell-script, except that the game's seed is the first four bytes of
// standard input (little-endian), so the fuzzer varies the draws as well as
// the keys and commands that follow.
#include "game/game.h"
#include "world/random.h"

#include <cstddef>
#include <unistd.h>

static unsigned readSeed()
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    std::size_t have = 0;
    while (have < sizeof bytes) {
        ssize_t count = read(STDIN_FILENO, bytes + have, sizeof bytes - have);
        if (count <= 0)
            break;
        have += static_cast<std::size_t>(count);
    }
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<unsigned>(bytes[3]) << 24;
}

int main()
{
    seedRandom(readSeed());
    titleScreen();
    placeDesperados();
    runGame();
}
