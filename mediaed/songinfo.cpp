#include "songinfo.h"

#include "frmsonginfo.h"
#include "frmsoundtrack.h"
#include "soundtrack.h"
#include "stocktable.h"

namespace mediaed {

SongInfo::SongInfo(Soundtrack& soundtrack, std::function<QString()> readSelection, QObject* parent)
    : QObject(parent), soundtrack_(soundtrack), readSelection_(std::move(readSelection)) {}

SongInfo::~SongInfo() {
    delete dialog_.data();
}

void SongInfo::show() {
    if (dialog_) {
        // Already open: forward, with its inputs as they are.
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    dialog_ = new FrmSongInfo;
    connect(dialog_, &FrmSongInfo::okClicked, this, &SongInfo::accept);
    // The close box discards the inputs: the next show starts with an empty dialog.
    connect(dialog_, &FrmSongInfo::closed, this, [this, closing = dialog_.data()] {
        if (dialog_ == closing)
            dialog_.clear();
    });
    dialog_->show();
}

QWidget* SongInfo::existing() const {
    return dialog_;
}

void SongInfo::accept() {
    const QPointer<FrmSongInfo> dialog = dialog_;
    const QString caption = songCaption(dialog->songName(), dialog->artist());
    // The selection counts as it stands now, not as it stood when the file was replaced.
    const QString selection = readSelection_();
    // Re-created (and loaded) hidden when it was closed; it stays hidden.
    FrmSoundtrack* window = soundtrack_.window();
    const int slot = slotOfStockFile(selection);
    if (slot >= 0)
        window->setSlot(slot, caption);
    // Saved also when nothing matched, so the files always hold what the window holds.
    window->saveCatalogue();
    if (dialog)
        dialog->close();
}

} // namespace mediaed
