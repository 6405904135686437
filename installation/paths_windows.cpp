// Paths on Windows: the game's notation is the system's own.
#include "installation/paths.h"

namespace ovra::paths {

Qt::CaseSensitivity pathCase() {
    return Qt::CaseInsensitive;
}

QList<WineDrive> wineDrives() {
    return {};
}
HostPath hostPath(const GamePath& gamePath) {
    return HostPath(gamePath.text());
}
QString winePrefix() {
    return {};
}
QString wineDriveFolder(QChar) {
    return {};
}

QString leadsNowhere(const QString& value) {
    // A drive letter ("D:", "C:\Games") or a network share; anything else is relative.
    const bool letter = value.size() >= 2 && value[1] == u':' && value[0].isLetter();
    if (!letter && !value.startsWith(QStringLiteral("\\\\")))
        return QStringLiteral("\"%1\" is no full path").arg(value);
    return {};
}

} // namespace ovra::paths
