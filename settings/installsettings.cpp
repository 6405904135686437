#include "installsettings.h"

#include "paths.h"

#include <QDir>
#include <QFile>
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

StoreResult storeSettings(const QString& programDir, const QString& gameDirectory,
                          const QString& cdDrive) {
    const std::pair<QString, QString> files[] = {{QString::fromLatin1(kGameDirectoryFile), gameDirectory},
                                                 {QString::fromLatin1(kCdDriveFile), cdDrive}};
    for (const auto& [name, value] : files) {
        const QString path = paths::hostPath(settingsWritePath(programDir, name));
        QSaveFile file(path);
        const QByteArray bytes = value.toLocal8Bit();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            return {false, QStringLiteral("The setting could not be saved to %1: %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString())};
        }
    }
    return {};
}

} // namespace ovra
