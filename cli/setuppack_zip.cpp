#include "cli/setuppack.h"

#include "installation/logging.h"
#include "installation/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <zip.h>

// Setup packs through libzip: it reads and writes zip files alone (no tar, cpio or other formats
// to rule out), tells each entry's sizes, method and attributes before a byte is unpacked, checks
// the zip's checksums while reading, and writes a new zip to a temporary file that replaces the
// old one only once it is whole.
namespace cli {

namespace {

QByteArray zipPath(const QString& file) {
#if defined(Q_OS_WIN)
    return file.toUtf8(); // libzip takes UTF-8 file names on Windows
#else
    return QFile::encodeName(file);
#endif
}

QString errorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

QString quoted(const QString& name) {
    return u'"' + ovra::printable(name) + u'"';
}

ovra::Failure memberFails(const QString& name, const QString& why) {
    return ovra::failed(QStringLiteral("member %1 %2").arg(quoted(name), why));
}

constexpr qint64 kChunk = 256 * 1024;

// Streams entry `index` through `write`, stopping with a failure past `limit` bytes. Counts the
// bytes and hashes them on the way.
struct Streamed {
    qint64 size = 0;
    QByteArray sha256;
};
ovra::Result<Streamed> stream(zip_t* zip, zip_uint64_t index, const QString& name, qint64 limit,
                              const ovra::WriteChunk& write) {
    zip_file_t* file = zip_fopen_index(zip, index, 0);
    if (!file)
        return memberFails(
            name, QStringLiteral("cannot be read: %1").arg(QString::fromUtf8(zip_strerror(zip))));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    Streamed streamed;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer.data(), zip_uint64_t(buffer.size()));
        if (got < 0) {
            const QString why = QString::fromUtf8(zip_file_strerror(file));
            zip_fclose(file);
            return memberFails(name, QStringLiteral("cannot be read: %1").arg(why));
        }
        if (got == 0)
            break;
        streamed.size += got;
        if (streamed.size > limit) {
            zip_fclose(file);
            return memberFails(name,
                               QStringLiteral("holds more than the %1 bytes it claims").arg(limit));
        }
        hash.addData(QByteArrayView(buffer.constData(), got));
        if (write && !write(buffer.constData(), got)) {
            zip_fclose(file);
            return memberFails(name, QStringLiteral("could not be written out"));
        }
    }
    zip_fclose(file);
    streamed.sha256 = hash.result().toHex();
    return streamed;
}

class ZipPack : public OpenedPack {
public:
    explicit ZipPack(zip_t* zip) : zip_(zip) {}
    ~ZipPack() override { zip_discard(zip_); }

    ovra::Result<> check();
    const PackManifest& manifest() const override { return manifest_; }
    ovra::Result<> read(int i, const ovra::WriteChunk& write) const override;

private:
    ovra::Result<> checkMember(int i) const;

    zip_t* zip_;
    PackManifest manifest_;
    QList<zip_uint64_t> index_; // each manifest member's entry
};

ovra::Result<> ZipPack::check() {
    const zip_int64_t count = zip_get_num_entries(zip_, 0);
    if (count < 0 || count > kMaxPackMembers + 1)
        return ovra::failed(
            QStringLiteral("it holds %1 files, more than %2").arg(count).arg(kMaxPackMembers));
    QHash<QString, zip_uint64_t> entries;
    QSet<QString> folded;
    std::optional<zip_uint64_t> manifestEntry;
    for (zip_uint64_t i = 0; i < zip_uint64_t(count); ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip_, i, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
            return ovra::failed(QStringLiteral("file %1 of the zip cannot be read: %2")
                                    .arg(i + 1)
                                    .arg(QString::fromUtf8(zip_strerror(zip_))));
        const QString name = QString::fromUtf8(st.name);
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(zip_, i, 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX) {
            const zip_uint32_t type = (attributes >> 16) & 0170000;
            if (type == 0120000)
                return memberFails(name, QStringLiteral("is a symbolic link"));
            if (type != 0 && type != 0100000)
                return memberFails(name, QStringLiteral("is not a regular file"));
        }
        if (name.endsWith(u'/'))
            return memberFails(name, QStringLiteral("is a folder"));
        const QString folder = name.section(u'/', 0, 0);
        const QString file = name.section(u'/', 1);
        const bool known = folder == QLatin1String("tricks") || folder == QLatin1String("music") ||
                           folder == QLatin1String("movies");
        if (name != QLatin1String("manifest.json") &&
            !(known && ovra::paths::isPlainFileName(file)))
            return memberFails(name, QStringLiteral("is not named tricks/, music/ or movies/ "
                                                    "followed by a plain file name"));
        if (entries.contains(name) || folded.contains(name.toCaseFolded()))
            return memberFails(name, QStringLiteral("is in the zip twice"));
        entries.insert(name, i);
        folded.insert(name.toCaseFolded());
        if (st.encryption_method != ZIP_EM_NONE)
            return memberFails(name, QStringLiteral("is encrypted"));
        if (!zip_compression_method_supported(st.comp_method, 0))
            return memberFails(name, QStringLiteral("is packed with a method that cannot be "
                                                    "read (%1)")
                                         .arg(st.comp_method));
        if (st.size > zip_uint64_t(kMaxPackMemberSize))
            return memberFails(name, QStringLiteral("claims %1 bytes, more than %2")
                                         .arg(st.size)
                                         .arg(kMaxPackMemberSize));
        if (st.size > 0 && st.size >= zip_uint64_t(kMaxPackRatio) * st.comp_size)
            return memberFails(name, QStringLiteral("would unpack %1 bytes from %2, %3 times its "
                                                    "size or more (a zip bomb)")
                                         .arg(st.size)
                                         .arg(st.comp_size)
                                         .arg(kMaxPackRatio));
        if (name == QLatin1String("manifest.json"))
            manifestEntry = i;
    }
    if (!manifestEntry)
        return ovra::failed(QStringLiteral("it holds no manifest.json"));

    QByteArray json;
    const ovra::Result<Streamed> read =
        stream(zip_, *manifestEntry, QStringLiteral("manifest.json"), kMaxManifestSize,
               [&](const char* data, qint64 size) {
                   json.append(data, size);
                   return true;
               });
    if (!read)
        return ovra::failed(read.error);
    ovra::Result<PackManifest> manifest = readManifest(json);
    if (!manifest)
        return ovra::failed(manifest.error);
    manifest_ = std::move(manifest.value);

    entries.remove(QStringLiteral("manifest.json"));
    for (const PackMember& member : manifest_.members) {
        const QString path = memberPath(member);
        if (!entries.contains(path))
            return ovra::failed(QStringLiteral("the manifest names %1, which the zip does not "
                                               "hold")
                                    .arg(quoted(path)));
        index_ << entries.take(path);
    }
    if (!entries.isEmpty())
        return memberFails(entries.keys().first(), QStringLiteral("is not in the manifest"));
    for (int i = 0; i < manifest_.members.size(); ++i)
        if (const ovra::Result<> checked = checkMember(i); !checked)
            return checked;
    return {};
}

ovra::Result<> ZipPack::checkMember(int i) const {
    const PackMember& member = manifest_.members[i];
    zip_stat_t st;
    zip_stat_init(&st);
    zip_stat_index(zip_, index_[i], 0, &st);
    if (qint64(st.size) != member.size)
        return memberFails(
            memberPath(member),
            QStringLiteral("is %1 bytes; the manifest says %2").arg(st.size).arg(member.size));
    return read(i, {});
}

ovra::Result<> ZipPack::read(int i, const ovra::WriteChunk& write) const {
    const PackMember& member = manifest_.members[i];
    const QString name = memberPath(member);
    const ovra::Result<Streamed> streamed = stream(zip_, index_[i], name, member.size, write);
    if (!streamed)
        return ovra::failed(streamed.error);
    if (streamed.value.size != member.size)
        return memberFails(name, QStringLiteral("holds %1 bytes; the manifest says %2")
                                     .arg(streamed.value.size)
                                     .arg(member.size));
    if (streamed.value.sha256 != member.sha256)
        return memberFails(name, QStringLiteral("does not hold the bytes the manifest gives it "
                                                "(its SHA-256 differs)"));
    return {};
}

} // namespace

ovra::Result<std::unique_ptr<OpenedPack>> openPack(const QString& file) {
    const QString shown = ovra::printable(QDir::toNativeSeparators(file));
    // A stranger's file: a FIFO or a device is refused before it is opened.
    if (!ovra::regularFileSize(file, true))
        return ovra::failed(
            QStringLiteral("%1 is not a setup pack: it is no regular file").arg(shown));
    int code = 0;
    zip_t* zip = zip_open(zipPath(file).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!zip)
        return ovra::failed(QStringLiteral("%1 is not a setup pack that can be read: the zip "
                                           "cannot be opened (%2)")
                                .arg(shown, code == ZIP_ER_EXISTS
                                                ? QStringLiteral("two of its files have one name")
                                                : errorText(code)));
    auto pack = std::make_unique<ZipPack>(zip);
    if (const ovra::Result<> checked = pack->check(); !checked)
        return ovra::failed(
            QStringLiteral("%1 is not a setup pack that can be used: %2").arg(shown, checked.error),
            checked.error);
    return std::unique_ptr<OpenedPack>(std::move(pack));
}

ovra::Result<> writePack(const QString& file, const PackManifest& manifest,
                         const QStringList& sources) {
    const QString shown = ovra::printable(QDir::toNativeSeparators(file));
    int code = 0;
    zip_t* zip = zip_open(zipPath(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip)
        return ovra::failed(QStringLiteral("%1 cannot be written: %2").arg(shown, errorText(code)));
    const auto fail = [&](const QString& what) {
        const QString why = QString::fromUtf8(zip_strerror(zip));
        zip_discard(zip); // the old file, if any, stays as it was
        return ovra::failed(QStringLiteral("%1 cannot be written: %2: %3").arg(shown, what, why));
    };
    const QByteArray json = manifestJson(manifest); // outlives zip_close, which reads it
    zip_source_t* source = zip_source_buffer(zip, json.constData(), zip_uint64_t(json.size()), 0);
    if (!source || zip_file_add(zip, "manifest.json", source, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        return fail(QStringLiteral("manifest.json"));
    }
    for (int i = 0; i < manifest.members.size(); ++i) {
        const PackMember& member = manifest.members[i];
        const QString path = memberPath(member);
        source = zip_source_file(zip, zipPath(sources.value(i)).constData(), 0, -1);
        const zip_int64_t added =
            source ? zip_file_add(zip, path.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (added < 0) {
            zip_source_free(source);
            return fail(path);
        }
        // Music and movies are compressed already: stored, they unpack at copying speed.
        if (member.kind != PackKind::Tricks &&
            zip_set_file_compression(zip, zip_uint64_t(added), ZIP_CM_STORE, 0) != 0)
            return fail(path);
    }
    if (zip_close(zip) != 0)
        return fail(QStringLiteral("writing the zip"));
    return {};
}

} // namespace cli
