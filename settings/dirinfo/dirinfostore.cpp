#include "dirinfostore.h"

#include "paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ovra {

namespace {

// What stands at a path before and after a store.
struct Snapshot {
    enum Kind { Unknown, Absent, File, Other } kind = Unknown; // Other: a folder, a device...
    QByteArray bytes;                                          // a file's content
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {Snapshot::Absent, {}};
    if (!info.isFile())
        return {Snapshot::Other, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return {Snapshot::File, bytes};
}

// Puts a file back as it was; only an absent or plain file can be put back.
bool restore(const QString& path, const Snapshot& before) {
    if (before.kind == Snapshot::Absent)
        return !QFileInfo::exists(path) || QFile::remove(path);
    if (before.kind != Snapshot::File)
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(before.bytes) == before.bytes.size() &&
           file.commit();
}

} // namespace

StoreResult storeDirectoryInfo(const QString& programDir, const QString& gameDirectory,
                               const QString& cdDrive) {
    const QString directoryFile =
        paths::hostPath(settingsWritePath(programDir, QString::fromLatin1(kGameDirectoryFile)));
    const Snapshot before = snapshot(directoryFile);

    StoreResult result = storeSettings(programDir, gameDirectory, cdDrive);
    if (result.ok)
        return result;

    const Snapshot after = snapshot(directoryFile);
    const bool unchanged = before.kind != Snapshot::Unknown && after == before;
    const bool rolledBack = unchanged || restore(directoryFile, before);
    const QString intro =
        rolledBack ? QStringLiteral("The Ovra3 directory and CD drive could not be saved; the "
                                    "settings saved before are unchanged.")
                   : QStringLiteral("The CD drive could not be saved, and the Ovra3 directory "
                                    "saved before could not be put back, so the two settings "
                                    "may now disagree.");
    result.error = intro + QStringLiteral("\n\n") + result.error +
                   QStringLiteral("\n\nMake sure that the program's folder can be written to, "
                                  "then click OK again.");
    return result;
}

} // namespace ovra
