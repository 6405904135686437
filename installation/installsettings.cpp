#include "installation/installsettings.h"

#include "installation/filecopy.h"
#include "installation/paths.h"
#include "installation/temporaries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ovra {

QString perUserFolder() {
#ifdef Q_OS_WIN
    // The roaming application data folder, where Windows programs keep a user's settings.
    QString base = qEnvironmentVariable("APPDATA");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/AppData/Roaming");
    return QDir::cleanPath(base + QStringLiteral("/Ovra3"));
#else
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative value does not count, as the XDG base directory rules have it.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/Ovra3"));
#endif
}

// Set by the build: the marker's path relative to the installed programs' folder.
const char kInstalledMarker[] = OVRA_INSTALLED_MARKER;

bool isInstalled(const QString& programDir) {
    return !programDir.isEmpty() &&
           QFileInfo(programDir + u'/' + QLatin1String(kInstalledMarker)).isFile();
}

ProgramFolder::ProgramFolder(QString programDir) : beside_(std::move(programDir)) {
    const QString host = paths::hostPath(paths::GamePath(beside_));
    const QFileInfo info(host);
    // An installed copy's folder is shared (and run as root, writable): settings written there
    // would outlive the package and reach every user.
    own_ = info.isDir() && info.isWritable() && !isInstalled(host) ? beside_ : perUserFolder();
}

const QString& ProgramFolder::holding(const QString& relative) const {
    if (own_ == beside_)
        return own_;
    for (const QString* folder : {&own_, &beside_}) {
        const QFileInfo file(paths::hostPath(paths::GamePath(*folder + u'/' + relative)));
        if (file.exists() || file.isSymLink())
            return *folder;
    }
    return own_;
}

paths::GamePath settingsReadPath(const QString& programDir, const QString& fileName) {
    return paths::GamePath(programDir + u'/' + fileName);
}

paths::GamePath settingsWritePath(const QString& programDir, const QString& fileName) {
    return paths::GamePath(programDir + u'\\' + fileName);
}

// The settings hold paths; larger files are not settings files (and are not read whole).
static constexpr qint64 kMaxSettingSize = 64 * 1024;

QString whyNowhere(const QString& value) {
    if (value.trimmed().isEmpty())
        return QStringLiteral("it is empty");
    return paths::leadsNowhere(value);
}

std::optional<QString> readSettingFile(const QString& programDir, const QString& fileName,
                                       QString* error) {
    const Result<QByteArray> read =
        readRegularFile(paths::hostPath(settingsReadPath(programDir, fileName)), kMaxSettingSize);
    if (!read.ok) {
        if (error)
            *error = read.error;
        return std::nullopt;
    }
    QByteArray bytes = read.value;
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    return QString::fromLocal8Bit(bytes);
}

namespace {

// A settings file as it stood before a store, so a half-done store can be put back.
struct Previous {
    bool known = false; // false: it could not be read, so it cannot be put back
    bool exists = false;
    QByteArray bytes;
};

Previous previousOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {true, false, {}};
    const Result<QByteArray> read = readRegularFile(path, kMaxSettingSize);
    if (!read.ok)
        return {};
    return {true, true, read.value};
}

bool putBack(const QString& path, const Previous& before) {
    if (!before.known)
        return false;
    if (!before.exists)
        return !QFileInfo::exists(path) || QFile::remove(path);
    return writeFileAtomically(path, before.bytes).ok;
}

} // namespace

std::optional<QString> loadSetting(const ProgramFolder& folder, const char* fileName,
                                   QString* error) {
    const QString name = QString::fromLatin1(fileName);
    const QString& holding = folder.holding(name);
    std::optional<QString> value = readSettingFile(holding, name, error);
    if (!value)
        return value;
    // A value that leads nowhere is no setting.
    if (const QString nowhere = whyNowhere(*value); !nowhere.isEmpty()) {
        if (error)
            *error =
                QStringLiteral("%1 leads nowhere: %2")
                    .arg(QDir::toNativeSeparators(paths::hostPath(settingsReadPath(holding, name))),
                         nowhere);
        return std::nullopt;
    }
    return value;
}

namespace {

// One setting: the value given in its place, judged as a file's would be, else its file's.
std::optional<QString> settingFrom(const ProgramFolder& folder, const std::optional<QString>& given,
                                   const char* file, const char* what, QString* error) {
    QString why;
    if (!given) {
        std::optional<QString> read = loadSetting(folder, file, &why);
        if (!read)
            *error = QStringLiteral("the %1 is not set: %2").arg(QLatin1String(what), why);
        return read;
    }
    why = whyNowhere(*given);
    if (why.isEmpty())
        return given;
    *error = QStringLiteral("the %1 leads nowhere: %2").arg(QLatin1String(what), why);
    return std::nullopt;
}

} // namespace

Settings loadSettings(const ProgramFolder& folder, const GivenSettings& given) {
    Settings settings;
    settings.gameDirectory = settingFrom(folder, given.gameDirectory, kGameDirectoryFile,
                                         "game directory", &settings.error);
    if (!settings.gameDirectory)
        return settings;
    // A store killed part-way leaves its temporary file beside the settings.
    removeStaleTemporaries(paths::hostPath(paths::GamePath(folder.own())));
    settings.cdDrive =
        settingFrom(folder, given.cdDrive, kCdDriveFile, "CD drive", &settings.error);
    return settings;
}

StoreResult storeSettings(const ProgramFolder& folder, const QString& gameDirectory,
                          const QString& cdDrive) {
    const QString host = paths::hostPath(paths::GamePath(folder.own()));
    if (!QFileInfo(host).isDir() && !QDir().mkpath(host))
        return {
            false,
            QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(host))};
    return storeSettings(folder.own(), gameDirectory, cdDrive);
}

StoreResult storeSettings(const QString& programDir, const QString& gameDirectory,
                          const QString& cdDrive) {
    const QString directoryPath =
        paths::hostPath(settingsWritePath(programDir, QString::fromLatin1(kGameDirectoryFile)));
    const QString drivePath =
        paths::hostPath(settingsWritePath(programDir, QString::fromLatin1(kCdDriveFile)));
    const auto failed = [](const QString& path, const CopyResult& result) {
        return StoreResult{false, QStringLiteral("The setting could not be saved to %1: %2")
                                      .arg(QDir::toNativeSeparators(path), result.reason)};
    };

    // Both files are written out before either replaces its old self.
    StagedFile directoryFile, driveFile;
    if (CopyResult r = directoryFile.stage(directoryPath, gameDirectory.toLocal8Bit()); !r)
        return failed(directoryPath, r);
    if (CopyResult r = driveFile.stage(drivePath, cdDrive.toLocal8Bit()); !r)
        return failed(drivePath, r);

    const Previous before = previousOf(directoryPath);
    if (CopyResult r = directoryFile.commit(); !r)
        return failed(directoryPath, r);
    if (CopyResult r = driveFile.commit(); !r) {
        StoreResult result = failed(drivePath, r);
        result.unchanged = putBack(directoryPath, before);
        return result;
    }
    return {};
}

} // namespace ovra
