// Paths on systems without drive letters: the game's notation mapped onto the host, drive
// letters through the Wine prefix, letter case matched as Windows ignores it.
#include "installation/paths.h"

#include <QDir>
#include <QFileInfo>

namespace ovra::paths {

Qt::CaseSensitivity pathCase() {
    return Qt::CaseSensitive;
}

QString winePrefix() {
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

static bool isDriveLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

QString wineDriveFolder(QChar letter) {
    if (!isDriveLetter(letter))
        return {};
    // Wine keeps the letters in lower case; "d::" beside "d:" is the raw device, not the drive.
    const QFileInfo entry(winePrefix() + QStringLiteral("/dosdevices/") + letter.toLower() + u':');
    return entry.isDir() ? entry.canonicalFilePath() : QString();
}

QList<WineDrive> wineDrives() {
    QList<WineDrive> list;
    const QStringList names =
        QDir(winePrefix() + QStringLiteral("/dosdevices"))
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (name.size() != 2 || name[1] != u':' || name[0] < u'a' || name[0] > u'z')
            continue;
        // The same lookup as the paths stored with this letter get.
        const QString folder = wineDriveFolder(name[0]);
        if (!folder.isEmpty())
            list.push_back({name[0], folder});
    }
    return list;
}

// "C:\Games\Ovra3" -> "<drive folder>/Games\Ovra3"; "D:setup\..." is relative to the
// drive's current directory, which for a CD is its root. Anything else is returned as it is.
static QString throughWineDrive(const QString& path) {
    if (path.size() < 2 || path[1] != u':' || !isDriveLetter(path[0]))
        return path;
    QString folder = wineDriveFolder(path[0]);
    // No such drive: the path leads nowhere. Kept as written, it would name a folder "Q:" under
    // whatever folder the program was started in.
    if (folder.isEmpty())
        return {};
    const QStringView rest = QStringView(path).mid(2);
    if (rest.isEmpty())
        return folder;
    if (folder.endsWith(u'/')) // the file-system root ("z:")
        folder.chop(1);
    if (rest.front() != u'\\' && rest.front() != u'/')
        folder += u'/';
    return folder + rest.toString();
}

// The entry of `dir` that `component` stands for; the component itself when none does.
static QString matchComponent(const QString& dir, const QString& component) {
    const CaseMatch match(
        QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::NoSort));
    const qsizetype at = match.find(component);
    return at < 0 ? component : match.entries()[at];
}

HostPath hostPath(const GamePath& gamePath) {
    QString path = throughWineDrive(gamePath.text());
    if (path.isEmpty())
        return HostPath();
    path.replace(u'\\', u'/');
    // The common case: the path exists as spelled (one stat, no listing).
    if (QFileInfo::exists(path))
        return HostPath(path);

    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/');
    QString built = absolute ? QStringLiteral("/") : QString();
    bool resolving = true; // once a component is missing, its children cannot exist either
    for (int i = absolute ? 1 : 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString next = part;
        if (resolving && !part.isEmpty() && part != u'.' && part != QStringLiteral("..")) {
            const QString candidate = built + part;
            if (!QFileInfo::exists(candidate)) {
                next = matchComponent(built, part);
                resolving = next != part;
            }
        }
        built += next;
        if (i + 1 < parts.size())
            built += u'/';
    }
    return HostPath(built);
}

QString leadsNowhere(const QString& value) {
    const bool letter =
        value.size() >= 2 && value[1] == u':' && value[0].isLetter() && value[0].unicode() < 0x80;
    const HostPath host = hostPath(GamePath(value));
    if (letter && host.isEmpty())
        return QStringLiteral("the drive %1: is none of the Wine prefix's drives (%2/dosdevices)")
            .arg(value[0].toUpper(), winePrefix());
    if (!QDir::isAbsolutePath(host))
        return QStringLiteral("\"%1\" is no full path").arg(value);
    return {};
}

} // namespace ovra::paths
