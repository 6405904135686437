// The safe writer on Windows: the new content goes to a temporary file in the destination's
// folder, held open without sharing deletion (so that another instance's clean-up cannot take
// it), and then MoveFileExW renames it over the destination. A rename within one volume is a
// single step: the destination is either the old file or the new one. ReplaceFileW is not used:
// it needs an existing destination and can fail half way, leaving the destination renamed.
#include "installation/filecopy.h"

#include "installation/filetexts.h"
#include "installation/temporaries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <io.h>
#include <windows.h>

namespace ovra {

using namespace detail;

namespace {

// A temporary beside the destination that becomes the destination on commit(), or goes.
class Replacement {
public:
    ~Replacement() { cancel(); }

    bool open(const QString& to) {
        to_ = to;
        const QString folder = QFileInfo(to).absolutePath();
        static constexpr char kLetters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QString name = QLatin1String(kTempPrefix);
            for (int i = 0; i < 6; ++i)
                name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
            file_.setFileName(folder + u'/' + name);
            if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
                return true;
            if (QFileInfo::exists(file_.fileName()))
                continue; // taken by another writer: draw again
            return false;
        }
        return false;
    }
    qint64 write(const char* data, qint64 size) { return file_.write(data, size); }
    qint64 write(const QByteArray& bytes) { return file_.write(bytes); }
    QString errorString() const { return error_.isEmpty() ? file_.errorString() : error_; }

    bool commit() {
        if (!file_.isOpen())
            return false;
        const bool flushed = FlushFileBuffers(HANDLE(_get_osfhandle(file_.handle())));
        file_.close();
        if (!flushed || file_.error() != QFileDevice::NoError) {
            error_ = flushed ? file_.errorString() : qt_error_string(int(GetLastError()));
            cancel();
            return false;
        }
        const QString from = QDir::toNativeSeparators(file_.fileName());
        const QString to = QDir::toNativeSeparators(to_);
        if (!MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                         reinterpret_cast<const wchar_t*>(to.utf16()),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error_ = qt_error_string(int(GetLastError()));
            cancel();
            return false;
        }
        file_.setFileName(QString());
        return true;
    }
    void cancel() {
        if (file_.fileName().isEmpty())
            return;
        file_.close();
        QFile::remove(file_.fileName());
        file_.setFileName(QString());
    }

private:
    QString to_;
    QFile file_;
    QString error_;
};

using Fill = std::function<CopyResult(Replacement& out)>;

CopyResult openReplacement(const QString& to, Replacement& out) {
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
    if (!out.open(to))
        return writeFailure(shown, out.errorString());
    return {};
}

CopyResult replace(const QString& given, LinkPolicy links, const Fill& fill) {
    // A link of the player's own is written through; a game file's link is replaced.
    const QFileInfo link(given);
    const QString to =
        links == LinkPolicy::WriteTarget && link.isSymLink() && !link.canonicalFilePath().isEmpty()
            ? link.canonicalFilePath()
            : given;
    Replacement out;
    if (CopyResult opened = openReplacement(to, out); !opened)
        return opened;
    if (CopyResult filled = fill(out); !filled)
        return filled;
    if (!out.commit())
        return writeFailure(native(to), out.errorString());
    return {};
}

Fill bytesFill(const QString& to, const QByteArray& bytes) {
    return [&to, &bytes](Replacement& out) {
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
    return replace(to, LinkPolicy::ReplaceLink, [&](Replacement& out) {
        for (;;) {
            const QByteArray chunk = in.read(1 << 20);
            if (in.error() != QFileDevice::NoError)
                return copyFailure(in.errorString());
            if (chunk.isEmpty()) {
                // An open file cannot be renamed over here: a copy onto itself must let go
                // of its source first.
                in.close();
                return CopyResult{};
            }
            if (out.write(chunk) != chunk.size())
                return copyFailure(out.errorString());
        }
    });
}

CopyResult replaceFileWith(const QString& to, const ContentProducer& produce, LinkPolicy links) {
    return replace(to, links, [&](Replacement& out) {
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
    Replacement out;
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
