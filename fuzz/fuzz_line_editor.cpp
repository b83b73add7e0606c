// The line editor, fed raw keys as a terminal sends them, drawing on a
// screen kept here as a terminal keeps it. Whatever the keys, no line is
// longer than its cap, the cursor never leaves the line, and the line the
// game reads is the line the screen shows, nothing of an erased one left.
//
// The first four bytes set the scene, the rest are the keys:
//   0: bit 0 plain echo; bit 1 each key arrives alone, so nothing can be
//      looked ahead at; bits 2-4 the screen's width (0: unknown); bits 5-7
//      a command's capacity (an answer's is another, so that a command
//      brought back from the history may not fit)
//   1: the column the line starts in, after the prompt
//   2: the reads, two bits each in turn: a command, an answer, a key, a name
//   3: the key before which the game is suspended and taken up again, and
//      the line drawn anew (0: never)
#include "fuzz_target.h"

#include "platform/input/character_width.h"
#include "platform/input/line_editor.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const int WIDTHS[] = {0, 0, 40, 80, 12, 7, 3, 20};
const int CAPACITIES[] = {25, 28, 2, 5, 10, 25, 64, 1};
const char* const WIDE_RIGHT_HALF = "\x01";

// A terminal's screen as far as the echo uses it: cells holding a character
// (with its marks), the cursor, and the wait to wrap at the last column.
struct Screen {
    int width = 0;  // 0: rows that never end
    std::vector<std::vector<std::string>> rows = {{}};
    int row = 0;
    int column = 0;
    bool wrapPending = false;

    std::string& cell(int atRow, int atColumn)
    {
        if (atRow >= static_cast<int>(rows.size()))
            rows.resize(static_cast<std::size_t>(atRow) + 1);
        std::vector<std::string>& cells = rows[static_cast<std::size_t>(atRow)];
        if (atColumn >= static_cast<int>(cells.size()))
            cells.resize(static_cast<std::size_t>(atColumn) + 1);
        return cells[static_cast<std::size_t>(atColumn)];
    }

    void put(const std::string& character, int columns)
    {
        if (columns == 0) {
            // A mark goes on the character before, if there is one.
            int before = wrapPending ? column : column - 1;
            if (before > 0 && cell(row, before) == WIDE_RIGHT_HALF)
                --before;
            if (before >= 0)
                cell(row, before) += character;
            return;
        }
        if (wrapPending || (width > 0 && column + columns > width)) {
            ++row;
            column = 0;
            wrapPending = false;
        }
        cell(row, column) = character;
        if (columns == 2)
            cell(row, column + 1) = WIDE_RIGHT_HALF;
        column += columns;
        if (width > 0 && column == width) {
            column = width - 1;
            wrapPending = true;
        }
    }

    void eraseRow(int atRow, int from)
    {
        if (atRow < static_cast<int>(rows.size()) && from < static_cast<int>(rows[static_cast<std::size_t>(atRow)].size()))
            rows[static_cast<std::size_t>(atRow)].resize(static_cast<std::size_t>(from));
    }
};

Screen screen;
int lineRow = 0;      // where the line being read starts
int lineColumn = 0;
int lowestRow = 0;    // the lowest row the line has been drawn on
bool plainEcho = false;
bool readingKey = false;

void checkTheCursorIsInTheLine();

// The echo's bytes, as a terminal takes them: the text, and only the
// controls the editor may send.
void draw(const char* bytes, int count)
{
    fuzzCheck(!readingKey, "a key read for a question is never echoed");
    for (int at = 0; at < count;) {
        unsigned char byte = static_cast<unsigned char>(bytes[at]);
        if (byte == '\x1b') {
            fuzzCheck(at + 2 < count && bytes[at + 1] == '[', "the echo sends only CSI sequences");
            int end = at + 2;
            int number = 0;
            bool given = false;
            while (end < count && bytes[end] >= '0' && bytes[end] <= '9') {
                number = std::min(number * 10 + (bytes[end] - '0'), 100000);
                given = true;
                ++end;
            }
            fuzzCheck(end < count, "a sequence is sent whole");
            int amount = given ? number : 1;
            char final = bytes[end];
            bool pending = screen.wrapPending;
            screen.wrapPending = false;
            switch (final) {
            case 'D': screen.column = std::max(0, screen.column - amount); break;
            case 'C':
                screen.column += amount;
                if (screen.width > 0)
                    screen.column = std::min(screen.column, screen.width - 1);
                break;
            case 'A': screen.row -= amount; break;
            case 'B': screen.row += amount; break;
            case 'K':
                screen.wrapPending = pending;
                fuzzCheck(!given, "Escape [ K alone");
                screen.eraseRow(screen.row, screen.column);
                break;
            case 'J':
                fuzzCheck(!given, "Escape [ J alone");
                screen.eraseRow(screen.row, screen.column);
                for (std::size_t below = static_cast<std::size_t>(screen.row) + 1; below < screen.rows.size(); ++below)
                    screen.rows[below].clear();
                break;
            default: fuzzCheck(false, "the echo moves the cursor, blanks, and nothing else");
            }
            fuzzCheck(screen.row >= lineRow, "the cursor never goes above the line");
            at = end + 1;
        } else if (byte == '\n') {
            ++screen.row;
            screen.column = 0;
            screen.wrapPending = false;
            ++at;
        } else if (byte == '\r') {
            screen.column = 0;
            screen.wrapPending = false;
            ++at;
        } else if (byte == '\b') {
            if (screen.wrapPending)
                screen.wrapPending = false;
            else
                screen.column = std::max(0, screen.column - 1);
            ++at;
        } else if (byte == '\a') {
            ++at;
        } else {
            fuzzCheck(byte >= 0x20 && byte != 0x7f, "no other control byte is echoed");
            int length = utf8Length(byte);
            fuzzCheck(length > 0 && at + length <= count, "a character is echoed whole");
            unsigned codePoint = utf8CodePoint(bytes + at, length);
            screen.put(std::string(bytes + at, static_cast<std::size_t>(length)), characterColumns(codePoint));
            at += length;
        }
        lowestRow = std::max(lowestRow, screen.row);
    }
    // On its way (a carriage return before a line feed) the cursor may
    // cross the prompt, but never writes there.
    for (int column = 0; column < lineColumn; ++column)
        fuzzCheck(screen.cell(lineRow, column) == "P", "the prompt is never written over");
}

// The keys, in bursts: the editor may look ahead only within the burst.
std::string keys;
std::size_t nextKey = 0;
bool eachKeyAlone = false;
std::size_t suspendBefore = 0;

int peekKey(int offset)
{
    std::size_t at = nextKey + static_cast<std::size_t>(offset);
    if (eachKeyAlone || at >= keys.size())
        return -1;
    return static_cast<unsigned char>(keys[at]);
}

// The game suspended and taken up again: the shell has written below the
// line, and the platform draws the prompt on a fresh row.
void suspendAndResume()
{
    screen.row = lowestRow + 2;
    screen.column = 0;
    screen.wrapPending = false;
    lineRow = lowestRow = screen.row;
    for (int column = 0; column < lineColumn; ++column)
        screen.put("P", 1);
    editorRedraw();
}

// A name's read may go on over several lines (Enter alone moves down one),
// so the cursor is followed only in the reads of one line.
bool followingTheCursor = false;

int takeKey()
{
    if (followingTheCursor)
        checkTheCursorIsInTheLine();
    if (nextKey >= keys.size())
        return -1;
    if (suspendBefore != 0 && nextKey + 1 == suspendBefore && !readingKey) {
        suspendBefore = 0;
        suspendAndResume();
        if (followingTheCursor)
            checkTheCursorIsInTheLine();
    }
    return static_cast<unsigned char>(keys[nextKey++]);
}

// A place on the line's rows, counted in columns from the line's start.
int placeInTheLine(int row, int column)
{
    int width = screen.width > 0 ? screen.width : 1 << 24;
    return (row - lineRow) * width + column - lineColumn;
}

bool blank(const std::string& cell)
{
    return cell.empty() || cell == " ";
}

// While the editor waits for a key, its cursor is in the line: at or after
// its start, and no further than just after the last cell written (a typed
// blank is written; an erased cell is not, except in plain echo, whose
// cursor never goes past the text anyway).
void checkTheCursorIsInTheLine()
{
    int last = -1;
    for (int row = lineRow; row < static_cast<int>(screen.rows.size()); ++row) {
        const std::vector<std::string>& cells = screen.rows[static_cast<std::size_t>(row)];
        for (int column = row == lineRow ? lineColumn : 0; column < static_cast<int>(cells.size()); ++column)
            if (!cells[static_cast<std::size_t>(column)].empty())
                last = placeInTheLine(row, column);
    }
    int cursor = placeInTheLine(screen.row, screen.column) + (screen.wrapPending ? 1 : 0);
    fuzzCheck(cursor >= 0 && cursor <= last + 1, "the cursor stays in the line");
}

// The line the game read, laid out from the line's start as the terminal
// lays out text, must be what the screen shows there, and the rest of
// every row the line was drawn on blank.
void checkTheScreenShows(const std::string& line)
{
    Screen expected;
    expected.width = screen.width;
    expected.row = lineRow;
    expected.column = lineColumn;
    for (std::size_t at = 0; at < line.size();) {
        int length = utf8Length(static_cast<unsigned char>(line[at]));
        fuzzCheck(length > 0 && at + static_cast<std::size_t>(length) <= line.size(), "the line read is whole UTF-8");
        unsigned codePoint = utf8CodePoint(line.data() + at, length);
        expected.put(line.substr(at, static_cast<std::size_t>(length)), characterColumns(codePoint));
        at += static_cast<std::size_t>(length);
    }
    int lastRow = std::max({lowestRow, expected.row, screen.row});
    for (int row = lineRow; row <= lastRow; ++row) {
        screen.cell(row, 0);
        expected.cell(row, 0);
        int columns = static_cast<int>(std::max(screen.rows[static_cast<std::size_t>(row)].size(),
                                                expected.rows[static_cast<std::size_t>(row)].size()));
        for (int column = row == lineRow ? lineColumn : 0; column < columns; ++column) {
            const std::string& shown = screen.cell(row, column);
            const std::string& read = expected.cell(row, column);
            fuzzCheck(shown == read || (blank(shown) && blank(read)), "the line read is the line shown");
        }
    }
}

// A fresh row with the prompt on it, for the next read.
void startALine(int column)
{
    if (screen.column != 0 || screen.wrapPending || !screen.cell(screen.row, 0).empty()) {
        ++screen.row;
        screen.column = 0;
        screen.wrapPending = false;
    }
    lineRow = lowestRow = screen.row;
    for (int place = 0; place < column; ++place)
        screen.put("P", 1);
    lineColumn = screen.column;
}

bool readAnswer(char* line, int capacity)
{
    return editorReadAnswer(line, capacity);
}

// One read of the kind given; false once the input has ended.
bool readOnce(int kind, int capacity, int column)
{
    // The end of input is final, for lines and keys alike, and draws
    // nothing more.
    if (editorInputEnded()) {
        char spare[2];
        readingKey = true;
        fuzzCheck(kind == 2 ? editorReadKey() == -1 : !editorReadLine(spare, sizeof spare), "the end of input is final");
        readingKey = false;
    }
    if (kind == 2) {
        readingKey = true;
        int key = editorReadKey();
        readingKey = false;
        fuzzCheck(key >= -1 && key <= 255, "a key is a byte, or the end of input");
        return key != -1;
    }
    startALine(column);
    editorPlaceLine(plainEcho ? 0 : screen.width, lineColumn);
    // Exactly the capacity, and a guard after it that must stay untouched.
    std::vector<char> line(static_cast<std::size_t>(capacity) + 1, '\x55');
    bool read;
    followingTheCursor = kind != 3;
    if (kind == 3)
        read = editorReadFirstWord(line.data(), capacity, readAnswer);
    else
        read = kind == 0 ? editorReadLine(line.data(), capacity) : editorReadAnswer(line.data(), capacity);
    followingTheCursor = false;
    fuzzCheck(line[static_cast<std::size_t>(capacity)] == '\x55', "nothing is written past the capacity");
    if (!read) {
        fuzzCheck(editorInputEnded(), "a line is not read only at the end of input");
        return false;
    }
    fuzzCheck(std::memchr(line.data(), '\0', static_cast<std::size_t>(capacity)) != nullptr, "the line read ends in its cap");
    std::string text = line.data();
    fuzzCheck(static_cast<int>(text.size()) <= capacity - 1, "the line read is within its cap");
    // Plain echo leaves the line's end to the platform.
    if (plainEcho)
        draw("\n", 1);
    if (kind == 3) {
        fuzzCheck(!text.empty() && text.find_first_of(" \t") == std::string::npos, "a name is one word");
        return true;
    }
    checkTheScreenShows(text);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    plainEcho = data[0] & 1;
    eachKeyAlone = data[0] & 2;
    screen.width = plainEcho ? 0 : WIDTHS[data[0] >> 2 & 7];
    int capacity = CAPACITIES[data[0] >> 5 & 7];
    int answerCapacity = CAPACITIES[((data[0] >> 5) + 3) & 7];
    int column = screen.width > 0 ? data[1] % screen.width : data[1] % 60;
    int reads = data[2];
    suspendBefore = data[3];
    keys.assign(reinterpret_cast<const char*>(data) + 4, size - 4);
    editorConnect(takeKey, peekKey, draw);
    if (plainEcho)
        editorUsePlainEcho();
    for (int read = 0; read < 1000; ++read) {
        int kind = reads >> (read % 4 * 2) & 3;
        if (!readOnce(kind, kind == 0 ? capacity : answerCapacity, column))
            break;
    }
    return 0;
}
