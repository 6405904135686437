#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <optional>

class QMessageBox;
class QWidget;

namespace ovra {

Q_DECLARE_LOGGING_CATEGORY(lcWidgets)

// The one failure text of both programs.
extern const QString kInstallationError;

// Every modal question and message goes through this seam, so that tests can script the
// answers. The default implementation shows the real QMessageBox / QFileDialog.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box: only an OK button, no icon, `caption` as the window title.
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A modal question with Yes and No buttons; true for Yes.
    virtual bool question(QWidget* parent, const QString& caption, const QString& text) = 0;
    // File dialogs; nothing when the user cancels. `filter` uses the "Text (*.x)|*.x" form.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                            const QString& previous) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                            const QString& previous) = 0;
};

Dialogs& dialogs();
// Replaces the implementation (tests); nullptr restores the real dialogs. Not owned.
void setDialogs(Dialogs* replacement);

// Shows the installation error message with the program's title as caption. The specific
// reason the message does not give was logged where the failure was found (the cores).
void showInstallationError(QWidget* parent, const QString& programTitle);

// Converts a "Desc (*.a)|*.a|Desc2 (*.b)|*.b" filter into Qt's ";;" form.
QString qtFilter(const QString& pipeFilter);

// Build the real message box and question box without showing them (so tests can inspect them).
// Their texts are plain text: they name files and folders that come from strangers.
QMessageBox* createMessageBox(QWidget* parent, const QString& caption, const QString& text);
QMessageBox* createQuestionBox(QWidget* parent, const QString& caption, const QString& text);

} // namespace ovra
