#pragma once

#include "catalogue.h"

#include <QVector>
#include <QWidget>

class QLabel;

namespace mediaed {

// The Current Soundtrack window: owns the catalogue in memory and shows one caption per slot.
// Borderless, without a task-bar entry, never takes the focus; the main window places it.
// Creating it loads the catalogue; a close request saves it; hiding or destroying it does not.
class FrmSoundtrack : public QWidget {
    Q_OBJECT
public:
    // `saveFailureShown` (optional, outlives the window) remembers across re-creations of the
    // window that the user was already told the catalogue cannot be saved.
    explicit FrmSoundtrack(QString programDir, bool* saveFailureShown = nullptr,
                           QWidget* parent = nullptr);

    const Catalogue& catalogue() const { return catalogue_; }
    QLabel* captionLabel(int slot) const { return captions_.at(slot); }

    // Sets slot store `slot` and shows it in its caption label.
    void setSlot(int slot, const QString& caption);
    // Writes all 19 slot files; a failure is reported once (until a save succeeds again).
    bool saveCatalogue();

signals:
    // After a close request has saved the catalogue; the window is deleted soon after.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void loadCatalogue();
    void refreshLabels();

    Catalogue catalogue_;
    QVector<QLabel*> captions_;
    bool ownSaveFailureShown_ = false;
    bool* saveFailureShown_;
};

} // namespace mediaed
