#include "filelist.h"

#include "logging.h"
#include "paths.h"
#ifdef Q_OS_UNIX
#include "posixfile.h"
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace ovra {

namespace {

// 0: punctuation, blanks and everything else; 1: digits; 2: letters.
int charClass(QChar c) {
    if (c.isLetter())
        return 2;
    if (c.isDigit())
        return 1;
    return 0;
}

bool isIgnorable(QChar c) {
    return c == u'-' || c == u'\'';
}

int wordCompare(const QString& a, const QString& b, bool skipHyphens) {
    qsizetype i = 0, j = 0;
    for (;;) {
        if (skipHyphens) {
            while (i < a.size() && isIgnorable(a[i]))
                ++i;
            while (j < b.size() && isIgnorable(b[j]))
                ++j;
        }
        if (i == a.size() || j == b.size())
            return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
        const QChar x = a[i++], y = b[j++];
        const int cx = charClass(x), cy = charClass(y);
        if (cx != cy)
            return cx - cy;
        const char16_t fx = x.toCaseFolded().unicode(), fy = y.toCaseFolded().unicode();
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
}

} // namespace

int compareFileNames(const QString& a, const QString& b) {
    if (int r = wordCompare(a, b, true))
        return r;
    if (int r = wordCompare(a, b, false))
        return r;
    return a.compare(b, Qt::CaseSensitive);
}

void sortFileNames(QStringList& names) {
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return compareFileNames(a, b) < 0; });
}

namespace {

struct Listing {
    QStringList names;
    QStringList undecodable;
};

#ifdef Q_OS_UNIX
enum class Kind { Other, Regular, Link };

// A regular file, a link to one (or an entry of a type the listing does not tell that is one),
// or anything else. The directory entry's type answers without a stat where the file system
// fills it in.
Kind kindOf(int dir, const dirent* entry) {
#ifdef DT_UNKNOWN
    if (entry->d_type == DT_REG)
        return Kind::Regular;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return Kind::Other;
#endif
    struct stat st;
    return ::fstatat(dir, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) ? Kind::Link
                                                                                      : Kind::Other;
}

// Where a link in `host` leads, canonical; empty when it cannot be resolved.
QString linkTarget(const QString& host, const char* raw) {
    const QByteArray path = QFile::encodeName(host) + '/' + raw;
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return {};
    const QString target = QFile::decodeName(resolved);
    std::free(resolved);
    return target;
}

// One pass over the directory. Qt's listing drops names that are not UTF-8 without a word,
// which would shift the positions after them silently: list at the system level instead.
std::optional<Listing> list(const QString& host, const QRegularExpression& matcher,
                            const QString& within) {
    detail::DirStream dir(host);
    if (!dir.isOpen())
        return std::nullopt;
    Listing found;
    while (const dirent* entry = dir.next()) {
        const char* raw = entry->d_name;
        const QByteArray bytes = QByteArray::fromRawData(raw, qsizetype(strlen(raw)));
        QString name = QString::fromUtf8(bytes);
        const bool decodes = name.toUtf8() == bytes;
        if (!decodes)
            name = QString::fromLatin1(bytes);
        if (!matcher.match(name).hasMatch())
            continue;
        const Kind kind = kindOf(dir.fd(), entry);
        if (kind == Kind::Other)
            continue;
        // Hidden files are no part of the list; a hidden name that reads as a path is still
        // handed on, to be told.
        const bool hidden = raw[0] == '.';
        if (kind == Kind::Link && !within.isEmpty() && !hidden) {
            const QString target = linkTarget(host, raw);
            if (!paths::isWithin(target, within)) {
                qCWarning(lcInstallation,
                          "\"%s\" in %s is left out of the file list: it is a link that leads "
                          "out of %s, to %s.",
                          qUtf8Printable(printable(name)),
                          qUtf8Printable(printable(QDir::toNativeSeparators(host))),
                          qUtf8Printable(printable(QDir::toNativeSeparators(within))),
                          qUtf8Printable(printable(QDir::toNativeSeparators(target))));
                continue;
            }
        }
        if (!decodes) {
            if (!hidden)
                found.undecodable << name;
        } else if (!hidden || !paths::isPlainFileName(name)) {
            found.names << name;
        }
    }
    if (dir.error())
        return std::nullopt;
    return found;
}
#else
// A Windows listing without hidden and system files, as the platform's own lists show them.
std::optional<Listing> list(const QString& host, const QRegularExpression& matcher,
                            const QString& within) {
    const QFileInfo info(host);
    if (host.isEmpty() || !info.isDir() || !info.isReadable())
        return std::nullopt;
    QDir dir(host);
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Unsorted);
    Listing found;
    for (const QFileInfo& info : dir.entryInfoList()) {
        const QString name = info.fileName();
        if (!matcher.match(name).hasMatch())
            continue;
        if (!within.isEmpty() && info.isSymLink() &&
            !paths::isWithin(info.canonicalFilePath(), within)) {
            qCWarning(lcInstallation,
                      "\"%s\" in %s is left out of the file list: it is a link that leads out "
                      "of %s.",
                      qUtf8Printable(printable(name)),
                      qUtf8Printable(QDir::toNativeSeparators(host)),
                      qUtf8Printable(QDir::toNativeSeparators(within)));
            continue;
        }
        found.names << name;
    }
    return found;
}
#endif

} // namespace

FileList::FileList(QString pattern)
    : matcher_(QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive)) {}

bool FileList::setPath(const QString& gameDirectoryPath, const QString& within) {
    const QString host = paths::hostPath(gameDirectoryPath);
    if (host.isEmpty())
        return false;
    std::optional<Listing> found = list(host, matcher_, within);
    if (!found)
        return false;
    take(gameDirectoryPath, std::move(found->names), std::move(found->undecodable));
    return true;
}

void FileList::setEntries(const QString& path, const QList<Entry>& entries) {
    QStringList names;
    for (const Entry& entry : entries) {
        if (!entry.regular || !matcher_.match(entry.name).hasMatch())
            continue;
        // As in a folder on the host: hidden files are no part of the list, but a hidden name
        // that reads as a path is still handed on, to be told.
        const bool hidden = entry.hidden || entry.name.startsWith(u'.');
        if (!hidden || !paths::isPlainFileName(entry.name))
            names << entry.name;
    }
    take(path, std::move(names), {});
}

void FileList::take(const QString& path, QStringList found, QStringList undecodable) {
    QStringList names;
    names.reserve(found.size());
    for (QString& name : found) {
        if (paths::isPlainFileName(name))
            names << std::move(name);
        else
            qCWarning(lcInstallation,
                      "\"%s\" in %s is left out of the file list: no Windows folder can hold "
                      "that name.",
                      qUtf8Printable(printable(name)),
                      qUtf8Printable(printable(QDir::toNativeSeparators(path))));
    }
    sortFileNames(names);
    sortFileNames(undecodable);
    names_ = std::move(names);
    undecodable_ = std::move(undecodable);
    path_ = path;
}

std::optional<QString> FileList::entry(int index) const {
    if (index < 0 || index >= names_.size())
        return std::nullopt;
    return names_[index];
}

int FileList::indexOf(const QString& name) const {
    return int(names_.indexOf(name));
}

} // namespace ovra
