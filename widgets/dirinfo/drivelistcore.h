#pragma once

#include "installation/paths.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Which drives the drive list offers and what it stores for each, without any widget.
namespace ovra::drivelist {

// A mounted volume as the platform reports it.
struct Volume {
    QString rootPath;          // Qt notation: "/", "/media/cdrom", "C:/"
    QByteArray fileSystemType; // "ext4", "iso9660", "tmpfs", "NTFS", ...
    QString name;              // volume label; may be empty
};

// One entry of the list.
struct Drive {
    QString text;  // what the list shows: "/media/cdrom [OVRA3]", "d: [OVRA3]"
    QString value; // what the dialog stores: the root ending in a separator ("/media/cdrom/",
                   // "D:\"), so that appending the CD folder literals gives a path on it
    QString root;  // the root in Qt notation, for comparisons
};

// False for what no user picks as a game or CD drive: kernel and memory file systems
// (proc, sysfs, tmpfs, cgroup, ...), container layers other than the root, read-only package
// images (squashfs), system mount points (/proc, /sys, /dev, /run except /run/media, /boot,
// /snap). Disks, optical discs (iso9660, udf), removable media and
// network shares stay.
bool isUserVolume(const Volume& volume);

// The root of the volume that holds `path`: the longest root among `volumes` that contains it.
// Empty when none does.
QString volumeRootOf(const QString& path, const QList<Volume>& volumes);

// The entries of the list: the user volumes, one per root, sorted by root, plus always the
// volume `currentRoot` (the one holding the current directory, which the list starts on).
QList<Drive> drives(const QList<Volume>& volumes, const QString& currentRoot);

// Index of the entry whose value or root is `root`; -1 when none.
int indexOfRoot(const QList<Drive>& list, const QString& root);

// The mounted volumes (directories only), plus the one holding the current directory. Tests can
// replace the source (nullptr restores the platform's).
QList<Volume> mountedVolumes();
void setVolumeSource(std::function<QList<Volume>()> source);

using paths::WineDrive;

// The prefix's drives (paths::wineDrives). Tests can replace the source (nullptr restores the
// prefix's).
QList<WineDrive> wineDrives();
void setWineDriveSource(std::function<QList<WineDrive>()> source);

// The list entries for Wine drives: "c: (Wine)", stored in drive-letter notation ("C:\"), so
// that settings files mean the same to a copy of the programs running on Windows.
QList<Drive> wineEntries(const QList<WineDrive>& drives);

// What the dialog stores for the directory list's open directory: paths::settingFor() of it
// (links resolved) over wineDrives(), else the directory as it is.
QString gameDirectoryValue(const QString& openDirectory);

} // namespace ovra::drivelist
