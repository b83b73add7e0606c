// Whatever bytes arrive on standard input, the game ends normally: through the
// farewell or the closing screen, with status 0. Each stream is played through
// quorrell-script and through the real quorrell with its input piped; in the
// office, where nothing is ever placed, the two must show the same game.
#include "harness.h"

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

const std::string CLOSING_PROMPT = "Press escape to exit ";

struct Stream {
    const char* name;
    std::string input;
    // What the script's transcript must also show, beyond a normal ending.
    std::function<void(const std::string& output)> check;
};

const std::string LONG_LINE(100000, 'x');

std::vector<Stream> streams()
{
    return {
        {"NulBytes", "n\0nBob\0Al\n\0\0open drawer\nopen drawer\0junk\ntake gun\ni\0\n"s,
         [](const std::string& output) {
             // A NUL is no answer to a question; the name and a command end
             // at their first NUL.
             EXPECT_NE(output.find("Howdie Marshal Bob, good luck"), std::string::npos);
             EXPECT_EQ(countOf(output, "Please use two word commands or a letter for direction\n"), 1);
             EXPECT_NE(output.find("You got the drawer open\n"), std::string::npos);
             EXPECT_NE(output.find("You now have the Colt 45 gun Marshal Bob\nYou have a Colt 45 gun\n"),
                       std::string::npos);
         }},
        {"KeySequencesInCommands",
         "nnBob\n\x1b[A\n\x1bOP\nopen \x1b[15~\n\x1b[1;5D\x1b[C\nw\n\x1b[B\n",
         [](const std::string& output) {
             EXPECT_EQ(countOf(output, "Please use two word commands or a letter for direction\n"), 4);
             EXPECT_EQ(countOf(output, "That is impossible Marshal Bob\n"), 1);
             EXPECT_NE(output.find("You are at the back of your office\n"), std::string::npos);
         }},
        // The Escape that starts an arrow key is an Escape to the harness and
        // to a game whose input is not a terminal.
        {"KeySequenceAtTheFirstQuestion", "\x1b[Ann", nullptr},
        {"Utf8",
         "nnJos\xc3\xa9\n\xe2\x86\x91\ntake \xf0\x9f\x94\xab\n\xff\xfe\xfd\ninventory \xc3\n",
         [](const std::string& output) {
             EXPECT_NE(output.find("Howdie Marshal Jos\xc3\xa9, good luck"), std::string::npos);
             EXPECT_EQ(countOf(output, "That is impossible Marshal Jos\xc3\xa9\n"), 1);
             EXPECT_EQ(countOf(output, "You are not carrying anything!\n"), 1);
         }},
        {"LinesOfAHundredThousandCharacters", "nn" + LONG_LINE + "\n" + LONG_LINE + "\nopen " + LONG_LINE + "\ni\n",
         [](const std::string& output) {
             // The name keeps its first 27 characters; each long line is one
             // command, cut to 24 characters, and the rest of it is dropped.
             EXPECT_NE(output.find("Howdie Marshal " + std::string(27, 'x') + ", good luck"), std::string::npos);
             EXPECT_EQ(countOf(output, "Please use two word commands or a letter for direction\n"), 1);
             EXPECT_EQ(countOf(output, "That is impossible Marshal"), 1);
             EXPECT_EQ(countOf(output, "You are not carrying anything!\n"), 1);
         }},
        {"NoFinalNewline", "nnBob\nopen drawer\ntake gun",
         [](const std::string& output) {
             EXPECT_NE(output.find("You now have the Colt 45 gun Marshal Bob\n"), std::string::npos);
         }},
        {"AnEndlessLastLine", "nnBob\nopen drawer\n" + LONG_LINE, nullptr},
        {"WindowsLineEnds", "nnBob\r\nopen drawer\r\ntake gun\r\nw\r\nquit\r\nn\r\ni\r\n",
         [](const std::string& output) {
             EXPECT_NE(output.find("You now have the Colt 45 gun Marshal Bob\n"), std::string::npos);
             EXPECT_NE(output.find("You are at the back of your office\n"), std::string::npos);
             EXPECT_NE(output.find("I knew you were not a yellow dog, please continue\n"
                                   "Please use two word commands or a letter for direction\n"
                                   "You have a Colt 45 gun\n"),
                       std::string::npos)
                 << "the line end after the declining key is an empty command";
             EXPECT_EQ(output.find('\r'), std::string::npos);
         }},
        {"NothingAtAll", "", nullptr},
        {"OnlyLineEnds", "\n\r\n\n\n", nullptr},
        {"TheNameNeverComes", "nn   \n\n\t\n", nullptr},
        {"SurrenderThenNoEscape", "nnBob\nquit\ny" + LONG_LINE + "\n\x03\x04", nullptr},
    };
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool endsNormally(const std::string& output)
{
    return endsWith(output, FAREWELL_SCREEN) || endsWith(output, CLOSING_PROMPT);
}

// The real game's screen sequences written as the harness's markers, so that
// the two transcripts can be compared.
std::string asMarkers(const std::string& terminalOutput)
{
    static const std::regex clear("\x1b\\[H\x1b\\[2J");
    static const std::regex moveTo("\x1b\\[([0-9]+);([0-9]+)H");
    std::string text = std::regex_replace(terminalOutput, clear, "{cls}");
    return std::regex_replace(text, moveTo, "{goto $2,$1}");
}

std::string withoutPauses(const std::string& transcript)
{
    static const std::regex pause("\\{delay [0-9]+\\}");
    return std::regex_replace(transcript, pause, "");
}

// Starts the real game on the input, with its output to a file, so that
// several games can wait out their pauses side by side.
Child startRealGame(const std::string& input)
{
    ChildOptions options;
    options.input = input;
    options.timeoutSeconds = 60;
    return startProgram({QUORRELL_PROGRAM}, options);
}

Transcript finish(Child& game)
{
    ChildRun run = finishChild(game);
    return {run.out, run.signal != 0 ? -1 : run.status};
}

} // namespace

TEST(BadInput, EveryStreamEndsTheScriptedGameNormally)
{
    for (const Stream& stream : streams()) {
        SCOPED_TRACE(stream.name);
        Transcript game = playGame(stream.input);
        EXPECT_EQ(game.exitStatus, 0);
        EXPECT_TRUE(endsNormally(game.output)) << game.output.substr(game.output.size() > 300 ? game.output.size() - 300 : 0);
        if (stream.check)
            stream.check(game.output);
    }
}

TEST(BadInput, EveryStreamEndsTheRealGameNormallyWithTheSameScreens)
{
    std::vector<Stream> all = streams();
    std::vector<Child> running;
    for (const Stream& stream : all)
        running.push_back(startRealGame(stream.input));
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(all[i].name);
        Transcript real = finish(running[i]);
        EXPECT_EQ(real.exitStatus, 0);
        std::string screens = asMarkers(real.output);
        EXPECT_TRUE(endsNormally(screens)) << screens.substr(screens.size() > 300 ? screens.size() - 300 : 0);
        EXPECT_EQ(screens, withoutPauses(playGame(all[i].input).output));
    }
}
