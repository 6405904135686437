#pragma once

#include "mediacore.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;

namespace ovra {
class ClockStatusBar;
}

namespace mediaed {

class FloatProgressBar;
class FrmAbout;
class FrmInstructions;
class MediaPreview;
class Soundtrack;
class SongInfo;

// The media editor's main window. Constructing it runs the program's start-up: it shows the
// Current Soundtrack window, loads the settings and fills the two pick lists.
class FrmOvra3MedEd : public QMainWindow {
    Q_OBJECT

public:
    explicit FrmOvra3MedEd(const QString& programDir, QWidget* parent = nullptr);
    ~FrmOvra3MedEd() override;

    const Installation& installation() const { return installation_; }
    Soundtrack& soundtrack() const { return *soundtrack_; }
    SongInfo& songInfo() const { return *songInfo_; }

    // Keeps the Current Soundtrack window against this window's right edge, tops level.
    void dock();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void startUp();

    void select(Side side);
    void transform(Side side);
    void restore(Side side);
    void showAbout();
    void showInstructions();
    void showDirectoryInfo();
    void exitProgram();

    QString programDir_;
    Installation installation_;
    QString songFilter_;  // the song dialog's filter, set at start
    QString movieFilter_; // the movie dialog's filter
    QString songChoice_;  // each dialog's last confirmed file name
    QString movieChoice_;

    Soundtrack* soundtrack_;
    SongInfo* songInfo_;
    QPointer<FrmAbout> about_;
    QPointer<FrmInstructions> instructions_;
    bool shown_ = false;

    QWidget* client_ = nullptr;
    QComboBox* cboReplace_ = nullptr;
    QComboBox* Combo1_ = nullptr;
    QPushButton* cmdTransform_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QPushButton* Command3_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLabel* Label4_ = nullptr;
    MediaPreview* MediaPlayer1_ = nullptr;
    MediaPreview* MediaPlayer2_ = nullptr;
    FloatProgressBar* ProgressBar1_ = nullptr;
    ovra::ClockStatusBar* StatusBar1_ = nullptr;
};

} // namespace mediaed
