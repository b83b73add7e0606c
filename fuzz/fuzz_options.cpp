// The command line of both programs. The first byte picks the program (odd:
// quorrell, even: quorrell-script); the rest are its arguments, split at
// each zero byte. The reader ends the program itself on --help, --version
// and every refusal, so what it wrote is checked as the program exits.
#include "fuzz_target.h"

#include "platform/command_line/options.h"

#include <algorithm>
#include <cstring>
#include <vector>

static bool terminalGame;
static std::vector<std::string> arguments;
static int standardOutput = -1;
static int standardError = -1;

static bool asked(const char* shortName, const char* longName)
{
    for (std::size_t place = 1; place < arguments.size() && arguments[place] != "--"; ++place)
        if (arguments[place] == shortName || arguments[place] == longName)
            return true;
    return false;
}

static bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Exit 0 answers --help or --version on standard output; exit 2 is one line
// on standard error naming the program and its --help. Nothing else.
static void checkTheExit(int status, void*)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::string out = fuzzFileContents(standardOutput);
    std::string err = fuzzFileContents(standardError);
    std::string program = terminalGame ? "quorrell" : "quorrell-script";
    if (status == 0) {
        fuzzCheck(asked("-h", "--help") || asked("-V", "--version"), "only --help and --version end the program well");
        fuzzCheck(err.empty(), "an answer says nothing on standard error");
        fuzzCheck(out.compare(0, 7, "usage: ") == 0 || out.compare(0, program.size() + 1, program + " ") == 0,
                  "the answer is the help or the version");
    } else {
        fuzzCheck(status == 2, "a refusal exits with status 2");
        fuzzCheck(!asked("-h", "--help") && !asked("-V", "--version"), "--help and --version win over any refusal");
        fuzzCheck(out.empty(), "a refusal writes nothing on standard output");
        // One line, but for the line ends of an argument it quotes.
        std::size_t lineEnds = 1;
        for (const std::string& argument : arguments)
            lineEnds += static_cast<std::size_t>(std::count(argument.begin(), argument.end(), '\n'));
        fuzzCheck(err.compare(0, program.size() + 2, program + ": ") == 0 &&
                      endsWith(err, "(see " + program + " --help)\n") &&
                      static_cast<std::size_t>(std::count(err.begin(), err.end(), '\n')) <= lineEnds,
                  "a refusal is one line, naming the program and its help");
    }
    // An exit that holds to all this is a run that went well.
    fuzzEnd();
}

static bool isArgument(const char* path)
{
    for (const std::string& argument : arguments) {
        std::size_t equals = argument.find('=');
        if (argument.c_str() == path || (equals != std::string::npos && argument.c_str() + equals + 1 == path))
            return true;
    }
    return false;
}

// A seed is decimal digits, 0 to 4294967295, and nothing else.
static void checkParseSeed(const std::string& text)
{
    unsigned seed = 0;
    bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    std::string significant = digits ? text.substr(std::min(text.find_first_not_of('0'), text.size() - 1)) : "";
    bool inRange = significant.size() < 10 || (significant.size() == 10 && significant <= "4294967295");
    bool parsed = parseSeed(text.c_str(), &seed);
    fuzzCheck(parsed == (digits && inRange), "a seed is taken exactly when it is digits within range");
    fuzzCheck(!parsed || std::to_string(seed) == significant, "the seed taken is the number written");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    terminalGame = data[0] & 1;
    arguments = {terminalGame ? "quorrell" : "quorrell-script"};
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t zero = std::min(rest.find('\0', start), rest.size());
        arguments.push_back(rest.substr(start, zero - start));
        start = zero + 1;
    }
    if (arguments.size() == 2 && !arguments[1].empty())
        checkParseSeed(arguments[1]);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    standardOutput = memfd_create("fuzz-stdout", 0);
    standardError = memfd_create("fuzz-stderr", 0);
    std::fflush(nullptr);
    fuzzReport = dup(STDERR_FILENO);
    dup2(standardOutput, STDOUT_FILENO);
    dup2(standardError, STDERR_FILENO);
    on_exit(checkTheExit, nullptr);
    CommandLine options = readProgramOptions(static_cast<int>(arguments.size()), argv.data(), terminalGame);

    // Taken: no answer was asked for, and what was read hangs together.
    fuzzCheck(!asked("-h", "--help") && !asked("-V", "--version"), "--help and --version are never passed over");
    const char* paths[] = {options.recordPath, options.replayPath, options.resumePath, options.transcriptPath};
    int records = 0;
    for (const char* path : paths) {
        if (!path)
            continue;
        ++records;
        fuzzCheck(*path != '\0' && isArgument(path), "a file is a whole argument, or what follows its option's =");
    }
    fuzzCheck(records <= 1, "one record at a time");
    fuzzCheck(!(options.noSave && (options.recordPath || options.resumePath)), "--no-save with no file that saves");
    fuzzCheck(!(options.seedGiven && records > 0 && !options.recordPath), "a record read brings its own seed");
    fuzzCheck(terminalGame || !(options.recordPath || options.resumePath || options.transcriptPath || options.plain ||
                                options.noSave),
              "the harness takes only --seed and --replay");
    fuzzCheck(options.seedGiven || options.seed == 1, "the seed is 1 unless one is given");
    fuzzEnd();
}
