#include "folders.h"

#include "discimage.h"
#include "paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#endif

namespace ovra {

namespace {

// The names in a folder, in no order and without a look at any entry: a sorted listing of
// file information costs more than the copies of a small batch.
std::optional<QStringList> entryNames(const QString& host) {
    QStringList names;
#if defined(Q_OS_UNIX)
    DIR* dir = ::opendir(QFile::encodeName(host).constData());
    if (!dir)
        return std::nullopt;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] != '.' || (raw[1] != '\0' && (raw[1] != '.' || raw[2] != '\0')))
            names << QFile::decodeName(raw);
    }
    ::closedir(dir);
#else
    if (!QFileInfo(host).isDir())
        return std::nullopt;
    QDirIterator it(host, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext())
        names << it.nextFileInfo().fileName();
#endif
    return names;
}

} // namespace

HostFolder::HostFolder(const QString& gamePath) : host_(paths::hostPath(gamePath)) {
    const std::optional<QStringList> entries = entryNames(host_);
    exists_ = entries.has_value();
    if (!entries)
        return;
    for (const QString& entry : *entries) {
        exact_.insert(entry);
        QString& standIn = folded_[entry.toCaseFolded()];
        if (standIn.isEmpty() || entry < standIn)
            standIn = entry;
    }
}

std::optional<QString> HostFolder::file(const QString& name) const {
    if (!paths::isPlainFileName(name))
        return std::nullopt;
    if (exact_.contains(name))
        return host_ + u'/' + name;
    const auto found = folded_.constFind(name.toCaseFolded());
    return host_ + u'/' + (found != folded_.cend() ? *found : name);
}

namespace {

class HostCdFolder : public CdFolder {
public:
    explicit HostCdFolder(const QString& gamePath) : folder_(gamePath) {}
    CopyResult copyTo(const QString& name, const QString& to) const override {
        const std::optional<QString> from = folder_.file(name);
        if (!from)
            return {false, QStringLiteral("\"%1\" is no file name.").arg(name)};
        return replaceFile(*from, to);
    }
    QString read(const QString& name, const WriteChunk& write) const override {
        const std::optional<QString> from = folder_.file(name);
        return from ? streamRegularFile(*from, write)
                    : QStringLiteral("\"%1\" is no file name.").arg(name);
    }
    std::optional<qint64> size(const QString& name) const override {
        const std::optional<QString> path = folder_.file(name);
        const QFileInfo info(path.value_or(QString()));
        return path && info.isFile() ? std::optional(info.size()) : std::nullopt;
    }

private:
    HostFolder folder_;
};

class ImageCdFolder : public CdFolder {
public:
    ImageCdFolder(std::shared_ptr<const discimage::Image> image, QString literal)
        : image_(std::move(image)), literal_(std::move(literal)) {}
    CopyResult copyTo(const QString& name, const QString& to) const override {
        const std::optional<QString> inside = paths::fileIn(literal_, name);
        if (!inside)
            return {false, QStringLiteral("\"%1\" is no file name.").arg(name)};
        // Straight from the image into the same safe copy: a temporary renamed over the file.
        return replaceFileWith(
            to, [&](const WriteChunk& write) { return image_->read(*inside, write); },
            LinkPolicy::ReplaceLink);
    }
    QString read(const QString& name, const WriteChunk& write) const override {
        const std::optional<QString> inside = paths::fileIn(literal_, name);
        return inside ? image_->read(*inside, write)
                      : QStringLiteral("\"%1\" is no file name.").arg(name);
    }
    std::optional<qint64> size(const QString& name) const override {
        const std::optional<QString> inside = paths::fileIn(literal_, name);
        return inside ? image_->fileSize(*inside) : std::nullopt;
    }

private:
    std::shared_ptr<const discimage::Image> image_;
    QString literal_;
};

} // namespace

struct CdSource::Image {
    QString hostPath;
};

CdSource::CdSource(QString cdDrive) : cdDrive_(std::move(cdDrive)) {
    // An image is named as it stands; a drive or folder needs the literals after it.
    const QString host = paths::hostPath(cdDrive_);
    if (!cdDrive_.isEmpty() && QFileInfo(host).isFile() && discimage::isImage(host))
        image_ = std::make_unique<Image>(Image{host});
}

CdSource::~CdSource() = default;
CdSource::CdSource(CdSource&&) noexcept = default;
CdSource& CdSource::operator=(CdSource&&) noexcept = default;

bool CdSource::isImage() const {
    return image_ != nullptr;
}

QString CdSource::shown(const QString& literal) const {
    if (image_)
        return QDir::toNativeSeparators(image_->hostPath) + QStringLiteral(" (") + literal + u')';
    return cdDrive_ + literal;
}

bool CdSource::list(const QString& literal, FileList& list, QString* error) const {
    if (!image_) {
        if (list.setPath(cdDrive_ + literal))
            return true;
        if (error)
            *error = QStringLiteral("the folder %1 cannot be read").arg(shown(literal));
        return false;
    }
    const std::unique_ptr<discimage::Image> image = discimage::Image::open(image_->hostPath, error);
    if (!image)
        return false;
    const std::optional<QList<discimage::Entry>> entries = image->list(literal, error);
    if (!entries)
        return false;
    QList<FileList::Entry> listed;
    listed.reserve(entries->size());
    for (const discimage::Entry& entry : *entries)
        listed.push_back({entry.name, entry.hidden, !entry.directory});
    list.setEntries(shown(literal), listed);
    return true;
}

std::unique_ptr<CdFolder> CdSource::open(const QString& literal, QString* error) const {
    if (!image_)
        return std::make_unique<HostCdFolder>(cdDrive_ + literal);
    std::shared_ptr<const discimage::Image> image = discimage::Image::open(image_->hostPath, error);
    if (!image)
        return nullptr;
    return std::make_unique<ImageCdFolder>(std::move(image), literal);
}

} // namespace ovra
