#include "tricked/trickcore.h"

#include "installation/installsettings.h"
#include "installation/paths.h"
#include "installation/temporaries.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "tricked/trickedlog.h"

#include <QDir>
#include <QFileInfo>

namespace tricked {

// Debug lines (what the program was asked to do) only with QT_LOGGING_RULES="ovra.*=true".
Q_LOGGING_CATEGORY(lcTrickEd, "ovra.tricked", QtInfoMsg)

namespace {

ovra::CopyResult refused(const QString& why) {
    return {false, why};
}

} // namespace

TrickCore::TrickCore(QString programDir) : programDir_(std::move(programDir)) {}

TrickCore::Loaded TrickCore::load() {
    return load(ovra::Installation::open(programDir_));
}

TrickCore::Loaded TrickCore::load(ovra::Installation installation) {
    installation_ = std::move(installation);
    Loaded loaded;
    if (installation_.complete())
        loaded = loadTricks();
    else
        loaded.error = installation_.error();
    if (!loaded.ok)
        qCWarning(lcTrickEd, "Start-up stopped: %s; ovra3 doctor tells how to mend it.",
                  qUtf8Printable(loaded.error));
    return loaded;
}

TrickCore::Loaded TrickCore::loadTricks() {
    Loaded result;
    ovra::removeStaleTemporaries(
        ovra::paths::hostPath(ovra::paths::trickDirectory(*gameDirectory())));
    const ovra::CdSource& cd = *installation_.cd();
    if (const ovra::Result<> listed = cd.list(ovra::paths::kCdTricks, trickList_); !listed) {
        result.error = QStringLiteral("the CD's tricks cannot be listed: %1").arg(listed.error);
        return result;
    }
    result.undecodable = trickList_.undecodable();
    const QStringList names = offered();
    positions_.clear();
    for (int i = 0; i < names.size(); ++i)
        positions_.insert(names[i], i);
    if (names.size() < kTrickCount) {
        result.error = QStringLiteral("the CD folder %1 holds %2 trick files, not %3")
                           .arg(cd.shown(ovra::paths::kCdTricks))
                           .arg(names.size())
                           .arg(kTrickCount);
        return result;
    }
    result.ok = true;
    return result;
}

QStringList TrickCore::offered() const {
    return trickList_.names().mid(0, kTrickCount);
}

int TrickCore::position(const QString& name) const {
    return positions_.value(name, -1);
}

std::unique_ptr<TrickCore::Batch> TrickCore::openBatch(QString* error) const {
    if (!installation_.complete()) {
        *error = QStringLiteral("the settings were not loaded");
        return nullptr;
    }
    ovra::Result<std::unique_ptr<ovra::CdFolder>> cd =
        installation_.cd()->open(ovra::paths::kCdTricks);
    if (!cd) {
        *error = cd.error;
        return nullptr;
    }
    return std::make_unique<Batch>(
        Batch{std::move(cd.value), installation_.installed(&ovra::paths::trickDirectory)});
}

ovra::CopyResult TrickCore::swap(const Batch& batch, const QString& replacefile,
                                 const QString& withfile, ovra::Changes& changes) {
    // Only names on offer have a position: anything else (a typed name, "Select a trick") is
    // refused before a file is written, so records only ever hold positions on offer.
    const int p = position(replacefile);
    const int q = position(withfile);
    if (p < 0 || q < 0)
        return refused(
            QStringLiteral("\"%1\" is not a trick on offer").arg(p < 0 ? replacefile : withfile));
    const std::optional<QString> to = batch.installed.file(replacefile);
    const ovra::CopyResult copied =
        to ? ovra::copyKeeping(*batch.cd, withfile, *to, replacefile, changes)
           : refused(QStringLiteral("no file name"));
    if (!copied || currentConfig_.isEmpty())
        return copied;
    if (!replaceRecord(currentConfig_, p, q))
        return refused(QStringLiteral("the swap of %1 cannot be recorded").arg(replacefile));
    return {};
}

ovra::CopyResult TrickCore::transform(const QString& replacefile, const QString& withfile) {
    QString why;
    const std::unique_ptr<Batch> batch = openBatch(&why);
    // One copy out of an image can claim as much as a whole batch.
    if (batch)
        why = ovra::checkBatch(*batch->cd, batch->installed, {{withfile, replacefile}}).error;
    ovra::Changes changes(QStringLiteral("replace %1 with %2").arg(replacefile, withfile));
    const ovra::CopyResult result =
        batch && why.isEmpty() ? swap(*batch, replacefile, withfile, changes) : refused(why);
    if (!result)
        qCWarning(lcTrickEd, "%s was not replaced with %s: %s", qUtf8Printable(replacefile),
                  qUtf8Printable(withfile), qUtf8Printable(result.error));
    return result;
}

void TrickCore::newConfig() {
    currentConfig_ = unchangedConfig();
}

ovra::CopyResult TrickCore::saveConfig(const QString& path) const {
    const ovra::CopyResult saved = ovra::writeFileAtomically(path, rtf::write(currentConfig_));
    if (!saved)
        qCWarning(lcTrickEd, "Trick Config not saved: %s", qUtf8Printable(saved.error));
    return saved;
}

TrickCore::Checked TrickCore::checkConfig(const QString& path) const {
    Checked checked;
    // Files from strangers: a FIFO or a device is refused unopened, and size is capped.
    const ovra::Result<QByteArray> file = ovra::readRegularFile(path, rtf::kMaxDocumentSize);
    const rtf::ReadResult read = file ? rtf::read(file.value) : rtf::ReadResult{};
    if (!file || !read.ok) {
        checked.outcome = Opened::Unreadable;
        checked.error = file ? read.error : file.error;
        return checked;
    }
    checked.text = read.text;
    // Every record is checked before the first copy, so a damaged file changes nothing.
    ParseResult parsed = parseOpened(checked.text, int(positions_.size()));
    if (!parsed.ok) {
        checked.outcome = Opened::Refused;
        checked.error = parsed.error;
    }
    checked.swaps = std::move(parsed.swaps);
    return checked;
}

TrickCore::Opened
TrickCore::openConfig(const QString& path,
                      const std::function<void(const ovra::CopyResult&)>& swapFailed) {
    Opened result;
    const auto fail = [&](Opened::Outcome outcome, const QString& why) {
        qCWarning(lcTrickEd, "Trick Config %s not applied: %s",
                  qUtf8Printable(QDir::toNativeSeparators(path)), qUtf8Printable(why));
        result.outcome = outcome;
        result.error = why;
        return result;
    };
    const Checked parsed = checkConfig(path);
    if (parsed.outcome == Opened::Unreadable)
        return fail(parsed.outcome, parsed.error);
    openedConfig_ = parsed.text;
    if (parsed.outcome != Opened::Applied)
        return fail(parsed.outcome, parsed.error);
    QString why;
    const std::unique_ptr<Batch> batch = parsed.swaps.isEmpty() ? nullptr : openBatch(&why);
    const QStringList& names = trickList_.names();
    if (batch) {
        QList<ovra::PlannedCopy> planned;
        for (const Swap& s : parsed.swaps)
            planned.push_back({names[s.with], names[s.replaced]});
        if (const ovra::Result<> room = ovra::checkBatch(*batch->cd, batch->installed, planned);
            !room)
            return fail(Opened::Stopped, room.error);
    }
    ovra::Changes changes(QStringLiteral("apply %1").arg(QFileInfo(path).fileName()));
    for (const Swap& s : parsed.swaps) {
        const ovra::CopyResult done =
            batch ? swap(*batch, names[s.replaced], names[s.with], changes) : refused(why);
        if (done) {
            ++result.swaps;
        } else {
            qCWarning(lcTrickEd, "%s was not replaced with %s: %s",
                      qUtf8Printable(names[s.replaced]), qUtf8Printable(names[s.with]),
                      qUtf8Printable(done.error));
            if (swapFailed)
                swapFailed(done);
        }
    }
    return result;
}

ovra::RestoreResult TrickCore::restoreOriginals(const ovra::Progress& progress) {
    QString why;
    const std::unique_ptr<Batch> batch = openBatch(&why);
    ovra::Changes changes(QStringLiteral("Restore Originals"));
    const ovra::RestoreResult result =
        batch ? ovra::restoreFiles(*batch->cd, batch->installed, offered(), kTrickCount, progress,
                                   changes)
              : ovra::RestoreResult{false, 0, why};
    if (!result.ok)
        qCWarning(lcTrickEd, "Restore Originals stopped after %d files: %s", result.restored,
                  qUtf8Printable(result.error));
    return result;
}

} // namespace tricked
