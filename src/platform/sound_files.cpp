#include "sound_files.h"

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
    std::string name = std::string(stem) + ".wav";
    std::string candidates[] = {
        "data/" + name,
        programFolder + "/data/" + name,
        programFolder + "/" QUORRELL_DATA_FROM_PROGRAM "/" + name,
    };
    // Without a program folder only the working directory is searched.
    int searched = programFolder.empty() ? 1 : 3;
    for (int i = 0; i < searched; ++i) {
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
