#include "frmsoundtrack.h"

#include "dialogs.h"
#include "winlook.h"

#include <QCloseEvent>
#include <QLabel>

namespace mediaed {

namespace {

const QString kProgramTitle = QStringLiteral("Ovra3MediaEd");
const QString kRestartMessage = QStringLiteral("Close Ovra3MediaEd and open it up again");

// Slots 0 to 9 fill the left column, 10 to 18 the right one; rows are 720 twips apart.
int rowTop(int slot) {
    return 480 + 720 * (slot % 10);
}
bool rightColumn(int slot) {
    return slot >= 10;
}

} // namespace

FrmSoundtrack::FrmSoundtrack(QString programDir, bool* saveFailureShown, QWidget* parent)
    : QWidget(parent), catalogue_(std::move(programDir)),
      saveFailureShown_(saveFailureShown ? saveFailureShown : &ownSaveFailureShown_) {
    using namespace ovra::look;
    setObjectName(QStringLiteral("frmSoundtrack"));
    setWindowTitle(QStringLiteral("Current Soundtrack"));
    // A tool window has no task-bar entry; it never takes the focus from the main window.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Closing ends this window's life: the manager's pointer goes null and a later use
    // creates the window again (loading the catalogue again).
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(px(7005), px(7710));
    setFont(font());
    paintBlack(this);

    label(this, QStringLiteral("Label4"), QStringLiteral("Current Soundtrack"),
          twipsRect(120, 0, 6735, 375), 13.5, true);
    line(this, QStringLiteral("Line1"), 3480, 480, 3480, 7560);
    for (int k = 0; k < kSlotCount; ++k) {
        const int captionLeft = rightColumn(k) ? 3960 : 480;
        const int numberLeft = rightColumn(k) ? 3600 : 120;
        captions_.append(label(this, QStringLiteral("Label2_%1").arg(k), QString(),
                               twipsRect(captionLeft, rowTop(k), 3000, 645), 12.0));
        label(this, QStringLiteral("Label%1").arg(2 * k + 1), QString::number(k + 1),
              twipsRect(numberLeft, rowTop(k), 255, 645), 12.0);
    }

    loadCatalogue();
}

void FrmSoundtrack::loadCatalogue() {
    const Catalogue::LoadResult loaded = catalogue_.load();
    // The labels show what the stores hold, reset slots included.
    refreshLabels();
    if (loaded.complete())
        return;
    // The reset slots are written back at once, so the files hold what the window shows.
    // Nothing is on screen yet, so the message has no parent.
    if (saveCatalogue())
        ovra::dialogs().message(nullptr, kProgramTitle, kRestartMessage);
    // When the save failed, its own message has said why; a restart would not help then.
}

void FrmSoundtrack::refreshLabels() {
    for (int k = 0; k < kSlotCount; ++k)
        captions_[k]->setText(catalogue_.slot(k));
}

void FrmSoundtrack::setSlot(int slot, const QString& caption) {
    catalogue_.setSlot(slot, caption);
    captions_[slot]->setText(catalogue_.slot(slot));
}

bool FrmSoundtrack::saveCatalogue() {
    const Catalogue::SaveResult saved = catalogue_.save();
    if (saved.ok) {
        *saveFailureShown_ = false;
        return true;
    }
    // Once is enough: every later save fails the same way, and the message already says
    // that the names are kept only while the program runs.
    if (!*saveFailureShown_) {
        *saveFailureShown_ = true;
        ovra::dialogs().message(isVisible() ? this : nullptr, kProgramTitle,
                                saveFailureMessage(saved));
    }
    return false;
}

void FrmSoundtrack::closeEvent(QCloseEvent* event) {
    saveCatalogue();
    event->accept();
    emit closed();
}

} // namespace mediaed
