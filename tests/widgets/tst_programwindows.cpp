// What the windows of both programs have in common, with a row per program or per window: where
// every control stands (the tables of layouts.h) and the rules every window keeps, the focus
// order, the real message box, Exit, the Help windows and the menus.
#include "mediaed/frmovra3meded.h"
#include "mediaed/stocktable.h"
#include "rtf/rtfwriter.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "tests/support/windowcheck.h"
#include "tricked/frmovra3tricked.h"
#include "widgets/progressbar.h"

#include <QAction>
#include <QDirIterator>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <memory>

using check::topLevel;

namespace {

// One run of a program on an installation of its own, shown, with scripted dialogs.
struct ProgramRun {
    ScriptedDialogs dialogs;
    TempInstall install;
    std::unique_ptr<QMainWindow> window;

    static demogen::Options options(const QString& program) {
        demogen::Options o; // only the files the program reads: each costs time to generate
        if (program == u"media")
            o.trickFiles = 3;
        else
            o.musicFiles = o.movieFiles = 0;
        return o;
    }
    static std::unique_ptr<QMainWindow> start(const QString& program, const QString& dir) {
        if (program == u"media")
            return std::make_unique<mediaed::FrmOvra3MedEd>(dir);
        return std::make_unique<tricked::FrmOvra3TrickEd>(dir);
    }

    explicit ProgramRun(const QString& program) : install(options(program)) {
        if (program == u"media") { // a catalogue of empty captions, as its table expects
            QDir().mkpath(install.programDir + "/data");
            for (int i = 0; i < mediaed::kSlotCount; ++i)
                TempInstall::write(install.programDir + QStringLiteral("/data/%1.dat").arg(i),
                                   rtf::write(QString()));
        }
        window = start(program, install.programDir);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("main window not shown");
    }

    void trigger(const QString& name) {
        QAction* a = window->findChild<QAction*>(name);
        QVERIFY2(a, qPrintable(name));
        a->trigger();
    }
    void click(const QString& name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    // The table's window on screen, opened as the user opens it.
    QWidget* open(const layouts::Window& table) {
        if (table.opener.startsWith(u"mnu")) {
            trigger(table.opener);
        } else if (table.opener == u"transform" && !topLevel(table.name, true)) {
            const QString song = install.dir.filePath("song.mp3");
            TempInstall::write(song, "a song");
            dialogs.answer(song);
            click("Command1");
            window->findChild<QComboBox*>("cboReplace")->setCurrentIndex(0);
            click("cmdTransform");
        }
        return topLevel(table.name, true);
    }
    QWidget* client(QWidget* top) const {
        return top == window.get() ? window->centralWidget() : top;
    }
};

// Every file below `dir` with its content, and the windows on screen.
QStringList filesAndWindows(const QString& dir) {
    QStringList state;
    for (QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        state << path + u'=' + QString::fromLatin1(TempInstall::bytes(path).toHex());
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            state << w->objectName();
    state.sort();
    return state;
}

void addProgramRows() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("title"); // of its message boxes and status bar
    QTest::newRow("media") << QString("media") << QString("Ovra3MediaEd");
    QTest::newRow("trick") << QString("trick") << QString("Ovra3TrickEd");
}

} // namespace

class TestProgramWindows : public QObject {
    Q_OBJECT

    // The layout rows look at one run per program, started once.
    std::unique_ptr<ProgramRun> shared_;
    QString sharedProgram_;
    ProgramRun& shared(const QString& program) {
        if (!shared_ || sharedProgram_ != program) {
            shared_.reset();
            shared_ = std::make_unique<ProgramRun>(program);
            sharedProgram_ = program;
        }
        return *shared_;
    }

private slots:
    void init() {
        if (QTest::currentTestFunction() != QByteArrayLiteral("layout"))
            shared_.reset(); // its windows would be counted
    }

    void layout_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<layouts::Control>("row"); // no name: the window and its rules
        const QList<layouts::Window>& windows = layouts::windows();
        for (int i = 0; i < windows.size(); ++i) {
            const layouts::Window& w = windows[i];
            QTest::addRow("%s %s", qPrintable(w.program), qPrintable(w.name))
                << i << layouts::Control();
            for (const layouts::Control& c : w.controls)
                QTest::addRow("%s %s %s", qPrintable(w.program), qPrintable(w.name),
                              qPrintable(c.name))
                    << i << c;
        }
    }
    void layout() {
        QFETCH(int, window);
        QFETCH(layouts::Control, row);
        const layouts::Window& table = layouts::windows()[window];
        ProgramRun& run = shared(table.program);
        QWidget* top = run.open(table);
        QVERIFY(top);
        if (row.name.isEmpty())
            check::window(top, run.client(top), table);
        else
            check::control(run.client(top), row);
    }

    void tabOrder_data() {
        QTest::addColumn<int>("window");
        const QList<layouts::Window>& windows = layouts::windows();
        for (int i = 0; i < windows.size(); ++i)
            if (!windows[i].tabOrder.isEmpty())
                QTest::addRow("%s %s", qPrintable(windows[i].program), qPrintable(windows[i].name))
                    << i;
    }
    void tabOrder() {
        QFETCH(int, window);
        const layouts::Window& table = layouts::windows()[window];
        ProgramRun run(table.program);
        QWidget* top = run.open(table);
        QApplication::setActiveWindow(top);
        QVERIFY(QTest::qWaitForWindowActive(top));
        QCOMPARE(QApplication::focusWidget()->objectName(), table.tabOrder.first()); // opens so
        check::tabCycle(top, run.client(top), table.tabOrder);
    }

    void realMessageBox_data() { addProgramRows(); }
    void realMessageBox() {
        QFETCH(QString, program);
        QFETCH(QString, title);
        TempInstall install(ProgramRun::options(program), false); // no settings: an error
        const QStringList seen =
            check::realMessageBoxes([&] { ProgramRun::start(program, install.programDir); });
        QCOMPARE(seen.filter(ovra::kInstallationError),
                 QStringList{title + u'|' + ovra::kInstallationError + "|1|0|OK"});
        // The media editor's first start also says that it made its catalogue.
        QCOMPARE(seen.size(), program == u"media" ? 2 : 1);
        for (const QString& box : seen) // one OK, no icon
            QVERIFY2(box.startsWith(title + u'|') && box.endsWith("|1|0|OK"), qPrintable(box));
    }

    void exitRunsNoCloseStep_data() { addProgramRows(); }
    void exitRunsNoCloseStep() {
        QFETCH(QString, program);
        ProgramRun run(program);
        // The media editor's slot files are emptied, so that a save would show.
        QDir data(run.install.programDir + "/data");
        const QStringList slotFiles = data.entryList(QDir::Files);
        QCOMPARE(slotFiles.size(), program == u"media" ? mediaed::kSlotCount : 0);
        for (const QString& f : slotFiles)
            QVERIFY(QFile(data.filePath(f)).resize(0));
        const QStringList before = filesAndWindows(run.install.programDir);

        QTimer::singleShot(0, run.window.get(), [&run] { run.trigger("mnuExit"); });
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(2); });
        QCOMPARE(QApplication::exec(), 0);
        // Out at once: nothing hidden, nothing closed, nothing saved.
        QCOMPARE(filesAndWindows(run.install.programDir), before);
    }

    // The windows of the menus: information windows, and the Directory and Drive Info dialog.
    void helpWindows_data() { addProgramRows(); }
    void helpWindows() {
        QFETCH(QString, program);
        ProgramRun run(program);
        QList<const layouts::Window*> tables;
        for (const layouts::Window& w : layouts::windows())
            if (w.program == program && w.opener.startsWith(u"mnu"))
                tables << &w;
        QList<QWidget*> first;
        for (const layouts::Window* t : tables)
            first << run.open(*t);
        // Each command again, the others in between: the same window comes forward.
        for (int i = 0; i < tables.size(); ++i) {
            const QString name = tables[i]->name;
            QCOMPARE(run.open(*tables[i]), first[i]);
            int count = 0;
            QCOMPARE(topLevel(name, false, &count), first[i]);
            QCOMPARE(count, 1);
            QVERIFY(!first[i]->parentWidget() && !first[i]->isModal());
            if (name != u"frmDirectoryInfo") // text and pictures only
                for (QWidget* c : first[i]->findChildren<QWidget*>())
                    QCOMPARE(c->focusPolicy(), Qt::NoFocus);
        }
        QVERIFY(!QApplication::activeModalWidget());

        QWidget* about = topLevel("frmAbout", true);
        const std::pair<const char*, QSize> pictures[] = {{"Image1", QSize(389, 171)},
                                                          {"Image2", QSize(377, 133)}};
        for (auto [name, size] : pictures) {
            auto* image = about->findChild<QLabel*>(name);
            QCOMPARE(image->pixmap().size(), size);
            QVERIFY(image->hasScaledContents());
        }
        // A notice of our own lies between the title and the bitmap.
        auto* notice = about->findChild<QLabel*>("Label2");
        QVERIFY(notice && !notice->text().isEmpty());
        QVERIFY(notice->y() >= about->findChild<QLabel*>("Label1")->geometry().bottom());
        QVERIFY(notice->geometry().bottom() < about->findChild<QWidget*>("Image1")->y());

        // Closing one ends it; the next command makes a new one.
        for (int i = 0; i < tables.size(); ++i) {
            const QPointer<QWidget> closed = first[i];
            closed->close();
            QTest::qWait(0);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(!closed, qPrintable(tables[i]->name));
            QVERIFY(run.open(*tables[i]));
        }
    }

    void menus_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("menus"); // "text=object name": each menu, then its items
        const QStringList media{"&File=mnuFile",
                                "Directory Info=mnuDirectory",
                                "Restore Original Music=mnuRestore",
                                "Restore Original Movies=mnuRestoreMovies",
                                "Exit=mnuExit",
                                "Help=mnuHelp",
                                "About=mnuAbout",
                                "Instructions=mnuInstructions"};
        const QStringList trick{"&File=mnuFile",
                                "New Trick Config=mnuNew",
                                "Open and Restore Trick Config=mnuOpen",
                                "Save Trick Config=mnuSave",
                                "Specify Directory Information=mnuSpecifyDir",
                                "Restore Originals=mnuRestore",
                                "Exit=mnuExit",
                                "Help=mnuHelp",
                                "Instructions=mnuInstructions",
                                "About=mnuAbout",
                                "History and Info=mnuHistory"};
        QTest::newRow("media") << QString("media") << QString("Ovra3MediaEd") << media;
        QTest::newRow("trick") << QString("trick") << QString("Ovra3TrickEd") << trick;
    }
    void menus() {
        QFETCH(QString, program);
        QFETCH(QString, title);
        QFETCH(QStringList, menus);
        ProgramRun run(program);
        QStringList seen;
        for (QAction* top : run.window->menuBar()->actions()) {
            seen << top->text() + u'=' + top->menu()->objectName();
            for (QAction* a : top->menu()->actions()) {
                seen << a->text() + u'=' + a->objectName();
                QVERIFY(a->shortcut().isEmpty() && !a->isCheckable() && a->isEnabled());
            }
        }
        QCOMPARE(seen, menus);
        QVERIFY(run.window->menuBar()->grab().toImage().pixelColor(1, 1) != QColor(0, 0, 0));
        // The status bar names the program and its maker; the bar counts to 100.
        const QString status =
            run.window->findChild<ovra::ClockStatusBar*>("StatusBar1")->textPanel()->text();
        QVERIFY2(status.startsWith(title + " - by ") && status.size() > title.size() + 6,
                 qPrintable(status));
        QCOMPARE(run.window->findChild<ovra::ProgressBar*>("ProgressBar1")->exactMaximum(), 100.0f);
    }
};

QTEST_MAIN(TestProgramWindows)
#include "tst_programwindows.moc"
