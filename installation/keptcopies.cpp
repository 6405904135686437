#include "installation/keptcopies.h"

#include "installation/filecopy.h"
#include "installation/fileidentity.h"
#include "installation/filetexts.h"
#include "installation/logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSet>
#include <atomic>

namespace ovra {

Q_LOGGING_CATEGORY(lcKept, "ovra.kept")

using detail::native;

namespace {

constexpr qint64 kMaxJournal = qint64(256) << 20;
constexpr qint64 kMaxIndex = qint64(64) << 20;
constexpr qint64 kReadWhole = qint64(16) << 20;
constexpr qsizetype kIndexEntries = 4096; // one installation and its CD: about 1,400

using detail::FileIdentity;
using detail::fileIdentity;

struct Indexed {
    FileIdentity id;
    QByteArray hash; // hex
};

Result<QByteArray> sha256(const std::function<Result<>(const WriteChunk&)>& read) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (const Result<> done = read([&](const char* data, qint64 size) {
            hash.addData(QByteArrayView(data, qsizetype(size)));
            return true;
        });
        !done)
        return Failure{done.error, done.reason};
    return hash.result().toHex();
}

Result<QByteArray> sha256File(const QString& path) {
    return sha256([&](const WriteChunk& write) { return streamRegularFile(path, write); });
}

QString keptFile(const QString& folder, const QByteArray& hash) {
    return folder + QStringLiteral("/kept/") + QString::fromLatin1(hash);
}

bool isHash(const QByteArray& text) {
    if (text.size() != 64)
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

QString keptFolder() {
#ifdef Q_OS_WIN
    QString base = qEnvironmentVariable("LOCALAPPDATA");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/AppData/Local");
#else
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative value does not count, as the XDG base directory rules have it.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
#endif
    return QDir::cleanPath(base + QStringLiteral("/Ovra3"));
}

struct Changes::Impl {
    QString folder;
    QString command;
    QString id;
    QHash<QString, Indexed> index;
    bool indexRead = false;
    bool indexChanged = false;
    QFile journal;
    bool tornLine = false;
    QHash<QString, QByteArray> stock; // learnt in this command

    void readIndex() {
        if (std::exchange(indexRead, true))
            return;
        const Result<QByteArray> text =
            readRegularFile(folder + QStringLiteral("/index"), kMaxIndex);
        if (!text) // none yet, or unreadable: every file is hashed again
            return;
        for (const QByteArray& line : text.value.split('\n')) {
            const QList<QByteArray> f = line.split('\t');
            if (f.size() != 6 || !isHash(f[0]))
                continue;
            index.insert(QString::fromUtf8(f[5]), {{f[1].toLongLong(), f[2].toLongLong(),
                                                    f[3].toLongLong(), f[4].toLongLong()},
                                                   f[0]});
        }
    }

    Result<> writeIndex() {
        // Files gone or changed since would only be read again. Past a few installations'
        // worth of entries they are left out, one look at each, so that the index stays the
        // size of what is there.
        const bool prune = index.size() > kIndexEntries;
        QByteArray text;
        for (auto i = index.cbegin(); i != index.cend(); ++i)
            if (!prune || fileIdentity(i.key()) == std::optional<FileIdentity>(i->id))
                text += i->hash + '\t' + QByteArray::number(i->id.size) + '\t' +
                        QByteArray::number(i->id.modified) + '\t' +
                        QByteArray::number(i->id.changed) + '\t' + QByteArray::number(i->id.node) +
                        '\t' + i.key().toUtf8() + '\n';
        return writeFileAtomically(folder + QStringLiteral("/index"), text);
    }

    // The hash the index holds for `path` as it is now, else empty.
    QByteArray known(const QString& path, const FileIdentity& id) {
        readIndex();
        const auto found = index.constFind(path);
        return found != index.cend() && found->id == id ? found->hash : QByteArray();
    }
    void remember(const QString& path, const QByteArray& hash) {
        readIndex();
        if (const std::optional<FileIdentity> id = fileIdentity(path)) {
            index.insert(path, {*id, hash});
            indexChanged = true;
        }
    }

    Result<> append(QJsonObject line) {
        if (!journal.isOpen()) {
            if (!QDir().mkpath(folder))
                return failed(QStringLiteral("the folder %1 cannot be made").arg(native(folder)));
            journal.setFileName(folder + QStringLiteral("/journal"));
            if (!journal.open(QIODevice::WriteOnly | QIODevice::Append))
                return failed(QStringLiteral("the journal %1 cannot be opened: %2")
                                  .arg(native(journal.fileName()), journal.errorString()));
            // A line torn by a kill is ended first, so that it takes no new line with it.
            QFile last(journal.fileName());
            tornLine = last.open(QIODevice::ReadOnly) && last.size() > 0 &&
                       last.seek(last.size() - 1) && last.read(1) != "\n";
        }
        line.insert(QStringLiteral("id"), id);
        const QByteArray bytes = (std::exchange(tornLine, false) ? "\n" : "") +
                                 QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
        // Flushed at once: a kill after it still finds the change in the journal.
        if (journal.write(bytes) != bytes.size() || !journal.flush())
            return failed(QStringLiteral("the journal %1 cannot be written: %2")
                              .arg(native(journal.fileName()), journal.errorString()));
        return {};
    }

    // Keeps the bytes of the installed file `path` and returns their hash: one read, and none
    // when the index knows the file and its bytes are kept.
    Result<QByteArray> keep(const QString& path, const FileIdentity& id) {
        if (const QByteArray hash = known(path, id);
            !hash.isEmpty() && QFileInfo::exists(keptFile(folder, hash)))
            return hash;
        const QString kept = folder + QStringLiteral("/kept");
        if (!QDir().mkpath(kept))
            return failed(QStringLiteral("the folder %1 cannot be made").arg(native(kept)));
        // A file of common size is read once into memory, and written only when its bytes are
        // not kept yet.
        if (id.size <= kReadWhole) {
            const Result<QByteArray> bytes = readRegularFile(path, kReadWhole);
            if (!bytes)
                return failed(bytes.error);
            const QByteArray hex =
                QCryptographicHash::hash(bytes.value, QCryptographicHash::Sha256).toHex();
            const QString target = keptFile(folder, hex);
            if (!QFileInfo::exists(target))
                if (const CopyResult written = writeFileAtomically(target, bytes.value); !written)
                    return failed(written.error);
            remember(path, hex);
            return hex;
        }
        // A larger one is hashed while it is copied into the store, then named by its hash.
        const QString incoming = kept + QStringLiteral("/incoming-") + this->id;
        QCryptographicHash hash(QCryptographicHash::Sha256);
        const CopyResult copied = replaceFileWith(
            incoming,
            [&](const WriteChunk& write) {
                return streamRegularFile(path,
                                         [&](const char* data, qint64 size) {
                                             hash.addData(QByteArrayView(data, qsizetype(size)));
                                             return write(data, size);
                                         })
                    .error;
            },
            LinkPolicy::ReplaceLink);
        if (!copied) {
            QFile::remove(incoming);
            return failed(copied.error);
        }
        const QByteArray hex = hash.result().toHex();
        const QString target = keptFile(folder, hex);
        // Kept already (the same bytes under another name, or another program at once).
        if (QFileInfo::exists(target))
            QFile::remove(incoming);
        else if (!QFile::rename(incoming, target)) {
            QFile::remove(incoming);
            return failed(
                QStringLiteral("%1 cannot be kept as %2").arg(native(path), native(target)));
        }
        remember(path, hex);
        return hex;
    }
};

namespace {

QString newCommandId() {
    static std::atomic<int> commands{0};
    return QStringLiteral("%1-%2-%3")
        .arg(QDateTime::currentMSecsSinceEpoch())
        .arg(QCoreApplication::applicationPid())
        .arg(++commands);
}

thread_local const OneCommand* outer = nullptr;

} // namespace

OneCommand::OneCommand(QString command)
    : command_(std::move(command)), id_(newCommandId()), enclosing_(outer) {
    outer = this;
}

OneCommand::~OneCommand() {
    outer = enclosing_;
}

Changes::Changes(QString command, QString folder) : d_(std::make_unique<Impl>()) {
    d_->folder = std::move(folder);
    d_->command = outer ? outer->command_ : std::move(command);
    d_->id = outer ? outer->id_ : newCommandId();
}

void Changes::learnStock(const QString& target, const QByteArray& hash) {
    d_->stock.insert(target, hash);
}

namespace {

QString stockFile(const QString& folder) {
    return folder + QStringLiteral("/stock");
}

} // namespace

QHash<QString, QByteArray> recordedStock(const QString& folder) {
    QHash<QString, QByteArray> stock;
    const Result<QByteArray> text = readRegularFile(stockFile(folder), kMaxIndex);
    if (!text)
        return stock;
    for (const QByteArray& line : text.value.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab == 64 && isHash(line.left(64)))
            stock.insert(QString::fromUtf8(line.mid(65)), line.left(64));
    }
    return stock;
}

Changes::~Changes() {
    // A command that only hashed files (a status, a pack) may be the first to use the store.
    if ((!d_->stock.isEmpty() || d_->indexChanged) && !d_->folder.isEmpty())
        QDir().mkpath(d_->folder);
    if (!d_->stock.isEmpty()) {
        QHash<QString, QByteArray> stock = recordedStock(d_->folder);
        stock.insert(d_->stock);
        QByteArray text;
        for (auto i = stock.cbegin(); i != stock.cend(); ++i)
            text += i.value() + '\t' + i.key().toUtf8() + '\n';
        if (const Result<> written = writeFileAtomically(stockFile(d_->folder), text); !written)
            qCWarning(lcKept, "The stock files seen were not recorded: %s",
                      qUtf8Printable(written.error));
    }
    if (d_->indexChanged)
        if (const Result<> written = d_->writeIndex(); !written)
            qCWarning(lcKept, "The index of kept copies was not saved: %s",
                      qUtf8Printable(written.error));
}

Result<QByteArray> Changes::hashOf(const QString& hostFile) {
    if (const std::optional<FileIdentity> id = fileIdentity(hostFile))
        if (const QByteArray hash = d_->known(hostFile, *id); !hash.isEmpty())
            return hash;
    Result<QByteArray> hash = sha256File(hostFile);
    if (hash)
        d_->remember(hostFile, hash.value);
    return hash;
}

// Keeps what `target` holds and appends its change to `after` to the journal; whether it did.
bool Changes::record(const QString& target, const Result<QByteArray>& after) {
    const auto note = [&](const QString& why) {
        if (!failures_.contains(why)) {
            qCWarning(lcKept, "No copy of %s was kept: %s", qUtf8Printable(native(target)),
                      qUtf8Printable(why));
            failures_.push_back(why);
        }
    };
    QByteArray before;
    if (const std::optional<FileIdentity> id = fileIdentity(target)) {
        const Result<QByteArray> kept = d_->keep(target, *id);
        if (!kept) {
            note(kept.error);
            return false;
        }
        before = kept.value;
    } else if (QFileInfo::exists(target)) { // a folder or a special file: the copy refuses it
        return false;
    }
    if (!after) // a source that cannot be read: the copy fails as well
        return false;
    const Result<> line = d_->append(
        {{QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
         {QStringLiteral("program"), QCoreApplication::applicationName()},
         {QStringLiteral("command"), d_->command},
         {QStringLiteral("file"), target},
         {QStringLiteral("before"), QString::fromLatin1(before)},
         {QStringLiteral("after"), QString::fromLatin1(after.value)}});
    if (!line)
        note(line.error);
    return line.ok;
}

void Changes::done(const QString& target, bool journaled, bool succeeded) {
    if (!succeeded && journaled)
        if (const Result<> line =
                d_->append({{QStringLiteral("file"), target}, {QStringLiteral("failed"), true}});
            !line && !failures_.contains(line.error)) {
            qCWarning(lcKept, "%s", qUtf8Printable(line.error));
            failures_.push_back(line.error);
        }
}

CopyResult Changes::replace(const QString& target, const CopySource& source,
                            const std::function<CopyResult()>& copy) {
    // What the copy is to write, known before it writes.
    const Result<QByteArray> after = !source.sha256.isEmpty()     ? source.sha256
                                     : !source.hostFile.isEmpty() ? hashOf(source.hostFile)
                                     : source.read
                                         ? sha256(source.read)
                                         : Result<QByteArray>(failed(QStringLiteral("no source")));
    const bool journaled = record(target, after);
    const CopyResult copied = copy();
    done(target, journaled, copied.ok);
    if (copied && after)
        d_->remember(target, after.value);
    return copied;
}

CopyResult Changes::remove(const QString& target) {
    const bool journaled = record(target, QByteArray());
    QFile file(target);
    const CopyResult removed =
        file.remove() ? CopyResult()
                      : CopyResult(false, QStringLiteral("%1 cannot be removed: %2")
                                              .arg(native(target), file.errorString()));
    done(target, journaled, removed.ok);
    return removed;
}

Result<QList<RecordedCommand>> readJournal(const QString& folder) {
    QList<RecordedCommand> commands;
    const QString path = folder + QStringLiteral("/journal");
    if (!QFileInfo::exists(path)) // nothing changed yet
        return commands;
    const Result<QByteArray> text = readRegularFile(path, kMaxJournal);
    if (!text)
        return failed(text.error);
    QList<QByteArray> lines = text.value.split('\n');
    lines.removeLast(); // empty after the last newline, or a line torn by a kill
    QHash<QString, qsizetype> at;
    for (const QByteArray& line : lines) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString id = o.value(QStringLiteral("id")).toString();
        const QString file = o.value(QStringLiteral("file")).toString();
        if (id.isEmpty() || file.isEmpty())
            continue;
        if (o.value(QStringLiteral("failed")).toBool()) {
            if (const auto c = at.constFind(id); c != at.cend()) {
                QList<FileChange>& changes = commands[*c].changes;
                for (qsizetype i = changes.size() - 1; i >= 0; --i)
                    if (changes[i].file == file) {
                        changes.removeAt(i);
                        break;
                    }
            }
            continue;
        }
        const QByteArray before = o.value(QStringLiteral("before")).toString().toLatin1();
        const QByteArray after = o.value(QStringLiteral("after")).toString().toLatin1();
        if ((!before.isEmpty() && !isHash(before)) || (!after.isEmpty() && !isHash(after)) ||
            (before.isEmpty() && after.isEmpty()))
            continue;
        auto c = at.constFind(id);
        if (c == at.cend()) {
            c = at.insert(id, commands.size());
            commands.push_back({id,
                                QDateTime::fromString(o.value(QStringLiteral("time")).toString(),
                                                      Qt::ISODateWithMs),
                                o.value(QStringLiteral("program")).toString(),
                                o.value(QStringLiteral("command")).toString(),
                                {}});
        }
        commands[*c].changes.push_back({file, before, after});
    }
    commands.removeIf([](const RecordedCommand& c) { return c.changes.isEmpty(); });
    return commands;
}

qint64 keptSize(const QString& folder) {
    qint64 total = 0;
    QDirIterator it(folder + QStringLiteral("/kept"), QDir::Files | QDir::Hidden);
    while (it.hasNext())
        total += it.nextFileInfo().size();
    return total;
}

Result<QStringList> undo(int count, const QString& folder) {
    const Result<QList<RecordedCommand>> read = readJournal(folder);
    if (!read)
        return failed(read.error);
    const QList<RecordedCommand>& journal = read.value;
    if (count < 1)
        return failed(QStringLiteral("the number of commands to undo must be 1 or more"));
    if (count > journal.size())
        return failed(journal.isEmpty() ? QStringLiteral("no change is recorded")
                      : journal.size() == 1
                          ? QStringLiteral("only 1 command is recorded")
                          : QStringLiteral("only %1 commands are recorded").arg(journal.size()));
    Changes changes(count == 1 ? QStringLiteral("undo") : QStringLiteral("undo %1").arg(count),
                    folder);
    // Walks back from what the files hold now: each change must find its file as it left it.
    QHash<QString, QByteArray> now;
    QStringList order; // the files, in the order they are first met
    const auto current = [&](const QString& file) -> Result<QByteArray> {
        if (const auto found = now.constFind(file); found != now.cend())
            return *found;
        order.push_back(file);
        const QFileInfo info(file);
        if (!info.exists())
            return now[file] = QByteArray();
        Result<QByteArray> hash = changes.hashOf(file);
        if (hash)
            now[file] = hash.value;
        return hash;
    };
    QHash<QString, QByteArray> actual;
    for (qsizetype c = journal.size() - 1; c >= journal.size() - count; --c) {
        const RecordedCommand& command = journal[c];
        for (qsizetype i = command.changes.size() - 1; i >= 0; --i) {
            const FileChange& change = command.changes[i];
            const Result<QByteArray> held = current(change.file);
            if (!held)
                return failed(held.error);
            if (!actual.contains(change.file))
                actual.insert(change.file, held.value);
            if (held.value == change.after)
                now[change.file] = change.before;
            else if (held.value != change.before) // else its copy never happened
                return failed(QStringLiteral("%1 changed since %2 (%3) replaced it: nothing was "
                                             "put back")
                                  .arg(native(change.file), command.command,
                                       command.time.toLocalTime().toString(Qt::ISODate)));
        }
    }
    QStringList put;
    for (const QString& file : std::as_const(order)) {
        const QByteArray& want = now[file];
        if (want == actual.value(file))
            continue;
        put.push_back(file);
        if (want.isEmpty()) // made by the command: it goes again
            continue;
        const Result<QByteArray> kept = sha256File(keptFile(folder, want));
        if (!kept)
            return failed(
                QStringLiteral("the kept copy of %1 is missing: %2").arg(native(file), kept.error));
        if (kept.value != want)
            return failed(QStringLiteral("the kept copy of %1 (%2) is damaged: nothing was put "
                                         "back")
                              .arg(native(file), native(keptFile(folder, want))));
    }
    for (const QString& file : std::as_const(put)) {
        const QString from = keptFile(folder, now[file]);
        const CopyResult copied =
            now[file].isEmpty()
                ? changes.remove(file)
                : changes.replace(file, {from, {}}, [&] { return replaceFile(from, file); });
        if (!copied)
            return failed(QStringLiteral("%1 (of %2 files put back before it)")
                              .arg(copied.error)
                              .arg(put.indexOf(file)));
    }
    return put;
}

KeptRestore
restoreFromKept(const QString& installed, const QString& command,
                const std::function<std::optional<QByteArray>(const QString& name)>& cdHash,
                const QString& folder) {
    KeptRestore result;
    const QHash<QString, QByteArray> stock = recordedStock(folder);
    Changes changes(command, folder);
    // The recorded files of this folder, as the host spells it (Windows: in any case).
    const QDir dir(installed);
    QList<std::pair<QString, QByteArray>> here;
    QSet<QString> names;
    for (auto i = stock.cbegin(); i != stock.cend(); ++i) {
        const QFileInfo file(i.key());
        if (QDir(file.absolutePath()) == dir) {
            here.push_back({i.key(), i.value()});
            names.insert(file.fileName().toLower());
        }
    }
    for (const QString& name : dir.entryList(QDir::Files))
        if (!names.contains(name.toLower()) && !(cdHash && cdHash(name)))
            result.unknown.push_back(dir.filePath(name));
    for (const std::pair<QString, QByteArray>& entry : std::as_const(here)) {
        const QString& file = entry.first;
        QByteArray want = entry.second;
        if (cdHash)
            want = cdHash(QFileInfo(file).fileName()).value_or(want);
        const Result<QByteArray> held =
            QFileInfo(file).isFile() ? changes.hashOf(file) : Result<QByteArray>(QByteArray());
        if (held && held.value == want)
            continue;
        const QString from = keptFile(folder, want);
        const Result<QByteArray> kept = sha256File(from);
        if (!kept || kept.value != want) {
            result.missing.push_back(file);
            continue;
        }
        if (changes.replace(file, {from, {}}, [&] { return replaceFile(from, file); }))
            result.put.push_back(file);
        else
            result.missing.push_back(file);
    }
    std::sort(result.put.begin(), result.put.end());
    std::sort(result.missing.begin(), result.missing.end());
    return result;
}

Result<Forgotten> forget(int days, const QString& folder) {
    Forgotten result;
    const QDateTime cutoff = QDateTime::currentDateTimeUtc().addDays(-days);
    const Result<QList<RecordedCommand>> read = readJournal(folder);
    if (!read)
        return failed(read.error);
    const QList<RecordedCommand>& journal = read.value;
    const QHash<QString, QByteArray> stock = recordedStock(folder);
    const QSet<QByteArray> stockHashes(stock.cbegin(), stock.cend());
    // Bytes that are no stock (as far as any CD seen tells) are kept nowhere else, and the
    // commands that kept them stay, so that undo can still reach them.
    QSet<QByteArray> irreplaceable;
    for (const RecordedCommand& command : journal)
        for (const FileChange& change : command.changes)
            if (!change.before.isEmpty() && !stockHashes.contains(change.before))
                irreplaceable.insert(change.before);
    QSet<QByteArray> needed;
    QSet<QString> forgottenIds;
    for (const RecordedCommand& command : journal) {
        const bool holds =
            std::any_of(command.changes.cbegin(), command.changes.cend(),
                        [&](const FileChange& c) { return irreplaceable.contains(c.before); });
        if (command.time.isValid() && command.time < cutoff && !holds) {
            forgottenIds.insert(command.id);
            continue;
        }
        if (command.time < cutoff)
            ++result.protectedCommands;
        for (const FileChange& change : command.changes)
            needed << change.before << change.after;
    }
    // The journal first: a copy is removed only once no line that stays names it.
    if (!forgottenIds.isEmpty()) {
        const Result<QByteArray> text =
            readRegularFile(folder + QStringLiteral("/journal"), kMaxJournal);
        if (!text)
            return failed(text.error);
        QByteArray kept;
        for (const QByteArray& line : text.value.split('\n')) {
            if (line.isEmpty())
                continue;
            const QString id = QJsonDocument::fromJson(line)[QStringLiteral("id")].toString();
            if (!forgottenIds.contains(id))
                kept += line + '\n';
        }
        if (const CopyResult written =
                writeFileAtomically(folder + QStringLiteral("/journal"), kept);
            !written)
            return failed(written.error);
        result.commands = int(forgottenIds.size());
    }
    QDirIterator it(folder + QStringLiteral("/kept"), QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QFileInfo file = it.nextFileInfo();
        const QByteArray name = file.fileName().toLatin1();
        if (needed.contains(name) || file.lastModified().toUTC() >= cutoff)
            continue;
        if (QFile::remove(file.filePath())) {
            ++result.copies;
            result.bytes += file.size();
        }
    }
    return result;
}

} // namespace ovra
