#include "installation/filelist.h"

#include "installation/direntries.h"
#include "installation/logging.h"
#include "installation/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

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

// One pass over the directory: the regular files (and links to them) whose names match.
std::optional<Listing> list(const QString& host, const QRegularExpression& matcher,
                            const QString& within) {
    Listing found;
    const bool read = detail::forEachEntry(host, [&](const detail::DirEntry& entry) {
        const QString& name = entry.name();
        if (!matcher.match(name).hasMatch() || !entry.isRegular())
            return;
        // Hidden files are no part of the list; a hidden name that reads as a path is still
        // handed on, to be told.
        const bool hidden = entry.hidden();
        if (!within.isEmpty() && !hidden && entry.mayBeLink()) {
            const QString target = entry.target();
            if (!paths::isWithin(target, within)) {
                qCWarning(lcInstallation,
                          "\"%s\" in %s is left out of the file list: it is a link that leads "
                          "out of %s, to %s.",
                          qUtf8Printable(printable(name)),
                          qUtf8Printable(printable(QDir::toNativeSeparators(host))),
                          qUtf8Printable(printable(QDir::toNativeSeparators(within))),
                          qUtf8Printable(printable(QDir::toNativeSeparators(target))));
                return;
            }
        }
        if (!entry.decodes()) {
            if (!hidden)
                found.undecodable << name;
        } else if (!hidden || !paths::isPlainFileName(name)) {
            found.names << name;
        }
    });
    if (!read)
        return std::nullopt;
    return found;
}

} // namespace

FileList::FileList(QString pattern)
    : matcher_(QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive)) {}

bool FileList::setPath(const paths::GamePath& folder, const QString& within) {
    const paths::HostPath host = paths::hostPath(folder);
    if (host.isEmpty())
        return false;
    std::optional<Listing> found = list(host, matcher_, within);
    if (!found)
        return false;
    take(folder.text(), std::move(found->names), std::move(found->undecodable));
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

} // namespace ovra
