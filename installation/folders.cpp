#include "installation/folders.h"

#include "discimage/discimage.h"
#include "installation/direntries.h"
#include "installation/logging.h"
#include "installation/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ovra {

namespace {

struct EntryNames {
    QStringList names;
    QStringList links; // links, and entries whose type the listing does not tell
};

// The names in a folder, in no order and without a look at any entry: a sorted listing of
// file information costs more than the copies of a small batch.
std::optional<EntryNames> entryNames(const QString& host) {
    EntryNames found;
    const bool read = detail::forEachEntry(host, [&](const detail::DirEntry& entry) {
        found.names << entry.name();
        if (entry.mayBeLink())
            found.links << entry.name();
    });
    if (!read)
        return std::nullopt;
    return found;
}

} // namespace

HostFolder::HostFolder(const paths::GamePath& folder) : host_(paths::hostPath(folder)) {
    if (host_.isEmpty())
        return;
    const std::optional<EntryNames> entries = entryNames(host_);
    exists_ = entries.has_value();
    if (!entries)
        return;
    entries_ = paths::CaseMatch(entries->names);
    for (const QString& link : entries->links)
        links_.insert(link);
}

const QString* HostFolder::entryFor(const QString& name) const {
    const qsizetype at = entries_.find(name);
    return at < 0 ? nullptr : &entries_.entries()[at];
}

std::optional<QString> HostFolder::file(const QString& name) const {
    if (host_.isEmpty() || !paths::isPlainFileName(name))
        return std::nullopt;
    const QString* entry = entryFor(name);
    return host_ + u'/' + (entry ? *entry : name);
}

bool HostFolder::mayBeLink(const QString& name) const {
    const QString* entry = entryFor(name);
    return entry && links_.contains(*entry);
}

namespace {

class HostCdFolder : public CdFolder {
public:
    // `root`: the CD's own folder or mount, canonical; every file read must resolve inside it.
    HostCdFolder(const paths::GamePath& folder, QString root)
        : folder_(folder), root_(std::move(root)),
          inside_(paths::isWithin(QFileInfo(folder_.hostPath()).canonicalFilePath(), root_)) {}
    CopyResult copyTo(const QString& name, const QString& to) const override {
        QString why;
        const std::optional<QString> from = source(name, &why);
        return from ? replaceFile(*from, to) : failed(why);
    }
    Result<> read(const QString& name, const WriteChunk& write) const override {
        QString why;
        const std::optional<QString> from = source(name, &why);
        return from ? streamRegularFile(*from, write) : failed(why);
    }
    std::optional<qint64> size(const QString& name) const override {
        QString why;
        const std::optional<QString> path = source(name, &why);
        return path ? regularFileSize(*path, true) : std::nullopt;
    }
    std::optional<QString> hostFile(const QString& name) const override {
        QString why;
        return source(name, &why);
    }

private:
    // The host path to read `name` from, or nothing and why: a name that is no file name, a
    // folder or a link that leads out of the CD (a copied CD's link to the player's own files
    // would otherwise copy them into the game).
    std::optional<QString> source(const QString& name, QString* why) const {
        const std::optional<QString> path = folder_.file(name);
        if (!path) {
            *why = QStringLiteral("\"%1\" is no file name.").arg(printable(name));
            return std::nullopt;
        }
        const auto outside = [&](const QString& target) {
            *why = QStringLiteral("%1 leads out of the CD (to %2).")
                       .arg(QDir::toNativeSeparators(*path), QDir::toNativeSeparators(target));
            return std::nullopt;
        };
        if (!inside_)
            return outside(QFileInfo(folder_.hostPath()).canonicalFilePath());
        if (!folder_.mayBeLink(name))
            return path;
        const QString target = QFileInfo(*path).canonicalFilePath();
        if (target.isEmpty()) // a link to nothing: the copy says the file is missing
            return path;
        if (!paths::isWithin(target, root_))
            return outside(target);
        return target;
    }

    HostFolder folder_;
    QString root_;
    bool inside_;
};

class ImageCdFolder : public CdFolder {
public:
    ImageCdFolder(std::shared_ptr<const discimage::Image> image, const QString& literal)
        : image_(std::move(image)), literal_(literal) {}
    CopyResult copyTo(const QString& name, const QString& to) const override {
        const std::optional<paths::GamePath> inside = paths::fileIn(literal_, name);
        if (!inside)
            return {false, QStringLiteral("\"%1\" is no file name.").arg(name)};
        // Straight from the image into the same safe copy: a temporary renamed over the file.
        return replaceFileWith(
            to, [&](const WriteChunk& write) { return image_->read(inside->text(), write); },
            LinkPolicy::ReplaceLink);
    }
    Result<> read(const QString& name, const WriteChunk& write) const override {
        const std::optional<paths::GamePath> inside = paths::fileIn(literal_, name);
        if (!inside)
            return failed(QStringLiteral("\"%1\" is no file name.").arg(printable(name)));
        const QString why = image_->read(inside->text(), write);
        return why.isEmpty() ? Result<>() : failed(why);
    }
    std::optional<qint64> size(const QString& name) const override {
        const std::optional<paths::GamePath> inside = paths::fileIn(literal_, name);
        return inside ? image_->fileSize(inside->text()) : std::nullopt;
    }

private:
    std::shared_ptr<const discimage::Image> image_;
    paths::GamePath literal_; // the folder inside the image
};

} // namespace

CdSource::CdSource(QString cdDrive) : cdDrive_(std::move(cdDrive)) {
    // An image is named as it stands; a drive or folder needs the literals after it.
    const QString host = paths::hostPath(cdDrive_);
    const QFileInfo info(host);
    if (!host.isEmpty() && info.isFile() && discimage::isImage(host))
        image_ = host;
    else if (!host.isEmpty() && info.isDir())
        root_ = info.canonicalFilePath();
}

QString CdSource::shown(const QString& literal) const {
    if (!image_.isEmpty())
        return QDir::toNativeSeparators(image_) + QStringLiteral(" (") + literal + u')';
    const QString host = paths::hostPath(cdDrive_ + literal);
    return host.isEmpty() ? (cdDrive_ + literal).text() : QDir::toNativeSeparators(host);
}

CdSource::FolderState CdSource::folderState(const QString& literal, QString* why) const {
    if (root_.isEmpty()) {
        const QString host = paths::hostPath(cdDrive_);
        const QString shownRoot = QDir::toNativeSeparators(host);
        if (host.isEmpty())
            *why = QStringLiteral("the CD drive %1 leads nowhere").arg(printable(cdDrive_.text()));
        else if (QFileInfo::exists(host))
            *why = QStringLiteral("%1 is neither a folder nor a CD image").arg(shownRoot);
        else
            *why = QStringLiteral("the CD folder %1 does not exist").arg(shownRoot);
        return FolderState::NoRoot;
    }
    const QString canonical = QFileInfo(paths::hostPath(cdDrive_ + literal)).canonicalFilePath();
    if (canonical.isEmpty()) {
        *why = QStringLiteral("%1 is not a game CD: it has no folder %2")
                   .arg(QDir::toNativeSeparators(root_), literal);
        return FolderState::NoFolder;
    }
    if (!paths::isWithin(canonical, root_)) {
        *why = QStringLiteral("the folder %1 leads out of the CD (to %2)")
                   .arg(shown(literal), QDir::toNativeSeparators(canonical));
        return FolderState::LeadsOut;
    }
    return FolderState::Usable;
}

Result<> CdSource::list(const QString& literal, FileList& list) const {
    QString why;
    if (image_.isEmpty()) {
        if (folderState(literal, &why) == FolderState::Usable &&
            !list.setPath(cdDrive_ + literal, root_))
            why = QStringLiteral("the folder %1 cannot be read").arg(shown(literal));
        return why.isEmpty() ? Result<>() : failed(why);
    }
    const std::unique_ptr<discimage::Image> image =
        discimage::Image::open(image_, paths::caseMatcher, &why);
    const std::optional<QList<discimage::Entry>> entries =
        image ? image->list(literal, &why) : std::nullopt;
    if (!entries)
        return failed(why);
    QList<FileList::Entry> listed;
    listed.reserve(entries->size());
    for (const discimage::Entry& entry : *entries)
        listed.push_back({entry.name, entry.hidden, !entry.directory});
    list.setEntries(shown(literal), listed);
    return {};
}

Result<std::unique_ptr<CdFolder>> CdSource::open(const QString& literal) const {
    QString why;
    if (image_.isEmpty()) {
        // A folder missing below the CD's root shows at the first file, as on a drive.
        const FolderState state = folderState(literal, &why);
        if (state == FolderState::NoRoot || state == FolderState::LeadsOut)
            return failed(why);
        return std::unique_ptr<CdFolder>(std::make_unique<HostCdFolder>(cdDrive_ + literal, root_));
    }
    std::shared_ptr<const discimage::Image> image =
        discimage::Image::open(image_, paths::caseMatcher, &why);
    if (!image)
        return failed(why);
    return std::unique_ptr<CdFolder>(std::make_unique<ImageCdFolder>(std::move(image), literal));
}

namespace {

CopySource sourceOf(const CdFolder& from, const QString& name) {
    return {from.hostFile(name).value_or(QString()),
            [&from, name](const WriteChunk& write) { return from.read(name, write); }};
}

} // namespace

CopyResult copyKeeping(const CdFolder& from, const QString& name, const QString& to,
                       const QString& stockName, Changes& changes) {
    const CopyResult copied =
        changes.replace(to, sourceOf(from, name), [&] { return from.copyTo(name, to); });
    if (copied) {
        const CopySource stock = sourceOf(from, stockName);
        // The hash of the file just copied is known by now, from the index.
        const Result<QByteArray> hash =
            stock.hostFile.isEmpty() ? changes.hashOf(to) : changes.hashOf(stock.hostFile);
        if (hash && (stockName == name || !stock.hostFile.isEmpty()))
            changes.learnStock(to, hash.value);
    }
    return copied;
}

} // namespace ovra
