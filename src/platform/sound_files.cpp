#include "sound_files.h"

#include <climits>
#include <unistd.h>

// Where `cmake --install` puts the data folder, seen from the program's own
// folder; the build passes it in.
#ifndef QUORRELL_DATA_FROM_PROGRAM
#define QUORRELL_DATA_FROM_PROGRAM "../share/quorrell/data"
#endif

static bool readable(const std::string& path)
{
    return access(path.c_str(), R_OK) == 0;
}

static std::string programFolder()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    std::string program(path, static_cast<std::size_t>(length));
    std::size_t slash = program.rfind('/');
    return program.substr(0, slash == 0 ? 1 : slash);
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
        if (readable(candidates[i]))
            return candidates[i];
    }
    return std::string();
}

std::string findSoundFile(const char* stem)
{
    static const std::string folder = programFolder();
    return findSoundFileFrom(stem, folder);
}
