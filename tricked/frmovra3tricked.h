#pragma once

#include "filelist.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <optional>

class QComboBox;
class QProgressBar;
class QPushButton;

namespace ovra {
class ClockStatusBar;
}

namespace tricked {


inline const QString kProgramTitle = QStringLiteral("Ovra3TrickEd");
inline const QString kTrickConfigFilter = QStringLiteral("Trick Config Files (*.tcg)|*.tcg");
inline const QString kSelectATrick = QStringLiteral("Select a trick");

// The trick editor's one working window: two pick lists of the CD's trick files, a button that
// copies the CD file of one trick over the installed file of another, the Trick Config menu
// commands and the restore. Start-up runs in the constructor, before the window is shown.
class frmOvra3TrickEd : public QMainWindow {
    Q_OBJECT
public:
    explicit frmOvra3TrickEd(const QString& programDir, QWidget* parent = nullptr);
    ~frmOvra3TrickEd() override;

    // Copies the CD file `withfile` over the installed file `replacefile` and records the swap
    // while a current Trick Config exists. Reports every failure itself (the installation
    // error message) and never passes one on.
    void transform(const QString& replacefile, const QString& withfile);

    // The window's hidden state, read by tests and the benchmark.
    const QString& programDirectory() const { return programDir_; }
    const std::optional<QString>& gameDirectory() const { return gameDirectory_; }
    const std::optional<QString>& cdDrive() const { return cdDrive_; }
    const ovra::FileList& trickList() const { return trickList_; }
    const QString& currentConfig() const { return currentConfig_; }
    const QString& openedConfig() const { return openedConfig_; }
    const QString& fileFilter() const { return filter_; }
    // The restore's progress as set (single precision); the bar draws it on a finer scale.
    float progressValue() const { return progressValue_; }
    int progressMaximum() const { return progressMaximum_; }

    // The menu commands.
    void newConfig();
    void saveConfig();
    void openConfig();
    void restoreOriginals();
    void showInstructions();
    void showAbout();
    void showHistory();
    void specifyDirectory();
    void exitProgram();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void startUp();
    int offeredCount() const; // trick positions in the pick lists
    int position(const QString& name) const;
    void setProgress(int maximum, float value);
    void showProblem(const QString& text);

    QString programDir_;
    QString filter_;
    std::optional<QString> gameDirectory_; // RichTextBox1
    std::optional<QString> cdDrive_;       // RichTextBox2
    QString currentConfig_;                // RichTextBox3: empty, or a whole Trick Config
    QString openedConfig_;                 // RichTextBox4
    ovra::FileList trickList_;             // File1
    QHash<QString, int> positions_;        // name -> position, for the names on offer
    QString lastConfigFile_;               // the dialog starts from the last file used
    float progressValue_ = 0.0f;
    int progressMaximum_ = 100;

    QComboBox* cboReplace_ = nullptr;
    QComboBox* cboWith_ = nullptr;
    QPushButton* cmdTransform_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    ovra::ClockStatusBar* statusBar_ = nullptr;

    QPointer<QWidget> instructions_;
    QPointer<QWidget> about_;
    QPointer<QWidget> history_;
    QPointer<QWidget> directoryInfo_;
};

} // namespace tricked
