#include "installation/filetexts.h"

#include <QDir>

namespace ovra::detail {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

CopyResult failure(const QString& error, const QString& reason) {
    return {false, error, reason};
}

Failure readFailure(const QString& error) {
    return failed(error);
}

QString sizeText(qint64 bytes) {
    if (bytes > 0 && bytes % (1 << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    if (bytes > 0 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes >> 10);
    return QStringLiteral("%1 bytes").arg(bytes);
}

QString tooLarge(const QString& shown, qint64 size, qint64 maxSize) {
    return QStringLiteral("%1 is too large (%2 bytes; the limit is %3)")
        .arg(shown)
        .arg(size)
        .arg(sizeText(maxSize));
}

CopyResult isFolderFailure(const QString& shown) {
    return failure(QStringLiteral("%1 is a folder.").arg(shown), QStringLiteral("it is a folder"));
}
CopyResult specialFileFailure(const QString& shown) {
    return failure(QStringLiteral("%1 is not a regular file.").arg(shown),
                   QStringLiteral("it is not a regular file"));
}
CopyResult readOnlyFailure(const QString& shown) {
    return failure(QStringLiteral("%1 is read-only.").arg(shown),
                   QStringLiteral("it is read-only"));
}
CopyResult nowhereFailure() {
    return failure(QStringLiteral("The file to write leads nowhere."),
                   QStringLiteral("it leads nowhere"));
}
CopyResult writeFailure(const QString& shown, const QString& why) {
    return failure(QStringLiteral("Could not write %1: %2").arg(shown, why), why);
}

} // namespace ovra::detail
