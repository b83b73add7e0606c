// How a UTF-8 character is told from its bytes and how many columns it takes
// on a terminal, shared by the line editor and the plain text, so that the
// echo's cursor and the plain text's rows count columns alike everywhere.
#pragma once

#include <cstddef>

// The bytes of the character a lead byte starts, 1 for a byte below 0x80,
// or 0 when it starts none.
int utf8Length(int lead);

// Whether byte may follow lead as its second byte: the range is narrower than
// any continuation after a few leads, with no overlong forms, no surrogates
// and nothing past U+10FFFF.
bool utf8ValidSecond(int lead, int byte);

bool utf8Continuation(int byte);

// The code point of the character at text, whose bytes have been checked as
// UTF-8 (the line editor only ever takes whole characters); length bytes long.
unsigned utf8CodePoint(const char* text, int length);

// 2 for the wide characters of the East Asian scripts and for emoji, 0 for
// the marks and joiners that go on the character before, 1 for the rest.
int characterColumns(unsigned codePoint);
