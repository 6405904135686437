#pragma once

#include "mediaed/catalogue.h"

#include <QVector>
#include <QWidget>

class QLabel;

namespace mediaed {

// The Current Soundtrack window: holds the catalogue in memory and shows one caption per slot.
// Borderless, without a task-bar entry, never takes the focus; the main window places it.
// What is loaded and saved when is up to its manager (Soundtrack).
class FrmSoundtrack : public QWidget {
    Q_OBJECT
public:
    explicit FrmSoundtrack(QString programDir, QWidget* parent = nullptr);

    Catalogue& catalogue() { return catalogue_; }
    const Catalogue& catalogue() const { return catalogue_; }

    // Shows every slot store in its caption label.
    void refreshLabels();
    // Sets slot store `slot` and shows it in its caption label.
    void setSlot(int slot, const QString& caption);

signals:
    // A close request: the catalogue is to be saved now; the window is deleted soon after.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Catalogue catalogue_;
    QVector<QLabel*> slotLabels_;
};

} // namespace mediaed
