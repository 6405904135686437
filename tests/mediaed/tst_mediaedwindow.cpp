// The media editor's main window, driven as a user drives it: start-up against generated
// installations, picking files, replacing, restoring, docking and closing. What it shares with
// the trick editor's window is in tst_programwindows.
#include "installation/filelist.h"
#include "installation/keptcopies.h"
#include "mediaed/frmovra3meded.h"
#include "mediaed/frmsoundtrack.h"
#include "mediaed/mediabackend.h"
#include "mediaed/mediapreview.h"
#include "mediaed/soundtrack.h"
#include "tests/support/barwatch.h"
#include "tests/support/scopedenv.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "tests/support/windowcheck.h"
#include "widgets/progressbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

using check::topLevel;
using namespace mediaed;

namespace {

template <class T = QWidget> T* control(QWidget* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

QStringList sorted(QStringList names) {
    ovra::sortFileNames(names);
    return names;
}

QByteArray stock(const QString& name) {
    return demogen::content("cd", name, 256);
}

// One program run: its own installation (few tricks: the media editor never reads them),
// scripted dialogs and main window.
struct Run {
    ScriptedDialogs dialogs;
    TempInstall install;
    std::unique_ptr<FrmOvra3MedEd> window;

    explicit Run(demogen::Options options = {}, bool withSettings = true)
        : install((options.trickFiles = 3, options), withSettings) {}
    FrmOvra3MedEd* start(bool show = false) {
        window = std::make_unique<FrmOvra3MedEd>(install.programDir);
        if (show) {
            window->show();
            if (!QTest::qWaitForWindowExposed(window.get()))
                qFatal("main window not shown");
        }
        return window.get();
    }
    void click(const QString& name) {
        QTest::mouseClick(control<QPushButton>(window.get(), name), Qt::LeftButton);
    }
    void trigger(const QString& name) { control<QAction>(window.get(), name)->trigger(); }
    QString chosenFile(const QString& name, const QByteArray& bytes) const {
        const QString path = install.dir.filePath(name);
        TempInstall::write(path, bytes);
        return path;
    }
};

} // namespace

class TestMediaEdWindow : public QObject {
    Q_OBJECT

public:
    // The program's media back end, chosen before the application object as main() does.
    static void initMain() { mediaed::chooseMediaBackend(); }

private slots:
    void startUp_data();
    void startUp();
    void transform_data();
    void transform();
    void typedTarget_data();
    void typedTarget();
    void clickWhileSuggestionsShow_data();
    void clickWhileSuggestionsShow();
    void cancelledDialogKeepsChoice();
    void transformAfterFailedStartUp();
    void restore_data();
    void restore();
    void docking();
    void closeEndsProgram();
};

void TestMediaEdWindow::startUp_data() {
    QTest::addColumn<int>("musicFiles");
    QTest::addColumn<int>("movieFiles");
    QTest::addColumn<QString>("change"); // done to the installation before start
    QTest::addColumn<int>("musicOffered");
    QTest::addColumn<int>("moviesOffered");
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("logged"); // why, as the log says it; {game}: the game directory

    QTest::newRow("22 and 29 files") << 22 << 29 << "" << 22 << 29 << 0 << "";
    QTest::newRow("10 music files")
        << 10 << 29 << "" << 10 << 0 << 1
        << "the folder {game}/data/music holds 10 files of *.mus, not 22";
    QTest::newRow("22 music, 5 movies")
        << 22 << 5 << "" << 22 << 5 << 1 << "the folder {game}/data/movies holds 5 files";
    QTest::newRow("30 movies") << 22 << 30 << "" << 22 << 29 << 0 << "";
    QTest::newRow("mp3 files among the music") << 22 << 29 << "mp3" << 22 << 29 << 0 << "";
    QTest::newRow("no settings files")
        << 22 << 29 << "no settings" << 0 << 0 << 1 << "the game directory is not set";
    QTest::newRow("no CD drive file")
        << 22 << 29 << "no drive" << 0 << 0 << 1 << "the CD drive is not set";
    QTest::newRow("no music directory")
        << 22 << 29 << "no music" << 0 << 0 << 1 << "the folder {game}/data/music cannot be read";
}

void TestMediaEdWindow::startUp() {
    QFETCH(int, musicFiles);
    QFETCH(int, movieFiles);
    QFETCH(QString, change);
    QFETCH(int, musicOffered);
    QFETCH(int, moviesOffered);
    QFETCH(int, errors);
    QFETCH(QString, logged);

    demogen::Options options;
    options.musicFiles = musicFiles;
    options.movieFiles = movieFiles;
    Run run(options, change != "no settings");
    if (change == "mp3") // they sort among the .mus names but are not game music
        for (const char* name : {"aaa.mp3", "menu.mp3", "zzz.MP3", "track.mus.mp3"})
            QVERIFY(TempInstall::write(run.install.music(name), "ID3"));
    if (change == "no drive")
        QVERIFY(QFile::remove(run.install.programDir + "/drivedata.dat"));
    if (change == "no music")
        QVERIFY(QDir(run.install.layout.gameDirectory + "/data/music").removeRecursively());
    // The message box says little; the log names the folder as the host sees it, and where to
    // go next.
    if (!logged.isEmpty())
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression("^Start-up stopped: " +
                               QRegularExpression::escape(QDir::toNativeSeparators(
                                   logged.replace("{game}", run.install.layout.gameDirectory))) +
                               ".*; ovra3 doctor tells how to mend it\\.$"));
    FrmOvra3MedEd* window = run.start();

    QCOMPARE(run.dialogs.installationErrors(), errors);
    for (const auto& m : run.dialogs.messages)
        QCOMPARE(m.caption, QStringLiteral("Ovra3MediaEd"));
    auto* cboReplace = control<QComboBox>(window, "cboReplace");
    auto* combo1 = control<QComboBox>(window, "Combo1");
    QStringList music, movies;
    for (int i = 0; i < cboReplace->count(); ++i)
        music << cboReplace->itemText(i);
    for (int i = 0; i < combo1->count(); ++i)
        movies << combo1->itemText(i);
    QCOMPARE(music, sorted(demogen::musicNames(musicFiles)).mid(0, musicOffered));
    QCOMPARE(movies, sorted(demogen::movieNames(movieFiles)).mid(0, moviesOffered));
    // Filling the lists chose nothing: the initial texts stand.
    QCOMPARE(cboReplace->currentIndex(), -1);
    QCOMPARE(cboReplace->currentText(), QStringLiteral("Select a song"));
    QCOMPARE(combo1->currentIndex(), -1);
    QCOMPARE(combo1->currentText(), QStringLiteral("Select a movie"));
    // The catalogue window came first, whatever failed later; no media back end yet.
    QVERIFY(topLevel("frmSoundtrack")->isVisible());
    QVERIFY(!control<MediaPreview>(window, "MediaPlayer1")->player());
}

void TestMediaEdWindow::transform_data() {
    QTest::addColumn<bool>("music");
    QTest::addColumn<QString>("chosen"); // empty: nothing chosen; "cancel": dialog cancelled
    QTest::addColumn<int>("target");
    QTest::newRow("mp3 over a listed track") << true << "new song.mp3" << 3;
    QTest::newRow("mus over the last track") << true << "other.mus" << 21;
    QTest::newRow("movie over a listed movie") << false << "clip.mpg" << 28;
    QTest::newRow("music, nothing chosen") << true << "" << 0;
    QTest::newRow("music, dialog cancelled") << true << "cancel" << 0;
    QTest::newRow("movie, nothing chosen") << false << "" << 0;
}

void TestMediaEdWindow::transform() {
    QFETCH(bool, music);
    QFETCH(QString, chosen);
    QFETCH(int, target);

    Run run;
    FrmOvra3MedEd* window = run.start();
    const QByteArray bytes = QByteArray("new\r\n\0\x1a bytes", 14).repeated(500);
    const bool fails = chosen.isEmpty() || chosen == "cancel";
    QString source;
    if (!chosen.isEmpty()) {
        if (chosen == "cancel")
            run.dialogs.cancel();
        else
            run.dialogs.answer(source = run.chosenFile(chosen, bytes));
        run.click(music ? "Command1" : "Command2");
        QCOMPARE(run.dialogs.filters.last(),
                 music ? QStringLiteral("MP3 Audio (*.mp3)|*.mp3|MUS format (*.mus)|*.mus")
                       : QStringLiteral("MPEG movies (*.mpg)|*.mpg"));
        QCOMPARE(control<QLabel>(window, music ? "Label1" : "Label4")->text(), source);
        auto* pane = control<MediaPreview>(window, music ? "MediaPlayer1" : "MediaPlayer2");
        QCOMPARE(pane->file(), source); // an empty choice is told in the pane
        QCOMPARE(pane->message().isEmpty(), !source.isEmpty());
    }
    auto* combo = control<QComboBox>(window, music ? "cboReplace" : "Combo1");
    combo->setCurrentIndex(target);
    const QString replaced = combo->currentText();
    run.click(music ? "cmdTransform" : "Command3");

    QCOMPARE(run.dialogs.installationErrors(), fails ? 1 : 0);
    const QString dir =
        run.install.layout.gameDirectory + (music ? "/data/music/" : "/data/movies/");
    const QStringList names = music ? demogen::musicNames(22) : demogen::movieNames(29);
    QCOMPARE(sorted(QDir(dir).entryList(QDir::Files | QDir::Hidden)), sorted(names));
    for (const QString& name : names)
        QCOMPARE(TempInstall::bytes(dir + name), name == replaced && !fails ? bytes : stock(name));
    QWidget* songInfo = topLevel("frmSongInfo");
    QCOMPARE(songInfo && songInfo->isVisible(), music && !fails);
    if (songInfo) { // ownerless, modeless, one instance
        QVERIFY(!songInfo->parentWidget() && !songInfo->isModal());
        run.click("cmdTransform");
        int count = 0;
        topLevel("frmSongInfo", false, &count);
        QCOMPARE(count, 1);
    }
}

void TestMediaEdWindow::typedTarget_data() {
    QTest::addColumn<QString>("typed");   // empty: leave the initial text
    QTest::addColumn<QString>("written"); // file expected in the music directory; empty: none
    QTest::newRow("new name") << "custom track.mus"
                              << "custom track.mus";
    QTest::newRow("initial text left") << ""
                                       << "Select a song";
    QTest::newRow("prefix of a listed name") << "gri"
                                             << "gri";
    QTest::newRow("into the parent folder") << "..\\escape.mus"
                                            << "";
    QTest::newRow("into a sub folder") << "sub/inside.mus"
                                       << "";
    QTest::newRow("parent folder itself") << ".."
                                          << "";
    QTest::newRow("drive-relative name") << "C:elsewhere.mus"
                                         << "";
}

void TestMediaEdWindow::typedTarget() {
    QFETCH(QString, typed);
    QFETCH(QString, written);

    Run run;
    const OwnKeptCopies store;
    FrmOvra3MedEd* window = run.start();
    run.dialogs.answer(run.chosenFile("mine.mp3", "a song of my own"));
    run.click("Command1");
    auto* combo = control<QComboBox>(window, "cboReplace");
    if (!typed.isEmpty()) {
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    // Neither completion nor Enter changes what was typed, nor adds it to the list.
    QCOMPARE(combo->currentText(), typed.isEmpty() ? QStringLiteral("Select a song") : typed);
    QCOMPARE(combo->count(), 22);
    run.click("cmdTransform");

    const QString gameData = run.install.layout.gameDirectory + "/data";
    QStringList expected = demogen::musicNames(22);
    if (!written.isEmpty())
        expected << written;
    QCOMPARE(sorted(QDir(gameData + "/music").entryList(QDir::Files | QDir::Hidden)),
             sorted(expected));
    QCOMPARE(QDir(gameData).entryList(QDir::Files), QStringList());
    QCOMPARE(run.dialogs.installationErrors(), written.isEmpty() ? 1 : 0);
    if (written.isEmpty())
        return;
    QCOMPARE(TempInstall::bytes(run.install.music(written)), QByteArray("a song of my own"));
    // A file the replacement made goes again with ovra3 undo.
    const ovra::Result<QStringList> undone = ovra::undo(1);
    QVERIFY2(undone, qPrintable(undone.error));
    QCOMPARE(sorted(QDir(gameData + "/music").entryList(QDir::Files | QDir::Hidden)),
             sorted(demogen::musicNames(22)));
}

void TestMediaEdWindow::clickWhileSuggestionsShow_data() {
    QTest::addColumn<QString>("list"); // typed into, so that suggestions show
    QTest::addColumn<QString>("clicked");
    QTest::newRow("Replace list, then Select a song") << "cboReplace"
                                                      << "Command1";
    QTest::newRow("movie list, then Select a movie") << "Combo1"
                                                     << "Command2";
    QTest::newRow("Replace list, then Transform it!") << "cboReplace"
                                                      << "cmdTransform";
    QTest::newRow("Replace list, then the movie list") << "cboReplace"
                                                       << "Combo1";
}

void TestMediaEdWindow::clickWhileSuggestionsShow() {
    QFETCH(QString, list);
    QFETCH(QString, clicked);
    Run run;
    FrmOvra3MedEd* window = run.start(true);
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* combo = control<QComboBox>(window, list);
    const QString typed = combo->itemText(1).left(2); // the start of several names
    combo->lineEdit()->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), typed);
    const QString file = run.chosenFile("mine.mp3", "mine");
    run.dialogs.answer(file);

    // Through the window, as the window system delivers it: an open popup would see it first.
    QWidget* target = control(window, clicked);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      target->mapTo(window, target->rect().center()));
    if (clicked.startsWith("Command")) // asked for a file and shows it
        QTRY_COMPARE(control<QLabel>(window, clicked == "Command1" ? "Label1" : "Label4")->text(),
                     file);
    else if (clicked == "cmdTransform") // no file chosen yet
        QTRY_COMPARE(run.dialogs.installationErrors(), 1);
    else
        QTRY_VERIFY(target->isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget() == target);
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(combo->currentText(), typed);
}

void TestMediaEdWindow::cancelledDialogKeepsChoice() {
    Run run;
    FrmOvra3MedEd* window = run.start();
    const QString first = run.chosenFile("first.mpg", "first");
    run.dialogs.answer(first);
    run.dialogs.cancel();
    run.click("Command2");
    run.click("Command2");
    // The dialog opened on the last confirmed name, and the cancel handed that name on again.
    QCOMPARE(run.dialogs.previousNames, QStringList({QString(), first}));
    QCOMPARE(control<QLabel>(window, "Label4")->text(), first);
    QCOMPARE(control<MediaPreview>(window, "MediaPlayer2")->file(), first);
}

void TestMediaEdWindow::transformAfterFailedStartUp() {
    // Without settings the lists never learnt the installation's folders: nothing may be
    // written anywhere else, such as the working folder.
    Run run({}, false);
    run.start();
    run.dialogs.answer(run.chosenFile("song.mp3", "song"));
    run.click("Command1");
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(run.install.dir.path()));
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    run.click("cmdTransform");
    const QStringList after = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QVERIFY(QDir::setCurrent(cwd));
    QCOMPARE(after, before);
    QCOMPARE(run.dialogs.installationErrors(), 2);
    QVERIFY(!topLevel("frmSongInfo"));
}

void TestMediaEdWindow::restore_data() {
    QTest::addColumn<bool>("music");
    QTest::addColumn<int>("installed"); // files in the installed directory
    QTest::addColumn<int>("onCd");      // files in the CD folder; -1: no CD at all
    QTest::addColumn<int>("errors");    // installation errors per restore
    QTest::addColumn<bool>("image");    // the CD kept as a disc image

    // The core suite has the other forms of installation and CD.
    QTest::newRow("music, full") << true << 22 << 22 << 0 << false;
    QTest::newRow("music, 10 listed") << true << 10 << 10 << 1 << false;
    QTest::newRow("movies, full") << false << 29 << 29 << 0 << false;
    QTest::newRow("movies, disc image lacks names") << false << 29 << 7 << 1 << true;
}

void TestMediaEdWindow::restore() {
    QFETCH(bool, music);
    QFETCH(int, installed);
    QFETCH(int, onCd);
    QFETCH(int, errors);
    QFETCH(bool, image);

    demogen::Options options;
    (music ? options.musicFiles : options.movieFiles) = installed;
    (music ? options.cdMusicFiles : options.cdMovieFiles) = std::max(onCd, 0);
    options.withCd = onCd >= 0;
    Run run(options);
    if (image) {
        SKIP_WHERE_IMAGES_ARE_MOUNTED();
        QVERIFY(run.install.packCdIntoImage());
    }
    FrmOvra3MedEd* window = run.start(true);
    const int startErrors = run.dialogs.installationErrors();

    const QStringList names =
        sorted(music ? demogen::musicNames(installed) : demogen::movieNames(installed));
    auto path = [&](const QString& name) {
        return music ? run.install.music(name) : run.install.movie(name);
    };
    // The listed names come back in list order until one is missing from the CD.
    const int passes = music ? 22 : 29;
    const QStringList cd =
        music ? demogen::musicNames(std::max(onCd, 0)) : demogen::movieNames(std::max(onCd, 0));
    int restored = 0;
    while (restored < std::min<int>(passes, names.size()) && cd.contains(names[restored]))
        ++restored;

    BarWatch watch(control<ovra::ProgressBar>(window, "ProgressBar1"));
    for (int round = 1; round <= 2; ++round) {
        for (const QString& name : names)
            QVERIFY(TempInstall::write(path(name), "replaced by the user"));
        watch.clear();
        run.trigger(music ? "mnuRestore" : "mnuRestoreMovies");
        QCOMPARE(run.dialogs.installationErrors(), startErrors + errors * round);
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(TempInstall::bytes(path(names[i])),
                     i < restored ? stock(names[i]) : QByteArray("replaced by the user"));
        // A value after each file, from 0 up; exactly 100 only after the last. Drawn as the
        // frames go by, and the last one once the window catches up.
        QCOMPARE(watch.taken.size(), restored);
        for (int i = 0; i < restored; ++i)
            QVERIFY(
                qFuzzyCompare(1.0f + watch.taken[i], 1.0f + float(i) * 100.0f / float(passes - 1)));
        QCOMPARE(watch.bar->exactValue() == 100.0f, restored == passes);
        QVERIFY2(watch.drewByFrames(), qPrintable(watch.found));
    }
}

void TestMediaEdWindow::docking() {
    Run run;
    FrmOvra3MedEd* window = run.start(true);
    QWidget* soundtrack = topLevel("frmSoundtrack");
    // Where the placement rule (tested on its own) puts it against the window as it stands.
    auto docked = [window, soundtrack] {
        return dockedPosition(window->frameGeometry(), soundtrack->size(),
                              window->screen()->availableGeometry());
    };
    QTRY_COMPARE(soundtrack->pos(), docked()); // opened docked
    const QPoint surface(272, 300);
    QVERIFY(!window->centralWidget()->childAt(surface));

    // Apart from each other (the offscreen screen is too narrow for both side by side).
    window->move(600, 100);
    QTest::mouseMove(window->centralWidget(), surface);
    QTRY_COMPARE(soundtrack->pos(), docked());

    window->move(window->pos() + QPoint(50, 50));
    QTRY_VERIFY(soundtrack->pos() != docked()); // moving alone does not drag it along
    const QPoint stayed = soundtrack->pos();
    QTest::mouseMove(control(window, "lblReplace"), QPoint(5, 5)); // over a control
    QCOMPARE(soundtrack->pos(), stayed);
    QTest::mouseMove(window->centralWidget(), surface);
    QTRY_COMPARE(soundtrack->pos(), docked());
}

void TestMediaEdWindow::closeEndsProgram() {
    Run run;
    FrmOvra3MedEd* window = run.start(true);
    run.trigger("mnuAbout");
    run.trigger("mnuInstructions");
    run.trigger("mnuDirectory");
    run.dialogs.answer(run.chosenFile("x.mp3", "x"));
    run.click("Command1");
    control<QComboBox>(window, "cboReplace")->setCurrentIndex(0);
    run.click("cmdTransform");
    QVERIFY(topLevel("frmSongInfo") && topLevel("frmDirectoryInfo"));

    const QPointer<QWidget> soundtrack = topLevel("frmSoundtrack");
    // Closing the main window ends the run although four ownerless windows are open.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    QTimer::singleShot(0, window, &QWidget::close);
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(lastClosed.size(), 1);
    // The catalogue window was hidden, not closed.
    QVERIFY(soundtrack && !soundtrack->isVisible());
}

QTEST_MAIN(TestMediaEdWindow)
#include "tst_mediaedwindow.moc"
