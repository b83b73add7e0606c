// The WAV check that stands between any file under a sound's name and the
// audio library. What it takes must be plain PCM, within the limits, with
// its data whole: the same file cut anywhere inside its data is refused.
#include "fuzz_target.h"

#include "platform/sound/sound_files.h"

#include <cstring>

static std::uint32_t little(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int b = size - 1; b >= 0; --b)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(b)]);
    return value;
}

// The end of the first data chunk, which the check found whole, after a
// format chunk it found plain.
static std::size_t dataEnd(const std::string& wav)
{
    std::uint32_t bytesPerSecond = 0;
    for (std::size_t chunk = 12; chunk + 8 <= wav.size();) {
        std::uint32_t length = little(wav, chunk + 4, 4);
        fuzzCheck(length <= wav.size() - chunk - 8, "every chunk up to the data lies within the file");
        if (wav.compare(chunk, 4, "fmt ") == 0) {
            std::size_t format = chunk + 8;
            unsigned channels = little(wav, format + 2, 2);
            unsigned bits = little(wav, format + 14, 2);
            fuzzCheck(little(wav, format, 2) == 1, "the format is plain PCM");
            fuzzCheck((channels == 1 || channels == 2) && (bits == 8 || bits == 16), "one or two channels of 8 or 16 bits");
            bytesPerSecond = little(wav, format + 8, 4);
        } else if (wav.compare(chunk, 4, "data") == 0) {
            fuzzCheck(bytesPerSecond > 0, "the format comes before the data");
            fuzzCheck(length > 0 && length <= static_cast<std::uint64_t>(MAX_SOUND_SECONDS) * bytesPerSecond,
                      "the data lasts no longer than a sound may");
            return chunk + 8 + length;
        }
        chunk += 8 + length + (length & 1);
    }
    fuzzCheck(false, "a file taken has its data");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string given(reinterpret_cast<const char*>(data), size);
    std::string taken = checkedWavBytes(fuzzFileHolding(data, size));
    if (taken.empty())
        return 0;
    fuzzCheck(taken == given, "a file taken is taken whole");
    fuzzCheck(size <= MAX_SOUND_BYTES, "a file taken is no bigger than a sound may be");
    fuzzCheck(given.compare(0, 4, "RIFF") == 0 && given.compare(8, 4, "WAVE") == 0, "a file taken is RIFF WAVE");
    std::size_t end = dataEnd(given);
    fuzzCheck(checkedWavBytes(fuzzFileHolding(data, end - 1)).empty(), "a file cut short inside its data is refused");
    return 0;
}
