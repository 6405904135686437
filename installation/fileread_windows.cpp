// Guarded whole reads on Windows: Qt's own, refusing what is not a regular file.
#include "installation/fileread.h"

#include "installation/filetexts.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace ovra {

using namespace detail;

Result<QByteArray> readRegularFile(const QString& path, qint64 maxSize) {
    const QString shown = native(path);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return readFailure(QStringLiteral("%1 is not a regular file").arg(shown));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readFailure(QStringLiteral("cannot open %1: %2").arg(shown, file.errorString()));
    if (file.size() > maxSize)
        return readFailure(tooLarge(shown, file.size(), maxSize));
    QByteArray bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return readFailure(QStringLiteral("cannot read %1: %2").arg(shown, file.errorString()));
    if (bytes.size() > maxSize)
        return readFailure(
            QStringLiteral("%1 is too large (over %2)").arg(shown, sizeText(maxSize)));
    return bytes;
}

Result<> streamRegularFile(const QString& path, const WriteChunk& write) {
    const QString shown = native(path);
    const QString writeFailed = QStringLiteral("Reading %1: write failed.").arg(shown);
    // One buffer for every call: hashing a folder calls this once per file.
    static constexpr qint64 kChunk = 256 * 1024;
    thread_local const std::unique_ptr<char[]> buffer(new char[kChunk]);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return failed(QStringLiteral("%1 is not a regular file").arg(shown));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("cannot open %1: %2").arg(shown, file.errorString()));
    for (;;) {
        const qint64 n = file.read(buffer.get(), kChunk);
        if (n < 0)
            return failed(QStringLiteral("cannot read %1: %2").arg(shown, file.errorString()));
        if (n == 0)
            return {};
        if (!write(buffer.get(), n))
            return failed(writeFailed);
    }
}

std::optional<qint64> regularFileSize(const QString& path, bool followLinks) {
    const QFileInfo info(path);
    if (!info.isFile() || (!followLinks && info.isSymLink()))
        return std::nullopt;
    return info.size();
}

} // namespace ovra
