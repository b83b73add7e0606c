// The real sound backend, heard through SDL's disk driver, which writes what
// a sound card would have played to a file, in real time. Each scenario runs
// in its own child process, so audio starts unopened every time.
#include "child_process.h"
#include "platform/platform.h"
#include "platform/sound/sound_files.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// The disk driver writes the format the backend asks for: 16-bit mono.
const int CAPTURE_RATE = 22050;

using Environment = std::vector<std::pair<std::string, std::string>>;

struct Scenario {
    std::string terminal;  // all the child wrote to standard output and error
    std::string report;    // what the child measured
    int status;            // exit status, or 128 + the signal that ended it
};

static std::string contentsOf(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

// Every child here runs in the folder with the environment, and its alarm
// ends it long before any wait the tests look for could pass.
static ChildOptions inFolder(const fs::path& folder, const Environment& environment)
{
    ChildOptions options;
    options.in = STREAM_SHARED;
    options.err = STREAM_TEXT;
    options.folder = folder.string();
    options.environment = environment;
    options.timeoutSeconds = 20;
    return options;
}

static Scenario runScenario(const fs::path& folder, const Environment& environment,
                            const std::function<void(std::string& report)>& body)
{
    std::FILE* report = std::tmpfile();
    ChildOptions options = inFolder(folder, environment);
    options.err = STREAM_WITH_OUTPUT;
    ChildRun run = runChild(
        [&body, report] {
            std::string measured;
            body(measured);
            std::fputs(measured.c_str(), report);
            std::fflush(report);
            // exit, not _exit: the backend closes audio at exit, which ends the capture.
            std::exit(0);
        },
        options);
    return {run.out, contentsOf(report), run.status};
}

// The game played in the folder on the input; the run's err is what it said
// on standard error.
static ChildRun playIn(const fs::path& folder, const Environment& environment, const std::string& program,
                       const std::string& input, ChildStream screen)
{
    ChildOptions options = inFolder(folder, environment);
    options.in = STREAM_TEXT;
    options.input = input;
    options.out = screen;
    return runProgram({program}, options);
}

// A scratch folder with a data folder in it, removed afterwards.
struct Scratch {
    fs::path folder;
    Scratch()
    {
        char name[] = "/tmp/quorrell-sound-XXXXXX";
        folder = mkdtemp(name);
        fs::create_directory(folder / "data");
    }
    ~Scratch() { fs::remove_all(folder); }
    fs::path capture() const { return folder / "capture.raw"; }
    Environment diskDriver() const
    {
        return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", capture().string()}};
    }
};

static void putLittleEndian(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int b = 0; b < bytes; ++b)
        out.put(static_cast<char>(value >> (8 * b) & 0xFF));
}

// A square wave of the given height, which never passes through zero, so
// every sample of it can be told apart from silence in the capture.
static void writeSquareWave(const fs::path& path, double seconds, int height)
{
    std::uint32_t frames = static_cast<std::uint32_t>(seconds * CAPTURE_RATE);
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    putLittleEndian(out, 36 + frames * 2, 4);
    out << "WAVEfmt ";
    for (std::uint32_t field : {16u, 1u | 1u << 16, static_cast<std::uint32_t>(CAPTURE_RATE),
                                static_cast<std::uint32_t>(CAPTURE_RATE * 2), 2u | 16u << 16})
        putLittleEndian(out, field, 4);
    out << "data";
    putLittleEndian(out, frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        putLittleEndian(out, static_cast<std::uint32_t>(i % 50 < 25 ? height : -height) & 0xFFFF, 2);
}

static std::vector<int> capturedSamples(const fs::path& capture)
{
    std::ifstream in(capture, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int> samples;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                    static_cast<unsigned char>(bytes[i + 1]) << 8));
    return samples;
}

static long millisecondsSince(std::chrono::steady_clock::time_point start)
{
    auto elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

static void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Plays a sound in every mode and stops it; reports how long that took, in
// milliseconds.
static std::string playEveryWay(const char* stem)
{
    auto start = std::chrono::steady_clock::now();
    platformPlaySound(stem, SOUND_SYNC);
    platformPlaySound(stem, SOUND_LOOP);
    platformStopSound();
    platformPlaySound(stem, SOUND_SYNC);
    return std::to_string(millisecondsSince(start));
}

TEST(SoundBackend, APlayedSoundReturnsWhenItHasBeenHeardInFull)
{
    Scratch scratch;
    writeSquareWave(scratch.folder / "data/tone.wav", 0.4, 8000);
    Scenario run = runScenario(scratch.folder, scratch.diskDriver(), [](std::string& report) {
        auto start = std::chrono::steady_clock::now();
        platformPlaySound("tone", SOUND_SYNC);
        report = std::to_string(millisecondsSince(start));
    });
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.terminal, "");
    long elapsed = std::stol(run.report);
    EXPECT_GE(elapsed, 380);
    EXPECT_LT(elapsed, 3000);
    int heard = 0;
    for (int sample : capturedSamples(scratch.capture()))
        heard += sample == 8000 || sample == -8000;
    EXPECT_NEAR(heard, 0.4 * CAPTURE_RATE, 0.05 * CAPTURE_RATE);
}

TEST(SoundBackend, ALoopReplacedByAnotherThenStoppedLeavesSilence)
{
    Scratch scratch;
    writeSquareWave(scratch.folder / "data/first.wav", 0.1, 8000);
    writeSquareWave(scratch.folder / "data/second.wav", 0.1, 4000);
    Scenario run = runScenario(scratch.folder, scratch.diskDriver(), [](std::string&) {
        platformPlaySound("first", SOUND_LOOP);
        pause(400);
        platformPlaySound("second", SOUND_LOOP);
        pause(400);
        platformStopSound();
        pause(400);
    });
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.terminal, "");
    std::vector<int> samples = capturedSamples(scratch.capture());
    int first = 0, second = 0;
    std::size_t lastOfFirst = 0, firstOfSecond = samples.size(), lastSound = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] == 8000 || samples[i] == -8000) {
            ++first;
            lastOfFirst = i;
        } else if (samples[i] == 4000 || samples[i] == -4000) {
            ++second;
            firstOfSecond = std::min(firstOfSecond, i);
        }
        if (samples[i] != 0)
            lastSound = i;
    }
    // Each file lasts a tenth of a second, so more than that is a loop.
    EXPECT_GT(first, 0.2 * CAPTURE_RATE);
    EXPECT_GT(second, 0.2 * CAPTURE_RATE);
    EXPECT_LT(lastOfFirst, firstOfSecond);
    EXPECT_LT(lastSound + 0.2 * CAPTURE_RATE, samples.size()) << "still playing after the stop";
}

// A resumed game plays its record in silence; the loop it would be playing
// by the end, and only that one, is heard once the player has the game.
TEST(SoundBackend, TheLoopPlayingWhenTheSoundComesBackIsHeard)
{
    Scratch scratch;
    writeSquareWave(scratch.folder / "data/first.wav", 0.1, 8000);
    writeSquareWave(scratch.folder / "data/second.wav", 0.1, 4000);
    Scenario run = runScenario(scratch.folder, scratch.diskDriver(), [](std::string&) {
        muteSounds(true);
        platformPlaySound("first", SOUND_LOOP);
        platformStopSound();
        platformPlaySound("second", SOUND_LOOP);
        muteSounds(false);
        pause(400);
    });
    ASSERT_EQ(run.status, 0);
    std::vector<int> samples = capturedSamples(scratch.capture());
    EXPECT_EQ(std::count(samples.begin(), samples.end(), 8000), 0);
    EXPECT_GT(std::count(samples.begin(), samples.end(), 4000), 0.1 * CAPTURE_RATE);
}

TEST(SoundBackend, WithoutAudioOrWithoutTheFileEveryCallReturnsAtOnceAndSaysNothing)
{
    Scratch scratch;
    writeSquareWave(scratch.folder / "data/tone.wav", 2.0, 8000);
    struct {
        Environment environment;
        const char* stem;
    } cases[] = {
        {{{"SDL_AUDIODRIVER", "nosuchdriver"}}, "tone"},
        // A machine without a sound card: ALSA fails and complains.
        {{{"SDL_AUDIODRIVER", "alsa"}, {"ALSA_CONFIG_PATH", "/nonexistent"}}, "tone"},
        {scratch.diskDriver(), "missing"},
    };
    for (const auto& scenario : cases) {
        const char* stem = scenario.stem;
        Scenario run = runScenario(scratch.folder, scenario.environment, [stem](std::string& report) {
            report = playEveryWay(stem);
        });
        ASSERT_EQ(run.status, 0) << scenario.environment[0].second;
        EXPECT_EQ(run.terminal, "") << scenario.environment[0].second;
        EXPECT_LT(std::stol(run.report), 1000) << scenario.environment[0].second;
    }
    for (int sample : capturedSamples(scratch.capture()))
        ASSERT_EQ(sample, 0);
}

TEST(SoundBackend, TheGameStillEndsWhenToldToOnceAudioIsOpen)
{
    Scratch scratch;
    writeSquareWave(scratch.folder / "data/tone.wav", 0.05, 8000);
    Scenario run = runScenario(scratch.folder, scratch.diskDriver(), [](std::string& report) {
        platformPlaySound("tone", SOUND_SYNC);
        kill(getpid(), SIGTERM);
        pause(2000);
        report = "still running";
    });
    EXPECT_EQ(run.status, 128 + SIGTERM) << run.report;
}

TEST(SoundFiles, BesideTheProgramComesFirstThenItsShareFolderThenTheWorkingFolder)
{
    Scratch scratch;
    fs::path program = scratch.folder / "bin";
    fs::path installed = program / QUORRELL_DATA_FROM_PROGRAM;
    fs::create_directories(program / "data");
    fs::create_directories(installed);
    for (const char* name : {"beside.wav", "shared.wav", "here.wav"})
        std::ofstream(scratch.folder / "data" / name) << "RIFF";
    for (const char* name : {"beside.wav", "shared.wav"})
        std::ofstream(installed / name) << "RIFF";
    std::ofstream(program / "data/beside.wav") << "RIFF";
    Scenario run = runScenario(scratch.folder, {}, [&program](std::string& report) {
        for (const char* stem : {"beside", "shared", "here", "nowhere"})
            report += findSoundFileFrom(stem, program.string()) + "|";
        // A program that cannot tell its own folder has only the working one.
        for (const char* stem : {"beside", "nowhere"})
            report += findSoundFileFrom(stem, "") + "|";
    });
    EXPECT_EQ(run.report, program.string() + "/data/beside.wav|" + program.string() + "/" +
                              QUORRELL_DATA_FROM_PROGRAM + "/shared.wav|data/here.wav||data/beside.wav||");
}

// Starts the program with sound on in another folder and checks that the
// intro's two files were heard, one after the other. The folder has a data
// folder of its own, whose longer recordings under the same names must not
// be the ones heard.
static void expectTheIntroHeardFromAnotherFolder(const char* program)
{
    Scratch scratch;
    for (const char* stem : {"intr", "clto"})
        writeSquareWave(scratch.folder / "data" / (std::string(stem) + ".wav"), 3.0, 8000);
    ChildRun run = playIn(scratch.folder, scratch.diskDriver(), program, "nyBob\n", STREAM_NOWHERE);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "") << "the game's standard error";
    double intro = 0.0;
    for (const char* stem : {"intr", "clto"})
        intro += (fs::file_size(fs::path(QUORRELL_DATA_DIR) / (std::string(stem) + ".wav")) - 44) / 2.0 / CAPTURE_RATE;
    std::vector<int> samples = capturedSamples(scratch.capture());
    std::size_t firstSound = samples.size(), lastSound = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] != 0) {
            firstSound = std::min(firstSound, i);
            lastSound = i;
        }
    }
    ASSERT_LT(firstSound, lastSound);
    EXPECT_NEAR(static_cast<double>(lastSound - firstSound) / CAPTURE_RATE, intro, 0.15);
}

TEST(SoundBackend, TheGameFindsItsOwnSoundsFromAnyFolder)
{
    expectTheIntroHeardFromAnotherFolder(QUORRELL_PROGRAM);
}

static std::string fileText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// cmake --install into a scratch prefix: the game, its 53 sounds and its
// manual page where a Linux user looks for them, and the installed game,
// far from the build, still hears its sounds.
TEST(Install, TheInstalledGameFindsItsSoundsFromAnyFolder)
{
    Scratch prefix;
    ChildOptions quiet;
    quiet.out = STREAM_NOWHERE;
    ChildRun install =
        runProgram({CMAKE_COMMAND, "--install", QUORRELL_BUILD_DIR, "--prefix", prefix.folder.string()}, quiet);
    ASSERT_EQ(install.status, 0);
    fs::path program = prefix.folder / INSTALLED_PROGRAM;
    ASSERT_TRUE(fs::exists(program));
    int sounds = 0;
    for (const auto& entry : fs::directory_iterator(prefix.folder / INSTALLED_DATA))
        sounds += entry.path().extension() == ".wav";
    EXPECT_EQ(sounds, 53);
    fs::path manual = prefix.folder / INSTALLED_MANUAL;
    EXPECT_EQ(fileText(manual), fileText(fs::path(QUORRELL_BUILD_DIR) / "quorrell.6"));
    expectTheIntroHeardFromAnotherFolder(program.c_str());
}

// The manual page is read through man: groff must take it without a warning.
TEST(Install, TheManualPageFormatsWithoutWarnings)
{
    ChildOptions quiet;
    quiet.out = STREAM_NOWHERE;
    quiet.err = STREAM_NOWHERE;
    if (runProgram({"groff", "--version"}, quiet).status != 0)
        GTEST_SKIP() << "groff is not installed";
    ChildOptions warnings;
    warnings.err = STREAM_WITH_OUTPUT;
    ChildRun format = runProgram({"groff", "-man", "-Tutf8", "-ww", "-z", QUORRELL_BUILD_DIR "/quorrell.6"}, warnings);
    EXPECT_EQ(format.status, 0);
    EXPECT_EQ(format.out, "");
}

// A tracker module that plays a loud note for seconds: if the mixer's music
// decoders ever see it, it is heard, and waited for.
static std::string trackerModule()
{
    std::string module(1084, '\0');
    module.replace(0, 8, "gunsmoke");
    module[20 + 22] = 0x10;  // the first instrument: 0x1000 words, a second or so of sound
    module[20 + 25] = 64;    // at full volume,
    module[20 + 29] = 1;     // played once
    module[950] = 1;         // one pattern in the song
    module.replace(1080, 4, "M.K.");
    std::string pattern(1024, '\0');
    for (int row = 0; row < 64; row += 16) {
        // Middle C on the first instrument, four times over.
        pattern[row * 16 + 0] = 0x01;
        pattern[row * 16 + 1] = static_cast<char>(0xAC);
        pattern[row * 16 + 2] = 0x10;
    }
    std::string samples(0x2000, '\0');
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<char>(i % 32 < 16 ? 100 : -100);
    return module + pattern + samples;
}

// A MIDI song that holds one note for four seconds.
static std::string midiSong()
{
    std::string header("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    std::string events("\0\x90\x3C\x7F\x86\x00\x80\x3C\x40\0\xFF\x2F\0", 13);
    return header + "MTrk" + std::string("\0\0\0", 3) + static_cast<char>(events.size()) + events;
}

// A file of the right name that is no sound for the game: empty, cut inside
// its header, text, a header claiming a minute of sound over a few bytes, a
// header with no sample rate, a recording cut off halfway through, one in
// floating point, one longer than any sound of the game, a tracker module
// and a MIDI song.
static void writeDamagedFiles(const fs::path& data)
{
    std::ofstream(data / "empty.wav");
    std::ofstream(data / "text.wav") << "This is not a sound, Marshal\n";
    writeSquareWave(data / "whole.wav", 0.1, 8000);
    std::ifstream whole(data / "whole.wav", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    std::ofstream(data / "cut.wav", std::ios::binary) << bytes.substr(0, 20);
    std::string minute = bytes.substr(0, 44);
    std::uint32_t claimed = 60 * CAPTURE_RATE * 2;
    for (int b = 0; b < 4; ++b)
        minute[40 + b] = static_cast<char>(claimed >> (8 * b) & 0xFF);
    std::ofstream(data / "minute.wav", std::ios::binary) << minute << std::string(64, '\0');
    std::string noRate = bytes;
    for (int b = 24; b < 32; ++b)
        noRate[b] = '\0';
    std::ofstream(data / "norate.wav", std::ios::binary) << noRate;
    std::ofstream(data / "halfway.wav", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    // Two 16-bit samples read as one 32-bit float, which the mixer would play.
    std::string floating = bytes;
    floating[20] = 3;
    floating[32] = 4;
    floating[34] = 32;
    floating[28] = static_cast<char>(CAPTURE_RATE * 4 & 0xFF);
    floating[29] = static_cast<char>(CAPTURE_RATE * 4 >> 8 & 0xFF);
    floating[30] = static_cast<char>(CAPTURE_RATE * 4 >> 16 & 0xFF);
    std::ofstream(data / "float.wav", std::ios::binary) << floating;
    writeSquareWave(data / "long.wav", 12.0, 8000);
    std::ofstream(data / "tracker.wav", std::ios::binary) << trackerModule();
    std::ofstream(data / "midi.wav", std::ios::binary) << midiSong();
    fs::remove(data / "whole.wav");
}

TEST(SoundBackend, ADamagedFileIsSkippedSilentlyAndNeverWaitedFor)
{
    Scratch scratch;
    writeDamagedFiles(scratch.folder / "data");
    for (const char* stem : {"empty", "text", "cut", "minute", "norate", "halfway", "float", "long", "tracker", "midi"}) {
        Scenario run = runScenario(scratch.folder, scratch.diskDriver(), [stem](std::string& report) {
            report = playEveryWay(stem);
        });
        // The child's alarm ends it long before a minute of waiting.
        EXPECT_EQ(run.status, 0) << stem;
        EXPECT_EQ(run.terminal, "") << stem;
        EXPECT_LT(std::atol(run.report.c_str()), 1000) << stem;
        std::vector<int> samples = capturedSamples(scratch.capture());
        EXPECT_EQ(std::count(samples.begin(), samples.end(), 0), static_cast<long>(samples.size())) << stem;
    }
}

// The screen the harness shows for the same game, without its pauses and
// sounds, with the real terminal's sequences for its screen markers.
static std::string scriptedScreen(const std::string& input)
{
    ChildOptions options;
    options.input = input;
    std::string text = runProgram({QUORRELL_SCRIPT_PROGRAM}, options).out;
    text = std::regex_replace(text, std::regex(R"(\{(delay [0-9]+|play [a-z]+|loop [a-z]+|stop)\})"), "");
    text = std::regex_replace(text, std::regex(R"(\{cls\})"), "\x1b[H\x1b[2J");
    return std::regex_replace(text, std::regex(R"(\{goto ([0-9]+),([0-9]+)\})"), "\x1b[$2;$1H");
}

TEST(SoundBackend, WithDamagedFilesOrNoAudioAWholeGamePlaysOnInSilence)
{
    Scratch scratch;
    // A copy of the game and its audio module whose own data folder has every
    // sound it plays here damaged.
    fs::path program = scratch.folder / "quorrell";
    fs::copy_file(QUORRELL_PROGRAM, program);
    fs::copy_file(QUORRELL_SOUND_MODULE_FILE, scratch.folder / fs::path(QUORRELL_SOUND_MODULE_FILE).filename());
    writeDamagedFiles(scratch.folder / "data");
    for (const char* stem : {"intr", "clto", "opdr", "take", "thit"})
        fs::copy_file(scratch.folder / "data" / "minute.wav", scratch.folder / "data" / (std::string(stem) + ".wav"));
    const std::string input = "nyBob\nopen drawer\ntake gun\nsound\nsound\nquit\nn\ni\n";
    struct {
        const char* name;
        Environment environment;
    } cases[] = {
        {"damaged files", scratch.diskDriver()},
        {"no audio device", {{"SDL_AUDIODRIVER", "alsa"}, {"ALSA_CONFIG_PATH", "/nonexistent"}}},
    };
    std::string expected = scriptedScreen(input);
    for (const auto& scenario : cases) {
        ChildRun run = playIn(scratch.folder, scenario.environment, program.string(), input, STREAM_TEXT);
        EXPECT_EQ(run.status, 0) << scenario.name;
        EXPECT_EQ(run.err, "") << scenario.name << ": nothing on standard error";
        EXPECT_EQ(run.out, expected) << scenario.name;
    }
    for (int sample : capturedSamples(scratch.capture()))
        ASSERT_EQ(sample, 0);
}

static std::string neededLibraries(const char* program)
{
    std::string text = runProgram({"readelf", "-d", program}).out;
    std::string needed;
    std::regex library(R"(\(NEEDED\)[^\[]*\[([^\]]+)\])");
    for (std::sregex_iterator it(text.begin(), text.end(), library), end; it != end; ++it)
        needed += (*it)[1].str() + " ";
    return needed;
}

// The audio libraries come with the module, on the first sound: the program
// needs only the C and C++ runtimes (and the sanitizers' when built with
// them) and zlib, which packs a shared link, and a copy of it without its
// module plays on in silence.
TEST(SoundModule, TheGameLinksNoAudioLibraryAndPlaysOnWithoutItsModule)
{
    std::string needed = neededLibraries(QUORRELL_PROGRAM);
    EXPECT_NE(needed.find("libc.so"), std::string::npos) << needed;
    EXPECT_TRUE(std::regex_match(needed, std::regex(R"(((libc|libm|libdl|libstdc\+\+|libgcc_s|libasan|libubsan|libz|)"
                                                    R"(ld-linux[-a-z0-9_]*)\.so[.0-9]* )*)")))
        << needed;

    Scratch scratch;
    fs::path program = scratch.folder / "quorrell";
    fs::copy_file(QUORRELL_PROGRAM, program);
    fs::copy(QUORRELL_DATA_DIR, scratch.folder / "data");
    ChildRun run = playIn(scratch.folder, scratch.diskDriver(), program.string(), "nyBob\nopen drawer\n",
                          STREAM_NOWHERE);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "") << "the game's standard error";
    EXPECT_FALSE(fs::exists(scratch.capture())) << "audio was opened";
}
