#pragma once

#include "installation/filecopy.h"
#include "installation/filelist.h"
#include "installation/folders.h"
#include "installation/installation.h"
#include "installation/restore.h"
#include "tricked/trickconfig.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// The trick editor's work without any window: the installation it loads at start, the trick
// list and its positions, the current and the opened Trick Config, transform, the Trick Config
// files and Restore Originals. The window only shows what it returns; the command line uses it
// too.
namespace tricked {

inline const QString kProgramTitle = QStringLiteral("Ovra3TrickEd");
inline const QString kTrickConfigFilter = QStringLiteral("Trick Config Files (*.tcg)|*.tcg");

class TrickCore {
public:
    struct Loaded {
        bool ok = false;         // every step done and 659 tricks on offer
        QString error;           // the first failure, when !ok
        QStringList undecodable; // CD trick files whose names cannot be held (left out)
    };

    // Reads the game directory and the CD drive from the settings files in `programDir`.
    explicit TrickCore(QString programDir);

    // Start-up: the two settings, then the trick list of the CD. Stops at the first failure;
    // what was loaded before it stays. Leftover temporaries of killed copies are cleared.
    Loaded load();
    // The same on an installation opened elsewhere (with values given on a command line).
    Loaded load(ovra::Installation installation);

    const ovra::Installation& installation() const { return installation_; }
    const std::optional<QString>& gameDirectory() const { return installation_.gameDirectory(); }
    const std::optional<QString>& cdDrive() const { return installation_.cdDrive(); }
    const ovra::FileList& trickList() const { return trickList_; }
    // The names on offer in the pick lists: positions 0 to 658 of the trick list, or fewer.
    QStringList offered() const;
    // A name's position among those on offer; -1 for any other text.
    int position(const QString& name) const;

    const QString& currentConfig() const { return currentConfig_; }
    const QString& openedConfig() const { return openedConfig_; }

    // Copies the CD file `withfile` over the installed file `replacefile` and records the swap
    // while a current Trick Config exists. Names that are not on offer are refused before any
    // file is written, so a record only ever holds positions on offer.
    ovra::CopyResult transform(const QString& replacefile, const QString& withfile);
    // A current Trick Config with every record unchanged.
    void newConfig();
    // Writes the current Trick Config as an RTF document (an empty one when none is kept).
    ovra::CopyResult saveConfig(const QString& path) const;

    struct Opened {
        enum Outcome {
            Applied,    // every record checked, its swaps made (some may have failed)
            Unreadable, // not an RTF document that can be read: nothing changed
            Refused,    // a record that cannot be applied here: nothing changed
            Stopped,    // checked, but the swaps cannot be made (no room, a read-only folder):
                        // nothing changed
        };
        Outcome outcome = Applied;
        QString error; // why, when not Applied
        int swaps = 0; // swaps made
    };
    // A Trick Config file read and checked whole, with nothing changed: its text and the swaps
    // it would make (Applied), or why it cannot be used (Unreadable, Refused).
    struct Checked {
        Opened::Outcome outcome = Opened::Applied;
        QString error;
        QString text;
        QList<Swap> swaps;
    };
    Checked checkConfig(const QString& path) const;

    // Reads a Trick Config file and checks it whole before the first copy; then makes every
    // swap it records, calling `swapFailed` for each swap that fails and going on with the next.
    Opened openConfig(const QString& path,
                      const std::function<void(const ovra::CopyResult&)>& swapFailed);

    // Copies every trick on offer back from the CD, position 0 first, with the progress after
    // each (done of 659); stops at the first failure, or after the last position on offer when
    // fewer than 659 are.
    ovra::RestoreResult restoreOriginals(const ovra::Progress& progress);

private:
    // The two folders a command copies between, opened once for all its copies.
    struct Batch {
        std::unique_ptr<ovra::CdFolder> cd;
        ovra::HostFolder installed;
    };
    Loaded loadTricks();
    std::unique_ptr<Batch> openBatch(QString* error) const;
    ovra::CopyResult swap(const Batch& batch, const QString& replacefile, const QString& withfile,
                          ovra::Changes& changes);

    QString programDir_;
    ovra::Installation installation_; // RichTextBox1 and RichTextBox2, and the CD they name
    QString currentConfig_;           // RichTextBox3: empty, or a whole Trick Config
    QString openedConfig_;            // RichTextBox4
    ovra::FileList trickList_{QStringLiteral("*.ska")}; // File1
    QHash<QString, int> positions_;                     // name -> position, for the names on offer
};

} // namespace tricked
