// A record carried in a link: the page's address, "#r=", then the record's
// bytes deflated (raw deflate, zlib's default level) in base64url without
// padding. The page makes the very same link of the same record and reads
// it back when the link is opened; what follows '#' never leaves the
// browser, so the game goes to no server.
#pragma once

#include <cstddef>
#include <string>

// The longest link the page takes (and the longest a browser keeps).
const std::size_t MAX_LINK_BYTES = 2u * 1024u * 1024u;

// "#r=" and the packed record.
std::string recordLinkFragment(const std::string& record);

// --share: the link to standard output, with the page's address when the
// build was given one, then the end of the program; path names the record
// in the messages.
[[noreturn]] void recordPrintShareLink(const std::string& record, const char* path);
