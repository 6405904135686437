#include "widgets/dirinfo/drivelistcore.h"

#include "installation/paths.h"
#include "widgets/dirinfo/dirlistcore.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#ifdef Q_OS_WIN
#include <string>
#include <windows.h>
#endif

namespace ovra::drivelist {

namespace {

std::function<QList<Volume>()>& source() {
    static std::function<QList<Volume>()> s;
    return s;
}

QString cleanRoot(const QString& root) {
    return QDir::cleanPath(QDir::fromNativeSeparators(root));
}

bool under(const QString& root, const char* mountPoint) {
    const QString m = QString::fromLatin1(mountPoint);
    return root == m || root.startsWith(m + u'/');
}

QString textOf(const Volume& volume, const QString& root) {
#ifdef Q_OS_WIN
    QString text = root.left(2).toLower(); // "c:"
#else
    QString text = root;
#endif
    if (!volume.name.isEmpty())
        text += QStringLiteral(" [") + volume.name + u']';
    return text;
}

QString valueOf(const QString& root) {
    const QString withSeparator = root.endsWith(u'/') ? root : root + u'/';
    return QDir::toNativeSeparators(withSeparator);
}

} // namespace

bool isUserVolume(const Volume& volume) {
    static const QList<QByteArray> pseudo = {
        "proc",        "sysfs",       "devtmpfs",     "devpts",  "tmpfs",
        "ramfs",       "securityfs",  "debugfs",      "tracefs", "pstore",
        "bpf",         "configfs",    "fusectl",      "mqueue",  "hugetlbfs",
        "autofs",      "binfmt_misc", "efivarfs",     "nsfs",    "rpc_pipefs",
        "selinuxfs",   "squashfs",    "rootfs",       "devfs",   "fuse.gvfsd-fuse",
        "fuse.portal", "fuse.lxcfs",  "fuse.snapfuse"};
    const QByteArray type = volume.fileSystemType.toLower();
    const QString root = cleanRoot(volume.rootPath);
    if (root.isEmpty() || pseudo.contains(type) || type.startsWith("cgroup"))
        return false;
    // A container's root is an overlay, and it is the drive the user works on.
    if (type == "overlay" && root != u'/')
        return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/boot", "/snap", "/System/Volumes"})
        if (under(root, system))
            return false;
    // Desktops mount removable media under /run/media.
    return !under(root, "/run") || under(root, "/run/media");
}

QString volumeRootOf(const QString& path, const QList<Volume>& volumes) {
    QString best;
    for (const Volume& volume : volumes) {
        const QString root = cleanRoot(volume.rootPath);
        if (!root.isEmpty() && dirlist::lies(path, root) && root.size() > best.size())
            best = root;
    }
    return best;
}

QList<Drive> drives(const QList<Volume>& volumes, const QString& currentRoot) {
    const QString current = cleanRoot(currentRoot);
    QList<Drive> list;
    for (const Volume& volume : volumes) {
        const QString root = cleanRoot(volume.rootPath);
        const bool isCurrent = !current.isEmpty() && dirlist::samePath(root, current);
        if ((!isCurrent && !isUserVolume(volume)) || indexOfRoot(list, root) >= 0)
            continue;
        list.push_back({textOf(volume, root), valueOf(root), root});
    }
    if (!current.isEmpty() && indexOfRoot(list, current) < 0)
        list.push_back({textOf({}, current), valueOf(current), current});
    std::sort(list.begin(), list.end(), [](const Drive& a, const Drive& b) {
        return a.root.compare(b.root, Qt::CaseInsensitive) < 0;
    });
    return list;
}

int indexOfRoot(const QList<Drive>& list, const QString& root) {
    // A Wine drive's value ("C:\") is no path on the host: match it as it is.
    for (int i = 0; i < list.size(); ++i)
        if (!root.isEmpty() && list[i].value == root)
            return i;
    const QString clean = cleanRoot(root);
    if (clean.isEmpty())
        return -1;
    for (int i = 0; i < list.size(); ++i)
        if (!list[i].root.isEmpty() && dirlist::samePath(list[i].root, clean))
            return i;
    return -1;
}

QList<Volume> mountedVolumes() {
    if (source())
        return source()();
    QList<Volume> volumes;
    const auto add = [&](const QStorageInfo& info) {
        // Containers bind single files (/etc/hosts) as mounts; a drive is a directory.
        if (info.isValid() && QFileInfo(info.rootPath()).isDir())
            volumes.push_back({info.rootPath(), info.fileSystemType(), info.name()});
    };
#ifdef Q_OS_WIN
    // Every drive letter, ready or not, as Windows drive lists show them (an empty CD drive
    // too: picking it reports that it is not ready). Asking an empty drive for its label
    // must not bring up Windows' "insert a disk" box.
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(letters & (1u << i)))
            continue;
        const QString root = QChar(char16_t(u'A' + i)) + QStringLiteral(":/");
        const std::wstring native = QDir::toNativeSeparators(root).toStdWString();
        const UINT type = GetDriveTypeW(native.c_str());
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN)
            continue;
        wchar_t label[MAX_PATH + 1] = {};
        wchar_t system[MAX_PATH + 1] = {};
        DWORD previous = 0;
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
        const bool ready = GetVolumeInformationW(native.c_str(), label, MAX_PATH, nullptr, nullptr,
                                                 nullptr, system, MAX_PATH);
        SetThreadErrorMode(previous, nullptr);
        volumes.push_back({root, ready ? QString::fromWCharArray(system).toLatin1() : QByteArray(),
                           ready ? QString::fromWCharArray(label) : QString()});
    }
#else
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes())
        add(info);
#endif
    // The volume of the current directory, even where the list above left it out.
    add(QStorageInfo(QDir::currentPath()));
    return volumes;
}

void setVolumeSource(std::function<QList<Volume>()> source_) {
    source() = std::move(source_);
}

namespace {

std::function<QList<WineDrive>()>& wineSource() {
    static std::function<QList<WineDrive>()> s;
    return s;
}

} // namespace

QList<WineDrive> wineDrives() {
    return wineSource() ? wineSource()() : paths::wineDrives();
}

void setWineDriveSource(std::function<QList<WineDrive>()> source_) {
    wineSource() = std::move(source_);
}

QList<Drive> wineEntries(const QList<WineDrive>& drives) {
    QList<Drive> list;
    for (const WineDrive& drive : drives)
        list.push_back({drive.letter.toLower() + QStringLiteral(": (Wine)"),
                        drive.letter.toUpper() + QStringLiteral(":\\"), cleanRoot(drive.folder)});
    return list;
}

QString gameDirectoryValue(const QString& openDirectory) {
    return paths::settingFor(paths::HostPath(openDirectory), wineDrives()).text();
}

} // namespace ovra::drivelist
