#include "filelist.h"

#include "paths.h"

#include <QDir>
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

bool isIgnorable(QChar c) { return c == u'-' || c == u'\''; }

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

FileList::FileList(QString pattern) : pattern_(std::move(pattern)) {}

bool FileList::setPath(const QString& gameDirectoryPath) {
    const QString host = paths::hostPath(gameDirectoryPath);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    QDir dir(host);
    dir.setNameFilters({pattern_}); // matched regardless of letter case
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    sortFileNames(names);
    names_ = std::move(names);
    path_ = gameDirectoryPath;
    return true;
}

std::optional<QString> FileList::entry(int index) const {
    if (index < 0 || index >= names_.size())
        return std::nullopt;
    return names_[index];
}

int FileList::indexOf(const QString& name) const { return int(names_.indexOf(name)); }

} // namespace ovra
