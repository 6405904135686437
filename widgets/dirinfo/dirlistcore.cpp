#include "widgets/dirinfo/dirlistcore.h"

#include "installation/filelist.h"

#include <QDir>
#include <QFileInfo>

namespace ovra::dirlist {

namespace {

QString internal(const QString& path) {
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

Qt::CaseSensitivity pathCase() {
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QString rootName(const QString& root) {
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(root).toLower(); // "c:\", as Windows lists show a drive
#else
    return root;
#endif
}

} // namespace

QString normalized(const QString& path) {
    if (path.isEmpty())
        return {};
    return QDir::toNativeSeparators(internal(path));
}

QList<Entry> entries(const QString& openDirectory) {
    QStringList chain; // root first, in Qt's notation
    for (QString p = internal(openDirectory);;) {
        chain.prepend(p);
        const QString parent = QFileInfo(p).path();
        if (parent == p || parent.isEmpty() || parent == u'.')
            break;
        p = parent;
    }

    QList<Entry> list;
    for (int level = 0; level < chain.size(); ++level) {
        const QString& p = chain[level];
        const QString name = level == 0 ? rootName(p) : QFileInfo(p).fileName();
        list.push_back({QDir::toNativeSeparators(p), name, level, true});
    }

    const QString open = chain.last();
    // Hidden folders too: Wine prefixes live in them (~/.wine, ~/.steam/.../pfx).
    QStringList folders = QDir(open).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    sortFileNames(folders);
    const int level = int(chain.size());
    for (const QString& folder : folders)
        list.push_back(
            {QDir::toNativeSeparators(QDir(open).filePath(folder)), folder, level, false});
    return list;
}

int openIndex(const QList<Entry>& list) {
    int index = -1;
    for (int i = 0; i < list.size() && list[i].open; ++i)
        index = i;
    return index;
}

bool canOpen(const QString& path) {
    const QFileInfo info(QDir::fromNativeSeparators(path));
#ifdef Q_OS_WIN
    return info.isDir() && info.isReadable(); // a drive without a disc is no directory
#else
    return info.isDir() && info.isReadable() && info.isExecutable(); // listing needs both
#endif
}

bool samePath(const QString& a, const QString& b) {
    return internal(a).compare(internal(b), pathCase()) == 0;
}

bool lies(const QString& path, const QString& root) {
    const QString p = internal(path), r = internal(root);
    if (p.compare(r, pathCase()) == 0)
        return true;
    const QString prefix = r.endsWith(u'/') ? r : r + u'/';
    return p.startsWith(prefix, pathCase());
}

QString directoryOnDrive(const QString& driveRoot, const QString& currentDirectory,
                         const QString& currentDriveRoot) {
    if (samePath(driveRoot, currentDriveRoot) && lies(currentDirectory, driveRoot))
        return normalized(currentDirectory);
    return normalized(driveRoot);
}

} // namespace ovra::dirlist
