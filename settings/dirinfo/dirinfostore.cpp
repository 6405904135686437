#include "dirinfostore.h"

#include "paths.h"

#include <QFile>
#include <QSaveFile>
#include <optional>

namespace ovra {

namespace {

struct Snapshot {
    bool known = false;              // whether the old state could be read at all
    std::optional<QByteArray> bytes; // nothing: the file did not exist
};

Snapshot snapshot(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {true, std::nullopt};
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return {true, bytes};
}

bool restore(const QString& path, const Snapshot& before) {
    if (!before.bytes)
        return !QFile::exists(path) || QFile::remove(path);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(*before.bytes) == before.bytes->size() &&
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
    const bool changed = !after.known || !before.known || after.bytes != before.bytes;
    const bool rolledBack = !changed || (before.known && restore(directoryFile, before));
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
