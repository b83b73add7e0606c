#include "platform/records/record.h"

#include "platform/command_line/options.h"

#include <cstring>

static const char MAGIC[] = "Quorrell record\n";
// The state ("open " or "ended") and the turn have fixed widths, so that
// both can be rewritten in place.
static const std::size_t TURN_WIDTH = 10;

// A line of the header as the player reads it in a message: control bytes
// spelled out, and a long one cut.
static std::string shown(const std::string& line)
{
    static const char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : line.substr(0, 40)) {
        if (byte == 0)
            text += "\\0";
        else if (byte < 0x20 || byte == 0x7F)
            text += std::string("\\x") + DIGITS[byte >> 4] + DIGITS[byte & 15];
        else
            text += static_cast<char>(byte);
    }
    return "\"" + text + (line.size() > 40 ? "...\"" : "\"");
}

static bool wrong(std::string* problem, const std::string& why)
{
    if (problem)
        *problem = why;
    return false;
}

// Takes the header's line number at place, which must start with name: its
// value, with place moved past the line; false with the problem otherwise.
// whatItShouldBe ends the problem of a line that is not what it should be.
static bool takeLine(const std::string& bytes, std::size_t& place, int number, const char* name,
                     const char* whatItShouldBe, std::string& value, std::string* problem)
{
    std::size_t lineEnd = bytes.find('\n', place);
    std::size_t length = std::strlen(name);
    if (lineEnd != std::string::npos && bytes.compare(place, length, name) == 0 &&
        std::memchr(bytes.data() + place, '\0', lineEnd - place) == nullptr) {
        value.assign(bytes, place + length, lineEnd - place - length);
        place = lineEnd + 1;
        return true;
    }
    std::string where = "line " + std::to_string(number);
    if (place >= bytes.size())
        return wrong(problem, "it ends before its " + where);
    if (lineEnd == std::string::npos)
        return wrong(problem, "it ends in its " + where + ", " + shown(bytes.substr(place)));
    std::string line = bytes.substr(place, lineEnd - place);
    if (line.find('\0') != std::string::npos)
        return wrong(problem, where + ", " + shown(line) + ", holds a NUL byte");
    return wrong(problem, where + ", " + shown(line) + ", should be " + whatItShouldBe);
}

static bool isAnswerAtTheTitle(char byte)
{
    return byte == 'y' || byte == 'n' || byte == 'Y' || byte == 'N';
}

// Only keys come before the name's line, and Enter is a carriage return: a
// line of a lower-case word and a value right after the header, with no
// answer to the first question in it, was never typed. It is a header line
// this game does not know (a newer game's, or one added by hand).
static bool unknownHeaderLineAt(const std::string& bytes, std::size_t place)
{
    std::size_t word = place;
    while (word < bytes.size() && bytes[word] >= 'a' && bytes[word] <= 'z')
        ++word;
    if (word - place < 2 || word >= bytes.size() || bytes[word] != ' ')
        return false;
    for (std::size_t at = place; at < bytes.size(); ++at) {
        char byte = bytes[at];
        if (byte == '\n')
            return true;
        if (byte < 0x20 || byte > 0x7E || isAnswerAtTheTitle(byte))
            return false;
    }
    return false;
}

bool recordReadHeader(const std::string& bytes, RecordHeader* header, std::string* problem)
{
    if (bytes.compare(0, sizeof MAGIC - 1, MAGIC) != 0)
        return wrong(problem, "");
    std::size_t place = sizeof MAGIC - 1;
    std::string format, seed, state, turn;
    if (!takeLine(bytes, place, 2, "format ", "\"format 2\"", format, problem))
        return false;
    if (format != "1" && format != "2")
        return wrong(problem, "line 2, " + shown("format " + format) + ", is no format this game reads (1 or 2)");
    const char* seedRule = "\"seed\" and a number from 0 to 4294967295";
    if (!takeLine(bytes, place, 3, "seed ", seedRule, seed, problem))
        return false;
    if (!parseSeed(seed.c_str(), &header->seed))
        return wrong(problem, "line 3, " + shown("seed " + seed) + ", should be " + seedRule);
    const char* stateRule = "\"state open \" or \"state ended\"";
    std::size_t stateAt = place + 6;
    if (!takeLine(bytes, place, 4, "state ", stateRule, state, problem))
        return false;
    if (state != "open " && state != "ended")
        return wrong(problem, "line 4, " + shown("state " + state) + ", should be " + stateRule);
    header->format = format == "1" ? 1 : 2;
    header->ended = state == "ended";
    header->stateAt = stateAt;
    header->turn = -1;
    header->turnAt = 0;
    if (header->format == 2) {
        const char* turnRule = "\"turn\" and a number padded with spaces to ten places";
        std::size_t turnAt = place + 5;
        if (!takeLine(bytes, place, 5, "turn ", turnRule, turn, problem))
            return false;
        std::size_t digits = turn.find_first_not_of("0123456789");
        unsigned value = 0;
        if (turn.size() != TURN_WIDTH || digits == 0 || turn.find_first_not_of(' ', digits) != std::string::npos ||
            !parseSeed(turn.substr(0, digits).c_str(), &value) || value > 2147483647u)
            return wrong(problem, "line 5, " + shown("turn " + turn) + ", should be " + turnRule);
        header->turn = static_cast<int>(value);
        header->turnAt = turnAt;
    }
    if (unknownHeaderLineAt(bytes, place)) {
        int number = header->format == 2 ? 6 : 5;
        std::string line = bytes.substr(place, bytes.find('\n', place) - place);
        return wrong(problem, "line " + std::to_string(number) + ", " + shown(line) + ", is no line of a record's header");
    }
    header->inputAt = place;
    return true;
}

bool recordUndoTextModeCopy(std::string& bytes)
{
    bool changed = false;
    if (bytes.compare(0, 3, "\xef\xbb\xbf") == 0) {
        bytes.erase(0, 3);
        changed = true;
    }
    if (bytes.compare(0, sizeof MAGIC, "Quorrell record\r\n") != 0)
        return changed;
    std::string original;
    original.reserve(bytes.size());
    for (std::size_t place = 0; place < bytes.size(); ++place) {
        if (bytes[place] != '\r' || place + 1 == bytes.size() || bytes[place + 1] != '\n')
            original += bytes[place];
    }
    bytes.swap(original);
    return true;
}

std::string recordNewHeader(unsigned seed)
{
    return std::string(MAGIC) + "format 2\nseed " + std::to_string(seed) + "\nstate " + recordStateWord(false) +
           "\nturn " + recordTurnWord(0) + "\n";
}

std::string recordStateWord(bool ended)
{
    return ended ? "ended" : "open ";
}

std::string recordTurnWord(int turn)
{
    std::string word = std::to_string(turn);
    word.resize(TURN_WIDTH, ' ');
    return word;
}

// A record of format 1 does not keep the turn. Its lines are the name's,
// then the commands, and a command is a turn; only the few lines typed while
// sinking in quicksand are counted that should not be.
int recordTurns(const std::string& bytes, const RecordHeader& header)
{
    if (header.turn >= 0)
        return header.turn;
    int lines = 0;
    for (std::size_t place = header.inputAt; place < bytes.size(); ++place)
        lines += bytes[place] == '\n';
    return lines > 0 ? lines - 1 : 0;
}

bool recordHasInput(const std::string& bytes, const RecordHeader& header)
{
    return bytes.size() > header.inputAt;
}

std::string recordPutDownLine(const std::string& resumeHint)
{
    return "The game was put down here; " + resumeHint + " plays on from here.";
}
