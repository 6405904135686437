// Every save on a full disk or past the file-size limit, and every read or save that meets a
// FIFO or a device: the failure is reported, the old file stays as it was, nothing blocks.
#include "installation/filecopy.h"
#include "installation/installsettings.h"
#include "mediaed/catalogue.h"
#include "rtf/rtfwriter.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/smallfs.h"
#include "tests/support/tempinstall.h"
#include "tests/support/watchdog.h"
#include "tricked/frmovra3tricked.h"

#include <QAction>
#include <QTest>
#include <cstring>
#include <functional>
#include <memory>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Lowers this process's file-size limit while it lives (the hard limit stays, to go back).
struct FileSizeLimit {
    struct rlimit saved {};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        const struct rlimit lower { bytes, saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

// A trick editor whose start-up found no settings (reported and forgotten): Save and Open work.
struct TrickEditor {
    QTemporaryDir program;
    ScriptedDialogs dialogs;
    tricked::FrmOvra3TrickEd window{program.path()};

    TrickEditor() { dialogs.messages.clear(); }
    // Runs a File menu action (on `path`, when the action asks for one); returns the message it
    // showed, if any.
    QString run(const char* action, const QString& path) {
        if (!path.isNull())
            dialogs.answer(path);
        window.findChild<QAction*>(action)->trigger();
        return dialogs.messages.isEmpty() ? QString() : dialogs.messages.takeLast().text;
    }
};

QString catalogueMessage(const mediaed::Catalogue::SaveResult& r) {
    return r.ok ? QString() : mediaed::saveFailureMessage(r);
}

bool isType(const QString& path, mode_t type) {
    struct stat st {};
    return lstat(QFile::encodeName(path), &st) == 0 && (st.st_mode & S_IFMT) == type;
}

} // namespace

class TestSaveFailures : public QObject {
    Q_OBJECT

private slots:
    void noSpace_data() {
        QTest::addColumn<QString>("saver");
        QTest::addColumn<bool>("fullDisk"); // else the file-size limit
        QTest::addColumn<QString>("says");  // how the report begins
        for (bool full : {true, false}) {
            const char* limit = full ? "full disk" : "file-size limit";
            QTest::addRow("settings, %s", limit) << "settings" << full << "The setting could not";
            QTest::addRow("soundtrack list, %s", limit) << "slots" << full << "The soundtrack list";
            QTest::addRow("trick config, %s", limit) << "tcg" << full << "The Trick Config could";
            QTest::addRow("game file, %s", limit) << "copy" << full << "Could not copy";
        }
    }
    void noSpace() {
        QFETCH(QString, saver);
        QFETCH(bool, fullDisk);
        QFETCH(QString, says);
        SmallFileSystem small;
        if (fullDisk && !small.skip.isEmpty())
            QSKIP(qPrintable(small.skip));
        QTemporaryDir elsewhere;
        const QString root = fullDisk ? small.dir.path() : elsewhere.path();
        const QString program = root + "/program";
        QVERIFY(QDir().mkpath(program + "/data"));

        QMap<QString, QByteArray> old; // every file that must keep its bytes
        std::unique_ptr<TrickEditor> editor;
        std::function<QString()> save;
        if (saver == "settings") {
            old[program + "/directorydata.dat"] = "/games/old";
            old[program + "/drivedata.dat"] = "/media/old/";
            save = [&] {
                const ovra::StoreResult r =
                    ovra::storeSettings(program, "/games/new/ovra3", "/media/new-cd/");
                return r.ok ? QString() : r.unchanged ? r.error : "changed: " + r.error;
            };
        } else if (saver == "slots") {
            for (int i = 0; i < mediaed::kSlotCount; ++i)
                old[program + QStringLiteral("/data/%1.dat").arg(i)] =
                    rtf::write(QStringLiteral("Old %1").arg(i));
            save = [&] {
                mediaed::Catalogue catalogue(program);
                catalogue.resetToStock();
                return catalogueMessage(catalogue.save());
            };
        } else if (saver == "tcg") {
            old[root + "/mine.tcg"] = "older";
            editor = std::make_unique<TrickEditor>();
            editor->run("mnuNew", QString());
            save = [&] { return editor->run("mnuSave", root + "/mine.tcg"); };
        } else {
            old[root + "/air.mus"] = "installed";
            QVERIFY(TempInstall::write(elsewhere.filePath("new.mp3"), QByteArray(8192, 'n')));
            save = [&] {
                return ovra::replaceFile(elsewhere.filePath("new.mp3"), root + "/air.mus").error;
            };
        }
        for (auto it = old.cbegin(); it != old.cend(); ++it)
            QVERIFY(TempInstall::write(it.key(), it.value()));

        QVERIFY(!fullDisk || small.fill());
        QString report;
        {
            const FileSizeLimit limit(fullDisk ? RLIM_INFINITY : 8);
            report = save();
        }
        QVERIFY2(report.startsWith(says), qPrintable(report));
        for (auto it = old.cbegin(); it != old.cend(); ++it)
            QCOMPARE(TempInstall::bytes(it.key()), it.value());
        for (const QString& dir : {root, program, program + "/data"})
            QCOMPARE(QDir(dir).entryList({".ovra3-tmp-*"}, QDir::Hidden | QDir::Files),
                     QStringList());
    }

    void specialFiles_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("node"); // what stands where the file is read or written
        QTest::addColumn<QString>("says");
        const auto row = [](const char* name, const char* operation, const char* node,
                            const QString& says) {
            QTest::newRow(name) << QString(operation) << QString(node) << says;
        };
        row("open a FIFO as Trick Config", "open", "fifo", "could not be read");
        row("settings file is a FIFO", "start", "fifo", ovra::kInstallationError);
        row("slot file is a FIFO", "slots", "fifo", "7.dat: it is not a regular file");
        row("save a Trick Config onto a FIFO", "save", "fifo", "could not be saved to");
        row("... onto a device", "save", "device", "could not be saved to");
        row("... onto a link to a FIFO", "save", "link to fifo", "could not be saved to");
    }
    void specialFiles() {
        QFETCH(QString, operation);
        QFETCH(QString, node);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString program = dir.filePath("program");
        QVERIFY(QDir().mkpath(program + "/data"));
        const QString path = operation == "start"   ? program + "/directorydata.dat"
                             : operation == "slots" ? program + "/data/7.dat"
                                                    : dir.filePath("shared.tcg");
        const bool linked = node.startsWith("link");
        const QString special = linked ? dir.filePath("special") : path;
        const mode_t type = node.endsWith("fifo") ? S_IFIFO : S_IFCHR;
        // A null device of the test's own, so that a faulty save cannot touch the system's.
        if (mknod(QFile::encodeName(special), type | 0600, makedev(1, 3)) != 0)
            QSKIP(qPrintable("cannot make a " + node + " here: " + strerror(errno)));
        QVERIFY(!linked || QFile::link(special, path));
        QVERIFY(TempInstall::write(program + "/drivedata.dat", "/media/cd/"));

        const Watchdog watchdog(20);
        QString report;
        if (operation == "start") {
            ScriptedDialogs dialogs;
            tricked::FrmOvra3TrickEd window(program);
            report = dialogs.messages.value(0).text;
        } else if (operation == "slots") {
            mediaed::Catalogue catalogue(program);
            QVERIFY(catalogue.load().resetSlots.contains(7));
            report = catalogueMessage(catalogue.save());
        } else {
            report = TrickEditor().run(operation == "open" ? "mnuOpen" : "mnuSave", path);
        }
        QVERIFY2(report.contains(says), qPrintable(report));
        QVERIFY(isType(special, type));
        QVERIFY(!linked || isType(path, S_IFLNK));
    }
};

QTEST_MAIN(TestSaveFailures)
#include "tst_savefailures.moc"
