// The media editor's main window, driven as a user drives it: start-up against generated
// installations, picking files, replacing, restoring, docking, the Help windows and leaving.
#include "filelist.h"
#include "floatprogressbar.h"
#include "frmovra3meded.h"
#include "frmsoundtrack.h"
#include "mediapreview.h"
#include "scripteddialogs.h"
#include "soundtrack.h"
#include "tempinstall.h"
#include "winlook.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include <memory>

using namespace mediaed;

namespace {

const QString kError = QStringLiteral(
    "There is an error! Is your Ovra3 CD in your CD drive? Is your Ovra3 directory specified "
    "and correct? Is your drive letter specified and correct?");

template <class T = QWidget> T* control(QWidget* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

QAction* menuItem(QWidget* window, const QString& name) {
    return control<QAction>(window, name);
}

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

int topLevelCount(const QString& name) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->objectName() == name;
    return n;
}

QStringList items(const QComboBox* combo) {
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    return names;
}

QStringList sorted(QStringList names) {
    ovra::sortFileNames(names);
    return names;
}

QByteArray stock(const QString& name) {
    return demogen::content("cd", name, 256);
}

// The media editor never looks at trick files; a few keep the fixtures quick.
demogen::Options fewTricks(demogen::Options options = {}) {
    options.trickFiles = 3;
    return options;
}

// One program run: its own installation, scripted dialogs and main window.
struct Run {
    ScriptedDialogs dialogs;
    TempInstall install;
    std::unique_ptr<FrmOvra3MedEd> window;

    explicit Run(const demogen::Options& options = {}, bool withSettings = true)
        : install(fewTricks(options), withSettings) {}
    FrmOvra3MedEd* start() {
        window = std::make_unique<FrmOvra3MedEd>(install.programDir);
        return window.get();
    }
    bool showWindow() {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
    QWidget* soundtrackWindow() const { return topLevel(QStringLiteral("frmSoundtrack")); }
    QString chosenFile(const QString& name, const QByteArray& bytes) const {
        const QString path = install.dir.filePath(name);
        TempInstall::write(path, bytes);
        return path;
    }
};

} // namespace

class TestMediaEdWindow : public QObject {
    Q_OBJECT

private slots:
    void startUp_data();
    void startUp();
    void layout_data();
    void layout();
    void windowAndMenus();
    void transform_data();
    void transform();
    void transformWithoutChoice_data();
    void transformWithoutChoice();
    void typedTarget_data();
    void typedTarget();
    void cancelledDialogKeepsChoice();
    void transformAfterFailedStartUp();
    void restore_data();
    void restore();
    void realMessageBox();
    void docking();
    void helpWindows();
    void closeEndsProgram();
    void exitRunsNoCloseStep();
};

void TestMediaEdWindow::startUp_data() {
    QTest::addColumn<int>("musicFiles");
    QTest::addColumn<int>("movieFiles");
    QTest::addColumn<QString>("change"); // what is done to the installation before start
    QTest::addColumn<int>("musicOffered");
    QTest::addColumn<int>("moviesOffered");
    QTest::addColumn<int>("errors");

    QTest::newRow("22 and 29 files") << 22 << 29 << "" << 22 << 29 << 0;
    QTest::newRow("10 music files") << 10 << 29 << "" << 10 << 0 << 1;
    QTest::newRow("22 music, 5 movies") << 22 << 5 << "" << 22 << 5 << 1;
    QTest::newRow("30 movies") << 22 << 30 << "" << 22 << 29 << 0;
    QTest::newRow("mp3 files among the music") << 22 << 29 << "mp3" << 22 << 29 << 0;
    QTest::newRow("no settings files") << 22 << 29 << "no settings" << 0 << 0 << 1;
    QTest::newRow("no CD drive file") << 22 << 29 << "no drive" << 0 << 0 << 1;
    QTest::newRow("no music directory") << 22 << 29 << "no music" << 0 << 0 << 1;
}

void TestMediaEdWindow::startUp() {
    QFETCH(int, musicFiles);
    QFETCH(int, movieFiles);
    QFETCH(QString, change);
    QFETCH(int, musicOffered);
    QFETCH(int, moviesOffered);
    QFETCH(int, errors);

    demogen::Options options;
    options.musicFiles = musicFiles;
    options.movieFiles = movieFiles;
    Run run(options, change != "no settings");
    if (change == "mp3") {
        // They sort among the .mus names but are not music files of the game.
        for (const char* name : {"aaa.mp3", "menu.mp3", "zzz.MP3", "track.mus.mp3"})
            QVERIFY(TempInstall::write(run.install.music(name), "ID3"));
    } else if (change == "no drive") {
        QVERIFY(QFile::remove(run.install.programDir + "/drivedata.dat"));
    } else if (change == "no music") {
        QVERIFY(QDir(run.install.layout.gameDirectory + "/data/music").removeRecursively());
    }
    FrmOvra3MedEd* window = run.start();

    QCOMPARE(run.dialogs.installationErrors(), errors);
    QCOMPARE(run.dialogs.messages.size(),
             run.dialogs.installationErrors() +
                 run.dialogs.count("Close Ovra3MediaEd and open it up again"));
    for (const auto& m : run.dialogs.messages)
        QCOMPARE(m.caption, QStringLiteral("Ovra3MediaEd"));

    auto* cboReplace = control<QComboBox>(window, "cboReplace");
    auto* combo1 = control<QComboBox>(window, "Combo1");
    QCOMPARE(items(cboReplace), sorted(demogen::musicNames(musicFiles)).mid(0, musicOffered));
    QCOMPARE(items(combo1), sorted(demogen::movieNames(movieFiles)).mid(0, moviesOffered));
    // Filling the lists chose nothing: the initial texts stand.
    QCOMPARE(cboReplace->currentIndex(), -1);
    QCOMPARE(cboReplace->currentText(), QStringLiteral("Select a song"));
    QCOMPARE(combo1->currentIndex(), -1);
    QCOMPARE(combo1->currentText(), QStringLiteral("Select a movie"));

    // The catalogue window came first, whatever failed later.
    QWidget* soundtrack = run.soundtrackWindow();
    QVERIFY(soundtrack);
    QVERIFY(soundtrack->isVisible());
    QVERIFY(!window->isVisible());
    // Nothing paid for the media back end yet.
    QVERIFY(!control<MediaPreview>(window, "MediaPlayer1")->player());
    QVERIFY(!control<MediaPreview>(window, "MediaPlayer2")->player());
}

void TestMediaEdWindow::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("nextInTabOrder");

    struct Row {
        const char* name;
        const char* kind;
        const char* text;
        QRect twips;
        double points;
        const char* next;
    };
    const Row rows[] = {
        {"Combo1", "combo", "Select a movie", {4200, 720, 3735, 315}, 8, "MediaPlayer1"},
        {"Command3", "button", "Transform it!", {4200, 2520, 3735, 615}, 8, "Combo1"},
        {"Command2", "button", "Select a movie", {4200, 1320, 3735, 375}, 8, "Command3"},
        {"Command1", "button", "Select a song", {120, 1320, 3855, 375}, 8, "Command2"},
        {"ProgressBar1", "progress", "", {120, 3240, 7815, 255}, 8, ""},
        {"StatusBar1", "status", "", {0, 7500, 8055, 255}, 8, ""},
        {"cmdTransform", "button", "Transform it!", {120, 2520, 3855, 615}, 8, "Command1"},
        {"cboReplace", "combo", "Select a song", {120, 720, 3855, 315}, 8, "cmdTransform"},
        {"Label8", "label", "Preview Movie", {4200, 3600, 2535, 255}, 8, ""},
        {"MediaPlayer2", "player", "", {4200, 3960, 3735, 3375}, 8, "cboReplace"},
        {"Label7", "heading", "Movie Editor", {5160, 120, 2055, 375}, 13.5, ""},
        {"Label6", "heading", "Music Editor", {1080, 120, 2055, 375}, 13.5, ""},
        {"Line1", "line", "", {4080, 120, 15, 3000}, 8, ""},
        {"Label5", "label", "Preview Music", {120, 3600, 2535, 255}, 8, ""},
        {"MediaPlayer1", "player", "", {120, 3960, 3855, 3375}, 8, "MediaPlayer2"},
        {"Label4", "label", "", {4200, 1800, 3975, 615}, 8, ""},
        {"Label3", "label", "Replace", {4200, 480, 1695, 255}, 8, ""},
        {"Label2", "label", "With", {4200, 1080, 2055, 255}, 8, ""},
        {"Label1", "label", "", {120, 1800, 3975, 615}, 8, ""},
        {"lblWith", "label", "With", {120, 1080, 2055, 255}, 8, ""},
        {"lblReplace", "label", "Replace", {120, 480, 1695, 255}, 8, ""},
    };
    for (const Row& r : rows)
        QTest::newRow(r.name) << r.name << r.kind << r.text << r.twips << r.points << r.next;
}

void TestMediaEdWindow::layout() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QFETCH(double, points);
    QFETCH(QString, nextInTabOrder);

    Run run;
    FrmOvra3MedEd* window = run.start();
    QVERIFY(run.showWindow());
    QWidget* client = window->centralWidget();
    auto* w = control(window, name);
    QCOMPARE(w->parentWidget(), client);
    QCOMPARE(w->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QCOMPARE(w->font().pointSizeF(), points);
    QVERIFY(!w->font().bold());
    QVERIFY(w->isVisible());

    const QColor green(0, 255, 0), black(0, 0, 0);
    if (kind == "label" || kind == "heading") {
        auto* label = qobject_cast<QLabel*>(w);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->palette().color(QPalette::WindowText), green);
        QCOMPARE(label->palette().color(QPalette::Window), black);
        QVERIFY(label->wordWrap());
        QCOMPARE(bool(label->alignment() & Qt::AlignHCenter), kind == "heading");
    } else if (kind == "line") {
        QCOMPARE(w->palette().color(QPalette::Window), green);
    } else if (kind == "combo") {
        auto* combo = qobject_cast<QComboBox*>(w);
        QVERIFY(combo && combo->isEditable());
        QCOMPARE(combo->currentText(), text);
        QCOMPARE(combo->insertPolicy(), QComboBox::NoInsert);
    } else if (kind == "button") {
        QCOMPARE(qobject_cast<QPushButton*>(w)->text(), text);
    } else if (kind == "progress") {
        auto* bar = qobject_cast<FloatProgressBar*>(w);
        QVERIFY(bar);
        QCOMPARE(bar->exactMaximum(), 100.0f);
        QCOMPARE(bar->exactValue(), 0.0f);
    } else if (kind == "status") {
        auto* bar = qobject_cast<ovra::ClockStatusBar*>(w);
        QVERIFY(bar);
        QVERIFY(bar->textPanel()->text().startsWith("Ovra3MediaEd - by "));
        QVERIFY(bar->textPanel()->text().size() > QStringLiteral("Ovra3MediaEd - by ").size());
        QVERIFY(!bar->timePanel()->text().isEmpty());
        QVERIFY(!bar->datePanel()->text().isEmpty());
    } else if (kind == "player") {
        QVERIFY(qobject_cast<MediaPreview*>(w));
    }

    // Tab order: from this control, Tab reaches the next control of the window's order
    // (after passing through the player's own controls).
    if (nextInTabOrder.isEmpty()) {
        QCOMPARE(w->focusPolicy() & Qt::TabFocus, 0);
        return;
    }
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    w->setFocus(Qt::TabFocusReason);
    auto ownerOf = [client](QWidget* f) {
        while (f && f->parentWidget() != client)
            f = f->parentWidget();
        return f;
    };
    QTRY_COMPARE(ownerOf(QApplication::focusWidget()), w);
    for (int presses = 0; presses < 12 && ownerOf(QApplication::focusWidget()) == w; ++presses)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* reached = ownerOf(QApplication::focusWidget());
    QVERIFY(reached);
    QCOMPARE(reached->objectName(), nextInTabOrder);
}

void TestMediaEdWindow::windowAndMenus() {
    Run run;
    FrmOvra3MedEd* window = run.start();
    QVERIFY(run.showWindow());
    QCOMPARE(window->objectName(), QStringLiteral("frmOvra3MedEd"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Ovra 3 Media Editor"));
    QCOMPARE(window->centralWidget()->size(), QSize(537, 517));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(
        !(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
    // The window opens with the focus on the music pick list.
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus == control(window, "cboReplace") ||
            focus->parentWidget() == control(window, "cboReplace"));

    const QList<QAction*> top = window->menuBar()->actions();
    QCOMPARE(top.size(), 2);
    const QList<std::pair<QString, QStringList>> expected = {
        {"&File|mnuFile",
         {"Directory Info|mnuDirectory", "Restore Original Music|mnuRestore",
          "Restore Original Movies|mnuRestoreMovies", "Exit|mnuExit"}},
        {"Help|mnuHelp", {"About|mnuAbout", "Instructions|mnuInstructions"}}};
    for (int m = 0; m < 2; ++m) {
        QCOMPARE(top[m]->text() + '|' + top[m]->menu()->objectName(), expected[m].first);
        QStringList got;
        for (QAction* a : top[m]->menu()->actions()) {
            got << a->text() + '|' + a->objectName();
            QVERIFY(a->shortcut().isEmpty());
            QVERIFY(!a->isCheckable());
            QVERIFY(a->isEnabled() && a->isVisible());
        }
        QCOMPARE(got, expected[m].second);
    }
}

void TestMediaEdWindow::transform_data() {
    QTest::addColumn<bool>("music");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("target");
    QTest::newRow("mp3 over a listed track") << true << "new song.mp3" << 3;
    QTest::newRow("mus over the last listed track") << true << "other.mus" << 21;
    QTest::newRow("movie over a listed movie") << false << "clip.mpg" << 28;
}

void TestMediaEdWindow::transform() {
    QFETCH(bool, music);
    QFETCH(QString, chosen);
    QFETCH(int, target);

    Run run;
    FrmOvra3MedEd* window = run.start();
    const QByteArray bytes = QByteArray("replacement\r\n\0\x1a bytes", 22).repeated(500);
    const QString source = run.chosenFile(chosen, bytes);
    run.dialogs.answer(source);
    QTest::mouseClick(control<QPushButton>(window, music ? "Command1" : "Command2"),
                      Qt::LeftButton);
    QCOMPARE(control<QLabel>(window, music ? "Label1" : "Label4")->text(), source);
    QCOMPARE(control<MediaPreview>(window, music ? "MediaPlayer1" : "MediaPlayer2")->file(),
             source);
    QCOMPARE(run.dialogs.filters.last(),
             music ? QStringLiteral("MP3 Audio (*.mp3)|*.mp3|MUS format (*.mus)|*.mus")
                   : QStringLiteral("MPEG movies (*.mpg)|*.mpg"));

    auto* combo = control<QComboBox>(window, music ? "cboReplace" : "Combo1");
    combo->setCurrentIndex(target);
    const QString replaced = combo->currentText();
    QTest::mouseClick(control<QPushButton>(window, music ? "cmdTransform" : "Command3"),
                      Qt::LeftButton);

    QCOMPARE(run.dialogs.installationErrors(), 0);
    const QStringList names = music ? demogen::musicNames(22) : demogen::movieNames(29);
    for (const QString& name : names) {
        const QString path = music ? run.install.music(name) : run.install.movie(name);
        QCOMPARE(TempInstall::bytes(path), name == replaced ? bytes : stock(name));
    }
    QCOMPARE(TempInstall::bytes(source), bytes);
    QWidget* songInfo = topLevel(QStringLiteral("frmSongInfo"));
    QCOMPARE(songInfo && songInfo->isVisible(), music);
    if (music) {
        QVERIFY(!songInfo->parentWidget());
        QVERIFY(!songInfo->isModal());
        // A second replacement brings the same dialog forward.
        QTest::mouseClick(control<QPushButton>(window, "cmdTransform"), Qt::LeftButton);
        QCOMPARE(topLevelCount(QStringLiteral("frmSongInfo")), 1);
    }
}

void TestMediaEdWindow::transformWithoutChoice_data() {
    QTest::addColumn<bool>("music");
    QTest::addColumn<bool>("cancelFirst");
    QTest::newRow("music, nothing chosen") << true << false;
    QTest::newRow("music, dialog cancelled") << true << true;
    QTest::newRow("movie, nothing chosen") << false << false;
    QTest::newRow("movie, dialog cancelled") << false << true;
}

void TestMediaEdWindow::transformWithoutChoice() {
    QFETCH(bool, music);
    QFETCH(bool, cancelFirst);

    Run run;
    FrmOvra3MedEd* window = run.start();
    if (cancelFirst) {
        run.dialogs.cancel();
        QTest::mouseClick(control<QPushButton>(window, music ? "Command1" : "Command2"),
                          Qt::LeftButton);
        QCOMPARE(control<QLabel>(window, music ? "Label1" : "Label4")->text(), QString());
        // The empty choice reaches the pane, which says so instead of failing silently.
        auto* pane = control<MediaPreview>(window, music ? "MediaPlayer1" : "MediaPlayer2");
        QCOMPARE(pane->file(), QString());
        QVERIFY(!pane->message().isEmpty());
    }
    auto* combo = control<QComboBox>(window, music ? "cboReplace" : "Combo1");
    combo->setCurrentIndex(0);
    const QString dir = run.install.layout.gameDirectory + (music ? "/data/music" : "/data/movies");
    const QStringList before = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    QTest::mouseClick(control<QPushButton>(window, music ? "cmdTransform" : "Command3"),
                      Qt::LeftButton);

    QCOMPARE(run.dialogs.installationErrors(), 1);
    QCOMPARE(run.dialogs.messages.last().caption, QStringLiteral("Ovra3MediaEd"));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), before);
    const QString first = combo->currentText();
    QCOMPARE(TempInstall::bytes(dir + '/' + first), stock(first));
    QVERIFY(!topLevel(QStringLiteral("frmSongInfo")));
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
    FrmOvra3MedEd* window = run.start();
    const QByteArray bytes("a song of my own");
    run.dialogs.answer(run.chosenFile("mine.mp3", bytes));
    QTest::mouseClick(control<QPushButton>(window, "Command1"), Qt::LeftButton);

    auto* combo = control<QComboBox>(window, "cboReplace");
    if (!typed.isEmpty()) {
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    // Neither completion nor Enter changes what was typed, nor adds it to the list.
    QCOMPARE(combo->currentText(), typed.isEmpty() ? QStringLiteral("Select a song") : typed);
    QCOMPARE(combo->count(), 22);

    const QString gameData = run.install.layout.gameDirectory + "/data";
    QTest::mouseClick(control<QPushButton>(window, "cmdTransform"), Qt::LeftButton);
    QStringList expected = demogen::musicNames(22);
    if (!written.isEmpty())
        expected << written;
    QCOMPARE(sorted(QDir(gameData + "/music").entryList(QDir::Files | QDir::Hidden)),
             sorted(expected));
    QCOMPARE(QDir(gameData).entryList(QDir::Files), QStringList());
    QCOMPARE(run.dialogs.installationErrors(), written.isEmpty() ? 1 : 0);
    if (!written.isEmpty())
        QCOMPARE(TempInstall::bytes(run.install.music(written)), bytes);
    for (const QString& name : demogen::musicNames(22))
        QCOMPARE(TempInstall::bytes(run.install.music(name)), stock(name));
}

void TestMediaEdWindow::cancelledDialogKeepsChoice() {
    Run run;
    FrmOvra3MedEd* window = run.start();
    const QString first = run.chosenFile("first.mpg", "first");
    run.dialogs.answer(first);
    run.dialogs.cancel();
    auto* select = control<QPushButton>(window, "Command2");
    QTest::mouseClick(select, Qt::LeftButton);
    QTest::mouseClick(select, Qt::LeftButton);
    // The dialog opened on the last confirmed name, and the cancel handed that name on again.
    QCOMPARE(run.dialogs.previousNames, QStringList({QString(), first}));
    QCOMPARE(control<QLabel>(window, "Label4")->text(), first);
    QCOMPARE(control<MediaPreview>(window, "MediaPlayer2")->file(), first);
    QCOMPARE(control<QLabel>(window, "Label1")->text(), QString());
}

void TestMediaEdWindow::transformAfterFailedStartUp() {
    // Without settings the lists never learnt the installation's folders: nothing may be
    // written anywhere else (the working folder, say).
    Run run({}, false);
    FrmOvra3MedEd* window = run.start();
    QCOMPARE(run.dialogs.installationErrors(), 1);
    run.dialogs.answer(run.chosenFile("song.mp3", "song"));
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(run.install.dir.path()));
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QTest::mouseClick(control<QPushButton>(window, "Command1"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(window, "cmdTransform"), Qt::LeftButton);
    const QStringList after = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QVERIFY(QDir::setCurrent(cwd));
    QCOMPARE(run.dialogs.installationErrors(), 2);
    QCOMPARE(after, before);
    QVERIFY(!topLevel(QStringLiteral("frmSongInfo")));
}

void TestMediaEdWindow::restore_data() {
    QTest::addColumn<bool>("music");
    QTest::addColumn<int>("installed"); // files in the installed directory
    QTest::addColumn<int>("onCd");      // files in the CD folder; -1: no CD at all
    QTest::addColumn<int>("restoreErrors");

    QTest::newRow("music, full") << true << 22 << 22 << 0;
    QTest::newRow("music, 10 listed") << true << 10 << 10 << 1;
    QTest::newRow("music, no CD") << true << 22 << -1 << 1;
    QTest::newRow("movies, full") << false << 29 << 29 << 0;
    QTest::newRow("movies, 30 installed") << false << 30 << 30 << 0;
    QTest::newRow("movies, CD lacks names") << false << 29 << 7 << 1;
}

void TestMediaEdWindow::restore() {
    QFETCH(bool, music);
    QFETCH(int, installed);
    QFETCH(int, onCd);
    QFETCH(int, restoreErrors);

    demogen::Options options;
    (music ? options.musicFiles : options.movieFiles) = installed;
    (music ? options.cdMusicFiles : options.cdMovieFiles) = std::max(onCd, 0);
    options.withCd = onCd >= 0;
    Run run(options);
    FrmOvra3MedEd* window = run.start();
    QVERIFY(run.showWindow());
    const int startErrors = run.dialogs.installationErrors();

    // Every installed file replaced by the user; only the listed ones come back.
    const QStringList names =
        sorted(music ? demogen::musicNames(installed) : demogen::movieNames(installed));
    auto path = [&](const QString& name) {
        return music ? run.install.music(name) : run.install.movie(name);
    };
    for (const QString& name : names)
        QVERIFY(TempInstall::write(path(name), "replaced by the user"));
    // The listed names come back in list order until one is missing from the CD.
    const int passes = music ? 22 : 29;
    const QStringList cd =
        onCd < 0 ? QStringList() : (music ? demogen::musicNames(onCd) : demogen::movieNames(onCd));
    int restored = 0;
    while (restored < std::min<int>(passes, names.size()) && cd.contains(names[restored]))
        ++restored;

    // What the bar shows at each repaint during the restore.
    auto* bar = control<FloatProgressBar>(window, "ProgressBar1");
    QVector<float> painted;
    struct PaintSpy : QObject {
        FloatProgressBar* bar;
        QVector<float>* seen;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                seen->push_back(bar->exactValue());
            return false;
        }
    } spy;
    spy.bar = bar;
    spy.seen = &painted;
    bar->installEventFilter(&spy);

    for (int round = 0; round < 2; ++round) {
        painted.clear();
        menuItem(window, music ? "mnuRestore" : "mnuRestoreMovies")->trigger();
        QCOMPARE(run.dialogs.installationErrors(), startErrors + restoreErrors * (round + 1));
        for (int i = 0; i < names.size(); ++i) {
            const QByteArray expected =
                i < restored ? stock(names[i]) : QByteArray("replaced by the user");
            QCOMPARE(TempInstall::bytes(path(names[i])), expected);
        }
        // A repaint at once after each file restored, on the way from 0 to 100.
        painted.erase(std::unique(painted.begin(), painted.end()), painted.end());
        QCOMPARE(painted.size(), restored);
        for (int i = 1; i < painted.size(); ++i)
            QVERIFY(painted[i] > painted[i - 1]);
        if (restored > 0) {
            QCOMPARE(painted.first(), 0.0f);
            QCOMPARE(bar->exactValue(), painted.last());
            if (painted.size() > 1)
                QVERIFY(qFuzzyCompare(painted[1], 100.0f / float(passes - 1)));
        }
        if (restored == passes)
            QCOMPARE(bar->exactValue(), 100.0f); // exactly, not 99.99
        else
            QVERIFY(bar->exactValue() < 100.0f);
    }
}

void TestMediaEdWindow::realMessageBox() {
    // No scripted dialogs: the program's own message box comes up and is read off the screen.
    TempInstall install(fewTricks(), false);
    struct Seen {
        QString caption, text;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::Information;
        QString buttonText;
    };
    QVector<Seen> seen;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.push_back({box->windowTitle(), box->text(), int(box->buttons().size()), box->icon(),
                        box->buttons().value(0) ? box->buttons().value(0)->text() : QString()});
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
    });
    poll.start();
    FrmOvra3MedEd window(install.programDir);
    poll.stop();

    int found = 0;
    for (const Seen& s : seen) {
        QCOMPARE(s.caption, QStringLiteral("Ovra3MediaEd"));
        QCOMPARE(s.buttons, 1);
        QCOMPARE(s.icon, QMessageBox::NoIcon);
        QCOMPARE(QString(s.buttonText).remove('&'), QStringLiteral("OK"));
        found += s.text == kError;
    }
    QCOMPARE(found, 1);
}

void TestMediaEdWindow::docking() {
    Run run;
    FrmOvra3MedEd* window = run.start();
    QVERIFY(run.showWindow());
    QWidget* soundtrack = run.soundtrackWindow();
    auto docked = [window] {
        const QRect f = window->frameGeometry();
        return QPoint(f.left() + f.width(), f.top());
    };
    // Opened docked.
    QTRY_COMPARE(soundtrack->pos(), docked());

    window->move(window->pos() + QPoint(120, 90));
    QTRY_VERIFY(soundtrack->pos() != docked());
    const QPoint stayed = soundtrack->pos();
    QWidget* client = window->centralWidget();

    // A move over a control is not a move over the window's surface.
    QWidget* label = control(window, "lblReplace");
    QTest::mouseMove(label, label->rect().center());
    QCOMPARE(soundtrack->pos(), stayed);

    const QPoint surface(272, 300);
    QVERIFY(!client->childAt(surface));
    QTest::mouseMove(client, surface);
    QTRY_COMPARE(soundtrack->pos(), docked());
    QVERIFY(soundtrack->isVisible());
}

void TestMediaEdWindow::helpWindows() {
    Run run;
    FrmOvra3MedEd* window = run.start();
    QVERIFY(run.showWindow());

    struct Expect {
        const char* item;
        const char* name;
        const char* caption;
        QSize client;
    };
    for (const Expect& e :
         {Expect{"mnuAbout", "frmAbout", "About", {268, 370}},
          Expect{"mnuInstructions", "frmInstructions", "Instructions", {170, 162}}}) {
        menuItem(window, e.item)->trigger();
        menuItem(window, e.item)->trigger();
        QCOMPARE(topLevelCount(e.name), 1);
        QWidget* w = topLevel(e.name);
        QVERIFY(w->isVisible());
        QVERIFY(!w->parentWidget());
        QCOMPARE(w->windowModality(), Qt::NonModal);
        QCOMPARE(w->windowTitle(), QString::fromLatin1(e.caption));
        QCOMPARE(w->size(), e.client);
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(
            !(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        for (QWidget* c : w->findChildren<QWidget*>())
            QCOMPARE(c->focusPolicy(), Qt::NoFocus);
    }

    QWidget* instructions = topLevel("frmInstructions");
    auto* text = control<QLabel>(instructions, "Label1");
    QCOMPARE(
        text->text(),
        QStringLiteral("To use Ovra3 Media Ed follow these directions: 1. Pick the song or "
                       "movie you want to replace in the Replace combo box, 2. Pick the song "
                       "or movie  you want to write over the file you picked previously, and "
                       "3. Press Transform It! on the correct side. It's that simple. For legal "
                       "and contact information, see the About box."));
    QCOMPARE(text->geometry(), QRect(8, 8, 153, 233));

    QWidget* about = topLevel("frmAbout");
    auto* title = control<QLabel>(about, "Label1");
    QCOMPARE(title->text(), QStringLiteral("Ovra3 Music Ed"));
    QCOMPARE(title->font().pointSizeF(), 19.5);
    QCOMPARE(title->geometry(), QRect(0, 8, 265, 33));
    QCOMPARE(control(about, "Label3")->geometry(), QRect(16, 312, 257, 65));
    struct Picture {
        const char* name;
        QRect geometry;
        QSize pixels;
    };
    for (const Picture& p : {Picture{"Image1", {40, 120, 193, 97}, {389, 171}},
                             Picture{"Image2", {40, 224, 193, 73}, {377, 133}}}) {
        auto* image = control<QLabel>(about, p.name);
        QCOMPARE(image->geometry(), p.geometry);
        QVERIFY(image->hasScaledContents());
        QCOMPARE(image->pixmap().size(), p.pixels);
    }
    // Notice between title and bitmap, pointers to web sites below the pictures.
    auto* notice = control<QLabel>(about, "Label2");
    QVERIFY(notice->geometry().top() >= title->geometry().bottom());
    QVERIFY(notice->geometry().bottom() <= control(about, "Image1")->geometry().top());
    QVERIFY(!notice->text().isEmpty());

    // Closed windows go away; the next command makes a new one.
    QPointer<QWidget> closed = about;
    about->close();
    QTRY_VERIFY(!closed);
    menuItem(window, "mnuAbout")->trigger();
    QCOMPARE(topLevelCount("frmAbout"), 1);
}

void TestMediaEdWindow::closeEndsProgram() {
    Run run;
    FrmOvra3MedEd* window = run.start();
    QVERIFY(run.showWindow());
    menuItem(window, "mnuAbout")->trigger();
    menuItem(window, "mnuInstructions")->trigger();
    run.dialogs.answer(run.chosenFile("x.mp3", "x"));
    QTest::mouseClick(control<QPushButton>(window, "Command1"), Qt::LeftButton);
    control<QComboBox>(window, "cboReplace")->setCurrentIndex(0);
    QTest::mouseClick(control<QPushButton>(window, "cmdTransform"), Qt::LeftButton);
    QVERIFY(topLevel("frmSongInfo"));

    // Closing the main window ends the run although the three other windows are open.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    QTimer::singleShot(0, window, &QWidget::close);
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(lastClosed.size(), 1);
    // The catalogue window was hidden, not closed.
    QWidget* soundtrack = run.soundtrackWindow();
    QVERIFY(soundtrack);
    QVERIFY(!soundtrack->isVisible());
    QCOMPARE(static_cast<QWidget*>(window->soundtrack().existing()), soundtrack);
}

void TestMediaEdWindow::exitRunsNoCloseStep() {
    Run run;
    FrmOvra3MedEd* window = run.start();
    QVERIFY(run.showWindow());
    QDir data(run.install.programDir + "/data");
    const QStringList slotFiles = data.entryList(QDir::Files);
    for (const QString& f : slotFiles)
        QVERIFY(QFile(data.filePath(f)).resize(0));

    QTimer::singleShot(0, window, [window] { menuItem(window, "mnuExit")->trigger(); });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    // Out at once: nothing hidden, nothing closed, nothing saved.
    QVERIFY(window->isVisible());
    QVERIFY(run.soundtrackWindow() && run.soundtrackWindow()->isVisible());
    for (const QString& f : slotFiles)
        QCOMPARE(QFileInfo(data.filePath(f)).size(), 0);
}

QTEST_MAIN(TestMediaEdWindow)
#include "tst_mediaedwindow.moc"
