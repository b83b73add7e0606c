// The command line the Marshal types into, shared by every platform that
// draws its own echo (the POSIX terminal and the web page). It takes raw
// key bytes, keeps the line within what the game will read, and echoes only
// what it takes in, so nothing typed ahead shows before it is read.
#pragma once

// The next byte of input, waiting for it; -1 at the end of input.
using EditorNextByte = int (*)();
// A byte that has already arrived, offset bytes ahead, without waiting; -1
// when it has not. Tells a lone Escape from the start of a key sequence.
using EditorPeekByte = int (*)(int offset);
// Puts the echo on the screen: the line's text, and besides it only a
// newline, BEL, and the sequences Escape [ n D (n columns left), Escape [ n C
// (n columns right) and Escape [ K (blank to the end of the screen line).
// A line that wraps (see editorPlaceLine) adds a carriage return, Escape
// [ n A and Escape [ n B (n rows up and down) and Escape [ J (blank to the
// end of the screen); plain echo (see editorUsePlainEcho) has only the text,
// BEL, backspaces and blanks.
using EditorWrite = void (*)(const char* bytes, int count);

// Called once by the platform before the first line is read.
void editorConnect(EditorNextByte next, EditorPeekByte peek, EditorWrite write);

// For plain text, where nothing may move the cursor: the line is typed and
// erased at its end only (backspaces, blanks over what is erased, backspaces),
// the keys that would move in it are passed over, and its line end is left
// to the platform, which writes the line where the game reads it.
void editorUsePlainEcho();

// The screen's width in columns and the column the next line starts in, for
// a line that may wrap onto further rows; a width of 0 is unknown, and the
// line is taken never to wrap. Called before a read, as the prompt is known.
void editorPlaceLine(int screenColumns, int column);

// Edits one line of at most capacity - 1 bytes, the prompt already shown,
// and ends it on the screen with a newline. False at the end of input: Ctrl-D
// on an empty line, or input closed; the end of input is then final.
bool editorReadLine(char* line, int capacity);

// Edits one line as editorReadLine does, but keeps it out of the history:
// for an answer that is no command, such as the player's name.
bool editorReadAnswer(char* line, int capacity);

// Keeps a line in the history as if it had been typed: the commands of a
// resumed game, played again from its record.
void editorRemember(const char* line);

// The first word of an answer line (blanks are spaces and tabs), cut to
// capacity - 1 bytes; false when the line holds no word.
bool editorFirstWord(const char* line, char* word, int capacity);

// The name: the first word of the first answer line that has one, read
// with readAnswer (editorReadAnswer, or the platform's own wrapping of it).
// Enter alone only moves down a line, and the rest of the line is dropped.
// False at the end of input.
bool editorReadFirstWord(char* word, int capacity, bool (*readAnswer)(char* line, int capacity));

// One key for a one-key question, not echoed: the next byte, with the
// sequences of arrow and function keys and mouse reports passed over. A lone
// Escape, or Escape and a plain key, is Escape (27). -1 at the end of input,
// which is then final here too.
int editorReadKey();

// True once the end of input has been reached through the editor.
bool editorInputEnded();

// Draws the line being edited again, as it was, after the screen was taken
// away (a suspended and resumed game): the platform draws the prompt's line
// again first, and the cursor goes back where it was in the line. Nothing
// when no line is being edited.
void editorRedraw();

// After the screen was resized while a line is edited: the rows between the
// prompt's first and the cursor on a screen now screenColumns wide, for the
// platform to go up that many, draw the prompt again, place the line with
// editorPlaceLine and draw it with editorRedraw. 0 when no line is edited.
int editorRowsFromThePrompt(int screenColumns);
