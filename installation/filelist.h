#pragma once

#include "installation/paths.h"
#include <QRegularExpression>

#include <QString>
#include <QStringList>
#include <optional>

namespace ovra {

// The one order of file names used everywhere (trick positions depend on it): a word sort.
// 1. hyphens and apostrophes left out: other characters before digits before letters, letters
//    without regard to case, within a class by code after case folding, a prefix first;
// 2. still equal: again with hyphens and apostrophes kept (as characters of the first class);
// 3. still equal: ordinal comparison.
// Returns <0, 0 or >0.
int compareFileNames(const QString& a, const QString& b);
void sortFileNames(QStringList& names);

// A hidden file list: the names of the regular files of one directory that match a wildcard
// pattern (letter case ignored), sorted by compareFileNames, addressed by 0-based position.
// Left out, so that positions are those of the same folder listed on Windows: hidden files
// (a leading dot; the hidden attribute on Windows), folders, links that lead to no regular
// file, FIFOs, devices and sockets. A link to a regular file counts as one. Names that are no
// plain file name (see paths::isPlainFileName) are left out with a warning: no Windows folder
// holds them. Names that cannot be held as text are left out and kept for the caller to report.
class FileList {
public:
    explicit FileList(QString pattern);

    // Points the list at a directory given in game notation. On failure (missing or unreadable
    // directory) the list keeps its previous directory and entries and returns false.
    // `within` (a canonical host path, for a stranger's folder such as a copied CD): links that
    // lead out of it are left out with a warning.
    bool setPath(const paths::GamePath& folder, const QString& within = {});

    // An entry of a folder listed elsewhere (inside a disc image).
    struct Entry {
        QString name;
        bool hidden = false; // marked hidden where it is kept
        bool regular = true; // a file, not a folder or anything else
    };
    // Points the list at such a folder (`path` names it in messages): the same rules apply.
    void setEntries(const QString& path, const QList<Entry>& entries);

    const QString& path() const { return path_; } // as given, game notation; empty at start
    int count() const { return int(names_.size()); }
    const QStringList& names() const { return names_; }

    // Entry at a position; nothing when the position is past the end (or negative).
    std::optional<QString> entry(int index) const;

    // Files matching the pattern whose names are not UTF-8, shown as their bytes read as
    // Latin-1. They are not in the list, so every position after theirs differs from that of
    // a list that holds them. Always empty on Windows.
    const QStringList& undecodable() const { return undecodable_; }

private:
    void take(const QString& path, QStringList names, QStringList undecodable);

    QRegularExpression matcher_;
    QString path_;
    QStringList names_;
    QStringList undecodable_;
};

} // namespace ovra
