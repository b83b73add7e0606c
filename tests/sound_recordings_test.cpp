// The recordings the build makes: every file the game names is there, is a
// WAV file any player can read, and is short, since the game waits for it.
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

struct Recording {
    int frequency = 0;
    int channels = 0;
    int bits = 0;
    int format = 0;
    std::size_t frames = 0;
    int peak = 0;
};

static std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int b = size - 1; b >= 0; --b)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(b)]);
    return value;
}

// Reads a RIFF WAVE file chunk by chunk; false when it is not one.
static bool readWav(const std::string& path, Recording& recording)
{
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0 ||
        littleEndian(bytes, 4, 4) != bytes.size() - 8)
        return false;
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::string id = bytes.substr(at, 4);
        std::size_t size = littleEndian(bytes, at + 4, 4);
        std::size_t body = at + 8;
        if (body + size > bytes.size())
            return false;
        if (id == "fmt " && size >= 16) {
            recording.format = static_cast<int>(littleEndian(bytes, body, 2));
            recording.channels = static_cast<int>(littleEndian(bytes, body + 2, 2));
            recording.frequency = static_cast<int>(littleEndian(bytes, body + 4, 4));
            recording.bits = static_cast<int>(littleEndian(bytes, body + 14, 2));
            haveFormat = littleEndian(bytes, body + 12, 2) == static_cast<std::uint32_t>(recording.channels * 2) &&
                         littleEndian(bytes, body + 8, 4) ==
                             static_cast<std::uint32_t>(recording.frequency * recording.channels * 2);
        } else if (id == "data" && haveFormat) {
            recording.frames = size / 2;
            for (std::size_t i = 0; i + 1 < size; i += 2) {
                auto sample = static_cast<std::int16_t>(littleEndian(bytes, body + i, 2));
                recording.peak = std::max(recording.peak, std::abs(static_cast<int>(sample)));
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

// Every stem the game plays, with the longest it may last in seconds. Most
// sounds stop the game while they play, so most stay under a second; the
// endings and the intro may take longer, the three room loops longer still.
static const std::map<std::string, double> LONGEST = {
    {"intr", 1.2}, {"clto", 1.2}, {"take", 1.0}, {"thit", 1.0}, {"drop", 1.0}, {"opdo", 1.0},
    {"cldo", 1.0}, {"swis", 1.0}, {"grun", 1.0}, {"crsl", 1.0}, {"rico", 1.0}, {"plug", 1.0},
    {"bubo", 1.5}, {"snak", 1.0}, {"gush", 1.0}, {"faro", 1.0}, {"fafl", 1.0}, {"scli", 1.0},
    {"tolo", 1.5}, {"puli", 1.0}, {"shsh", 1.0}, {"dewo", 1.0}, {"shat", 1.0}, {"clic", 1.0},
    {"chop", 0.5}, {"stai", 1.0}, {"quit", 1.5}, {"loen", 2.0}, {"wien", 2.0}, {"trma", 2.0},
    {"rope", 1.0}, {"snki", 1.0}, {"exit", 1.0}, {"eat", 1.0},  {"drin", 1.0}, {"opdr", 1.0},
    {"opca", 1.0}, {"stsc", 1.0}, {"stfa", 1.5}, {"qusa", 1.2}, {"blva", 1.0}, {"radi", 1.0},
    {"rabi", 1.0}, {"gus2", 1.0}, {"rat", 1.0},  {"dela", 1.0}, {"guco", 1.0}, {"hopa", 1.0},
    {"sado", 1.0}, {"mado", 1.0}, {"samu", 4.0}, {"teof", 4.0}, {"kiso", 4.0},
};

TEST(Recordings, TheDataFolderHoldsEveryFileTheGameNamesAndNoOther)
{
    ASSERT_EQ(LONGEST.size(), 53u);
    std::set<std::string> found;
    DIR* folder = opendir(QUORRELL_DATA_DIR);
    ASSERT_NE(folder, nullptr) << QUORRELL_DATA_DIR;
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            found.insert(name);
    }
    closedir(folder);
    std::set<std::string> expected;
    for (const auto& stem : LONGEST)
        expected.insert(stem.first + ".wav");
    EXPECT_EQ(found, expected);
}

TEST(Recordings, EachIsAnAudibleSixteenBitMonoWavWithinItsLength)
{
    for (const auto& stem : LONGEST) {
        Recording recording;
        ASSERT_TRUE(readWav(std::string(QUORRELL_DATA_DIR) + "/" + stem.first + ".wav", recording)) << stem.first;
        EXPECT_EQ(recording.format, 1) << stem.first;  // PCM
        EXPECT_EQ(recording.channels, 1) << stem.first;
        EXPECT_EQ(recording.bits, 16) << stem.first;
        ASSERT_GT(recording.frequency, 0) << stem.first;
        double seconds = static_cast<double>(recording.frames) / recording.frequency;
        EXPECT_GT(seconds, 0.02) << stem.first;
        EXPECT_LE(seconds, stem.second) << stem.first;
        EXPECT_GT(recording.peak, 8000) << stem.first;
        EXPECT_LT(recording.peak, 32767) << stem.first << " is clipped";
    }
}
