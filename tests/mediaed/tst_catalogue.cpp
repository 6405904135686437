// The widget-free soundtrack catalogue: the stock table, and load, save and reset over the 19
// slot files.
#include "mediaed/catalogue.h"
#include "mediaed/stocktable.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "tests/mediaed/captions.h"
#include "tests/support/scopedenv.h"

#ifdef Q_OS_UNIX
#include "tests/support/smallfs.h"
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using mediaed::Catalogue;
using mediaed::kSlotCount;
using mediaed::stockTable;

namespace {

// The exact slot-file form of a one-line caption that needs no escapes.
QByteArray plainSlotFile(const QString& caption) {
    return QByteArrayLiteral(
               "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans "
               "Serif;}{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss MS Sans Serif;}}\r\n"
               "{\\colortbl\\red0\\green0\\blue0;}\r\n"
               "\\deflang1033\\pard\\plain\\f2\\fs17 ") +
           caption.toLatin1() + QByteArrayLiteral("\r\n\\par }\r\n");
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QStringList userCaptions() {
    return numberedCaptions(QStringLiteral("Song %1 - Artist %1"));
}

// A program directory with a data folder holding `captions` as slot files.
struct ProgramDir {
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/program");
    QString data = path + QStringLiteral("/data");

    ProgramDir() { QDir().mkpath(data); }
    QString file(int slot) const { return data + QStringLiteral("/%1.dat").arg(slot); }
    void seed(const QStringList& captions) const {
        for (int i = 0; i < kSlotCount; ++i)
            QVERIFY(writeBytes(file(i), rtf::write(captions[i])));
    }
    QStringList readBack() const {
        QStringList captions;
        for (int i = 0; i < kSlotCount; ++i)
            captions << rtf::read(bytesOf(file(i))).text;
        return captions;
    }
};

QSet<QString> expectedFileNames() {
    QSet<QString> names;
    for (int i = 0; i < kSlotCount; ++i)
        names << QStringLiteral("%1.dat").arg(i);
    return names;
}

QSet<QString> entriesOf(const QString& dir) {
    const QStringList list =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    return QSet<QString>(list.begin(), list.end());
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
#ifdef Q_OS_UNIX
    void installedCopyKeepsItsCataloguePerUser();
#endif
    void stockTableKeepsItsConstraints();
    void firstStartCreatesStockFiles_data();
    void firstStartCreatesStockFiles();
    void unreadableSlotResetsOnlyThatSlot_data();
    void unreadableSlotResetsOnlyThatSlot();
    void captionsSurviveARoundTrip_data();
    void captionsSurviveARoundTrip();
    void slotFilesAreNumberedWithoutPadding();
    void unwritableDataFolderIsReported_data();
    void unwritableDataFolderIsReported();
    void oneUnwritableSlotDoesNotStopTheOthers();
    void loadRemovesOnlyStaleTemporaries();
};

void TestCatalogue::stockTableKeepsItsConstraints() {
    const auto& table = stockTable();
    QCOMPARE(table.size(), 19);
    static const QRegularExpression fileName(QStringLiteral("^[a-z]{3,7}\\.mus$"));
    QSet<QString> names, captions;
    QStringList nameOrder;
    for (int i = 0; i < table.size(); ++i) {
        const auto& row = table[i];
        QVERIFY2(fileName.match(row.fileName).hasMatch(), qPrintable(row.fileName));
        QVERIFY2(row.caption.size() >= 10 && row.caption.size() <= 42, qPrintable(row.caption));
        const QStringList parts = row.caption.split(QStringLiteral(" - "));
        QVERIFY2(parts.size() == 2 && !parts[0].isEmpty() && !parts[1].isEmpty(),
                 qPrintable(row.caption));
        names << row.fileName;
        captions << row.caption;
        nameOrder << row.fileName;
        if (i > 0) {
            QVERIFY2(table[i - 1].caption < row.caption, qPrintable(row.caption));
            QVERIFY2(table[i - 1].caption.compare(row.caption, Qt::CaseInsensitive) < 0,
                     qPrintable(row.caption));
        }
        // The lookup is exact: letter case counts.
        QCOMPARE(mediaed::slotOfStockFile(row.fileName), i);
        QCOMPARE(mediaed::slotOfStockFile(row.fileName.toUpper()), -1);
    }
    QCOMPARE(names.size(), 19);
    QCOMPARE(captions.size(), 19);
    QVERIFY(!std::is_sorted(nameOrder.begin(), nameOrder.end()));
}

void TestCatalogue::firstStartCreatesStockFiles_data() {
    QTest::addColumn<bool>("dataFolderExists");
    QTest::newRow("empty data folder") << true;
    QTest::newRow("no data folder") << false;
}

void TestCatalogue::firstStartCreatesStockFiles() {
    QFETCH(bool, dataFolderExists);
    ProgramDir dir;
    if (!dataFolderExists)
        QVERIFY(QDir(dir.data).removeRecursively());
    Catalogue first(dir.path);
    const Catalogue::LoadResult loaded = first.load();
    QCOMPARE(loaded.resetSlots.size(), kSlotCount);
    QCOMPARE(first.captions(), stockCaptions());
    QVERIFY(first.save().ok);

    QCOMPARE(entriesOf(dir.data), expectedFileNames());
    for (int i = 0; i < kSlotCount; ++i)
        QCOMPARE(bytesOf(dir.file(i)), plainSlotFile(stockTable()[i].caption));

    Catalogue second(dir.path);
    QVERIFY(second.load().complete());
    QCOMPARE(second.captions(), stockCaptions());
}

void TestCatalogue::unreadableSlotResetsOnlyThatSlot_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("damage");
    QTest::newRow("7 missing") << 7 << "missing";
    QTest::newRow("0 missing") << 0 << "missing";
    QTest::newRow("18 missing") << 18 << "missing";
    QTest::newRow("7 empty") << 7 << "empty";
    QTest::newRow("7 truncated") << 7 << "truncated";
    QTest::newRow("7 binary junk") << 7 << "junk";
    QTest::newRow("7 is a folder") << 7 << "folder";
}

void TestCatalogue::unreadableSlotResetsOnlyThatSlot() {
    QFETCH(int, slot);
    QFETCH(QString, damage);
    ProgramDir dir;
    dir.seed(userCaptions());
    const QString file = dir.file(slot);
    QFile::remove(file);
    if (damage == u"empty")
        QVERIFY(writeBytes(file, {}));
    else if (damage == u"truncated")
        QVERIFY(writeBytes(file, rtf::write(QStringLiteral("Lost - Song")).left(60)));
    else if (damage == u"junk")
        QVERIFY(writeBytes(file, QByteArray("\x00\xff\xfe{\\rtf1 \x01}}}{", 13)));
    else if (damage == u"folder")
        QVERIFY(QDir().mkdir(file));

    Catalogue catalogue(dir.path);
    const Catalogue::LoadResult loaded = catalogue.load();
    QCOMPARE(loaded.resetSlots, QVector<int>{slot});
    QStringList expected = userCaptions();
    expected[slot] = stockTable()[slot].caption;
    QCOMPARE(catalogue.captions(), expected);

    if (damage == u"folder")
        return; // a folder in the way cannot be replaced; see the save tests
    QVERIFY(catalogue.save().ok);
    QCOMPARE(dir.readBack(), expected);
}

void TestCatalogue::captionsSurviveARoundTrip_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty") << QString();
    QTest::newRow("separator only") << QStringLiteral(" - ");
    QTest::newRow("two lines") << QStringLiteral("Song name\nOn two lines - Artist");
    QTest::newRow("blank line inside") << QStringLiteral("Top\n\nBottom");
    QTest::newRow("ends in a line break") << QStringLiteral("Song - Artist\n");
    QTest::newRow("blanks kept") << QStringLiteral("  Song  -  Artist  ");
    QTest::newRow("tab") << QStringLiteral("Song\t- Artist");
    QTest::newRow("windows-1252") << QStringLiteral("Café Señor – “Ünïcode” €");
    QTest::newRow("outside windows-1252") << QStringLiteral("Снег - 雪 - ☃ - 🛹");
    QTest::newRow("braces and backslashes")
        << QStringLiteral("{\\rtf1 \\par} \\'41 \\u65? \\\\ {}");
    QTest::newRow("long") << QStringLiteral("x").repeated(5000);
}

void TestCatalogue::captionsSurviveARoundTrip() {
    QFETCH(QString, caption);
    ProgramDir dir;
    Catalogue catalogue(dir.path);
    catalogue.resetToStock();
    catalogue.setSlot(5, caption);
    QVERIFY(catalogue.save().ok);

    Catalogue again(dir.path);
    QVERIFY(again.load().complete());
    QCOMPARE(again.slot(5), caption);
    QCOMPARE(again.captions(), catalogue.captions());
}

void TestCatalogue::slotFilesAreNumberedWithoutPadding() {
    ProgramDir dir;
    Catalogue catalogue(dir.path);
    for (int i = 0; i < kSlotCount; ++i)
        catalogue.setSlot(i, QStringLiteral("caption of slot %1").arg(i));
    QVERIFY(catalogue.save().ok);
    QCOMPARE(entriesOf(dir.data), expectedFileNames());
    for (int i = 0; i < kSlotCount; ++i)
        QCOMPARE(rtf::read(bytesOf(dir.file(i))).text, QStringLiteral("caption of slot %1").arg(i));
}

void TestCatalogue::unwritableDataFolderIsReported_data() {
    QTest::addColumn<bool>("dataIsAFile");
    QTest::newRow("data is a file") << true;
    QTest::newRow("read-only data folder") << false;
}

void TestCatalogue::unwritableDataFolderIsReported() {
    QFETCH(bool, dataIsAFile);
    ProgramDir dir;
    if (dataIsAFile) {
        QVERIFY(QDir(dir.data).removeRecursively());
        QVERIFY(writeBytes(dir.data, "not a folder"));
    } else {
        dir.seed(userCaptions());
        QVERIFY(QFile::setPermissions(dir.data, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(dir.data + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(dir.data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user (root?) writes into read-only folders; the \"data is a file\" row "
                  "covers the failure");
        }
    }

    Catalogue catalogue(dir.path);
    catalogue.load();
    catalogue.setSlot(3, QStringLiteral("New - Name"));
    const Catalogue::SaveResult saved = catalogue.save();
    QFile::setPermissions(dir.data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(!saved.ok);
    QCOMPARE(saved.failedSlots.size(), kSlotCount);
    QCOMPARE(QDir::fromNativeSeparators(saved.folder), dir.data); // "\\data" on Windows
    QVERIFY(!saved.reason.isEmpty());
    QVERIFY(mediaed::saveFailureMessage(saved).contains(QDir::toNativeSeparators(dir.data)));
    // Nothing on disk changed, and the catalogue in memory is kept.
    if (dataIsAFile)
        QCOMPARE(bytesOf(dir.data), QByteArray("not a folder"));
    else
        QCOMPARE(dir.readBack(), userCaptions());
    QCOMPARE(catalogue.slot(3), QStringLiteral("New - Name"));
}

void TestCatalogue::oneUnwritableSlotDoesNotStopTheOthers() {
    ProgramDir dir;
    QVERIFY(QDir().mkdir(dir.file(5)));
    Catalogue catalogue(dir.path);
    for (int i = 0; i < kSlotCount; ++i)
        catalogue.setSlot(i, QStringLiteral("Kept %1").arg(i));
    const Catalogue::SaveResult saved = catalogue.save();
    QVERIFY(!saved.ok);
    QCOMPARE(saved.failedSlots, QVector<int>{5});
    QVERIFY(saved.reason.contains(QStringLiteral("5.dat")));
    for (int i = 0; i < kSlotCount; ++i)
        if (i != 5)
            QCOMPARE(rtf::read(bytesOf(dir.file(i))).text, QStringLiteral("Kept %1").arg(i));
    QVERIFY(QFileInfo(dir.file(5)).isDir());
}

void TestCatalogue::loadRemovesOnlyStaleTemporaries() {
    ProgramDir dir;
    dir.seed(userCaptions());
    // Only the writer's own temporaries go; the names it may match are tested with the writer.
    const QStringList stale{".ovra3-tmp-Ab12Cd"};
    const QStringList kept{"notes.txt", "3.dat.Ab12Cd", "5.dat.backup", "12.dat.orig01"};
    for (const QString& name : stale + kept)
        QVERIFY(writeBytes(dir.data + u'/' + name, "half a file"));
    Catalogue catalogue(dir.path);
    QVERIFY(catalogue.load().complete());
    QCOMPARE(catalogue.captions(), userCaptions());
    QSet<QString> expected = expectedFileNames();
    for (const QString& name : kept)
        expected << name;
    QCOMPARE(entriesOf(dir.data), expected);
}

#ifdef Q_OS_UNIX
// Installed where it cannot write: the slot files a packager shipped are read, and the catalogue
// is saved in the per-user folder, whose files win from then on.
void TestCatalogue::installedCopyKeepsItsCataloguePerUser() {
    SmallFileSystem program;
    if (!program.skip.isEmpty())
        QSKIP(qPrintable(program.skip));
    QVERIFY(QDir().mkpath(program.dir.filePath("data")));
    QVERIFY(writeBytes(program.dir.filePath("data/3.dat"), rtf::write("Shipped - Caption")));
    QVERIFY(program.makeReadOnly());
    QTemporaryDir config;
    const ScopedEnv xdg("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    Catalogue catalogue(program.dir.path());
    const Catalogue::LoadResult loaded = catalogue.load();
    QCOMPARE(catalogue.slot(3), QStringLiteral("Shipped - Caption"));
    QCOMPARE(loaded.resetSlots.size(), kSlotCount - 1);
    catalogue.setSlot(5, QStringLiteral("Mine - Now"));
    QVERIFY(catalogue.save().ok);
    const QString perUser = config.filePath("Ovra3/data");
    QCOMPARE(entriesOf(perUser), expectedFileNames());
    QCOMPARE(rtf::read(bytesOf(perUser + "/5.dat")).text, QStringLiteral("Mine - Now"));

    Catalogue again(program.dir.path());
    QVERIFY(again.load().complete());
    QCOMPARE(again.slot(5), QStringLiteral("Mine - Now"));
}
#endif

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
