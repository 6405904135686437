#include "mediaed/frmsoundtrack.h"

#include "widgets/winlook.h"

#include <QCloseEvent>
#include <QLabel>

namespace mediaed {

namespace {

// Slots 0 to 9 fill the left column, 10 to 18 the right one; rows are 720 twips apart.
int rowTop(int slot) {
    return 480 + 720 * (slot % 10);
}
bool rightColumn(int slot) {
    return slot >= 10;
}

} // namespace

FrmSoundtrack::FrmSoundtrack(QString programDir, QWidget* parent)
    : QWidget(parent), catalogue_(std::move(programDir)) {
    using namespace ovra::look;
    setObjectName(QStringLiteral("frmSoundtrack"));
    setWindowTitle(QStringLiteral("Current Soundtrack"));
    // A tool window has no task-bar entry; it never takes the focus from the main window.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Closing ends this window's life: a later use creates it again (loading the catalogue
    // again). It never keeps the program running.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
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
        slotLabels_.append(label(this, QStringLiteral("Label2_%1").arg(k), QString(),
                                 twipsRect(captionLeft, rowTop(k), 3000, 645), 12.0));
        label(this, QStringLiteral("Label%1").arg(2 * k + 1), QString::number(k + 1),
              twipsRect(numberLeft, rowTop(k), 255, 645), 12.0);
    }
}

void FrmSoundtrack::refreshLabels() {
    for (int k = 0; k < kSlotCount; ++k)
        slotLabels_[k]->setText(catalogue_.slot(k));
}

void FrmSoundtrack::setSlot(int slot, const QString& caption) {
    catalogue_.setSlot(slot, caption);
    slotLabels_[slot]->setText(catalogue_.slot(slot));
}

void FrmSoundtrack::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}

} // namespace mediaed
