#include "installation/restore.h"

#include "installation/fileread.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <algorithm>

namespace ovra {

namespace {

// What a file takes on disk: whole blocks of the usual size.
qint64 onDisk(qint64 size) {
    constexpr qint64 kBlock = 4096;
    return (std::max<qint64>(size, 0) + kBlock - 1) / kBlock * kBlock;
}

QString bytesText(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

Result<> checkBatch(const CdFolder& from, const HostFolder& to, const QList<PlannedCopy>& copies) {
    const QString folder = QDir::toNativeSeparators(to.hostPath());
    if (to.hostPath().isEmpty())
        return failed(QStringLiteral("the game folder leads nowhere"));
    if (!to.exists())
        return failed(QStringLiteral("the folder %1 does not exist").arg(folder));
    // Said of the folder, not of its first file, when the folder itself refuses new files.
    if (!QFileInfo(to.hostPath()).isWritable())
        return failed(QStringLiteral("the folder %1 is read-only").arg(folder));

    const QStorageInfo storage(to.hostPath());
    if (!storage.isValid() || !storage.isReady())
        return {}; // nothing to judge by; each copy still reports its own failure
    const qint64 available = storage.bytesAvailable();
    qint64 written = 0;
    QList<qint64> sizes;
    sizes.reserve(copies.size());
    for (const PlannedCopy& copy : copies) {
        sizes.push_back(onDisk(from.size(copy.source).value_or(0)));
        written += sizes.back();
    }
    const qint64 margin = 1024 * 1024 + written / 100;
    // Nothing freed, all written: the most a batch can claim. Only when that does not fit are
    // the files replaced looked at.
    if (written + margin <= available)
        return {};
    // The most the folder holds beyond today at any point: each copy's temporary exists beside
    // the file it replaces until the rename frees the old one.
    qint64 grown = 0, peak = 0;
    for (qsizetype i = 0; i < copies.size(); ++i) {
        // A link is replaced by a regular file, so what it leads to is not freed.
        const std::optional<QString> target = to.file(copies[i].target);
        const qint64 freed = target ? onDisk(regularFileSize(*target, false).value_or(0)) : 0;
        peak = std::max(peak, grown + sizes[i]);
        grown += sizes[i] - freed;
    }
    if (peak + margin <= available)
        return {};
    return failed(QStringLiteral("the copies would write %1 (%2 more than the files they replace "
                                 "take, at the most), but only %3 are free in %4")
                      .arg(bytesText(written), bytesText(peak), bytesText(available), folder));
}

RestoreResult restoreFiles(const CdFolder& from, const HostFolder& to, const QStringList& names,
                           int count, const Progress& progress, Changes& changes) {
    QList<PlannedCopy> planned;
    for (const QString& name : names.mid(0, count))
        planned.push_back({name, name});
    if (const Result<> checked = checkBatch(from, to, planned); !checked)
        return {false, 0, checked.error};
    RestoreResult result;
    for (int i = 0; i < count; ++i) {
        if (i >= names.size())
            return {false, result.restored,
                    QStringLiteral("the list holds only %1 names, not %2").arg(i).arg(count)};
        const std::optional<QString> target = to.file(names[i]);
        const CopyResult copied =
            target ? copyKeeping(from, names[i], *target, names[i], changes)
                   : CopyResult{false, QStringLiteral("\"%1\" is no file name.").arg(names[i])};
        if (!copied)
            return {false, result.restored, copied.error};
        ++result.restored;
        if (progress)
            progress(result.restored, count);
    }
    return result;
}

} // namespace ovra
