// The line editor on its own, as the terminal and the page drive it: keys go
// in through the functions it is connected to, and out come the lines it
// read and every byte it drew. Each row runs in a child of its own, since
// the editor keeps its history, its screen and the end of input for the
// whole game.
//
// This table is about columns: characters two columns wide and marks of
// none, a line that wraps on a screen of known width, and the plain echo.
#include "harness.h"

#include "platform/input/line_editor.h"

#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace columns {

#define ESC "\x1b"
#define LEFT(n) ESC "[" #n "D"
#define RIGHT(n) ESC "[" #n "C"
#define UP(n) ESC "[" #n "A"
#define DOWN(n) ESC "[" #n "B"
#define BLANK_REST ESC "[K"
#define BLANK_BELOW ESC "[J"

#define SUN "\xe6\x97\xa5"      // 日, two columns
#define ORIGIN "\xe6\x9c\xac"   // 本, two columns
#define E_ACUTE "\xc3\xa9"      // é, one
#define ACUTE "\xcc\x81"        // a combining acute accent, none
#define GRIN "\xf0\x9f\x98\x80" // an emoji, two

const int COMMAND = 25;
const int NAME = 28;

struct Row {
    const char* name;
    int screenWidth;  // 0: unknown, the line never wraps
    int column;       // where the line starts
    bool plain;
    const char* reads;  // one letter a read: c a command line, a an answer
    int capacity;
    std::string keys;
    std::vector<std::string> read;
    std::string drawn;
};

const Row ROWS[] = {
    // What the game reads is what the screen shows.
    {"Left, Right and Ctrl-U over wide characters", 0, 0, false, "c", COMMAND,
     SUN ORIGIN ESC "[D" ESC "[D" ESC "[C" "\x15" E_ACUTE ESC "[D" ESC "[C" "\x15" "\r", {ORIGIN},
     SUN ORIGIN LEFT(2) LEFT(2) RIGHT(2) LEFT(2) ORIGIN BLANK_REST LEFT(2) E_ACUTE ORIGIN BLANK_REST LEFT(2) LEFT(1)
         RIGHT(1) LEFT(1) ORIGIN BLANK_REST LEFT(2) "\n"},
    {"Delete under a wide character", 0, 0, false, "c", COMMAND, "a" SUN "b" ESC "[D" ESC "[D" ESC "[3~" "\r", {"ab"},
     "a" SUN "b" LEFT(1) LEFT(2) "b" BLANK_REST LEFT(1) "\n"},
    {"Backspace over an emoji", 0, 0, false, "c", COMMAND, "x" GRIN "\x7f\r", {"x"}, "x" GRIN LEFT(2) BLANK_REST "\n"},
    {"a mark goes with its letter", 0, 0, false, "c", COMMAND, "e" ACUTE "x" ESC "[D" ESC "[D" "y\r", {"ye" ACUTE "x"},
     "e" ACUTE "x" LEFT(1) LEFT(1) "ye" ACUTE "x" BLANK_REST LEFT(2) "\n"},
    // The name's line from column 36 of 40: a wide character that does not
    // fit in the last column starts the next row, and a blank takes its
    // place; Home and End go up and down to the line's ends.
    {"a line that wraps, Home and End", 40, 35, false, "a", NAME, "ab" SUN ORIGIN "cd" ESC "[H" ESC "[F" "\r",
     {"ab" SUN ORIGIN "cd"}, "ab" SUN " " ORIGIN "cd" UP(1) RIGHT(31) DOWN(1) LEFT(31) "\n"},
    {"typing at the start of a wrapped line", 40, 35, false, "a", NAME, "ab" SUN ORIGIN ESC "[H" "X\r",
     {"Xab" SUN ORIGIN}, "ab" SUN " " ORIGIN UP(1) RIGHT(33) "Xab" SUN ORIGIN BLANK_REST UP(1) RIGHT(34) DOWN(1) LEFT(34) "\n"},
    {"a line that fills its last row ends on the row below", 40, 36, false, "a", NAME, "abcd\r", {"abcd"}, "abcd\r\n"},
    // A character in the last column leaves the terminal waiting to wrap,
    // where a blanking would take it: the cursor goes on to the next row.
    {"the last column, and erasing back over it", 40, 36, false, "a", NAME, "abcd\x7f\r", {"abc"},
     "abcd\r\n" UP(1) RIGHT(39) BLANK_BELOW "\n"},
    {"Ctrl-U on a wrapped line blanks the rows below", 40, 36, false, "a", NAME, "abcdefg\x15\r", {""},
     "abcd\r\nefg" UP(1) RIGHT(33) BLANK_BELOW "\n"},
    // Plain echo: typed and erased at the end, with backspaces and blanks;
    // no line end of its own.
    {"plain: erasing a wide character, a word, and keys that would move", 0, 0, true, "cc", COMMAND,
     "ab" SUN "\x7f" ESC "[D" ESC "[H" "c\x17look\r" ESC "[A" "\r", {"look", "look"},
     "ab" SUN "\b\b  \b\b" "c" "\b\b\b   \b\b\b" "look" "look"},
};

std::string keys;
std::size_t place = 0;
std::string drawn;

int nextKey()
{
    return place < keys.size() ? static_cast<unsigned char>(keys[place++]) : -1;
}

int peekKey(int offset)
{
    std::size_t ahead = place + static_cast<std::size_t>(offset);
    return ahead < keys.size() ? static_cast<unsigned char>(keys[ahead]) : -1;
}

void draw(const char* bytes, int count)
{
    drawn.append(bytes, static_cast<std::size_t>(count));
}

// What was drawn, then each read's line after a zero byte.
std::string play(const Row& row)
{
    keys = row.keys;
    editorConnect(nextKey, peekKey, draw);
    if (row.plain)
        editorUsePlainEcho();
    std::string report;
    for (const char* read = row.reads; *read != '\0'; ++read) {
        editorPlaceLine(row.screenWidth, row.column);
        std::vector<char> line(static_cast<std::size_t>(row.capacity));
        bool got = *read == 'c' ? editorReadLine(line.data(), row.capacity) : editorReadAnswer(line.data(), row.capacity);
        report += '\0' + (got ? std::string(line.data()) : std::string("(end)"));
    }
    return drawn + report;
}

std::string visible(const std::string& bytes)
{
    std::string shown;
    for (char byte : bytes)
        shown += byte == '\x1b' ? std::string("\\e") : byte == '\b' ? std::string("\\b") : byte == '\r' ? "\\r"
                                                                                                          : std::string(1, byte);
    return shown;
}

} // namespace columns

TEST(LineEditor, CountsColumnsWrapsAndEchoesPlainlyAsEachRowSays)
{
    for (const columns::Row& row : columns::ROWS) {
        SCOPED_TRACE(row.name);
        Transcript child = playScene("", [&row] { std::cout << columns::play(row); });
        ASSERT_EQ(child.exitStatus, 0);
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t zero = child.output.find('\0'); zero != std::string::npos;
             zero = child.output.find('\0', start)) {
            parts.push_back(child.output.substr(start, zero - start));
            start = zero + 1;
        }
        parts.push_back(child.output.substr(start));
        EXPECT_EQ(columns::visible(parts.front()), columns::visible(row.drawn));
        EXPECT_EQ(std::vector<std::string>(parts.begin() + 1, parts.end()), row.read);
    }
}
