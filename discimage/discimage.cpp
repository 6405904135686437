#include "discimage/discimage.h"

#include "discimage/isodirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cdio/ds.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>

#include <algorithm>

namespace discimage {

namespace {

using iso::kSectorSize;

constexpr qsizetype kMaxCachedFolders = 8;
// File types in Rock Ridge modes, the POSIX values on every platform.
constexpr quint32 kModeType = 0170000;
constexpr quint32 kModeRegular = 0100000;
constexpr quint32 kModeDirectory = 0040000;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

cdio_log_handler_t libraryHandler = nullptr;

// Damaged images make the library print warnings; our own checks tell the user what is wrong
// instead. Its assertions still end the program as they would have.
void quietLog(cdio_log_level_t level, const char message[]) {
    if (level == CDIO_LOG_ASSERT && libraryHandler)
        libraryHandler(level, message);
}

void quietLibrary() {
    static const bool done = [] {
        libraryHandler = cdio_log_set_handler(quietLog);
        return true;
    }();
    Q_UNUSED(done);
}

QByteArray libraryPath(const QString& hostPath) {
    return QFile::encodeName(hostPath);
}

struct IsoCloser {
    void operator()(iso9660_t* iso) const { iso9660_close(iso); }
};
struct ListFree {
    void operator()(CdioList_t* list) const { iso9660_filelist_free(list); }
};
struct StatFree {
    void operator()(iso9660_stat_t* stat) const { iso9660_stat_free(stat); }
};

// A path in the game's notation: backslashes, though slashes are taken too, so that no
// component can hold either.
QStringList components(const QString& path) {
    QString game = path;
    game.replace(u'/', u'\\');
    return game.split(u'\\', Qt::SkipEmptyParts);
}

// The name the library gives a path component after dropping versions and lower-casing;
// it finds a folder by either spelling.
QByteArray translated(const QByteArray& name, quint8 jolietLevel) {
    QByteArray out(name.size() + 1, '\0');
    iso9660_name_translate_ext(name.constData(), out.data(), jolietLevel);
    out.truncate(qstrlen(out.constData()));
    return out;
}

struct Node {
    iso::Record record;
    QByteArray libraryName; // the name the library finds this entry by
    QString name;
    bool rockRidge = false; // the library found Rock Ridge fields in it
    bool usable = false;    // a file or a folder: not ".", "..", a resource fork or a link
};

// The supplementary descriptor that the library takes the Joliet root from, and the level it
// reads names at.
struct Joliet {
    QByteArray descriptor;
    quint8 level = 0; // none
};

// A folder's entries, with the caller's rule for finding a usable folder or file among them.
struct Listing {
    QList<Node> nodes;
    QList<qsizetype> folderAt, fileAt; // the nodes each lookup sees
    NameLookup findFolder, findFile;

    Listing(QList<Node> all, const NameRule& rule) : nodes(std::move(all)) {
        QStringList folderNames, fileNames;
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            if (!nodes[i].usable)
                continue;
            const bool folder = nodes[i].record.isDirectory();
            (folder ? folderAt : fileAt).append(i);
            (folder ? folderNames : fileNames).append(nodes[i].name);
        }
        findFolder = rule(folderNames);
        findFile = rule(fileNames);
    }

    // The node that `part` names, or -1.
    qsizetype find(const QString& part, bool directory) const {
        const qsizetype at = (directory ? findFolder : findFile)(part);
        return at < 0 ? -1 : (directory ? folderAt : fileAt).at(at);
    }
};

struct Folder {
    quint32 extent = 0;
    quint32 size = 0;
    QByteArray libraryPath; // "" for the root
    QStringList shown;      // the components as asked for, for messages
};

// The entry the library takes for `name` on its way down a path: the first whose name
// matches, or on a plain disc whose translated name does.
qsizetype libraryMatch(const QList<Node>& nodes, const QByteArray& name, quint8 jolietLevel) {
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        const Node& n = nodes[i];
        if (n.libraryName == name ||
            (jolietLevel == 0 && !n.rockRidge && translated(n.libraryName, jolietLevel) == name))
            return i;
    }
    return -1;
}

} // namespace

struct Image::Private {
    QString hostPath;
    mutable QFile file;
    qint64 bytes = 0;
    std::unique_ptr<iso9660_t, IsoCloser> iso;
    quint8 jolietLevel = 0;
    Folder root;
    // By extent and size: the library reads exactly the bytes that were checked.
    NameRule rule;
    mutable QHash<quint64, std::shared_ptr<const Listing>> folders;

    QString damaged(const QString& why) const {
        return QStringLiteral("%1 is damaged or incomplete: %2.").arg(native(hostPath), why);
    }

    QString unreadable() const {
        // A file that shrank since it was opened ends early without an error of its own.
        const QString why = file.error() == QFileDevice::NoError ? QStringLiteral("it ended early")
                                                                 : file.errorString();
        return QStringLiteral("%1 cannot be read: %2").arg(native(hostPath), why);
    }

    std::optional<QByteArray> readAt(qint64 offset, qint64 count) const {
        if (offset < 0 || offset + count > bytes || !file.seek(offset))
            return std::nullopt;
        QByteArray data = file.read(count);
        if (data.size() != count)
            return std::nullopt;
        return data;
    }

    // The volume descriptors walked as the library walks them: every sector after the primary
    // one up to a terminator or the end of the file, whatever its type or identifier says. The
    // first supplementary descriptor with a Joliet escape sequence gives the root, the last one
    // the level. Refused where the walk cannot be matched cheaply: a sector cut short (the
    // library would read stale bytes after its end) or no terminator in sight.
    std::optional<Joliet> jolietDescriptor(QString* error) const {
        Joliet found;
        for (qint64 sector = iso::kDescriptorSector + 1;; ++sector) {
            const qint64 at = sector * kSectorSize;
            if (at >= bytes)
                return found;
            if (sector > iso::kDescriptorSector + kMaxDescriptors) {
                *error =
                    damaged(QStringLiteral("its volume descriptors do not end within %1 sectors")
                                .arg(kMaxDescriptors));
                return std::nullopt;
            }
            const auto descriptor = readAt(at, kSectorSize);
            if (!descriptor) {
                *error = at + kSectorSize > bytes
                             ? damaged(QStringLiteral("it ends inside a volume descriptor"))
                             : unreadable();
                return std::nullopt;
            }
            if (uchar(descriptor->at(0)) == iso::kTerminator)
                return found;
            const quint8 level = iso::jolietLevel(*descriptor);
            if (level == 0)
                continue;
            if (found.level == 0)
                found.descriptor = *descriptor;
            found.level = level;
        }
    }

    // The records of a folder, read and checked without the library.
    std::optional<QList<iso::Record>> records(const Folder& folder, bool joliet,
                                              QString* error) const {
        const qint64 sectors = (qint64(folder.size) + kSectorSize - 1) / kSectorSize;
        QString why;
        std::optional<QList<iso::Record>> result;
        if (folder.size == 0 || folder.size > kMaxFolderBytes)
            why = QStringLiteral("a folder's size of %1 bytes is out of range").arg(folder.size);
        else if ((qint64(folder.extent) + sectors) * kSectorSize > bytes)
            why = QStringLiteral("a folder lies past the end of the image");
        else if (const auto data =
                     readAt(qint64(folder.extent) * kSectorSize, sectors * kSectorSize))
            result = iso::parseDirectory(*data, joliet, &why);
        else
            why = QStringLiteral("a folder cannot be read");
        if (!result)
            *error = damaged(why);
        return result;
    }

    // A folder's entries: our records, with the names the library decodes from them.
    std::shared_ptr<const Listing> listing(const Folder& folder, QString* error) const {
        const quint64 key = quint64(folder.extent) << 32 | folder.size;
        if (const auto cached = folders.constFind(key); cached != folders.cend())
            return *cached;
        const auto checked = records(folder, jolietLevel > 0, error);
        if (!checked)
            return nullptr;
        // Only now, with every length in the folder and in those above it checked, may the
        // library read it. It finds the folder by name from the root again, and the walk has
        // made sure that it picks the same entries.
        const std::unique_ptr<CdioList_t, ListFree> list(iso9660_ifs_readdir(
            iso.get(), folder.libraryPath.isEmpty() ? "/" : folder.libraryPath.constData()));
        QList<Node> nodes;
        nodes.reserve(checked->size());
        for (CdioListNode_t* at = list ? _cdio_list_begin(list.get()) : nullptr; at;
             at = _cdio_list_node_next(at)) {
            const auto* stat = static_cast<const iso9660_stat_t*>(_cdio_list_node_data(at));
            if (nodes.size() == checked->size())
                break;
            Node node;
            node.record = checked->at(nodes.size());
            if (!stat || quint32(stat->lsn) != node.record.extent ||
                stat->size != node.record.size ||
                (stat->type == iso9660_stat_s::_STAT_DIR) != node.record.isDirectory())
                break;
            node.libraryName = QByteArray(stat->filename);
            node.rockRidge = stat->rr.b3_rock == yep;
            // Rock Ridge names come from the library; it cuts Joliet names to the byte length
            // of their UCS-2 form, so those and plain names are taken from our own records.
            node.name =
                node.record.rockName ? QString::fromUtf8(node.libraryName) : node.record.name;
            const quint32 type = stat->rr.st_mode & kModeType;
            const bool plainType = type == 0 || type == kModeRegular || type == kModeDirectory;
            node.usable = !node.record.self && !(node.record.flags & iso::kAssociated) &&
                          plainType && !node.name.isEmpty() && node.name != u'.' &&
                          node.name != QStringLiteral("..");
            nodes.append(node);
        }
        if (!list || nodes.size() != checked->size() ||
            _cdio_list_length(list.get()) != unsigned(nodes.size())) {
            *error = damaged(QStringLiteral("the entries of a folder do not read consistently"));
            return nullptr;
        }
        if (folders.size() >= kMaxCachedFolders)
            folders.clear();
        auto made = std::make_shared<const Listing>(std::move(nodes), rule);
        folders.insert(key, made);
        return made;
    }

    std::optional<Folder> walk(const QStringList& parts, QString* error) const {
        if (parts.size() > kMaxDepth) {
            *error = QStringLiteral("The path %1 is deeper than %2 folders.")
                         .arg(parts.join(u'\\'))
                         .arg(kMaxDepth);
            return std::nullopt;
        }
        Folder current = root;
        QList<quint32> trail{root.extent};
        for (const QString& part : parts) {
            const auto folder = listing(current, error);
            if (!folder)
                return std::nullopt;
            const QList<Node>* nodes = &folder->nodes;
            current.shown.append(part);
            const qsizetype at = folder->find(part, true);
            const Node* node = at < 0 ? nullptr : &nodes->at(at);
            if (!node || node->libraryName.isEmpty() || node->libraryName.contains('/')) {
                *error = QStringLiteral("There is no folder %1 in the CD image %2.")
                             .arg(current.shown.join(u'\\'), native(hostPath));
                return std::nullopt;
            }
            if (trail.contains(node->record.extent)) {
                *error = damaged(QStringLiteral("folders loop back on themselves"));
                return std::nullopt;
            }
            if (libraryMatch(*nodes, node->libraryName, jolietLevel) != at) {
                *error = damaged(QStringLiteral("two entries in one folder share a name"));
                return std::nullopt;
            }
            current.extent = node->record.extent;
            current.size = node->record.size;
            current.libraryPath += '/' + node->libraryName;
            trail.append(current.extent);
        }
        return current;
    }

    std::optional<Node> locate(const QString& path, QString* error) const {
        QStringList parts = components(path);
        if (parts.isEmpty()) {
            *error = QStringLiteral("No file in the CD image %1 was named.").arg(native(hostPath));
            return std::nullopt;
        }
        const QString name = parts.takeLast();
        const auto folder = walk(parts, error);
        const auto files = folder ? listing(*folder, error) : nullptr;
        if (!files)
            return std::nullopt;
        const qsizetype at = files->find(name, false);
        if (at < 0) {
            *error = QStringLiteral("There is no file %1 in the CD image %2.")
                         .arg(path, native(hostPath));
            return std::nullopt;
        }
        return files->nodes.at(at);
    }

    QString open(const QString& path) {
        hostPath = path;
        const QFileInfo info(path);
        if (!info.exists())
            return QStringLiteral("%1 does not exist.").arg(native(path));
        // Judged by stat before any open: a FIFO or a device would block or never end.
        if (!info.isFile())
            return QStringLiteral("%1 is not a file.").arg(native(path));
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            return unreadable();
        bytes = file.size();

        const QString notImage =
            QStringLiteral("%1 is not a CD image: it has no ISO 9660 volume descriptor.")
                .arg(native(path));
        const auto primary = readAt(iso::kDescriptorSector * kSectorSize, kSectorSize);
        if (!primary || uchar(primary->at(0)) != iso::kPrimary || primary->mid(1, 5) != "CD001")
            return notImage;
        QString error;
        const auto joliet = jolietDescriptor(&error);
        if (!joliet)
            return error;
        QString why;
        auto top = iso::rootRecord(*primary, false, &why);
        if (!top)
            return damaged(why);
        root = Folder{top->extent, top->size, {}, {}};

        // Rock Ridge names are in the primary tree; the library reads the Joliet tree whenever
        // it may, so it may only where there is no Rock Ridge. A disc with Rock Ridge marks it
        // at the start of the root's "." entry.
        const auto rootRecords = records(root, false, &error);
        if (!rootRecords)
            return error;
        const bool rockRidge = !rootRecords->isEmpty() && rootRecords->first().announces;
        const quint8 level = rockRidge ? 0 : joliet->level;
        if (level > 0) {
            top = iso::rootRecord(joliet->descriptor, true, &why);
            if (!top)
                return damaged(why);
            root = Folder{top->extent, top->size, {}, {}};
        }
        quietLibrary();
        iso.reset(iso9660_open_ext(libraryPath(path).constData(),
                                   rockRidge ? ISO_EXTENSION_ROCK_RIDGE : ISO_EXTENSION_ALL));
        if (!iso)
            return notImage;
        // The library read the descriptors again: it must have found what was checked (the
        // file may have changed since).
        jolietLevel = iso9660_ifs_get_joliet_level(iso.get());
        const std::unique_ptr<iso9660_stat_t, StatFree> libraryRoot(
            iso9660_ifs_stat(iso.get(), "/"));
        if (jolietLevel != level || !libraryRoot ||
            libraryRoot->type != iso9660_stat_s::_STAT_DIR ||
            quint32(libraryRoot->lsn) != root.extent || libraryRoot->size != root.size)
            return damaged(QStringLiteral("its volume descriptors do not read consistently"));
        // A damaged root is refused now rather than at the first use.
        if (!listing(root, &error))
            return error;
        return {};
    }
};

Image::Image(std::unique_ptr<Private> d) : d(std::move(d)) {}

Image::~Image() = default;

std::unique_ptr<Image> Image::open(const QString& hostPath, NameRule rule, QString* error) {
    auto d = std::make_unique<Private>();
    d->rule = std::move(rule);
    const QString why = d->open(hostPath);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return nullptr;
    }
    return std::unique_ptr<Image>(new Image(std::move(d)));
}

std::optional<QList<Entry>> Image::list(const QString& folder, QString* error) const {
    QString why;
    const auto found = d->walk(components(folder), &why);
    const auto listed = found ? d->listing(*found, &why) : nullptr;
    if (!listed) {
        if (error)
            *error = why;
        return std::nullopt;
    }
    QList<Entry> entries;
    for (const Node& n : listed->nodes)
        if (n.usable)
            entries.append(Entry{n.name, n.record.isDirectory(),
                                 bool(n.record.flags & iso::kHidden), n.record.size});
    return entries;
}

std::optional<qint64> Image::fileSize(const QString& path) const {
    QString ignored;
    const auto node = d->locate(path, &ignored);
    return node ? std::optional<qint64>(node->record.size) : std::nullopt;
}

QString Image::read(const QString& path, const WriteChunk& write) const {
    QString error;
    const auto node = d->locate(path, &error);
    if (!node)
        return error;
    const qint64 start = qint64(node->record.extent) * kSectorSize;
    const qint64 size = node->record.size;
    if (start + size > d->bytes)
        return QStringLiteral("The CD image %1 ends inside %2: the image is incomplete.")
            .arg(native(d->hostPath), path);
    if (size > 0 && !d->file.seek(start))
        return d->unreadable();
    QByteArray buffer(kChunkSize, Qt::Uninitialized);
    for (qint64 done = 0; done < size;) {
        const qint64 want = std::min(kChunkSize, size - done);
        if (d->file.read(buffer.data(), want) != want)
            return d->unreadable();
        if (!write(buffer.constData(), want))
            return QStringLiteral("Copying %1 out of the CD image %2: write failed.")
                .arg(path, native(d->hostPath));
        done += want;
    }
    return {};
}

} // namespace discimage
