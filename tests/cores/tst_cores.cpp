// The two programs' cores and the installation they open, without any window: what a command
// leaves on disk and what it reports. The window suites check how the windows show it.
#include "installation/installation.h"
#include "mediaed/mediacore.h"
#include "rtf/rtfwriter.h"
#include "tests/support/scopedenv.h"
#include "tests/support/tempinstall.h"
#include "tricked/trickconfig.h"
#include "tricked/trickcore.h"

#include <QDir>

namespace {

using Swaps = QList<std::pair<int, int>>;

QString withRecords(const Swaps& swaps) {
    QString text = tricked::unchangedConfig();
    for (auto [p, q] : swaps)
        tricked::replaceRecord(text, p, q);
    return text;
}

// Raw line ends every `every` characters: not text in an RTF document.
QByteArray wrapped(const QByteArray& body, int every) {
    QByteArray out;
    for (qsizetype i = 0; i < body.size(); i += every)
        out += body.mid(i, every) + "\r\n";
    return out;
}

} // namespace

class TestCores : public QObject {
    Q_OBJECT

    const OwnKeptCopies store; // the suite's own, not the prefix's shared under Wine

private slots:
    void open_data() {
        QTest::addColumn<QString>("removed"); // a settings file taken away
        QTest::addColumn<QString>("gameGiven");
        QTest::addColumn<QString>("cdGiven");
        QTest::addColumn<QString>("says"); // empty: complete
        QTest::newRow("both stored") << ""
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("no game setting") << "directorydata.dat"
                                         << ""
                                         << ""
                                         << "game directory";
        QTest::newRow("no drive setting") << "drivedata.dat"
                                          << ""
                                          << ""
                                          << "CD drive";
        QTest::newRow("game given, none stored") << "directorydata.dat"
                                                 << "game"
                                                 << ""
                                                 << "";
        QTest::newRow("CD given over a stored one") << ""
                                                    << ""
                                                    << "cd"
                                                    << "";
#ifndef Q_OS_WIN // a Wine prefix's drives
        QTest::newRow("CD on a drive the prefix lacks") << ""
                                                        << ""
                                                        << "Q:\\"
                                                        << "the drive Q:";
#endif
        QTest::newRow("relative game folder") << ""
                                              << "games\\ovra3"
                                              << ""
                                              << "no full path";
    }
    void open() {
        QFETCH(QString, removed);
        QFETCH(QString, gameGiven);
        QFETCH(QString, cdGiven);
        QFETCH(QString, says);
        TempInstall install(tricks(3));
        const QTemporaryDir prefix;
        ScopedEnv wine("WINEPREFIX", prefix.path().toUtf8());
        if (!removed.isEmpty())
            QVERIFY(QFile::remove(install.programDir + "/" + removed));
        const QString cd = install.dir.filePath("cd2") + "/";
        QVERIFY(QDir().mkpath(cd));
        const auto given = [](const QString& value, const QString& stands) {
            return value.isEmpty() ? std::nullopt : std::optional<QString>(stands);
        };
        const ovra::Installation opened = ovra::Installation::open(
            install.programDir,
            {given(gameGiven, gameGiven == "game" ? install.layout.gameDirectory : gameGiven),
             given(cdGiven, cdGiven == "cd" ? cd : cdGiven)});

        QCOMPARE(opened.complete(), says.isEmpty());
        QVERIFY2(opened.error().contains(says), qPrintable(opened.error()));
        QCOMPARE(opened.cd() != nullptr, opened.cdDrive().has_value());
        if (opened.complete()) {
            QCOMPARE(*opened.gameDirectory(), install.layout.gameDirectory);
            QCOMPARE(*opened.cdDrive(), cdGiven.isEmpty() ? install.layout.cdDrive : cd);
            QVERIFY(opened.installed(ovra::paths::trickDirectory).exists());
        }
    }

    // Restore Originals and the two media restores: which files come back, and the progress
    // after each, as done of the number on offer.
    void restore_data() {
        QTest::addColumn<QString>("side"); // "tricks", "music", "movies"
        QTest::addColumn<int>("installed");
        QTest::addColumn<int>("onCd");     // -1: no CD at all
        QTest::addColumn<int>("breakAt");  // an installed file replaced by a folder; -1: none
        QTest::addColumn<QString>("form"); // "image": the CD kept as a disc image; "capitals":
                                           // installed names in capitals, the CD's not
        QTest::addColumn<bool>("ok");
        QTest::newRow("tricks") << "tricks" << 659 << 659 << -1 << "" << true;
        QTest::newRow("tricks, 660") << "tricks" << 660 << 660 << -1 << "" << true;
        QTest::newRow("tricks, short list") << "tricks" << 659 << 100 << -1 << "" << false;
        QTest::newRow("tricks, no CD") << "tricks" << 659 << -1 << -1 << "" << false;
        QTest::newRow("tricks, copy fails") << "tricks" << 659 << 659 << 10 << "" << false;
        QTest::newRow("tricks, disc image") << "tricks" << 659 << 659 << -1 << "image" << true;
        QTest::newRow("tricks, disc image, copy fails")
            << "tricks" << 659 << 659 << 10 << "image" << false;
        QTest::newRow("tricks installed in capitals")
            << "tricks" << 659 << 659 << -1 << "capitals" << true;
        QTest::newRow("music") << "music" << 22 << 22 << -1 << "" << true;
        QTest::newRow("music, 10 listed") << "music" << 10 << 10 << -1 << "" << false;
        QTest::newRow("music, no CD") << "music" << 22 << -1 << -1 << "" << false;
        QTest::newRow("music, disc image") << "music" << 22 << 22 << -1 << "image" << true;
        QTest::newRow("movies") << "movies" << 29 << 29 << -1 << "" << true;
        QTest::newRow("movies, 30 installed") << "movies" << 30 << 30 << -1 << "" << true;
        QTest::newRow("movies, CD lacks names") << "movies" << 29 << 7 << -1 << "" << false;
        QTest::newRow("movies, disc image lacks names")
            << "movies" << 29 << 7 << -1 << "image" << false;
        QTest::newRow("movies, copy fails") << "movies" << 29 << 29 << 3 << "" << false;
    }
    void restore() {
        QFETCH(QString, side);
        QFETCH(int, installed);
        QFETCH(int, onCd);
        QFETCH(int, breakAt);
        QFETCH(QString, form);
        QFETCH(bool, ok);
        const bool trickSide = side == "tricks";
        const bool music = side == "music";
        // The other side as a whole installation has it, so that start-up goes through.
        demogen::Options o = trickSide ? tricks(std::max(onCd, 0), onCd >= 0) : demogen::Options();
        o.withCd = onCd >= 0;
        if (trickSide) {
            o.installedTricks = installed;
        } else {
            o.trickFiles = 3;
            (music ? o.musicFiles : o.movieFiles) = installed;
            (music ? o.cdMusicFiles : o.cdMovieFiles) = std::max(onCd, 0);
        }
        TempInstall install(o);
        if (form == "image") {
            SKIP_WHERE_IMAGES_ARE_MOUNTED();
            QVERIFY(install.packCdIntoImage());
        }
        const QString dir = install.layout.gameDirectory + (trickSide ? "/data/anims/skater_M/"
                                                            : music   ? "/data/music/"
                                                                      : "/data/movies/");
        const auto cdFile = [&](const QString& name) {
            return trickSide ? install.cdTrick(name)
                   : music   ? install.cdMusic(name)
                             : install.cdMovie(name);
        };
        const QStringList installedNames = trickSide ? demogen::trickNames(installed)
                                           : music   ? demogen::musicNames(installed)
                                                     : demogen::movieNames(installed);
        const auto spelled = [&](const QString& name) {
            return form == "capitals" ? name.toUpper() : name;
        };
        for (const QString& name : installedNames)
            QVERIFY((form != "capitals" || QFile::rename(dir + name, dir + spelled(name))) &&
                    TempInstall::write(dir + spelled(name), "swapped " + name.toUtf8()));

        tricked::TrickCore trickCore(install.programDir);
        mediaed::MediaCore mediaCore(install.programDir);
        const mediaed::Side mediaSide = music ? mediaed::Side::Music : mediaed::Side::Movies;
        if (trickSide)
            trickCore.load();
        else
            mediaCore.load();
        // Copied in list order: the CD's trick list, or the installed media list.
        const QStringList order =
            trickSide ? trickCore.trickList().names() : mediaCore.list(mediaSide).names();
        const int offered = trickSide ? 659 : mediaed::sideTable(mediaSide).offered;
        if (breakAt >= 0)
            QVERIFY(QFile::remove(dir + order[breakAt]) && QDir().mkdir(dir + order[breakAt]));
        QList<std::pair<int, int>> progress;
        const auto record = [&](int done, int total) { progress.append({done, total}); };
        const ovra::RestoreResult result =
            trickSide ? trickCore.restoreOriginals(record) : mediaCore.restore(mediaSide, record);

        // Position by position until a copy fails, a name is missing from the CD or the list
        // ends.
        int restored = 0;
        while (restored < std::min<qsizetype>(offered, order.size()) && restored != breakAt &&
               QFile::exists(cdFile(order[restored])))
            ++restored;
        QCOMPARE(result.ok, ok);
        QCOMPARE(result.restored, restored);
        QVERIFY(ok || !result.error.isEmpty());
        QCOMPARE(progress.size(), restored);
        for (int i = 0; i < restored; ++i)
            QCOMPARE(progress[i], std::make_pair(i + 1, offered));
        // The installed spelling is replaced; no second spelling appears beside it.
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
                 installedNames.size());
        for (const QString& name : installedNames) {
            const qsizetype i = order.indexOf(name);
            if (i == breakAt)
                continue;
            const QByteArray now = TempInstall::bytes(dir + spelled(name));
            QVERIFY2(now == (i >= 0 && i < restored ? TempInstall::bytes(cdFile(name))
                                                    : "swapped " + name.toUtf8()),
                     qPrintable(name));
        }
    }

    // Trick Configs from elsewhere: those that are applied whole, and those refused before
    // the first copy.
    void openConfig_data() {
        QTest::addColumn<QByteArray>("document"); // empty: the file does not exist
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("says");
        const auto row = [](const char* tag, const QByteArray& document,
                            tricked::TrickCore::Opened::Outcome outcome, const char* says) {
            QTest::newRow(tag) << document << int(outcome) << QString::fromLatin1(says);
        };
        using Opened = tricked::TrickCore::Opened;
        // Applied: records 3 and 100 swapped to 12 and 7.
        const QByteArray text = withRecords({{3, 12}}).replace(800, 8, " 100   7").toLatin1();
        row("word processor",
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl"
            "{\\f0\\fnil\\fcharset0 Courier New;}}\r\n{\\*\\generator "
            "Writer 6.1;}\\viewkind4\\uc1 \r\n\\pard\\sa200\\sl276"
            "\\slmult1\\f0\\fs22\\lang9 " +
                wrapped(text, 61) + "\\par\r\n}\r\n",
            Opened::Applied, "");
        QByteArray grouped = text;
        grouped.replace(800, 8, "{\\b  100}{\\i    7}");
        row("groups and info",
            "{\\rtf1\\mac\\deff1{\\info{\\title 0   1   }{\\author x}}"
            "{\\stylesheet{\\s0 Normal;}}\n\\plain\\f1 " +
                wrapped(grouped, 100) + "}",
            Opened::Applied, "");
        QByteArray escaped = text;
        escaped.replace(24, 8, "\\'33   1\\u50?  ");
        row("escapes and line break", "{\\rtf1\\ansi " + escaped + "\\line\\par }", Opened::Applied,
            "");
        row("trailing blanks", rtf::write(QString::fromLatin1(text) + QString(12, u' ')),
            Opened::Applied, "");
        // Refused: a valid swap before the bad record changes nothing either.
        const auto bad = [](int k, const char* record) {
            QString config = withRecords({{3, 12}});
            return rtf::write(config.replace(8 * k, 8, QLatin1String(record)));
        };
        row("letters", bad(10, "10  ab  "), Opened::Refused, "Record 11");
        row("empty field", bad(10, "    10  "), Opened::Refused, "Record 11");
        row("659", bad(10, "10  659 "), Opened::Refused, "659");
        row("-1", bad(10, "-1  10  "), Opened::Refused, "-1");
        row("99999", bad(10, "10  99999"), Opened::Refused, "9999");
        row("huge", rtf::write(withRecords({{3, 12}}).repeated(20)), Opened::Refused, "not read");
        row("not RTF", "3   12  \n", Opened::Unreadable, "");
        row("missing file", "", Opened::Unreadable, "");
        row("unterminated", "{\\rtf1 3   12  ", Opened::Unreadable, "");
    }
    void openConfig() {
        QFETCH(QByteArray, document);
        QFETCH(int, outcome);
        QFETCH(QString, says);
        TempInstall install(tricks(659));
        tricked::TrickCore core(install.programDir);
        QVERIFY(core.load().ok);
        core.newConfig();
        const QString path = install.dir.filePath("given.tcg");
        if (!document.isEmpty())
            QVERIFY(TempInstall::write(path, document));
        const QStringList names = core.trickList().names();
        QMap<QString, QByteArray> expected;
        for (const QString& name : names)
            expected[name] = TempInstall::bytes(install.trick(name));
        const bool applied = outcome == tricked::TrickCore::Opened::Applied;
        if (applied) {
            expected[names[3]] = TempInstall::bytes(install.cdTrick(names[12]));
            expected[names[100]] = TempInstall::bytes(install.cdTrick(names[7]));
        }

        int failures = 0;
        const auto opened = core.openConfig(path, [&](const ovra::CopyResult&) { ++failures; });

        QCOMPARE(int(opened.outcome), outcome);
        QVERIFY2(opened.error.contains(says) && applied == opened.error.isEmpty(),
                 qPrintable(opened.error));
        QCOMPARE(failures, 0);
        QCOMPARE(opened.swaps, applied ? 2 : 0);
        for (const QString& name : names)
            QVERIFY2(TempInstall::bytes(install.trick(name)) == expected[name], qPrintable(name));
        QCOMPARE(core.currentConfig(),
                 applied ? withRecords({{3, 12}, {100, 7}}) : tricked::unchangedConfig());
    }
};

QTEST_GUILESS_MAIN(TestCores)
#include "tst_cores.moc"
