// The Current Soundtrack window and the Song Info dialog, driven through their managers as
// the main window drives them: what they show, and what lands in the slot files.
#include "installation/filelist.h"
#include "mediaed/frmovra3meded.h"
#include "mediaed/frmsoundtrack.h"
#include "mediaed/mediabackend.h"
#include "mediaed/soundtrack.h"
#include "mediaed/stocktable.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "tests/mediaed/captions.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "tests/support/windowcheck.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using check::topLevel;
using namespace mediaed;

namespace {

const QString kTitle = QStringLiteral("Ovra3MediaEd");
const QString kRestart = QStringLiteral("Close Ovra3MediaEd and open it up again");
// A screen on which every docking below fits.
const QRect kWideScreen(-4000, -4000, 8000, 8000);

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
    return numberedCaptions(QStringLiteral("Seed %1 - Band %1"));
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
    explicit Fixture(const QString& programDir)
        : program(programDir), data(programDir + QStringLiteral("/data")) {}
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

// An installation for the media editor: it never reads trick files, and each costs time.
demogen::Options few() {
    demogen::Options o;
    o.trickFiles = 3;
    return o;
}

// The media editor as a user drives it to the Song Info dialog: a music replacement brings the
// dialog up, and its OK names the slot of what the music pick list holds at that moment.
struct Editor {
    TempInstall install{few()};
    Fixture files{install.programDir};
    std::unique_ptr<FrmOvra3MedEd> window;

    // `captions`: the slot files before the start; none: a first start. `blockData`: a file
    // lies where the data folder would be created. `change`: done to the installation first.
    explicit Editor(const QStringList& captions = seedCaptions(), bool blockData = false,
                    const std::function<void(TempInstall&)>& change = {}) {
        if (change)
            change(install);
        if (blockData)
            TempInstall::write(files.data, "in the way");
        if (!captions.isEmpty() && QDir().mkpath(files.data))
            files.seed(captions);
        window = std::make_unique<FrmOvra3MedEd>(install.programDir);
        window->show();
    }
    QComboBox* musicList() const { return window->findChild<QComboBox*>("cboReplace"); }
    // Replaces `target` with a song of the user's and returns the Song Info dialog. The song is
    // chosen once: the choice stays for later replacements, as it does for the user.
    QWidget* replace(const QString& target) {
        if (window->findChild<QLabel*>("Label1")->text().isEmpty()) {
            const QString song = install.dir.filePath(QStringLiteral("new.mp3"));
            TempInstall::write(song, "a song");
            files.dialogs.answer(song);
            QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        }
        musicList()->setEditText(target);
        QTest::mouseClick(window->findChild<QPushButton*>("cmdTransform"), Qt::LeftButton);
        return songInfo();
    }
    // The dialog on screen.
    static QWidget* songInfo() { return topLevel(QStringLiteral("frmSongInfo"), true); }
    static FrmSoundtrack* soundtrack() {
        flushDeletes(); // a closed one goes first
        return qobject_cast<FrmSoundtrack*>(topLevel(QStringLiteral("frmSoundtrack")));
    }
};

} // namespace

class TestSoundtrackWindows : public QObject {
    Q_OBJECT

public:
    // The program's media back end, chosen before the application object as main() does.
    static void initMain() { mediaed::chooseMediaBackend(); }

private slots:
    void cleanup();

    void firstStartShowsTheMessageOnce();
    void missingSlotKeepsTheOthers();
    void closeRequestSavesAndRecreatesHidden();
    void hideAndExitSaveNothing();
    void dockAdjoinsTheRightEdge();
    void dockStaysOnTheScreen_data();
    void dockStaysOnTheScreen();
    void soundtrackNeverTakesFocus();
    void unwritableDataFolderIsReportedOnce();

    void songInfoOk_data();
    void songInfoOk();
    void songInfoUsesTheSelectionAtOk();
    void songInfoCloseBoxChangesNothing();
    void songInfoWithSoundtrackClosed();
    void songInfoKeyboard();
    void restoredMusicShowsStockCaptions_data();
    void restoredMusicShowsStockCaptions();
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
    soundtrack.dock(QRect(0, 0, 100, 100), kWideScreen);
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
    soundtrack.dock(QRect(100, 50, 543, 600), kWideScreen);
    FrmSoundtrack* window = soundtrack.existing();
    QVERIFY(window);
    QVERIFY(!window->isVisible()); // docking never shows it
    soundtrack.show();
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(643, 50));
    QCOMPARE(window->frameGeometry().size(), QSize(467, 514));
    soundtrack.dock(QRect(-20, 300, 200, 10), kWideScreen);
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(180, 300));
    QCOMPARE(window->size(), QSize(467, 514));
}

void TestSoundtrackWindows::dockStaysOnTheScreen_data() {
    QTest::addColumn<QRect>("screen");  // its available area
    QTest::addColumn<QRect>("main");    // outer geometry of the main window
    QTest::addColumn<bool>("placing");  // the main window is not on the screen yet
    QTest::addColumn<QPoint>("mainAt"); // where the main window goes
    QTest::addColumn<QPoint>("docked");
    // The soundtrack window is 467 x 514. A 1280 x 1000 screen whose top 24 pixels hold a panel,
    // with the main window already on it:
    const QRect wide(0, 24, 1280, 976);
    const auto shown = [&](const char* tag, QRect main, QPoint docked) {
        QTest::newRow(tag) << wide << main << false << main.topLeft() << docked;
    };
    shown("right edge fits", {100, 50, 543, 600}, {643, 50});
    shown("right edge exactly at the screen's edge", {270, 24, 543, 600}, {813, 24});
    shown("right edge off the screen: left edge", {700, 100, 543, 600}, {233, 100});
    shown("left edge exactly at the screen's edge", {467, 24, 543, 600}, {0, 24});
    shown("one pixel too far, left off too: kept on the screen", {271, 24, 543, 600}, {813, 24});
    shown("neither fits: kept on the screen", {300, 700, 543, 600}, {813, 486});
    shown("above the panel: moved down", {0, 0, 543, 600}, {543, 24});
    shown("neither fits, the left side covers less", {450, 24, 543, 600}, {0, 24});
    // The media editor's window with its frame (545 x 560), being placed:
    const auto placing = [](const char* tag, QSize screen, QPoint main, QPoint mainAt,
                            QPoint docked) {
        QTest::newRow(tag) << QRect(QPoint(), screen) << QRect(main, QSize(545, 560)) << true
                           << mainAt << docked;
    };
    placing("1024 x 768, right edge fits: left alone", {1024, 768}, {0, 0}, {0, 0}, {545, 0});
    placing("1024 x 768, neither fits: side by side", {1024, 768}, {100, 100}, {12, 100},
            {557, 100});
    placing("1024 x 768, nearer the right: soundtrack on the left", {1024, 768}, {440, 100},
            {467, 100}, {0, 100});
    placing("1280 x 1000, one pixel too far: moved by one", {1280, 1000}, {269, 24}, {268, 24},
            {813, 24});
    placing("800 x 600, too narrow for both: least overlap", {800, 600}, {100, 100}, {0, 100},
            {333, 86});
    placing("too narrow, nearer the right", {800, 600}, {300, 40}, {255, 40}, {0, 40});
}

void TestSoundtrackWindows::dockStaysOnTheScreen() {
    QFETCH(QRect, screen);
    QFETCH(QRect, main);
    QFETCH(bool, placing);
    QFETCH(QPoint, mainAt);
    QFETCH(QPoint, docked);
    const QSize size(467, 514);
    const QPoint place = placing ? mainWindowPlace(main, size, screen) : main.topLeft();
    QCOMPARE(place, mainAt);
    const QRect mainPlaced(place, main.size()),
        soundtrack(dockedPosition(mainPlaced, size, screen), size);
    QCOMPARE(soundtrack.topLeft(), docked);
    QVERIFY(screen.contains(soundtrack));
    // Both whole wherever the screen holds them side by side.
    if (placing && screen.width() >= main.width() + size.width())
        QVERIFY(!soundtrack.intersects(mainPlaced) && screen.contains(mainPlaced));
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
    Editor e(QStringList{}, true);
    const auto& messages = e.files.dialogs.messages;
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].caption, kTitle);
    QVERIFY(messages[0].text.contains(QDir::toNativeSeparators(e.files.data)));
    QCOMPARE(e.files.dialogs.count(kRestart), 0); // a restart would not help
    // The catalogue is kept in memory all the same.
    QCOMPARE(labelTexts(e.soundtrack()), stockCaptions());

    QWidget* dialog = e.replace(stockTable()[6].fileName);
    entry(dialog, "RichTextBox1")->setPlainText("Kept");
    clickOk(dialog);
    QCOMPARE(e.soundtrack()->catalogue().slot(6), QStringLiteral("Kept - "));
    QVERIFY(e.soundtrack()->close());
    QCOMPARE(messages.size(), 1);
    QVERIFY(QFileInfo(e.files.data).isFile());
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

    Editor e;
    QWidget* dialog = e.replace(stockTable()[1].fileName);
    QVERIFY(dialog);
    QVERIFY(!dialog->parentWidget() && !dialog->isModal());
    e.files.removeFiles(); // so that the save shows on disk, also when nothing changes
    // The selection counts as it stands at OK.
    e.musicList()->setEditText(selection);
    entry(dialog, "RichTextBox1")->setPlainText(song);
    entry(dialog, "RichTextBox2")->setPlainText(artist);
    clickOk(dialog);

    QStringList expected = seedCaptions();
    if (slot >= 0)
        expected[slot] = caption;
    QCOMPARE(labelTexts(e.soundtrack()), expected);
    QCOMPARE(e.soundtrack()->catalogue().captions(), expected);
    QCOMPARE(e.files.onDisk(), expected);
    QVERIFY(e.files.dialogs.messages.isEmpty());

    // Closed and forgotten: the next one starts empty.
    QVERIFY(!e.songInfo());
    flushDeletes();
    QVERIFY(!topLevel(QStringLiteral("frmSongInfo")));
    QCOMPARE(entry(e.replace(stockTable()[1].fileName), "RichTextBox1")->toPlainText(), QString());
}

void TestSoundtrackWindows::songInfoUsesTheSelectionAtOk() {
    Editor e;
    QWidget* dialog = e.replace(stockTable()[3].fileName);
    auto* song = entry(dialog, "RichTextBox1");
    QTest::keyClicks(song, "Tune");
    QTest::keyClicks(entry(dialog, "RichTextBox2"), "Crew");

    // A second replacement before OK brings the same dialog forward, inputs kept.
    QCOMPARE(e.replace(stockTable()[15].fileName), dialog);
    QCOMPARE(song->toPlainText(), QStringLiteral("Tune"));
    int dialogs = 0;
    topLevel(QStringLiteral("frmSongInfo"), false, &dialogs);
    QCOMPARE(dialogs, 1);

    clickOk(dialog);
    QStringList expected = seedCaptions();
    expected[15] = QStringLiteral("Tune - Crew");
    QCOMPARE(labelTexts(e.soundtrack()), expected);
    QCOMPARE(e.files.onDisk(), expected);
}

void TestSoundtrackWindows::songInfoCloseBoxChangesNothing() {
    Editor e;
    QWidget* dialog = e.replace(stockTable()[2].fileName);
    e.files.removeFiles();
    entry(dialog, "RichTextBox1")->setPlainText("Gone");
    const QPointer<QWidget> closed(dialog);
    QVERIFY(dialog->close());
    QVERIFY(!e.songInfo());
    QCOMPARE(e.files.fileCount(), 0);
    QCOMPARE(labelTexts(e.soundtrack()), seedCaptions());
    // Showing again at once gives a fresh, empty dialog (never the one being deleted). Once
    // deleted, its address may come back for the new one: only a live old dialog is a fault.
    QWidget* again = e.replace(stockTable()[2].fileName);
    QVERIFY(again && (closed.isNull() || again != closed.data()));
    QCOMPARE(entry(again, "RichTextBox1")->toPlainText(), QString());
    flushDeletes();
    QCOMPARE(e.songInfo(), again);
}

void TestSoundtrackWindows::songInfoWithSoundtrackClosed() {
    Editor e;
    QVERIFY(e.soundtrack()->close());
    flushDeletes();
    QVERIFY(!topLevel(QStringLiteral("frmSoundtrack")));

    // Changed on disk after the close: the OK must load before it writes.
    QStringList onDisk = seedCaptions();
    onDisk[0] = QStringLiteral("Edited - Meanwhile");
    e.files.seed(onDisk);
    QWidget* dialog = e.replace(stockTable()[8].fileName);
    entry(dialog, "RichTextBox1")->setPlainText("Late");
    entry(dialog, "RichTextBox2")->setPlainText("Show");
    clickOk(dialog);

    onDisk[8] = QStringLiteral("Late - Show");
    QCOMPARE(e.files.onDisk(), onDisk);
    QVERIFY(e.soundtrack());
    QVERIFY(!e.soundtrack()->isVisible());
    QCOMPARE(labelTexts(e.soundtrack()), onDisk);
    QVERIFY(e.files.dialogs.messages.isEmpty());
}

void TestSoundtrackWindows::songInfoKeyboard() {
    Editor e;
    QWidget* dialog = e.replace(stockTable()[11].fileName);
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
    QCOMPARE(e.songInfo(), dialog); // Enter in an entry is not OK
    QVERIFY(dialog->close());

    // Enter right after opening presses OK.
    dialog = e.replace(stockTable()[11].fileName);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!e.songInfo());
    QCOMPARE(e.soundtrack()->catalogue().slot(11), QStringLiteral(" - "));
    QCOMPARE(e.files.onDisk()[11], QStringLiteral(" - "));
}

void TestSoundtrackWindows::restoredMusicShowsStockCaptions_data() {
    QTest::addColumn<QString>("change"); // to the installation before the start
    QTest::addColumn<int>("restored");   // files of the sorted music list copied back
    QTest::newRow("every file") << "" << 22;
    QTest::newRow("stops part-way") << "copy fails at 9" << 9;
    QTest::newRow("stops at the first file") << "copy fails at 0" << 0;
    QTest::newRow("no CD") << "no CD" << 0;
    QTest::newRow("installed names in capitals") << "capitals" << 22;
}

void TestSoundtrackWindows::restoredMusicShowsStockCaptions() {
    QFETCH(QString, change);
    QFETCH(int, restored);
    QStringList names = demogen::musicNames(22);
    ovra::sortFileNames(names); // the order the restore takes them in
    Editor e(seedCaptions(), false, [&](TempInstall& install) {
        const QString music = install.layout.gameDirectory + "/data/music/";
        if (change == "no CD") {
            QVERIFY(QDir(install.layout.cdRoot).removeRecursively());
        } else if (change == "capitals") {
            for (const QString& name : names)
                QVERIFY(QFile::rename(music + name, music + name.toUpper()));
        }
    });
    if (change.startsWith("copy fails at ")) { // a folder where the listed file was
        const QString broken = e.install.music(names[change.mid(14).toInt()]);
        QVERIFY(QFile::remove(broken) && QDir().mkdir(broken));
    }
    e.files.removeFiles(); // so that the save shows on disk
    e.window->findChild<QAction*>("mnuRestore")->trigger();

    QStringList expected = seedCaptions();
    for (const QString& name : names.mid(0, restored))
        if (const int slot = slotOfStockFile(name); slot >= 0)
            expected[slot] = stockTable()[slot].caption;
    QCOMPARE(labelTexts(e.soundtrack()), expected);
    QCOMPARE(e.soundtrack()->catalogue().captions(), expected);
    if (restored > 0)
        QCOMPARE(e.files.onDisk(), expected);
    else // nothing copied, nothing to save
        QCOMPARE(e.files.fileCount(), 0);
    QCOMPARE(e.files.dialogs.installationErrors(), restored < 22 ? 1 : 0);
}

QTEST_MAIN(TestSoundtrackWindows)
#include "tst_soundtrackwindows.moc"
