#include "mediaed/previewcontrols.h"

#include <QAudio>
#include <QBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <cmath>

namespace mediaed {

namespace {

QToolButton* transportButton(QWidget* parent, const QString& name, const QString& text,
                             QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(text);
    button->setAccessibleName(text);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QString clock(qint64 milliseconds) {
    const qint64 seconds = std::max<qint64>(0, milliseconds / 1000);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The volume bar moves on a perceptual scale; the output takes a linear gain.
int volumeToBar(float linear) {
    return int(std::lround(100.0 * QAudio::convertVolume(linear, QAudio::LinearVolumeScale,
                                                         QAudio::LogarithmicVolumeScale)));
}

float barToVolume(int value) {
    return float(QAudio::convertVolume(value / 100.0, QAudio::LogarithmicVolumeScale,
                                       QAudio::LinearVolumeScale));
}

} // namespace

PreviewControls::PreviewControls(QWidget* parent)
    : QWidget(parent),
      play_(transportButton(this, QStringLiteral("play"), tr("Play"), QStyle::SP_MediaPlay)),
      pause_(transportButton(this, QStringLiteral("pause"), tr("Pause"), QStyle::SP_MediaPause)),
      stop_(transportButton(this, QStringLiteral("stop"), tr("Stop"), QStyle::SP_MediaStop)),
      position_(new QSlider(Qt::Horizontal, this)), volumeBar_(new QSlider(Qt::Horizontal, this)),
      time_(new QLabel(this)) {
    position_->setObjectName(QStringLiteral("position"));
    position_->setAccessibleName(tr("Position"));
    position_->setRange(0, 0);
    volumeBar_->setObjectName(QStringLiteral("volume"));
    volumeBar_->setAccessibleName(tr("Volume"));
    volumeBar_->setRange(0, 100);
    volumeBar_->setToolTip(tr("Volume"));
    time_->setObjectName(QStringLiteral("time"));
    auto* speaker = new QLabel(this);
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize);
    speaker->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(icon, icon));

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 0, 2, 2);
    rows->setSpacing(0);
    auto* seekRow = new QHBoxLayout;
    seekRow->addWidget(position_, 1);
    seekRow->addWidget(time_);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(0);
    buttonRow->addWidget(play_);
    buttonRow->addWidget(pause_);
    buttonRow->addWidget(stop_);
    buttonRow->addSpacing(6);
    buttonRow->addWidget(speaker);
    buttonRow->addWidget(volumeBar_, 1);
    rows->addLayout(seekRow);
    rows->addLayout(buttonRow);

    connect(play_, &QToolButton::clicked, this, &PreviewControls::play);
    connect(pause_, &QToolButton::clicked, this, &PreviewControls::pause);
    connect(stop_, &QToolButton::clicked, this, &PreviewControls::stop);
    connect(position_, &QSlider::sliderMoved, this, [this](int ms) { emit seek(ms); });
    // A click on the bar's groove (not a drag) also seeks.
    connect(position_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            emit seek(position_->sliderPosition());
    });
    connect(volumeBar_, &QSlider::valueChanged, this, [this](int value) {
        if (settingVolume_)
            return;
        volume_ = barToVolume(value);
        emit volumeChanged(volume_);
    });
    // The player's own colours, not the black window around it.
    setAutoFillBackground(true);
    setPlaybackState(QMediaPlayer::StoppedState);
    showTime();
}

void PreviewControls::setPlaybackState(QMediaPlayer::PlaybackState state) {
    play_->setEnabled(state != QMediaPlayer::PlayingState);
    pause_->setEnabled(state == QMediaPlayer::PlayingState);
    stop_->setEnabled(state != QMediaPlayer::StoppedState);
}

void PreviewControls::setDuration(qint64 milliseconds) {
    duration_ = std::max<qint64>(0, milliseconds);
    position_->setRange(0, int(std::min<qint64>(duration_, INT_MAX)));
    showTime();
}

void PreviewControls::setPosition(qint64 milliseconds) {
    positionMs_ = milliseconds;
    if (!position_->isSliderDown())
        position_->setValue(int(std::clamp<qint64>(milliseconds, 0, INT_MAX)));
    showTime();
}

void PreviewControls::setVolume(float linear) {
    volume_ = std::clamp(linear, 0.0f, 1.0f);
    settingVolume_ = true;
    volumeBar_->setValue(volumeToBar(volume_));
    settingVolume_ = false;
}

void PreviewControls::showTime() {
    // A duration read from a file's header can fall short of where playback gets to.
    time_->setText(clock(positionMs_) + QStringLiteral(" / ") +
                   clock(std::max(duration_, positionMs_)));
}

} // namespace mediaed
