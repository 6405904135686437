#pragma once

#include <QByteArray>
#include <QString>

namespace rtf {

// Documents larger than this are refused before parsing.
inline constexpr qint64 kMaxDocumentSize = 16 * 1024 * 1024;

struct ReadResult {
    bool ok = false;
    QString text;  // the plain text when ok
    QString error; // why the document was refused, when !ok
};

// The plain text of any RTF document: body text without the font, colour and style tables,
// \info, \pict and \* destinations; \par and \line become "\n", \tab a tab; the final
// paragraph mark is dropped. Bytes outside ASCII are read in the code page in force: the current
// font's, else the document's, else Windows-1252. Hostile input ends in an error, never a crash.
ReadResult read(const QByteArray& document);

} // namespace rtf
