// Arbitrary bytes as a CD image file: open it, list the root and the folders found below it,
// read every file listed. Nothing may crash; every refusal needs a message; a read that
// succeeds gives exactly as many bytes as the file's size, in chunks of the promised size.
#include "discimage/discimage.h"
#include "installation/paths.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

// Nothing reads the first 16 sectors (the system area), so the fuzzer's bytes start at the
// volume descriptors and the seeds leave those sectors out.
constexpr qint64 kSystemArea = 16 * 2048;
constexpr int kMaxFolders = 16;
constexpr int kMaxReads = 64;

[[noreturn]] void broken(const char* what, const QString& detail) {
    std::fprintf(stderr, "invariant broken: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

// The library opens images by path: one file per process, rewritten for each input.
class ImageFile {
public:
    ImageFile() {
#if defined(Q_OS_LINUX)
        fd_ = ::memfd_create("image", MFD_CLOEXEC);
        if (fd_ >= 0) {
            path_ = QStringLiteral("/proc/self/fd/%1").arg(fd_);
            return;
        }
#endif
        temp_.setAutoRemove(true);
        if (!temp_.open())
            broken("no temporary file", temp_.errorString());
        path_ = temp_.fileName();
        temp_.close();
    }

    const QString& path() const {
        return path_;
    }

    void write(const std::uint8_t* data, std::size_t size) {
        const QByteArray bytes = QByteArray(kSystemArea, '\0') +
                                 QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
#if defined(Q_OS_LINUX)
        if (fd_ >= 0) {
            if (::ftruncate(fd_, 0) != 0 ||
                ::pwrite(fd_, bytes.constData(), size_t(bytes.size()), 0) != bytes.size())
                broken("cannot write the image", path_);
            return;
        }
#endif
        QFile file(path_);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            broken("cannot write the image", file.errorString());
    }

private:
    QString path_;
    QTemporaryFile temp_;
#if defined(Q_OS_LINUX)
    int fd_ = -1;
#endif
};

void readEvery(const discimage::Image& image, const QString& folder,
               const QList<discimage::Entry>& entries, int* reads) {
    for (const discimage::Entry& e : entries) {
        if (e.name.isEmpty() || e.name == u'.' || e.name == QStringLiteral(".."))
            broken("a listing holds a non-name", e.name);
        if (e.directory || e.name.contains(u'\\') || e.name.contains(u'/') || ++*reads > kMaxReads)
            continue;
        const QString path = folder.isEmpty() ? e.name : folder + u'\\' + e.name;
        qint64 count = 0;
        const QString error = image.read(path, [&count](const char*, qint64 size) {
            if (size <= 0 || size > discimage::kChunkSize)
                broken("a chunk out of range", QString::number(size));
            count += size;
            return true;
        });
        // Two entries may share a name: the path finds the same one for both calls.
        const std::optional<qint64> size = image.fileSize(path);
        if (error.isEmpty() && size != count)
            broken("a read gave other than the file's size", path);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ImageFile file;
    file.write(data, size);

    QString error;
    const auto image = discimage::Image::open(file.path(), ovra::paths::caseMatcher, &error);
    if (!image) {
        if (error.isEmpty())
            broken("a refusal without a message", file.path());
        return 0;
    }
    if (!discimage::isImage(file.path()))
        broken("opened what is not taken for an image", file.path());

    // The game's own folder first, then whatever the root leads to.
    QStringList queue = {QStringLiteral("setup\\data\\data\\anims\\skater_m"), QString()};
    int reads = 0;
    for (int listed = 0; listed < kMaxFolders && !queue.isEmpty(); ++listed) {
        const QString folder = queue.takeFirst();
        const auto entries = image->list(folder, &error);
        if (!entries) {
            if (error.isEmpty())
                broken("a folder refused without a message", folder);
            continue;
        }
        readEvery(*image, folder, *entries, &reads);
        for (const discimage::Entry& e : *entries)
            if (e.directory && !e.name.contains(u'\\') && !e.name.contains(u'/'))
                queue.append(folder.isEmpty() ? e.name : folder + u'\\' + e.name);
    }
    return 0;
}
