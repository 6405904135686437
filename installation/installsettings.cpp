#include "installsettings.h"

#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ovra {

QString settingsReadPath(const QString& programDir, const QString& fileName) {
    return programDir + u'/' + fileName;
}

QString settingsWritePath(const QString& programDir, const QString& fileName) {
    return programDir + u'\\' + fileName;
}

// The settings hold paths; larger files are not settings files (and are not read whole).
static constexpr qint64 kMaxSettingSize = 64 * 1024;

std::optional<QString> readSettingFile(const QString& programDir, const QString& fileName) {
    QFile file(paths::hostPath(settingsReadPath(programDir, fileName)));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSettingSize)
        return std::nullopt;
    QByteArray bytes = file.read(kMaxSettingSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxSettingSize)
        return std::nullopt;
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    return QString::fromLocal8Bit(bytes);
}

namespace {

// A settings file as it stood before a store, so a half-done store can be put back.
struct Previous {
    bool known = false;  // false: it could not be read, so it cannot be put back
    bool exists = false;
    QByteArray bytes;
};

Previous previousOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {true, false, {}};
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return {true, true, std::move(bytes)};
}

bool putBack(const QString& path, const Previous& before) {
    if (!before.known)
        return false;
    if (!before.exists)
        return !QFileInfo::exists(path) || QFile::remove(path);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(before.bytes) == before.bytes.size() &&
           file.commit();
}

} // namespace

StoreResult storeSettings(const QString& programDir, const QString& gameDirectory,
                          const QString& cdDrive) {
    const QString directoryPath =
        paths::hostPath(settingsWritePath(programDir, QString::fromLatin1(kGameDirectoryFile)));
    const QString drivePath =
        paths::hostPath(settingsWritePath(programDir, QString::fromLatin1(kCdDriveFile)));
    const auto failed = [](const QString& path, const QSaveFile& file) {
        return StoreResult{false, QStringLiteral("The setting could not be saved to %1: %2")
                                      .arg(QDir::toNativeSeparators(path), file.errorString())};
    };

    // Both files are written out before either replaces its old self.
    QSaveFile directoryFile(directoryPath), driveFile(drivePath);
    const QByteArray directoryBytes = gameDirectory.toLocal8Bit();
    const QByteArray driveBytes = cdDrive.toLocal8Bit();
    if (!directoryFile.open(QIODevice::WriteOnly) ||
        directoryFile.write(directoryBytes) != directoryBytes.size())
        return failed(directoryPath, directoryFile);
    if (!driveFile.open(QIODevice::WriteOnly) || driveFile.write(driveBytes) != driveBytes.size())
        return failed(drivePath, driveFile);

    const Previous before = previousOf(directoryPath);
    if (!directoryFile.commit())
        return failed(directoryPath, directoryFile);
    if (!driveFile.commit()) {
        StoreResult result = failed(drivePath, driveFile);
        result.unchanged = putBack(directoryPath, before);
        return result;
    }
    return {};
}

} // namespace ovra
