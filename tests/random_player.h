// A random player: a whole game's input drawn from the game's vocabulary,
// the same for the same numbers on every machine, so a failing game replays.
#pragma once

#include <cstdint>
#include <string>

struct RandomGame {
    unsigned seed;      // the game's own seed, for quorrell-script --seed
    std::string input;  // the start-up answers, then the commands
};

// Game number `index` of the series drawn from `masterSeed`.
RandomGame randomGame(std::uint64_t masterSeed, unsigned index);
