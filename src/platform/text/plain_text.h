// The game as plain text: what the player saw, for a screen reader, a braille
// display, a dumb terminal, a log or a transcript, with no escape code and no
// line of blanks. The game's output is played on a model of the console of
// 80 columns by 25 rows: scrolling text is written line by line as it comes,
// a screen laid out with cursor placements is written as its rows, top to
// bottom, once the game waits for a key or a line, and a row drawn again in
// place is written again. Rows never wrap and lose their trailing blanks, and
// no more than one empty line is written in a row.
// The live game and a record's transcript feed it alike and get the same text.
#pragma once

#include <string>

// Where the text goes, in order.
using PlainSink = void (*)(const char* bytes, int count);

// Starts afresh on an empty screen, the cursor in its top left cell;
// upTriangle is what the stored byte 0x1E is written as.
void plainStart(PlainSink sink, const char* upTriangle);

// The game's text and line ends, its cursor placements (1-based) and its
// cleared screens.
void plainWrite(const char* bytes, int count);
void plainPlaceCursor(int column, int row);
void plainClearScreen();

// A moment the player looks at the screen (a pause, a sound): the scrolling
// text so far is written, a screen being laid out is held.
void plainSettle();

// The game waits for a key or a line: everything on the screen not yet
// written is, and the cursor's row is left open for what is typed.
void plainAwaitInput();

// The key the game read, shown in its place when it is a printable one, a
// blank after a question that it would touch, once the game has acted on
// it: a key the game passes over (reading the next key with nothing drawn,
// or asking the same question again in its place) is not shown.
void plainTypedKey(int key);

// A read of a game written as plain text with no echo of its own (a
// transcript): the text is brought up to the read first, and what was read
// goes in its place after.
int plainReadKey(int (*read)());
bool plainReadText(char* text, int capacity, bool (*read)(char* text, int capacity));

// The line the game read, in its place, then its line end. alreadyShown:
// the platform's echo has written exactly the blanks before the cursor and
// the line to the sink, and only the line end is missing.
void plainTypedLine(const char* line, bool alreadyShown);

// The blanks between what has been written of the cursor's row and the
// cursor, where typing shows.
int plainBlanksBeforeInput();

// The cursor's row up to the cursor, for drawing it again.
std::string plainRowBeforeCursor();

// The end: what is held is written and the last line ended.
void plainFinish();

// The end of a program whose whole work is the transcript: one cut short
// (a full disk) is no success, and leaves with a line and status 1.
void plainEndTranscript();

// The columns a line typed by the player takes in the text.
int plainColumnsOf(const char* text);

// Sends standard output through the plain text: what the game writes with
// std::cout, and a flush of it as a moment the player looks (plainSettle).
void plainTakeStandardOutput(const char* upTriangle);
