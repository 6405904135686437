#pragma once

#include "tricked/trickcore.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class QComboBox;

namespace ovra {
class ProgressBar;
} // namespace ovra

namespace tricked {

// The trick editor's one working window: two pick lists of the CD's trick files, a button that
// copies the CD file of one trick over the installed file of another, the Trick Config menu
// commands and the restore. It builds the controls, hands every command to its core and shows
// the outcome. Start-up runs in the constructor, before the window is shown.
class FrmOvra3TrickEd : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmOvra3TrickEd(const QString& programDir, QWidget* parent = nullptr);
    ~FrmOvra3TrickEd() override;

    // Copies the CD file `withfile` over the installed file `replacefile` and records the swap
    // while a current Trick Config exists. Reports every failure itself (the installation
    // error message) and never passes one on.
    void transform(const QString& replacefile, const QString& withfile);

    // A Trick Config named on the command line: asks first, then applies it as Open does.
    void offerToApply(const QString& path);

    // What the window shows is made from this.
    const TrickCore& core() const { return core_; }

private:
    void buildControls();
    void buildMenus();
    void startUp();

    void saveConfig();
    void openConfig();
    void applyConfig(const QString& path);
    void restoreOriginals();
    void showProblem(const QString& text);

    QString programDir_;
    TrickCore core_;
    QString lastConfigFile_; // the dialog starts from the last file used

    QComboBox* cboReplace_ = nullptr;
    QComboBox* cboWith_ = nullptr;
    ovra::ProgressBar* restoreBar_ = nullptr;

    QPointer<QWidget> instructions_;
    QPointer<QWidget> about_;
    QPointer<QWidget> history_;
    QPointer<QWidget> directoryInfo_;
};

} // namespace tricked
