#include "cli/packcommand.h"

#include "cli/inventory.h"
#include "cli/setuppack.h"
#include "installation/keptcopies.h"
#include "installation/logging.h"
#include "mediaed/catalogue.h"
#include "mediaed/mediacore.h"
#include "mediaed/stocktable.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "tricked/trickcore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

namespace cli {

namespace {

enum class Action { Create, Show, Apply };

std::optional<Action> actionNamed(const QString& word) {
    if (word == QLatin1String("create"))
        return Action::Create;
    if (word == QLatin1String("show"))
        return Action::Show;
    if (word == QLatin1String("apply"))
        return Action::Apply;
    return std::nullopt;
}

const QCommandLineOption& kindOption(PackKind kind) {
    static const QCommandLineOption options[] = {
        {QStringLiteral("tricks"), QStringLiteral("create: the trick swaps (as a Trick Config).")},
        {QStringLiteral("music"),
         QStringLiteral("create: the replaced music files and the soundtrack's captions.")},
        {QStringLiteral("movies"), QStringLiteral("create: the replaced movies.")}};
    return options[int(kind)];
}

constexpr PackKind kKinds[] = {PackKind::Tricks, PackKind::Music, PackKind::Movies};

mediaed::Side sideOf(PackKind kind) {
    return kind == PackKind::Music ? mediaed::Side::Music : mediaed::Side::Movies;
}

QString plural(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// The slot whose stock file a music member replaces; -1 for none.
int slotOf(const PackMember& member) {
    return member.kind == PackKind::Music
               ? mediaed::slotOfStockFile(member.name, Qt::CaseInsensitive)
               : -1;
}

int create(const ovra::Installation& installation, const Args& args, Console& console) {
    const QString file = args.second;
    if (!file.endsWith(QLatin1String(".o3pack"), Qt::CaseInsensitive)) {
        console.error(QStringLiteral("a setup pack is written to a file named NAME.o3pack, not %1")
                          .arg(shownPath(file)));
        return kError;
    }
    bool any = false;
    for (const PackKind kind : kKinds)
        any = any || args.parser.isSet(kindOption(kind));
    const auto wanted = [&](PackKind kind) { return !any || args.parser.isSet(kindOption(kind)); };

    const std::optional<Inventory> found = cli::inventory(installation, Scope::Everything, console);
    if (!found)
        return kError;
    const Inventory& inventory = *found;

    PackManifest manifest;
    manifest.program = QStringLiteral("ovra3 %1").arg(QCoreApplication::applicationVersion());
    QStringList sources;
    ovra::Changes hashes{QString()}; // hashes only: nothing is replaced, nothing recorded
    const auto add = [&](PackKind kind, const QString& name, const QString& host) {
        const ovra::Result<QByteArray> hash = hashes.hashOf(host);
        if (!hash) {
            console.error(hash.error);
            return false;
        }
        manifest.members << PackMember{kind, name, QFileInfo(host).size(), hash.value};
        sources << host;
        return true;
    };

    int leftOut = 0;
    QTemporaryDir scratch;
    if (wanted(PackKind::Tricks)) {
        QList<TrickEntry> notReproduced;
        const QString config = reproducingConfig(inventory, &notReproduced);
        for (const TrickEntry& entry : notReproduced)
            console.warning(QStringLiteral("trick %1 (%2) is %3 and is left out of the pack")
                                .arg(entry.position)
                                .arg(entry.name, entry.state == TrickState::Missing
                                                     ? QStringLiteral("missing")
                                                     : QStringLiteral("changed")));
        leftOut += int(notReproduced.size());
        if (config != tricked::unchangedConfig()) {
            QString name = QFileInfo(file).completeBaseName() + QStringLiteral(".tcg");
            if (!ovra::paths::isPlainFileName(name))
                name = QStringLiteral("setup.tcg");
            const QString path = scratch.filePath(name);
            if (const ovra::CopyResult saved = ovra::writeFileAtomically(path, rtf::write(config));
                !scratch.isValid() || !saved) {
                console.error(QStringLiteral("the Trick Config cannot be written to a temporary "
                                             "folder: %1")
                                  .arg(scratch.isValid() ? saved.error : scratch.errorString()));
                return kError;
            }
            if (!add(PackKind::Tricks, name, path))
                return kError;
        }
    }
    for (const PackKind kind : {PackKind::Music, PackKind::Movies}) {
        if (!wanted(kind))
            continue;
        const ovra::HostFolder folder =
            installation.installed(mediaed::sideTable(sideOf(kind)).installedFolder);
        for (const MediaEntry& entry :
             kind == PackKind::Music ? inventory.music : inventory.movies) {
            if (entry.state != MediaState::Replaced)
                continue;
            const std::optional<QString> host = folder.file(entry.name);
            if (!host || !add(kind, entry.name, *host))
                return kError;
        }
    }
    if (wanted(PackKind::Music)) {
        // A slot file that cannot be read stands for its stock caption, as in the window.
        mediaed::Catalogue catalogue(installation.programFolder().beside());
        catalogue.load();
        manifest.captions = catalogue.captions();
    }

    if (manifest.members.isEmpty()) {
        console.error(QStringLiteral("nothing of what was asked for differs from the CD: no "
                                     "setup pack was written"));
        return kError;
    }
    if (const ovra::Result<> written = writePack(file, manifest, sources); !written) {
        console.error(written.error);
        return kError;
    }
    // Read back as a receiver would: a file that changed while it was packed is caught here.
    if (const ovra::Result<std::unique_ptr<OpenedPack>> check = openPack(file); !check) {
        QFile::remove(file);
        console.error(QStringLiteral("the setup pack was not kept: %1").arg(check.error));
        return kError;
    }
    qsizetype counts[3] = {};
    for (const PackMember& m : manifest.members)
        ++counts[int(m.kind)];
    console.out() << QStringLiteral("Wrote %1: %2, %3, %4.\n")
                         .arg(shownPath(file),
                              counts[0] ? QStringLiteral("the trick swaps")
                                        : QStringLiteral("no trick swaps"),
                              plural(counts[1], "music file", "music files"),
                              plural(counts[2], "movie", "movies"));
    return leftOut ? kDiffers : kSuccess;
}

// A pack checked against this installation: where each member goes, and what the Trick Config
// would do. Nothing is written while it is made.
struct Plan {
    std::unique_ptr<OpenedPack> pack;
    LoadedCore<tricked::TrickCore> tricks;
    LoadedCore<mediaed::MediaCore> media;
    QStringList targets; // per member: its installed file (host path); empty for the Trick Config
    int config = -1;     // the Trick Config's member
    std::unique_ptr<QTemporaryDir> scratch;
    QString configPath; // the Trick Config written out, under its own name, for the editor's Open
    int swaps = 0;
};

std::optional<Plan> plan(const ovra::Installation& installation, const QString& file,
                         Console& console) {
    Plan p;
    ovra::Result<std::unique_ptr<OpenedPack>> opened = openPack(file);
    if (!opened) {
        console.error(opened.error + QStringLiteral(". Nothing was changed."));
        return std::nullopt;
    }
    p.pack = std::move(opened.value);
    const PackManifest& manifest = p.pack->manifest();
    const auto refuse = [&](const PackMember& member, const QString& why) {
        console.error(QStringLiteral("%1 cannot be applied here: member \"%2\" %3. Nothing was "
                                     "changed.")
                          .arg(shownPath(file), ovra::printable(memberPath(member)), why));
        return std::nullopt;
    };
    bool tricks = false, media = false;
    for (const PackMember& m : manifest.members)
        (m.kind == PackKind::Tricks ? tricks : media) = true;
    if (tricks) {
        p.tricks = loadCore<tricked::TrickCore>(installation);
        if (!p.tricks.loaded.ok) {
            console.error(p.tricks.loaded.error);
            return std::nullopt;
        }
    }
    if (media) {
        p.media = loadCore<mediaed::MediaCore>(installation);
        if (!p.media.loaded.ok) {
            console.error(p.media.loaded.error);
            return std::nullopt;
        }
    }
    qint64 needed[2] = {};
    for (int i = 0; i < manifest.members.size(); ++i) {
        const PackMember& m = manifest.members[i];
        if (m.kind == PackKind::Tricks) {
            p.config = i;
            p.targets << QString();
            if (m.size > rtf::kMaxDocumentSize)
                return refuse(m, QStringLiteral("is larger than a Trick Config can be"));
            QByteArray bytes;
            if (const ovra::Result<> read = p.pack->read(i,
                                                         [&](const char* data, qint64 size) {
                                                             bytes.append(data, size);
                                                             return true;
                                                         });
                !read)
                return refuse(m, read.reason);
            p.scratch = std::make_unique<QTemporaryDir>();
            p.configPath = p.scratch->filePath(m.name);
            const ovra::CopyResult saved = p.scratch->isValid()
                                               ? ovra::writeFileAtomically(p.configPath, bytes)
                                               : ovra::CopyResult(false, p.scratch->errorString());
            if (!saved) {
                console.error(QStringLiteral("the Trick Config cannot be written to a temporary "
                                             "folder: %1. Nothing was changed.")
                                  .arg(saved.error));
                return std::nullopt;
            }
            const tricked::TrickCore::Checked parsed = p.tricks.core->checkConfig(p.configPath);
            if (parsed.outcome == tricked::TrickCore::Opened::Unreadable)
                return refuse(
                    m,
                    QStringLiteral("is not a Trick Config that can be read: %1").arg(parsed.error));
            if (parsed.outcome != tricked::TrickCore::Opened::Applied)
                return refuse(m, QStringLiteral("is a Trick Config that cannot be used here: %1")
                                     .arg(parsed.error));
            p.swaps = int(parsed.swaps.size());
            continue;
        }
        const mediaed::Side side = sideOf(m.kind);
        const QStringList offered =
            p.media.core->list(side).names().mid(0, mediaed::sideTable(side).offered);
        const auto at = std::find_if(offered.begin(), offered.end(), [&](const QString& name) {
            return name.compare(m.name, Qt::CaseInsensitive) == 0;
        });
        const std::optional<QString> target =
            at == offered.end()
                ? std::nullopt
                : installation.installed(mediaed::sideTable(side).installedFolder).file(*at);
        if (!target)
            return refuse(m, QStringLiteral("names no %1 file of this installation")
                                 .arg(m.kind == PackKind::Music ? "music" : "movie"));
        p.targets << *target;
        needed[int(side)] += m.size;
    }
    // Each file is written next to the one it replaces before it is renamed over it.
    for (const mediaed::Side side : {mediaed::Side::Music, mediaed::Side::Movies}) {
        const QString folder =
            installation.installed(mediaed::sideTable(side).installedFolder).hostPath();
        const QStorageInfo storage(folder);
        if (needed[int(side)] > 0 && storage.isValid() &&
            needed[int(side)] > storage.bytesAvailable()) {
            console.error(
                QStringLiteral("%1 cannot be applied here: its %2 files need %3 bytes "
                               "and %4 has %5 free. Nothing was changed.")
                    .arg(shownPath(file), side == mediaed::Side::Music ? "music" : "movie")
                    .arg(needed[int(side)])
                    .arg(shownPath(folder))
                    .arg(storage.bytesAvailable()));
            return std::nullopt;
        }
    }
    return p;
}

int show(const ovra::Installation& installation, const Args& args, Console& console) {
    const std::optional<Plan> p = plan(installation, args.second, console);
    if (!p)
        return kError;
    const PackManifest& manifest = p->pack->manifest();
    console.out() << QStringLiteral("%1, written by %2:\n")
                         .arg(shownPath(args.second), ovra::printable(manifest.program));
    ovra::Changes hashes{QString()};
    for (int i = 0; i < manifest.members.size(); ++i) {
        const PackMember& m = manifest.members[i];
        if (m.kind == PackKind::Tricks) {
            console.out() << QStringLiteral("  tricks  %1: %2\n")
                                 .arg(ovra::printable(m.name), plural(p->swaps, "swap", "swaps"));
            continue;
        }
        const ovra::Result<QByteArray> installed = hashes.hashOf(p->targets[i]);
        console.out() << QStringLiteral("  %1  %2: %3\n")
                             .arg(kindWord(m.kind), -6)
                             .arg(ovra::printable(m.name),
                                  installed && installed.value == m.sha256
                                      ? QStringLiteral("installed already")
                                      : QStringLiteral("replaces the installed file"));
        if (const int slot = slotOf(m); slot >= 0 && !manifest.captions.isEmpty())
            console.out() << QStringLiteral("          slot %1: \"%2\"\n")
                                 .arg(slot + 1)
                                 .arg(ovra::printable(manifest.captions[slot]));
    }
    return kSuccess;
}

int apply(const ovra::Installation& installation, const Args& args, Console& console) {
    const QString& file = args.second;
    std::optional<Plan> p = plan(installation, file, console);
    if (!p)
        return kError;
    const PackManifest& manifest = p->pack->manifest();
    const ovra::OneCommand one(QStringLiteral("pack apply %1").arg(QFileInfo(file).fileName()));
    int failures = 0;
    const auto failed = [&](const QString& why) {
        console.error(why);
        ++failures;
    };

    if (p->config >= 0) {
        // The Trick Config goes through the trick editor's own Open, under its own name.
        const tricked::TrickCore::Opened opened = p->tricks.core->openConfig(
            p->configPath, [&](const ovra::CopyResult& swap) { failed(swap.error); });
        if (opened.outcome != tricked::TrickCore::Opened::Applied) {
            console.error(QStringLiteral("the trick swaps of %1 cannot be made: %2 Nothing was "
                                         "changed.")
                              .arg(shownPath(file), opened.error));
            return kError;
        }
        console.out() << QStringLiteral("Made %1.\n").arg(plural(opened.swaps, "swap", "swaps"));
    }

    ovra::Changes changes(QStringLiteral("pack apply"));
    mediaed::Catalogue catalogue(installation.programFolder().beside());
    QList<int> named;
    int copied = 0;
    for (int i = 0; i < manifest.members.size(); ++i) {
        const PackMember& m = manifest.members[i];
        if (m.kind == PackKind::Tricks)
            continue;
        const QString& target = p->targets[i];
        const auto produce = [&](const ovra::WriteChunk& write) {
            const ovra::Result<> read = p->pack->read(i, write);
            return read ? QString() : read.error;
        };
        const ovra::CopyResult done = changes.replace(target, {{}, {}, m.sha256}, [&] {
            return ovra::replaceFileWith(target, produce, ovra::LinkPolicy::ReplaceLink);
        });
        if (!done) {
            failed(QStringLiteral("%1 was not replaced: %2").arg(shownPath(target), done.error));
            continue;
        }
        ++copied;
        if (const int slot = slotOf(m); slot >= 0 && !manifest.captions.isEmpty())
            named << slot;
    }
    if (!named.isEmpty()) {
        // The captions of the slots whose songs came with the pack; the slot files are recorded
        // like the game's, so that an undo puts the old captions back too.
        catalogue.load();
        for (const int slot : named) {
            catalogue.setSlot(slot, manifest.captions[slot]);
            const QString path = catalogue.slotFilePath(slot);
            const QByteArray bytes = catalogue.slotFileBytes(slot);
            const ovra::CopyResult done = changes.replace(
                path, {{}, {}, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()},
                [&] {
                    QDir().mkpath(catalogue.dataFolder());
                    return ovra::writeFileAtomically(path, bytes);
                });
            if (!done)
                failed(QStringLiteral("the caption of slot %1 was not saved: %2")
                           .arg(slot + 1)
                           .arg(done.error));
        }
    }
    console.out() << QStringLiteral("Applied %1: %2 replaced, %3 named")
                         .arg(shownPath(file), plural(copied, "file", "files"),
                              plural(named.size(), "slot", "slots"))
                  << (failures ? QStringLiteral(", %1 failed.\n").arg(failures)
                               : QStringLiteral(".\n"));
    return failures ? kDiffers : kSuccess;
}

} // namespace

QString refusesPackAction(const QString& action) {
    return actionNamed(action) ? QString()
                               : QStringLiteral("pack what? \"%1\" is not create, show or apply")
                                     .arg(ovra::printable(action));
}

const QList<QCommandLineOption>& packOptions() {
    static const QList<QCommandLineOption> options{
        kindOption(PackKind::Tricks), kindOption(PackKind::Music), kindOption(PackKind::Movies)};
    return options;
}

int pack(const ovra::Installation& installation, const Args& args, Console& console) {
    switch (*actionNamed(args.argument)) {
    case Action::Create:
        return create(installation, args, console);
    case Action::Show:
        return show(installation, args, console);
    case Action::Apply:
        return apply(installation, args, console);
    }
    return kError;
}

} // namespace cli
