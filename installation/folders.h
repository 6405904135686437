#pragma once

#include "installation/filecopy.h"
#include "installation/filelist.h"
#include "installation/keptcopies.h"
#include "installation/paths.h"

#include <QSet>
#include <QString>
#include <memory>
#include <optional>

// The folders a command copies out of and into, opened once per command: a batch of 659 copies
// maps each folder onto the host once and lists it once, rather than once per file.
namespace ovra {

// A folder on the host, given in game notation. Its entries are matched to names without
// regard to letter case from one listing: the exact spelling first, else the first variant in
// code order, as the host-path mapping does; a name with no entry keeps its spelling (a new
// file is created as named).
class HostFolder {
public:
    explicit HostFolder(const paths::GamePath& folder);

    const QString& hostPath() const { return host_; }
    bool exists() const { return exists_; }
    // The host path of `name` in this folder; nothing when `name` is no plain file name, or
    // when the folder leads nowhere (a setting with a drive that does not exist).
    std::optional<QString> file(const QString& name) const;
    // Whether the entry `name` stands for may be a symbolic link (the listing said so, or could
    // not tell); false for a name with no entry.
    bool mayBeLink(const QString& name) const;

private:
    const QString* entryFor(const QString& name) const;

    QString host_;
    bool exists_ = false;
    paths::CaseMatch entries_;
    QSet<QString> links_; // entries that are links, or of a type not told
};

// A folder of the game CD opened for one command; copies its files over installed ones.
class CdFolder {
public:
    virtual ~CdFolder() = default;
    // Replaces the installed file `to` (host path) with the CD file `name`.
    virtual CopyResult copyTo(const QString& name, const QString& to) const = 0;
    // Streams the bytes of the CD file `name` through `write`; why not names the file.
    virtual Result<> read(const QString& name, const WriteChunk& write) const = 0;
    // The size of the CD file `name`; nothing when there is no such regular file.
    virtual std::optional<qint64> size(const QString& name) const = 0;
    // The host file `name` is read from, where it is one (a CD kept as a folder).
    virtual std::optional<QString> hostFile(const QString& /*name*/) const { return std::nullopt; }
};

// Copies the CD file `name` over the installed file `to` (host path), keeping what it replaces,
// and records the CD file `stockName` as the stock of `to`.
CopyResult copyKeeping(const CdFolder& from, const QString& name, const QString& to,
                       const QString& stockName, Changes& changes);

// The game CD as the drive setting names it: a drive or a folder (a mounted disc, a copied
// one), where every CD path is the setting followed by a CD literal; or a disc image file
// (stored as it stands), whose folders are the literals inside it. A CD is a stranger's, in
// whatever form: a file on a CD kept as a folder is used only when it resolves to a regular
// file inside that folder (or mount); a link that leads out of it is left out of the lists and
// refused for copies.
class CdSource {
public:
    explicit CdSource(QString cdDrive);
    // The folder as messages show it: the image and the literal inside it, or the folder as the
    // host sees it.
    QString shown(const QString& literal) const;
    // Lists a CD folder (a literal such as paths::kCdTricks) into `list`; fails when it cannot
    // be read (no CD, a damaged image).
    Result<> list(const QString& literal, FileList& list) const;
    // The CD folder for copies out of it; fails when it cannot be opened.
    Result<std::unique_ptr<CdFolder>> open(const QString& literal) const;

private:
    // Whether the CD folder `literal` can be used, and why not. Folders on the host only.
    enum class FolderState { Usable, NoRoot, NoFolder, LeadsOut };
    FolderState folderState(const QString& literal, QString* why) const;

    paths::GamePath cdDrive_;
    QString root_;  // a CD kept as a folder: its canonical host path; empty when it is not there
    QString image_; // the host path of the disc image the setting names, if it names one
};

} // namespace ovra
