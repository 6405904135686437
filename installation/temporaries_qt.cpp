// The clean-up of temporaries where POSIX calls are not at hand: an open file cannot be removed
// there, so a running writer's temporary stays.
#include "temporaries.h"

#include <QDir>
#include <QFile>

namespace ovra {

namespace {

// The names in `directory` that begin with the temporaries' prefix.
QStringList temporaryCandidates(const QString& directory) {
    return QDir(directory).entryList({QLatin1String(kTempPrefix) + u'*'},
                                     QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

int removeStaleTemporaries(const QString& directory) {
    int removed = 0;
    for (const QString& name : temporaryCandidates(directory)) {
        if (!isTemporaryName(name))
            continue;
        const QString path = directory + u'/' + name;
        // An open file cannot be removed here, so a running writer's temporary stays.
        removed += QFile::remove(path);
    }
    return removed;
}

} // namespace ovra
