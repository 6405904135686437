#pragma once

#include <QMediaPlayer>
#include <QWidget>

class QAudioOutput;
class QLabel;
class QSlider;
class QStackedWidget;
class QToolButton;
class QVideoWidget;

namespace mediaed {

// Transport buttons, a position/seek bar and a volume bar. They hold no player: they report
// what the user asks for and show what they are told, so they work without a media back end.
class PreviewControls : public QWidget {
    Q_OBJECT

public:
    explicit PreviewControls(QWidget* parent = nullptr);

    void setPlaybackState(QMediaPlayer::PlaybackState state);
    void setDuration(qint64 milliseconds);
    void setPosition(qint64 milliseconds);
    // Linear volume, 0 (silent) to 1 (full); the bar shows it on a perceptual scale.
    void setVolume(float linear);
    float volume() const { return volume_; }

signals:
    void play();
    void pause();
    void stop();
    void seek(qint64 milliseconds);
    void volumeChanged(float linear);

private:
    void showTime();

    QToolButton* play_;
    QToolButton* pause_;
    QToolButton* stop_;
    QSlider* position_;
    QSlider* volumeBar_;
    QLabel* time_;
    qint64 duration_ = 0;
    qint64 positionMs_ = 0;
    float volume_ = 1;
    bool settingVolume_ = false;
};

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
    void createPlayer();
    void dropPlayer();
    void showFailure(const QString& playerText);
    void showMessage(const QString& text);
    void showPicture();
    void checkMedia(QMediaPlayer::MediaStatus status);

    QString file_;
    QStackedWidget* screen_;
    QVideoWidget* video_ = nullptr; // with the player
    QLabel* message_;
    PreviewControls* controls_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    bool expectsPicture_ = false;
    bool failed_ = false; // the player reported an error
};

} // namespace mediaed
