// The game reaches the operating system only through its platform layer,
// and the world's state sits below everything that uses it.
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

static const fs::path sourceRoot = fs::path(QUORRELL_SOURCE_DIR) / "src";

// Calls check on every line of every source file under folder, and counts
// the files read.
static int forEachSourceLine(const fs::path& folder,
                             const std::function<void(const fs::path&, int, const std::string&)>& check)
{
    int sourcesRead = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".txt")
            continue;
        std::ifstream file(entry.path());
        std::string line;
        int lineNumber = 0;
        while (std::getline(file, line))
            check(entry.path(), ++lineNumber, line);
        ++sourcesRead;
    }
    return sourcesRead;
}

static bool insidePlatform(const fs::path& path)
{
    const fs::path relative = fs::relative(path, sourceRoot);
    return !relative.empty() && *relative.begin() == "platform";
}

TEST(Architecture, OnlyThePlatformIncludesTerminalSoundOrSystemHeaders)
{
    const std::regex systemHeader(
        R"(#\s*include\s*[<"](termios\.h|unistd\.h|fcntl\.h|windows\.h|conio\.h|mmsystem\.h|signal\.h|csignal|time\.h|ctime|chrono|thread|SDL[^>"]*|sys/[^>"]*|poll\.h|dlfcn\.h|emscripten[^>"]*)[>"])");
    int sourcesRead = forEachSourceLine(sourceRoot, [&](const fs::path& path, int lineNumber, const std::string& line) {
        if (insidePlatform(path))
            return;
        EXPECT_FALSE(std::regex_search(line, systemHeader)) << path << ':' << lineNumber << ": " << line;
    });
    EXPECT_GT(sourcesRead, 40);
}

TEST(Architecture, TheWorldIncludesNothingAboveItAndIncludesAreWrittenFromSrc)
{
    const std::regex upperLayer(R"(#\s*include\s*"(buildings|commands|encounters|turn|endings|console|game|platform)/)");
    const std::regex climbing(R"(#\s*include\s*"\.\./)");
    forEachSourceLine(sourceRoot / "world", [&](const fs::path& path, int lineNumber, const std::string& line) {
        EXPECT_FALSE(std::regex_search(line, upperLayer)) << path << ':' << lineNumber << ": " << line;
    });
    forEachSourceLine(sourceRoot, [&](const fs::path& path, int lineNumber, const std::string& line) {
        EXPECT_FALSE(std::regex_search(line, climbing)) << path << ':' << lineNumber << ": " << line;
    });
}

// The front ends' shared folders stand in layers: each includes only from
// the folders below it, and none from a front end, so a piece taken for a
// new front end never drags another front end along.
TEST(Architecture, TheSharedPlatformFoldersIncludeOnlyTheLayersBelowThem)
{
    const std::vector<std::pair<std::string, std::string>> layers = {
        {"input", "input"},
        {"text", "input|text"},
        {"command_line", "command_line"},
        {"records", "input|command_line|records"},
    };
    const std::regex platformInclude(R"(#\s*include\s*"platform/([a-z_]+)/)");
    for (const auto& [folder, allowed] : layers) {
        const std::regex allowedFolder("^(" + allowed + ")$");
        int sourcesRead = forEachSourceLine(sourceRoot / "platform" / folder,
                                            [&](const fs::path& path, int lineNumber, const std::string& line) {
            std::smatch included;
            if (std::regex_search(line, included, platformInclude)) {
                EXPECT_TRUE(std::regex_match(included[1].str(), allowedFolder)) << path << ':' << lineNumber << ": " << line;
            }
        });
        EXPECT_GT(sourcesRead, 0) << folder;
    }
}
