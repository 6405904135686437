#pragma once

#include <QList>
#include <QString>

// What the directory list shows and reports, without any widget: tests call it directly.
namespace ovra::dirlist {

// A directory as the list reports it: absolute, cleaned, in the platform's notation, without a
// trailing separator except at a root ("/" here, "C:\" on Windows).
QString normalized(const QString& path);

struct Entry {
    QString path;      // full path, as normalized() gives it
    QString name;      // what the list shows
    int level = 0;     // indentation steps
    bool open = false; // the open directory or one of its ancestors (open-folder icon)
};

// The open directory's ancestors from the root down, each one step further in, the open
// directory itself, then its subfolders one step further in (hidden ones too, sorted as every
// file list is). An unreadable directory simply has no subfolders.
QList<Entry> entries(const QString& openDirectory);

// Index of the open directory itself in entries(): its ancestors come first.
int openIndex(const QList<Entry>& list);

// Whether `path` names a directory the list can open (exists and can be listed).
bool canOpen(const QString& path);

// Whether two paths name the same directory (cleaned; case ignored on Windows).
bool samePath(const QString& a, const QString& b);

// True when `path` is `root` or lies below it (whole components; case ignored on Windows).
bool lies(const QString& path, const QString& root);

// Where the list lands when moved to a drive: the current directory when it lies on that
// drive, else the drive's root (as a program's current directory on another drive would be).
QString directoryOnDrive(const QString& driveRoot, const QString& currentDirectory,
                         const QString& currentDriveRoot);

} // namespace ovra::dirlist
