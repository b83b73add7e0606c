#include "platform/records/handover.h"

#include "platform/command_line/options.h"

#include <cstdlib>

// Written as fields of a name, a length and the bytes.
static const char HANDED_OVER[] = "Quorrell game handed over\n";

void addHandedOverField(std::string& to, const std::string& name, const std::string& bytes)
{
    to += name + ' ' + std::to_string(bytes.size()) + '\n' + bytes;
}

std::string writeHandedOver(const HandedOver& handed)
{
    std::string fields = HANDED_OVER;
    addHandedOverField(fields, "said", handed.said);
    addHandedOverField(fields, "file", handed.file);
    addHandedOverField(fields, "saved", handed.saved ? "yes" : "");
    addHandedOverField(fields, "record", handed.record);
    for (const UndoneStep& step : handed.redo)
        addHandedOverField(fields, "redo " + std::to_string(step.turn), step.bytes);
    return fields;
}

bool takeHandedOverField(const std::string& from, std::size_t& place, std::string& name, std::string& value)
{
    std::size_t lineEnd = from.find('\n', place);
    std::size_t lengthAt = from.rfind(' ', lineEnd);
    if (lineEnd == std::string::npos || lengthAt == std::string::npos || lengthAt < place)
        return false;
    unsigned length = 0;
    if (!parseSeed(from.substr(lengthAt + 1, lineEnd - lengthAt - 1).c_str(), &length) ||
        length > from.size() - lineEnd - 1)
        return false;
    name = from.substr(place, lengthAt - place);
    value = from.substr(lineEnd + 1, length);
    place = lineEnd + 1 + length;
    return true;
}

HandedOver readHandedOver(const std::string& given)
{
    HandedOver handed = {};
    std::size_t place = sizeof HANDED_OVER - 1;
    std::string name, value;
    bool ours = given.compare(0, place, HANDED_OVER) == 0;
    while (ours && takeHandedOverField(given, place, name, value)) {
        if (name == "said")
            handed.said = value;
        else if (name == "file")
            handed.file = value;
        else if (name == "saved")
            handed.saved = !value.empty();
        else if (name == "record")
            handed.record = value;
        else if (name.compare(0, 5, "redo ") == 0)
            handed.redo.push_back({value, std::atoi(name.c_str() + 5)});
    }
    return handed;
}
