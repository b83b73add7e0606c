// Everything the game needs from the operating system. Game code includes
// this header and nothing else for the screen, the keyboard, time, sound and
// process start; each program links exactly one implementation of it.
#pragma once

// Returned by platformReadKey when standard input has ended.
const int KEY_END_OF_INPUT = -1;

// How a sound file is played.
const int SOUND_SYNC = 0;  // play to the end before returning
const int SOUND_LOOP = 1;  // start repeating in the background and return

// Called once by main before anything else. Prepares the terminal (or the
// harness) and returns the seed for the game's random generator: the --seed
// option or a record's seed where there is one, else the clock in seconds
// (the harness: 1).
unsigned platformStart(int argc, char** argv);

// Moves the cursor to a 1-based column and row of an 80 by 25 screen.
void platformGotoXY(int column, int row);

// Blanks the screen and puts the cursor in the top left cell.
void platformClearScreen();

// One key, without echo and without Enter; KEY_END_OF_INPUT at the end of
// input. Keys typed ahead, also during pauses, are returned in order.
int platformReadKey();

// One line of input without its line end, cut to capacity - 1 characters
// (the rest of the line is read and dropped). False at the end of input.
bool platformReadLine(char* line, int capacity);

// One word: skips blanks and empty lines, keeps at most capacity - 1
// characters of the word and drops the rest of its line. False at the end of
// input.
bool platformReadWord(char* word, int capacity);

// The next line the game reads is the command of this turn (the turn
// clock's count once it is read). A game saved as it is played keeps the
// number with the line, to say at the next start where it was put down.
void platformCommandTurn(int turn);

// An ending's screen is drawn, and its closing screen comes next: the game
// is over, whatever key is pressed there.
void platformGameOver();

// Waits the given number of milliseconds without reading input.
void platformWait(unsigned milliseconds);

// Plays data/<stem>.wav. A sound that cannot be played is skipped silently.
void platformPlaySound(const char* stem, int mode);

// Stops whatever sound is playing.
void platformStopSound();
