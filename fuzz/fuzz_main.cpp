// The one entry of every reader's fuzz target: the input is the file named
// on the command line, else standard input, given once to
// LLVMFuzzerTestOneInput. AFL++ starts a fresh process for each input, so
// the readers' own state (the editor's history and end of input, an exit
// that ends the program) never carries from one input to the next.
#include "fuzz_target.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::FILE* input = argc > 1 ? std::fopen(argv[1], "rb") : stdin;
    if (!input) {
        std::perror(argv[1]);
        return 2;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, input)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + count);
    // Never a null pointer, even for an empty input.
    bytes.reserve(1);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    fuzzEnd();
}
