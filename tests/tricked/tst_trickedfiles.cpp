#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "tests/tricked/trickfixture.h"
#include "tricked/trickconfig.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QRegularExpression>

using namespace tricked;

namespace {

using Swaps = QList<std::pair<int, int>>;

QString withRecords(const Swaps& swaps) {
    QString text = unchangedConfig();
    for (auto [p, q] : swaps)
        replaceRecord(text, p, q);
    return text;
}

// The installation as it must be after the swaps, made from the CD files.
QMap<QString, QByteArray> expectedAfter(const TrickFixture& f, const Swaps& swaps) {
    QMap<QString, QByteArray> files = f.snapshot();
    for (auto [p, q] : swaps)
        files[f.name(p)] = f.cdBytes(q);
    return files;
}

} // namespace

class TestTrickedFiles : public QObject {
    Q_OBJECT
private slots:
    void newThenSave() {
        TrickFixture f;
        f.trigger("mnuNew");
        const QString path = f.install.dir.filePath("mine"); // no extension is added
        f.dialogs.answer(path);
        f.trigger("mnuSave");
        QCOMPARE(f.dialogs.filters, QStringList{"Trick Config Files (*.tcg)|*.tcg"});
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(!QFile::exists(path + ".tcg"));
        const rtf::ReadResult saved = rtf::read(TempInstall::bytes(path));
        QVERIFY(saved.ok);
        QCOMPARE(saved.text.size(), 5272);
        QCOMPARE(saved.text, unchangedConfig());
        // Opening it copies nothing: every record is unchanged.
        const auto before = f.snapshot();
        f.dialogs.answer(path);
        f.trigger("mnuOpen");
        QCOMPARE(f.snapshot(), before);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void saveWithoutConfig() {
        TrickFixture f;
        const QString path = f.install.dir.filePath("empty.tcg");
        f.dialogs.answer(path);
        f.trigger("mnuSave");
        const rtf::ReadResult saved = rtf::read(TempInstall::bytes(path));
        QVERIFY(saved.ok);
        QCOMPARE(saved.text, QString());
    }

    void cancelledDialogs() {
        TrickFixture f;
        f.trigger("mnuNew");
        f.window->transform(f.name(3), f.name(12));
        const auto before = f.snapshot();
        const QString config = f.window->core().currentConfig();
        f.dialogs.cancel();
        f.trigger("mnuSave");
        f.dialogs.cancel();
        f.trigger("mnuOpen");
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.snapshot(), before);
        QCOMPARE(f.window->core().currentConfig(), config);
        QCOMPARE(QDir(f.install.dir.path()).entryList(QDir::Files), QStringList());
    }

    void saveFails() {
        TrickFixture f;
        f.trigger("mnuNew");
        const QString existing = f.install.dir.filePath("kept.tcg");
        QVERIFY(TempInstall::write(existing, "older"));
        const QString paths[] = {f.install.dir.filePath("no/such/folder/x.tcg"),
                                 f.install.dir.filePath("program")}; // a folder
        for (const QString& path : paths) {
            f.dialogs.answer(path);
            f.trigger("mnuSave");
        }
        QCOMPARE(f.dialogs.messages.size(), 2);
        for (const auto& m : f.dialogs.messages) {
            QCOMPARE(m.caption, QStringLiteral("Ovra3TrickEd"));
            QVERIFY(m.text != ovra::kInstallationError);
            QVERIFY(m.text.contains("could not be saved"));
        }
        QCOMPARE(TempInstall::bytes(existing), QByteArray("older"));
    }

    void saveThenOpenElsewhere_data() {
        QTest::addColumn<bool>("image"); // the other player keeps the CD as a disc image
        QTest::newRow("CD folder") << false;
        QTest::newRow("disc image") << true;
    }
    void saveThenOpenElsewhere() {
        QFETCH(bool, image);
        if (image)
            SKIP_WHERE_IMAGES_ARE_MOUNTED();
        const Swaps swaps{{3, 12}, {42, 658}, {5, 7}, {5, 9}, {0, 0}, {658, 1}, {12, 3}};
        TrickFixture a;
        a.trigger("mnuNew");
        for (auto [p, q] : swaps)
            a.window->transform(a.name(p), a.name(q));
        const QString path = a.install.dir.filePath("shared.tcg");
        a.dialogs.answer(path);
        a.trigger("mnuSave");
        // Players on Windows and on Linux share these files: the same swaps, the same bytes.
        QCOMPARE(
            QCryptographicHash::hash(TempInstall::bytes(path), QCryptographicHash::Sha256).toHex(),
            QByteArray("ee80c81330e735405b45e7f611a9f1c0e0f2cc6349d49debf2c1dd921ec42f15"));

        TrickFixture b(tricks(), true, image); // a fresh installation, no current Trick Config
        b.dialogs.answer(path);
        b.trigger("mnuOpen");
        QVERIFY(b.dialogs.messages.isEmpty());
        QCOMPARE(b.snapshot(), a.snapshot());
        QVERIFY(b.window->core().currentConfig().isEmpty());
        QCOMPARE(b.window->core().openedConfig(), a.window->core().currentConfig());
    }

    // A Trick Config opened from the file manager (Ovra3TrickEd file.tcg) is applied after a Yes.
    void offeredFromTheCommandLine_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes applies it") << true;
        QTest::newRow("No changes nothing") << false;
    }
    void offeredFromTheCommandLine() {
        QFETCH(bool, yes);
        TrickFixture f;
        const QString path = f.install.dir.filePath("shared.tcg");
        QVERIFY(TempInstall::write(path, rtf::write(withRecords({{3, 12}, {658, 0}}))));
        const auto expected = yes ? expectedAfter(f, {{3, 12}, {658, 0}}) : f.snapshot();
        f.dialogs.yesNo.enqueue(yes);
        f.window->offerToApply(path);
        QCOMPARE(f.dialogs.questions.size(), 1);
        QCOMPARE(f.dialogs.questions[0].caption, QStringLiteral("Ovra3TrickEd"));
        QCOMPARE(f.dialogs.questions[0].text,
                 QStringLiteral("Apply the swaps of shared.tcg to the installed tricks?"));
        QCOMPARE(f.snapshot(), expected);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    // The built programs' command lines. Answers and refusals come without a display; a file
    // is offered once the window is up (the program is then ended).
    void commandLine_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");   // -1: it goes on and offers a file
        QTest::addColumn<QString>("output"); // in standard output; exit 2: in standard error;
                                             // -1: the file offered
        const QString trickEd = QStringLiteral(TRICKED_PATH),
                      mediaEd = QStringLiteral(MEDIAED_PATH);
        const QString usage = QStringLiteral("Usage: Ovra3TrickEd [options] [file.tcg]\n");
        const QString version = QStringLiteral("Ovra3TrickEd 1.05 (Ovra3 Editors 1.0)\n");
        const auto row = [](const char* tag, const QString& program, const QStringList& arguments,
                            int exitCode, const QString& output) {
            QTest::newRow(tag) << program << arguments << exitCode << output;
        };
        row("--help", trickEd, {"--help"}, 0, usage);
        row("-h", trickEd, {"-h"}, 0, usage);
        row("--help-all names Qt's options", trickEd, {"--help-all"}, 0, "  -stylesheet <value>");
        row("--version", trickEd, {"--version"}, 0, version);
        row("-v", trickEd, {"-v"}, 0, version);
        row("-reverse is Qt's, not -v", trickEd, {"-reverse", "--version"}, 0, version);
        row("-stylesheet takes its value", trickEd, {"-stylesheet", "-h", "-v"}, 0, version);
        row("media editor --version", mediaEd, {"-platformtheme", "x", "--version"}, 0,
            "Ovra3MediaEd 2.00 (Ovra3 Editors 1.0)\n");
        row("media editor --help", mediaEd, {"--help"}, 0, "Usage: Ovra3MediaEd [options]\n");
        row("letters are not bundled", trickEd, {"-hv"}, 2, "Unknown option 'hv'.");
        row("unknown option", trickEd, {"--bogus", "a.tcg"}, 2, "Unknown option 'bogus'.");
        row("dash name unprotected", trickEd, {"-my-setup.tcg"}, 2,
            "Unknown option 'my-setup.tcg'.");
        row("value missing", trickEd, {"a.tcg", "-platform"}, 2,
            "Missing value after '-platform'.");
        row("two files", trickEd, {"a.tcg", "b.tcg"}, 2, "Unexpected argument 'b.tcg'.");
        row("media editor takes no file", mediaEd, {"a.tcg"}, 2, "Unexpected argument 'a.tcg'.");
        row("file", trickEd, {"-platform", "offscreen", "shared.tcg"}, -1, "shared.tcg");
        row("after Qt's options", trickEd,
            {"--platform", "offscreen", "-reverse", "-style=fusion", "-stylesheet", "x.qss",
             "-platformtheme", "x", "shared.tcg"},
            -1, "shared.tcg");
        row("dash name as a path", trickEd, {"-platform", "offscreen", "./-my-setup.tcg"}, -1,
            "./-my-setup.tcg");
        row("dash name after --", trickEd, {"-platform", "offscreen", "--", "-my-setup.tcg"}, -1,
            "-my-setup.tcg");
        row("Qt's option name after --", trickEd, {"-platform", "offscreen", "--", "-reverse"}, -1,
            "-reverse");
    }
    void commandLine() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        // Copied beside a complete installation's settings, so that the window opens quietly.
        TempInstall install(tricks());
        const QString copy = install.programDir + "/" + QFileInfo(program).fileName();
        QVERIFY(QFile::copy(program, copy));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.insert("XDG_CONFIG_HOME", install.dir.filePath("config"));
        env.insert("QT_LOGGING_RULES", "ovra.tricked.debug=true");
        env.insert("QT_FORCE_STDERR_LOGGING", "1"); // a Windows program logs to its debugger else
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(install.dir.path());
        p.start(copy, arguments);
        if (exitCode >= 0) {
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            // Lines end as the system ends them ("\r\n" on Windows).
            const QString out = QString::fromLocal8Bit(p.readAllStandardOutput()).remove(u'\r');
            const QString err = QString::fromLocal8Bit(p.readAllStandardError()).remove(u'\r');
            QCOMPARE(p.exitCode(), exitCode);
            QVERIFY2((exitCode == 0 ? out : err).contains(output), qPrintable(out + err));
            if (exitCode != 0)
                QVERIFY(out.isEmpty());
            return;
        }
        const QByteArray asked = "Asking whether to apply " + output.toLocal8Bit() + '\n';
        QByteArray err;
        QVERIFY(p.waitForStarted());
        p.setReadChannel(QProcess::StandardError);
        while (!err.contains(asked) && p.waitForReadyRead(30000))
            err += p.readAllStandardError().replace("\r\n", "\n");
        p.kill();
        p.waitForFinished();
        QVERIFY2(err.contains(asked), err.constData());
    }

    void openRecordsIntoCurrentConfig() {
        TrickFixture f;
        f.trigger("mnuNew");
        f.window->transform(f.name(7), f.name(8));
        const QString first = f.install.dir.filePath("first.tcg");
        const QString second = f.install.dir.filePath("second.tcg");
        QVERIFY(TempInstall::write(first, rtf::write(withRecords({{3, 12}}))));
        QVERIFY(TempInstall::write(second, rtf::write(QStringLiteral("4   5   "))));
        const auto expected = expectedAfter(f, {{3, 12}, {4, 5}});
        f.dialogs.answer(first);
        f.trigger("mnuOpen");
        f.dialogs.answer(second);
        f.trigger("mnuOpen");
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.snapshot(), expected);
        QCOMPARE(f.window->core().currentConfig(), withRecords({{7, 8}, {3, 12}, {4, 5}}));
        QCOMPARE(f.window->core().openedConfig(), QStringLiteral("4   5   "));
    }

    void openRefused_data() {
        QTest::addColumn<QByteArray>("document"); // empty: the file does not exist
        QTest::addColumn<QString>("says");
        const auto tcg = [](QString text, int k, const char* record) {
            replaceRecord(text, 3, 12); // a valid swap before the bad record changes nothing
            return rtf::write(text.replace(8 * k, 8, QLatin1String(record)));
        };
        // Each way a refusal is told; the core suite has the other documents.
        QTest::newRow("letters") << tcg(unchangedConfig(), 10, "10  ab  ") << "Record 11";
        QTest::newRow("not RTF") << QByteArray("3   12  \n") << "could not be read";
        QTest::newRow("missing file") << QByteArray() << "could not be read";
    }
    void openRefused() {
        QFETCH(QByteArray, document);
        QFETCH(QString, says);
        TrickFixture f;
        f.trigger("mnuNew");
        const QString path = f.install.dir.filePath("bad.tcg");
        if (!document.isEmpty())
            QVERIFY(TempInstall::write(path, document));
        const auto before = f.snapshot();
        f.dialogs.answer(path);
        f.trigger("mnuOpen");
        QCOMPARE(f.dialogs.messages.size(), 1);
        const auto& m = f.dialogs.messages.first();
        QCOMPARE(m.caption, QStringLiteral("Ovra3TrickEd"));
        QVERIFY2(m.text.contains(says) && m.text.contains("bad.tcg"), qPrintable(m.text));
        QCOMPARE(f.snapshot(), before); // nothing copied
        QCOMPARE(f.window->core().currentConfig(), unchangedConfig());
    }

    void openWithCdGone() {
        // Each swap that fails is reported and Open goes on with the next one.
        TrickFixture f;
        const QString path = f.install.dir.filePath("two.tcg");
        QVERIFY(TempInstall::write(path, rtf::write(withRecords({{3, 12}, {4, 13}, {5, 14}}))));
        QVERIFY(QFile::remove(f.install.cdTrick(f.name(13))));
        const auto expected = expectedAfter(f, {{3, 12}, {5, 14}});
        // The reason is logged once, where the failure is found, and not again by the message.
        const QRegularExpression reason(QRegularExpression::escape(f.name(13)) +
                                        ".*does not exist");
        QTest::ignoreMessage(QtWarningMsg, reason);
        QTest::failOnWarning(reason);
        f.dialogs.answer(path);
        f.trigger("mnuOpen");
        QCOMPARE(f.dialogs.installationErrors(), 1);
        QCOMPARE(f.snapshot(), expected);
    }
};

QTEST_MAIN(TestTrickedFiles)
#include "tst_trickedfiles.moc"
