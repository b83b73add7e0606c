// A recorded game as an asciicast, version 2 (--asciicast): a header line,
// then a line for each burst of output, [seconds, "o", text]. The text is
// what the terminal would have been sent (the triangle drawn, each line end
// a carriage return and a line feed, as the terminal's own output
// processing makes it), and the time between bursts is the game's pauses
// and the watching pace at 1x. The sounds, which a recording cannot carry,
// take no time.
#include "platform/terminal/terminal.h"

#include "platform/input/character_width.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

static bool writing = false;
static std::streambuf* standardOutput = nullptr;
static unsigned long long clockMs = 0;
static std::string burst;

// A JSON string of the bytes: UTF-8 as it is, a byte that is no part of a
// character as U+FFFD, as a terminal would draw it.
static std::string jsonText(const std::string& bytes)
{
    std::string text = "\"";
    for (std::size_t place = 0; place < bytes.size();) {
        unsigned char byte = static_cast<unsigned char>(bytes[place]);
        int length = utf8Length(byte);
        bool whole = length > 1 && place + static_cast<std::size_t>(length) <= bytes.size() &&
                     utf8ValidSecond(byte, static_cast<unsigned char>(bytes[place + 1]));
        for (int next = 2; whole && next < length; ++next)
            whole = utf8Continuation(static_cast<unsigned char>(bytes[place + static_cast<std::size_t>(next)]));
        if (byte == '"' || byte == '\\') {
            text += '\\';
            text += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            text += escaped;
        } else if (length == 1) {
            text += static_cast<char>(byte);
        } else if (whole) {
            text.append(bytes, place, static_cast<std::size_t>(length));
            place += static_cast<std::size_t>(length);
            continue;
        } else {
            text += "\xef\xbf\xbd";
        }
        ++place;
    }
    return text + "\"";
}

static void put(const std::string& line)
{
    standardOutput->sputn(line.data(), static_cast<std::streamsize>(line.size()));
}

static void endTheBurst()
{
    if (burst.empty())
        return;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%llu.%03llu", clockMs / 1000, clockMs % 1000);
    put(std::string("[") + seconds + ", \"o\", " + jsonText(burst) + "]\n");
    burst.clear();
}

class CastOutput : public std::streambuf {
protected:
    int overflow(int byte) override
    {
        if (byte != traits_type::eof())
            take(static_cast<char>(byte));
        return traits_type::not_eof(byte);
    }

    std::streamsize xsputn(const char* bytes, std::streamsize count) override
    {
        for (std::streamsize place = 0; place < count; ++place)
            take(bytes[place]);
        return count;
    }

private:
    static void take(char byte)
    {
        if (byte == '\n')
            burst += "\r\n";
        else if (byte == '\x1e')
            burst += "\xe2\x96\xb2";
        else
            burst += byte;
    }
};

bool writingAsciicast()
{
    return writing;
}

void asciicastAdvance(unsigned milliseconds)
{
    std::cout.flush();
    endTheBurst();
    clockMs += milliseconds;
}

static void finishAsciicast()
{
    std::cout.flush();
    endTheBurst();
    standardOutput->pubsync();
    std::fflush(stdout);
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "quorrell: cannot write the asciicast: %s\n", std::strerror(errno));
        std::_Exit(1);
    }
}

void startAsciicast()
{
    writing = true;
    standardOutput = std::cout.rdbuf();
    put("{\"version\": 2, \"width\": 80, \"height\": 25, \"title\": \"Quorrell\"}\n");
    // Never freed: the output is still written at exit.
    std::cout.rdbuf(new CastOutput());
    std::atexit(finishAsciicast);
}
