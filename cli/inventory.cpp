#include "cli/inventory.h"

#include "installation/paths.h"
#include "mediaed/mediacore.h"
#include "tricked/trickconfig.h"
#include "tricked/trickcore.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <vector>

#if defined(OVRA_HAVE_LIBCRYPTO)
#include <openssl/evp.h>
#else
#include <QCryptographicHash>
#endif

namespace cli {

namespace {

// A cryptographic digest: equal digests mean equal bytes, with no second look at the files.
// The system's crypto library has the fast SHA-256 (with the processor's SHA instructions); Qt's
// BLAKE2b is the fastest it has. Digests are never stored, so the two need not agree.
class Hasher {
public:
#if defined(OVRA_HAVE_LIBCRYPTO)
    Hasher() : ctx_(EVP_MD_CTX_new()) {}
    ~Hasher() {
        EVP_MD_CTX_free(ctx_);
    }
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;
    bool start() {
        return ctx_ && EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr) == 1;
    }
    bool add(const char* data, qint64 size) {
        return EVP_DigestUpdate(ctx_, data, size_t(size)) == 1;
    }
    QByteArray result() {
        unsigned char md[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(ctx_, md, &length) != 1)
            return {};
        return QByteArray(reinterpret_cast<const char*>(md), qsizetype(length));
    }

private:
    EVP_MD_CTX* ctx_;
#else
    bool start() {
        hash_.reset();
        return true;
    }
    bool add(const char* data, qint64 size) {
        hash_.addData(QByteArrayView(data, qsizetype(size)));
        return true;
    }
    QByteArray result() {
        return hash_.result();
    }

private:
    QCryptographicHash hash_{QCryptographicHash::Blake2b_256};
#endif
};

// Every file that takes part, installed or on the CD, read at most once; and the CD folders they
// are read from.
class Files {
public:
    struct File {
        qint64 size = -1; // -1: not there
        std::function<ovra::Result<>(const ovra::WriteChunk&)> read;
        bool wanted = false; // to be hashed
        QByteArray digest;
    };

    int installed(const std::optional<QString>& hostPath) {
        File file;
        const QFileInfo info(hostPath.value_or(QString()));
        if (hostPath && info.exists()) {
            // Anything but a regular file (a folder, a FIFO) is read all the same, to be
            // refused with its reason.
            file.size = info.isFile() ? info.size() : 0;
            file.wanted = !info.isFile();
            file.read = [path = *hostPath](const ovra::WriteChunk& write) {
                return ovra::streamRegularFile(path, write);
            };
        }
        return add(std::move(file));
    }

    // Keeps a CD folder open for as long as its files may be read.
    const ovra::CdFolder& keep(std::unique_ptr<ovra::CdFolder> folder) {
        folders_.push_back(std::move(folder));
        return *folders_.back();
    }

    int onCd(const ovra::CdFolder& folder, const QString& name) {
        File file;
        file.size = folder.size(name).value_or(-1);
        file.read = [&folder, name](const ovra::WriteChunk& write) {
            return folder.read(name, write);
        };
        return add(std::move(file));
    }

    File& operator[](int i) { return files_[std::size_t(i)]; }
    const File& operator[](int i) const { return files_[std::size_t(i)]; }
    bool equal(int a, int b) const {
        const File& x = files_[std::size_t(a)];
        const File& y = files_[std::size_t(b)];
        return x.wanted && y.wanted && x.size == y.size && x.digest == y.digest;
    }

    // Hashes every wanted file; an empty text, or the first failure.
    QString hashWanted(const Progress& progress) {
        const int total = int(
            std::count_if(files_.begin(), files_.end(), [](const File& f) { return f.wanted; }));
        Hasher hasher;
        int done = 0;
        for (File& file : files_) {
            if (!file.wanted)
                continue;
            if (!hasher.start())
                return QStringLiteral("the hash function cannot be started");
            const ovra::Result<> read =
                file.read([&](const char* data, qint64 size) { return hasher.add(data, size); });
            if (!read)
                return read.error;
            file.digest = hasher.result();
            if (file.digest.isEmpty())
                return QStringLiteral("the hash function failed");
            if (progress)
                progress(++done, total);
        }
        return {};
    }

private:
    int add(File file) {
        files_.push_back(std::move(file));
        return int(files_.size()) - 1;
    }
    std::vector<std::unique_ptr<ovra::CdFolder>> folders_;
    std::vector<File> files_;
};

struct Pair {
    int installed;
    int cd;
};

Taken failed(const QString& why) {
    Taken taken;
    taken.error = why;
    return taken;
}

// Every offered trick's installed and CD file, by position. Only a size found on both sides can
// make two files equal, so only those files are to be hashed.
std::optional<std::vector<Pair>> pairTricks(const ovra::Installation& installation,
                                            const QStringList& names, Files& files, QString* why) {
    ovra::Result<std::unique_ptr<ovra::CdFolder>> opened =
        installation.cd()->open(ovra::paths::kCdTricks);
    if (!opened) {
        *why = opened.error;
        return std::nullopt;
    }
    const ovra::CdFolder& cd = files.keep(std::move(opened.value));
    const ovra::HostFolder installed = installation.installed(&ovra::paths::trickDirectory);
    std::vector<Pair> pairs;
    QSet<qint64> cdSizes, installedSizes;
    for (const QString& name : names) {
        const Pair pair{files.installed(installed.file(name)), files.onCd(cd, name)};
        pairs.push_back(pair);
        cdSizes.insert(files[pair.cd].size);
        installedSizes.insert(files[pair.installed].size);
    }
    for (const Pair& pair : pairs)
        for (const int file : {pair.installed, pair.cd})
            if (files[file].size >= 0 && cdSizes.contains(files[file].size) &&
                installedSizes.contains(files[file].size))
                files[file].wanted = true;
    return pairs;
}

// One pick list: its entries, and the files of those it offers.
struct MediaFiles {
    QList<MediaEntry> entries; // the names it offers (Replaced until compared), then the missing
    std::vector<Pair> pairs;   // per name it offers: the installed file and the CD file
};

// The names the pick list offers, each with the CD file of the same name (both to be hashed when
// their sizes are equal), then the CD's names it lacks, up to the number it offers.
std::optional<MediaFiles> pairMedia(const ovra::Installation& installation,
                                    const mediaed::MediaCore& media, mediaed::Side side,
                                    Files& files, QString* why) {
    const mediaed::SideTable& table = mediaed::sideTable(side);
    const ovra::CdSource& source = *installation.cd();
    ovra::FileList cdList(table.pattern);
    if (const ovra::Result<> listed = source.list(table.cdFolder, cdList); !listed) {
        *why = listed.error;
        return std::nullopt;
    }
    ovra::Result<std::unique_ptr<ovra::CdFolder>> opened = source.open(table.cdFolder);
    if (!opened) {
        *why = opened.error;
        return std::nullopt;
    }
    const ovra::CdFolder& cd = files.keep(std::move(opened.value));
    const ovra::HostFolder installed = installation.installed(table.installedFolder);
    MediaFiles found;
    QSet<QString> listed;
    for (const QString& name : media.list(side).names().mid(0, table.offered)) {
        found.entries.push_back({name, MediaState::Replaced});
        listed.insert(name.toCaseFolded());
        const Pair pair{files.installed(installed.file(name)), files.onCd(cd, name)};
        found.pairs.push_back(pair);
        if (files[pair.installed].size >= 0 && files[pair.installed].size == files[pair.cd].size)
            files[pair.installed].wanted = files[pair.cd].wanted = true;
    }
    for (const QString& name : cdList.names()) {
        if (found.entries.size() >= table.offered)
            break;
        if (!listed.contains(name.toCaseFolded()))
            found.entries.push_back({name, MediaState::Missing});
    }
    return found;
}

// Each position's state, from the hashed files.
QList<TrickEntry> trickStates(const QStringList& names, const std::vector<Pair>& pairs,
                              const Files& files) {
    // Where CD tricks have the same bytes, the lowest position stands for them all.
    QHash<QByteArray, int> firstWithBytes;
    for (int i = 0; i < int(pairs.size()); ++i)
        if (files[pairs[i].cd].wanted && !firstWithBytes.contains(files[pairs[i].cd].digest))
            firstWithBytes.insert(files[pairs[i].cd].digest, i);
    QList<TrickEntry> entries;
    for (int i = 0; i < int(pairs.size()); ++i) {
        const Pair& pair = pairs[std::size_t(i)];
        TrickEntry entry{i, names[i], TrickState::Changed, -1};
        if (files[pair.installed].size < 0) {
            entry.state = TrickState::Missing;
        } else if (files.equal(pair.installed, pair.cd)) {
            entry.state = TrickState::Stock;
        } else if (files[pair.installed].wanted) {
            const auto found = firstWithBytes.constFind(files[pair.installed].digest);
            if (found != firstWithBytes.cend()) {
                entry.state = TrickState::Holds;
                entry.holds = *found;
            }
        }
        entries.push_back(entry);
    }
    return entries;
}

// The pick list's entries with the states of those it offers, from the hashed files.
QList<MediaEntry> mediaStates(const MediaFiles& media, const Files& files) {
    QList<MediaEntry> entries = media.entries;
    for (std::size_t i = 0; i < media.pairs.size(); ++i) {
        const Pair& pair = media.pairs[i];
        if (files[pair.installed].size < 0)
            entries[qsizetype(i)].state = MediaState::Missing;
        else if (files.equal(pair.installed, pair.cd))
            entries[qsizetype(i)].state = MediaState::Stock;
    }
    return entries;
}

} // namespace

Taken takeInventory(const ovra::Installation& installation, Scope scope, const Progress& progress) {
    const LoadedCore<tricked::TrickCore> tricks = loadCore<tricked::TrickCore>(installation);
    if (!tricks.loaded.ok)
        return failed(tricks.loaded.error);
    Taken taken;
    Inventory& inventory = taken.inventory;
    inventory.gameDirectory = *tricks.core->gameDirectory();
    inventory.cdDrive = *tricks.core->cdDrive();
    if (!tricks.loaded.undecodable.isEmpty())
        taken.warnings << QStringLiteral("these CD trick files have names that cannot be read and "
                                         "are left out, so the positions after them are not "
                                         "those of other players: %1")
                              .arg(tricks.loaded.undecodable.join(QStringLiteral(", ")));
    const QString gameHost = ovra::paths::hostPath(ovra::paths::GamePath(inventory.gameDirectory));
    if (!QFileInfo(gameHost).isDir())
        return failed(QStringLiteral("the game directory %1 does not exist")
                          .arg(QDir::toNativeSeparators(gameHost)));

    Files files;
    QString why;
    const QStringList names = tricks.core->offered();
    const std::optional<std::vector<Pair>> trickFiles =
        pairTricks(installation, names, files, &why);
    if (!trickFiles)
        return failed(why);

    std::optional<MediaFiles> music, movies;
    if (scope == Scope::Everything) {
        const LoadedCore<mediaed::MediaCore> media = loadCore<mediaed::MediaCore>(installation);
        // Fewer files than the pick list offers is what the missing entries tell.
        for (const mediaed::Side side : {mediaed::Side::Music, mediaed::Side::Movies})
            if (media.core->list(side).path().isEmpty())
                return failed(media.loaded.error);
        music = pairMedia(installation, *media.core, mediaed::Side::Music, files, &why);
        if (!music)
            return failed(why);
        movies = pairMedia(installation, *media.core, mediaed::Side::Movies, files, &why);
        if (!movies)
            return failed(why);
    }

    if (const QString problem = files.hashWanted(progress); !problem.isEmpty())
        return failed(problem);
    inventory.tricks = trickStates(names, *trickFiles, files);
    if (music && movies) {
        inventory.music = mediaStates(*music, files);
        inventory.movies = mediaStates(*movies, files);
    }
    taken.ok = true;
    return taken;
}

QString reproducingConfig(const Inventory& inventory, QList<TrickEntry>* leftOut) {
    QString text = tricked::unchangedConfig();
    for (const TrickEntry& entry : inventory.tricks) {
        if (entry.state == TrickState::Holds)
            tricked::replaceRecord(text, entry.position, entry.holds);
        else if (entry.state != TrickState::Stock && leftOut)
            leftOut->push_back(entry);
    }
    return text;
}

} // namespace cli
