// Settings files, path rules, host paths and the file-name order.
#include "installation/filelist.h"
#include "installation/folders.h"
#include "installation/installsettings.h"
#include "installation/paths.h"
#include "tests/support/scopedenv.h"
#include "tests/support/tempinstall.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include "tests/support/smallfs.h"
#endif

using namespace ovra;

namespace {

bool touch(const QString& path) {
    return TempInstall::write(path, "x");
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void readSetting_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("C:\\Games\\Ovra3") << "C:\\Games\\Ovra3";
        QTest::newRow("drive root keeps its backslash") << QByteArray("C:\\") << "C:\\";
        QTest::newRow("drive text") << QByteArray("D:") << "D:";
        QTest::newRow("LF dropped") << QByteArray("/games/ovra3\n") << "/games/ovra3";
        QTest::newRow("CRLF dropped") << QByteArray("D:\r\n") << "D:";
        QTest::newRow("several line ends") << QByteArray("D:\r\n\r\n\n") << "D:";
        QTest::newRow("inner blanks kept") << QByteArray(" my games \\x ") << " my games \\x ";
        QTest::newRow("empty file") << QByteArray() << "";
    }
    void readSetting() {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(TempInstall::write(dir.filePath("drivedata.dat"), content));
        const auto value = readSettingFile(dir.path(), kCdDriveFile);
        QVERIFY(value.has_value());
        QCOMPARE(*value, expected);
    }

    void readSettingFailures() {
        QTemporaryDir dir;
        QVERIFY(!readSettingFile(dir.path(), kGameDirectoryFile).has_value());
        // A folder in place of the file, and a file far too large to be a setting.
        QVERIFY(QDir(dir.path()).mkdir(kGameDirectoryFile));
        QVERIFY(!readSettingFile(dir.path(), kGameDirectoryFile).has_value());
        QVERIFY(TempInstall::write(dir.filePath(kCdDriveFile), QByteArray(1 << 20, 'x')));
        QVERIFY(!readSettingFile(dir.path(), kCdDriveFile).has_value());
    }

    void storeThenRead() {
        QTemporaryDir dir;
        QVERIFY(TempInstall::write(dir.filePath(kGameDirectoryFile), "old value that is longer"));
        const StoreResult r = storeSettings(dir.path(), "/games/ovra3", "/media/cdrom/");
        QVERIFY2(r.ok, qPrintable(r.error));
        // The whole content is the value: no line end, nothing left of the old text.
        QCOMPARE(TempInstall::bytes(dir.filePath(kGameDirectoryFile)), QByteArray("/games/ovra3"));
        QCOMPARE(TempInstall::bytes(dir.filePath(kCdDriveFile)), QByteArray("/media/cdrom/"));
        QCOMPARE(*readSettingFile(dir.path(), kGameDirectoryFile), QString("/games/ovra3"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void storeFailureLeavesOldFiles() {
        QTemporaryDir dir;
        QVERIFY(TempInstall::write(dir.filePath(kGameDirectoryFile), "keep me"));
        // A folder where the drive file should go: that write must fail, and say so.
        QVERIFY(QDir(dir.path()).mkdir(kCdDriveFile));
        QVERIFY(touch(dir.filePath(QString(kCdDriveFile) + "/inside")));
        const StoreResult r = storeSettings(dir.path(), "/new/dir", "/new/cd/");
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains("drivedata.dat"));
        QVERIFY(QFileInfo(dir.filePath(kCdDriveFile)).isDir());

        const StoreResult missing = storeSettings(dir.filePath("no/such/folder"), "a", "b");
        QVERIFY(!missing.ok);
        QVERIFY(!missing.error.isEmpty());
    }

#ifdef Q_OS_UNIX
    // An installed copy keeps its settings per user, even where it could write its own folder
    // (run as root, or from ~/.local/bin); so does one whose folder cannot be written (root
    // included). Settings a packager shipped beside the program are read until the player
    // stores their own. A copy in a build or an unpacked folder keeps them beside itself. Where
    // neither folder can be written, the store fails and says so.
    void perUserFolder_data() {
        QTest::addColumn<QString>("copy"); // installed, read-only or portable
        QTest::addColumn<bool>("shipped");
        QTest::addColumn<bool>("configWritable");
        QTest::newRow("read-only, nothing shipped") << "read-only" << false << true;
        QTest::newRow("read-only, settings shipped") << "read-only" << true << true;
        QTest::newRow("neither folder writable") << "read-only" << true << false;
        QTest::newRow("installed, folder writable") << "installed" << true << true;
        QTest::newRow("portable") << "portable" << true << true;
    }
    void perUserFolder() {
        QFETCH(QString, copy);
        QFETCH(bool, shipped);
        QFETCH(bool, configWritable);
        SmallFileSystem small;
        if (copy == "read-only" && !small.skip.isEmpty())
            QSKIP(qPrintable(small.skip));
        QTemporaryDir prefix;
        // As installing lays it out: <prefix>/bin and the marker under <prefix>/share.
        const QString programDir = copy == "read-only" ? small.dir.path() : prefix.filePath("bin");
        QVERIFY(QDir().mkpath(programDir));
        if (copy == "installed")
            QVERIFY(QDir().mkpath(QFileInfo(programDir + '/' + kInstalledMarker).path()) &&
                    touch(programDir + '/' + kInstalledMarker));
        if (shipped)
            QVERIFY(TempInstall::write(programDir + '/' + kGameDirectoryFile, "/shipped/game") &&
                    TempInstall::write(programDir + '/' + kCdDriveFile, "/shipped/cd/"));
        if (copy == "read-only")
            QVERIFY(small.makeReadOnly());
        QTemporaryDir home;
        const QString config = home.filePath(configWritable ? "config" : "a-file");
        if (!configWritable)
            QVERIFY(touch(config));
        const ScopedEnv xdg("XDG_CONFIG_HOME", QFile::encodeName(config));

        const ProgramFolder folder(programDir);
        const QString own = copy == "portable" ? programDir : config + "/Ovra3";
        QCOMPARE(folder.own(), own);
        QCOMPARE(folder.beside(), programDir);
        QCOMPARE(isInstalled(programDir), copy == "installed");
        const Settings before = loadSettings(folder);
        QCOMPARE(before.gameDirectory.value_or("none"), shipped ? "/shipped/game" : "none");

        const StoreResult stored = storeSettings(folder, "/games/mine", "/media/cd/");
        QCOMPARE(stored.ok, configWritable);
        const Settings after = loadSettings(folder);
        if (configWritable) {
            QCOMPARE(TempInstall::bytes(own + '/' + kCdDriveFile), "/media/cd/");
            QCOMPARE(after.gameDirectory.value_or("none"), "/games/mine");
        } else {
            QVERIFY(stored.error.contains(config));
            QCOMPARE(after.gameDirectory.value_or("none"), "/shipped/game");
        }
        if (copy == "installed") // what was shipped stays as it was
            QCOMPARE(TempInstall::bytes(programDir + '/' + kCdDriveFile), "/shipped/cd/");
    }
#endif

    void pathRules_data() {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        const QString game = "C:\\Games\\Ovra3";
        QTest::newRow("music dir")
            << paths::musicDirectory(game).text() << "C:\\Games\\Ovra3\\data\\music";
        QTest::newRow("movies dir")
            << paths::moviesDirectory(game).text() << "C:\\Games\\Ovra3\\data\\movies";
        QTest::newRow("music file") << paths::fileIn(paths::musicDirectory(game), "air.mus")->text()
                                    << "C:\\Games\\Ovra3\\data\\music\\air.mus";
        QTest::newRow("movie file") << paths::fileIn(paths::moviesDirectory(game), "a.mpg")->text()
                                    << "C:\\Games\\Ovra3\\data\\movies\\a.mpg";
        QTest::newRow("trick file, capital M")
            << paths::fileIn(paths::trickDirectory(game), "x.ska")->text()
            << "C:\\Games\\Ovra3\\data\\anims\\skater_M\\x.ska";
        QTest::newRow("doubled backslash at a drive root")
            << paths::musicDirectory("C:\\").text() << "C:\\\\data\\music";
        QTest::newRow("cd drive without backslash")
            << paths::cdTrickFolder("D:").text() << "D:setup\\data\\data\\anims\\skater_m";
        QTest::newRow("cd movies") << paths::fileIn(paths::cdMoviesFolder("D:"), "b.mpg")->text()
                                   << "D:setup\\data\\data\\movies\\b.mpg";
        QTest::newRow("cd music")
            << paths::fileIn(paths::cdMusicFolder("/media/cd/"), "air.mus")->text()
            << "/media/cd/setup\\data\\data\\music\\air.mus";
        QTest::newRow("slot 10 follows 9")
            << paths::slotFile("/opt/ed", 10).text() << "/opt/ed\\data\\10.dat";
        QTest::newRow("slot 0") << paths::slotFile("/opt/ed", 0).text() << "/opt/ed\\data\\0.dat";
        QTest::newRow("empty setting") << paths::musicDirectory("").text() << "\\data\\music";
        QTest::newRow("read path")
            << settingsReadPath("/opt/ed", kCdDriveFile).text() << "/opt/ed/drivedata.dat";
        QTest::newRow("write path")
            << settingsWritePath("/opt/ed", kCdDriveFile).text() << "/opt/ed\\drivedata.dat";
    }
    void pathRules() {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

#ifndef Q_OS_WIN
    void hostPath_data() {
        // Relative to the temporary root unless it has a drive letter ({root}: that root).
        QTest::addColumn<QString>("gamePath");
        // Relative to the root; empty: no drive, so the path leads nowhere (an empty host path,
        // never a folder "E:" under the current one).
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact") << "Game\\data\\music\\air.mus"
                               << "Game/data/music/air.mus";
        QTest::newRow("case of folders differs") << "game\\DATA\\Music\\air.mus"
                                                 << "Game/data/music/air.mus";
        QTest::newRow("skater_M finds skater_m") << "Game\\data\\anims\\skater_M\\kick.ska"
                                                 << "Game/data/anims/skater_m/kick.ska";
        QTest::newRow("upper-case CD folders") << "cd\\setup\\data\\data\\movies\\intro.mpg"
                                               << "cd/SETUP/DATA/data/movies/INTRO.MPG";
        QTest::newRow("new file keeps its spelling") << "Game\\data\\music\\New.MUS"
                                                     << "Game/data/music/New.MUS";
        QTest::newRow("missing folder keeps the rest") << "Game\\nothing\\Data\\x"
                                                       << "Game/nothing/Data/x";
        QTest::newRow("doubled separator") << "Game\\\\data\\music"
                                           << "Game//data/music";
        // Drive letters, through the Wine prefix's dosdevices entries.
        QTest::newRow("c:, case differs") << "c:\\GAMES\\ovra3\\Data\\Music\\AIR.MUS"
                                          << "pfx/drive_c/Games/Ovra3/data/music/air.mus";
        QTest::newRow("drive root") << "c:\\"
                                    << "pfx/drive_c/";
        QTest::newRow("CD text without backslash") << "D:setup\\data\\data\\movies\\intro.mpg"
                                                   << "cd/SETUP/DATA/data/movies/INTRO.MPG";
        QTest::newRow("CD from its root") << "d:\\SETUP\\data\\data\\movies"
                                          << "cd/SETUP/DATA/data/movies";
        QTest::newRow("drive letter alone") << "D:"
                                            << "cd";
        QTest::newRow("z: is the host root") << "Z:{root}\\game\\DATA"
                                             << "Game/data";
        QTest::newRow("CD with nothing mounted") << "E:\\Games" << QString();
        QTest::newRow("raw device only") << "F:\\Games" << QString();
    }
    void hostPath() {
        QFETCH(QString, gamePath);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        for (const char* d :
             {"Game/data/music", "Game/data/anims/skater_m", "cd/SETUP/DATA/data/movies",
              "pfx/drive_c/Games/Ovra3/data/music", "pfx/dosdevices", "home"})
            QVERIFY(QDir().mkpath(root + "/" + d));
        QVERIFY(touch(root + "/Game/data/music/air.mus"));
        QVERIFY(touch(root + "/Game/data/anims/skater_m/kick.ska"));
        QVERIFY(touch(root + "/cd/SETUP/DATA/data/movies/INTRO.MPG"));
        QVERIFY(touch(root + "/pfx/drive_c/Games/Ovra3/data/music/air.mus"));
        // As Wine keeps them: c: relative, d: absolute beside its raw device d::, z: the root.
        const QString devices = root + "/pfx/dosdevices/";
        const QStringList links = {"c:",  "../drive_c", "d:", root + "/cd",
                                   "d::", "/dev/null",  "e:", root + "/unmounted",
                                   "f::", "/dev/null",  "z:", "/"};
        for (int i = 0; i < links.size(); i += 2)
            QVERIFY(QFile::link(links[i + 1], devices + links[i]));
        QVERIFY(QFile::link("../pfx", root + "/home/.wine"));

        const bool letter = gamePath.size() > 1 && gamePath[1] == u':';
        const QString in = letter ? gamePath.replace("{root}", root) : root + "\\" + gamePath;
        const QString out = expected.isEmpty() ? QString() : root + "/" + expected;
        // $WINEPREFIX wins over ~/.wine; without a prefix, drive letters lead nowhere.
        for (const auto& [prefix, home, result] :
             {std::tuple{root + "/pfx", root, out},
              {QString(), root + "/home", out},
              {root + "/none", root + "/home", letter ? QString() : out}}) {
            const ScopedEnv wine("WINEPREFIX", prefix.toLocal8Bit()),
                user("HOME", home.toLocal8Bit());
            QCOMPARE(paths::hostPath(paths::GamePath(in)).text(), result);
        }
    }

    // The host-path mapping and a folder's own lookup take the same entry for each spelling;
    // without an exact match, the same choice every time, whichever the listing order.
    void caseVariantsPreferExactSpelling() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("music")));
        QVERIFY(QDir().mkpath(dir.filePath("MUSIC")));
        const ovra::HostFolder folder{paths::GamePath(dir.path())};
        for (auto [asked, found] :
             {std::pair{"MUSIC", "MUSIC"}, {"music", "music"}, {"Music", "MUSIC"}}) {
            QCOMPARE(paths::hostPath(paths::GamePath(dir.path() + "\\" + asked)).text(),
                     dir.path() + "/" + found);
            QCOMPARE(folder.file(asked).value_or(QString()), dir.path() + "/" + found);
        }
    }

    // The prefix as Wine itself makes it, so that the lookup follows Wine and not our idea of it.
    void prefixMadeByWine() {
        const QString wineboot = QStandardPaths::findExecutable("wineboot");
        if (wineboot.isEmpty())
            QSKIP("wineboot is not installed (Debian package wine): cannot make a real prefix");
        QTemporaryDir dir;
        const QString prefix = QFileInfo(dir.path()).canonicalFilePath() + "/pfx";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.insert("WINEDEBUG", "-all");
        env.insert("WINEDLLOVERRIDES", "mscoree,mshtml="); // no Mono or Gecko installers
        env.insert("WINEPREFIX", prefix);
        const auto run = [&](const QString& program, const QStringList& arguments) {
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(program, arguments);
            return process.waitForFinished(300000) &&
                   process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        };
        const QString wineserver = QStandardPaths::findExecutable("wineserver");
        const bool booted = run(wineboot, {"--init"});
        // Wine's server outlives wineboot by a few seconds: let it end before the folder goes.
        if (!wineserver.isEmpty() && !run(wineserver, {"-w"}))
            run(wineserver, {"-k"});
        QVERIFY(booted);

        QCOMPARE(QFileInfo(prefix + "/dosdevices/c:").symLinkTarget(), prefix + "/drive_c");
        QCOMPARE(QFileInfo(prefix + "/dosdevices/z:").symLinkTarget(), QString("/"));
        const ScopedEnv scoped("WINEPREFIX", prefix.toLocal8Bit());
        QCOMPARE(paths::hostPath(paths::GamePath("C:\\windows")).text(),
                 prefix + "/drive_c/windows");
        QVERIFY(QFileInfo(prefix + "/drive_c/windows").isDir());
    }
#endif

    void order_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("case ignored")
            << QStringList{"b.ska", "A.ska", "a2.ska"} << QStringList{"A.ska", "a2.ska", "b.ska"};
        QTest::newRow("underscore before letters and digits")
            << QStringList{"kickflip.ska", "kick_flip.ska", "kick2.ska"}
            << QStringList{"kick_flip.ska", "kick2.ska", "kickflip.ska"};
        QTest::newRow("dot before underscore by code")
            << QStringList{"nose_grab.ska", "nose.ska", "nosegrab.ska"}
            << QStringList{"nose.ska", "nose_grab.ska", "nosegrab.ska"};
        QTest::newRow("digits by code, not by value")
            << QStringList{"trick10.ska", "trick9.ska", "trick1.ska"}
            << QStringList{"trick1.ska", "trick10.ska", "trick9.ska"};
        QTest::newRow("prefix first") << QStringList{"ollie.ska.bak", "ollie.ska", "ollie"}
                                      << QStringList{"ollie", "ollie.ska", "ollie.ska.bak"};
        QTest::newRow("hyphen and apostrophe left out first")
            << QStringList{"5-0.ska", "50.ska", "rock'n'roll.ska", "rocknroll.ska", "50-50.ska"}
            << QStringList{"5-0.ska", "50.ska", "50-50.ska", "rock'n'roll.ska", "rocknroll.ska"};
        QTest::newRow("blank before digit before letter")
            << QStringList{"a b.ska", "ab.ska", "a1.ska"}
            << QStringList{"a b.ska", "a1.ska", "ab.ska"};
        QTest::newRow("equal but for case: ordinal")
            << QStringList{"kick.ska", "Kick.ska", "KICK.ska"}
            << QStringList{"KICK.ska", "Kick.ska", "kick.ska"};
    }
    void order() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, sorted);
        sortFileNames(names);
        QCOMPARE(names, sorted);
        // The comparator must be a strict weak order: antisymmetric on every pair.
        for (const QString& a : sorted)
            for (const QString& b : sorted)
                QCOMPARE(compareFileNames(a, b) < 0, compareFileNames(b, a) > 0);
    }

    void fileList() {
        QTemporaryDir dir;
        for (const char* n : {"b.mus", "A.MUS", "c.Mus", "d.mp3", "e.mus.txt", "f.mpg"})
            QVERIFY(touch(dir.filePath(n)));
        QVERIFY(QDir(dir.path()).mkdir("folder.mus"));
        FileList list("*.mus");
        QCOMPARE(list.count(), 0);
        QVERIFY(!list.entry(0));
        QVERIFY(list.setPath(paths::GamePath(dir.path())));
        QCOMPARE(list.names(), (QStringList{"A.MUS", "b.mus", "c.Mus"}));
        QCOMPARE(*list.entry(2), QString("c.Mus"));
        QVERIFY(!list.entry(3));
        QVERIFY(!list.entry(-1));

        // A missing directory fails and keeps what the list had.
        QVERIFY(!list.setPath(paths::GamePath(dir.filePath("missing"))));
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.path(), dir.path());

        // A folder listed inside a disc image, by the same rules: no folders, nothing hidden
        // (marked so, or a Mac's "._" file), no name that is a path.
#ifndef Q_OS_WIN // there a wildcard never matches across a backslash, so nothing is told
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("a.b\\.mus.*left out"));
#endif
        list.setEntries("image", {{"X.MUS", false, false},
                                  {"hidden.mus", true, true},
                                  {"._z.mus", false, true},
                                  {"a\\b.mus", false, true},
                                  {"z.mus", false, true}});
        QCOMPARE(list.names(), QStringList{"z.mus"});
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
