// The floor for the game's start-up: a C++ program built with the same flags
// that writes a title and waits for a key, as the game does at its first
// question.
#include <iostream>

int main()
{
    std::cout << "QUORRELL" << std::endl;
    std::cin.get();
    return 0;
}
