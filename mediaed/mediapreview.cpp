#include "mediapreview.h"

#include "winlook.h"

#include <QAction>
#include <QAudio>
#include <QAudioOutput>
#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVideoWidget>
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

// Without a video decoder a movie still plays its sound, and the pane would stay black.
static QString noPictureText() {
    return MediaPreview::tr("The sound plays, but no picture can be shown: the file has none, "
                            "or no video decoder for it is installed.");
}

float MediaPreview::startingVolume() {
    return float(std::pow(10.0, -6.0 / 20.0));
}

MediaPreview::MediaPreview(QWidget* parent)
    : QWidget(parent), screen_(new QStackedWidget(this)), message_(new QLabel(screen_)),
      controls_(new PreviewControls(this)) {
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignCenter);
    message_->setTextFormat(Qt::PlainText);
    message_->setMargin(6);
    QPalette pal = message_->palette();
    pal.setColor(QPalette::Window, ovra::look::kBlack);
    pal.setColor(QPalette::WindowText, Qt::white);
    message_->setPalette(pal);
    message_->setAutoFillBackground(true);
    screen_->addWidget(message_);
    pal = screen_->palette();
    pal.setColor(QPalette::Window, ovra::look::kBlack);
    screen_->setPalette(pal);
    screen_->setAutoFillBackground(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(screen_, 1);
    column->addWidget(controls_);

    controls_->setVolume(startingVolume());
    // Keyboard focus enters the pane at its first button and then runs through its controls.
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(controls_->findChild<QToolButton*>(QStringLiteral("play")));

    // A right click offers the transport commands too.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    const std::pair<QString, void (PreviewControls::*)()> commands[] = {
        {tr("Play"), &PreviewControls::play},
        {tr("Pause"), &PreviewControls::pause},
        {tr("Stop"), &PreviewControls::stop}};
    for (const auto& [text, signal] : commands) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, controls_, signal);
        addAction(action);
    }

    connect(controls_, &PreviewControls::play, this, [this] {
        if (player_)
            player_->play();
    });
    connect(controls_, &PreviewControls::pause, this, [this] {
        if (player_)
            player_->pause();
    });
    connect(controls_, &PreviewControls::stop, this, [this] {
        if (player_)
            player_->stop();
    });
    connect(controls_, &PreviewControls::seek, this, [this](qint64 ms) {
        if (player_)
            player_->setPosition(ms);
    });
    connect(controls_, &PreviewControls::volumeChanged, this, [this](float linear) {
        if (audio_)
            audio_->setVolume(linear);
    });
}

float MediaPreview::volume() const {
    return audio_ ? audio_->volume() : controls_->volume();
}

QString MediaPreview::message() const {
    return screen_->currentWidget() == message_ ? message_->text() : QString();
}

bool MediaPreview::showsPicture() const {
    return video_ && screen_->currentWidget() == video_;
}

void MediaPreview::createPlayer() {
    // The picture needs the back end too, so it comes with the first player.
    if (!video_) {
        video_ = new QVideoWidget(screen_);
        video_->setObjectName(QStringLiteral("picture"));
        video_->setAspectRatioMode(Qt::KeepAspectRatio);
        screen_->addWidget(video_);
    }
    failed_ = false;
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    audio_->setVolume(controls_->volume());
    player_->setAudioOutput(audio_);
    player_->setVideoOutput(video_);
    player_->setLoops(1);

    connect(player_, &QMediaPlayer::playbackStateChanged, controls_,
            &PreviewControls::setPlaybackState);
    connect(player_, &QMediaPlayer::durationChanged, controls_, &PreviewControls::setDuration);
    connect(player_, &QMediaPlayer::positionChanged, controls_, &PreviewControls::setPosition);
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString& text) {
                if (error != QMediaPlayer::NoError)
                    showFailure(text);
            });
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, &MediaPreview::checkMedia);
    connect(player_, &QMediaPlayer::hasVideoChanged, this, [this](bool hasVideo) {
        if (hasVideo && message() == noPictureText())
            showPicture();
    });
}

void MediaPreview::dropPlayer() {
    player_->disconnect(this);
    player_->disconnect(controls_);
    delete player_;
    delete audio_;
    player_ = nullptr;
    audio_ = nullptr;
}

void MediaPreview::setFile(const QString& path) {
    file_ = path;
    // A player that failed may still report on its old file; the next file gets a fresh one.
    if (player_ && failed_)
        dropPlayer();
    // Nothing to open: stop what played before rather than keep playing the old choice.
    const bool missing = path.isEmpty() || !QFileInfo(path).isFile();
    if (missing && player_) {
        player_->stop();
        player_->setSource(QUrl());
    }
    if (path.isEmpty()) {
        showMessage(tr("No file was chosen."));
        return;
    }
    if (missing) {
        showMessage(tr("The file %1 cannot be found.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!player_)
        createPlayer();
    showPicture();
    controls_->setPosition(0);
    player_->setSource(QUrl::fromLocalFile(path));
    player_->play();
}

void MediaPreview::setExpectsPicture(bool expects) {
    expectsPicture_ = expects;
}

void MediaPreview::checkMedia(QMediaPlayer::MediaStatus status) {
    switch (status) {
    case QMediaPlayer::InvalidMedia:
        if (message().isEmpty())
            showFailure(player_->errorString());
        break;
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (expectsPicture_ && !player_->hasVideo() && message().isEmpty())
            showMessage(noPictureText());
        break;
    default:
        break;
    }
}

void MediaPreview::showFailure(const QString& playerText) {
    failed_ = true;
    showMessage(playerText.isEmpty() ? tr("This file cannot be played.") : playerText);
}

void MediaPreview::showMessage(const QString& text) {
    message_->setText(text);
    screen_->setCurrentWidget(message_);
}

void MediaPreview::showPicture() {
    message_->clear();
    screen_->setCurrentWidget(video_);
}

} // namespace mediaed
