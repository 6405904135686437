#include "installation.h"

namespace ovra {

Installation::Installation() : folder_(QString()) {
    settings_.error = QStringLiteral("the installation was not opened");
}

Installation Installation::open(const QString& programDir, const Given& given) {
    Installation opened;
    opened.folder_ = ProgramFolder(programDir);
    Settings& settings = opened.settings_;
    if (!given.any()) {
        settings = loadSettings(opened.folder_);
    } else {
        const auto value = [&](const std::optional<QString>& stands, const char* file,
                               const char* what) -> std::optional<QString> {
            QString why;
            if (stands) {
                why = whyNowhere(*stands);
                if (why.isEmpty())
                    return stands;
                settings.error = QStringLiteral("the %1 leads nowhere: %2").arg(what, why);
                return std::nullopt;
            }
            std::optional<QString> read = loadSetting(opened.folder_, file, &why);
            if (!read)
                settings.error = QStringLiteral("the %1 is not set: %2").arg(what, why);
            return read;
        };
        settings.error.clear();
        settings.gameDirectory = value(given.gameDirectory, kGameDirectoryFile, "game directory");
        if (settings.gameDirectory)
            settings.cdDrive = value(given.cdDrive, kCdDriveFile, "CD drive");
    }
    if (settings.cdDrive)
        opened.cd_.emplace(*settings.cdDrive);
    return opened;
}

HostFolder Installation::installed(QString (*folder)(const QString&)) const {
    // An empty game notation maps to no host path, and a folder of no path holds nothing.
    return HostFolder(settings_.gameDirectory ? folder(*settings_.gameDirectory) : QString());
}

} // namespace ovra
