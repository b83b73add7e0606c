// Pauses and the laid-out screens: the title, the instructions and the
// endings are drawn by placing the cursor on an 80 by 25 screen.
#pragma once

void delayMs(unsigned milliseconds);
void gotoXY(int column, int row);
void clearScreen();

// Blanks a question line before it is asked again.
void clearPromptField();
