// Standard output on its way to the terminal: the one stored character a
// terminal has no glyph for, 0x1E, is drawn as the home console draws it,
// and the prompt's line is kept for a redraw after a suspension. Output sent
// anywhere else keeps the byte.
#include "platform/terminal/terminal.h"

#include "platform/input/character_width.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <langinfo.h>
#include <unistd.h>

bool writingToTerminal = false;

// What the game has written since the start of the screen line, from the
// last cursor placement on.
static std::string promptSoFar;
static std::string sequenceSoFar;

const std::string& promptLine()
{
    return promptSoFar;
}

std::string promptLineFromItsRow()
{
    std::string text = promptSoFar;
    if (text.compare(0, 2, "\x1b[") != 0)
        return text;
    std::size_t final = text.find_first_not_of("0123456789;", 2);
    if (final == std::string::npos || text[final] != 'H')
        return text;
    std::size_t separator = text.find(';');
    int column = separator < final ? std::atoi(text.c_str() + separator + 1) : 1;
    text.replace(0, final + 1, column > 1 ? "\x1b[" + std::to_string(column - 1) + "C" : "");
    return text;
}

void forgetPromptLine()
{
    promptSoFar.clear();
}

// From the last cursor placement on the line, or from its start, counting
// the columns of what was written since.
int promptColumn()
{
    int column = 0;
    std::size_t place = 0;
    while (place < promptSoFar.size()) {
        if (promptSoFar[place] == '\x1b') {
            // Escape [ and its parameters up to the final byte.
            std::size_t final = place + 2;
            while (final < promptSoFar.size() && (promptSoFar[final] < 0x40 || promptSoFar[final] > 0x7E))
                ++final;
            if (final < promptSoFar.size() && promptSoFar[final] == 'H') {
                std::size_t separator = promptSoFar.find(';', place);
                column = separator < final ? std::atoi(promptSoFar.c_str() + separator + 1) - 1 : 0;
            }
            place = final + 1;
            continue;
        }
        int length = utf8Length(static_cast<unsigned char>(promptSoFar[place]));
        if (length <= 1 || place + static_cast<std::size_t>(length) > promptSoFar.size()) {
            ++column;
            ++place;
            continue;
        }
        column += characterColumns(utf8CodePoint(promptSoFar.data() + place, length));
        place += static_cast<std::size_t>(length);
    }
    return column;
}

static void rememberForThePrompt(char byte)
{
    if (!sequenceSoFar.empty()) {
        sequenceSoFar += byte;
        if (sequenceSoFar.size() > 2 && byte >= 0x40 && byte <= 0x7E) {
            // A placed cursor starts the prompt's line afresh; a cleared
            // screen leaves nothing to draw again.
            if (byte == 'H')
                promptSoFar = sequenceSoFar;
            else if (byte == 'J')
                promptSoFar.clear();
            else
                promptSoFar += sequenceSoFar;
            sequenceSoFar.clear();
        }
        return;
    }
    if (byte == '\n')
        promptSoFar.clear();
    else if (byte == '\x1b')
        sequenceSoFar = byte;
    else
        promptSoFar += byte;
}

class TerminalOutput : public std::streambuf {
public:
    TerminalOutput(std::streambuf* screen, const char* upTriangle)
        : screen_(screen), upTriangle_(upTriangle)
    {
    }

protected:
    int overflow(int byte) override
    {
        if (byte != traits_type::eof())
            put(static_cast<char>(byte));
        return traits_type::not_eof(byte);
    }

    std::streamsize xsputn(const char* bytes, std::streamsize count) override
    {
        for (std::streamsize place = 0; place < count; ++place)
            put(bytes[place]);
        return count;
    }

    int sync() override { return screen_->pubsync(); }

private:
    void put(char byte)
    {
        rememberForThePrompt(byte);
        if (byte == '\x1e')
            screen_->sputn(upTriangle_, static_cast<std::streamsize>(std::strlen(upTriangle_)));
        else
            screen_->sputc(byte);
    }

    std::streambuf* screen_;
    const char* upTriangle_;
};

// The character set is asked of the player's locale and the game's locale
// put back at once, so nothing the game formats can change.
static bool terminalSpeaksUtf8()
{
    std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "");
    bool utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    std::setlocale(LC_CTYPE, previous.c_str());
    return utf8;
}

const char* terminalTriangle()
{
    return terminalSpeaksUtf8() ? "\xe2\x96\xb2" : "^";
}

void filterTheOutput()
{
    // Never freed: the output is still written at exit.
    static TerminalOutput* output = new TerminalOutput(std::cout.rdbuf(), terminalTriangle());
    std::cout.rdbuf(output);
}

// The echo goes where the player looks: the screen, or the terminal itself
// when the game's output is sent elsewhere.
void echoToTerminal(const char* bytes, int count)
{
    std::cout.flush();
    int screen = writingToTerminal ? STDOUT_FILENO : STDIN_FILENO;
    while (count > 0) {
        ssize_t written = write(screen, bytes, static_cast<size_t>(count));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes += written;
        count -= static_cast<int>(written);
    }
}
