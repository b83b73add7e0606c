#include "console/console.h"

#include "platform/platform.h"

#include <iostream>

void delayMs(unsigned milliseconds)
{
    platformWait(milliseconds);
}

void gotoXY(int column, int row)
{
    platformGotoXY(column, row);
}

void clearScreen()
{
    platformClearScreen();
}

void clearPromptField()
{
    std::cout << "                              ";
}
