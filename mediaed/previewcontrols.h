#pragma once

#include <QMediaPlayer>
#include <QWidget>

class QLabel;
class QSlider;
class QToolButton;

namespace mediaed {

// Transport buttons, a position/seek bar and a volume bar. They hold no player: they report
// what the user asks for and show what they are told, so they work without a media back end.
class PreviewControls : public QWidget {
    Q_OBJECT

public:
    explicit PreviewControls(QWidget* parent = nullptr);

    // Linear volume, 0 (silent) to 1 (full); the bar shows it on a perceptual scale.
    float volume() const { return volume_; }

public slots:
    void setPlaybackState(QMediaPlayer::PlaybackState state);
    void setDuration(qint64 milliseconds);
    void setPosition(qint64 milliseconds);
    void setVolume(float linear);

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

} // namespace mediaed
