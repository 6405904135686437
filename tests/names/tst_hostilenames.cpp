// Names from the CD and the installation that read as paths: whatever either program is told
// to do, nothing outside the game's data folders and the program's own folder may change.
#include "frmovra3meded.h"
#include "frmovra3tricked.h"
#include "rtfwriter.h"
#include "scripteddialogs.h"
#include "tempinstall.h"
#include "trickconfig.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QString kCdTricks = QStringLiteral("cd/setup/data/data/anims/skater_m");
const std::pair<QString, QString> kHostile[] = {
    {kCdTricks, QStringLiteral(R"(..\..\..\..\other\tricks\kick.ska)")},
    {kCdTricks, QStringLiteral("c:evil.ska")},
    {kCdTricks, QStringLiteral(R"(a\b.ska)")},
    {QStringLiteral("game/data/music"), QStringLiteral(R"(..\..\x.mus)")},
    {QStringLiteral("game/data/movies"), QStringLiteral(R"(..\x.mpg)")}};
// Where those names lead once their backslashes are folders, made to exist so that a copy that
// got through would succeed.
const char* const kLeadsTo[] = {"cd/setup/other/tricks/kick.ska",
                                "other/tricks/kick.ska",
                                "cd/setup/data/data/anims/skater_m/a/b.ska",
                                "game/data/anims/skater_M/a/keep",
                                "cd/setup/data/x.mus",
                                "cd/setup/data/data/x.mpg"};
const QStringList kTyped = {R"(..\..\..\..\other\tricks\kick.ska)",
                            R"(..\..\x.mus)",
                            R"(..\x.mpg)",
                            "c:evil.mus",
                            R"(a\b.ska)",
                            "..",
                            "../x.mus"};

// Every entry below the root but the files right in the data folders and the program's folder.
QMap<QString, QByteArray> outsideAllowed(const QString& root) {
    static const QStringList allowed = {"game/data/music", "game/data/movies",
                                        "game/data/anims/skater_M"};
    QMap<QString, QByteArray> seen;
    for (QDirIterator it(root,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next(), relative = path.mid(root.size() + 1);
        const QFileInfo info = it.fileInfo();
        if (!relative.startsWith("program") &&
            !(info.isFile() && allowed.contains(QFileInfo(relative).path())))
            seen.insert(relative, info.isDir() ? "<folder>" : TempInstall::bytes(path));
    }
    return seen;
}

} // namespace

class TestHostileNames : public QObject {
    Q_OBJECT
private slots:
    void nothingWrittenOutside_data() {
        QTest::addColumn<QString>("command");
        for (const char* command :
             {"tricks: transform every pick", "tricks: transform typed names",
              "tricks: open a swap of every position", "tricks: restore originals",
              "media: restore music", "media: restore movies", "media: replace typed targets"})
            QTest::newRow(command) << command;
    }
    void nothingWrittenOutside() {
        QFETCH(QString, command);
        TempInstall install;
        const QString root = install.dir.path();
        for (const auto& [folder, name] : kHostile)
            QVERIFY(TempInstall::write(root + '/' + folder + '/' + name, "hostile"));
        for (const char* path : kLeadsTo)
            QVERIFY(QDir(root).mkpath(QFileInfo(path).path()) &&
                    TempInstall::write(root + '/' + path, path));
        QString config = tricked::unchangedConfig();
        for (int k = 0; k < tricked::kTrickCount; ++k)
            tricked::replaceRecord(config, k, (k + 1) % tricked::kTrickCount);
        QVERIFY(TempInstall::write(root + "/every.tcg", rtf::write(config)));
        QVERIFY(TempInstall::write(root + "/mine.mpg", "the user's own"));

        const bool tricks = command.startsWith("tricks");
        for (const auto& [folder, name] : kHostile) // each is logged as it is left out
            if ((folder == kCdTricks) == tricks)
                QTest::ignoreMessage(QtWarningMsg,
                                     QRegularExpression(QRegularExpression::escape(name)));
        const auto before = outsideAllowed(root);
        ScriptedDialogs dialogs;
        std::unique_ptr<QWidget> window;
        if (tricks)
            window = std::make_unique<tricked::FrmOvra3TrickEd>(install.programDir);
        else
            window = std::make_unique<mediaed::FrmOvra3MedEd>(install.programDir);
        auto* replace = window->findChild<QComboBox*>("cboReplace");
        auto* with = window->findChild<QComboBox*>(tricks ? "cboWith" : "Combo1");
        const auto press = [&](const char* name) {
            if (auto* button = window->findChild<QPushButton*>(name))
                return button->click();
            window->findChild<QAction*>(name)->trigger();
        };
        QStringList offered;
        for (QComboBox* box : {replace, with})
            for (int i = 0; i < box->count(); ++i)
                offered << box->itemText(i);
        QCOMPARE(offered.size(), tricks ? 2 * 659 : 22 + 29);
        for (const auto& [folder, name] : kHostile)
            QVERIFY2(!offered.contains(name), qPrintable(name));

        const auto transform = [&](const QString& replacefile, const QString& withfile) {
            replace->setEditText(replacefile);
            with->setEditText(withfile);
            press("cmdTransform");
        };
        const int n = replace->count();
        if (command == "tricks: transform every pick") {
            for (int i = 0; i < n; ++i) // every name on both sides
                transform(offered[i], offered[n - 1 - i]);
        } else if (command == "tricks: transform typed names") {
            for (const QString& typed : kTyped) {
                transform(typed, offered[0]);
                transform(offered[0], typed);
            }
        } else if (command == "tricks: open a swap of every position") {
            dialogs.answer(root + "/every.tcg");
            press("mnuOpen");
        } else if (command.endsWith("restore originals") || command.endsWith("restore music")) {
            press("mnuRestore");
        } else if (command.endsWith("restore movies")) {
            press("mnuRestoreMovies");
        } else {
            dialogs.answer(root + "/mine.mpg");
            dialogs.answer(root + "/mine.mpg");
            press("Command1");
            press("Command2");
            for (const QString& typed : kTyped) {
                replace->setEditText(typed);
                press("cmdTransform");
                with->setEditText(typed);
                press("Command3");
            }
        }
        QCOMPARE(outsideAllowed(root), before);
    }
};

QTEST_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
