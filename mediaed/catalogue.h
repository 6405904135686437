#pragma once

#include "installation/installsettings.h"
#include "mediaed/stocktable.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace mediaed {

// The soundtrack catalogue without any window: the 19 slot captions in memory and their slot
// files 0.dat to 18.dat in the `data` folder beside the program, each an RTF document whose
// text is the whole caption.
class Catalogue {
public:
    struct LoadResult {
        QVector<int> resetSlots; // slots whose file was missing or unreadable (now stock)
        bool complete() const { return resetSlots.isEmpty(); }
    };

    struct SaveResult {
        bool ok = true;
        QString folder;           // host path of the data folder, for the message
        QString reason;           // the first failure, for the message
        QVector<int> failedSlots; // slots whose file keeps its previous content
    };

    // `programDir` is the program directory in game notation (no trailing separator). The slot
    // files lie in the `data` folder of the folder where the program keeps its own files.
    explicit Catalogue(const QString& programDir);

    // Reads every slot file. A slot whose file cannot be read gets its stock caption; every
    // slot that could be read keeps what its file holds.
    LoadResult load();
    // Every slot gets its stock caption.
    void resetToStock();
    // Writes all 19 slots, each file replaced atomically; creates the data folder if needed.
    // A slot that cannot be written does not stop the others.
    SaveResult save() const;

    const QString& slot(int i) const { return slots_.at(i); }
    // What save() writes into the slot file of `i`.
    QByteArray slotFileBytes(int i) const;
    const QStringList& captions() const { return slots_; }
    void setSlot(int i, const QString& caption);

    // Host paths of the data folder and of one slot file, where they are written.
    QString dataFolder() const;
    QString slotFilePath(int i) const;

private:
    ovra::ProgramFolder folder_;
    QStringList slots_;
};

// The caption that names a slot after a replacement: the song first, then the artist.
QString songCaption(const QString& song, const QString& artist);

// The message shown when the catalogue could not be written.
QString saveFailureMessage(const Catalogue::SaveResult& result);

} // namespace mediaed
