#pragma once

#include <QtGlobal>

// Windows-1252, the code page of the documents we write and of most we read. Qt 6 has no
// decoder for it.
namespace rtf::cp1252 {

// The character of a byte. The five bytes the code page leaves unassigned map to the C1
// control of the same value, as Windows itself maps them.
char16_t decode(quint8 byte);

// The byte of a character, or -1 when the code page has none. ASCII maps to itself.
int encode(char16_t c);

} // namespace rtf::cp1252
