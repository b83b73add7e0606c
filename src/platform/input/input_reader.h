// input/: keys and lines, as every front end reads them: the reader, the
// line editor and the widths of the characters they echo.
//
// The one reader of standard input that lines, words and keys all share, so
// that nothing typed ahead is lost when the game switches between them.
#pragma once

// Supplies more bytes when the reader's buffer is empty: reads up to capacity
// bytes into buffer and returns how many, or 0 at the end of input. The
// terminal uses this to read single keys in key mode.
using InputSource = int (*)(char* buffer, int capacity);

// The next byte, or -1 at the end of input.
int readerNextByte(InputSource source);

// The next byte if it is already buffered, else -1; never reads.
int readerPeekBuffered(int offset);

// Reads once more from the source, keeping what is buffered: for bytes that
// have arrived and are wanted before the buffer is used up. False when
// nothing came (or the buffer is full).
bool readerTopUp(InputSource source);

// How many bytes are buffered and not yet read.
int readerBufferedCount();

// Drops count buffered bytes (they must be buffered).
void readerSkipBuffered(int count);

bool readerReadLine(InputSource source, char* line, int capacity);
bool readerReadWord(InputSource source, char* word, int capacity);

// Reads standard input directly as raw bytes, retrying when a signal
// interrupts it; 0 at the end of input or when it cannot be read.
int readStandardInput(char* buffer, int capacity);

// One try of the same on POSIX: -1 when a signal interrupted it or there was
// nothing yet, so that the caller can see to what the signal changed before
// trying again.
int readStandardInputOnce(char* buffer, int capacity);
