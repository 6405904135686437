// The clean-up of temporaries on POSIX systems: a killed writer's file is the one no running
// writer holds locked.
#include "installation/temporaries.h"
#include "installation/temporariesdetail.h"

#include "installation/posixfile.h"

#include <QFile>
#include <QStringList>

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace ovra::detail {

QStringList temporaryCandidates(const QString& directory) {
    // Compared as bytes, so the hundreds of other files in a game folder cost one comparison
    // each and no look at what they are.
    QStringList names;
    DirStream dir(directory);
    const size_t prefix = sizeof(kTempPrefix) - 1;
    while (const dirent* entry = dir.next())
        if (std::strncmp(entry->d_name, kTempPrefix, prefix) == 0)
            names << QFile::decodeName(entry->d_name);
    return names;
}

bool removeUnheld(const QString& path) {
    // Only a regular file that nobody holds locked is a killed writer's; the name must still lead
    // to the file that was checked when it goes.
    const QByteArray host = QFile::encodeName(path);
    struct stat named {
    }, held{};
    if (::lstat(host.constData(), &named) != 0 || !S_ISREG(named.st_mode))
        return false;
    Fd fd(::open(host.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0 || ::fstat(fd.get(), &held) != 0 || held.st_ino != named.st_ino ||
        held.st_dev != named.st_dev)
        return false;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return false; // a running writer's
    if (::lstat(host.constData(), &named) != 0 || held.st_ino != named.st_ino ||
        held.st_dev != named.st_dev)
        return false;
    return ::unlink(host.constData()) == 0;
}

} // namespace ovra::detail
