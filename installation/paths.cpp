#include "paths.h"

#include <QDir>
#include <QFileInfo>

namespace ovra::paths {

QString musicDirectory(const QString& game) { return game + QStringLiteral("\\data\\music"); }
QString moviesDirectory(const QString& game) { return game + QStringLiteral("\\data\\movies"); }

QString installedMusicFile(const QString& game, const QString& name) {
    return game + QStringLiteral("\\data\\music\\") + name;
}

QString installedMovieFile(const QString& game, const QString& name) {
    return game + QStringLiteral("\\data\\movies\\") + name;
}

QString installedTrickFile(const QString& game, const QString& name) {
    return game + QStringLiteral("\\data\\anims\\skater_M\\") + name;
}

QString cdMoviesFile(const QString& cd, const QString& name) {
    return cd + QStringLiteral("setup\\data\\data\\movies\\") + name;
}

QString cdMusicFile(const QString& cd, const QString& name) {
    return cd + QStringLiteral("setup\\data\\data\\music\\") + name;
}

QString cdTrickFolder(const QString& cd) {
    return cd + QStringLiteral("setup\\data\\data\\anims\\skater_m");
}

QString inDirectory(const QString& directory, const QString& name) {
    return directory + u'\\' + name;
}

QString slotFile(const QString& programDir, int slot) {
    return programDir + QStringLiteral("\\data\\") + QString::number(slot) + QStringLiteral(".dat");
}

#ifdef Q_OS_WIN
QString hostPath(const QString& gamePath) { return gamePath; }
#else
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
    QString path = gamePath;
    path.replace(u'\\', u'/');
    // The common case: the path exists as spelled (one stat, no listing).
    if (path.isEmpty() || QFileInfo::exists(path))
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
