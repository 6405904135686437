#pragma once

#include "mediaed/mediacore.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;

namespace ovra {
class ProgressBar;
} // namespace ovra

namespace mediaed {

class FrmSongInfo;
class MediaPreview;
class Soundtrack;

// The media editor's main window. Constructing it runs the program's start-up: it shows the
// Current Soundtrack window, loads the settings and fills the two pick lists.
class FrmOvra3MedEd : public QMainWindow {
    Q_OBJECT

public:
    explicit FrmOvra3MedEd(const QString& programDir, QWidget* parent = nullptr);
    ~FrmOvra3MedEd() override;

    // Keeps the Current Soundtrack window against this window's right edge, tops level (see
    // dockedPosition); until this window is on the screen, may move this window instead.
    void dock();

    // What the window shows is made from this.
    const MediaCore& core() const { return core_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controls of one side of the window (music on the left, movies on the right).
    struct SideControls {
        QComboBox* target = nullptr;      // cboReplace, Combo1
        QPushButton* select = nullptr;    // Command1, Command2
        QPushButton* transform = nullptr; // cmdTransform, Command3
        QLabel* chosen = nullptr;         // Label1, Label4
        MediaPreview* preview = nullptr;  // MediaPlayer1, MediaPlayer2
        QString filter;                   // the file dialog's filter, set at start
        QString choice;                   // the dialog's last confirmed file name
    };

    void buildControls();
    void buildMenus();
    void startUp();
    SideControls& controls(Side side) { return sides_[std::size_t(side)]; }

    void select(Side side);
    void transform(Side side);
    void nameSong(const QString& caption);
    void restore(Side side);

    QString programDir_;
    MediaCore core_;
    std::array<SideControls, 2> sides_;

    Soundtrack* soundtrack_;
    QPointer<FrmSongInfo> songInfo_;
    QPointer<QWidget> about_;
    QPointer<QWidget> instructions_;
    QPointer<QWidget> directoryInfo_;
    bool shown_ = false;
    bool placed_ = false; // on the screen with its frame: docking never moves it again

    ovra::ProgressBar* restoreBar_ = nullptr;
};

} // namespace mediaed
