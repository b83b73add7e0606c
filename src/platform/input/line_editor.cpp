// The command line the Marshal types into. Everything it knows of the
// machine comes through the functions it is connected to, so the terminal
// and the web page edit lines exactly alike.
//
// The line is kept in bytes, since the game reads bytes: its cap is the
// game's own, and a character that would not fit whole is refused whole.
// The screen's cursor always sits where the line's cursor is, counted in the
// columns the characters take: two for a wide one, none for a mark that goes
// on the character before. Where the platform tells the screen's width, a
// line longer than what is left of its row is followed onto the next rows as
// the terminal wraps it.
#include "platform/input/line_editor.h"

#include "platform/input/character_width.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

static EditorNextByte nextByte = nullptr;
static EditorPeekByte peekByte = nullptr;
static EditorWrite writeEcho = nullptr;

static std::string line;
static std::size_t cursor = 0;
static std::size_t lineCap = 0;
static bool editing = false;
static bool inputEnded = false;
// One bell for a run of refused keys, not one for each byte of a long paste.
static bool refusedLast = false;
// Plain text: the line is only typed and erased at its end.
static bool plainEcho = false;
// The last line ended with a carriage return: a line feed right after it is
// the rest of a pasted Windows line end, dropped when it comes.
static bool afterReturn = false;

// A cell of the screen: rows below the line's first, columns from the
// screen's left edge.
struct ScreenPlace {
    int row;
    int column;
};

// 0 when the width is not known: the line is then taken never to wrap.
static int screenWidth = 0;
static int firstColumn = 0;
// The columns before the line on its screen line, the prompt's, counted
// from the start of the row the prompt starts in.
static int promptColumns = 0;
static ScreenPlace screenCursor = {0, 0};
// The lowest row the line has been drawn on, to blank when it gets shorter.
static int lastRowDrawn = 0;
static std::vector<std::string> history;
static std::size_t historyPlace = 0;
static std::string draft;

enum Key {
    KEY_NONE,
    KEY_LEFT,
    KEY_RIGHT,
    KEY_HOME,
    KEY_END,
    KEY_UP,
    KEY_DOWN,
    KEY_DELETE,
};

const int ESCAPE = 27;

void editorConnect(EditorNextByte next, EditorPeekByte peek, EditorWrite write)
{
    nextByte = next;
    peekByte = peek;
    writeEcho = write;
}

bool editorInputEnded()
{
    return inputEnded;
}

static void echo(const std::string& bytes)
{
    if (!bytes.empty())
        writeEcho(bytes.data(), static_cast<int>(bytes.size()));
}

void editorUsePlainEcho()
{
    plainEcho = true;
}

void editorPlaceLine(int screenColumns, int column)
{
    screenWidth = screenColumns > 0 ? screenColumns : 0;
    firstColumn = screenWidth > 0 ? column % screenWidth : 0;
    promptColumns = column;
}

static int lengthAt(std::size_t place)
{
    return std::max(1, utf8Length(static_cast<unsigned char>(line[place])));
}

static int columnsAt(std::size_t place)
{
    return characterColumns(utf8CodePoint(line.data() + place, lengthAt(place)));
}

static int columnsBetween(std::size_t from, std::size_t to)
{
    int columns = 0;
    for (std::size_t place = from; place < to; place += static_cast<std::size_t>(lengthAt(place)))
        columns += columnsAt(place);
    return columns;
}

// A character too wide for what is left of its row goes to the start of the
// next, as the terminal puts it.
static bool overflowsRow(ScreenPlace at, int columns)
{
    return screenWidth > 0 && at.column + columns > screenWidth;
}

// Where the line's text before place ends: the column past its last
// character, which is the screen's width when that character fills its row.
static ScreenPlace endOfText(std::size_t place)
{
    ScreenPlace at = {0, firstColumn};
    for (std::size_t next = 0; next < place; next += static_cast<std::size_t>(lengthAt(next))) {
        int columns = columnsAt(next);
        if (overflowsRow(at, columns))
            at = {at.row + 1, 0};
        at.column += columns;
    }
    return at;
}

// Where the screen's cursor stands for the line's cursor at place: on the
// character there, or where the next one typed at the end would go.
static ScreenPlace placeOf(std::size_t place)
{
    ScreenPlace at = endOfText(place);
    int columns = place < line.size() ? std::max(1, columnsAt(place)) : 1;
    if (overflowsRow(at, columns))
        return {at.row + 1, 0};
    return at;
}

static void moveScreenCursorTo(ScreenPlace target)
{
    std::string moves;
    if (target.row < screenCursor.row)
        moves += "\x1b[" + std::to_string(screenCursor.row - target.row) + "A";
    else if (target.row > screenCursor.row)
        moves += "\x1b[" + std::to_string(target.row - screenCursor.row) + "B";
    if (target.column < screenCursor.column)
        moves += "\x1b[" + std::to_string(screenCursor.column - target.column) + "D";
    else if (target.column > screenCursor.column)
        moves += "\x1b[" + std::to_string(target.column - screenCursor.column) + "C";
    echo(moves);
    screenCursor = target;
}

static void moveCursorTo(std::size_t place)
{
    moveScreenCursorTo(placeOf(place));
    cursor = place;
}

// Draws the line's characters from one place to another, starting where the
// first of them belongs.
static void draw(std::size_t from, std::size_t to)
{
    ScreenPlace at = endOfText(from);
    if (screenWidth > 0 && at.column >= screenWidth)
        at = {at.row + 1, 0};
    moveScreenCursorTo(at);
    std::string text;
    for (std::size_t place = from; place < to; place += static_cast<std::size_t>(lengthAt(place))) {
        int columns = columnsAt(place);
        if (overflowsRow(at, columns)) {
            // The cell a wide character leaves at the end of a row is blanked.
            text.append(static_cast<std::size_t>(screenWidth - at.column), ' ');
            at = {at.row + 1, 0};
        }
        text.append(line, place, static_cast<std::size_t>(lengthAt(place)));
        at.column += columns;
    }
    // Past a full row the terminal waits to wrap, and a blanking there would
    // take the row's last character: the cursor goes on to the next row.
    if (screenWidth > 0 && at.column >= screenWidth) {
        text += "\r\n";
        at = {at.row + 1, 0};
    }
    echo(text);
    screenCursor = at;
    lastRowDrawn = std::max(lastRowDrawn, at.row);
}

// Redraws the line from the cursor to its end, blanks what a longer line
// left behind, and puts the screen cursor back.
static void redrawRest()
{
    draw(cursor, line.size());
    echo(lastRowDrawn > screenCursor.row ? "\x1b[J" : "\x1b[K");
    lastRowDrawn = screenCursor.row;
    moveScreenCursorTo(placeOf(cursor));
}

// The line end goes below the line's last row, wherever the cursor was in
// it; a line that filled its last row has the cursor on a fresh row already.
static void endTheLine()
{
    ScreenPlace end = placeOf(line.size());
    if (end.row != screenCursor.row)
        moveScreenCursorTo(end);
    if (screenWidth == 0 || endOfText(line.size()).column < screenWidth)
        echo("\n");
}

// Plain text erases at the end only, as a dumb terminal can: back over the
// characters, blanks over them, and back again.
static void eraseEndPlainly(std::size_t place)
{
    std::size_t columns = static_cast<std::size_t>(columnsBetween(place, line.size()));
    echo(std::string(columns, '\b') + std::string(columns, ' ') + std::string(columns, '\b'));
    line.erase(place);
    cursor = place;
}

static void replaceLine(const std::string& text)
{
    if (plainEcho) {
        eraseEndPlainly(0);
        line = text;
        cursor = line.size();
        echo(line);
        return;
    }
    moveCursorTo(0);
    line = text;
    redrawRest();
    moveCursorTo(line.size());
}

static void refuse()
{
    if (!refusedLast)
        echo("\a");
    refusedLast = true;
}

static void insert(const std::string& character)
{
    if (line.size() + character.size() > lineCap) {
        refuse();
        return;
    }
    refusedLast = false;
    line.insert(cursor, character);
    if (plainEcho) {
        echo(character);
        cursor = line.size();
        return;
    }
    std::size_t after = cursor + character.size();
    draw(cursor, after);
    cursor = after;
    if (cursor < line.size())
        redrawRest();
}

static bool isMark(std::size_t place)
{
    return place < line.size() && columnsAt(place) == 0;
}

// A character and the marks that go on it are one cell on the screen, and
// are moved over and erased together.
static std::size_t characterBefore(std::size_t place)
{
    do {
        do
            --place;
        while (place > 0 && utf8Continuation(static_cast<unsigned char>(line[place])));
    } while (place > 0 && isMark(place));
    return place;
}

static std::size_t characterAfter(std::size_t place)
{
    do
        place += static_cast<std::size_t>(lengthAt(place));
    while (isMark(place));
    return place;
}

static void eraseBackTo(std::size_t place)
{
    if (plainEcho) {
        eraseEndPlainly(place);
        return;
    }
    std::size_t end = cursor;
    moveCursorTo(place);
    line.erase(place, end - place);
    redrawRest();
}

static void eraseForwardTo(std::size_t place)
{
    // In plain text the cursor is always at the end.
    if (plainEcho)
        return;
    line.erase(cursor, place - cursor);
    redrawRest();
}

static void eraseWordBefore()
{
    std::size_t place = cursor;
    while (place > 0 && line[place - 1] == ' ')
        --place;
    while (place > 0 && line[place - 1] != ' ')
        --place;
    eraseBackTo(place);
}

// A line recalled from history that is longer than this read's cap (the
// name's line is longer than a command's) is cut at a whole character.
static std::string cutToCap(std::string text)
{
    if (text.size() <= lineCap)
        return text;
    std::size_t end = lineCap;
    while (end > 0 && utf8Continuation(static_cast<unsigned char>(text[end])))
        --end;
    return text.substr(0, end);
}

static void walkHistory(int step)
{
    if (step < 0 && historyPlace == 0)
        return;
    if (step > 0 && historyPlace == history.size())
        return;
    if (historyPlace == history.size())
        draft = line;
    historyPlace = static_cast<std::size_t>(static_cast<long>(historyPlace) + step);
    replaceLine(historyPlace == history.size() ? draft : cutToCap(history[historyPlace]));
}

static void remember(const std::string& text)
{
    if (!text.empty() && (history.empty() || history.back() != text))
        history.push_back(text);
}

void editorRemember(const char* text)
{
    remember(text);
}

// Takes bytes of a key sequence only once they have arrived, so a sequence
// cut short never makes the editor wait for bytes that are not coming.
static int takeArrived()
{
    if (peekByte(0) == -1)
        return -1;
    return nextByte();
}

static Key keyOfTilde(int number)
{
    switch (number) {
    case 1:
    case 7:
        return KEY_HOME;
    case 3:
        return KEY_DELETE;
    case 4:
    case 8:
        return KEY_END;
    default:
        return KEY_NONE;
    }
}

static Key keyOfFinal(int final)
{
    switch (final) {
    case 'A':
        return KEY_UP;
    case 'B':
        return KEY_DOWN;
    case 'C':
        return KEY_RIGHT;
    case 'D':
        return KEY_LEFT;
    case 'H':
        return KEY_HOME;
    case 'F':
        return KEY_END;
    default:
        return KEY_NONE;
    }
}

// The rest of an Escape [ sequence: parameters, intermediates and a final
// byte. A modifier (Ctrl-Left is "1;5D") leaves the key what it is; a
// private marker ('<', '?' ...) belongs to mouse and terminal reports.
static Key readControlSequence()
{
    int first = peekByte(0);
    if (first == 'M') {
        // An old-style mouse report: three raw bytes follow.
        nextByte();
        for (int count = 0; count < 3; ++count)
            takeArrived();
        return KEY_NONE;
    }
    if (first == '[') {
        // The Linux console's F1 to F5: Escape [ [ and a letter A to E.
        nextByte();
        takeArrived();
        return KEY_NONE;
    }
    int number = 0;
    bool numberDone = false;
    bool privateReport = false;
    for (;;) {
        // A byte that is part of no sequence (Enter typed after a cut-short
        // report, say) is left to be read as itself.
        int byte = peekByte(0);
        if (byte == -1 || byte < 0x20 || byte > 0x7E)
            return KEY_NONE;
        nextByte();
        if (byte >= '0' && byte <= '9') {
            if (!numberDone)
                number = number * 10 + (byte - '0');
        } else if (byte == ';') {
            numberDone = true;
        } else if (byte >= 0x3C && byte <= 0x3F) {
            privateReport = true;
        } else if (byte >= 0x40 && byte <= 0x7E) {
            if (privateReport)
                return KEY_NONE;
            return byte == '~' ? keyOfTilde(number) : keyOfFinal(byte);
        } else if (byte > 0x2F) {
            return KEY_NONE;
        }
    }
}

// Escape O and a final byte, with a modifier's digits in between on some
// terminals.
static Key readSingleShift()
{
    for (;;) {
        int byte = peekByte(0);
        if (byte == -1 || byte < 0x20 || byte > 0x7E)
            return KEY_NONE;
        nextByte();
        if ((byte >= '0' && byte <= '9') || byte == ';')
            continue;
        return keyOfFinal(byte);
    }
}

// The whole character a lead byte starts, or nothing when the bytes are not
// UTF-8; only the valid bytes that follow are taken.
static std::string readCharacter(int lead)
{
    std::string character(1, static_cast<char>(lead));
    int length = utf8Length(lead);
    if (length == 0)
        return std::string();
    for (int count = 1; count < length; ++count) {
        int byte = peekByte(0);
        bool valid = count == 1 ? utf8ValidSecond(lead, byte) : utf8Continuation(byte);
        if (!valid)
            return std::string();
        character += static_cast<char>(nextByte());
    }
    return character;
}

static Key readEscape()
{
    int introducer = peekByte(0);
    if (introducer == '[') {
        nextByte();
        return readControlSequence();
    }
    if (introducer == 'O') {
        nextByte();
        return readSingleShift();
    }
    // An Alt combination is Escape and a character at once. A lone Escape
    // has nothing after it, or a key such as Enter or a second Escape that
    // is then a key of its own.
    if (introducer >= 0x20 && introducer != 0x7F) {
        int byte = nextByte();
        if (byte >= 0x80)
            readCharacter(byte);
    }
    return KEY_NONE;
}

static void act(Key key)
{
    // Plain text moves nothing but the line's end; history is typed anew.
    if (plainEcho && key != KEY_UP && key != KEY_DOWN)
        return;
    switch (key) {
    case KEY_LEFT:
        if (cursor > 0)
            moveCursorTo(characterBefore(cursor));
        break;
    case KEY_RIGHT:
        if (cursor < line.size())
            moveCursorTo(characterAfter(cursor));
        break;
    case KEY_HOME:
        moveCursorTo(0);
        break;
    case KEY_END:
        moveCursorTo(line.size());
        break;
    case KEY_UP:
        walkHistory(-1);
        break;
    case KEY_DOWN:
        walkHistory(1);
        break;
    case KEY_DELETE:
        if (cursor < line.size())
            eraseForwardTo(characterAfter(cursor));
        break;
    case KEY_NONE:
        break;
    }
}

enum Outcome { GO_ON, SUBMIT, END_OF_INPUT };

static Outcome takeByte(int byte)
{
    if (byte != -1 && byte >= 0x20 && byte != 0x7F) {
        if (byte < 0x80) {
            insert(std::string(1, static_cast<char>(byte)));
            return GO_ON;
        }
        std::string character = readCharacter(byte);
        if (!character.empty())
            insert(character);
        return GO_ON;
    }
    refusedLast = false;
    switch (byte) {
    case -1:
        // Input ends in the middle of a line only when the terminal has gone
        // (a closed window): what was typed never reached the game.
        return END_OF_INPUT;
    case '\r':
        // Enter ends the line at once; the line feed of a pasted Windows line
        // end is dropped when it comes, without waiting for it.
        afterReturn = true;
        return SUBMIT;
    case '\n':
        return SUBMIT;
    case 0x04:  // Ctrl-D
        if (line.empty())
            return END_OF_INPUT;
        act(KEY_DELETE);
        return GO_ON;
    case 0x01:  // Ctrl-A
        act(KEY_HOME);
        return GO_ON;
    case 0x05:  // Ctrl-E
        act(KEY_END);
        return GO_ON;
    case 0x7F:
    case 0x08:
        if (cursor > 0)
            eraseBackTo(characterBefore(cursor));
        return GO_ON;
    case 0x15:  // Ctrl-U
        eraseBackTo(0);
        return GO_ON;
    case 0x0B:  // Ctrl-K
        eraseForwardTo(line.size());
        return GO_ON;
    case 0x17:  // Ctrl-W
        eraseWordBefore();
        return GO_ON;
    case ESCAPE:
        act(readEscape());
        return GO_ON;
    default:
        return GO_ON;
    }
}

// The next byte of a key or a line, past the line feed that may follow the
// carriage return the last line ended with.
static int nextKeyByte()
{
    int byte = nextByte();
    if (afterReturn && byte == '\n')
        byte = nextByte();
    afterReturn = false;
    return byte;
}

static bool readLine(char* text, int capacity, bool kept)
{
    if (inputEnded)
        return false;
    line.clear();
    cursor = 0;
    lineCap = capacity > 0 ? static_cast<std::size_t>(capacity - 1) : 0;
    historyPlace = history.size();
    refusedLast = false;
    screenCursor = {0, firstColumn};
    lastRowDrawn = 0;
    editing = true;
    Outcome outcome = GO_ON;
    while (outcome == GO_ON) {
        int byte = nextKeyByte();
        if (byte == -1)
            inputEnded = true;
        outcome = takeByte(byte);
    }
    editing = false;
    if (outcome == END_OF_INPUT) {
        inputEnded = true;
        return false;
    }
    if (!plainEcho)
        endTheLine();
    if (kept)
        remember(line);
    line.copy(text, line.size());
    text[line.size()] = '\0';
    return true;
}

bool editorReadLine(char* text, int capacity)
{
    return readLine(text, capacity, true);
}

bool editorReadAnswer(char* text, int capacity)
{
    return readLine(text, capacity, false);
}

static bool isBlank(char byte)
{
    return byte == ' ' || byte == '\t';
}

bool editorFirstWord(const char* line, char* word, int capacity)
{
    while (isBlank(*line))
        ++line;
    if (*line == '\0')
        return false;
    int length = 0;
    while (line[length] != '\0' && !isBlank(line[length]) && length < capacity - 1) {
        word[length] = line[length];
        ++length;
    }
    word[length] = '\0';
    return true;
}

bool editorReadFirstWord(char* word, int capacity, bool (*readAnswer)(char* line, int capacity))
{
    std::vector<char> line(static_cast<std::size_t>(capacity));
    for (;;) {
        if (!readAnswer(line.data(), capacity))
            return false;
        if (editorFirstWord(line.data(), word, capacity))
            return true;
    }
}

int editorReadKey()
{
    if (inputEnded)
        return -1;
    for (;;) {
        int byte = nextKeyByte();
        if (byte == -1) {
            inputEnded = true;
            return -1;
        }
        if (byte != ESCAPE)
            return byte;
        int introducer = peekByte(0);
        if (introducer != '[' && introducer != 'O')
            return ESCAPE;
        nextByte();
        if (introducer == '[')
            readControlSequence();
        else
            readSingleShift();
    }
}

void editorRedraw()
{
    if (!editing)
        return;
    if (plainEcho) {
        echo(line);
        return;
    }
    std::size_t place = cursor;
    cursor = 0;
    screenCursor = {0, firstColumn};
    // Rows of the line from before the suspension may still be below.
    lastRowDrawn = screenWidth > 0 ? INT_MAX : 0;
    redrawRest();
    moveCursorTo(place);
}

// The cells from the start of the prompt to the cursor are the same however
// wide the screen is; a terminal that rewraps its rows (as most do) puts the
// cursor as many of the new rows down from the prompt's first.
int editorRowsFromThePrompt(int screenColumns)
{
    if (!editing || plainEcho || screenColumns <= 0)
        return 0;
    int cellsBefore = promptColumns - firstColumn + screenCursor.row * screenWidth + screenCursor.column;
    return cellsBefore / screenColumns;
}
