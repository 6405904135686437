#include "mediacore.h"

#include "installsettings.h"
#include "paths.h"

namespace mediaed {

namespace {

// Appends entries 0..count-1 of `list`; false when the list runs out first.
bool takeNames(const ovra::FileList& list, int count, QStringList& names) {
    for (int i = 0; i < count; ++i) {
        const std::optional<QString> name = list.entry(i);
        if (!name)
            return false;
        names << *name;
    }
    return true;
}

} // namespace

LoadResult loadInstallation(const QString& programDir, Installation& in) {
    LoadResult result;
    result.ok = false;
    in.gameDirectory =
        ovra::readSettingFile(programDir, QString::fromLatin1(ovra::kGameDirectoryFile));
    if (!in.gameDirectory)
        return result;
    in.cdDrive = ovra::readSettingFile(programDir, QString::fromLatin1(ovra::kCdDriveFile));
    if (!in.cdDrive)
        return result;
    for (ovra::FileList* list : {&in.File1, &in.File2}) {
        const QString dir = list == &in.File1 ? ovra::paths::musicDirectory(*in.gameDirectory)
                                              : ovra::paths::moviesDirectory(*in.gameDirectory);
        if (!list->setPath(dir))
            return result;
        // A copy killed part-way leaves its temporary file beside the installed ones: clear it.
        ovra::removeStaleTemporaries(ovra::paths::hostPath(dir));
        // Left out of the list, so the names after them are offered one place earlier.
        for (const QString& name : list->undecodable())
            qWarning("%s", qUtf8Printable(QStringLiteral("\"%1\" in %2 is left out of the list: "
                                                         "its name is not UTF-8.")
                                              .arg(name, dir)));
    }
    if (!takeNames(in.File1, kMusicOffered, result.musicNames) ||
        !takeNames(in.File2, kMoviesOffered, result.movieNames))
        return result;
    result.ok = true;
    return result;
}

ovra::CopyResult replaceInstalled(const QString& source, const ovra::FileList& list,
                                  const QString& target) {
    if (source.isEmpty())
        return {false, QStringLiteral("No file was chosen.")};
    if (list.path().isEmpty())
        return {false, QStringLiteral("The game directory was not loaded.")};
    const std::optional<QString> to = ovra::paths::hostFileIn(list.path(), target);
    if (!to)
        return {false, QStringLiteral("\"%1\" is not a file name.").arg(target)};
    return ovra::replaceFile(source, *to);
}

float restoreProgress(int i, int last) {
    return float(double(i) * (100.0 / double(last)));
}

RestoreResult restoreStock(Side side, const Installation& in,
                           const std::function<void(float)>& progress) {
    const bool music = side == Side::Music;
    const ovra::FileList& list = in.list(side);
    const int last = (music ? kMusicOffered : kMoviesOffered) - 1;
    RestoreResult result;
    for (int i = 0; i <= last; ++i) {
        const std::optional<QString> name = list.entry(i);
        if (!name)
            return {false, result.restored, QStringLiteral("The list holds only %1 names.").arg(i)};
        if (!in.gameDirectory || !in.cdDrive)
            return {false, result.restored, QStringLiteral("The settings were not loaded.")};
        const std::optional<QString> to =
            ovra::paths::hostFileIn(music ? ovra::paths::musicDirectory(*in.gameDirectory)
                                          : ovra::paths::moviesDirectory(*in.gameDirectory),
                                    *name);
        const std::optional<QString> from =
            ovra::paths::hostFileIn(music ? ovra::paths::cdMusicFolder(*in.cdDrive)
                                          : ovra::paths::cdMoviesFolder(*in.cdDrive),
                                    *name);
        if (!to || !from)
            return {false, result.restored,
                    QStringLiteral("\"%1\" is not a file name.").arg(*name)};
        const ovra::CopyResult copy = ovra::replaceFile(*from, *to);
        if (!copy)
            return {false, result.restored, copy.error};
        ++result.restored;
        if (progress)
            progress(restoreProgress(i, last));
    }
    return result;
}

} // namespace mediaed
