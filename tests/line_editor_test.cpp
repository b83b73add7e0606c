// The line editor on its own, as the terminal and the page drive it: keys go
// in through the three functions it is connected to, and out come the lines
// it read and every byte it drew. Each row runs in a child of its own, since
// the editor keeps its history and the end of input for the whole game.
#include "harness.h"

#include "platform/input/line_editor.h"

#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

#define ESC "\x1b"
#define LEFT(n) ESC "[" #n "D"
#define RIGHT(n) ESC "[" #n "C"
#define BLANK_REST ESC "[K"
#define BELL "\a"

// What a read gives when the input has ended, for a line and a key alike.
const char* const END = "(end)";

const int COMMAND = 25;  // a command's 24 bytes and the terminating zero
const int NAME = 28;     // the name's 27

const std::string FULL_COMMAND = "abcdefghijklmnopqrstuvwx";

// The keys in the bursts they arrive in, and every byte the editor drew.
std::vector<std::string> bursts;
std::size_t burst = 0;
std::size_t place = 0;
std::string drawn;

int nextKey()
{
    while (burst < bursts.size() && place == bursts[burst].size()) {
        ++burst;
        place = 0;
    }
    if (burst == bursts.size())
        return -1;
    return static_cast<unsigned char>(bursts[burst][place++]);
}

int peekKey(int offset)
{
    if (burst == bursts.size() || place + static_cast<std::size_t>(offset) >= bursts[burst].size())
        return -1;
    return static_cast<unsigned char>(bursts[burst][place + static_cast<std::size_t>(offset)]);
}

void draw(const char* bytes, int count)
{
    drawn.append(bytes, static_cast<std::size_t>(count));
}

// The editor's control bytes spelled out, for a failure that can be read.
std::string visible(const std::string& bytes)
{
    std::string shown;
    for (char byte : bytes) {
        switch (byte) {
        case '\x1b': shown += "\\e"; break;
        case '\a': shown += "\\a"; break;
        case '\b': shown += "\\b"; break;
        case '\r': shown += "\\r"; break;
        default: shown += byte;
        }
    }
    return shown;
}

// A row's child writes what was drawn, then each read's result after a zero
// byte; both must be as the row says.
void expectPlayed(const Transcript& child, const std::string& expectDrawn, const std::vector<std::string>& expectRead)
{
    ASSERT_EQ(child.exitStatus, 0);
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t zero = child.output.find('\0'); zero != std::string::npos;
         zero = child.output.find('\0', start)) {
        parts.push_back(child.output.substr(start, zero - start));
        start = zero + 1;
    }
    parts.push_back(child.output.substr(start));
    EXPECT_EQ(visible(parts.front()), visible(expectDrawn));
    EXPECT_EQ(std::vector<std::string>(parts.begin() + 1, parts.end()), expectRead);
}

struct Row {
    const char* name;
    const char* reads;  // one letter a read: c a command line, a an answer, k a key
    int capacity;
    // The keys in the bursts they arrive in: the editor sees a burst only once
    // it has read all of the one before, as when the player stops typing.
    std::vector<std::string> keys;
    std::vector<std::string> read;  // each read's line, or its key as a character
    std::string drawn;
};

const Row ROWS[] = {
    {"a line is echoed as it is read", "c", COMMAND, {"look\r"}, {"look"}, "look\n"},
    {"a pasted CR LF is one line end", "cc", COMMAND, {"n\r\ns\n"}, {"n", "s"}, "n\ns\n"},
    // Enter ends the line at once: the line feed of a Windows line end is
    // dropped when it comes, before a line or a key alike.
    {"a line feed that comes after Enter", "cck", COMMAND, {"n\r", "\ns\r", "\ny"}, {"n", "s", "y"}, "n\ns\n"},
    {"Enter after a cut-short sequence still ends the line", "cc", COMMAND, {"a" ESC "[\rb" ESC "O\r"}, {"a", "b"},
     "a\nb\n"},
    // Moving and typing in the middle.
    {"Left (CSI)", "c", COMMAND, {"ac" ESC "[D" "b\r"}, {"abc"}, "ac" LEFT(1) "bc" BLANK_REST LEFT(1) "\n"},
    {"Left (SS3)", "c", COMMAND, {"ac" ESC "OD" "b\r"}, {"abc"}, "ac" LEFT(1) "bc" BLANK_REST LEFT(1) "\n"},
    {"Ctrl-Left", "c", COMMAND, {"ac" ESC "[1;5D" "b\r"}, {"abc"}, "ac" LEFT(1) "bc" BLANK_REST LEFT(1) "\n"},
    {"Right (CSI)", "c", COMMAND, {"ab" ESC "[D" ESC "[D" ESC "[C" "x\r"}, {"axb"},
     "ab" LEFT(1) LEFT(1) RIGHT(1) "xb" BLANK_REST LEFT(1) "\n"},
    {"Right (SS3)", "c", COMMAND, {"ab" ESC "OD" ESC "OD" ESC "OC" "x\r"}, {"axb"},
     "ab" LEFT(1) LEFT(1) RIGHT(1) "xb" BLANK_REST LEFT(1) "\n"},
    {"Left at the start and Right at the end", "c", COMMAND, {ESC "[D" "a" ESC "[C" "\r"}, {"a"}, "a\n"},
    {"Home End (CSI)", "c", COMMAND, {"xy" ESC "[H" "1" ESC "[F" "2\r"}, {"1xy2"},
     "xy" LEFT(2) "1xy" BLANK_REST LEFT(2) RIGHT(2) "2\n"},
    {"Home End (SS3)", "c", COMMAND, {"xy" ESC "OH" "1" ESC "OF" "2\r"}, {"1xy2"},
     "xy" LEFT(2) "1xy" BLANK_REST LEFT(2) RIGHT(2) "2\n"},
    {"Home End (1~ 4~)", "c", COMMAND, {"xy" ESC "[1~" "1" ESC "[4~" "2\r"}, {"1xy2"},
     "xy" LEFT(2) "1xy" BLANK_REST LEFT(2) RIGHT(2) "2\n"},
    {"Home End (7~ 8~)", "c", COMMAND, {"xy" ESC "[7~" "1" ESC "[8~" "2\r"}, {"1xy2"},
     "xy" LEFT(2) "1xy" BLANK_REST LEFT(2) RIGHT(2) "2\n"},
    {"Ctrl-A Ctrl-E", "c", COMMAND, {"xy\x01" "1\x05" "2\r"}, {"1xy2"},
     "xy" LEFT(2) "1xy" BLANK_REST LEFT(2) RIGHT(2) "2\n"},
    // Erasing.
    {"Backspace in the middle", "c", COMMAND, {"abc" ESC "[D" "\x7f\r"}, {"ac"},
     "abc" LEFT(1) LEFT(1) "c" BLANK_REST LEFT(1) "\n"},
    {"Ctrl-H at the start and at the end", "c", COMMAND, {"\b" "ab\b\r"}, {"a"}, "ab" LEFT(1) BLANK_REST "\n"},
    {"Delete under the cursor, and at the end", "c", COMMAND, {"abc" ESC "[H" ESC "[3~" ESC "[F" ESC "[3~" "\r"},
     {"bc"}, "abc" LEFT(3) "bc" BLANK_REST LEFT(2) RIGHT(2) "\n"},
    {"Ctrl-D in a line is Delete", "cc", COMMAND, {"ab\x01\x04\r" "x\r"}, {"b", "x"},
     "ab" LEFT(2) "b" BLANK_REST LEFT(1) "\nx\n"},
    {"Ctrl-U", "c", COMMAND, {"abc" ESC "[D" "\x15\r"}, {"c"}, "abc" LEFT(1) LEFT(2) "c" BLANK_REST LEFT(1) "\n"},
    {"Ctrl-K", "c", COMMAND, {"abc" ESC "[D" ESC "[D" "\x0b\r"}, {"a"}, "abc" LEFT(1) LEFT(1) BLANK_REST "\n"},
    {"Ctrl-W twice", "c", COMMAND, {"take brass key\x17\x17\r"}, {"take "},
     "take brass key" LEFT(3) BLANK_REST LEFT(6) BLANK_REST "\n"},
    // The cap, and one bell for each run of refused keys.
    {"a command's cap", "c", COMMAND, {FULL_COMMAND + "yz\r"}, {FULL_COMMAND}, FULL_COMMAND + BELL "\n"},
    {"a second run of refused keys", "c", COMMAND, {FULL_COMMAND + "yz\x7f" "12\r"}, {"abcdefghijklmnopqrstuvw1"},
     FULL_COMMAND + BELL LEFT(1) BLANK_REST "1" BELL "\n"},
    {"the cap in the middle of the line", "c", COMMAND, {FULL_COMMAND + ESC "[H" "x\r"}, {FULL_COMMAND},
     FULL_COMMAND + LEFT(24) BELL "\n"},
    {"the name's cap", "a", NAME, {"abcdefghijklmnopqrstuvwxyz0123\r"}, {"abcdefghijklmnopqrstuvwxyz0"},
     "abcdefghijklmnopqrstuvwxyz0" BELL "\n"},
    {"a character that fits exactly", "c", COMMAND, {std::string(22, 'a') + "\xc3\xa9" "b\r"},
     {std::string(22, 'a') + "\xc3\xa9"}, std::string(22, 'a') + "\xc3\xa9" BELL "\n"},
    {"a character refused whole", "c", COMMAND, {std::string(23, 'a') + "\xc3\xa9" "b\r"},
     {std::string(23, 'a') + "b"}, std::string(23, 'a') + BELL "b\n"},
    {"the cursor moves by characters", "c", COMMAND, {"\xc3\xa9" "x" ESC "[D" ESC "[D" "y\r"}, {"y\xc3\xa9" "x"},
     "\xc3\xa9" "x" LEFT(1) LEFT(1) "y\xc3\xa9" "x" BLANK_REST LEFT(2) "\n"},
    {"Backspace erases a whole character", "c", COMMAND, {"a\xc3\xa9\x7f\r"}, {"a"},
     "a\xc3\xa9" LEFT(1) BLANK_REST "\n"},
    // Keys the line does not know leave no trace.
    {"function keys", "c", COMMAND,
     {"a" ESC "OP" ESC "[15~" ESC "[24~" ESC "[1;2P" ESC "[2~" ESC "[5~" ESC "[200~" ESC "[[A" ESC "[[E" "b\r"}, {"ab"},
     "ab\n"},
    {"Alt combinations", "c", COMMAND, {"a" ESC "x" ESC "\xc3\xa9" ESC "." "b\r"}, {"ab"}, "ab\n"},
    {"X10 mouse reports", "c", COMMAND, {"a" ESC "[M !!" ESC "[M#\xe0\xff" "b\r"}, {"ab"}, "ab\n"},
    {"SGR mouse reports", "c", COMMAND, {"a" ESC "[<0;12;5M" ESC "[<0;12;5m" ESC "[<64;100;200M" "b\r"}, {"ab"},
     "ab\n"},
    {"a lone Escape", "c", COMMAND, {"a" ESC, "b\r"}, {"ab"}, "ab\n"},
    {"Escape before Enter", "c", COMMAND, {"a" ESC "\r"}, {"a"}, "a\n"},
    {"Escape before an arrow", "c", COMMAND, {"ab" ESC ESC "[D" "x\r"}, {"axb"},
     "ab" LEFT(1) "xb" BLANK_REST LEFT(1) "\n"},
    {"invalid UTF-8", "c", COMMAND,
     {"a\xff\xc0\x80" "b\xe0\x80\x80\xed\xa0\x80\xf4\x90\x80\x80\xf5\xe2\x82" "c\r"}, {"abc"}, "abc\n"},
    // The end of input.
    {"Ctrl-D on an empty line", "ck", COMMAND, {"\x04" "look\r"}, {END, END}, ""},
    {"Ctrl-D on an empty answer", "a", NAME, {"\x04"}, {END}, ""},
    // Only a terminal that has gone ends the input in the middle of a line:
    // what was typed never reaches the game.
    {"input closed in a line", "cc", COMMAND, {"look"}, {END, END}, "look"},
    // History.
    {"Up, and Up again", "ccc", COMMAND, {"look\rinventory\r" ESC "[A" ESC "OA" "\r"}, {"look", "inventory", "look"},
     "look\ninventory\ninventory" BLANK_REST LEFT(9) RIGHT(9) LEFT(9) "look" BLANK_REST LEFT(4) RIGHT(4) "\n"},
    {"Down back to the line being typed", "cc", COMMAND, {"look\rgo" ESC "[A" ESC "OB" "\r"}, {"look", "go"},
     "look\ngo" LEFT(2) "look" BLANK_REST LEFT(4) RIGHT(4) LEFT(4) "go" BLANK_REST LEFT(2) RIGHT(2) "\n"},
    {"no history yet", "c", COMMAND, {ESC "[A" ESC "[B" "a\r"}, {"a"}, "a\n"},
    {"an empty line is not kept", "ccc", COMMAND, {"look\r\r" ESC "[A" "\r"}, {"look", "", "look"},
     "look\n\nlook" BLANK_REST LEFT(4) RIGHT(4) "\n"},
    {"a repeated line is not kept", "cccc", COMMAND, {"a\rb\rb\r" ESC "[A" ESC "[A" "\r"}, {"a", "b", "b", "a"},
     "a\nb\nb\nb" BLANK_REST LEFT(1) RIGHT(1) LEFT(1) "a" BLANK_REST LEFT(1) RIGHT(1) "\n"},
    {"an answer is not kept", "cac", COMMAND, {"look\rBob\r" ESC "[A" "\r"}, {"look", "Bob", "look"},
     "look\nBob\nlook" BLANK_REST LEFT(4) RIGHT(4) "\n"},
    // One-key questions.
    {"a key is not echoed", "k", 0, {"y"}, {"y"}, ""},
    {"arrows, function keys and the mouse are passed over", "k", 0,
     {ESC "[A" ESC "OP" ESC "[[C" ESC "[<0;3;4M" ESC "[M !!" "n"}, {"n"}, ""},
    {"Escape alone, or before a plain key", "kkk", 0, {ESC, ESC "y"}, {ESC, ESC, "y"}, ""},
    {"the end of input", "kc", 0, {""}, {END, END}, ""},
};

// What the row's reads give, each after a zero byte, behind what was drawn.
std::string play(const Row& row)
{
    bursts = row.keys;
    editorConnect(nextKey, peekKey, draw);
    std::string report;
    for (const char* read = row.reads; *read != '\0'; ++read) {
        report += '\0';
        if (*read == 'k') {
            int key = editorReadKey();
            report += key == -1 ? std::string(END) : std::string(1, static_cast<char>(key));
            continue;
        }
        // Exactly the capacity, so that a sanitizer sees a byte written past it.
        std::vector<char> line(static_cast<std::size_t>(row.capacity));
        bool got = *read == 'c' ? editorReadLine(line.data(), row.capacity)
                                : editorReadAnswer(line.data(), row.capacity);
        report += got ? std::string(line.data()) : std::string(END);
    }
    return drawn + report;
}

} // namespace

TEST(LineEditor, ReadsAndDrawsAsEachRowSays)
{
    for (const Row& row : ROWS) {
        SCOPED_TRACE(row.name);
        expectPlayed(playScene("", [&row] { std::cout << play(row); }), row.drawn, row.read);
    }
}

// The second table is about columns: characters two columns wide and marks
// of none, a line that wraps on a screen of known width, and the plain echo.
namespace columns {

#define UP(n) ESC "[" #n "A"
#define DOWN(n) ESC "[" #n "B"
#define BLANK_BELOW ESC "[J"

#define SUN "\xe6\x97\xa5"      // 日, two columns
#define ORIGIN "\xe6\x9c\xac"   // 本, two columns
#define E_ACUTE "\xc3\xa9"      // é, one
#define ACUTE "\xcc\x81"        // a combining acute accent, none
#define GRIN "\xf0\x9f\x98\x80" // an emoji, two

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

// What was drawn, then each read's line after a zero byte.
std::string play(const Row& row)
{
    bursts = {row.keys};
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

} // namespace columns

TEST(LineEditor, CountsColumnsWrapsAndEchoesPlainlyAsEachRowSays)
{
    for (const columns::Row& row : columns::ROWS) {
        SCOPED_TRACE(row.name);
        expectPlayed(playScene("", [&row] { std::cout << columns::play(row); }), row.drawn, row.read);
    }
}
