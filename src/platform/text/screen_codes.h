// The ANSI codes that lay out the game's screens, for the front ends whose
// screen reads them (the terminal and the page).
#pragma once

// Moves the cursor to a 1-based column and row.
void writeCursorPlacement(int column, int row);

// Erases the visible screen only, so the player's scrollback survives, and
// puts the cursor in the top left cell.
void writeClearScreen();

// The same for a front end that may be writing plain text instead, where
// the plain text takes the placement and the cleared screen.
void placeCursor(bool plainText, int column, int row);
void clearTheScreen(bool plainText);
