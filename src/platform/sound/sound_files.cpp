#include "platform/sound/sound_files.h"

#include "platform/platform.h"

#include <cstdint>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

// Where `cmake --install` puts the data folder, seen from the program's own
// folder; the build passes it in.
#ifndef QUORRELL_DATA_FROM_PROGRAM
#define QUORRELL_DATA_FROM_PROGRAM "../share/quorrell/data"
#endif
// And the folder of the audio module.
#ifndef QUORRELL_MODULE_FROM_PROGRAM
#define QUORRELL_MODULE_FROM_PROGRAM "../lib/quorrell"
#endif

static bool readable(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

#ifdef _WIN32

static const char* const SEPARATORS = "\\/";

static std::string programPath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A full buffer means the path was cut short, and a cut path leads nowhere.
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(path, length);
}

// Windows takes either slash; the sounds are still named the way the game
// has always named them, "data\gush.wav".
static std::string nativePath(std::string path)
{
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

#else

static const char* const SEPARATORS = "/";

static std::string programPath()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    return std::string(path, static_cast<std::size_t>(length));
}

static std::string nativePath(std::string path)
{
    return path;
}

#endif

static std::string programFolder()
{
    std::string program = programPath();
    std::size_t separator = program.find_last_of(SEPARATORS);
    if (separator == std::string::npos)
        return std::string();
    // A program in "/" keeps its folder's name; one in "C:\" becomes "C:",
    // which the paths below join with a separator of their own.
    return program.substr(0, separator == 0 ? 1 : separator);
}

std::string findSoundFileFrom(const char* stem, const std::string& programFolder)
{
    // The game's own recordings come first, wherever it was started from: a
    // folder named "data" where the player happens to stand must not change
    // what a gunshot sounds like. The working directory comes last, for a
    // program copied away from its data folder or one that cannot find its
    // own folder; it can only fill in a sound the game lacks.
    std::string name = std::string(stem) + ".wav";
    std::string candidates[] = {
        programFolder + "/data/" + name,
        programFolder + "/" QUORRELL_DATA_FROM_PROGRAM "/" + name,
        "data/" + name,
    };
    // Without a program folder only the working directory is searched.
    int first = programFolder.empty() ? 2 : 0;
    for (int i = first; i < 3; ++i) {
        std::string path = nativePath(candidates[i]);
        if (readable(path))
            return path;
    }
    return std::string();
}

std::string findSoundFile(const char* stem)
{
    static const std::string folder = programFolder();
    return findSoundFileFrom(stem, folder);
}

std::string findSoundModuleFrom(const char* fileName, const std::string& programFolder)
{
    if (programFolder.empty())
        return std::string();
    std::string candidates[] = {
        programFolder + "/" + fileName,
        programFolder + "/" QUORRELL_MODULE_FROM_PROGRAM "/" + fileName,
    };
    for (const std::string& path : candidates) {
        if (readable(path))
            return path;
    }
    return std::string();
}

std::string findSoundModule(const char* fileName)
{
    return findSoundModuleFrom(fileName, programFolder());
}

static std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int b = size - 1; b >= 0; --b)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(b)]);
    return value;
}

static bool plainPcm(const std::string& bytes, std::size_t format, std::uint32_t length)
{
    if (length < 16)
        return false;
    std::uint32_t encoding = littleEndian(bytes, format, 2);
    std::uint32_t channels = littleEndian(bytes, format + 2, 2);
    std::uint32_t rate = littleEndian(bytes, format + 4, 4);
    std::uint32_t bytesPerSecond = littleEndian(bytes, format + 8, 4);
    std::uint32_t frameBytes = littleEndian(bytes, format + 12, 2);
    std::uint32_t bits = littleEndian(bytes, format + 14, 2);
    return encoding == 1 && (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= 4000 &&
           rate <= 192000 && frameBytes == channels * bits / 8 && bytesPerSecond == rate * frameBytes;
}

// Everything the audio library is shown has passed through here first: it
// would hand a file it does not take for WAV to its music decoders, and the
// last folder searched is the player's working directory, where any file
// may sit under a sound's name.
static bool playableWav(const std::string& bytes)
{
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return false;
    std::uint32_t bytesPerSecond = 0;
    std::size_t chunk = 12;
    while (chunk + 8 <= bytes.size()) {
        std::uint32_t length = littleEndian(bytes, chunk + 4, 4);
        std::size_t body = chunk + 8;
        if (length > bytes.size() - body)
            return false;
        if (bytes.compare(chunk, 4, "fmt ") == 0) {
            if (!plainPcm(bytes, body, length))
                return false;
            bytesPerSecond = littleEndian(bytes, body + 8, 4);
        } else if (bytes.compare(chunk, 4, "data") == 0) {
            return bytesPerSecond > 0 && length > 0 &&
                   length <= static_cast<std::uint64_t>(MAX_SOUND_SECONDS) * bytesPerSecond;
        }
        chunk = body + length + (length & 1);
    }
    return false;
}

std::string checkedWavBytes(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::string();
    std::string bytes;
    char buffer[65536];
    std::size_t count;
    while (bytes.size() <= MAX_SOUND_BYTES && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    if (bytes.size() > MAX_SOUND_BYTES || !playableWav(bytes))
        return std::string();
    return bytes;
}

static bool muted = false;
// The loop a resumed game would be playing by now, had it not been muted:
// the player hears it once the game is his again. On the one channel, any
// sound after a loop cuts it off.
static std::string loopWhileMuted;

bool skippedWhileMuted(const char* stem, int mode)
{
    if (muted)
        loopWhileMuted = mode == SOUND_LOOP ? stem : "";
    return muted;
}

void forgetLoopWhileMuted()
{
    loopWhileMuted.clear();
}

void muteSounds(bool mute)
{
    muted = mute;
    if (!muted && !loopWhileMuted.empty()) {
        std::string stem = loopWhileMuted;
        loopWhileMuted.clear();
        platformPlaySound(stem.c_str(), SOUND_LOOP);
    }
}
