#include "platform/text/plain_text.h"

#include "platform/input/character_width.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

const int SCREEN_ROWS = 25;
const int NO_ROW = -1;
const int UNCHANGED = INT_MAX;
const char* const BLANK = " ";
// What a byte that starts no UTF-8 character is written as.
const char* const REPLACEMENT = "\xef\xbf\xbd";

struct PlainRow {
    // One character a cell; the second cell of a wide character is empty.
    std::vector<std::string> cells;
    // The first column drawn on since the row was last written.
    int changedFrom;
};

// Never freed, as the output that goes through them is flushed once more
// at exit, after the program's other objects are gone.
static std::vector<PlainRow>& screen = *new std::vector<PlainRow>();
static std::string& upTriangle = *new std::string();
// The first bytes of a character whose rest is still to come.
static std::string& characterSoFar = *new std::string();
static PlainSink sink = nullptr;
static int cursorColumn = 0;
static int cursorRow = 0;
// How many rows from the top the text has gone through since the screen
// was cleared: the rows below are still to be written the first time.
static int rowsWritten = 0;
// A cursor placement or a cleared screen since the game last waited: the
// screen is being laid out, and is written once it is complete.
static bool layingOut = false;
// The text ends without a line end, on the row openRow (NO_ROW when that
// row is gone), of which openColumns columns are written.
static bool lineOpen = false;
static int openRow = NO_ROW;
static int openColumns = 0;
// The last thing put on the screen was a key the player typed.
static bool keyLast = false;
// Anything drawn since the game last waited: a game that only reads key
// after key (a closing screen held down) costs nothing more a key.
static bool drawnSinceWaiting = true;
// Line ends sent in a row: at most one empty line is written in a row, as
// the laid-out screens' blank rows would otherwise make runs of them. The
// text starts as if after a line end.
static int lineEndsInARow = 1;

// A key the game read is held back until the game shows what it made of
// it. One it passes over, reading the next key with nothing drawn or asking
// the same question again in the same place, was no answer, and is never
// written; any other is, as if at once.
struct HeldKey {
    int key;  // 0 when none is held
    int row;
    int column;  // where the cursor was when it was read
    int placedAt;  // the column it was put in
    // Put on the screen, with what writing it sends held back, and the
    // row and the open line as they were before it.
    bool placed;
    std::string text;
    std::vector<std::string> rowBefore;
    bool lineOpen;
    int openRow;
    int openColumns;
    bool keyLast;
};
static HeldKey& held = *new HeldKey();
static bool holdingTheText = false;
static void placeHeldKey();

static void send(const std::string& text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char byte : text) {
        if (byte == '\n' && lineEndsInARow >= 2)
            continue;
        lineEndsInARow = byte == '\n' ? lineEndsInARow + 1 : 0;
        kept += byte;
    }
    if (!kept.empty())
        sink(kept.data(), static_cast<int>(kept.size()));
}

// The held key was an answer: what writing it sends goes first.
static void showHeldKey()
{
    if (!held.placed)
        return;
    std::string text = held.text;
    held = HeldKey();
    send(text);
}

static void emit(const std::string& text)
{
    if (text.empty())
        return;
    if (holdingTheText) {
        held.text += text;
        return;
    }
    showHeldKey();
    send(text);
}

static PlainRow blankRow()
{
    return {std::vector<std::string>(), UNCHANGED};
}

static void emptyScreen()
{
    screen.assign(SCREEN_ROWS, blankRow());
    cursorColumn = 0;
    cursorRow = 0;
    rowsWritten = 0;
    openRow = NO_ROW;
}

void plainStart(PlainSink plainSink, const char* triangle)
{
    sink = plainSink;
    upTriangle = triangle;
    emptyScreen();
    layingOut = false;
    lineOpen = false;
    openColumns = 0;
    keyLast = false;
    lineEndsInARow = 1;
    drawnSinceWaiting = true;
    held = HeldKey();
    characterSoFar.clear();
}

// The columns of a row up to its last one that is not blank.
static int usedColumns(const PlainRow& row)
{
    int columns = static_cast<int>(row.cells.size());
    while (columns > 0 && row.cells[static_cast<std::size_t>(columns - 1)] == BLANK)
        --columns;
    return columns;
}

static std::string textOf(const PlainRow& row, int from, int to)
{
    std::string text;
    for (int column = from; column < to; ++column)
        text += row.cells[static_cast<std::size_t>(column)];
    return text;
}

// Writes a row: only what is new on it when the text's open line is this
// row and nothing written of it has changed, else the whole row on a line of
// its own. It is left open for what comes after it on its line, or ended.
static void writeRow(int rowNumber, bool keepOpen)
{
    PlainRow& row = screen[static_cast<std::size_t>(rowNumber)];
    int columns = usedColumns(row);
    bool onlyTheRest = lineOpen && openRow == rowNumber && row.changedFrom >= openColumns;
    if (onlyTheRest) {
        columns = std::max(columns, openColumns);
        emit(textOf(row, openColumns, columns));
    } else {
        if (lineOpen)
            emit("\n");
        emit(textOf(row, 0, columns));
    }
    row.changedFrom = UNCHANGED;
    rowsWritten = std::max(rowsWritten, rowNumber + 1);
    if (keepOpen) {
        lineOpen = true;
        openRow = rowNumber;
        openColumns = columns;
    } else {
        emit("\n");
        lineOpen = false;
        openRow = NO_ROW;
    }
}

// A row the text still lacks: one not yet written, or one drawn again that
// shows something. A row only blanked (a question's field erased) is not
// written again.
static bool needsWriting(int rowNumber)
{
    const PlainRow& row = screen[static_cast<std::size_t>(rowNumber)];
    if (rowNumber >= rowsWritten)
        return true;
    if (lineOpen && openRow == rowNumber)
        return row.changedFrom != UNCHANGED;
    return row.changedFrom != UNCHANGED && usedColumns(row) > 0;
}

// Writes the rows from the top through last that the text lacks, in order;
// last itself always, left open when keepLastOpen.
static void writeRowsThrough(int last, bool keepLastOpen)
{
    for (int rowNumber = 0; rowNumber < last; ++rowNumber) {
        if (needsWriting(rowNumber))
            writeRow(rowNumber, false);
        else
            screen[static_cast<std::size_t>(rowNumber)].changedFrom = UNCHANGED;
    }
    writeRow(last, keepLastOpen);
}

// The lowest row with something to write, or NO_ROW.
static int lastRowToWrite()
{
    for (int rowNumber = SCREEN_ROWS - 1; rowNumber >= 0; --rowNumber) {
        const PlainRow& row = screen[static_cast<std::size_t>(rowNumber)];
        if (usedColumns(row) > 0 && needsWriting(rowNumber))
            return rowNumber;
    }
    return NO_ROW;
}

// The top row leaves the screen, written first if the text lacks it.
static void scrollUp()
{
    showHeldKey();
    if (needsWriting(0))
        writeRow(0, false);
    screen.erase(screen.begin());
    screen.push_back(blankRow());
    rowsWritten = std::max(0, rowsWritten - 1);
    if (openRow != NO_ROW)
        --openRow;
}

static void goDownALine()
{
    cursorColumn = 0;
    if (cursorRow == SCREEN_ROWS - 1)
        scrollUp();
    else
        ++cursorRow;
}

static void markChanged(PlainRow& row, int column)
{
    row.changedFrom = std::min(row.changedFrom, column);
}

// Puts a character of the given width at the cursor, as a console draws it.
static void put(const std::string& character, int width)
{
    PlainRow& row = screen[static_cast<std::size_t>(cursorRow)];
    std::vector<std::string>& cells = row.cells;
    int before = std::min(cursorColumn, static_cast<int>(cells.size())) - 1;
    while (before > 0 && cells[static_cast<std::size_t>(before)].empty())
        --before;
    if (width == 0 && before >= 0 && cells[static_cast<std::size_t>(before)] != BLANK) {
        // A mark goes on the character before it.
        cells[static_cast<std::size_t>(before)] += character;
        markChanged(row, before);
        return;
    }
    // A mark with nothing to go on is kept in a cell of its own.
    width = std::max(width, 1);
    std::size_t column = static_cast<std::size_t>(cursorColumn);
    std::size_t end = column + static_cast<std::size_t>(width);
    if (cells.size() < end)
        cells.resize(end, BLANK);
    // A wide character cut in half by this one loses its other half.
    int changedFrom = cursorColumn;
    if (cells[column].empty()) {
        cells[column - 1] = BLANK;
        changedFrom = cursorColumn - 1;
    }
    if (end < cells.size() && cells[end].empty())
        cells[end] = BLANK;
    cells[column] = character;
    if (width == 2)
        cells[column + 1].clear();
    markChanged(row, changedFrom);
    cursorColumn += width;
}

// A control character shows as a caret and a letter (^[ for Escape), so
// that nothing written can move a cursor or sound a bell.
static void putControl(unsigned char byte)
{
    put("^", 1);
    put(std::string(1, static_cast<char>(byte ^ 0x40)), 1);
}

static void putByte(unsigned char byte)
{
    if (byte == 0x1E)
        put(upTriangle, 1);
    else if (byte < 0x20 || byte == 0x7F)
        putControl(byte);
    else
        put(std::string(1, static_cast<char>(byte)), 1);
}

static void putWholeCharacter()
{
    int length = static_cast<int>(characterSoFar.size());
    put(characterSoFar, characterColumns(utf8CodePoint(characterSoFar.data(), length)));
    characterSoFar.clear();
}

static void putUnfinishedCharacter()
{
    if (!characterSoFar.empty())
        put(REPLACEMENT, 1);
    characterSoFar.clear();
}

// Takes bytes as they come, a character at a time; bytes that are not UTF-8
// are written as the replacement character.
static void putBytes(const char* bytes, int count)
{
    for (int place = 0; place < count; ++place) {
        unsigned char byte = static_cast<unsigned char>(bytes[place]);
        if (!characterSoFar.empty()) {
            int lead = static_cast<unsigned char>(characterSoFar[0]);
            bool fits = characterSoFar.size() == 1 ? utf8ValidSecond(lead, byte) : utf8Continuation(byte);
            if (fits) {
                characterSoFar += static_cast<char>(byte);
                if (static_cast<int>(characterSoFar.size()) == utf8Length(lead))
                    putWholeCharacter();
                continue;
            }
            putUnfinishedCharacter();
        }
        int length = utf8Length(byte);
        if (length == 1)
            putByte(byte);
        else if (length == 0)
            put(REPLACEMENT, 1);
        else
            characterSoFar = static_cast<char>(byte);
    }
}

void plainWrite(const char* bytes, int count)
{
    drawnSinceWaiting = true;
    placeHeldKey();
    keyLast = false;
    int lineStart = 0;
    for (int place = 0; place < count; ++place) {
        if (bytes[place] != '\n')
            continue;
        putBytes(bytes + lineStart, place - lineStart);
        putUnfinishedCharacter();
        // Scrolling text is written as each line ends.
        if (!layingOut)
            writeRowsThrough(cursorRow, false);
        goDownALine();
        lineStart = place + 1;
    }
    putBytes(bytes + lineStart, count - lineStart);
}

void plainPlaceCursor(int column, int row)
{
    drawnSinceWaiting = true;
    placeHeldKey();
    putUnfinishedCharacter();
    cursorColumn = std::max(column, 1) - 1;
    cursorRow = std::min(std::max(row, 1), SCREEN_ROWS) - 1;
    layingOut = true;
    keyLast = false;
}

void plainClearScreen()
{
    drawnSinceWaiting = true;
    placeHeldKey();
    putUnfinishedCharacter();
    emptyScreen();
    layingOut = true;
    keyLast = false;
}

void plainSettle()
{
    if (layingOut || usedColumns(screen[static_cast<std::size_t>(cursorRow)]) == 0 || !needsWriting(cursorRow))
        return;
    placeHeldKey();
    writeRowsThrough(cursorRow, true);
}

static bool sameText(const std::vector<std::string>& cells, const std::vector<std::string>& others)
{
    std::size_t length = std::max(cells.size(), others.size());
    for (std::size_t column = 0; column < length; ++column) {
        const std::string& one = column < cells.size() ? cells[column] : BLANK;
        const std::string& other = column < others.size() ? others[column] : BLANK;
        if (one != other)
            return false;
    }
    return true;
}

// The game waits again: the key held was an answer unless the game read on
// with nothing drawn, or drew the question it was read at again. A question
// longer than the field blanked before it is drawn again over all but the
// key, which the console never showed: it is taken off the screen.
static void settleHeldKey()
{
    if (held.key == 0)
        return;
    if (!held.placed) {
        held = HeldKey();
        return;
    }
    PlainRow& row = screen[static_cast<std::size_t>(held.row)];
    std::vector<std::string> withoutKey = row.cells;
    std::size_t keyColumn = static_cast<std::size_t>(held.placedAt);
    if (keyColumn < withoutKey.size() && withoutKey[keyColumn] == std::string(1, static_cast<char>(held.key)))
        withoutKey[keyColumn] = keyColumn < held.rowBefore.size() ? held.rowBefore[keyColumn] : BLANK;
    if (cursorRow != held.row || cursorColumn != held.column || !sameText(withoutKey, held.rowBefore)) {
        showHeldKey();
        return;
    }
    row.cells = withoutKey;
    lineOpen = held.lineOpen;
    openRow = held.openRow;
    openColumns = held.openColumns;
    keyLast = held.keyLast;
    held = HeldKey();
}

void plainAwaitInput()
{
    settleHeldKey();
    if (!drawnSinceWaiting)
        return;
    drawnSinceWaiting = false;
    putUnfinishedCharacter();
    int last = std::max(lastRowToWrite(), cursorRow);
    writeRowsThrough(last, last == cursorRow);
    layingOut = false;
}

int plainBlanksBeforeInput()
{
    if (!lineOpen || openRow != cursorRow)
        return 0;
    return std::max(0, cursorColumn - openColumns);
}

std::string plainRowBeforeCursor()
{
    const PlainRow& row = screen[static_cast<std::size_t>(cursorRow)];
    int columns = std::min(cursorColumn, static_cast<int>(row.cells.size()));
    return textOf(row, 0, columns) + std::string(static_cast<std::size_t>(cursorColumn - columns), ' ');
}

// Puts the held key where it was read, as the console would show it, and
// holds back what writing it sends.
static void placeHeldKey()
{
    if (held.key == 0 || held.placed)
        return;
    PlainRow& row = screen[static_cast<std::size_t>(held.row)];
    held.placed = true;
    drawnSinceWaiting = true;
    held.rowBefore = row.cells;
    held.lineOpen = lineOpen;
    held.openRow = openRow;
    held.openColumns = openColumns;
    held.keyLast = keyLast;
    std::size_t before = static_cast<std::size_t>(cursorColumn - 1);
    if (!keyLast && cursorColumn > 0 && before < row.cells.size() && row.cells[before] != BLANK)
        ++cursorColumn;
    held.placedAt = cursorColumn;
    put(std::string(1, static_cast<char>(held.key)), 1);
    keyLast = true;
    holdingTheText = true;
    writeRow(cursorRow, true);
    holdingTheText = false;
}

void plainTypedKey(int key)
{
    placeHeldKey();
    showHeldKey();
    if (key <= 0x20 || key >= 0x7F)
        return;
    held.key = key;
    held.row = cursorRow;
    held.column = cursorColumn;
}

void plainTypedLine(const char* line, bool alreadyShown)
{
    drawnSinceWaiting = true;
    placeHeldKey();
    // The platform's echo went to the same screen, past the count here.
    if (alreadyShown && (*line != '\0' || plainBlanksBeforeInput() > 0))
        lineEndsInARow = 0;
    std::string text(line);
    putBytes(text.data(), static_cast<int>(text.size()));
    putUnfinishedCharacter();
    PlainRow& row = screen[static_cast<std::size_t>(cursorRow)];
    if (alreadyShown && lineOpen && openRow == cursorRow) {
        row.changedFrom = UNCHANGED;
        openColumns = usedColumns(row);
    }
    // The player's line end is written at once, whatever is being laid out.
    writeRow(cursorRow, false);
    goDownALine();
}

void plainFinish()
{
    placeHeldKey();
    putUnfinishedCharacter();
    int last = lastRowToWrite();
    if (last != NO_ROW)
        writeRowsThrough(last, false);
    if (lineOpen)
        emit("\n");
    lineOpen = false;
    openRow = NO_ROW;
}

int plainColumnsOf(const char* text)
{
    int columns = 0;
    while (*text != '\0') {
        int length = utf8Length(static_cast<unsigned char>(*text));
        if (length <= 1) {
            ++text;
            ++columns;
            continue;
        }
        columns += characterColumns(utf8CodePoint(text, length));
        text += length;
    }
    return columns;
}

// What std::cout wrote to before the plain text took it over.
static std::streambuf* standardOutput = nullptr;

static void sendToStandardOutput(const char* bytes, int count)
{
    standardOutput->sputn(bytes, count);
}

// The game's std::cout, passed to the plain text as it is written.
class PlainOutput : public std::streambuf {
protected:
    int overflow(int byte) override
    {
        if (byte != traits_type::eof()) {
            char character = static_cast<char>(byte);
            plainWrite(&character, 1);
        }
        return traits_type::not_eof(byte);
    }

    std::streamsize xsputn(const char* bytes, std::streamsize count) override
    {
        plainWrite(bytes, static_cast<int>(count));
        return count;
    }

    int sync() override
    {
        plainSettle();
        return standardOutput->pubsync();
    }
};

void plainTakeStandardOutput(const char* triangle)
{
    standardOutput = std::cout.rdbuf();
    plainStart(sendToStandardOutput, triangle);
    // Never freed: the output is still written at exit.
    std::cout.rdbuf(new PlainOutput());
}

void plainEndTranscript()
{
    plainFinish();
    std::fflush(stdout);
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "quorrell: cannot write the transcript: %s\n", std::strerror(errno));
        std::_Exit(1);
    }
}

int plainReadKey(int (*read)())
{
    plainAwaitInput();
    int key = read();
    plainTypedKey(key);
    return key;
}

bool plainReadText(char* text, int capacity, bool (*read)(char* text, int capacity))
{
    plainAwaitInput();
    bool wasRead = read(text, capacity);
    if (wasRead)
        plainTypedLine(text, false);
    return wasRead;
}
