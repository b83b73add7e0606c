// The widths are a table of our own rather than the C library's wcwidth:
// wcwidth answers only under a UTF-8 locale, and the game keeps the "C"
// locale so that nothing it formats can change; the page's library and
// Windows have their own tables or none; and a transcript must come out the
// same wherever it is made. The table holds the wide and fullwidth ranges of
// Unicode's East Asian Width and the emoji shown wide by default, as
// terminals draw them, joined across unassigned code points.
#include "platform/input/character_width.h"

struct CodeRange {
    unsigned first;
    unsigned last;
};

static const CodeRange WIDE[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x3029},   {0x302E, 0x303E},   {0x3041, 0x3096},   {0x309B, 0xA4C6},   {0xA960, 0xA97C},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAD9},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6B},   {0xFF01, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE3}, {0x16FF0, 0x18D08}, {0x1AFF0, 0x1B2FB}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F320}, {0x1F32D, 0x1F335},
    {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0},
    {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D},
    {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6DF},
    {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7F0}, {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945},
    {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAF6}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// The combining marks a keyboard or a paste is likely to bring, the zero
// width spaces and joiners, and the variation selectors.
static const CodeRange NO_WIDTH[] = {
    {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F}, {0x2060, 0x2064},
    {0x20D0, 0x20FF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xE0100, 0xE01EF},
};

template <std::size_t count>
static bool within(const CodeRange (&ranges)[count], unsigned codePoint)
{
    std::size_t low = 0;
    std::size_t high = count;
    while (low < high) {
        std::size_t middle = (low + high) / 2;
        if (codePoint < ranges[middle].first)
            high = middle;
        else if (codePoint > ranges[middle].last)
            low = middle + 1;
        else
            return true;
    }
    return false;
}

int characterColumns(unsigned codePoint)
{
    if (codePoint < 0x300)
        return 1;
    if (within(WIDE, codePoint))
        return 2;
    if (within(NO_WIDTH, codePoint))
        return 0;
    return 1;
}

bool utf8Continuation(int byte)
{
    return byte >= 0x80 && byte <= 0xBF;
}

int utf8Length(int lead)
{
    if (lead >= 0 && lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool utf8ValidSecond(int lead, int byte)
{
    if (lead == 0xE0)
        return byte >= 0xA0 && byte <= 0xBF;
    if (lead == 0xED)
        return byte >= 0x80 && byte <= 0x9F;
    if (lead == 0xF0)
        return byte >= 0x90 && byte <= 0xBF;
    if (lead == 0xF4)
        return byte >= 0x80 && byte <= 0x8F;
    return utf8Continuation(byte);
}

unsigned utf8CodePoint(const char* text, int length)
{
    static const unsigned LEAD_BITS[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    unsigned codePoint = static_cast<unsigned char>(text[0]) & LEAD_BITS[length];
    for (int place = 1; place < length; ++place)
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[place]) & 0x3F);
    return codePoint;
}
