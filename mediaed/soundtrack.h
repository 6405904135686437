#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

namespace mediaed {

class FrmSoundtrack; // QWidget, objectName "frmSoundtrack"

// Where the Current Soundtrack window (borderless, `size`) goes beside the main window (outer
// geometry): against its right edge, tops level; where that would put any part of it off the
// screen's available area, against its left edge instead; where neither fits, whichever of the
// two, moved just far enough to lie on the screen, covers less of the main window (the window
// cannot be dragged).
QPoint dockedPosition(const QRect& mainFrame, const QSize& size, const QRect& available);

// Where the main window goes while it is being placed on the screen: where it stands when the
// soundtrack window fits against one of its edges; else moved sideways as little as it can be so
// that the pair stands side by side, both whole when the screen is wide enough, else overlapping
// as little as the screen allows (the main window's own edge kept on the screen).
QPoint mainWindowPlace(const QRect& mainFrame, const QSize& size, const QRect& available);

// The Current Soundtrack window's lifecycle and the catalogue's loads and saves: the window is
// created on first use (which loads the catalogue), at most one exists, a close request saves.
class Soundtrack : public QObject {
    Q_OBJECT
public:
    explicit Soundtrack(QString programDir, QObject* parent = nullptr);
    // Deletes the window without saving: leaving the program saves nothing.
    ~Soundtrack() override;

    // Creates it hidden (which loads the catalogue) when it does not exist.
    FrmSoundtrack* window();
    // nullptr when not created or closed.
    FrmSoundtrack* existing() const;
    // window(), then shows it without activating it.
    void show();
    // window(), then placed by dockedPosition() against the main window's outer geometry.
    void dock(const QRect& mainFrameGeometry, const QRect& availableGeometry);
    // Hides it if it exists; saves nothing.
    void hide();
    // A song's new caption: into `slot` (none when -1), then all 19 slot files are saved, so
    // that the files always hold what the window holds. Re-creates the window, hidden, when it
    // was closed.
    void nameSlot(int slot, const QString& caption);

    // The slots whose music file is the stock one again get their stock captions; then all 19
    // slot files are saved, as after a song's new name. Nothing is written when `reset` is
    // empty.
    void showStock(const QList<int>& reset);

private:
    void load(FrmSoundtrack* window);
    bool save(FrmSoundtrack* window);

    QString programDir_;
    QPointer<FrmSoundtrack> window_;
    bool saveFailureShown_ = false; // outlives the window, so the user is told only once
};

} // namespace mediaed
