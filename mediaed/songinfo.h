#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace mediaed {

class FrmSongInfo;
class Soundtrack;

// Owns the Song Info dialog: shown after each music replacement, OK names the soundtrack
// slot of the replaced file and saves the catalogue.
class SongInfo : public QObject {
    Q_OBJECT
public:
    // readSelection returns the current text of the main window's cboReplace.
    SongInfo(Soundtrack& soundtrack, std::function<QString()> readSelection,
             QObject* parent = nullptr);
    ~SongInfo() override;

    void show(); // creates frmSongInfo on first use (modeless, no owner), else brings it forward
    QWidget* existing() const; // nullptr when not open

private:
    void accept();

    Soundtrack& soundtrack_;
    std::function<QString()> readSelection_;
    QPointer<FrmSongInfo> dialog_;
};

} // namespace mediaed
