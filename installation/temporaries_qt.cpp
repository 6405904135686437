// The clean-up of temporaries where POSIX calls are not at hand: an open file cannot be removed
// there, so a running writer's temporary stays.
#include "installation/temporaries.h"
#include "installation/temporariesdetail.h"

#include <QDir>
#include <QFile>

namespace ovra::detail {

QStringList temporaryCandidates(const QString& directory) {
    return QDir(directory).entryList({QLatin1String(kTempPrefix) + u'*'},
                                     QDir::Files | QDir::Hidden | QDir::System);
}

bool removeUnheld(const QString& path) {
    // An open file cannot be removed here, so a running writer's temporary stays.
    return QFile::remove(path);
}

} // namespace ovra::detail
