#include "platform/text/screen_codes.h"

#include "platform/text/plain_text.h"

#include <iostream>

void writeCursorPlacement(int column, int row)
{
    std::cout << "\x1b[" << row << ';' << column << 'H';
}

void writeClearScreen()
{
    std::cout << "\x1b[H\x1b[2J";
}

void placeCursor(bool plainText, int column, int row)
{
    if (plainText)
        plainPlaceCursor(column, row);
    else
        writeCursorPlacement(column, row);
}

void clearTheScreen(bool plainText)
{
    if (plainText)
        plainClearScreen();
    else
        writeClearScreen();
}
