#include "cli/locate.h"
#include "installation/filelist.h"
#include "rtf/rtfwriter.h"
#include "tests/support/smallfs.h"
#include "tests/support/tempinstall.h"
#include "tricked/trickconfig.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <zip.h>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace {

using Files = QMap<QString, QByteArray>;

// ovra3 copied into the installation's program folder, so that it reads the settings there.
struct Run {
    int exit = -1;
    QByteArray out, err;
};

struct Fixture {
    TempInstall install;
    QStringList names = demogen::trickNames(659);
    QString ovra3 = install.programDir + "/ovra3";

    Fixture() {
        ovra::sortFileNames(names); // the trick list's order: positions

        if (!QFile::copy(QStringLiteral(OVRA3_PATH), ovra3))
            qFatal("cannot copy ovra3");
    }

    QString trick(int p) const { return install.trick(names[p]); }
    QString cdTrick(int p) const { return install.cdTrick(names[p]); }
    QString path(const QString& name) const { return install.dir.filePath(name); }

    // Runs in the folder "cwd" beside the installation; `environment`: "NAME=value" entries.
    Run run(QStringList args, const QStringList& environment = {}) const {
        for (QString& a : args)
            a.replace("{dir}", install.dir.path());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", path("config")); // no per-user settings
        env.insert("XDG_DATA_HOME", path("data"));     // its own kept copies
        env.insert("LOCALAPPDATA", path("data"));
        for (const QString& e : environment)
            env.insert(e.section('=', 0, 0), e.section('=', 1).replace("{dir}", path({})));
        p.setProcessEnvironment(env);
        QDir().mkpath(path("cwd"));
        p.setWorkingDirectory(path("cwd"));
        p.start(ovra3, args);
        // A restore of 659 files under Wine on a busy machine takes a minute or more.
        if (!p.waitForFinished(180000))
            qFatal("ovra3 %s did not end", qPrintable(args.join(' ')));
        Run run{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
#if defined(Q_OS_WIN) // a Windows program's text output ends its lines with CR LF
        run.out.replace("\r\n", "\n");
        run.err.replace("\r\n", "\n");
#endif
        return run;
    }

    Files tricks() const {
        return files(install.layout.gameDirectory + "/data/anims/skater_M");
    }

    // Every file below `dir`, hidden ones too, by path relative to it.
    static Files files(const QString& dir) {
        Files files;
        for (QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next();
            files.insert(file.mid(dir.size() + 1), TempInstall::bytes(file));
        }
        return files;
    }

    // Changes made by hand, not through the programs: "swap P Q" copies CD trick Q over installed
    // trick P; "junk P" rewrites it; "flip P" changes one byte (same size); "delete P"; "same A B"
    // gives CD and installed trick B the bytes of A; "music NAME" rewrites a music file;
    // "nomovie NAME" deletes a movie; "fifo P", "readonly P"; "nosettings"; "iso" makes the CD
    // an image.
    void change(const QStringList& ops) {
        for (const QString& op : ops) {
            const QStringList w = op.split(' ');
            const int a = w.value(1).toInt(), b = w.value(2).toInt();
            bool ok = true;
            if (w[0] == "swap") {
                ok = QFile::remove(trick(a)) && QFile::copy(cdTrick(b), trick(a));
            } else if (w[0] == "junk") {
                ok = TempInstall::write(trick(a), "junk");
            } else if (w[0] == "flip") {
                QByteArray bytes = TempInstall::bytes(trick(a));
                bytes[100] = char(bytes[100] ^ 1);
                ok = TempInstall::write(trick(a), bytes);
            } else if (w[0] == "delete") {
                ok = QFile::remove(trick(a));
            } else if (w[0] == "same") {
                const QByteArray bytes = TempInstall::bytes(cdTrick(a));
                ok = TempInstall::write(cdTrick(b), bytes) && TempInstall::write(trick(b), bytes);
            } else if (w[0] == "music") {
                ok = TempInstall::write(install.music(w[1]), "my own song");
            } else if (w[0] == "movie") {
                ok = TempInstall::write(install.movie(w[1]), "my own movie");
            } else if (w[0] == "caption") { // slot N's caption in the soundtrack window
                ok = QDir().mkpath(install.programDir + "/data") &&
                     TempInstall::write(install.programDir + "/data/" + w[1] + ".dat",
                                        rtf::write(w.mid(2).join(' ')));
            } else if (w[0] == "nomusicfolder") {
                ok = QDir(install.layout.gameDirectory + "/data/music").removeRecursively();
            } else if (w[0] == "nogame") {
                ok = QDir(install.layout.gameDirectory).removeRecursively();
            } else if (w[0] == "nocdtrick") {
                ok = QFile::remove(cdTrick(a));
            } else if (w[0] == "badslot") { // a folder where a slot file would be
                ok = QDir().mkpath(install.programDir + "/data/" + w[1] + ".dat");
            } else if (w[0] == "nomovie") {
                ok = QFile::remove(install.movie(w[1]));
#if defined(Q_OS_UNIX)
            } else if (w[0] == "fifo") {
                ok = QFile::remove(trick(a)) && ::mkfifo(QFile::encodeName(trick(a)), 0644) == 0;
#endif
            } else if (w[0] == "readonly") { // the read-only attribute on Windows
                ok = QFile::setPermissions(trick(a), QFile::ReadOwner);
            } else if (w[0] == "nostore") { // a file where the kept copies would go
                ok = TempInstall::write(path("data"), "in the way");
            } else if (w[0] == "nosettings") {
                ok = QFile::remove(install.programDir + "/directorydata.dat") &&
                     QFile::remove(install.programDir + "/drivedata.dat");
            } else if (w[0] == "iso") {
                QProcess make;
                make.start(QStandardPaths::findExecutable("genisoimage"),
                           {"-quiet", "-R", "-o", path("cd.iso"), install.layout.cdRoot});
                ok = make.waitForFinished(60000) && make.exitCode() == 0 &&
                     QDir(install.layout.cdRoot).removeRecursively();
            } else {
                ok = false;
            }
            if (!ok)
                qFatal("cannot make the change \"%s\"", qPrintable(op));
        }
        // A Trick Config swapping trick 3 for CD trick 12, and two that must be refused.
        QString config = tricked::unchangedConfig();
        tricked::replaceRecord(config, 3, 12);
        TempInstall::write(path("swap.tcg"), rtf::write(config));
        TempInstall::write(path("bad.tcg"), rtf::write(config.replace(80, 8, "10  ab  ")));
        TempInstall::write(path("plain.tcg"), "3   12  ");
    }
};

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// One file of a zip made by hand: its name, bytes, and Unix mode (0: none recorded).
struct ZipEntry {
    QByteArray name;
    QByteArray bytes;
    quint32 mode = 0;
};

// A zip of `entries` (deflated), or why not.
QString writeZip(const QString& path, const QList<ZipEntry>& entries) {
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip)
        return QStringLiteral("zip_open %1").arg(code);
    for (const ZipEntry& e : entries) {
        zip_source_t* source =
            zip_source_buffer(zip, e.bytes.constData(), zip_uint64_t(e.bytes.size()), 0);
        const zip_int64_t i = zip_file_add(zip, e.name.constData(), source, ZIP_FL_ENC_UTF_8);
        if (i < 0 || (e.mode && zip_file_set_external_attributes(zip, zip_uint64_t(i), 0,
                                                                 ZIP_OPSYS_UNIX, e.mode << 16)))
            return QString::fromUtf8(zip_strerror(zip));
    }
    return zip_close(zip) == 0 ? QString() : QString::fromUtf8(zip_strerror(zip));
}

// A manifest listing `members` ("kind/name" with its bytes), as a pack of format 1 holds it.
QByteArray manifest(const QList<ZipEntry>& members) {
    QJsonArray list;
    for (const ZipEntry& m : members)
        list.append(QJsonObject{{"kind", QString(m.name).section('/', 0, 0)},
                                {"name", QString(m.name).section('/', 1)},
                                {"size", m.bytes.size()},
                                {"sha256", QString(sha256(m.bytes))}});
    return QJsonDocument(QJsonObject{{"format", 1}, {"program", "test"}, {"members", list}})
        .toJson();
}

QSet<QString> keys(const QJsonObject& o) {
    const QStringList k = o.keys();
    return {k.begin(), k.end()};
}

// A home folder made from what it holds, one "what|where[|more]" each, where relative to the
// home: "game" (the game's layout, in the letter case Windows leaves), "nolayout" (a folder
// named like the game, without its tricks), "cd" (a copied CD), "iso" (that CD packed into an
// image), "otheriso" (an ISO 9660 image of something else), "notiso" (a file named .iso),
// "file|where|text" and "link|where|target" ({home}; {out}: a folder beside the home).
struct Home {
    QTemporaryDir dir;
    QString home = dir.filePath("home"), out = dir.filePath("outside");

    QString expand(QString text) const {
        return text.replace("{home}", home).replace("{out}", out);
    }

    void make(const QStringList& contents) const {
        for (const QString& item : contents) {
            const QStringList w = item.split('|');
            const QString where = w.value(1).startsWith('{') ? expand(w[1]) : home + '/' + w[1];
            bool ok = QDir().mkpath(QFileInfo(where).path());
            const auto file = [](const QString& path, const QByteArray& bytes) {
                return QDir().mkpath(QFileInfo(path).path()) && TempInstall::write(path, bytes);
            };
            if (w[0] == "game") {
                ok = file(where + "/Data/Anims/skater_M/A.SKA", "trick") &&
                     file(where + "/Data/Music/menu.mus", "song");
            } else if (w[0] == "nolayout") {
                ok = file(where + "/data/music/menu.mus", "song") &&
                     QDir().mkpath(where + "/data/anims/skater_M");
            } else if (w[0] == "cd") {
                ok = file(where + "/setup/data/data/anims/skater_m/a.ska", "trick");
            } else if (w[0] == "iso" || w[0] == "otheriso") {
                const QString content = dir.filePath("image-content");
                QDir(content).removeRecursively();
                ok = file(content + (w[0] == "iso" ? "/setup/data/data/anims/skater_m/a.ska"
                                                   : "/boot/vmlinuz"),
                          "bytes");
                QProcess make;
                make.start(QStandardPaths::findExecutable("genisoimage"),
                           {"-quiet", "-J", "-o", where, content});
                ok = ok && make.waitForFinished(60000) && make.exitCode() == 0;
            } else if (w[0] == "notiso") {
                ok = file(where, QByteArray(64 * 1024, 'x'));
            } else if (w[0] == "file") {
                ok = file(where, expand(w.value(2)).toUtf8());
            } else if (w[0] == "link") {
                ok = QFile::link(expand(w.value(2)), where);
            } else {
                ok = false;
            }
            if (!ok)
                qFatal("cannot make \"%s\"", qPrintable(item));
        }
    }

    QStringList relative(const QList<cli::Candidate>& found) const {
        QStringList paths;
        for (const cli::Candidate& c : found)
            paths << QDir(home).relativeFilePath(c.path);
        paths.sort();
        return paths;
    }
};

} // namespace

Q_DECLARE_METATYPE(ZipEntry)

class TestCli : public QObject {
    Q_OBJECT
private slots:
    // Swaps made by plain copies are found, exported, and made again from the export on a
    // restored installation.
    void inventory_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("expected"); // "P state [N]" / "music NAME state"
        QTest::addColumn<int>("exportExit");
        QTest::newRow("fresh") << QStringList{} << QStringList{} << 0;
        QTest::newRow("plain copies")
            << QStringList{"swap 3 12", "swap 42 658", "swap 658 0", "swap 12 3"}
            << QStringList{"3 holds 12", "12 holds 3", "42 holds 658", "658 holds 0"} << 0;
        QTest::newRow("identical CD tricks: own, else lowest")
            << QStringList{"same 20 30", "same 20 25", "swap 3 30", "swap 25 30"}
            << QStringList{"3 holds 20"} << 0;
        QTest::newRow("changed, same size, missing")
            << QStringList{"junk 5", "flip 7", "delete 8", "swap 9 10"}
            << QStringList{"5 changed", "7 changed", "8 missing", "9 holds 10"} << 1;
        QTest::newRow("music and movies")
            << QStringList{"music menu.mus", "nomovie intro.mpg"}
            << QStringList{"music menu.mus replaced", "movies intro.mpg missing"} << 0;
        QTest::newRow("CD image") << QStringList{"swap 3 12", "junk 4", "iso"}
                                  << QStringList{"3 holds 12", "4 changed"} << 1;
    }
    void inventory() {
        QFETCH(QStringList, changes);
        QFETCH(QStringList, expected);
        QFETCH(int, exportExit);
        if (changes.contains("iso"))
            SKIP_WHERE_IMAGES_ARE_MOUNTED();
        Fixture f;
        f.change(changes);
        const QStringList where =
            changes.contains("iso") ? QStringList{"--cd", f.path("cd.iso")} : QStringList{};

        const Run status = f.run(QStringList{"status", "--json"} + where);
        QCOMPARE(status.exit, 0);
        QCOMPARE(status.err, QByteArray()); // no progress line when not on a terminal
        const QJsonObject doc = QJsonDocument::fromJson(status.out).object();
        QCOMPARE(keys(doc),
                 (QSet<QString>{"format", "game", "cd", "tricks", "music", "movies", "summary"}));
        QCOMPARE(doc["game"].toString(), f.install.layout.gameDirectory);
        // Every entry's state, in the expected notation; stock ones are left out.
        QStringList states;
        QMap<QString, QMap<QString, int>> counts;
        for (const QJsonValue v : doc["tricks"].toArray()) {
            const QJsonObject t = v.toObject();
            const QString state = t["state"].toString();
            const int p = t["position"].toInt();
            ++counts["tricks"][state];
            QCOMPARE(t["name"].toString(), f.names[p]);
            if (state == "holds") {
                QCOMPARE(keys(t),
                         (QSet<QString>{"position", "name", "state", "holds", "holdsName"}));
                QCOMPARE(t["holdsName"].toString(), f.names[t["holds"].toInt()]);
                states << QString("%1 holds %2").arg(p).arg(t["holds"].toInt());
            } else {
                QCOMPARE(keys(t), (QSet<QString>{"position", "name", "state"}));
                if (state != "stock")
                    states << QString("%1 %2").arg(p).arg(state);
            }
        }
        for (const QString kind : {"music", "movies"})
            for (const QJsonValue v : doc[kind].toArray()) {
                const QJsonObject m = v.toObject();
                QCOMPARE(keys(m), (QSet<QString>{"name", "state"}));
                ++counts[kind][m["state"].toString()];
                if (m["state"] != "stock")
                    states << kind + ' ' + m["name"].toString() + ' ' + m["state"].toString();
            }
        QCOMPARE(states, expected);
        QCOMPARE(doc["tricks"].toArray().size(), 659);
        QCOMPARE(doc["music"].toArray().size(), 22);
        QCOMPARE(doc["movies"].toArray().size(), 29);
        const QJsonObject summary = doc["summary"].toObject();
        for (const QString kind : {"tricks", "music", "movies"})
            for (const QString& state : summary[kind].toObject().keys())
                QCOMPARE(summary[kind][state].toInt(), counts[kind][state]);

        QCOMPARE(f.run(QStringList{"verify"} + where).exit, expected.isEmpty() ? 0 : 1);
        const Run exported = f.run(QStringList{"export", f.path("mine.tcg")} + where);
        QCOMPARE(exported.exit, exportExit);
        // Changed and missing tricks are named; the export reproduces the rest.
        Files wanted = f.tricks();
        for (const QString& e : expected) {
            const QStringList w = e.split(' ');
            if (w[1] == "changed" || w[1] == "missing") {
                QVERIFY2(exported.err.contains(f.names[w[0].toInt()].toUtf8()), exported.err);
                wanted[f.names[w[0].toInt()]] = TempInstall::bytes(f.cdTrick(w[0].toInt()));
            }
        }
        QCOMPARE(f.run(QStringList{"restore", "tricks"} + where).exit, 0);
        QCOMPARE(f.run(QStringList{"apply", f.path("mine.tcg")} + where).exit, 0);
        if (!changes.contains("iso")) // the image's bytes are checked through status
            QCOMPARE(f.tricks(), wanted);
    }

    // Errors exit with 2 and change nothing; failed copies with 1.
    void failures_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("says");
        const QStringList none;
        QTest::newRow("no settings")
            << QStringList{"nosettings"} << QStringList{"status"} << 2 << "directorydata.dat";
#if defined(Q_OS_UNIX)
        QTest::newRow("FIFO for a trick")
            << QStringList{"fifo 6"} << QStringList{"status"} << 2 << "not a regular file";
#endif
        QTest::newRow("refused Trick Config")
            << none << QStringList{"apply", "{dir}/bad.tcg"} << 2 << "Record 11";
        QTest::newRow("not RTF") << none << QStringList{"apply", "{dir}/plain.tcg"} << 2
                                 << "could not be read";
        QTest::newRow("export unwritable")
            << none << QStringList{"export", "{dir}/no/such/x.tcg"} << 2 << "could not be saved";
        QTest::newRow("unknown command") << none << QStringList{"stauts"} << 2
                                         << "unknown command \"stauts\"; did you mean \"status\"?";
        QTest::newRow("unknown, near none")
            << none << QStringList{"frobnicate"} << 2 << "unknown command \"frobnicate\" (see";
        QTest::newRow("pack what") << none << QStringList{"pack", "make", "x.o3pack"} << 2
                                   << "\"make\" is not create, show or apply";
        QTest::newRow("pack, no file")
            << none << QStringList{"pack", "apply"} << 2 << "pack needs ACTION and FILE.o3pack";
        QTest::newRow("pack create, not a pack name")
            << QStringList{"music menu.mus"} << QStringList{"pack", "create", "{dir}/x.zip"} << 2
            << "named NAME.o3pack";
        QTest::newRow("restore what") << none << QStringList{"restore", "hats"} << 2 << "hats";
        QTest::newRow("extra argument") << none << QStringList{"verify", "x"} << 2 << "argument";
        QTest::newRow("swap refused") << QStringList{"readonly 3"}
                                      << QStringList{"apply", "{dir}/swap.tcg"} << 1 << "read-only";
        QTest::newRow("kept copies cannot be written")
            << QStringList{"nostore", "junk 5"} << QStringList{"restore", "tricks"} << 0
            << "warning: No copy of";
        QTest::newRow("restore refused")
            << QStringList{"readonly 200"} << QStringList{"restore", "all"} << 1 << "read-only";
    }
    void failures() {
        QFETCH(QStringList, changes);
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, says);
        Fixture f;
        f.change(changes);
        const Files before = f.tricks();
        const Run run = f.run(args);
        QCOMPARE(run.exit, exit);
        QVERIFY2(run.err.contains(says.toUtf8()), run.err);
        if (exit == 2)
            QCOMPARE(f.tricks(), before);
        if (exit == 0) // the command went on all the same
            QCOMPARE(TempInstall::bytes(f.trick(5)), TempInstall::bytes(f.cdTrick(5)));
    }

    // The doctor names each fault the programs' start-up would stop at, with the folder as the
    // host sees it and how to mend it; a sound installation has none.
    void doctor_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QStringList>("says"); // {dir}: the installation's folder
        QTest::newRow("sound") << QStringList{} << 0
                               << QStringList{"ok     CD: 659 tricks", "No faults found."};
        QTest::newRow("no settings")
            << QStringList{"nosettings"} << 1
            << QStringList{"FAULT  ", "directorydata.dat", "mend: run ovra3 setup"};
        QTest::newRow("no music folder")
            << QStringList{"nomusicfolder"} << 1
            << QStringList{"FAULT  the music folder {dir}/", "does not exist", "1 fault found."};
        QTest::newRow("no game folder")
            << QStringList{"nogame"} << 1
            << QStringList{"FAULT  the game directory {dir}/game does not exist", "1 fault"};
        QTest::newRow("a trick missing from the CD")
            << QStringList{"nocdtrick 7"} << 1 << QStringList{"holds 658 tricks, not 659"};
        QTest::newRow("an unreadable slot file")
            << QStringList{"badslot 4"} << 1
            << QStringList{"the slot file {dir}/program/data/4.dat cannot be read"};
    }
    void doctor() {
        QFETCH(QStringList, changes);
        QFETCH(int, exit);
        QFETCH(QStringList, says);
        Fixture f;
        f.change(changes);
        const Run run = f.run({"doctor"});
        QCOMPARE(run.exit, exit);
        for (QString text : says) {
            if (text.contains("{dir}"))
                text = QDir::toNativeSeparators(text.replace("{dir}", f.install.dir.path()));
            QVERIFY2(run.out.contains(text.toUtf8()), run.out + run.err);
        }
    }

    // A dry run tells what the command would copy and writes nothing, not even the history.
    void dryRun_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("apply") << QStringList{} << QStringList{"apply", "{dir}/swap.tcg"} << 0
                               << QStringList{"over trick 3 (", "1 swap would be made"};
        QTest::newRow("apply, refused") << QStringList{} << QStringList{"apply", "{dir}/bad.tcg"}
                                        << 2 << QStringList{"Record 11", "Nothing would be"};
        QTest::newRow("restore tricks")
            << QStringList{"junk 5", "swap 9 10"} << QStringList{"restore", "tricks"} << 0
            << QStringList{"Would put back trick 5 (", "Would put back trick 9 (",
                           "659 trick files from the CD, 2 of them not stock"};
        QTest::newRow("restore all")
            << QStringList{"music menu.mus"} << QStringList{"restore", "all"} << 0
            << QStringList{"Would put back menu.mus", "0 of them"};
        QTest::newRow("with --kept") << QStringList{} << QStringList{"restore", "all", "--kept"}
                                     << 2 << QStringList{"not both"};
    }
    void dryRun() {
        QFETCH(QStringList, changes);
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QStringList, says);
        Fixture f;
        f.change(changes);
        const Files before = Fixture::files(f.install.layout.gameDirectory);
        const Run run = f.run(args + QStringList{"--dry-run"});
        QCOMPARE(run.exit, exit);
        for (const QString& text : says)
            QVERIFY2((run.out + run.err).contains(text.toUtf8()), run.out + run.err);
        QCOMPARE(Fixture::files(f.install.layout.gameDirectory), before);
        QVERIFY(!QFile::exists(f.path("data/Ovra3/journal")));
    }

    // What ovra3 prints for a person holds no control character from a path or a name: they
    // could redraw the terminal or forge a line. JSON keeps the path exact.
    void printsNoControls_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("status") << QStringList{"status"};
        QTest::newRow("export") << QStringList{"export", "{dir}/\x1b[2Jx.tcg"};
        QTest::newRow("error") << QStringList{"verify", "--cd",
                                              "{dir}/\x1b]0;x\x07"
                                              "cd"};
        QTest::newRow("json") << QStringList{"status", "--json"};
    }
    void printsNoControls() {
        QFETCH(QStringList, args);
        Fixture f;
#if defined(Q_OS_WIN)
        if (!args.join(' ').contains(u'\x1b'))
            QSKIP("Windows file names cannot hold control characters");
        const QString game = f.install.layout.gameDirectory;
#else
        const QString game = f.path("game\x1b[2J\r    0  forged\x7f");
        QVERIFY(QDir().rename(f.install.layout.gameDirectory, game));
#endif
        const Run run = f.run(args + QStringList{"--game", game});
        if (args.contains("--json")) {
            QCOMPARE(QJsonDocument::fromJson(run.out).object()["game"].toString(), game);
            return;
        }
        for (const QByteArray& text : {run.out, run.err})
            for (const char c : text)
                QVERIFY2(uchar(c) >= 0x20 ? c != 0x7f : c == '\n', text);
        QVERIFY2((run.out + run.err).contains("\\e"), run.out + run.err);
    }

    // A setting that leads nowhere is no setting: nothing is read or written below the folder
    // ovra3 runs in or the root. Either option alone stands in for its own setting only.
    void settingsLeadingNowhere_data() {
        QTest::addColumn<QByteArray>("gameSetting"); // directorydata.dat's bytes; "-": as made
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("says");
        const QStringList restore{"restore", "tricks"};
        QTest::newRow("empty game setting") << QByteArray() << restore << 2 << "it is empty";
        QTest::newRow("line end only")
            << QByteArray("\r\n") << QStringList{"restore", "all"} << 2 << "it is empty";
#if !defined(Q_OS_WIN)
        QTest::newRow("drive the Wine prefix lacks")
            << QByteArray("Q:\\Games\\Ovra3") << restore << 2
            << "the drive Q: is none of the Wine prefix's drives";
#endif
        QTest::newRow("relative game setting")
            << QByteArray("game") << QStringList{"status"} << 2 << "is no full path";
        QTest::newRow("empty --cd")
            << QByteArray("-") << QStringList{"restore", "tricks", "--cd", ""} << 2
            << "the CD drive leads nowhere";
        QTest::newRow("empty --game")
            << QByteArray("-") << QStringList{"status", "--game", ""} << 2 << "it is empty";
        QTest::newRow("--game alone, CD from its setting")
            << QByteArray("") << QStringList{"verify", "--game", "{dir}/game"} << 0 << "";
        QTest::newRow("--cd alone, game from its setting")
            << QByteArray("-") << QStringList{"verify", "--cd", "{dir}/cd"} << 0 << "";
#if !defined(Q_OS_WIN)
        QTest::newRow("--game inside a Wine drive")
            << QByteArray("-") << QStringList{"status", "--game", "{dir}/game"} << 0
            << "Game directory: G:\\game\n";
        QTest::newRow("--cd in drive letters")
            << QByteArray("-") << QStringList{"verify", "--cd", "G:\\cd"} << 0 << "";
#endif
        QTest::newRow("--cd alone, no game setting")
            << QByteArray("") << QStringList{"verify", "--cd", "{dir}/cd"} << 2
            << "--game was not given, and the game directory is not set";
        QTest::newRow("--cd folder missing")
            << QByteArray("-") << QStringList{"verify", "--cd", "{dir}/nothing"} << 2
            << "the CD folder {dir}/nothing/ does not exist";
        QTest::newRow("--cd no game CD")
            << QByteArray("-") << QStringList{"verify", "--cd", "{dir}/game"} << 2
            << "{dir}/game is not a game CD";
    }
    void settingsLeadingNowhere() {
        QFETCH(QByteArray, gameSetting);
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, says);
        Fixture f;
        f.change({});
        if (gameSetting != "-")
            QVERIFY(TempInstall::write(f.install.programDir + "/directorydata.dat", gameSetting));
        // A prefix with one drive, g:, that holds the whole installation.
        QVERIFY(QDir().mkpath(f.path("pfx/dosdevices")) &&
                QFile::link(f.install.dir.path(), f.path("pfx/dosdevices/g:")));
        const Files before = f.tricks();
        const Run run = f.run(args, {"WINEPREFIX={dir}/pfx"});
        QVERIFY2(run.exit == exit, run.out + run.err);
        QVERIFY2(
            (run.out + run.err)
                .contains(
                    QDir::toNativeSeparators(says.replace("{dir}", f.install.dir.path())).toUtf8()),
            run.out + run.err);
        QCOMPARE(
            QDir(f.path("cwd")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
        QCOMPARE(f.tricks(), before);
    }

    // What a command replaced comes back with undo, byte for byte, from the kept copies; an undo
    // is undone in turn. An undo that cannot put everything back puts back nothing.
    void undo_data() {
        QTest::addColumn<QStringList>("changes"); // by hand, before the commands
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("undo");      // its argument
        QTest::addColumn<int>("undone");        // the state found, in commands back; -1: refused
        QTest::addColumn<QStringList>("spoil"); // after the commands: "flip P", "kept", "nokept"
        QTest::addColumn<QString>("says");
        const QStringList own{"junk 5", "swap 9 10", "music menu.mus"};
        QTest::newRow("restore over the player's own files")
            << own << QStringList{"restore all"} << "" << 1 << QStringList{} << "";
        QTest::newRow("a Trick Config") << QStringList{} << QStringList{"apply {dir}/swap.tcg"}
                                        << "1" << 1 << QStringList{} << "";
        QTest::newRow("two commands at once")
            << own << QStringList{"restore tricks", "apply {dir}/swap.tcg"} << "2" << 2
            << QStringList{} << "";
        QTest::newRow("a torn last line")
            << own << QStringList{"restore tricks"} << "" << 1 << QStringList{"torn"} << "";
        QTest::newRow("an undo undone")
            << own << QStringList{"restore tricks", "undo"} << "" << 1 << QStringList{} << "";
        // Forgetting keeps the commands that kept the player's own files, and their copies.
        QTest::newRow("forgotten but the player's own files")
            << own << QStringList{"restore tricks", "restore tricks", "forget --older-than 0"} << ""
            << 3 << QStringList{} << "";
        QTest::newRow("installed file changed since")
            << own << QStringList{"restore tricks"} << "" << -1 << QStringList{"flip 9"}
            << "changed since";
        QTest::newRow("kept copy damaged")
            << own << QStringList{"restore tricks"} << "" << -1 << QStringList{"kept"} << "damaged";
        QTest::newRow("kept copy missing") << own << QStringList{"restore tricks"} << "" << -1
                                           << QStringList{"nokept"} << "missing";
        QTest::newRow("more than the journal holds")
            << QStringList{} << QStringList{"restore tricks"} << "2" << -1 << QStringList{}
            << "only 1 command is recorded";
    }
    void undo() {
        QFETCH(QStringList, changes);
        QFETCH(QStringList, commands);
        QFETCH(QString, undo);
        QFETCH(int, undone);
        QFETCH(QStringList, spoil);
        QFETCH(QString, says);
        Fixture f;
        f.change(changes);
        const QString game = f.install.layout.gameDirectory;
        QList<Files> states{Fixture::files(game)};
        for (const QString& command : commands) {
            const Run run = f.run(command.split(' '));
            QVERIFY2(run.exit == 0 && run.err.isEmpty(), run.err);
            states.prepend(Fixture::files(game));
        }
        // The player's own trick 9 (a plain swap) is kept once, under its bytes' hash.
        const QString kept =
            f.path("data/Ovra3/kept/") +
            QCryptographicHash::hash(TempInstall::bytes(f.cdTrick(10)), QCryptographicHash::Sha256)
                .toHex();
        QFile journal(f.path("data/Ovra3/journal"));
        if (spoil == QStringList{"kept"})
            QVERIFY(TempInstall::write(kept, "not what it was"));
        else if (spoil == QStringList{"torn"}) // killed while appending a line
            QVERIFY(journal.open(QIODevice::Append) &&
                    journal.write("{\"id\":\"1-2-3\",\"fi") > 0 && journal.flush());
        else if (spoil == QStringList{"nokept"})
            QVERIFY(QFile::remove(kept));
        else
            f.change(spoil);
        const Files before = Fixture::files(game);
        const Run run = f.run(undo.isEmpty() ? QStringList{"undo"} : QStringList{"undo", undo});
        if (undone < 0) {
            QCOMPARE(run.exit, 2);
            QVERIFY2(run.err.contains(says.toUtf8()), run.err);
            QCOMPARE(Fixture::files(game), before);
            return;
        }
        QVERIFY2(run.exit == 0, run.err);
        QCOMPARE(Fixture::files(game), states[undone]);
        const Run history = f.run({"history", "--json"});
        const QJsonArray recorded = QJsonDocument::fromJson(history.out)["commands"].toArray();
        // After forget: the first restore (it kept the player's own files) and the undo.
        QCOMPARE(recorded.size(), commands.last().startsWith("forget") ? 2 : commands.size() + 1);
        QCOMPARE(recorded[0]["program"].toString(), QStringLiteral("ovra3"));
        QCOMPARE(recorded[0]["files"].toArray().size(), run.out.count("Put back "));
    }

    // Without the CD, the stock files that kept copies hold come back: those a restore from the CD
    // or a swap has seen.
    void restoreKept_data() {
        QTest::addColumn<QStringList>("before"); // commands while the CD is there
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<bool>("noKept"); // the kept copies removed
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("says");
        const QStringList own{"junk 5", "delete 8", "swap 9 10"};
        QTest::newRow("seen by a restore")
            << QStringList{"restore tricks"} << own << false << 0 << "Put back 3 trick files";
        QTest::newRow("seen by a swap") << QStringList{"apply {dir}/swap.tcg"} << QStringList{}
                                        << false << 0 << "Put back 1 trick file";
        QTest::newRow("never seen")
            << QStringList{} << own << false << 0 << "trick files were never seen";
        QTest::newRow("kept copies gone")
            << QStringList{"restore tricks"} << own << true << 1 << "no kept copy holds";
    }
    void restoreKept() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, changes);
        QFETCH(bool, noKept);
        QFETCH(int, exit);
        QFETCH(QString, says);
        Fixture f;
        const Files stock = f.tricks();
        f.change({}); // the Trick Configs
        for (const QString& command : before)
            QCOMPARE(f.run(command.split(' ')).exit, 0);
        f.change(changes);
        if (noKept)
            QVERIFY(QDir(f.path("data/Ovra3/kept")).removeRecursively());
        const Files changed = f.tricks();
        QVERIFY(QDir().rename(f.install.layout.cdRoot, f.path("away")));
        const Run run = f.run({"restore", "tricks", "--kept"});
        QCOMPARE(run.exit, exit);
        QVERIFY2((run.out + run.err).contains(says.toUtf8()), run.out + run.err);
        QCOMPARE(f.tricks(), before.isEmpty() || noKept ? changed : stock);
    }

    // A setup made on one installation comes out the same on another: the same bytes in the
    // kinds packed, the same captions for the songs; the other kinds stay as they were, and undo
    // takes the whole pack back.
    void packTravels_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("travel"); // the folders below data that come across
        QTest::newRow("all") << QStringList{} << QStringList{"anims", "music", "movies"};
        QTest::newRow("music only") << QStringList{"--music"} << QStringList{"music"};
        QTest::newRow("tricks and movies")
            << QStringList{"--tricks", "--movies"} << QStringList{"anims", "movies"};
    }
    void packTravels() {
        QFETCH(QStringList, options);
        QFETCH(QStringList, travel);
        Fixture from, to;
        from.change({"swap 9 10", "music grind.mus", "movie bowl.mpg",
                     "caption 0 My Crew - Own Song", "caption 1 Renamed But Stock"});
        to.change({"caption 1 The Receiver's Own"});
        const QString pack = to.path("setup.o3pack");
        const Run made = from.run(QStringList{"pack", "create", pack} + options);
        QVERIFY2(made.exit == 0 && made.err.isEmpty(), made.err);
        const QString game = to.install.layout.gameDirectory;
        const Files before = Fixture::files(game);
        const QString slotFiles = to.install.programDir + "/data";
        const Files captions = Fixture::files(slotFiles);

        const Run shown = to.run({"pack", "show", pack});
        QVERIFY2(shown.exit == 0, shown.err);
        QCOMPARE(Fixture::files(game), before); // show changes nothing
        QCOMPARE(shown.out.contains("grind.mus: replaces the installed file"),
                 travel.contains("music"));
        const Run applied = to.run({"pack", "apply", pack});
        QVERIFY2(applied.exit == 0 && applied.err.isEmpty(), applied.err);
        const Files want = Fixture::files(from.install.layout.gameDirectory);
        const Files got = Fixture::files(game);
        for (auto i = got.cbegin(); i != got.cend(); ++i)
            QVERIFY2(
                i.value() ==
                    (travel.contains(i.key().section('/', 1, 1)) ? want : before).value(i.key()),
                qPrintable(i.key()));
        // The song's caption comes with it; the receiver's other captions stay theirs.
        const Files named = Fixture::files(slotFiles);
        QCOMPARE(named.value("0.dat"),
                 travel.contains("music") ? rtf::write("My Crew - Own Song") : QByteArray());
        QCOMPARE(named.value("1.dat"), captions.value("1.dat"));

        const Run undone = to.run({"undo"});
        QVERIFY2(undone.exit == 0, undone.err);
        QCOMPARE(Fixture::files(game), before);
        QCOMPARE(Fixture::files(slotFiles), captions);
    }

    // A pack from a stranger is checked whole before anything is written: every way it may lie
    // or reach outside is refused, naming the member and the reason, and nothing changes.
    void hostilePacks_data() {
        QTest::addColumn<QList<ZipEntry>>("entries"); // besides a manifest of `listed`
        QTest::addColumn<QList<ZipEntry>>("listed");
        QTest::addColumn<QString>("spoil"); // done to the finished zip
        QTest::addColumn<QString>("says");
        const ZipEntry song{"music/grind.mus", "a stranger's song"};
        const QList<ZipEntry> one{song};
        const auto named = [&](const QByteArray& name) {
            return QList<ZipEntry>{{name, song.bytes}};
        };
        QTest::newRow("sound") << one << one << ""
                               << "";
        QTest::newRow("a path in a name") << named("music/sub/grind.mus") << one << ""
                                          << "\"music/sub/grind.mus\" is not named";
        QTest::newRow("..") << named("music/../grind.mus") << one << ""
                            << "is not named";
        QTest::newRow("absolute") << named("/data/music/grind.mus") << one << ""
                                  << "is not named";
        QTest::newRow("backslashes") << named("music\\..\\grind.mus") << one << ""
                                     << "is not named";
        QTest::newRow("a name Windows cannot hold")
            << named("music/con.mus") << named("music/con.mus") << ""
            << "is not named";
        QTest::newRow("a folder") << QList<ZipEntry>{song, {"music/", ""}} << one << ""
                                  << "\"music/\" is a folder";
        QTest::newRow("a symbolic link")
            << QList<ZipEntry>{{song.name, "../../../etc/passwd", 0120777}}
            << QList<ZipEntry>{{song.name, "../../../etc/passwd"}} << ""
            << "is a symbolic link";
        QTest::newRow("twice, by case")
            << QList<ZipEntry>{song, {"music/GRIND.mus", "x"}} << one << ""
            << "is in the zip twice";
        QTest::newRow("twice") << QList<ZipEntry>{song, {"music/grinx.mus", "x"}} << one << "name"
                               << "two of its files have one name";
        QTest::newRow("a size that lies")
            << one << QList<ZipEntry>{{song.name, song.bytes + "!"}} << ""
            << "the manifest says";
        QTest::newRow("a hash that lies")
            << one << QList<ZipEntry>{{song.name, QByteArray(song.bytes).replace('a', 'e')}} << ""
            << "SHA-256 differs";
        QTest::newRow("truncated") << one << one << "truncate"
                                   << "cannot be opened";
        QTest::newRow("not a zip") << one << one << "text"
                                   << "cannot be opened";
        const QList<ZipEntry> bomb{{song.name, QByteArray(8 << 20, '\0')}};
        QTest::newRow("a zip bomb") << bomb << bomb << ""
                                    << "(a zip bomb)";
        QTest::newRow("a manifest that is no JSON")
            << QList<ZipEntry>{song, {"manifest.json", "{\"format\": 1,"}} << one << "nomanifest"
            << "is not JSON";
        QTest::newRow("no manifest") << one << one << "nomanifest"
                                     << "holds no manifest.json";
        QTest::newRow("a manifest naming what is not there")
            << one << QList<ZipEntry>{song, {"movies/bowl.mpg", "x"}} << ""
            << "names \"movies/bowl.mpg\", which the zip does not hold";
        QTest::newRow("a member the manifest does not name")
            << QList<ZipEntry>{song, {"movies/bowl.mpg", "x"}} << one << ""
            << "\"movies/bowl.mpg\" is not in the manifest";
        QTest::newRow("a manifest naming a path")
            << one << QList<ZipEntry>{{"music/../grind.mus", song.bytes}} << ""
            << "no plain file name";
        QTest::newRow("a file the game does not have")
            << named("music/mine.mus") << named("music/mine.mus") << ""
            << "names no music file of this installation";
        const QList<ZipEntry> config{{"tricks/x.tcg", rtf::write("3   9999")}};
        QTest::newRow("a Trick Config that cannot be used") << config << config << ""
                                                            << "cannot be used here";
    }
    void hostilePacks() {
        QFETCH(QList<ZipEntry>, entries);
        QFETCH(QList<ZipEntry>, listed);
        QFETCH(QString, spoil);
        QFETCH(QString, says);
        Fixture f;
        const QString pack = f.path("stranger.o3pack");
        QList<ZipEntry> all = entries;
        if (spoil != "nomanifest")
            all.prepend({"manifest.json", manifest(listed)});
        const QString made = writeZip(pack, all);
        QVERIFY2(made.isEmpty(), qPrintable(made));
        QByteArray zip = TempInstall::bytes(pack);
        if (spoil == "truncate")
            zip.chop(40);
        else if (spoil == "text")
            zip = "just some text";
        else if (spoil == "name") // the same name twice, which libzip does not write
            zip.replace("music/grinx.mus", "music/grind.mus");
        QVERIFY(TempInstall::write(pack, zip));
        const QString game = f.install.layout.gameDirectory;
        const Files before = Fixture::files(game);
        const Run run = f.run({"pack", "apply", pack});
        if (says.isEmpty()) { // the sound pack: the test's zips are read as they are meant
            QVERIFY2(run.exit == 0, run.err);
            QCOMPARE(TempInstall::bytes(f.install.music("grind.mus")),
                     QByteArray("a stranger's song"));
            return;
        }
        QCOMPARE(run.exit, 2);
        QVERIFY2(run.err.contains(says.toUtf8()) && run.err.contains("Nothing was changed"),
                 run.err);
        QCOMPARE(Fixture::files(game), before);
        QVERIFY(!QFile::exists(f.path("data/Ovra3/journal")));
    }

    // What locate finds in the homes of each launcher, and what it must not: decoys, places it
    // does not look, links out of a place and link loops, and the time limit.
    void locateFinds_data() {
        QTest::addColumn<QStringList>("home");
        QTest::addColumn<QString>("winePrefix"); // relative to the home
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<QStringList>("games");
        QTest::addColumn<QStringList>("cds");
        QTest::addColumn<QString>("how"); // said of the first game found, else of the first CD
        const QString wine = ".wine/drive_c/Program Files (x86)/Maker/Ovra3";
        QTest::newRow("~/.wine") << QStringList{"game|" + wine} << "" << 10000 << QStringList{wine}
                                 << QStringList{} << "Wine prefix ~/.wine";
        QTest::newRow("$WINEPREFIX and wineprefixes")
            << QStringList{"game|elsewhere/pfx/drive_c/Games/Ovra3",
                           "game|.local/share/wineprefixes/ovra/drive_c/GOG Games/Ovra3"}
            << "elsewhere/pfx" << 10000
            << QStringList{".local/share/wineprefixes/ovra/drive_c/GOG Games/Ovra3",
                           "elsewhere/pfx/drive_c/Games/Ovra3"}
            << QStringList{} << "$WINEPREFIX";
        QTest::newRow("Lutris and ~/Games")
            << QStringList{"file|.config/lutris/games/ovra3-1.yml|game:\n  exe: x\n  prefix: "
                           "{home}/lutris/ovra\n",
                           "file|.local/share/lutris/games/ovra3-2.yml|game:\n  prefix: '~/l2'\n",
                           "game|lutris/ovra/drive_c/Program Files/Ovra3",
                           "game|l2/drive_c/Ovra3",
                           "game|Games/ovra3/drive_c/Program Files/Ovra3",
                           "game|Games/Ovra3 copy"}
            << "" << 10000
            << QStringList{"Games/Ovra3 copy", "Games/ovra3/drive_c/Program Files/Ovra3",
                           "l2/drive_c/Ovra3", "lutris/ovra/drive_c/Program Files/Ovra3"}
            << QStringList{} << "Lutris game ovra3-1";
        QTest::newRow("Bottles, PlayOnLinux and Heroic")
            << QStringList{"game|.var/app/com.usebottles.bottles/data/bottles/bottles/O/drive_c/O3",
                           "game|.local/share/bottles/bottles/O/drive_c/Program Files/O3",
                           "game|.PlayOnLinux/wineprefix/O/drive_c/Program Files/O3",
                           "file|.config/heroic/GamesConfig/abc.json|{\"abc\": {\"winePrefix\": "
                           "\"{home}/h/abc\"}}",
                           "game|h/abc/drive_c/Games/O3",
                           "game|Games/Heroic/Prefixes/default/O/drive_c/O3"}
            << "" << 10000
            << QStringList{".PlayOnLinux/wineprefix/O/drive_c/Program Files/O3",
                           ".local/share/bottles/bottles/O/drive_c/Program Files/O3",
                           ".var/app/com.usebottles.bottles/data/bottles/bottles/O/drive_c/O3",
                           "Games/Heroic/Prefixes/default/O/drive_c/O3", "h/abc/drive_c/Games/O3"}
            << QStringList{} << "Heroic prefix";
        QTest::newRow("Steam, two libraries")
            << QStringList{"file|.local/share/Steam/steamapps/libraryfolders.vdf|"
                           "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t"
                           "\"{home}/.local/share/Steam\"\n\t}\n\t\"1\"\n\t{\n\t\t"
                           "\"path\"\t\t\"{out}/SteamLibrary\"\n\t}\n}\n",
                           "game|.local/share/Steam/steamapps/compatdata/9/pfx/drive_c/Games/O3",
                           "game|{out}/SteamLibrary/steamapps/compatdata/4000/pfx/drive_c/O3",
                           "game|{out}/SteamLibrary/steamapps/common/Ovra3"}
            << "" << 10000
            << QStringList{"../outside/SteamLibrary/steamapps/common/Ovra3",
                           "../outside/SteamLibrary/steamapps/compatdata/4000/pfx/drive_c/O3",
                           ".local/share/Steam/steamapps/compatdata/9/pfx/drive_c/Games/O3"}
            << QStringList{} << "Proton prefix 9 of the Steam library";
        QStringList cds{"cd|Downloads/copy", "cd|old/Ovra3 CD", "cd|mnt"};
        QStringList found{"Downloads/copy", "mnt", "old/Ovra3 CD"};
        if (kImagesRead) {
            cds << "iso|Downloads/ovra3.iso"
                << "iso|disc.ISO";
            found << "Downloads/ovra3.iso"
                  << "disc.ISO";
            found.sort();
        }
        QTest::newRow("CDs") << cds << "" << 10000 << QStringList{} << found << "mounted volume";
        QStringList decoys{"nolayout|.wine/drive_c/Program Files/Ovra3",
                           "game|{out}/Ovra3",
                           "link|.wine/drive_c/out|{out}",
                           "link|.wine/drive_c/loop|{home}/.wine/drive_c",
                           "game|.wine/drive_c/a/b/c/d/Ovra3",
                           "game|Documents/Ovra3",
                           "notiso|Downloads/fake.iso",
                           "cd|a/b/c/Ovra3 CD",
                           "cd|{out}/cd",
                           "link|Downloads/cd|{out}/cd"};
        if (kImagesRead)
            decoys << "otheriso|Downloads/linux.iso"
                   << "iso|{out}/x.iso"
                   << "link|Downloads/x.iso|{out}/x.iso";
        QTest::newRow("decoys") << decoys << "" << 10000 << QStringList{} << QStringList{} << "";
        QTest::newRow("out of time") << QStringList{"game|" + wine, "cd|Downloads/copy"} << "" << 0
                                     << QStringList{} << QStringList{} << "";
    }
    void locateFinds() {
        QFETCH(QStringList, home);
        QFETCH(QString, winePrefix);
        QFETCH(int, timeLimit);
        QFETCH(QStringList, games);
        QFETCH(QStringList, cds);
        QFETCH(QString, how);
        const Home h;
        h.make(home);
        cli::LocateRoots roots{h.home,
                               winePrefix.isEmpty() ? QString() : h.home + '/' + winePrefix,
                               {h.home + "/mnt"},
                               {}};
        const cli::Located located = cli::locate(roots, timeLimit);
        QCOMPARE(h.relative(located.games), games);
        QCOMPARE(h.relative(located.cds), cds);
        QCOMPARE(located.stopped, timeLimit == 0);
        if (!how.isEmpty())
            QVERIFY2(
                (located.games.isEmpty() ? located.cds : located.games).first().how.contains(how),
                qPrintable((located.games.isEmpty() ? located.cds : located.games).first().how));
    }

    // setup stores what the directory dialog's OK would for the same folders, or refuses and
    // stores nothing.
    void setupStores_data() {
        QTest::addColumn<QStringList>("home");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("directory"); // the settings' bytes; {home}
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("says");
        const QStringList prefix{"link|.wine/dosdevices/c:|{home}/.wine/drive_c",
                                 "cd|Downloads/copy"};
        QTest::newRow("one of each, in drive letters")
            << prefix + QStringList{"game|.wine/drive_c/Program Files/Ovra3"} << QStringList{} << 0
            << "C:\\Program Files\\Ovra3"
            << "{home}/Downloads/copy/"
            << "Stored in";
        const QStringList two =
            prefix + QStringList{"game|.wine/drive_c/Games/A", "game|.wine/drive_c/Games/B"};
        QTest::newRow("two, no terminal") << two << QStringList{} << 2 << ""
                                          << ""
                                          << "choose one with --game N";
        QTest::newRow("two, one chosen") << two << QStringList{"--game", "2"} << 0 << "C:\\Games\\B"
                                         << "{home}/Downloads/copy/"
                                         << "2. ";
        QTest::newRow("no such number") << two << QStringList{"--game", "3"} << 2 << ""
                                        << ""
                                        << "no game installation 3";
        QTest::newRow("nothing found") << QStringList{} << QStringList{} << 2 << ""
                                       << ""
                                       << "no game installation was found";
        QTest::newRow("folders given")
            << QStringList{"game|{out}/Ovra3", "cd|{out}/cd"}
            << QStringList{"--game", "{out}/Ovra3", "--cd", "{out}/cd"} << 0 << "{out}/Ovra3"
            << "{out}/cd/"
            << "Stored in";
#if !defined(Q_OS_WIN) // drive letters of a Wine prefix
        QTest::newRow("drive letters given")
            << prefix + QStringList{"game|.wine/drive_c/Program Files/Ovra3",
                                    "link|.wine/dosdevices/d:|{home}/Downloads/copy"}
            << QStringList{"--game", "c:\\Program Files\\Ovra3", "--cd", "d:"} << 0
            << "C:\\Program Files\\Ovra3"
            << "D:\\"
            << "Stored in";
#endif
        QTest::newRow("a folder that is not there")
            << prefix << QStringList{"--game", "{out}/none"} << 2 << ""
            << ""
            << "does not exist";
    }
    void setupStores() {
        QFETCH(QStringList, home);
        QFETCH(QStringList, args);
#if defined(Q_OS_WIN)
        if (!args.contains("--game") || !args.contains("--cd"))
            QSKIP("the places searched are a Linux home's; Windows gives a program its own home");
#endif
        QFETCH(int, exit);
        QFETCH(QString, directory);
        QFETCH(QString, drive);
        QFETCH(QString, says);
        const Home h;
        h.make(home);
        const QString program = h.dir.filePath("program");
        QVERIFY(QDir().mkpath(program) && QFile::copy(OVRA3_PATH, program + "/ovra3"));
        for (QString& a : args)
            a = h.expand(a);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", h.home);
        env.insert("WINEPREFIX", h.home + "/.wine");
        env.insert("XDG_CONFIG_HOME", h.dir.filePath("config"));
        p.setProcessEnvironment(env);
        p.start(program + "/ovra3", QStringList{"setup"} + args);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
        QCOMPARE(p.exitCode(), exit);
        QVERIFY2(out.contains(says.toUtf8()), out);
        QCOMPARE(TempInstall::bytes(program + "/directorydata.dat"),
                 QDir::toNativeSeparators(h.expand(directory)).toUtf8());
        QCOMPARE(TempInstall::bytes(program + "/drivedata.dat"),
                 QDir::toNativeSeparators(h.expand(drive)).toUtf8());
    }

#if defined(Q_OS_UNIX)
    // A batch first checks that it can write what it will, and writes nothing when it cannot:
    // a CD's files may claim any size, and a folder may refuse new files. What the copies
    // replace counts as freed.
    void batchChecks_data() {
        QTest::addColumn<QString>("folder"); // below the game directory and the CD's data folder
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("disk"); // full: CD files claim twice the free space; freed:
                                           // installed files as large take most of it
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("says");
        const QString tricks = "anims/skater_M", music = "music", movies = "movies";
        QTest::newRow("restore tricks, no room")
            << tricks << QStringList{"restore", "tricks"} << "full" << 2 << "free in";
        QTest::newRow("apply, no room")
            << tricks << QStringList{"apply", "{dir}/every.tcg"} << "full" << 2 << "free in";
        QTest::newRow("restore music, no room")
            << music << QStringList{"restore", "music"} << "full" << 2 << "free in";
        QTest::newRow("restore movies, no room")
            << movies << QStringList{"restore", "movies"} << "full" << 2 << "free in";
        QTest::newRow("restore music, room once replaced files go")
            << music << QStringList{"restore", "music"} << "freed" << 0 << "";
        QTest::newRow("read-only game folder") << tricks << QStringList{"restore", "tricks"}
                                               << "read-only" << 2 << "skater_M is read-only";
    }
    void batchChecks() {
        QFETCH(QString, folder);
        QFETCH(QStringList, args);
        QFETCH(QString, disk);
        QFETCH(int, exit);
        QFETCH(QString, says);
        SmallFileSystem small("32m");
        if (!small.skip.isEmpty())
            QSKIP(qPrintable(small.skip));
        Fixture f;
        QString config = tricked::unchangedConfig();
        for (int p = 0; p < tricked::kTrickCount; ++p)
            tricked::replaceRecord(config, p, (p + 1) % tricked::kTrickCount);
        QVERIFY(TempInstall::write(f.path("every.tcg"), rtf::write(config)));
        const QString game = small.dir.filePath("game");
        QCOMPARE(QProcess::execute("cp", {"-a", f.install.layout.gameDirectory, game}), 0);
        const QString cd = f.install.layout.cdRoot + "/setup/data/data/" + folder.toLower();
        const QStringList names = QDir(cd).entryList(QDir::Files);
        const auto free = [&] { return QStorageInfo(game).bytesAvailable(); };
        const auto perFile = [&](double share) {
            return (qint64(double(free()) * share / double(names.size())) + 4095) / 4096 * 4096;
        };
        if (disk == "full") {
            const qint64 claimed = perFile(2.0);
            for (const QString& name : names) // sparse: they take no room where they lie
                QVERIFY(QFile::resize(cd + "/" + name, claimed));
        } else if (disk == "freed") {
            const qint64 size = perFile(0.85);
            for (const QString& name : names)
                QVERIFY(TempInstall::write(game + "/data/" + folder + "/" + name,
                                           QByteArray(size, 'i')) &&
                        QFile::resize(cd + "/" + name, size));
            QVERIFY(free() < size * names.size()); // all of them would not fit beside the old
        } else {
            QVERIFY(small.makeReadOnly());
        }
        const Files before = Fixture::files(game);
        const Run run = f.run(args + QStringList{"--game", game});
        QCOMPARE(run.exit, exit);
        QVERIFY2(run.err.contains(says.toUtf8()), run.err);
        if (exit == 2)
            QCOMPARE(Fixture::files(game), before);
        else
            for (const QString& name : names)
                QCOMPARE(QFileInfo(game + "/data/" + folder + "/" + name).size(),
                         QFileInfo(cd + "/" + name).size());
    }
#endif
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
