#include "mediaed/mediacore.h"

#include "installation/installsettings.h"
#include "installation/paths.h"
#include "installation/temporaries.h"
#include "mediaed/mediaedlog.h"

#include <QDir>

namespace mediaed {

Q_LOGGING_CATEGORY(lcMediaEd, "ovra.mediaed")

const SideTable& sideTable(Side side) {
    static const SideTable tables[] = {
        {QStringLiteral("*.mus"), 22,
         QStringLiteral("MP3 Audio (*.mp3)|*.mp3|MUS format (*.mus)|*.mus"),
         &ovra::paths::musicDirectory, ovra::paths::kCdMusic},
        {QStringLiteral("*.mpg"), 29, QStringLiteral("MPEG movies (*.mpg)|*.mpg"),
         &ovra::paths::moviesDirectory, ovra::paths::kCdMovies},
    };
    return tables[std::size_t(side)];
}

float restoreProgress(int i, int last) {
    return float(double(i) * (100.0 / double(last)));
}

MediaCore::MediaCore(QString programDir) : programDir_(std::move(programDir)) {}

MediaCore::Loaded MediaCore::load() {
    return load(ovra::Installation::open(programDir_));
}

MediaCore::Loaded MediaCore::load(ovra::Installation installation) {
    installation_ = std::move(installation);
    Loaded loaded;
    if (installation_.complete())
        loaded = loadLists();
    else
        loaded.error = installation_.error();
    if (!loaded.ok)
        qCWarning(lcMediaEd, "Start-up stopped: %s; ovra3 doctor tells how to mend it.",
                  qUtf8Printable(loaded.error));
    return loaded;
}

MediaCore::Loaded MediaCore::loadLists() {
    Loaded result;
    for (Side side : {Side::Music, Side::Movies}) {
        const ovra::paths::GamePath folder = sideTable(side).installedFolder(*gameDirectory());
        ovra::FileList& list = lists_[std::size_t(side)];
        if (!list.setPath(folder)) {
            result.error =
                QStringLiteral("the folder %1 cannot be read").arg(ovra::paths::shown(folder));
            return result;
        }
        listed_[std::size_t(side)] = true;
        // A copy killed part-way leaves its temporary file beside the installed ones.
        ovra::removeStaleTemporaries(ovra::paths::hostPath(folder));
        // Left out of the list, so the names after them are offered one place earlier.
        for (const QString& name : list.undecodable())
            qCWarning(lcMediaEd, "\"%s\" in %s is left out of the list: its name is not UTF-8.",
                      qUtf8Printable(name), qUtf8Printable(ovra::paths::shown(folder)));
    }
    for (Side side : {Side::Music, Side::Movies}) {
        const int offered = sideTable(side).offered;
        const ovra::FileList& list = lists_[std::size_t(side)];
        result.offered[std::size_t(side)] = list.names().mid(0, offered);
        if (list.count() < offered) {
            result.error = QStringLiteral("the folder %1 holds %2 files of %3, not %4")
                               .arg(ovra::paths::shown(ovra::paths::GamePath(list.path())))
                               .arg(list.count())
                               .arg(sideTable(side).pattern)
                               .arg(offered);
            return result;
        }
    }
    result.ok = true;
    return result;
}

ovra::CopyResult MediaCore::replace(Side side, const QString& source, const QString& target) {
    const auto refuse = [&](const QString& why) {
        qCWarning(lcMediaEd, "\"%s\" was not replaced: %s", qUtf8Printable(target),
                  qUtf8Printable(why));
        return ovra::CopyResult{false, why};
    };
    if (source.isEmpty())
        return refuse(QStringLiteral("No file was chosen."));
    if (!listed_[std::size_t(side)])
        return refuse(QStringLiteral("The game directory was not loaded."));
    const std::optional<ovra::paths::HostPath> to =
        ovra::paths::hostFileIn(ovra::paths::GamePath(list(side).path()), target);
    if (!to)
        return refuse(QStringLiteral("\"%1\" is not a file name.").arg(target));
    ovra::Changes changes(QStringLiteral("replace %1").arg(target));
    const ovra::CopyResult copied =
        changes.replace(*to, {source, {}}, [&] { return ovra::replaceFile(source, *to); });
    if (!copied)
        return refuse(copied.error);
    return copied;
}

ovra::RestoreResult MediaCore::restore(Side side, const ovra::Progress& progress) {
    const SideTable& table = sideTable(side);
    const auto fail = [&](const ovra::RestoreResult& result) {
        qCWarning(lcMediaEd, "Restoring %s stopped after %d files: %s",
                  qUtf8Printable(table.pattern), result.restored, qUtf8Printable(result.error));
        return result;
    };
    if (!installation_.complete())
        return fail({false, 0, QStringLiteral("the settings were not loaded")});
    const ovra::Result<std::unique_ptr<ovra::CdFolder>> from =
        installation_.cd()->open(table.cdFolder);
    if (!from)
        return fail({false, 0, from.error});
    ovra::Changes changes(QStringLiteral("restore %1").arg(table.pattern));
    const ovra::RestoreResult result =
        ovra::restoreFiles(*from.value, installation_.installed(table.installedFolder),
                           list(side).names(), table.offered, progress, changes);
    return result.ok ? result : fail(result);
}

} // namespace mediaed
