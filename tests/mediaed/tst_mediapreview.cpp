// The preview pane: what it is handed, its controls, and that it survives files it cannot
// play. Playback needs no sound card; the waits are generous for slow machines.
#include "mediaed/mediabackend.h"
#include "mediaed/mediapreview.h"
#include "mediaed/previewcontrols.h"
#include "tests/support/underwine.h"

#include <QAction>
#include <QAudioOutput>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QtEndian>

using namespace mediaed;

namespace {

constexpr int kWait = 20000;

// A short mono tone as a WAV file, which every GStreamer installation decodes.
QByteArray wavTone(int milliseconds) {
    const int rate = 8000, samples = rate * milliseconds / 1000;
    QByteArray pcm;
    for (int i = 0; i < samples; ++i) {
        const qint16 s = qint16(((i / 10) % 2) ? 3000 : -3000);
        pcm.append(char(s & 0xff)).append(char((s >> 8) & 0xff));
    }
    auto le32 = [](quint32 v) {
        QByteArray b(4, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    auto le16 = [](quint16 v) {
        QByteArray b(2, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    return "RIFF" + le32(36 + pcm.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(rate) +
           le32(rate * 2) + le16(2) + le16(16) + "data" + le32(pcm.size()) + pcm;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(f.fileName()));
    return f.fileName();
}

} // namespace

class TestMediaPreview : public QObject {
    Q_OBJECT

public:
    // The program's media back end, chosen before the application object as main() does.
    static void initMain() { mediaed::chooseMediaBackend(); }

private slots:
    void controlsOnlyReport();
    void startsAtSixDecibelsBelowFull();
    void playsAFileOnce();
    void survivesUnplayableInput_data();
    void survivesUnplayableInput();
    void moviePaneSaysWhenThereIsNoPicture();
};

void TestMediaPreview::controlsOnlyReport() {
    PreviewControls controls;
    QSignalSpy play(&controls, &PreviewControls::play);
    QSignalSpy pause(&controls, &PreviewControls::pause);
    QSignalSpy stop(&controls, &PreviewControls::stop);
    QSignalSpy volume(&controls, &PreviewControls::volumeChanged);
    QSignalSpy seek(&controls, &PreviewControls::seek);
    controls.show();

    controls.setPlaybackState(QMediaPlayer::PlayingState);
    QTest::mouseClick(controls.findChild<QToolButton*>("pause"), Qt::LeftButton);
    QTest::mouseClick(controls.findChild<QToolButton*>("stop"), Qt::LeftButton);
    controls.setPlaybackState(QMediaPlayer::StoppedState);
    QTest::mouseClick(controls.findChild<QToolButton*>("play"), Qt::LeftButton);
    QCOMPARE(play.size(), 1);
    QCOMPARE(pause.size(), 1);
    QCOMPARE(stop.size(), 1);

    // Being told the volume is not the user changing it.
    controls.setVolume(0.25f);
    QCOMPARE(volume.size(), 0);
    QCOMPARE(controls.volume(), 0.25f);
    auto* bar = controls.findChild<QSlider*>("volume");
    bar->setValue(bar->maximum());
    QCOMPARE(volume.size(), 1);
    QVERIFY(qFuzzyCompare(volume.last().first().toFloat(), 1.0f));
    bar->setValue(bar->minimum());
    QCOMPARE(volume.last().first().toFloat(), 0.0f);

    controls.setDuration(90000);
    controls.setPosition(61000);
    QCOMPARE(controls.findChild<QLabel*>("time")->text(), QStringLiteral("1:01 / 1:30"));
    controls.setPosition(95000); // the header's estimate was short
    QCOMPARE(controls.findChild<QLabel*>("time")->text(), QStringLiteral("1:35 / 1:35"));
    controls.setPosition(61000);
    auto* position = controls.findChild<QSlider*>("position");
    QCOMPARE(position->maximum(), 90000);
    position->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(seek.size(), 1);
    QCOMPARE(seek.last().first().toLongLong(), qint64(position->value()));
}

void TestMediaPreview::startsAtSixDecibelsBelowFull() {
    MediaPreview pane;
    // -6 dB as a linear gain: 10^(-6/20).
    QVERIFY(std::abs(MediaPreview::startingVolume() - 0.501187f) < 1e-5f);
    QCOMPARE(pane.volume(), MediaPreview::startingVolume());
    QVERIFY(!pane.player());
    QTemporaryDir dir;
    pane.setFile(writeFile(dir, "tone.wav", wavTone(200)));
    QVERIFY(pane.audioOutput());
    QCOMPARE(pane.audioOutput()->volume(), MediaPreview::startingVolume());
}

void TestMediaPreview::playsAFileOnce() {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "tone.mp3", wavTone(1500)); // decoded by its content
    MediaPreview pane;
    pane.show();
    pane.setFile(path);
    QCOMPARE(pane.file(), path);
    QCOMPARE(pane.player()->source(), QUrl::fromLocalFile(path));
    SKIP_PLAYBACK_UNDER_WINE();
    QTRY_COMPARE_WITH_TIMEOUT(pane.player()->playbackState(), QMediaPlayer::PlayingState, kWait);

    // The right-click commands drive the player.
    QStringList commands;
    for (QAction* a : pane.actions())
        commands << a->text();
    QCOMPARE(commands, QStringList({"Play", "Pause", "Stop"}));
    pane.actions()[1]->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(pane.player()->playbackState(), QMediaPlayer::PausedState, kWait);
    pane.actions()[0]->trigger();

    QTRY_COMPARE_WITH_TIMEOUT(pane.player()->mediaStatus(), QMediaPlayer::EndOfMedia, kWait);
    QCOMPARE(pane.player()->playbackState(), QMediaPlayer::StoppedState);
    QCOMPARE(pane.message(), QString());
    // Once: it does not start over by itself.
    QTest::qWait(300);
    QCOMPARE(pane.player()->mediaStatus(), QMediaPlayer::EndOfMedia);
}

void TestMediaPreview::survivesUnplayableInput_data() {
    QTest::addColumn<QString>("name");     // empty: no file at all
    QTest::addColumn<QByteArray>("bytes"); // empty: the file does not exist
    QTest::newRow("empty path") << "" << QByteArray();
    QTest::newRow("missing file") << "gone.mp3" << QByteArray();
    QTest::newRow("text named mp3")
        << "notes.mp3" << QByteArray("OVRA3 DEMO cd grind.mus\n").repeated(40);
    QTest::newRow("zero bytes") << "empty.mpg" << QByteArray("");
    QTest::newRow("truncated header") << "cut.mpg" << QByteArray("\x00\x00\x01\xba\x44", 5);
}

void TestMediaPreview::survivesUnplayableInput() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QString path;
    if (!name.isEmpty()) {
        path = dir.filePath(name);
        if (!bytes.isEmpty() || name == "empty.mpg")
            writeFile(dir, name, bytes);
    }
    MediaPreview pane;
    pane.setExpectsPicture(name.endsWith(".mpg"));
    pane.show();
    pane.setFile(path);
    QCOMPARE(pane.file(), path);
    // The failure is told in the pane itself, and the pane stays usable.
    QTRY_VERIFY_WITH_TIMEOUT(!pane.message().isEmpty(), kWait);
    QVERIFY(!pane.showsPicture());
    QCOMPARE(pane.findChild<QLabel*>("message")->isVisible(), true);

    // The next good file plays again.
    SKIP_PLAYBACK_UNDER_WINE();
    const QString good = writeFile(dir, "good.mp3", wavTone(200));
    pane.setExpectsPicture(false);
    pane.setFile(good);
    QCOMPARE(pane.message(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(pane.player()->mediaStatus(), QMediaPlayer::EndOfMedia, kWait);
    QCOMPARE(pane.message(), QString());
}

void TestMediaPreview::moviePaneSaysWhenThereIsNoPicture() {
    QTemporaryDir dir;
    MediaPreview pane;
    pane.setExpectsPicture(true);
    pane.show();
    SKIP_PLAYBACK_UNDER_WINE();
    pane.setFile(writeFile(dir, "sound only.mpg", wavTone(1500)));
    QTRY_VERIFY_WITH_TIMEOUT(!pane.message().isEmpty(), kWait);
    QVERIFY(pane.message().contains("picture"));
}

QTEST_MAIN(TestMediaPreview)
#include "tst_mediapreview.moc"
