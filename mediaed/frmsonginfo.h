#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace mediaed {

// The Song Info dialog: a song name and an artist, taken whole (line breaks included), and an
// OK button that holds the focus when the dialog opens. OK hands the caption on and closes the
// dialog, which is deleted then, so the next one starts empty; the close box hands on nothing.
class FrmSongInfo : public QWidget {
    Q_OBJECT
public:
    explicit FrmSongInfo(QWidget* parent = nullptr);

signals:
    // OK: the song name, " - ", the artist.
    void accepted(const QString& caption);

private:
    void ok();

    QPlainTextEdit* songNameBox_;
    QPlainTextEdit* artistBox_;
    QPushButton* okButton_;
};

} // namespace mediaed
