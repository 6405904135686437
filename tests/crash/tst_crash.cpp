// Kills the programs' long file operations at random moments and checks that every file is
// whole afterwards: each installed file holds either its old or its new bytes, each slot
// file reads as one of the two captions being saved, and the next start leaves no
// temporary file behind.
#include "installation/filecopy.h"
#include "installation/keptcopies.h"
#include "mediaed/catalogue.h"
#include "mediaed/frmovra3meded.h"
#include "mediaed/mediabackend.h"
#include "rtf/rtfreader.h"
#include "tests/support/scopedenv.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "tricked/frmovra3tricked.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {

struct Expected {
    QString path;
    QByteArray before;
    QByteArray after;
};

// Makes every installed file of a folder differ from its CD file, and returns both versions.
QVector<Expected> modFolder(const QString& installed, const QString& cd, const QStringList& names) {
    QVector<Expected> files;
    for (const QString& name : names) {
        Expected e{installed + "/" + name, demogen::content("modded", name, 40 * 1024 + 7),
                   TempInstall::bytes(cd + "/" + name)};
        if (!TempInstall::write(e.path, e.before))
            qFatal("cannot mod %s", qPrintable(e.path));
        files << e;
    }
    return files;
}

QStringList temporaries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(".ovra3-tmp-");
}

// Starts the child, waits until it works, lets it run for a random time and kills it.
bool runAndKill(const QString& mode, const QString& programDir, int maxDelayMs) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationDirPath() + "/crash_child", {mode, programDir});
    if (!child.waitForStarted(10000) || !child.waitForReadyRead(30000))
        return false;
    QThread::msleep(QRandomGenerator::global()->bounded(maxDelayMs + 1));
    child.kill(); // SIGKILL: no handler, no cleanup
    child.waitForFinished(10000);
    return true;
}

} // namespace

class TestCrash : public QObject {
    Q_OBJECT

public:
    // The program's media back end, chosen before the application object as main() does.
    static void initMain() { mediaed::chooseMediaBackend(); }

private slots:
    void trickRestoreKilled() {
        demogen::Options options;
        options.trickSize = 40 * 1024;
        TempInstall install(options);
        const QString installed = install.layout.gameDirectory + "/data/anims/skater_M";
        const QString cd = install.layout.cdRoot + "/setup/data/data/anims/skater_m";
        const QVector<Expected> files = modFolder(installed, cd, demogen::trickNames(659));
        const OwnKeptCopies store; // the child's too

        int sawPartialRestore = 0;
        for (int round = 0; round < 12; ++round) {
            QVERIFY(runAndKill("trick-restore", install.programDir, 300));
            int restored = 0;
            for (const Expected& e : files) {
                const QByteArray now = TempInstall::bytes(e.path);
                QVERIFY2(now == e.before || now == e.after,
                         qPrintable(e.path + " is neither old nor new"));
                restored += now == e.after;
            }
            sawPartialRestore += restored > 0 && restored < files.size();
            // What the killed restore replaced was kept and journaled first: undo puts the mods
            // back for the next round. (Killed before its first change, the last command is the
            // last round's undo, which is not to be undone.)
            if (restored > 0) {
                const ovra::Result<QStringList> undone = ovra::undo(1);
                QVERIFY2(undone, qPrintable(undone.error));
                QCOMPARE(undone.value.size(), restored);
            }
            for (const Expected& e : files)
                QVERIFY2(TempInstall::bytes(e.path) == e.before, qPrintable(e.path));
        }
        qInfo("rounds killed mid-restore: %d of 12", sawPartialRestore);

        // The next start clears what a killed copy may have left.
        ScriptedDialogs dialogs;
        QVERIFY(TempInstall::write(installed + "/.ovra3-tmp-left01", "half a file"));
        tricked::FrmOvra3TrickEd window(install.programDir);
        QCOMPARE(temporaries(installed), QStringList());
    }

    void mediaRestoreKilled() {
        demogen::Options options;
        options.musicSize = 512 * 1024;
        options.movieSize = 512 * 1024;
        TempInstall install(options);
        const QString music = install.layout.gameDirectory + "/data/music";
        const QString movies = install.layout.gameDirectory + "/data/movies";
        QVector<Expected> files = modFolder(music, install.layout.cdRoot + "/setup/data/data/music",
                                            demogen::musicNames(22));
        files += modFolder(movies, install.layout.cdRoot + "/setup/data/data/movies",
                           demogen::movieNames(29));
        for (int round = 0; round < 8; ++round) {
            QVERIFY(runAndKill("media-restore", install.programDir, 400));
            for (const Expected& e : files) {
                const QByteArray now = TempInstall::bytes(e.path);
                QVERIFY2(now == e.before || now == e.after,
                         qPrintable(e.path + " is neither old nor new"));
            }
            for (const Expected& e : files)
                QVERIFY(TempInstall::write(e.path, e.before));
        }
        ScriptedDialogs dialogs;
        QVERIFY(TempInstall::write(music + "/.ovra3-tmp-left01", "half a file"));
        QVERIFY(TempInstall::write(movies + "/.ovra3-tmp-left01", "half a file"));
        mediaed::FrmOvra3MedEd window(install.programDir);
        QCOMPARE(temporaries(music), QStringList());
        QCOMPARE(temporaries(movies), QStringList());
    }

    void catalogueSaveKilled() {
        TempInstall install;
        const QString data = install.programDir + "/data";
        for (int round = 0; round < 12; ++round) {
            QVERIFY(runAndKill("catalogue-save", install.programDir, 200));
            for (int i = 0; i < mediaed::kSlotCount; ++i) {
                const QString path = QStringLiteral("%1/%2.dat").arg(data).arg(i);
                if (!QFile::exists(path))
                    continue; // killed before its first save
                const rtf::ReadResult r = rtf::read(TempInstall::bytes(path));
                QVERIFY2(r.ok, qPrintable(path + ": " + r.error));
                QVERIFY2(r.text == QStringLiteral("A version of slot %1").arg(i) ||
                             r.text == QStringLiteral("B version of slot %1").arg(i),
                         qPrintable(path + " holds " + r.text));
            }
        }
        // Whatever a killed save left beside the slot files is gone after the next load.
        mediaed::Catalogue catalogue(install.programDir);
        catalogue.load();
        const QStringList left = QDir(data).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : left)
            QVERIFY2(QRegularExpression("^\\d+\\.dat$").match(name).hasMatch(), qPrintable(name));
    }
};

QTEST_MAIN(TestCrash)
#include "tst_crash.moc"
