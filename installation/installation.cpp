#include "installation/installation.h"

namespace ovra {

Installation::Installation() : folder_(QString()) {
    settings_.error = QStringLiteral("the installation was not opened");
}

Installation Installation::open(const QString& programDir, const Given& given) {
    Installation opened;
    opened.folder_ = ProgramFolder(programDir);
    opened.settings_ = loadSettings(opened.folder_, given);
    if (opened.settings_.cdDrive)
        opened.cd_.emplace(*opened.settings_.cdDrive);
    return opened;
}

HostFolder Installation::installed(paths::GamePath (*folder)(const QString&)) const {
    // An empty game notation maps to no host path, and a folder of no path holds nothing.
    return HostFolder(settings_.gameDirectory ? folder(*settings_.gameDirectory)
                                              : paths::GamePath());
}

} // namespace ovra
