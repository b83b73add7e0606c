// What the readers' fuzz targets share: a broken invariant ends the run with
// abort(), which AFL++ counts as a crash and the suite's replay as a
// failure, and an input the reader takes as a file is one in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

// In a build that counts the lines run (tools/coverage_exit.cpp): writes
// the counts, which _exit would not.
extern "C" void quorrellWriteCounts() __attribute__((weak));

// The files an input was put in for a reader that takes a path.
inline std::vector<std::string> fuzzFilesMade;

// Ends the run at once, past the reader's own exit, with what it ran counted
// and no file of its input left behind.
[[noreturn]] inline void fuzzEnd()
{
    if (quorrellWriteCounts)
        quorrellWriteCounts();
    for (const std::string& made : fuzzFilesMade)
        unlink(made.c_str());
    _exit(0);
}

// Where a broken invariant is told: standard error, unless a target has
// taken that for the reader it checks.
inline int fuzzReport = STDERR_FILENO;

inline void fuzzCheck(bool holds, const char* invariant)
{
    if (holds)
        return;
    dprintf(fuzzReport, "fuzz: broken: %s\n", invariant);
    std::abort();
}

// A file holding the input, read through its path as any file is: a plain
// file in memory where the machine keeps one (/dev/shm), since the readers
// open no symbolic link, and /proc/self/fd/ holds nothing else.
inline std::string fuzzFileHolding(const std::uint8_t* data, std::size_t size)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string path = std::string(folder) + "/quorrell-fuzz-" + std::to_string(getpid()) + "-" +
                       std::to_string(fuzzFilesMade.size());
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    fuzzCheck(file != -1, "a file for the input can be made");
    fuzzFilesMade.push_back(path);
    for (std::size_t written = 0; written < size;) {
        ssize_t count = write(file, data + written, size - written);
        fuzzCheck(count > 0, "the file takes the input");
        written += static_cast<std::size_t>(count);
    }
    close(file);
    return path;
}

// What a file descriptor's file in memory holds.
inline std::string fuzzFileContents(int file)
{
    std::string bytes;
    char buffer[4096];
    ssize_t count;
    for (off_t at = 0; (count = pread(file, buffer, sizeof buffer, at)) > 0; at += count)
        bytes.append(buffer, static_cast<std::size_t>(count));
    return bytes;
}
