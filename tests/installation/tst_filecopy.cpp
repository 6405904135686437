// The safe whole-file writer and reader, the clean-up of temporaries, and the shared
// installation error message.
#include "installation/filecopy.h"
#include "installation/temporaries.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "widgets/dialogs.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include "installation/posixfile.h"
#include "tests/support/watchdog.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

// The folder for copy sources: the destination's own, or `other` on another file system (as a
// CD or a USB stick is), where the kernel does not copy across and the read/write loop runs.
// Empty when no second file system is at hand.
QString sourceFolder(bool across, const QTemporaryDir& dir, const QTemporaryDir& other) {
#ifdef Q_OS_UNIX
    struct stat a = {};
    struct stat b = {};
    const bool apart = other.isValid() && stat(QFile::encodeName(other.path()), &a) == 0 &&
                       stat(QFile::encodeName(dir.path()), &b) == 0 && a.st_dev != b.st_dev;
    return !across ? dir.path() : apart ? other.path() : QString();
#else
    Q_UNUSED(other);
    return across ? QString() : dir.path();
#endif
}

const char* where(bool across) {
    return across ? "across file systems" : "same file system";
}

} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

    static constexpr qint64 kReadLimit = 1 << 20;

private slots:
    void copies_data() {
        QTest::addColumn<bool>("across");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("destinationExists");
        for (bool across : {false, true}) {
            QTest::addRow("empty file over existing, %s", where(across))
                << across << qint64(0) << true;
            QTest::addRow("small new file, %s", where(across)) << across << qint64(17) << false;
            QTest::addRow("several MiB over existing, %s", where(across))
                << across << qint64(5 * 1024 * 1024 + 3) << true;
        }
    }
    void copies() {
        QFETCH(bool, across);
        QFETCH(qint64, size);
        QFETCH(bool, destinationExists);
        QTemporaryDir dir, other("/dev/shm/ovra-src-XXXXXX");
        const QString src = sourceFolder(across, dir, other);
        if (src.isEmpty())
            QSKIP("no second file system: /dev/shm is missing or holds the temporary folder");
        const QString from = src + "/new.mp3", to = dir.filePath("air.mus");
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

    // Every failure leaves the destination exactly as it was and says why.
    void failures_data() {
        QTest::addColumn<bool>("across");
        QTest::addColumn<QString>("caseName");
        QTest::addColumn<QString>("mentions");
        for (bool across : {false, true}) {
            const auto row = [&](const char* name, const char* caseName, const char* mentions) {
                QTest::addRow("%s, %s", name, where(across)) << across << caseName << mentions;
            };
            row("empty source path", "empty", "No file");
            row("missing source", "missing", "missing.mp3");
            row("source is a folder", "folder", "folder");
            row("missing destination folder", "nodir", "nodir");
            row("read-only destination", "readonly", "read-only");
            row("destination is a folder", "destdir", "destdir");
#ifdef Q_OS_UNIX
            row("source is a FIFO", "srcfifo", "is not a file");
            // The rename fails (EBUSY): a copy must not report success with the old bytes.
            row("destination is a mount point", "mounted", "air.mus");
            // Network and user-space file systems report a failed write when the file closes.
            row("close reports a write error", "closefails", "Input/output error");
#endif
        }
    }
    void failures() {
        QFETCH(bool, across);
        QFETCH(QString, caseName);
        QFETCH(QString, mentions);
        QTemporaryDir dir, other("/dev/shm/ovra-src-XXXXXX");
        const QString src = sourceFolder(across, dir, other);
        if (src.isEmpty())
            QSKIP("no second file system: /dev/shm is missing or holds the temporary folder");
        QString from = src + "/song.mp3";
        QString to = dir.filePath("air.mus");
        QVERIFY(TempInstall::write(from, "new bytes"));
        QVERIFY(TempInstall::write(to, "installed"));
        if (caseName == "empty")
            from.clear();
        else if (caseName == "missing")
            from = src + "/missing.mp3";
        else if (caseName == "folder") {
            QVERIFY(QDir(src).mkdir("folder"));
            from = src + "/folder";
        } else if (caseName == "nodir")
            to = dir.filePath("nodir/air.mus");
        else if (caseName == "readonly")
            QVERIFY(
                QFile::setPermissions(to, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        else if (caseName == "destdir") {
            QVERIFY(QDir(dir.path()).mkdir("destdir"));
            to = dir.filePath("destdir");
        }
#ifdef Q_OS_UNIX
        else if (caseName == "srcfifo") {
            from = src + "/fifo.mp3";
            QCOMPARE(mkfifo(QFile::encodeName(from), 0600), 0);
        }
        const QString bound = dir.filePath("bound");
        const auto unmount = qScopeGuard([&] {
            if (caseName == "mounted")
                umount2(QFile::encodeName(to), MNT_DETACH);
        });
        if (caseName == "mounted") {
            QVERIFY(TempInstall::write(bound, "installed"));
            if (mount(QFile::encodeName(bound), QFile::encodeName(to), nullptr, MS_BIND, nullptr) !=
                0)
                QSKIP("a bind mount needs root");
        }
        const auto closeFails = [](int fd) {
            ::close(fd);
            errno = EIO;
            return -1;
        };
        const auto closes = qScopeGuard([] { detail::closeWritten = ::close; });
        if (caseName == "closefails")
            detail::closeWritten = closeFails;
        const Watchdog watchdog(20);
#endif

        const CopyResult r = replaceFile(from, to);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(mentions), qPrintable(r.error));
        QCOMPARE(TempInstall::bytes(dir.filePath("air.mus")), QByteArray("installed"));
        QVERIFY(!QFile::exists(dir.filePath("nodir")));
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

#ifdef Q_OS_UNIX
    // A copy that hits the file-size limit must fail cleanly: the old file stays whole and no
    // temporary is left. The limit cuts the last of the 1 MiB chunks short, so a loop that
    // ignored a short write would report success. Run in a child so the limit binds only there.
    void fileSizeLimitMidCopy_data() {
        QTest::addColumn<bool>("across");
        for (bool across : {false, true})
            QTest::addRow("%s", where(across)) << across;
    }
    void fileSizeLimitMidCopy() {
        QFETCH(bool, across);
        QTemporaryDir dir, other("/dev/shm/ovra-src-XXXXXX");
        const QString src = sourceFolder(across, dir, other);
        if (src.isEmpty())
            QSKIP("no second file system: /dev/shm is missing or holds the temporary folder");
        const QString from = src + "/big.mp3", to = dir.filePath("air.mus");
        QVERIFY(TempInstall::write(from, pattern(1536 * 1024, 'b')));
        QVERIFY(TempInstall::write(to, "installed"));
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            const struct rlimit limit = {1280 * 1024, 1280 * 1024};
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

    // A replacement keeps what the replaced file was (as far as the process may); a new file
    // gets the ordinary mode for new files, never the source's.
    void ownership_data() {
        QTest::addColumn<bool>("ownFile");   // the player's own file rather than a game file
        QTest::addColumn<int>("oldMode");    // of the file replaced; 0: a new file
        QTest::addColumn<int>("oldOwner");   // its uid and gid; -1: the test's own
        QTest::addColumn<QString>("layout"); // "plain", "linked source", "linked destination"
        QTest::addColumn<int>("mode");       // expected, under umask 022
        QTest::newRow("replaced file keeps its mode") << false << 0664 << -1 << "plain" << 0664;
        QTest::newRow("set-id bits dropped") << false << 06755 << -1 << "plain" << 0755;
        QTest::newRow("owner and group kept") << false << 0640 << 4321 << "plain" << 0640;
        QTest::newRow("new file, not the source's mode") << false << 0 << -1 << "plain" << 0644;
        QTest::newRow("new file, linked source") << false << 0 << -1 << "linked source" << 0644;
        QTest::newRow("installed link replaced, its target kept")
            << false << 0640 << -1 << "linked destination" << 0644;
        QTest::newRow("own file through a link writes the target")
            << true << 0640 << -1 << "linked destination" << 0640;
    }
    void ownership() {
        QFETCH(bool, ownFile);
        QFETCH(int, oldMode);
        QFETCH(int, oldOwner);
        QFETCH(QString, layout);
        QFETCH(int, mode);
        if (oldOwner >= 0 && geteuid() != 0)
            QSKIP("only root may give a file to another user");
        QTemporaryDir dir;
        const QString source = dir.filePath("source.mp3"), to = dir.filePath("air.mus");
        const QString target = dir.filePath("elsewhere.mus");
        QVERIFY(TempInstall::write(source, "new"));
        QCOMPARE(chmod(QFile::encodeName(source), 0600), 0);
        const QString from = layout == "linked source" ? dir.filePath("link.mp3") : source;
        const bool linkedDestination = layout == "linked destination";
        const QString old = linkedDestination ? target : to;
        if (oldMode) {
            QVERIFY(TempInstall::write(old, "old"));
            QCOMPARE(chown(QFile::encodeName(old), oldOwner, oldOwner), 0);
            QCOMPARE(chmod(QFile::encodeName(old), oldMode), 0);
        }
        QVERIFY(from == source || QFile::link(source, from));
        QVERIFY(!linkedDestination || QFile::link(target, to));

        const mode_t mask = umask(022);
        const CopyResult r = ownFile ? writeFileAtomically(to, "new") : replaceFile(from, to);
        umask(mask);
        QVERIFY2(r.ok, qPrintable(r.error));
        // A game file's link is replaced itself; the player's own link leads to what is written.
        const bool followed = ownFile && linkedDestination;
        const QString written = followed ? target : to;
        struct stat st {};
        QCOMPARE(lstat(QFile::encodeName(written), &st), 0);
        QVERIFY(S_ISREG(st.st_mode));
        QCOMPARE(int(st.st_mode & 07777), mode);
        QCOMPARE(int(st.st_uid), oldOwner >= 0 ? oldOwner : int(geteuid()));
        QCOMPARE(int(st.st_gid), oldOwner >= 0 ? oldOwner : int(getegid()));
        QCOMPARE(TempInstall::bytes(written), QByteArray("new"));
        QCOMPARE(QFileInfo(to).isSymLink(), followed);
        QVERIFY(!linkedDestination || followed || TempInstall::bytes(target) == "old");
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

    // The clean-up removes exactly what a killed writer leaves, and nothing in use.
    void staleTemporaries_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("state"); // "left", "locked" (by a running writer), "writing"
        QTest::addColumn<bool>("removed");
        const auto row = [](const char* name, const char* file, const char* state, bool removed) {
            QTest::newRow(name) << QString(file) << QString(state) << removed;
        };
        row("left by a killed writer", ".ovra3-tmp-abc123", "left", true);
        row("longer name", ".ovra3-tmp-abc123.keep", "left", false);
        row("five characters", ".ovra3-tmp-abc12", "left", false);
        row("seven characters", ".ovra3-tmp-abc1234", "left", false);
        row("slot file backup", "5.dat.backup", "left", false);
        row("slot file copy", "12.dat.orig01", "left", false);
        row("locked by a running writer", ".ovra3-tmp-abc123", "locked", false);
        row("another instance starts during a copy", "", "writing", false);
    }
    void staleTemporaries() {
        QFETCH(QString, name);
        QFETCH(QString, state);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString path = dir.filePath(name), kept = dir.filePath("air.mus");
        QVERIFY(TempInstall::write(kept, "keep"));
        QVERIFY(name.isEmpty() || TempInstall::write(path, "half"));
        // A second open file description holds the lock, as a running writer does.
        const int locked = state == "locked" ? open(QFile::encodeName(path), O_RDONLY) : -1;
        QVERIFY(state != "locked" || flock(locked, LOCK_EX) == 0);

        int count = -1;
        if (state == "writing") {
            const CopyResult r = replaceFileWith(
                kept,
                [&](const WriteChunk& write) {
                    count = removeStaleTemporaries(dir.path());
                    return write("new", 3) ? QString() : QString("write failed");
                },
                LinkPolicy::ReplaceLink);
            QVERIFY2(r.ok, qPrintable(r.error));
        } else {
            count = removeStaleTemporaries(dir.path());
        }
        if (locked >= 0)
            close(locked);
        QCOMPARE(count, removed ? 1 : 0);
        QVERIFY(name.isEmpty() || QFileInfo::exists(path) != removed);
        QCOMPARE(TempInstall::bytes(kept), QByteArray(state == "writing" ? "new" : "keep"));
    }

    // One reader for every file the programs read whole: only regular files, never blocking.
    void readsOnlyRegularFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("size");   // of a regular file
        QTest::addColumn<QString>("error"); // empty: read whole
        const qint64 limit = kReadLimit;
        QTest::newRow("file") << "file" << qint64(100) << "";
        QTest::newRow("empty file") << "file" << qint64(0) << "";
        QTest::newRow("at the limit") << "file" << limit << "";
        QTest::newRow("over the limit") << "file" << limit + 1 << "too large";
        QTest::newRow("link to a file") << "link to file" << qint64(100) << "";
        QTest::newRow("missing") << "missing" << qint64(0) << "cannot open";
        QTest::newRow("folder") << "folder" << qint64(0) << "not a regular file";
        QTest::newRow("FIFO") << "fifo" << qint64(0) << "not a regular file";
        QTest::newRow("link to a FIFO") << "link to fifo" << qint64(0) << "not a regular file";
        QTest::newRow("device") << "device" << qint64(0) << "not a regular file";
    }
    void readsOnlyRegularFiles() {
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QString path = dir.filePath("config.tcg");
        const QString real = kind.startsWith("link") ? dir.filePath("real") : path;
        const QByteArray content = pattern(size, 'r');
        if (kind.endsWith("file"))
            QVERIFY(TempInstall::write(real, content));
        else if (kind.endsWith("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(real), 0600), 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (kind == "device")
            path = "/dev/null";
        QVERIFY(!kind.startsWith("link") || QFile::link(real, path));

        const Watchdog watchdog(20);
        const Result<QByteArray> r = readRegularFile(path, kReadLimit);
        QCOMPARE(r.ok, error.isEmpty());
        QVERIFY2(r.error.contains(error) && (r.ok || r.error.contains(path)), qPrintable(r.error));
        QCOMPARE(r.value, r.ok ? content : QByteArray());
    }

    // A name swapped between a file and a FIFO while it is read: every read gives the file's
    // bytes or is refused. Judged by the name alone, the FIFO would be read as an empty file.
    void nameSwappedWhileRead() {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("config.tcg"));
        const QByteArray file = path + ".file", fifo = path + ".fifo", next = path + ".next";
        QVERIFY(TempInstall::write(QFile::decodeName(file), "the file's bytes"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        std::atomic<bool> stop = false;
        std::thread swapper([&] {
            for (bool toFifo = false; !stop; toFifo = !toFifo)
                if (link((toFifo ? fifo : file).constData(), next.constData()) == 0)
                    rename(next.constData(), path.constData());
        });
        const Watchdog watchdog(20);
        int read = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000) {
            const Result<QByteArray> r = readRegularFile(QFile::decodeName(path), kReadLimit);
            if (r.ok && r.value != "the file's bytes")
                break;
            read += r.ok;
        }
        stop = true;
        swapper.join();
        QVERIFY2(clock.elapsed() >= 1000, "a FIFO was read as a file");
        QVERIFY(read > 0);
    }
#endif
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
