#include "mediaed/mediapreview.h"

#include "mediaed/previewcontrols.h"
#include "widgets/winlook.h"

#include <QAction>
#include <QAudioOutput>
#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>
#include <QUrl>
#include <QVideoWidget>
#include <cmath>

namespace mediaed {

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
}

float MediaPreview::volume() const {
    return audio_ ? audio_->volume() : controls_->volume();
}

QString MediaPreview::message() const {
    return shown_ == Screen::Picture ? QString() : message_->text();
}

bool MediaPreview::showsPicture() const {
    return shown_ == Screen::Picture && video_;
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

    // The controls drive this player until it is dropped; its deletion ends the connections.
    connect(controls_, &PreviewControls::play, player_, &QMediaPlayer::play);
    connect(controls_, &PreviewControls::pause, player_, &QMediaPlayer::pause);
    connect(controls_, &PreviewControls::stop, player_, &QMediaPlayer::stop);
    connect(controls_, &PreviewControls::seek, player_, &QMediaPlayer::setPosition);
    connect(controls_, &PreviewControls::volumeChanged, audio_, &QAudioOutput::setVolume);
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
        if (hasVideo && shown_ == Screen::NoPicture)
            showPicture();
    });
}

void MediaPreview::dropPlayer() {
    // Nothing it says while it goes down is about the next file.
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
        showMessage(Screen::Notice, tr("No file was chosen."));
        return;
    }
    if (missing) {
        showMessage(Screen::Notice,
                    tr("The file %1 cannot be found.").arg(QDir::toNativeSeparators(path)));
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
        if (shown_ == Screen::Picture)
            showFailure(player_->errorString());
        break;
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferedMedia:
        if (expectsPicture_ && !player_->hasVideo() && shown_ == Screen::Picture)
            showMessage(Screen::NoPicture, noPictureText());
        break;
    default:
        break;
    }
}

void MediaPreview::showFailure(const QString& playerText) {
    failed_ = true;
    showMessage(Screen::Failure,
                playerText.isEmpty() ? tr("This file cannot be played.") : playerText);
}

void MediaPreview::showMessage(Screen kind, const QString& text) {
    shown_ = kind;
    message_->setText(text);
    screen_->setCurrentWidget(message_);
}

void MediaPreview::showPicture() {
    shown_ = Screen::Picture;
    message_->clear();
    screen_->setCurrentWidget(video_);
}

} // namespace mediaed
