// The trick editor's main window, driven as a user drives it: start-up, the trick lists,
// transforms and restores. What it shares with the media editor's window is in
// tst_programwindows.
#include "installation/filelist.h"
#include "installation/keptcopies.h"
#include "tests/support/barwatch.h"
#include "tests/support/scopedenv.h"
#include "tests/support/windowcheck.h"
#include "tests/tricked/trickfixture.h"
#include "tricked/infowindows.h"
#include "tricked/trickconfig.h"
#include "widgets/progressbar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tricked;

namespace {

// Counts the paint events a widget receives.

} // namespace

class TestTrickedWindow : public QObject {
    Q_OBJECT

private slots:
    void startUp_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("withCd");
        QTest::addColumn<QString>("removeSetting"); // or "image", "damaged image": the CD's form
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("errors");
        QTest::newRow("659 files") << 659 << true << "" << 659 << 0;
        QTest::newRow("CD as a disc image") << 659 << true << "image" << 659 << 0;
        QTest::newRow("damaged disc image") << 659 << true << "damaged image" << 0 << 1;
        QTest::newRow("660 files") << 660 << true << "" << 659 << 0;
        QTest::newRow("100 files") << 100 << true << "" << 100 << 1;
        QTest::newRow("no CD") << 659 << false << "" << 0 << 1;
        QTest::newRow("no drive setting") << 659 << true << "drivedata.dat" << 0 << 1;
        QTest::newRow("no settings") << 659 << true << "directorydata.dat" << 0 << 1;
    }
    void startUp() {
        QFETCH(int, files);
        QFETCH(bool, withCd);
        QFETCH(QString, removeSetting);
        QFETCH(int, entries);
        QFETCH(int, errors);
        TempInstall install(tricks(files, withCd));
        if (removeSetting.endsWith("image")) {
            SKIP_WHERE_IMAGES_ARE_MOUNTED();
            QVERIFY(install.packCdIntoImage(removeSetting.startsWith("damaged")));
        } else if (!removeSetting.isEmpty())
            QVERIFY(QFile::remove(install.programDir + "/" + removeSetting));
        ScriptedDialogs dialogs;
        FrmOvra3TrickEd window(install.programDir);

        QCOMPARE(dialogs.installationErrors(), errors);
        QCOMPARE(dialogs.messages.size(), errors);
        const QStringList names = window.core().trickList().names();
        for (int i = 1; i < names.size(); ++i)
            QVERIFY(ovra::compareFileNames(names[i - 1], names[i]) < 0);
        for (const char* name : {"cboReplace", "cboWith"}) {
            auto* combo = window.findChild<QComboBox*>(name);
            QVERIFY(combo);
            QCOMPARE(combo->count(), entries);
            for (int i = 0; i < entries; ++i)
                QCOMPARE(combo->itemText(i), names[i]);
            QCOMPARE(combo->currentIndex(), -1);
            QCOMPARE(combo->currentText(), QStringLiteral("Select a trick"));
        }
    }

#ifdef Q_OS_UNIX
    // Entries of the CD trick folder that a Windows listing of the same CD does not hold.
    void strayEntries_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("kind"); // "": file, "/": folder, "|": FIFO, else link to it
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("told"); // in a message at start-up
        const auto row = [](const char* tag, const char* name, const char* kind, bool listed) {
            QTest::newRow(tag) << QByteArray(name) << QByteArray(kind) << listed << false;
        };
        row("AppleDouble", "._Grind_grind37.SKA", "", false);
        row("hidden", ".hidden.ska", "", false);
        row("folder", "x.ska", "/", false);
        row("FIFO", "pipe.ska", "|", false);
        row("link to a device", "null.ska", "/dev/null", false);
        row("dangling link", "gone.ska", "nowhere.ska", false);
        row("link to a file", "zz_link.ska", "ollie.ska", true);
        QTest::newRow("not UTF-8") << QByteArray("\xe9t\xe9.ska") << QByteArray() << false << true;
    }
    void strayEntries() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, kind);
        QFETCH(bool, listed);
        QFETCH(bool, told);
        TempInstall install(tricks());
        const QByteArray path = QFile::encodeName(install.cdTrick(QString())) + name;
        const auto remove = qScopeGuard([&] { ::unlink(path.constData()); }); // Qt may not see it
        const char* at = path.constData();
        QCOMPARE(kind.isEmpty() ? ::close(::open(at, O_CREAT | O_WRONLY, 0644))
                 : kind == "/"  ? ::mkdir(at, 0755)
                 : kind == "|"  ? ::mkfifo(at, 0644)
                                : ::symlink(kind.constData(), at),
                 0);
        ScriptedDialogs dialogs;
        FrmOvra3TrickEd window(install.programDir);
        QStringList expected = demogen::trickNames(659);
        if (listed)
            expected << QString::fromUtf8(name);
        ovra::sortFileNames(expected);
        QCOMPARE(window.core().trickList().names(), expected);
        QCOMPARE(dialogs.messages.size(), told ? 1 : 0);
        if (told)
            QVERIFY(dialogs.messages[0].caption == kProgramTitle &&
                    dialogs.messages[0].text.contains(QString::fromLatin1(name)));
        // Restoring creates nothing in the installation.
        const QDir installed(install.layout.gameDirectory + "/data/anims/skater_M");
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System;
        const QStringList before = installed.entryList(all);
        window.findChild<QAction*>("mnuRestore")->trigger();
        QCOMPARE(installed.entryList(all), before);
        QCOMPARE(dialogs.installationErrors(), 0);
    }
#endif

    void transformBeforePick() {
        TrickFixture f;
        f.trigger("mnuNew");
        const auto before = f.snapshot();
        QTest::mouseClick(f.window->findChild<QPushButton*>("cmdTransform"), Qt::LeftButton);
        QCOMPARE(f.dialogs.installationErrors(), 1);
        QCOMPARE(f.snapshot(), before);
        QCOMPARE(f.window->core().currentConfig(), unchangedConfig());
    }

    void transformPicked_data() {
        QTest::addColumn<bool>("keepConfig");
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("q");
        QTest::addColumn<QString>("record");
        QTest::newRow("not kept") << false << 3 << 12 << "";
        QTest::newRow("kept") << true << 3 << 12 << "3   12  ";
        QTest::newRow("last with first") << true << 658 << 0 << "658 0   ";
        QTest::newRow("itself") << true << 0 << 0 << "0   0   ";
    }
    void transformPicked() {
        QFETCH(bool, keepConfig);
        QFETCH(int, p);
        QFETCH(int, q);
        QFETCH(QString, record);
        TrickFixture f;
        const OwnKeptCopies store;
        if (keepConfig)
            f.trigger("mnuNew");
        QVERIFY(TempInstall::write(f.installed(p), "changed earlier"));
        auto before = f.snapshot();
        const auto untouched = before;
        f.window->findChild<QComboBox*>("cboReplace")->setCurrentIndex(p);
        f.window->findChild<QComboBox*>("cboWith")->setCurrentIndex(q);
        QTest::mouseClick(f.window->findChild<QPushButton*>("cmdTransform"), Qt::LeftButton);

        QCOMPARE(f.dialogs.messages.size(), 0);
        before[f.name(p)] = f.cdBytes(q);
        QCOMPARE(f.snapshot(), before);
        if (!keepConfig)
            QVERIFY(f.window->core().currentConfig().isEmpty());
        else
            QCOMPARE(f.window->core().currentConfig(), unchangedConfig().replace(8 * p, 8, record));
        // What the swap replaced comes back, as ovra3 undo puts it back.
        QVERIFY(ovra::undo(1));
        QCOMPARE(f.snapshot(), untouched);
    }

    void transformRefused_data() {
        QTest::addColumn<QString>("replacefile");
        QTest::addColumn<QString>("withfile");
        QTest::addColumn<bool>("removeTrickDir");
        QTest::newRow("typed name") << "nosuch.ska"
                                    << "#3" << false;
        QTest::newRow("typed source") << "#3"
                                      << "nosuch.ska" << false;
        QTest::newRow("other case") << "#3"
                                    << "#12upper" << false;
        QTest::newRow("position 659") << "#3"
                                      << "#659" << false;
        QTest::newRow("installation missing") << "#3"
                                              << "#12" << true;
    }
    void transformRefused() {
        QFETCH(QString, replacefile);
        QFETCH(QString, withfile);
        QFETCH(bool, removeTrickDir);
        TrickFixture f(tricks(660));
        f.trigger("mnuNew");
        const auto resolve = [&](QString s) {
            if (!s.startsWith('#'))
                return s;
            const bool upper = s.endsWith("upper");
            const QString name = f.name(s.mid(1).remove("upper").toInt());
            return upper ? name.toUpper() : name;
        };
        const QString trickDir = f.install.layout.gameDirectory + "/data/anims/skater_M";
        if (removeTrickDir)
            QVERIFY(QDir(trickDir).removeRecursively());
        const auto before = f.snapshot();
        f.window->transform(resolve(replacefile), resolve(withfile));
        QCOMPARE(f.dialogs.installationErrors(), 1);
        QCOMPARE(f.snapshot(), before); // no stray file either
        QCOMPARE(f.window->core().currentConfig(), unchangedConfig());
    }

    void typedTextStays() {
        TrickFixture f;
        f.window->show();
        QApplication::setActiveWindow(f.window.get());
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        auto* combo = f.window->findChild<QComboBox*>("cboReplace");
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), "KICK");
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(combo->currentText(), QStringLiteral("KICK"));
        QCOMPARE(combo->count(), 659);
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), "kickflip_l");
        QCOMPARE(combo->currentText(), QStringLiteral("kickflip_l"));

        // A click on a button beside the suggestions acts on it at once. Through the window, as
        // the window system delivers it: the open popup sees it first.
        QAbstractItemView* suggestions = combo->completer()->popup();
        QTRY_VERIFY(suggestions->isVisible());
        auto* transform = f.window->findChild<QPushButton*>("cmdTransform");
        QVERIFY(!suggestions->geometry().intersects(
            QRect(transform->mapToGlobal(QPoint()), transform->size())));
        QTest::mouseClick(f.window->windowHandle(), Qt::LeftButton, {},
                          transform->mapTo(f.window.get(), transform->rect().center()));
        QTRY_COMPARE(f.dialogs.installationErrors(), 1); // "kickflip_l" is no trick: refused
        QVERIFY(!suggestions->isVisible());
        QCOMPARE(combo->currentText(), QStringLiteral("kickflip_l"));
    }

    // What the window shows of Restore Originals; the core suite checks what lands on disk.
    void restore_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("withCd");
        QTest::addColumn<int>("breakAt"); // installed file replaced by a folder; -1: none
        QTest::addColumn<int>("restored");
        QTest::addColumn<int>("errors");
        QTest::newRow("659") << 659 << true << -1 << 659 << 0;
        QTest::newRow("short list") << 100 << true << -1 << 100 << 1;
        QTest::newRow("no CD") << 659 << false << -1 << 0 << 1;
        QTest::newRow("copy fails") << 659 << true << 10 << 10 << 1;
    }
    void restore() {
        QFETCH(int, files);
        QFETCH(bool, withCd);
        QFETCH(int, breakAt);
        QFETCH(int, restored);
        QFETCH(int, errors);
        demogen::Options o = tricks(files, withCd);
        o.installedTricks = std::max(files, 659);
        TrickFixture f(o, true);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.trigger("mnuNew");
        if (restored > 12)
            f.window->transform(f.name(3), f.name(12));
        const QString config = f.window->core().currentConfig();
        if (restored > 0) // the last file the restore reaches
            QVERIFY(TempInstall::write(f.installed(restored - 1), "swapped"));
        if (breakAt >= 0) {
            QVERIFY(QFile::remove(f.installed(breakAt)));
            QVERIFY(QDir().mkdir(f.installed(breakAt)));
        }
        f.dialogs.messages.clear();
        BarWatch watch(f.window->findChild<ovra::ProgressBar*>("ProgressBar1"));
        watch.clear();

        f.trigger("mnuRestore");

        QCOMPARE(f.dialogs.installationErrors(), errors);
        QCOMPARE(f.dialogs.messages.size(), errors);
        if (restored > 0)
            QCOMPARE(f.installedBytes(restored - 1), f.cdBytes(restored - 1));
        const float expected = restored > 0 ? float((restored - 1) * (100.0 / 659)) : 0.0f;
        auto* bar = f.window->findChild<ovra::ProgressBar*>("ProgressBar1");
        QCOMPARE(bar->exactValue(), expected);
        QCOMPARE(bar->exactMaximum(), 100.0f);
        QCOMPARE(watch.taken.size(), restored); // every file's value, in order
        for (int i = 0; i < restored; ++i)
            QCOMPARE(watch.taken[i], float(i * (100.0 / 659)));
        QVERIFY2(watch.drewByFrames(), qPrintable(watch.found));
        QVERIFY(qAbs(100.0 * bar->value() / bar->maximum() - expected) < 0.01); // as drawn
        QCOMPARE(f.window->core().currentConfig(), config);
        if (restored == 659)
            QVERIFY(qAbs(bar->exactValue() - 99.848f) < 0.001f);
    }

    // The History window's text breaks its lines at runs of blanks only.
    void historyLineBreaks() {
        TrickFixture f(tricks(0), false);
        f.trigger("mnuHistory");
        const QString history =
            check::topLevel("frmHistory", true)->findChild<QLabel*>("Label1")->text();
        QCOMPARE(history, historyText());
        QVERIFY(!history.contains('\n') && !history.contains('\r'));
        QList<int> runs;
        static const QRegularExpression blankRun(QStringLiteral(" {2,}"));
        for (auto it = blankRun.globalMatch(history); it.hasNext();)
            runs << int(it.next().capturedLength());
        QCOMPARE(runs, (QList<int>{37, 24, 39, 31, 43}));
    }
};

QTEST_MAIN(TestTrickedWindow)
#include "tst_trickedwindow.moc"
