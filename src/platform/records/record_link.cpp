#include "platform/records/record_link.h"

#include "platform/command_line/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <zlib.h>

// The page's address, set when the build is configured; empty when it was
// not.
#ifndef QUORRELL_SITE_ADDRESS
#define QUORRELL_SITE_ADDRESS ""
#endif

// Deflated as the browser's CompressionStream("deflate-raw") deflates: the
// default level, a window of 32 KiB and no zlib header or checksum.
static std::string deflated(const std::string& bytes)
{
    z_stream stream = {};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::string();
    std::string packed(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    stream.avail_out = static_cast<uInt>(packed.size());
    int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? packed : std::string();
}

static std::string base64url(const std::string& bytes)
{
    static const char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string text;
    unsigned long bits = 0;
    int bitCount = 0;
    for (unsigned char byte : bytes) {
        bits = (bits << 8) | byte;
        bitCount += 8;
        while (bitCount >= 6) {
            bitCount -= 6;
            text += DIGITS[(bits >> bitCount) & 63];
        }
    }
    if (bitCount > 0)
        text += DIGITS[(bits << (6 - bitCount)) & 63];
    return text;
}

std::string recordLinkFragment(const std::string& record)
{
    return "#r=" + base64url(deflated(record));
}

void recordPrintShareLink(const std::string& record, const char* path)
{
    std::string link = QUORRELL_SITE_ADDRESS + recordLinkFragment(record);
    if (link.size() > MAX_LINK_BYTES)
        refuseCommandLine(("the game in '" + std::string(path) + "' makes a link of " + std::to_string(link.size()) +
                           " bytes, more than the 2 MB a browser takes")
                              .c_str());
    std::printf("%s\n", link.c_str());
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "quorrell: cannot write the link: %s\n", std::strerror(errno));
        std::exit(1);
    }
    if (std::strlen(QUORRELL_SITE_ADDRESS) == 0)
        std::fprintf(stderr, "This build knows no address for the page (QUORRELL_SITE_ADDRESS): "
                             "put the line above right after the address of a page that plays Quorrell.\n");
    std::exit(0);
}
