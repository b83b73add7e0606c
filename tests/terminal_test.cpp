// The real game on a real terminal: tmux runs build/quorrell in a pane of 80
// columns by 25 rows, the test types as a player types and reads the screen
// back. The pane runs a small shell script that records the terminal's
// settings before and after the game and the game's exit status, then keeps
// the pane open so the last screen and the cursor can still be read.
#include "child_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <poll.h>
#include <pty.h>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Long enough for a loaded machine or a sanitizer build; a test only waits
// this long when it is about to fail.
const auto SCREEN_TIMEOUT = std::chrono::seconds(40);

const int COLUMNS = 80;
const int ROWS = 25;

struct Placed {
    int column;
    int row;
    std::string text;
};

// What a program (no shell) wrote. A test run from inside tmux must still
// start servers of its own.
std::string outputOf(const std::vector<std::string>& arguments)
{
    ChildOptions options;
    options.in = STREAM_SHARED;
    options.unsetEnvironment = {"TMUX"};
    return runProgram(arguments, options).out;
}

bool tmuxAvailable()
{
    return runProgram({"tmux", "-V"}).status == 0;
}

std::string trimmedRight(std::string line)
{
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n'))
        line.pop_back();
    return line;
}

// A whole screen as capture-pane prints it, each row without its trailing
// blanks, from texts placed at 1-based columns and rows.
std::vector<std::string> screenOf(const std::vector<Placed>& placed)
{
    std::vector<std::string> rows(ROWS);
    for (const Placed& text : placed) {
        std::string& row = rows[static_cast<std::size_t>(text.row - 1)];
        std::size_t column = static_cast<std::size_t>(text.column - 1);
        if (row.size() < column + text.text.size())
            row.resize(column + text.text.size(), ' ');
        row.replace(column, text.text.size(), text.text);
    }
    for (std::string& row : rows)
        row = trimmedRight(row);
    return rows;
}

std::string shown(const std::vector<std::string>& screen)
{
    std::string text;
    for (std::size_t row = 0; row < screen.size(); ++row)
        text += (row < 9 ? " " : "") + std::to_string(row + 1) + "|" + screen[row] + "\n";
    return text;
}

std::string fileText(const fs::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// One tmux server of its own per test, so tests run side by side.
class Terminal {
public:
    // How the pane's shell starts the game. UNDER_JOB_CONTROL runs it from
    // an interactive bash, whose Ctrl-Z and kill %1 a player uses; the test
    // types the shell's commands after the game.
    enum Start { DIRECTLY, INTO_A_PIPE_READ_ONCE, WITH_HANGUPS_IGNORED, ON_A_DUMB_TERMINAL, PLAIN_INTO_TEE,
                 UNDER_A_FILE_SIZE_LIMIT_OF_0, UNDER_JOB_CONTROL };

    // The game saves its games in a folder of the test's own: the terminal's
    // scratch folder, or savedIn, shared by the terminals of one test.
    explicit Terminal(const std::string& name, Start start = DIRECTLY, int columns = COLUMNS, int rows = ROWS,
                      const std::vector<std::string>& options = {}, const fs::path& savedIn = {})
        : socket_("quorrell-" + name + "-" + std::to_string(getpid()))
    {
        char folder[] = "/tmp/quorrell-terminal-XXXXXX";
        folder_ = mkdtemp(folder);
        const char* script =
            "game=$1 folder=$2 start=$3\n"
            "shift 3\n"
            "cd \"$folder\" || exit 1\n"
            "stty -g > before\n"
            "case $start in\n"
            "  pipe) \"$game\" \"$@\" | head -c 1 > /dev/null ;;\n"
            "  nohup) trap '' HUP; \"$game\" \"$@\" ;;\n"
            "  dumb) TERM=dumb \"$game\" --record game.rec \"$@\" ;;\n"
            "  tee) \"$game\" --plain --record game.rec \"$@\" | tee log ;;\n"
            // The soft limit alone, as the game meets it, which a build
            // that counts its lines lifts to write its counts at the end.
            "  fsize) (ulimit -S -f 0; exec \"$game\" \"$@\") ;;\n"
            "  *) \"$game\" \"$@\" ;;\n"
            "esac\n"
            "echo $? > status.tmp\n"
            "stty -g > after\n"
            "mv status.tmp status\n"
            "exec sleep 3600\n";
        static const char* const HOW[] = {"-", "pipe", "nohup", "dumb", "tee", "fsize"};
        std::string saves = savedIn.empty() ? (folder_ / "state").string() : savedIn.string();
        // A UTF-8 terminal, as most players have; the triangle depends on it.
        std::vector<std::string> session = {"-f", "/dev/null", "new-session", "-d", "-x", std::to_string(columns), "-y",
                                            std::to_string(rows), "-e", "LC_ALL=C.UTF-8",
                                            "-e", "XDG_STATE_HOME=" + saves, "-s", "game"};
        if (start == UNDER_JOB_CONTROL) {
            for (const char* part : {"-e", "PS1=$ ", "-e", "HISTFILE=/dev/null", "bash", "--norc", "--noprofile", "-i"})
                session.push_back(part);
            tmux(session);
            std::string command = "cd '" + folder_.string() + "' && stty -g > before && " + QUORRELL_PROGRAM;
            for (const std::string& option : options)
                command += " '" + option + "'";
            type(command);
            press("Enter");
        } else {
            for (const std::string& part : {std::string("sh"), std::string("-c"), std::string(script), std::string("pane"),
                                            std::string(QUORRELL_PROGRAM), folder_.string(), std::string(HOW[start])})
                session.push_back(part);
            session.insert(session.end(), options.begin(), options.end());
            tmux(session);
        }
        socketPath_ = trimmedRight(tmux({"display-message", "-p", "#{socket_path}"}));
    }

    // The folder the game starts in.
    const fs::path& folder() const { return folder_; }

    ~Terminal()
    {
        tmux({"kill-server"});
        fs::remove_all(folder_);
        // The server leaves its socket behind.
        if (!socketPath_.empty())
            fs::remove(socketPath_);
    }

    std::string tmux(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"tmux", "-L", socket_});
        return outputOf(arguments);
    }

    void type(const std::string& text) { tmux({"send-keys", "-t", "game", "-l", text}); }
    void press(const std::string& key) { tmux({"send-keys", "-t", "game", key}); }

    std::vector<std::string> screen()
    {
        std::vector<std::string> rows;
        std::istringstream captured(tmux({"capture-pane", "-p", "-t", "game"}));
        std::string line;
        while (std::getline(captured, line) && rows.size() < static_cast<std::size_t>(ROWS))
            rows.push_back(trimmedRight(line));
        rows.resize(ROWS);
        return rows;
    }

    // The screen's text with the rows a long line wrapped onto joined again.
    std::string joinedText() { return tmux({"capture-pane", "-p", "-J", "-t", "game"}); }

    ::testing::AssertionResult waitForJoinedText(const std::string& text)
    {
        if (waitUntil([&] { return joinedText().find(text) != std::string::npos; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "never saw \"" << text << "\" in\n" << joinedText();
    }

    bool waitUntil(const std::function<bool()>& condition)
    {
        auto deadline = std::chrono::steady_clock::now() + SCREEN_TIMEOUT;
        while (std::chrono::steady_clock::now() < deadline) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return condition();
    }

    // Waits until the text is on the screen, and says on failure what was.
    ::testing::AssertionResult waitForText(const std::string& text)
    {
        if (waitUntil([&] { return shown(screen()).find(text) != std::string::npos; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "never saw \"" << text << "\" on\n" << shown(screen());
    }

    ::testing::AssertionResult waitForScreen(const std::vector<Placed>& placed)
    {
        std::vector<std::string> expected = screenOf(placed);
        if (waitUntil([&] { return screen() == expected; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected\n" << shown(expected) << "saw\n" << shown(screen());
    }

    // The game's process: the one child of the pane's shell.
    pid_t gamePid()
    {
        pid_t shell = std::stoi(tmux({"display-message", "-p", "-t", "game", "#{pane_pid}"}));
        pid_t game = 0;
        waitUntil([&] { return (game = childOf(shell)) != 0; });
        return game;
    }

    std::string paneTty() { return trimmedRight(tmux({"display-message", "-p", "-t", "game", "#{pane_tty}"})); }

    // The pane's terminal settings right now, read from outside.
    std::string settingsNow() { return trimmedRight(outputOf({"stty", "-F", paneTty(), "-g"})); }

    bool finished() { return fs::exists(folder_ / "status"); }

    // The game's exit status, once the pane's script has recorded it.
    int exitStatus()
    {
        if (!waitUntil([&] { return finished(); }))
            return -1;
        return std::stoi(fileText(folder_ / "status"));
    }

    std::string settingsBefore() { return trimmedRight(fileText(folder_ / "before")); }
    std::string settingsAfter() { return trimmedRight(fileText(folder_ / "after")); }
    std::string fileInFolder(const char* name) { return fileText(folder_ / name); }
    std::string folder() { return folder_.string(); }

    // "1 column row": the cursor's visibility flag and its 0-based place.
    std::string cursor()
    {
        return trimmedRight(
            tmux({"display-message", "-p", "-t", "game", "#{cursor_flag} #{cursor_x} #{cursor_y}"}));
    }

private:
    static pid_t childOf(pid_t parent)
    {
        DIR* processes = opendir("/proc");
        pid_t found = 0;
        while (dirent* entry = readdir(processes)) {
            std::string stat = fileText(fs::path("/proc") / entry->d_name / "stat");
            std::size_t nameEnd = stat.rfind(')');
            if (nameEnd == std::string::npos)
                continue;
            std::istringstream fields(stat.substr(nameEnd + 2));
            char state;
            pid_t parentOfEntry;
            if (fields >> state >> parentOfEntry && parentOfEntry == parent)
                found = std::atoi(entry->d_name);
        }
        closedir(processes);
        return found;
    }

    std::string socket_;
    std::string socketPath_;
    fs::path folder_;
};

const std::vector<Placed> TITLE_SCREEN = {
    {31, 5, "QUORRELL"},
    {34, 7, "Version 2.0 for Windows"},
    {20, 9, "Written by the Orvane City Software Company"},
    {26, 11, "quorrell@orvanecity.invalid"},
    {25, 13, "Marshal voice by Rudanti"},
    {1, 16, "Quorrell is free: it may not be sold and comes without any warranty."},
    {1, 17, "You may copy it freely, as long as all of its files go with it."},
    {10, 22, "Instructions?  Y or N"},
};

const std::vector<Placed> FAREWELL_SCREEN = {{20, 12, "HAPPY TRAILS TILL NEXT TIME Marshal"}};

const char* const INSTRUCTIONS[] = {
    "Instructions for Quorrell",
    "     Quorrell is a game in which you are the Marshal of Orvane City",
    "in the year 1877 in the days of the wild west.  There are three desperados in",
    "town, the Desperado brothers, Dexter, Clarence and Rodney and your assignment",
    "is to track them down and wipe the bums out for good!  However, you will find",
    "that your mission is not easily accomplished.",
    "     You move around town by entering a single letter for the direction in",
    "which you want to go:  \"N, S, E, W, U or D.\"  You can enter the letter \"I\"",
    "or the word \"inventory\" to check on what you are carrying, the letter \"L\"",
    "or the word \"look\" to check on where you are, the word \"sound\" to toggle",
    "sound effects on and off, and the word \"quit\" to quit the game.  All other",
    "commands must be in two words.  Decide what you want to do in each situation",
    "and use a simple and basic command to carry out the action.  Not every command",
    "that you enter will work, so try various words in an effort to accomplish your",
    "goal.  Be sure to spell every word correctly.  Also, be sure to read the entire",
    "description after each entry or you may miss something important. You must",
    "obtain certain tools to succeed but not all of them are easily located.",
    "",
    "     Quorrell was written by the Orvane City Software Company, which also makes",
    "other small games for the console.  Read the README file that comes with the",
    "game for how to build it, and write to us at quorrell@orvanecity.invalid",
    "     Good luck!  May 2012",
};

std::vector<Placed> instructionsScreen()
{
    std::vector<Placed> screen = {{20, 1, INSTRUCTIONS[0]}};
    for (int line = 1; line < 22; ++line)
        screen.push_back({1, line + 1, INSTRUCTIONS[line]});
    screen.push_back({1, 24, "Press R to return to the game or ESCAPE to quit"});
    return screen;
}

// After the game: the settings as they were, the cursor shown, and the cursor
// at the start of a fresh line below the last thing the game wrote.
void expectTerminalPutBack(Terminal& terminal, int rowBelowLastText)
{
    EXPECT_EQ(terminal.settingsAfter(), terminal.settingsBefore());
    EXPECT_EQ(terminal.cursor(), "1 0 " + std::to_string(rowBelowLastText - 1));
}

} // namespace

class RealTerminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tmuxAvailable())
            GTEST_SKIP() << "tmux is not installed";
    }
};

TEST_F(RealTerminal, TheTitleScreenThenEscapeAtTheFirstQuestionSaysFarewellAndPutsTheTerminalBack)
{
    Terminal terminal("title");
    ASSERT_TRUE(terminal.waitForScreen(TITLE_SCREEN));
    terminal.press("Escape");
    ASSERT_TRUE(terminal.waitForScreen(FAREWELL_SCREEN));
    EXPECT_EQ(terminal.exitStatus(), 0);
    expectTerminalPutBack(terminal, 13);
}

TEST_F(RealTerminal, AShortGameFromTheInstructionsToTheClosingScreen)
{
    Terminal terminal("game");
    ASSERT_TRUE(terminal.waitForScreen(TITLE_SCREEN));
    terminal.type("y");
    ASSERT_TRUE(terminal.waitForScreen(instructionsScreen()));
    // An arrow key is no answer and no Escape: the question stays.
    terminal.press("Up");
    terminal.type("r");
    ASSERT_TRUE(terminal.waitForScreen(
        {{30, 8, "QUORRELL"}, {28, 10, "Version 2.0 for Windows"}, {10, 22, "Sound effects?  Y or N"}}));
    terminal.type("n");
    ASSERT_TRUE(terminal.waitForText("What is your first name?"));
    terminal.type("Bob");
    terminal.press("Enter");

    std::vector<Placed> game = {
        {1, 1, "Howdie Marshal Bob, good luck, I hope your will is up to date."},
        {1, 3, "It is high noon in Orvane City.You are in your office"},
        {1, 4, "You see your messy desk"},
        {1, 5, "Obvious directions are east or west"},
    };
    ASSERT_TRUE(terminal.waitForScreen(game));
    // Each command is echoed as it is typed, and answered on the next line.
    struct {
        const char* command;
        std::vector<const char*> answer;
    } commands[] = {
        {"open drawer", {"You got the drawer open", "There is a Colt 45 gun in there"}},
        {"take gun", {"You now have the Colt 45 gun Marshal Bob"}},
        {"i", {"You have a Colt 45 gun"}},
        {"quit", {"Are you surrendering Orvane City to the desperados Marshal Bob?  Y or N"}},
    };
    for (const auto& command : commands) {
        terminal.type(command.command);
        terminal.press("Enter");
        game.push_back({1, static_cast<int>(game.size()) + 2, command.command});
        for (const char* line : command.answer)
            game.push_back({1, static_cast<int>(game.size()) + 2, line});
        ASSERT_TRUE(terminal.waitForScreen(game));
    }
    // The answer to the surrender is one key, not echoed.
    terminal.type("n");
    game.push_back({1, 15, "I knew you were not a yellow dog, please continue"});
    ASSERT_TRUE(terminal.waitForScreen(game));
    terminal.type("quit");
    terminal.press("Enter");
    game.push_back({1, 16, "quit"});
    game.push_back({1, 17, "Are you surrendering Orvane City to the desperados Marshal Bob?  Y or N"});
    ASSERT_TRUE(terminal.waitForScreen(game));
    terminal.type("Y");

    ASSERT_TRUE(terminal.waitForScreen({
        {6, 10, "You have let down the decent citizens of Orvane City Marshal Bob"},
        {18, 14, "The desperados have prevailed in Orvane City"},
        {1, 18, "     Enjoyed Quorrell?  A contribution to the Orvane City Software Company"},
        {1, 19, "     keeps the town's lights on: write to quorrell@orvanecity.invalid"},
        {34, 21, "Happy trails Marshal Bob"},
        {34, 22, "Press escape to exit"},
    }));
    terminal.press("Escape");
    EXPECT_EQ(terminal.exitStatus(), 0);
    expectTerminalPutBack(terminal, 23);
}

// From the title to the first command in the office, where no brother and
// no rat is ever placed.
void startInTheOffice(Terminal& terminal)
{
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    terminal.type("nnBob");
    terminal.press("Enter");
    ASSERT_TRUE(terminal.waitForText("Obvious directions are east or west"));
}

TEST_F(RealTerminal, TheCommandLineEditsAndShowsOnlyWhatTheGameReads)
{
    Terminal terminal("editor");
    startInTheOffice(terminal);
    std::vector<Placed> game = {
        {1, 1, "Howdie Marshal Bob, good luck, I hope your will is up to date."},
        {1, 3, "It is high noon in Orvane City.You are in your office"},
        {1, 4, "You see your messy desk"},
        {1, 5, "Obvious directions are east or west"},
    };
    auto expectLines = [&](std::vector<const char*> lines) {
        for (const char* line : lines)
            game.push_back({1, static_cast<int>(game.size()) + 2, line});
        return terminal.waitForScreen(game);
    };

    // Mended in the middle, with the arrows, Home, Backspace and Delete.
    terminal.type("opn drawxr");
    terminal.press("Left");
    terminal.press("BSpace");
    terminal.type("e");
    terminal.press("Home");
    terminal.press("Right");
    terminal.press("Right");
    terminal.type("e");
    terminal.press("End");
    terminal.press("Enter");
    ASSERT_TRUE(expectLines({"open drawer", "You got the drawer open", "There is a Colt 45 gun in there"}));

    // Keys the line does not know leave no trace: a function key, an Alt
    // combination, a mouse report, a lone Escape.
    terminal.type("take");
    terminal.press("F5");
    terminal.press("M-x");
    terminal.type("\x1b[M !!");
    terminal.type(" gun");
    terminal.press("Escape");
    terminal.press("Enter");
    ASSERT_TRUE(expectLines({"take gun", "You now have the Colt 45 gun Marshal Bob"}));

    // Typed on: the 25th character and every one after it are refused, and
    // what is shown is what runs. Ctrl-U then clears the line.
    terminal.type("abcdefghijklmnopqrstuvwxyz0123");
    game.push_back({1, static_cast<int>(game.size()) + 2, "abcdefghijklmnopqrstuvwx"});
    ASSERT_TRUE(terminal.waitForScreen(game));
    terminal.press("C-u");
    game.pop_back();
    terminal.type("i");
    terminal.press("Enter");
    ASSERT_TRUE(expectLines({"i", "You have a Colt 45 gun"}));

    // Up brings back the last command.
    terminal.press("Up");
    terminal.press("Enter");
    ASSERT_TRUE(expectLines({"i", "You have a Colt 45 gun"}));

    // A command typed with the answer to the surrender shows on its own line
    // when the prompt takes it, not before.
    terminal.type("quit");
    terminal.press("Enter");
    ASSERT_TRUE(expectLines({"quit", "Are you surrendering Orvane City to the desperados Marshal Bob?  Y or N"}));
    terminal.type("ni");
    terminal.press("Enter");
    ASSERT_TRUE(expectLines({"I knew you were not a yellow dog, please continue", "i", "You have a Colt 45 gun"}));

    // A word typed during the closing screen's pause is never drawn.
    terminal.type("quit");
    terminal.press("Enter");
    terminal.type("y");
    ASSERT_TRUE(terminal.waitForText("Happy trails Marshal Bob"));
    terminal.type("hello");
    ASSERT_TRUE(terminal.waitForText("Press escape to exit"));
    EXPECT_EQ(shown(terminal.screen()).find("hello"), std::string::npos) << shown(terminal.screen());
    terminal.press("Escape");
    EXPECT_EQ(terminal.exitStatus(), 0);
    expectTerminalPutBack(terminal, 23);
}

TEST_F(RealTerminal, TheStoredTriangleIsDrawn)
{
    // A brother may wait on the way to the back of the store (the game
    // cannot be seeded here), so a game that meets one is played again.
    for (int game = 0; game < 8; ++game) {
        Terminal terminal("triangle" + std::to_string(game));
        startInTheOffice(terminal);
        terminal.type("e\rn\rw\rw\rkick door\r");
        ASSERT_TRUE(terminal.waitUntil([&] {
            std::string screen = shown(terminal.screen());
            return screen.find("that hurt!") != std::string::npos || screen.find("Desperado") != std::string::npos;
        }));
        std::string screen = shown(terminal.screen());
        if (screen.find("Desperado") != std::string::npos)
            continue;
        EXPECT_NE(screen.find("|kick door\n"), std::string::npos) << screen;
        EXPECT_NE(screen.find("|Ouch \xe2\x96\xb2 that hurt!\n"), std::string::npos) << screen;
        return;
    }
    FAIL() << "a brother on the way in every game";
}

TEST_F(RealTerminal, AfterASuspensionTheLineBeingTypedIsDrawnAgain)
{
    Terminal terminal("suspend");
    startInTheOffice(terminal);
    pid_t game = terminal.gamePid();
    ASSERT_NE(game, 0);
    terminal.type("open draxer");
    terminal.press("Left");
    terminal.press("Left");
    terminal.press("Left");
    ASSERT_TRUE(terminal.waitForText(" 6|open draxer\n"));
    // What a shell writes over the line while the game is stopped. The
    // pane's shell has no job control, so the game's own stop is not kept
    // and it comes straight back, as after fg.
    {
        std::ofstream tty(terminal.paneTty());
        tty << "\r\x1b[K[1]+  Stopped" << std::flush;
    }
    ASSERT_TRUE(terminal.waitForText(" 6|[1]+  Stopped\n"));
    kill(game, SIGTSTP);
    ASSERT_TRUE(terminal.waitForText(" 6|open draxer\n"));
    EXPECT_TRUE(terminal.waitUntil([&] { return terminal.cursor() == "1 8 5"; })) << terminal.cursor();
    terminal.press("Right");
    terminal.press("BSpace");
    terminal.type("w");
    terminal.press("Enter");
    EXPECT_TRUE(terminal.waitForText(" 6|open drawer\n 7|You got the drawer open\n"));
}

TEST_F(RealTerminal, ALineOfWideCharactersWrapsAndKeepsItsPlaceOnANarrowTerminal)
{
    Terminal terminal("wrap", Terminal::DIRECTLY, 40, ROWS);
    ASSERT_TRUE(terminal.waitForText("Quorrell needs 80x24, found 40x25"));
    terminal.type("x");
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    terminal.type("nn");
    ASSERT_TRUE(terminal.waitForText("What is your first name?"));
    const std::string prompt = "         What is your first name?  ";
    // The name starts in column 36 of 40: the second wide character does
    // not fit in what is left of the row and starts the next one.
    terminal.type("ab\xe6\x97\xa5\xe6\x9c\xac" "cdefgh");
    auto expectLine = [&](const std::string& first, const std::string& second, const char* cursor) {
        EXPECT_TRUE(terminal.waitUntil([&] {
            std::vector<std::string> rows = terminal.screen();
            return rows[21] == first && rows[22] == second && terminal.cursor() == cursor;
        })) << shown(terminal.screen()) << terminal.cursor();
    };
    expectLine(prompt + "ab\xe6\x97\xa5", "\xe6\x9c\xac" "cdefgh", "1 8 22");
    terminal.press("Home");
    terminal.type("X");
    expectLine(prompt + "Xab\xe6\x97\xa5", "\xe6\x9c\xac" "cdefgh", "1 36 21");
    terminal.press("End");
    terminal.press("BSpace");
    terminal.press("BSpace");
    terminal.press("BSpace");
    expectLine(prompt + "Xab\xe6\x97\xa5", "\xe6\x9c\xac" "cde", "1 5 22");
    terminal.press("Home");
    terminal.press("Delete");
    expectLine(prompt + "ab\xe6\x97\xa5", "\xe6\x9c\xac" "cde", "1 35 21");
    terminal.press("Enter");
    EXPECT_TRUE(terminal.waitUntil([&] {
        return terminal.screen()[0].rfind("Howdie Marshal ab\xe6\x97\xa5\xe6\x9c\xac" "cde, good", 0) == 0;
    })) << shown(terminal.screen());
}

// A short game in plain text: a name mended with Backspace, a command
// mended in the middle of typing, and the end of input at the next prompt.
void playPlainly(Terminal& terminal)
{
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    terminal.type("xn");
    ASSERT_TRUE(terminal.waitForText("Sound effects?  Y or N"));
    terminal.type("n");
    ASSERT_TRUE(terminal.waitForText("What is your first name?"));
    terminal.type("Bobx");
    terminal.press("BSpace");
    terminal.press("Enter");
    ASSERT_TRUE(terminal.waitForText("Obvious directions are east or west"));
    terminal.type("opne");
    terminal.press("BSpace");
    terminal.press("BSpace");
    // Keys that would move the cursor are passed over.
    terminal.press("Left");
    terminal.type("en drawer");
    terminal.press("Enter");
    ASSERT_TRUE(terminal.waitForText("There is a Colt 45 gun in there"));
    terminal.press("C-d");
    ASSERT_TRUE(terminal.waitForText("HAPPY TRAILS TILL NEXT TIME Marshal"));
    EXPECT_EQ(terminal.exitStatus(), 0);
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line))
        lines.push_back(line);
    return lines;
}

// The screen is the end of the game's transcript, line for line, with the
// cursor on the line after it.
void expectTheScreenToEndTheTranscript(Terminal& terminal, const std::string& transcript)
{
    std::vector<std::string> lines = linesOf(transcript);
    ASSERT_GE(lines.size(), static_cast<std::size_t>(ROWS));
    std::vector<std::string> tail(lines.end() - (ROWS - 1), lines.end());
    tail.push_back("");
    EXPECT_EQ(shown(terminal.screen()), shown(tail));
    EXPECT_NE(transcript.find("\n" "         What is your first name?  Bob\nHowdie"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("\nopen drawer\nYou got the drawer open\n"), std::string::npos) << transcript;
}

TEST_F(RealTerminal, ADumbTerminalGetsPlainTextWithTheLineTypedInItsPlace)
{
    Terminal terminal("dumb", Terminal::ON_A_DUMB_TERMINAL);
    playPlainly(terminal);
    std::string transcript = outputOf({QUORRELL_PROGRAM, "--transcript", terminal.folder() + "/game.rec"});
    expectTheScreenToEndTheTranscript(terminal, transcript);
    EXPECT_EQ(terminal.settingsAfter(), terminal.settingsBefore());
}

TEST_F(RealTerminal, APlainGameLoggedWithTeeLogsItsTranscriptAndShowsEachLineOnce)
{
    Terminal terminal("tee", Terminal::PLAIN_INTO_TEE);
    playPlainly(terminal);
    std::string transcript = outputOf({QUORRELL_PROGRAM, "--transcript", terminal.folder() + "/game.rec"});
    EXPECT_EQ(terminal.fileInFolder("log"), transcript);
    expectTheScreenToEndTheTranscript(terminal, transcript);
}

TEST_F(RealTerminal, ATerminalTooSmallIsToldBeforeTheTitle)
{
    const char* notice = " 1|Quorrell needs 80x24, found 70x20: Escape quits, any key plays on\n";
    {
        // A game left there read nothing, and leaves no record behind.
        Terminal terminal("small-escape", Terminal::DIRECTLY, 70, 20, {"--record", "game.rec"});
        ASSERT_TRUE(terminal.waitForText(notice));
        terminal.press("Escape");
        EXPECT_EQ(terminal.exitStatus(), 0);
        EXPECT_EQ(terminal.settingsAfter(), terminal.settingsBefore());
        EXPECT_FALSE(fs::exists(fs::path(terminal.folder()) / "game.rec"));
    }
    Terminal terminal("small-play-on", Terminal::DIRECTLY, 70, 20);
    ASSERT_TRUE(terminal.waitForText(notice));
    terminal.type("x");
    EXPECT_TRUE(terminal.waitForText("Instructions?  Y or N"));
}

// The games in a folder of saved games, each with what it holds.
std::map<std::string, std::string> savedGames(const fs::path& state)
{
    std::map<std::string, std::string> games;
    if (fs::exists(state / "quorrell"))
        for (const auto& entry : fs::recursive_directory_iterator(state / "quorrell"))
            if (!entry.is_directory())
                games[fs::relative(entry.path(), state / "quorrell").string()] = fileText(entry.path());
    return games;
}

// The day a file was last written, as a player reads it.
std::string dayWritten(const fs::path& file)
{
    struct stat status = {};
    stat(file.c_str(), &status);
    std::tm* day = std::localtime(&status.st_mtime);
    char monthAndYear[64];
    std::strftime(monthAndYear, sizeof monthAndYear, "%B %Y", day);
    return std::to_string(day->tm_mday) + " " + monthAndYear;
}

TEST_F(RealTerminal, AGamePutDownByAHangupIsOfferedAndPickedUpAtTheNextStart)
{
    char scratch[] = "/tmp/quorrell-saves-XXXXXX";
    fs::path state = mkdtemp(scratch);
    const std::string inputSoFar = "nnBob\nopen drawer\ntake gun\n";
    std::vector<std::string> putDownScreen;
    {
        Terminal terminal("put-down", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
        startInTheOffice(terminal);
        for (const char* command : {"open drawer", "take gun"}) {
            terminal.type(command);
            terminal.press("Enter");
        }
        ASSERT_TRUE(terminal.waitForText("You now have the Colt 45 gun Marshal Bob"));
        putDownScreen = terminal.screen();
        kill(terminal.gamePid(), SIGHUP);
        EXPECT_EQ(terminal.exitStatus(), 128 + SIGHUP);
    }
    // Saved as it was played, for the player alone.
    std::map<std::string, std::string> games = savedGames(state);
    ASSERT_EQ(games.size(), 1u);
    std::string name = games.begin()->first;
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(game-\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.rec)"))) << name;
    EXPECT_TRUE(std::regex_match(games[name], std::regex("Quorrell record\nformat 2\nseed \\d+\nstate open \n"
                                                         "turn 2         \n" + inputSoFar)))
        << games[name];
    EXPECT_EQ(fs::status(state / "quorrell").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(state / "quorrell" / name).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    {
        Terminal terminal("pick-up", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
        ASSERT_TRUE(terminal.waitForText(" 1|You put down a game on " + dayWritten(state / "quorrell" / name) +
                                         ", at turn 2. Pick it up?  Y or N\n"));
        terminal.type("y");
        // Played again at once, to the screen where it stopped.
        ASSERT_TRUE(terminal.waitUntil([&] { return terminal.screen() == putDownScreen; })) << shown(terminal.screen());
        // Up brings back the commands played again.
        terminal.press("Up");
        ASSERT_TRUE(terminal.waitForText("11|take gun\n"));
        terminal.press("C-u");
        terminal.type("i");
        terminal.press("Enter");
        ASSERT_TRUE(terminal.waitForText("12|You have a Colt 45 gun\n"));
        kill(terminal.gamePid(), SIGHUP);
        EXPECT_EQ(terminal.exitStatus(), 128 + SIGHUP);
    }
    EXPECT_EQ(savedGames(state)[name].substr(games[name].size() - inputSoFar.size() - 16),
              "turn 3         \n" + inputSoFar + "i\n");
    std::string setAside = name.substr(0, name.size() - 4) + "-set-aside.rec";
    std::string asidePath = (state / "quorrell" / setAside).string();
    {
        // N starts afresh, and sets the game aside, still there, saying where
        // before the title. A second game offered the same game at the same
        // time finds it gone, and says so truly.
        Terminal terminal("start-afresh", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
        Terminal second("second-at-offer", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
        ASSERT_TRUE(terminal.waitForText(", at turn 3. Pick it up?  Y or N\n"));
        ASSERT_TRUE(second.waitForText(", at turn 3. Pick it up?  Y or N\n"));
        terminal.type("n");
        ASSERT_TRUE(terminal.waitForJoinedText(", at turn 3. Pick it up?  Y or N  n\nIt is set aside: quorrell --resume '" +
                                               asidePath + "' plays it on.\nPress a key for a new game "));
        second.type("N");
        ASSERT_TRUE(second.waitForJoinedText("Pick it up?  Y or N  n\nAnother game has just picked it up or set it aside.\n"
                                             "Press a key for a new game "));
        second.type("x");
        ASSERT_TRUE(second.waitForScreen(TITLE_SCREEN));
        // Left before it read a key: nothing of it is kept.
        kill(second.gamePid(), SIGTERM);
        EXPECT_EQ(second.exitStatus(), 128 + SIGTERM);
        terminal.type("x");
        ASSERT_TRUE(terminal.waitForScreen(TITLE_SCREEN));
        startInTheOffice(terminal);
        terminal.press("C-d");
        EXPECT_EQ(terminal.exitStatus(), 0);
    }
    games = savedGames(state);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_NE(games[setAside].find(inputSoFar + "i\n"), std::string::npos);
    {
        // Without saving, nothing is offered and nothing is written, though
        // the game just put down is waiting.
        Terminal terminal("no-save", Terminal::DIRECTLY, COLUMNS, ROWS, {"--no-save"}, state);
        ASSERT_TRUE(terminal.waitForScreen(TITLE_SCREEN));
        startInTheOffice(terminal);
        terminal.press("C-d");
        EXPECT_EQ(terminal.exitStatus(), 0);
    }
    EXPECT_EQ(savedGames(state), games);
    std::string afresh = std::prev(games.end())->first == setAside ? games.begin()->first : std::prev(games.end())->first;
    {
        // Listed, the one played last first, each line ending in its file.
        Terminal terminal("games", Terminal::DIRECTLY, 120, ROWS, {"--games"}, state);
        EXPECT_EQ(terminal.exitStatus(), 0);
        std::vector<std::string> rows = terminal.screen();
        EXPECT_EQ(rows[0], "The games saved in " + (state / "quorrell").string() + ", the one played last first:");
        rows.erase(rows.begin());
        struct Listed {
            const std::string& name;
            std::string end;
        } listed[] = {{afresh, "turn 0  unfinished  "}, {setAside, "turn 3  set aside   "}};
        for (std::size_t number = 1; number <= 2; ++number) {
            const Listed& game = listed[number - 1];
            std::string start = std::to_string(number) + "  " + dayWritten(state / "quorrell" / game.name) + " ";
            std::string end = game.end + game.name;
            const std::string& row = rows[number - 1];
            EXPECT_EQ(row.substr(0, start.size()), start) << shown(rows);
            EXPECT_TRUE(row.size() > end.size() && row.substr(row.size() - end.size()) == end) << shown(rows);
        }
        EXPECT_EQ(rows[2], "") << shown(rows);
    }
    {
        // Taken up by its number, the game set aside plays on under its
        // own name again, and once put down it is offered again.
        Terminal terminal("resume-by-number", Terminal::DIRECTLY, COLUMNS, ROWS, {"--resume", "2"}, state);
        ASSERT_TRUE(terminal.waitForText("12|You have a Colt 45 gun\n"));
        terminal.type("i");
        terminal.press("Enter");
        ASSERT_TRUE(terminal.waitForText("14|You have a Colt 45 gun\n"));
        kill(terminal.gamePid(), SIGHUP);
        EXPECT_EQ(terminal.exitStatus(), 128 + SIGHUP);
    }
    {
        Terminal terminal("offered-again", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
        ASSERT_TRUE(terminal.waitForText(", at turn 4. Pick it up?  Y or N\n"));
        terminal.press("Escape");
        EXPECT_EQ(terminal.exitStatus(), 0);
    }
    fs::remove_all(state);
}

// A record in the folder of saved games that is a symbolic link is never
// offered, and nothing is ever written through it; nor is an ended game.
TEST_F(RealTerminal, ASymbolicLinkAmongTheSavedGamesIsPassedOver)
{
    char scratch[] = "/tmp/quorrell-saves-XXXXXX";
    fs::path state = mkdtemp(scratch);
    fs::create_directories(state / "quorrell");
    fs::path elsewhere = state / "elsewhere.rec";
    const std::string putDown = "Quorrell record\nformat 2\nseed 5\nstate open \nturn 1         \nnnBob\nlook\n";
    std::ofstream(elsewhere) << putDown;
    fs::create_symlink(elsewhere, state / "quorrell" / "game-2099-01-01_00-00-00.rec");
    // A game ended under its first name, as games were once kept, is put
    // with the ended games once found, and never offered.
    const std::string ended = "Quorrell record\nformat 2\nseed 5\nstate ended\nturn 1         \nnnBob\nquit\ny";
    std::ofstream(state / "quorrell" / "game-2098-01-01_00-00-00.rec") << ended;
    {
        Terminal terminal("symlink", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
        ASSERT_TRUE(terminal.waitForScreen(TITLE_SCREEN));
        terminal.press("Escape");
        EXPECT_EQ(terminal.exitStatus(), 0);
    }
    EXPECT_EQ(fileText(elsewhere), putDown);
    EXPECT_EQ(fileText(state / "quorrell" / "ended" / "game-2098-01-01_00-00-00.rec"), ended);
    fs::remove_all(state);
}

// Reads what the game draws on the terminal until text shows after what was
// seen before; false when the game is gone or the time is up.
bool readUntil(int terminal, const std::string& text, std::string& seen)
{
    std::size_t from = seen.size();
    auto deadline = std::chrono::steady_clock::now() + SCREEN_TIMEOUT;
    while (seen.find(text, from) == std::string::npos) {
        struct pollfd output = {terminal, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline || poll(&output, 1, 100) < 0)
            return false;
        char buffer[4096];
        ssize_t count = output.revents ? read(terminal, buffer, sizeof buffer) : 0;
        if (count < 0 || (output.revents && count == 0))
            return false;
        seen.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
}

// A terminal closed while a command is half typed, with the game started
// from a shell as a player starts it, on a terminal of the test's own: the
// line is neither run nor saved, and the game ends as at a hang-up. The
// shell sees to its own hang-up at leisure (a trap of its own), so that the
// game meets the closed terminal before any hang-up reaches it.
TEST(ClosedTerminal, ALineHalfTypedIsNeitherRunNorSaved)
{
    char scratch[] = "/tmp/quorrell-closed-XXXXXX";
    fs::path folder = mkdtemp(scratch);
    std::string record = (folder / "game.rec").string();
    int terminal = -1;
    struct winsize size = {ROWS, COLUMNS, 0, 0};
    pid_t shell = forkpty(&terminal, nullptr, nullptr, &size);
    if (shell == 0) {
        setenv("TERM", "xterm", 1);
        execl("/bin/sh", "sh", "-c", "trap 'sleep 1' HUP; \"$0\" --record \"$1\"; echo $? > \"$1.status\"",
              QUORRELL_PROGRAM, record.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(shell, 0);
    std::string seen;
    ASSERT_TRUE(readUntil(terminal, "Instructions?", seen)) << seen;
    ASSERT_EQ(write(terminal, "nnBob\r", 6), 6);
    ASSERT_TRUE(readUntil(terminal, "Obvious directions are east or west", seen)) << seen;
    ASSERT_EQ(write(terminal, "e", 1), 1);
    ASSERT_TRUE(readUntil(terminal, "e", seen)) << seen;
    close(terminal);
    fs::path status = record + ".status";
    auto deadline = std::chrono::steady_clock::now() + SCREEN_TIMEOUT;
    while (fileText(status).empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    waitpid(shell, nullptr, 0);
    EXPECT_EQ(fileText(status), std::to_string(128 + SIGHUP) + "\n");
    EXPECT_TRUE(std::regex_match(fileText(record), std::regex("Quorrell record\nformat 2\nseed \\d+\nstate open \n"
                                                              "turn 0         \nnnBob\n")))
        << fileText(record);
    fs::remove_all(folder);
}

// A resize while a line is typed draws the line again for the new width,
// so that the screen shows what the game reads.
TEST_F(RealTerminal, AResizeInTheMiddleOfALineDrawsItAgainForTheNewWidth)
{
    Terminal terminal("resize");
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    terminal.type("nn");
    ASSERT_TRUE(terminal.waitForText("What is your first name?"));
    terminal.type("BartholomewJones");
    ASSERT_TRUE(terminal.waitForText("first name?  BartholomewJones\n"));
    terminal.tmux({"resize-window", "-t", "game", "-x", "40", "-y", std::to_string(ROWS)});
    terminal.press("Home");
    terminal.type("X");
    EXPECT_TRUE(terminal.waitForText("|         What is your first name?  XBart\n"));
    EXPECT_TRUE(terminal.waitForText("|holomewJones\n"));
    terminal.press("Enter");
    EXPECT_TRUE(terminal.waitUntil(
        [&] { return terminal.screen()[0].rfind("Howdie Marshal XBartholomewJones", 0) == 0; }))
        << shown(terminal.screen());
}

// Under a file size limit (ulimit -f) the game is told, as on a full disk,
// plays on, and leaves no empty record behind.
TEST_F(RealTerminal, AFileSizeLimitIsToldAsAFullDiskIs)
{
    char scratch[] = "/tmp/quorrell-saves-XXXXXX";
    fs::path state = mkdtemp(scratch);
    Terminal terminal("fsize", Terminal::UNDER_A_FILE_SIZE_LIMIT_OF_0, COLUMNS, ROWS, {}, state);
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    terminal.type("n");
    ASSERT_TRUE(terminal.waitForText("This game is not being saved: cannot write to"));
    ASSERT_TRUE(terminal.waitForText("File too large. It plays on unsaved."));
    terminal.type("n");
    ASSERT_TRUE(terminal.waitForText("What is your first name?"));
    terminal.press("Escape");
    terminal.press("C-d");
    ASSERT_TRUE(terminal.waitForScreen(FAREWELL_SCREEN));
    EXPECT_EQ(terminal.exitStatus(), 0);
    EXPECT_TRUE(savedGames(state).empty());
    fs::remove_all(state);
}

// The one record of a folder of saved games.
std::string theSavedGame(const fs::path& state)
{
    std::map<std::string, std::string> games = savedGames(state);
    return games.size() == 1 ? games.begin()->second : "(" + std::to_string(games.size()) + " games)";
}

// Typed, answered, and the screen as it then is.
std::vector<std::string> playCommand(Terminal& terminal, const char* command, const char* answer)
{
    terminal.type(command);
    terminal.press("Enter");
    EXPECT_TRUE(terminal.waitForText(answer));
    return terminal.screen();
}

TEST_F(RealTerminal, AltUAndAltRTakeBackAndPutBackStepsAtThePromptAndTheClosingScreen)
{
    char scratch[] = "/tmp/quorrell-saves-XXXXXX";
    fs::path state = mkdtemp(scratch);
    Terminal terminal("undo", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
    startInTheOffice(terminal);
    std::vector<std::string> drawerOpen = playCommand(terminal, "open drawer", "There is a Colt 45 gun in there");
    std::vector<std::string> gunTaken = playCommand(terminal, "take gun", "You now have the Colt 45 gun Marshal Bob");
    // Taken back at the prompt, to the screen as it was, a line half typed
    // and all: the scrollback holds the game once.
    terminal.type("loo");
    terminal.press("M-u");
    EXPECT_TRUE(terminal.waitUntil([&] { return terminal.screen() == drawerOpen; })) << shown(terminal.screen());
    std::string scrollback = terminal.tmux({"capture-pane", "-p", "-S", "-", "-t", "game"});
    for (const char* once : {"QUORRELL", "Howdie Marshal Bob"}) {
        std::regex text(once);
        EXPECT_EQ(std::distance(std::sregex_iterator(scrollback.begin(), scrollback.end(), text), std::sregex_iterator()), 1)
            << scrollback;
    }
    EXPECT_NE(theSavedGame(state).find("turn 1         \nnnBob\nopen drawer\n"), std::string::npos);
    // Put back, with its command to recall.
    terminal.press("M-r");
    EXPECT_TRUE(terminal.waitUntil([&] { return terminal.screen() == gunTaken; })) << shown(terminal.screen());
    terminal.press("Up");
    ASSERT_TRUE(terminal.waitForText("11|take gun\n"));
    terminal.press("C-u");
    // The surrender's closing screen: the game is over, and says so, until
    // Alt-U takes the surrender back.
    playCommand(terminal, "quit", "Y or N");
    terminal.type("y");
    ASSERT_TRUE(terminal.waitForText("Press escape to exit"));
    EXPECT_NE(theSavedGame(state).find("state ended\nturn 3         \nnnBob\nopen drawer\ntake gun\nquit\ny"),
              std::string::npos);
    // Put with the ended games, for the next start never to meet, until the
    // undo opens it again.
    auto nameEndsInEnded = [&] { return savedGames(state).begin()->first.find("ended/game-") == 0; };
    EXPECT_TRUE(nameEndsInEnded());
    EXPECT_EQ(fs::status(state / "quorrell" / "ended").permissions(), fs::perms::owner_all);
    terminal.press("M-u");
    EXPECT_TRUE(terminal.waitUntil([&] { return terminal.screen() == gunTaken; })) << shown(terminal.screen());
    EXPECT_NE(theSavedGame(state).find("state open \nturn 2         \nnnBob\nopen drawer\ntake gun\n"),
              std::string::npos);
    EXPECT_FALSE(nameEndsInEnded());
    terminal.press("M-r");
    ASSERT_TRUE(terminal.waitForText("Press escape to exit"));
    terminal.press("Escape");
    EXPECT_EQ(terminal.exitStatus(), 0);
    expectTerminalPutBack(terminal, 23);
    EXPECT_NE(theSavedGame(state).find("state ended\nturn 3         \nnnBob\nopen drawer\ntake gun\nquit\ny\x1b"),
              std::string::npos);
    fs::remove_all(state);
}

// Plain text is never drawn again: the game goes on below, saying what the
// step did, with the half-typed line dropped as on a full screen.
TEST_F(RealTerminal, OnADumbTerminalAStepTakenSaysWhatItDidAndTheGameGoesOnBelow)
{
    Terminal terminal("undo-dumb", Terminal::ON_A_DUMB_TERMINAL);
    startInTheOffice(terminal);
    terminal.type("open drawer");
    terminal.press("Enter");
    ASSERT_TRUE(terminal.waitForText("There is a Colt 45 gun in there"));
    terminal.type("loo");
    terminal.press("M-u");
    ASSERT_TRUE(terminal.waitForText("|loo\n24|Undone: open drawer\n"));
    // The next command typed at once, read before the game starts again,
    // is kept for the game that goes on.
    terminal.tmux({"send-keys", "-t", "game", "M-r", "take gun", "Enter"});
    ASSERT_TRUE(terminal.waitForText("|Redone: open drawer\n23|take gun\n24|You now have the Colt 45 gun Marshal Bob"));
    terminal.press("C-d");
    EXPECT_EQ(terminal.exitStatus(), 0);
    EXPECT_NE(terminal.fileInFolder("game.rec").find("\nnnBob\nopen drawer\ntake gun\n"), std::string::npos);
}

// The saves taken away mid-game: the step is taken back all the same, and
// the player is told that the game goes on unsaved.
TEST_F(RealTerminal, AnUndoWhoseRecordHasGoneTakesTheStepBackAndPlaysOnUnsaved)
{
    char scratch[] = "/tmp/quorrell-saves-XXXXXX";
    fs::path state = mkdtemp(scratch);
    Terminal terminal("undo-gone", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
    startInTheOffice(terminal);
    playCommand(terminal, "open drawer", "There is a Colt 45 gun in there");
    fs::remove_all(state / "quorrell");
    terminal.press("M-u");
    ASSERT_TRUE(terminal.waitForText("cannot be opened again. It plays on unsaved.\n"));
    EXPECT_EQ(shown(terminal.screen()).find("You got the drawer open"), std::string::npos) << shown(terminal.screen());
    playCommand(terminal, "open drawer", "There is a Colt 45 gun in there");
    terminal.press("C-d");
    EXPECT_EQ(terminal.exitStatus(), 0);
    EXPECT_FALSE(fs::exists(state / "quorrell"));
    fs::remove_all(state);
}

TEST_F(RealTerminal, AGameKilledRightAfterAnUndoIsPickedUpUndone)
{
    char scratch[] = "/tmp/quorrell-saves-XXXXXX";
    fs::path state = mkdtemp(scratch);
    std::vector<std::string> drawerOpen;
    {
        Terminal terminal("undo-killed", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
        startInTheOffice(terminal);
        drawerOpen = playCommand(terminal, "open drawer", "There is a Colt 45 gun in there");
        playCommand(terminal, "take gun", "You now have the Colt 45 gun Marshal Bob");
        terminal.press("M-u");
        ASSERT_TRUE(terminal.waitUntil([&] { return terminal.screen() == drawerOpen; })) << shown(terminal.screen());
        kill(terminal.gamePid(), SIGKILL);
        EXPECT_EQ(terminal.exitStatus(), 128 + SIGKILL);
    }
    Terminal terminal("undo-picked-up", Terminal::DIRECTLY, COLUMNS, ROWS, {}, state);
    ASSERT_TRUE(terminal.waitForText(", at turn 1. Pick it up?  Y or N\n"));
    terminal.type("y");
    EXPECT_TRUE(terminal.waitUntil([&] { return terminal.screen() == drawerOpen; })) << shown(terminal.screen());
    fs::remove_all(state);
}

// Each way out of the game leaves the terminal as the game found it.
struct WayOut {
    const char* name;
    bool waitingForALine;  // at the first command, else at the first question
    int signalNumber;      // 0: the player types Ctrl-D at the command prompt
    bool stoppedFirst;     // stopped with Ctrl-Z, then signalled with kill %1
};

// The state letter of a process: R, S, T for stopped, Z for dead.
char processState(pid_t process)
{
    std::string stat = fileText(fs::path("/proc") / std::to_string(process) / "stat");
    std::size_t nameEnd = stat.rfind(')');
    return nameEnd == std::string::npos || nameEnd + 2 >= stat.size() ? '?' : stat[nameEnd + 2];
}

void PrintTo(const WayOut& way, std::ostream* out)
{
    *out << way.name;
}

class WaysOut : public RealTerminal, public ::testing::WithParamInterface<WayOut> {
};

TEST_P(WaysOut, PutTheTerminalBackAsItWas)
{
    const WayOut& way = GetParam();
    if (way.stoppedFirst && runProgram({"bash", "-c", "true"}).status != 0)
        GTEST_SKIP() << "bash is not installed";
    Terminal terminal(way.name, way.stoppedFirst ? Terminal::UNDER_JOB_CONTROL : Terminal::DIRECTLY);
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    pid_t game = terminal.gamePid();
    ASSERT_NE(game, 0);
    if (way.waitingForALine) {
        terminal.type("nnBob");
        terminal.press("Enter");
        ASSERT_TRUE(terminal.waitForText("Obvious directions are east or west"));
    }
    EXPECT_NE(terminal.settingsNow(), terminal.settingsBefore()) << "the terminal echoes nothing during the game";
    if (way.signalNumber == 0) {
        terminal.press("C-d");
        ASSERT_TRUE(terminal.waitForScreen(FAREWELL_SCREEN));
        EXPECT_EQ(terminal.exitStatus(), 0);
        expectTerminalPutBack(terminal, 13);
        return;
    }
    if (way.stoppedFirst) {
        // Stopped, the shell has the terminal; bash's kill sends the signal
        // and SIGCONT, and the game puts the terminal back from behind it.
        terminal.press("C-z");
        ASSERT_TRUE(terminal.waitUntil([&] { return processState(game) == 'T'; }));
        terminal.type(std::string("kill -") + (way.signalNumber == SIGHUP ? "HUP" : "TERM") +
                      " %1; while kill -0 %1 2> /dev/null; do sleep 0.05; done;"
                      " stty -g > after; echo 0 > status.tmp; mv status.tmp status");
        terminal.press("Enter");
        EXPECT_EQ(terminal.exitStatus(), 0) << "the game never died:\n" << shown(terminal.screen());
        EXPECT_TRUE(terminal.waitForText(way.signalNumber == SIGHUP ? "Hangup" : "Terminated"));
        EXPECT_EQ(terminal.settingsAfter(), terminal.settingsBefore());
        return;
    }
    kill(game, way.signalNumber);
    EXPECT_EQ(terminal.exitStatus(), 128 + way.signalNumber);
    EXPECT_EQ(terminal.settingsAfter(), terminal.settingsBefore());
    std::string cursor = terminal.cursor();
    EXPECT_EQ(cursor.substr(0, 4), "1 0 ") << "visible, at the start of a line: " << cursor;
}

TEST_F(RealTerminal, AReaderOfTheOutputThatGoesAwayLeavesTheTerminalAsItWas)
{
    // The title reaches the reader, which leaves; the game dies of the
    // broken pipe as it shows a question, in key mode. Answering keeps the
    // questions coming until one finds the reader gone.
    Terminal terminal("pipe", Terminal::INTO_A_PIPE_READ_ONCE);
    ASSERT_TRUE(terminal.waitUntil([&] {
        if (terminal.finished())
            return true;
        terminal.type("n");
        return false;
    }));
    EXPECT_EQ(terminal.exitStatus(), 0) << "the reader's status";
    EXPECT_EQ(terminal.settingsAfter(), terminal.settingsBefore());
}

TEST_F(RealTerminal, AHangupIgnoredByWhoeverStartedTheGameStaysIgnored)
{
    Terminal terminal("nohup", Terminal::WITH_HANGUPS_IGNORED);
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    pid_t game = terminal.gamePid();
    ASSERT_NE(game, 0);
    kill(game, SIGHUP);
    terminal.press("Escape");
    ASSERT_TRUE(terminal.waitForScreen(FAREWELL_SCREEN));
    EXPECT_EQ(terminal.exitStatus(), 0);
}

// A record watched at its own pace, steered by the watcher's keys, which
// the terminal's title answers; Escape stops, and the terminal is as before.
TEST_F(RealTerminal, AWatchedRecordPausesStepsChangesSpeedAndPutsTheTerminalBack)
{
    fs::path record = fs::temp_directory_path() / ("quorrell-watched-" + std::to_string(getpid()) + ".rec");
    std::ofstream(record, std::ios::binary) << "Quorrell record\nformat 2\nseed 7\nstate ended\nturn 4         \n"
                                            << "nnBob\nopen drawer\ntake gun\nlook\nquit\ny\x1b";
    Terminal terminal("watch", Terminal::DIRECTLY, COLUMNS, ROWS, {"--watch", record.string()});
    auto title = [&] { return trimmedRight(terminal.tmux({"display-message", "-p", "-t", "game", "#{pane_title}"})); };
    auto titleBecomes = [&](const std::string& expected) {
        return terminal.waitUntil([&] { return title() == expected; }) ? ::testing::AssertionSuccess()
                                                                       : ::testing::AssertionFailure() << title();
    };
    ASSERT_TRUE(terminal.waitForText("Instructions?  Y or N"));
    EXPECT_TRUE(titleBecomes("Quorrell: watching at 1x"));
    terminal.type(" ");
    ASSERT_TRUE(titleBecomes("Quorrell: paused at 1x"));
    // Each step, paused, goes on to the next prompt and waits there, before
    // the command is typed.
    terminal.type(".");
    ASSERT_TRUE(terminal.waitForText("What is your first name?"));
    terminal.press("Right");
    ASSERT_TRUE(terminal.waitForText("Obvious directions are east or west"));
    EXPECT_EQ(shown(terminal.screen()).find("open drawer"), std::string::npos) << shown(terminal.screen());
    EXPECT_EQ(title(), "Quorrell: paused at 1x");
    terminal.type("+++");
    EXPECT_TRUE(titleBecomes("Quorrell: paused at 8x"));
    terminal.type("+-");
    EXPECT_TRUE(titleBecomes("Quorrell: paused at 4x"));
    terminal.type(" ");
    EXPECT_TRUE(titleBecomes("Quorrell: watching at 4x"));
    ASSERT_TRUE(terminal.waitForText("You got the drawer open"));
    terminal.press("Escape");
    EXPECT_EQ(terminal.exitStatus(), 0);
    EXPECT_EQ(terminal.settingsAfter(), terminal.settingsBefore());
    EXPECT_TRUE(terminal.waitUntil([&] { return title().rfind("Quorrell:", 0) != 0; })) << title();
    fs::remove(record);
}

INSTANTIATE_TEST_SUITE_P(RealTerminal, WaysOut,
                         ::testing::Values(WayOut{"EndOfInputAtTheCommandPrompt", true, 0, false},
                                           WayOut{"SigtermWhileWaitingForAKey", false, SIGTERM, false},
                                           WayOut{"SighupWhileWaitingForAKey", false, SIGHUP, false},
                                           WayOut{"SigtermWhileWaitingForALine", true, SIGTERM, false},
                                           WayOut{"SighupWhileWaitingForALine", true, SIGHUP, false},
                                           WayOut{"SigtermAfterCtrlZ", true, SIGTERM, true},
                                           WayOut{"SighupAfterCtrlZ", true, SIGHUP, true}),
                         [](const ::testing::TestParamInfo<WayOut>& info) { return std::string(info.param.name); });
