// The clean-up of temporaries on Windows: a writer holds its temporary open without sharing
// deletion until it renames it, so the system itself refuses to remove a running writer's file.
#include "installation/temporaries.h"
#include "installation/temporariesdetail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ovra::detail {

QStringList temporaryCandidates(const QString& directory) {
    return QDir(directory).entryList({QLatin1String(kTempPrefix) + u'*'},
                                     QDir::Files | QDir::Hidden | QDir::System);
}

bool removeUnheld(const QString& path) {
    // Only a plain file: a link of that name is not a writer's.
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink() || info.isJunction())
        return false;
    return QFile::remove(path); // fails with a sharing violation while a writer holds it
}

} // namespace ovra::detail
