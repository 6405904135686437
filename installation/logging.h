#pragma once

#include <QLoggingCategory>
#include <QString>

// Why something failed, for a player or a maintainer who wants to know more than a message box
// says: QT_LOGGING_RULES="ovra.*=true" shows everything.
namespace ovra {
Q_DECLARE_LOGGING_CATEGORY(lcInstallation)

// `text` as it may be shown on a terminal or in a log: every character that does not print
// (controls, format characters such as direction overrides, lone surrogates) is written as an
// escape (\r, \n, \t, \e, \xHH or \u{HHHH}); backslashes stay, as paths hold them. Names from
// strangers may hold escape sequences that redraw a terminal or forge a line.
QString printable(const QString& text);
} // namespace ovra
