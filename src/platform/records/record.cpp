#include "platform/records/record.h"

#include "platform/command_line/options.h"

#include <cstring>

static const char MAGIC[] = "Quorrell record\n";
// The state ("open " or "ended") and the turn have fixed widths, so that
// both can be rewritten in place.
static const std::size_t TURN_WIDTH = 10;

// Takes "name value\n" at place: the value, with place moved past the line.
static bool takeLine(const std::string& bytes, std::size_t& place, const char* name, std::string& value)
{
    std::size_t length = std::strlen(name);
    if (bytes.compare(place, length, name) != 0)
        return false;
    std::size_t lineEnd = bytes.find('\n', place + length);
    if (lineEnd == std::string::npos)
        return false;
    value = bytes.substr(place + length, lineEnd - place - length);
    place = lineEnd + 1;
    return true;
}

bool recordReadHeader(const std::string& bytes, RecordHeader* header)
{
    if (bytes.compare(0, sizeof MAGIC - 1, MAGIC) != 0)
        return false;
    std::size_t place = sizeof MAGIC - 1;
    std::string format, seed, state, turn;
    if (!takeLine(bytes, place, "format ", format) || (format != "1" && format != "2"))
        return false;
    if (!takeLine(bytes, place, "seed ", seed) || !parseSeed(seed.c_str(), &header->seed))
        return false;
    std::size_t stateAt = place + 6;
    if (!takeLine(bytes, place, "state ", state) || (state != "open " && state != "ended"))
        return false;
    header->format = format == "1" ? 1 : 2;
    header->ended = state == "ended";
    header->stateAt = stateAt;
    header->turn = -1;
    header->turnAt = 0;
    if (header->format == 2) {
        std::size_t turnAt = place + 5;
        if (!takeLine(bytes, place, "turn ", turn) || turn.size() != TURN_WIDTH)
            return false;
        std::size_t digits = turn.find_first_not_of("0123456789");
        unsigned value = 0;
        if (digits == 0 || turn.find_first_not_of(' ', digits) != std::string::npos ||
            !parseSeed(turn.substr(0, digits).c_str(), &value) || value > 2147483647u)
            return false;
        header->turn = static_cast<int>(value);
        header->turnAt = turnAt;
    }
    header->inputAt = place;
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
