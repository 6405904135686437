#include "cp1252.h"

namespace rtf::cp1252 {

namespace {

// 0x80..0x9F; the rest of the upper half equals Latin-1. Zero marks an unassigned byte.
constexpr char16_t kHigh[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178,
};

} // namespace

char16_t decode(quint8 byte) {
    if (byte >= 0x80 && byte < 0xa0 && kHigh[byte - 0x80] != 0)
        return kHigh[byte - 0x80];
    return byte;
}

int encode(char16_t c) {
    if (c < 0x80 || (c >= 0xa0 && c <= 0xff))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace rtf::cp1252
