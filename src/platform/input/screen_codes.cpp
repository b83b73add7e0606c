#include "platform/input/screen_codes.h"

#include <iostream>

void writeCursorPlacement(int column, int row)
{
    std::cout << "\x1b[" << row << ';' << column << 'H';
}

void writeClearScreen()
{
    std::cout << "\x1b[H\x1b[2J";
}
