// The safe whole-file copy and the shared installation error message.
#include "dialogs.h"
#include "filecopy.h"
#include "scripteddialogs.h"
#include "tempinstall.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace ovra;

namespace {

QByteArray pattern(qint64 size, char seed) {
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char(seed + i * 7 + (i >> 12));
    return data;
}

QStringList leftovers(const QString& dir) {
    return QDir(dir).entryList({QString(kTempPrefix) + "*"}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

private slots:
    void copies_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("destinationExists");
        QTest::newRow("empty file over existing") << qint64(0) << true;
        QTest::newRow("small new file") << qint64(17) << false;
        QTest::newRow("several MiB over existing") << qint64(5 * 1024 * 1024 + 3) << true;
    }
    void copies() {
        QFETCH(qint64, size);
        QFETCH(bool, destinationExists);
        QTemporaryDir dir;
        const QString from = dir.filePath("new.mp3"), to = dir.filePath("air.mus");
        QVERIFY(TempInstall::write(from, pattern(size, 'a')));
        if (destinationExists)
            QVERIFY(TempInstall::write(to, pattern(size + 100, 'z')));
        const CopyResult r = replaceFile(from, to);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(TempInstall::bytes(to), pattern(size, 'a'));
        QCOMPARE(TempInstall::bytes(from), pattern(size, 'a'));
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

    void copyOntoItself() {
        QTemporaryDir dir;
        const QString f = dir.filePath("same.ska");
        QVERIFY(TempInstall::write(f, "stock"));
        QVERIFY(replaceFile(f, f).ok);
        QCOMPARE(TempInstall::bytes(f), QByteArray("stock"));
    }

#ifdef Q_OS_UNIX
    void keepsDestinationPermissions() {
        QTemporaryDir dir;
        const QString from = dir.filePath("a"), to = dir.filePath("b");
        QVERIFY(TempInstall::write(from, "new"));
        QVERIFY(TempInstall::write(to, "old"));
        QVERIFY(QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::WriteGroup | QFile::ReadOther));
        const auto before = QFile::permissions(to);
        QVERIFY(replaceFile(from, to).ok);
        QCOMPARE(QFile::permissions(to), before);
    }
#endif

    // Every failure leaves the destination exactly as it was and says why.
    void failures_data() {
        QTest::addColumn<QString>("caseName");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("empty source path") << "empty" << "No file";
        QTest::newRow("missing source") << "missing" << "missing.mp3";
        QTest::newRow("source is a folder") << "folder" << "folder";
        QTest::newRow("missing destination folder") << "nodir" << "nodir";
        QTest::newRow("read-only destination") << "readonly" << "read-only";
        QTest::newRow("destination is a folder") << "destdir" << "destdir";
    }
    void failures() {
        QFETCH(QString, caseName);
        QFETCH(QString, mentions);
        QTemporaryDir dir;
        QString from = dir.filePath("song.mp3");
        QString to = dir.filePath("air.mus");
        QVERIFY(TempInstall::write(from, "new bytes"));
        QVERIFY(TempInstall::write(to, "installed"));
        if (caseName == "empty")
            from.clear();
        else if (caseName == "missing")
            from = dir.filePath("missing.mp3");
        else if (caseName == "folder") {
            QVERIFY(QDir(dir.path()).mkdir("folder"));
            from = dir.filePath("folder");
        }
        else if (caseName == "nodir")
            to = dir.filePath("nodir/air.mus");
        else if (caseName == "readonly")
            QVERIFY(QFile::setPermissions(to, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        else if (caseName == "destdir") {
            QVERIFY(QDir(dir.path()).mkdir("destdir"));
            to = dir.filePath("destdir");
        }

        const CopyResult r = replaceFile(from, to);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(mentions), qPrintable(r.error));
        QCOMPARE(TempInstall::bytes(dir.filePath("air.mus")), QByteArray("installed"));
        QVERIFY(!QFile::exists(dir.filePath("nodir")));
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

#ifdef Q_OS_UNIX
    // A copy that hits the file-size limit halfway must fail cleanly: the old file stays
    // whole and no temporary is left. Run in a child so the limit binds only there.
    void fileSizeLimitMidCopy() {
        QTemporaryDir dir;
        const QString from = dir.filePath("big.mp3"), to = dir.filePath("air.mus");
        QVERIFY(TempInstall::write(from, pattern(4 * 1024 * 1024, 'b')));
        QVERIFY(TempInstall::write(to, "installed"));
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            struct rlimit limit {1024 * 1024, 1024 * 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
            const CopyResult r = replaceFile(from, to);
            _exit(r.ok ? 0 : (r.error.contains("large") ? 3 : 4));
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY2(WIFEXITED(status), "the copy killed the process instead of failing");
        QCOMPARE(WEXITSTATUS(status), 3);
        QCOMPARE(TempInstall::bytes(to), QByteArray("installed"));
        QVERIFY(leftovers(dir.path()).isEmpty());
    }
#endif

    void staleTemporariesRemoved() {
        QTemporaryDir dir;
        QVERIFY(TempInstall::write(dir.filePath(QString(kTempPrefix) + "abc123"), "half"));
        QVERIFY(TempInstall::write(dir.filePath("air.mus"), "keep"));
        QCOMPARE(removeStaleTemporaries(dir.path()), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"air.mus"});
    }

    void installationErrorGoesThroughTheSeam() {
        ScriptedDialogs scripted;
        showInstallationError(nullptr, "Ovra3TrickEd");
        QCOMPARE(scripted.messages.size(), 1);
        QCOMPARE(scripted.messages[0].caption, QString("Ovra3TrickEd"));
        QCOMPARE(scripted.messages[0].text,
                 QString("There is an error! Is your Ovra3 CD in your CD drive? Is your Ovra3 "
                         "directory specified and correct? Is your drive letter specified and "
                         "correct?"));
    }

    void filterConversion() {
        QCOMPARE(qtFilter("MP3 Audio (*.mp3)|*.mp3|MUS format (*.mus)|*.mus"),
                 QString("MP3 Audio (*.mp3);;MUS format (*.mus)"));
        QCOMPARE(qtFilter("Trick Config Files (*.tcg)|*.tcg"), QString("Trick Config Files (*.tcg)"));
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
