// The Current Soundtrack window and the Song Info dialog, driven through their managers as
// the main window drives them: what they show, and what lands in the slot files.
#include "frmsonginfo.h"
#include "frmsoundtrack.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "scripteddialogs.h"
#include "songinfo.h"
#include "soundtrack.h"
#include "stocktable.h"
#include "tempinstall.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace mediaed;

namespace {

const QString kTitle = QStringLiteral("Ovra3MediaEd");
const QString kRestart = QStringLiteral("Close Ovra3MediaEd and open it up again");

// Also notes which windows were on screen when a message came up.
class RecordingDialogs : public ScriptedDialogs {
public:
    void message(QWidget* parent, const QString& caption, const QString& text) override {
        QStringList visible;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                visible << w->objectName();
        visibleAtMessage << visible;
        ScriptedDialogs::message(parent, caption, text);
    }
    QVector<QStringList> visibleAtMessage;
};

QStringList seedCaptions() {
    QStringList captions;
    for (int i = 0; i < kSlotCount; ++i)
        captions << QStringLiteral("Seed %1 - Band %1").arg(i);
    return captions;
}

QStringList stockCaptions() {
    QStringList captions;
    for (const auto& row : stockTable())
        captions << row.caption;
    return captions;
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Fixture {
    QTemporaryDir tmp;
    QString program = tmp.path() + QStringLiteral("/program");
    QString data = program + QStringLiteral("/data");
    RecordingDialogs dialogs;

    Fixture() { QDir().mkpath(data); }
    QString file(int slot) const { return data + QStringLiteral("/%1.dat").arg(slot); }
    void seed(const QStringList& captions) const {
        for (int i = 0; i < kSlotCount; ++i) {
            QFile f(file(i));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(rtf::write(captions[i]));
        }
    }
    void removeFiles() const {
        for (int i = 0; i < kSlotCount; ++i)
            QFile::remove(file(i));
    }
    int fileCount() const {
        return int(QDir(data).entryList(QDir::Files | QDir::NoDotAndDotDot).size());
    }
    // The captions on disk; a missing file reads as "<missing>".
    QStringList onDisk() const {
        QStringList captions;
        for (int i = 0; i < kSlotCount; ++i) {
            const rtf::ReadResult r = rtf::read(TempInstall::bytes(file(i)));
            captions << (r.ok ? r.text : QStringLiteral("<missing>"));
        }
        return captions;
    }
};

QStringList labelTexts(const QWidget* window) {
    QStringList texts;
    for (int k = 0; k < kSlotCount; ++k) {
        auto* label = window->findChild<QLabel*>(QStringLiteral("Label2_%1").arg(k));
        texts << (label ? label->text() : QStringLiteral("<no label>"));
    }
    return texts;
}

QPlainTextEdit* entry(const QWidget* dialog, const char* name) {
    return dialog->findChild<QPlainTextEdit*>(QString::fromLatin1(name));
}

void clickOk(const QWidget* dialog) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
}

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

} // namespace

class TestSoundtrackWindows : public QObject {
    Q_OBJECT
private slots:
    void cleanup();

    void firstStartShowsTheMessageOnce();
    void missingSlotKeepsTheOthers();
    void closeRequestSavesAndRecreatesHidden();
    void hideAndExitSaveNothing();
    void dockAdjoinsTheRightEdge();
    void soundtrackNeverTakesFocus();
    void unwritableDataFolderIsReportedOnce();

    void songInfoOk_data();
    void songInfoOk();
    void songInfoUsesTheSelectionAtOk();
    void songInfoCloseBoxChangesNothing();
    void songInfoWithSoundtrackClosed();
    void songInfoKeyboard();

    void layout_data();
    void layout();
};

void TestSoundtrackWindows::cleanup() {
    // No window may outlive its test.
    flushDeletes();
    QVERIFY(!topLevel(QStringLiteral("frmSoundtrack")));
    QVERIFY(!topLevel(QStringLiteral("frmSongInfo")));
}

void TestSoundtrackWindows::firstStartShowsTheMessageOnce() {
    Fixture f;
    {
        Soundtrack soundtrack(f.program);
        soundtrack.show();
        QVERIFY(soundtrack.existing() && soundtrack.existing()->isVisible());
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].caption, kTitle);
        QCOMPARE(f.dialogs.messages[0].text, kRestart);
        // Loaded before anything was on screen.
        QCOMPARE(f.dialogs.visibleAtMessage[0], QStringList());
        QCOMPARE(labelTexts(soundtrack.existing()), stockCaptions());
        QCOMPARE(f.fileCount(), kSlotCount);
        QCOMPARE(f.onDisk(), stockCaptions());
    }
    Soundtrack second(f.program);
    second.show();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(labelTexts(second.existing()), stockCaptions());
}

void TestSoundtrackWindows::missingSlotKeepsTheOthers() {
    Fixture f;
    f.seed(seedCaptions());
    QFile::remove(f.file(7));
    QStringList expected = seedCaptions();
    expected[7] = stockTable()[7].caption;

    Soundtrack soundtrack(f.program);
    soundtrack.show();
    QCOMPARE(f.dialogs.count(kRestart), 1);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(labelTexts(soundtrack.existing()), expected);
    QCOMPARE(soundtrack.existing()->catalogue().captions(), expected);
    QCOMPARE(f.onDisk(), expected);
}

void TestSoundtrackWindows::closeRequestSavesAndRecreatesHidden() {
    Fixture f;
    f.seed(seedCaptions());
    Soundtrack soundtrack(f.program);
    soundtrack.show();
    FrmSoundtrack* window = soundtrack.existing();
    window->setSlot(2, QStringLiteral("Changed - In memory"));
    QStringList expected = seedCaptions();
    expected[2] = QStringLiteral("Changed - In memory");

    f.removeFiles();
    QVERIFY(window->close());
    QCOMPARE(soundtrack.existing(), nullptr);
    QCOMPARE(f.onDisk(), expected);
    QVERIFY(f.dialogs.messages.isEmpty());

    // Someone changes a file; the next use loads again, and stays hidden.
    f.seed(seedCaptions());
    FrmSoundtrack* again = soundtrack.window();
    QVERIFY(again);
    QVERIFY(!again->isVisible());
    QCOMPARE(labelTexts(again), seedCaptions());
    soundtrack.dock(QRect(0, 0, 100, 100));
    QCOMPARE(soundtrack.existing(), again);
    QVERIFY(!again->isVisible());
}

void TestSoundtrackWindows::hideAndExitSaveNothing() {
    Fixture f;
    f.seed(seedCaptions());
    {
        Soundtrack soundtrack(f.program);
        soundtrack.show();
        FrmSoundtrack* window = soundtrack.existing();
        window->setSlot(4, QStringLiteral("Unsaved - Change"));
        f.removeFiles();
        soundtrack.hide();
        QVERIFY(!window->isVisible());
        QCOMPARE(soundtrack.existing(), window);
        QCOMPARE(f.fileCount(), 0);
    } // leaving the program (Exit) destroys the manager and its window
    flushDeletes();
    QCOMPARE(f.fileCount(), 0);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestSoundtrackWindows::dockAdjoinsTheRightEdge() {
    Fixture f;
    f.seed(seedCaptions());
    Soundtrack soundtrack(f.program);
    soundtrack.dock(QRect(100, 50, 543, 600));
    FrmSoundtrack* window = soundtrack.existing();
    QVERIFY(window);
    QVERIFY(!window->isVisible()); // docking never shows it
    soundtrack.show();
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(643, 50));
    QCOMPARE(window->frameGeometry().size(), QSize(467, 514));
    soundtrack.dock(QRect(-20, 300, 200, 10));
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(180, 300));
    QCOMPARE(window->size(), QSize(467, 514));
}

void TestSoundtrackWindows::soundtrackNeverTakesFocus() {
    Fixture f;
    f.seed(seedCaptions());
    QWidget main;
    main.setObjectName(QStringLiteral("main"));
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    Soundtrack soundtrack(f.program);
    soundtrack.show();
    FrmSoundtrack* window = soundtrack.existing();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // The offscreen platform activates every window it shows; a real one (run this suite
    // with -platform xcb) honours the flags below.
    if (QGuiApplication::platformName() != u"offscreen")
        QCOMPARE(QApplication::activeWindow(), &main);
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool); // no task-bar entry
    QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));
    for (QWidget* child : window->findChildren<QWidget*>())
        QCOMPARE(child->focusPolicy(), Qt::NoFocus);
}

void TestSoundtrackWindows::unwritableDataFolderIsReportedOnce() {
    Fixture f;
    QVERIFY(QDir(f.data).removeRecursively());
    {
        QFile blocker(f.data); // the folder cannot be created where a file lies
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    QString selection = stockTable()[6].fileName;
    Soundtrack soundtrack(f.program);
    SongInfo songInfo(soundtrack, [&] { return selection; });
    soundtrack.show();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].caption, kTitle);
    QVERIFY(f.dialogs.messages[0].text.contains(QDir::toNativeSeparators(f.data)));
    QCOMPARE(f.dialogs.count(kRestart), 0); // a restart would not help
    // The catalogue is kept in memory all the same.
    QCOMPARE(labelTexts(soundtrack.existing()), stockCaptions());

    songInfo.show();
    auto* dialog = songInfo.existing();
    entry(dialog, "RichTextBox1")->setPlainText("Kept");
    clickOk(dialog);
    QCOMPARE(soundtrack.existing()->catalogue().slot(6), QStringLiteral("Kept - "));
    QVERIFY(soundtrack.existing()->close());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(QFileInfo(f.data).isFile());
}

void TestSoundtrackWindows::songInfoOk_data() {
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("song");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<int>("slot"); // -1: no slot matches
    QTest::addColumn<QString>("caption");

    const auto& stock = stockTable();
    QTest::newRow("slot 4") << stock[4].fileName << "Night Ride"
                            << "The Ollies" << 4 << "Night Ride - The Ollies";
    QTest::newRow("first slot") << stock[0].fileName << "A"
                                << "B" << 0 << "A - B";
    QTest::newRow("last slot") << stock[18].fileName << "Z"
                               << "Y" << 18 << "Z - Y";
    QTest::newRow("empty inputs") << stock[9].fileName << ""
                                  << "" << 9 << " - ";
    QTest::newRow("taken whole") << stock[12].fileName << "  Two\nlines "
                                 << "\tBand\u00a0X\n"
                                 << 12 << "  Two\nlines  - \tBand\u00a0X\n";
    QTest::newRow("not a stock file") << "track20.mus"
                                      << "S"
                                      << "A" << -1 << "";
    QTest::newRow("other letter case") << stock[4].fileName.toUpper() << "S"
                                       << "A" << -1 << "";
    QTest::newRow("trailing blank") << stock[4].fileName + u' ' << "S"
                                    << "A" << -1 << "";
    QTest::newRow("with a path") << "data\\music\\" + stock[4].fileName << "S"
                                 << "A" << -1 << "";
    QTest::newRow("initial combo text") << "Select a song"
                                        << "S"
                                        << "A" << -1 << "";
}

void TestSoundtrackWindows::songInfoOk() {
    QFETCH(QString, selection);
    QFETCH(QString, song);
    QFETCH(QString, artist);
    QFETCH(int, slot);
    QFETCH(QString, caption);

    Fixture f;
    f.seed(seedCaptions());
    Soundtrack soundtrack(f.program);
    SongInfo songInfo(soundtrack, [&] { return selection; });
    soundtrack.show();
    f.removeFiles(); // so that the save shows on disk, also when nothing changes

    songInfo.show();
    QWidget* dialog = songInfo.existing();
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QStringLiteral("frmSongInfo"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->parentWidget(), nullptr);
    QVERIFY(!dialog->isModal());
    entry(dialog, "RichTextBox1")->setPlainText(song);
    entry(dialog, "RichTextBox2")->setPlainText(artist);
    clickOk(dialog);

    QStringList expected = seedCaptions();
    if (slot >= 0)
        expected[slot] = caption;
    QCOMPARE(labelTexts(soundtrack.existing()), expected);
    QCOMPARE(soundtrack.existing()->catalogue().captions(), expected);
    QCOMPARE(f.onDisk(), expected);
    QVERIFY(f.dialogs.messages.isEmpty());

    // Closed and forgotten: the next one starts empty.
    QCOMPARE(songInfo.existing(), nullptr);
    flushDeletes();
    QVERIFY(!topLevel(QStringLiteral("frmSongInfo")));
    songInfo.show();
    QCOMPARE(entry(songInfo.existing(), "RichTextBox1")->toPlainText(), QString());
}

void TestSoundtrackWindows::songInfoUsesTheSelectionAtOk() {
    Fixture f;
    f.seed(seedCaptions());
    QString selection = stockTable()[3].fileName; // the file that was replaced
    Soundtrack soundtrack(f.program);
    SongInfo songInfo(soundtrack, [&] { return selection; });
    soundtrack.show();
    songInfo.show();
    QWidget* dialog = songInfo.existing();
    auto* song = entry(dialog, "RichTextBox1");
    QTest::keyClicks(song, "Tune");
    QTest::keyClicks(entry(dialog, "RichTextBox2"), "Crew");

    // A second replacement before OK brings the same dialog forward, inputs kept.
    selection = stockTable()[15].fileName;
    songInfo.show();
    QCOMPARE(songInfo.existing(), dialog);
    QCOMPARE(song->toPlainText(), QStringLiteral("Tune"));
    int dialogs = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        dialogs += w->objectName() == u"frmSongInfo";
    QCOMPARE(dialogs, 1);

    clickOk(dialog);
    QStringList expected = seedCaptions();
    expected[15] = QStringLiteral("Tune - Crew");
    QCOMPARE(labelTexts(soundtrack.existing()), expected);
    QCOMPARE(f.onDisk(), expected);
}

void TestSoundtrackWindows::songInfoCloseBoxChangesNothing() {
    Fixture f;
    f.seed(seedCaptions());
    const QString selection = stockTable()[2].fileName;
    Soundtrack soundtrack(f.program);
    SongInfo songInfo(soundtrack, [&] { return selection; });
    soundtrack.show();
    f.removeFiles();
    songInfo.show();
    QWidget* dialog = songInfo.existing();
    entry(dialog, "RichTextBox1")->setPlainText("Gone");
    QVERIFY(dialog->close());
    QCOMPARE(songInfo.existing(), nullptr);
    QCOMPARE(f.fileCount(), 0);
    QCOMPARE(labelTexts(soundtrack.existing()), seedCaptions());
    // Showing again at once gives a fresh, empty dialog (never the one being deleted).
    songInfo.show();
    QVERIFY(songInfo.existing() && songInfo.existing() != dialog);
    QCOMPARE(entry(songInfo.existing(), "RichTextBox1")->toPlainText(), QString());
    flushDeletes();
    QVERIFY(songInfo.existing() && songInfo.existing()->isVisible());
}

void TestSoundtrackWindows::songInfoWithSoundtrackClosed() {
    Fixture f;
    f.seed(seedCaptions());
    const QString selection = stockTable()[8].fileName;
    Soundtrack soundtrack(f.program);
    SongInfo songInfo(soundtrack, [&] { return selection; });
    soundtrack.show();
    QVERIFY(soundtrack.existing()->close());
    flushDeletes();
    QVERIFY(!topLevel(QStringLiteral("frmSoundtrack")));

    // Changed on disk after the close: the OK must load before it writes.
    QStringList onDisk = seedCaptions();
    onDisk[0] = QStringLiteral("Edited - Meanwhile");
    f.seed(onDisk);
    songInfo.show();
    QWidget* dialog = songInfo.existing();
    entry(dialog, "RichTextBox1")->setPlainText("Late");
    entry(dialog, "RichTextBox2")->setPlainText("Show");
    clickOk(dialog);

    onDisk[8] = QStringLiteral("Late - Show");
    QCOMPARE(f.onDisk(), onDisk);
    QVERIFY(soundtrack.existing());
    QVERIFY(!soundtrack.existing()->isVisible());
    QCOMPARE(labelTexts(soundtrack.existing()), onDisk);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestSoundtrackWindows::songInfoKeyboard() {
    Fixture f;
    f.seed(seedCaptions());
    const QString selection = stockTable()[11].fileName;
    Soundtrack soundtrack(f.program);
    SongInfo songInfo(soundtrack, [&] { return selection; });

    songInfo.show();
    QWidget* dialog = songInfo.existing();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Song Info"));
    // Tab walks OK, song, artist and back to OK; Enter inside an entry starts a new line.
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int step = 0; step < 3; ++step) {
        QWidget* focused = QApplication::focusWidget();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(focused)) {
            QTest::keyClicks(edit, edit->objectName());
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClicks(edit, "x");
        }
        QTest::keyClick(focused, Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, QStringList({"Command1", "RichTextBox1", "RichTextBox2", "Command1"}));
    QCOMPARE(entry(dialog, "RichTextBox2")->toPlainText(), QStringLiteral("RichTextBox2\nx"));
    QCOMPARE(songInfo.existing(), dialog); // Enter in an entry is not OK
    QVERIFY(dialog->close());

    // Enter right after opening presses OK.
    songInfo.show();
    dialog = songInfo.existing();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(songInfo.existing(), nullptr);
    QCOMPARE(soundtrack.existing()->catalogue().slot(11), QStringLiteral(" - "));
    QCOMPARE(f.onDisk()[11], QStringLiteral(" - "));
}

void TestSoundtrackWindows::layout_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("twips"); // left, top, width, height
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points");

    const QString st = QStringLiteral("frmSoundtrack");
    const QString si = QStringLiteral("frmSongInfo");
    QTest::newRow("heading") << st << "Label4" << QRect(120, 0, 6735, 375) << "Current Soundtrack"
                             << 13.5;
    QTest::newRow("divider") << st << "Line1" << QRect(3480, 480, 15, 7080) << "" << -1.0;
    QTest::newRow("caption 1") << st << "Label2_0" << QRect(480, 480, 3000, 645) << "" << 12.0;
    QTest::newRow("caption 10") << st << "Label2_9" << QRect(480, 6960, 3000, 645) << "" << 12.0;
    QTest::newRow("caption 11") << st << "Label2_10" << QRect(3960, 480, 3000, 645) << "" << 12.0;
    QTest::newRow("caption 19") << st << "Label2_18" << QRect(3960, 6240, 3000, 645) << "" << 12.0;
    QTest::newRow("number 1") << st << "Label1" << QRect(120, 480, 255, 645) << "1" << 12.0;
    QTest::newRow("number 5") << st << "Label9" << QRect(120, 3360, 255, 645) << "5" << 12.0;
    QTest::newRow("number 10") << st << "Label19" << QRect(120, 6960, 255, 645) << "10" << 12.0;
    QTest::newRow("number 11") << st << "Label21" << QRect(3600, 480, 255, 645) << "11" << 12.0;
    QTest::newRow("number 19") << st << "Label37" << QRect(3600, 6240, 255, 645) << "19" << 12.0;
    QTest::newRow("song label") << si << "Label1" << QRect(120, 240, 1575, 375) << "Song Name"
                                << 12.0;
    QTest::newRow("artist label") << si << "Label2" << QRect(120, 1440, 1575, 375) << "Artist"
                                  << 12.0;
    QTest::newRow("song entry") << si << "RichTextBox1" << QRect(240, 720, 4215, 615) << "" << 8.0;
    QTest::newRow("artist entry") << si << "RichTextBox2" << QRect(240, 1920, 4215, 615) << ""
                                  << 8.0;
    QTest::newRow("ok") << si << "Command1" << QRect(1560, 2760, 1575, 375) << "OK" << 8.0;
}

void TestSoundtrackWindows::layout() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(double, points);

    Fixture f;
    f.seed(QStringList(kSlotCount, QString())); // empty captions, as the table expects
    Soundtrack soundtrack(f.program);
    SongInfo songInfo(soundtrack, [] { return QString(); });
    soundtrack.show();
    songInfo.show();
    QWidget* top = topLevel(window);
    QVERIFY(top);
    QCOMPARE(top->size(), window == u"frmSoundtrack" ? QSize(7005 / 15, 7710 / 15)
                                                     : QSize(4680 / 15, 3195 / 15));
    QCOMPARE(top->palette().color(QPalette::Window), QColor(0, 0, 0));

    auto* w = top->findChild<QWidget*>(control);
    QVERIFY(w);
    const QRect px(twips.left() / 15, twips.top() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(w->geometry(), px);
    QVERIFY(w->isVisible());
    if (points > 0) {
        QCOMPARE(w->font().pointSizeF(), points);
        QVERIFY(!w->font().bold());
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        QVERIFY(label->wordWrap());
        // Captions are not cut off at the sides.
        QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(text) <= label->width() + 1,
                 qPrintable(text));
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        QCOMPARE(button->text(), text);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::white));
        QVERIFY(!edit->isReadOnly());
    } else {
        QCOMPARE(w->palette().color(QPalette::Window), QColor(0, 255, 0)); // the divider
    }
}

QTEST_MAIN(TestSoundtrackWindows)
#include "tst_soundtrackwindows.moc"
