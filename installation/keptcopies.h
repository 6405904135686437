#pragma once

#include "installation/fileread.h"
#include "installation/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// What an installed game file held before a command replaced it, kept once per content in a
// per-user store, and a journal of every change, so that nothing a player had is lost and what
// a command did can be taken back without the CD.
//
// The store: kept/<SHA-256 in hex> (the bytes), journal (one JSON object per line and change,
// appended before the change is made), index (size and times of files already hashed, so that a
// file that did not change is not read again).
namespace ovra {

// $XDG_DATA_HOME/Ovra3, by default ~/.local/share/Ovra3 (%LOCALAPPDATA%\Ovra3 on Windows).
QString keptFolder();

// Where the bytes a copy writes come from, to know their hash before the copy: a host file (read
// once, then known by its size and times), else a reader, else their SHA-256 (hex) where it was
// checked already.
struct CopySource {
    QString hostFile;
    std::function<Result<>(const WriteChunk&)> read;
    QByteArray sha256 = {};
};

// While it lives, the changes of every Changes made on this thread are one command of the
// journal, `command` (ovra3 restore all: the tricks, the music and the movies).
class OneCommand {
public:
    explicit OneCommand(QString command);
    ~OneCommand();
    OneCommand(const OneCommand&) = delete;
    OneCommand& operator=(const OneCommand&) = delete;

private:
    friend class Changes;
    QString command_;
    QString id_;
    const OneCommand* enclosing_;
};

// One command's changes to installed game files, recorded as `command` of this program.
// Keeping never stops the command: when the store cannot be written, the replacement goes on as
// it would without it, and why is logged (category ovra.kept) and listed in failures().
class Changes {
public:
    explicit Changes(QString command, QString folder = keptFolder());
    ~Changes();
    Changes(const Changes&) = delete;
    Changes& operator=(const Changes&) = delete;

    // Replaces the installed file `target` (host path) through `copy`, which writes the bytes of
    // `source`: first keeps what `target` holds and appends the change to the journal.
    CopyResult replace(const QString& target, const CopySource& source,
                       const std::function<CopyResult()>& copy);

    // Records `hash` as the stock bytes of the installed file `target` (the CD's file of its
    // name), so that they can be put back without the CD.
    void learnStock(const QString& target, const QByteArray& hash);

    // Removes the installed file `target`, keeping it first.
    CopyResult remove(const QString& target);

    // The SHA-256 of a host file, read only when the index does not know it as it is now.
    Result<QByteArray> hashOf(const QString& hostFile);

    const QStringList& failures() const { return failures_; }

private:
    bool record(const QString& target, const Result<QByteArray>& after);
    void done(const QString& target, bool journaled, bool succeeded);

    struct Impl;
    std::unique_ptr<Impl> d_;
    QStringList failures_;
};

// One change of the journal: an installed file, what it held before (empty: no file) and after.
struct FileChange {
    QString file;
    QByteArray before;
    QByteArray after;
};

// One command of the journal with its changes, in the order they were made.
struct RecordedCommand {
    QString id;
    QDateTime time;
    QString program;
    QString command;
    QList<FileChange> changes;
};

// The journal's commands, oldest first. A torn or unreadable line (a kill while appending) is
// left out; so is a change whose copy failed.
// Fails when the journal is there but cannot be read (a folder in its place, over 256 MiB).
Result<QList<RecordedCommand>> readJournal(const QString& folder = keptFolder());

// The store's size in bytes: the kept copies.
qint64 keptSize(const QString& folder = keptFolder());

// The stock bytes recorded for installed files, by host path: each file's hash.
QHash<QString, QByteArray> recordedStock(const QString& folder = keptFolder());

struct KeptRestore {
    QStringList put;     // put back from kept copies
    QStringList missing; // stock recorded, but its kept copy is missing or damaged
    QStringList unknown; // files of the folder whose stock bytes were never seen
};

// Puts back the stock bytes of every file in the installed folder `installed` (host path) whose
// stock is recorded and that holds something else, from the kept copies, as the command
// `command`. `cdHash`, when given, tells the CD's hash of a file name: it stands above what was
// recorded.
KeptRestore
restoreFromKept(const QString& installed, const QString& command,
                const std::function<std::optional<QByteArray>(const QString& name)>& cdHash = {},
                const QString& folder = keptFolder());

struct Forgotten {
    int commands = 0;          // taken out of the journal
    int copies = 0;            // kept copies removed
    qint64 bytes = 0;          // their size
    int protectedCommands = 0; // older, but they kept bytes that are not stock
};

// Forgets the commands of the journal older than `days` days and the kept copies only they need.
// Bytes that are not stock are kept nowhere else: their copies stay, and so do the commands that
// kept them.
Result<Forgotten> forget(int days, const QString& folder = keptFolder());

// Puts back what the last `count` commands of the journal replaced, as one command recorded in
// it (so that it can be undone in turn). Everything is checked before the first file is written:
// a kept copy that is missing or no longer holds its bytes, or an installed file that changed
// since, refuses the whole undo. The result lists the files put back.
Result<QStringList> undo(int count, const QString& folder = keptFolder());

} // namespace ovra
