// Writes whole games for tools/compare-web-games: the random player's games
// (tests/random_player.cpp), each followed by enough waiting about for the
// afternoon to end and an Escape at the closing screen, so that every game
// plays to one of its endings rather than stopping at the end of its input.
//   web_games <folder> <count>   writes <folder>/<n>.seed and <folder>/<n>.in
#include "random_player.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: web_games <folder> <count>\n";
        return 2;
    }
    const std::string folder = argv[1];
    const unsigned count = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    std::string waiting;
    for (int turn = 0; turn < 400; ++turn)
        waiting += "i\n";
    for (unsigned index = 0; index < count; ++index) {
        RandomGame game = randomGame(0x3EB6A4Eull, index);
        std::ofstream(folder + "/" + std::to_string(index) + ".seed") << game.seed << '\n';
        std::ofstream(folder + "/" + std::to_string(index) + ".in", std::ios::binary)
            << game.input << waiting << '\x1b';
    }
    return 0;
}
