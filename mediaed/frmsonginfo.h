#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace mediaed {

// The Song Info dialog: a song name and an artist, taken whole (line breaks included), and an
// OK button that holds the focus when the dialog opens. It only collects the two texts; what
// OK does is up to its owner. Deleted when closed, so the next one starts empty.
class FrmSongInfo : public QWidget {
    Q_OBJECT
public:
    explicit FrmSongInfo(QWidget* parent = nullptr);

    QString songName() const;
    QString artist() const;

signals:
    void okClicked();
    // The dialog is closing (by OK or by its close box) and will be deleted.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* songName_;
    QPlainTextEdit* artist_;
    QPushButton* ok_;
};

} // namespace mediaed
