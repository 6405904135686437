#include "paths.h"

#include <QDir>
#include <QFileInfo>

namespace ovra::paths {

QString musicDirectory(const QString& game) {
    return game + QStringLiteral("\\data\\music");
}
QString moviesDirectory(const QString& game) {
    return game + QStringLiteral("\\data\\movies");
}

QString trickDirectory(const QString& game) {
    return game + QStringLiteral("\\data\\anims\\skater_M");
}

QString cdMusicFolder(const QString& cd) {
    return cd + kCdMusic;
}
QString cdMoviesFolder(const QString& cd) {
    return cd + kCdMovies;
}
QString cdTrickFolder(const QString& cd) {
    return cd + kCdTricks;
}

bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == u'.' || name == QStringLiteral(".."))
        return false;
    // Windows drops a final dot or blank when it makes a file, so such a name would stand for
    // another file than the one listed.
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f)
            return false;
        switch (u) {
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'/':
        case u'\\':
        case u'|':
        case u'?':
        case u'*':
            return false;
        default:
            break;
        }
    }
    // The device names stand for devices in every folder, with any extension.
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                        QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (devices.contains(stem))
        return false;
    if (stem.size() == 4 &&
        (stem.startsWith(QStringLiteral("COM")) || stem.startsWith(QStringLiteral("LPT"))) &&
        stem[3] >= u'1' && stem[3] <= u'9')
        return false;
    return true;
}

std::optional<QString> fileIn(const QString& folder, const QString& name) {
    if (!isPlainFileName(name))
        return std::nullopt;
    return folder + u'\\' + name;
}

std::optional<QString> hostFileIn(const QString& folder, const QString& name) {
    const std::optional<QString> path = fileIn(folder, name);
    if (!path)
        return std::nullopt;
    return hostPath(*path);
}

bool isWithin(const QString& path, const QString& root) {
    if (path.isEmpty() || root.isEmpty())
        return false;
#if defined(Q_OS_WIN)
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    if (path.compare(root, cs) == 0 || root == u'/')
        return true;
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    return path.startsWith(prefix, cs);
}

QString slotFile(const QString& programDir, int slot) {
    return programDir + QStringLiteral("\\data\\") + QString::number(slot) + QStringLiteral(".dat");
}

std::optional<QString> inDriveLetters(const QString& directory, const QList<WineDrive>& drives) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(directory));
    const WineDrive* best = nullptr;
    QString bestRoot;
    for (const WineDrive& drive : drives) {
        const QString root = QDir::cleanPath(QDir::fromNativeSeparators(drive.folder));
        if (root.isEmpty() || root == u'/' || !isWithin(clean, root) ||
            root.size() <= bestRoot.size())
            continue;
        best = &drive;
        bestRoot = root;
    }
    if (!best)
        return std::nullopt;
    const QString rest = clean.mid(bestRoot.size()); // "" or "/Games/Ovra3"
    return best->letter.toUpper() + u':' +
           (rest.isEmpty() ? QStringLiteral("\\") : QString(rest).replace(u'/', u'\\'));
}

#ifdef Q_OS_WIN
QList<WineDrive> wineDrives() {
    return {};
}
QString hostPath(const QString& gamePath) {
    return gamePath;
}
QString winePrefix() {
    return {};
}
QString wineDriveFolder(QChar) {
    return {};
}
#else
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

// The entry of `dir` that equals `component` with case ignored; exact spelling wins, and among
// several case variants the first in code order, so the choice is the same on every run.
static QString matchComponent(const QString& dir, const QString& component) {
    const QStringList entries =
        QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    return component;
}

QString hostPath(const QString& gamePath) {
    QString path = throughWineDrive(gamePath);
    if (path.isEmpty())
        return path;
    path.replace(u'\\', u'/');
    // The common case: the path exists as spelled (one stat, no listing).
    if (QFileInfo::exists(path))
        return path;

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
    return built;
}
#endif

} // namespace ovra::paths
