// The safe writer where POSIX calls are not at hand: Qt's QSaveFile, unbuffered so that every
// write reports its own error.
#include "installation/filecopy.h"

#include "installation/filetexts.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ovra {

using namespace detail;

namespace {

using Fill = std::function<CopyResult(QSaveFile& out)>;

CopyResult openReplacement(const QString& to, QSaveFile& out) {
    if (to.isEmpty())
        return nowhereFailure();
    const QString shown = native(to);
    const QFileInfo info(to);
    if (info.isDir())
        return isFolderFailure(shown);
    if (info.exists() && !info.isFile())
        return specialFileFailure(shown);
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return readOnlyFailure(shown);
    if (!QFileInfo(info.absolutePath()).isDir())
        return failure(
            QStringLiteral("The folder %1 does not exist.").arg(native(info.absolutePath())),
            QStringLiteral("the folder does not exist"));
    out.setFileName(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return writeFailure(shown, out.errorString());
    return {};
}

CopyResult replace(const QString& to, LinkPolicy, const Fill& fill) {
    QSaveFile out;
    if (CopyResult opened = openReplacement(to, out); !opened)
        return opened;
    if (CopyResult filled = fill(out); !filled) {
        out.cancelWriting();
        return filled;
    }
    if (!out.commit())
        return writeFailure(native(to), out.errorString());
    return {};
}

Fill bytesFill(const QString& to, const QByteArray& bytes) {
    return [&to, &bytes](QSaveFile& out) {
        return out.write(bytes) == bytes.size() ? CopyResult{}
                                                : writeFailure(native(to), out.errorString());
    };
}

} // namespace

CopyResult replaceFile(const QString& from, const QString& to) {
    if (from.isEmpty())
        return failure(QStringLiteral("No file was chosen to copy from."),
                       QStringLiteral("no file was chosen"));
    const QString shownFrom = native(from);
    const auto copyFailure = [&](const QString& why) {
        return failure(
            QStringLiteral("Could not copy %1 to %2: %3").arg(shownFrom, native(to), why), why);
    };
    const QFileInfo source(from);
    if (!source.exists())
        return failure(QStringLiteral("%1 does not exist.").arg(shownFrom),
                       QStringLiteral("%1 does not exist").arg(shownFrom));
    if (!source.isFile())
        return failure(QStringLiteral("%1 is not a file.").arg(shownFrom),
                       QStringLiteral("%1 is not a file").arg(shownFrom));
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("%1 cannot be read: %2").arg(shownFrom, in.errorString()),
                       in.errorString());
    return replace(to, LinkPolicy::ReplaceLink, [&](QSaveFile& out) {
        for (;;) {
            const QByteArray chunk = in.read(1 << 20);
            if (in.error() != QFileDevice::NoError)
                return copyFailure(in.errorString());
            if (chunk.isEmpty())
                return CopyResult{};
            if (out.write(chunk) != chunk.size())
                return copyFailure(out.errorString());
        }
    });
}

CopyResult replaceFileWith(const QString& to, const ContentProducer& produce, LinkPolicy links) {
    return replace(to, links, [&](QSaveFile& out) {
        QString err;
        const WriteChunk write = [&](const char* data, qint64 size) {
            if (err.isEmpty() && out.write(data, size) != size)
                err = out.errorString();
            return err.isEmpty();
        };
        const QString problem = produce(write);
        if (!err.isEmpty())
            return writeFailure(native(to), err);
        return problem.isEmpty() ? CopyResult{} : writeFailure(native(to), problem);
    });
}

CopyResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return replace(path, LinkPolicy::WriteTarget, bytesFill(path, bytes));
}

struct StagedFile::Impl {
    QString path;
    QSaveFile out;
};

CopyResult StagedFile::stage(const QString& path, const QByteArray& bytes) {
    d_ = std::make_unique<Impl>();
    d_->path = path;
    CopyResult made = openReplacement(path, d_->out);
    if (made)
        made = bytesFill(path, bytes)(d_->out);
    if (!made)
        d_.reset();
    return made;
}

CopyResult StagedFile::commit() {
    if (!d_)
        return failure(QStringLiteral("Nothing was written."),
                       QStringLiteral("nothing was written"));
    const std::unique_ptr<Impl> staged = std::move(d_);
    if (!staged->out.commit())
        return writeFailure(native(staged->path), staged->out.errorString());
    return {};
}

StagedFile::StagedFile() = default;
StagedFile::~StagedFile() = default;

} // namespace ovra
