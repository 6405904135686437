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
    // A copy killed part-way leaves its temporary file beside the installed ones: clear it.
    for (ovra::FileList* list : {&in.File1, &in.File2}) {
        const QString dir = list == &in.File1 ? ovra::paths::musicDirectory(*in.gameDirectory)
                                              : ovra::paths::moviesDirectory(*in.gameDirectory);
        if (!list->setPath(dir))
            return result;
        ovra::removeStaleTemporaries(ovra::paths::hostPath(dir));
    }
    if (!takeNames(in.File1, kMusicOffered, result.musicNames) ||
        !takeNames(in.File2, kMoviesOffered, result.movieNames))
        return result;
    result.ok = true;
    return result;
}

bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == u'.' || name == QStringLiteral(".."))
        return false;
    // A colon would name a drive (or a stream of the file) in the game's notation.
    for (char16_t bad : {u'\\', u'/', u':', u'\0'})
        if (name.contains(bad))
            return false;
    return true;
}

ovra::CopyResult replaceInstalled(const QString& source, const ovra::FileList& list,
                                  const QString& target) {
    if (source.isEmpty())
        return {false, QStringLiteral("No file was chosen.")};
    if (list.path().isEmpty())
        return {false, QStringLiteral("The game directory was not loaded.")};
    if (!isPlainFileName(target))
        return {false, QStringLiteral("\"%1\" is not a file name.").arg(target)};
    return ovra::replaceFile(source,
                             ovra::paths::hostPath(ovra::paths::inDirectory(list.path(), target)));
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
        const QString to = music ? ovra::paths::installedMusicFile(*in.gameDirectory, *name)
                                 : ovra::paths::installedMovieFile(*in.gameDirectory, *name);
        const QString from = music ? ovra::paths::cdMusicFile(*in.cdDrive, *name)
                                   : ovra::paths::cdMoviesFile(*in.cdDrive, *name);
        const ovra::CopyResult copy =
            ovra::replaceFile(ovra::paths::hostPath(from), ovra::paths::hostPath(to));
        if (!copy)
            return {false, result.restored, copy.error};
        ++result.restored;
        if (progress)
            progress(restoreProgress(i, last));
    }
    return result;
}

} // namespace mediaed
