#pragma once

#include <QByteArray>
#include <QString>

namespace rtf {

// The document form in which slot files and Trick Config files are written: four lines ended
// by CR LF, the text after "\deflang1033\pard\plain\f2\fs17 ", each line of the text followed
// by "\par" (a text of several lines becomes several paragraphs), "\\" "\{" "\}" escaped,
// Windows-1252 characters outside ASCII as \'hh, all others as \uN?.
QByteArray write(const QString& text);

} // namespace rtf
