#include "installation/paths.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace ovra::paths {

GamePath musicDirectory(const QString& game) {
    return GamePath(game + QStringLiteral("\\data\\music"));
}
GamePath moviesDirectory(const QString& game) {
    return GamePath(game + QStringLiteral("\\data\\movies"));
}

GamePath trickDirectory(const QString& game) {
    return GamePath(game + QStringLiteral("\\data\\anims\\skater_M"));
}

GamePath cdMusicFolder(const QString& cd) {
    return GamePath(cd + kCdMusic);
}
GamePath cdMoviesFolder(const QString& cd) {
    return GamePath(cd + kCdMovies);
}
GamePath cdTrickFolder(const QString& cd) {
    return GamePath(cd + kCdTricks);
}

CaseMatch::CaseMatch(QStringList entries) : entries_(std::move(entries)) {
    exact_.reserve(entries_.size());
    folded_.reserve(entries_.size());
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const QString& entry = entries_[i];
        // A crafted image may list one name twice: the first stays.
        if (!exact_.contains(entry))
            exact_.insert(entry, i);
        QString folded = entry.toCaseFolded();
        const auto variant = folded_.find(folded);
        if (variant == folded_.end())
            folded_.insert(std::move(folded), i);
        else if (entry < entries_[*variant])
            *variant = i;
    }
}

qsizetype CaseMatch::find(const QString& name) const {
    if (const auto exact = exact_.constFind(name); exact != exact_.cend())
        return *exact;
    const auto variant = folded_.constFind(name.toCaseFolded());
    return variant != folded_.cend() ? *variant : -1;
}

std::function<qsizetype(const QString&)> caseMatcher(const QStringList& entries) {
    return [match = std::make_shared<const CaseMatch>(entries)](const QString& name) {
        return match->find(name);
    };
}

bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == u'.' || name == QStringLiteral(".."))
        return false;
    // Windows drops a final dot or blank when it makes a file, so such a name would stand for
    // another file than the one listed.
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f)
            return false;
        switch (u) {
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'/':
        case u'\\':
        case u'|':
        case u'?':
        case u'*':
            return false;
        default:
            break;
        }
    }
    // The device names stand for devices in every folder, with any extension.
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                        QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (devices.contains(stem))
        return false;
    if (stem.size() == 4 &&
        (stem.startsWith(QStringLiteral("COM")) || stem.startsWith(QStringLiteral("LPT"))) &&
        stem[3] >= u'1' && stem[3] <= u'9')
        return false;
    return true;
}

std::optional<GamePath> fileIn(const GamePath& folder, const QString& name) {
    if (!isPlainFileName(name))
        return std::nullopt;
    return folder + (u'\\' + name);
}

std::optional<HostPath> hostFileIn(const GamePath& folder, const QString& name) {
    const std::optional<GamePath> path = fileIn(folder, name);
    if (!path)
        return std::nullopt;
    return hostPath(*path);
}

bool isWithin(const QString& path, const QString& root) {
    if (path.isEmpty() || root.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = pathCase();
    if (path.compare(root, cs) == 0 || root == u'/')
        return true;
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    return path.startsWith(prefix, cs);
}

GamePath slotFile(const QString& programDir, int slot) {
    return GamePath(programDir + QStringLiteral("\\data\\") + QString::number(slot) +
                    QStringLiteral(".dat"));
}

std::optional<GamePath> inDriveLetters(const HostPath& directory, const QList<WineDrive>& drives) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(directory));
    const WineDrive* best = nullptr;
    QString bestRoot;
    for (const WineDrive& drive : drives) {
        const QString root = QDir::cleanPath(QDir::fromNativeSeparators(drive.folder));
        if (root.isEmpty() || root == u'/' || !isWithin(clean, root) ||
            root.size() <= bestRoot.size())
            continue;
        best = &drive;
        bestRoot = root;
    }
    if (!best)
        return std::nullopt;
    const QString rest = clean.mid(bestRoot.size()); // "" or "/Games/Ovra3"
    return GamePath(best->letter.toUpper() + u':' +
                    (rest.isEmpty() ? QStringLiteral("\\") : QString(rest).replace(u'/', u'\\')));
}

QString shown(const GamePath& gamePath) {
    const HostPath host = hostPath(gamePath);
    return host.isEmpty() ? gamePath.text() : QDir::toNativeSeparators(host);
}

GamePath settingFor(const HostPath& directory, const QList<WineDrive>& drives) {
    const QString resolved = QFileInfo(directory).canonicalFilePath();
    return inDriveLetters(HostPath(resolved.isEmpty() ? directory.text() : resolved), drives)
        .value_or(GamePath(directory.text()));
}

} // namespace ovra::paths
