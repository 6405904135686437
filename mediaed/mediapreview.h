#pragma once

#include <QMediaPlayer>
#include <QWidget>

class QAudioOutput;
class QLabel;
class QStackedWidget;
class QVideoWidget;

namespace mediaed {

class PreviewControls;

// The preview pane of one side of the main window: assigning a file starts playing it once,
// scaled to the pane. A file that cannot be played (or no file at all) is reported inside the
// pane instead of the picture. The media back end is started only by the first file.
class MediaPreview : public QWidget {
    Q_OBJECT

public:
    explicit MediaPreview(QWidget* parent = nullptr);

    // 6 dB below full, as a linear gain.
    static float startingVolume();

    // A movie pane says so when a file plays without a picture.
    void setExpectsPicture(bool expects);
    void setFile(const QString& path);
    const QString& file() const { return file_; }

    QMediaPlayer* player() const { return player_; } // nullptr until the first file
    QAudioOutput* audioOutput() const { return audio_; }
    float volume() const;
    // What the pane shows instead of a picture; empty while the file plays or none was given.
    QString message() const;
    bool showsPicture() const;

private:
    // What the screen shows: the picture, or one of the reasons why not.
    enum class Screen { Picture, Notice, NoPicture, Failure };

    void createPlayer();
    void dropPlayer();
    void showFailure(const QString& playerText);
    void showMessage(Screen kind, const QString& text);
    void showPicture();
    void checkMedia(QMediaPlayer::MediaStatus status);

    QString file_;
    QStackedWidget* screen_;
    QVideoWidget* video_ = nullptr; // with the player
    QLabel* message_;
    PreviewControls* controls_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    Screen shown_ = Screen::Notice;
    bool expectsPicture_ = false;
    bool failed_ = false; // the player reported an error
};

} // namespace mediaed
