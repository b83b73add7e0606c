// The game on a POSIX terminal: what its files share. terminal.cpp is the
// platform itself, terminal_modes.cpp the terminal's settings and the
// signals that change them, terminal_output.cpp the way to the screen,
// terminal_watch.cpp the pace of a record watched, terminal_asciicast.cpp
// a record written as a recording of the screen.
#pragma once

#include <csignal>
#include <string>

// Standard input is a terminal whose settings we hold, and standard output
// is a terminal.
extern bool onTerminal;
extern bool writingToTerminal;
// Set by the return from a suspension, for the line being edited to be
// drawn again.
extern volatile sig_atomic_t resumed;
// Set by a resize of the terminal, for the line being edited to be drawn
// again for its new width.
extern volatile sig_atomic_t resized;

// Takes the terminal's settings, to give them back on every way out: false
// when standard input is no terminal.
bool holdTheTerminal();
void installSignalHandlers();
// Echo off and no line mode for the whole game; a one-key question also
// takes Ctrl-C as a key.
void applyGameMode();
void enterKeyMode();
void leaveKeyMode();
void restoreTerminal();
// Ends the game as a hang-up does, unless hang-ups are ignored.
void endAsAtAHangUp();

// Draws 0x1E as the console does and keeps the prompt's line for a redraw;
// only for output that goes to a terminal.
void filterTheOutput();
// What the game has written on the prompt's screen line so far.
const std::string& promptLine();
// The same from the start of its row, with a placed cursor's column as a
// move to the right: to draw it again where the screen's rows have moved.
std::string promptLineFromItsRow();
void forgetPromptLine();
// The column the cursor stands in after what the game has written on the
// prompt's screen line (0-based).
int promptColumn();
// What the terminal draws the stored byte 0x1E as.
const char* terminalTriangle();
// The editor's echo, to the screen the player looks at.
void echoToTerminal(const char* bytes, int count);

// Paces a record watched (--watch, --asciicast) and reads the watcher's
// keys, which never reach the game.
void startWatching();
// A pause of the game while a record is watched.
void watchWait(unsigned milliseconds);
// Gives the terminal's title back; safe in a signal handler.
void putBackTheTitle();

// The game's output becomes an asciicast on standard output, timed by the
// pauses that asciicastAdvance adds up.
void startAsciicast();
bool writingAsciicast();
void asciicastAdvance(unsigned milliseconds);
