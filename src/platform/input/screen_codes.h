// The ANSI codes that lay out the game's screens, for the front ends whose
// screen reads them (the terminal and the page).
#pragma once

// Moves the cursor to a 1-based column and row.
void writeCursorPlacement(int column, int row);

// Erases the visible screen only, so the player's scrollback survives, and
// puts the cursor in the top left cell.
void writeClearScreen();
