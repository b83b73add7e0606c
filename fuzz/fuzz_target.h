// What the readers' fuzz targets share: a broken invariant ends the run with
// abort(), which AFL++ counts as a crash and the suite's replay as a
// failure, and an input the reader takes as a file is one in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// In a build that counts the lines run (tools/coverage_exit.cpp): writes
// the counts, which _exit would not.
extern "C" void quorrellWriteCounts() __attribute__((weak));

// Ends the run at once, past the reader's own exit, with what it ran counted.
[[noreturn]] inline void fuzzEnd()
{
    if (quorrellWriteCounts)
        quorrellWriteCounts();
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

// A file in memory, read through its path as any file is.
inline std::string fuzzFileHolding(const std::uint8_t* data, std::size_t size)
{
    int file = memfd_create("fuzz-input", 0);
    fuzzCheck(file != -1, "a file in memory can be made");
    for (std::size_t written = 0; written < size;) {
        ssize_t count = write(file, data + written, size - written);
        fuzzCheck(count > 0, "the file in memory takes the input");
        written += static_cast<std::size_t>(count);
    }
    return "/proc/self/fd/" + std::to_string(file);
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
