// The game reaches the operating system only through its platform layer.
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(Architecture, OnlyThePlatformIncludesTerminalSoundOrSystemHeaders)
{
    const std::regex systemHeader(
        R"(#\s*include\s*[<"](termios\.h|unistd\.h|fcntl\.h|windows\.h|conio\.h|mmsystem\.h|signal\.h|csignal|time\.h|ctime|chrono|thread|SDL[^>"]*|sys/[^>"]*|poll\.h|dlfcn\.h)[>"])");
    int sourcesRead = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(QUORRELL_SOURCE_DIR) / "src")) {
        if (!entry.is_regular_file() || entry.path().parent_path().filename() == "platform")
            continue;
        std::ifstream file(entry.path());
        std::string line;
        int lineNumber = 0;
        while (std::getline(file, line)) {
            ++lineNumber;
            EXPECT_FALSE(std::regex_search(line, systemHeader)) << entry.path() << ':' << lineNumber << ": " << line;
        }
        ++sourcesRead;
    }
    EXPECT_GT(sourcesRead, 20);
}
