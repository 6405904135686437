#include "discimage/discimage.h"
#include "installation/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

using discimage::Image;

namespace {

const QString kSkater = QStringLiteral("setup\\data\\data\\anims\\skater_m");
const QString kTree = QStringLiteral("Setup/DATA/data/Anims/skater_m/");
// The names in kTree as Rock Ridge and ISO 9660:1999 keep them, and as Joliet has them.
const QStringList kTreeNames = {"Big.ska",     "Dup.ska", "Empty.ska",
                                "Trick01.ska", "dup.ska", "semi;colon.ska"};
const QStringList kJolietNames = {"Big.ska",     "Dup.ska", "Empty.ska",
                                  "Trick01.ska", "dup.ska", "semi_colon.ska"};
// The one name of the second tree that plain ISO 9660 names cannot hold.
const QString kAccented = QStringLiteral("Ollié.ska");
constexpr qsizetype kSector = 2048;
constexpr qsizetype kRoot = 156; // the root's entry in a volume descriptor

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.generate());
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

quint32 le32(const QByteArray& bytes, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

void setLe32(QByteArray& bytes, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

QByteArray sector(const QByteArray& image, int n) {
    return image.mid(n * kSector, kSector);
}

void putSector(QByteArray& image, int n, const QByteArray& data) {
    image.replace(n * kSector, kSector, data);
}

// The process's peak of address space, where the system tells it: an allocation as large as a
// hostile folder's size shows there even when none of it is touched.
std::optional<qint64> peakMemory() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
    return std::nullopt;
}

// Every entry of a tree folder by folder, in the notation of Image::list: "a/b" -> names,
// folders with a '/'.
QMap<QString, QStringList> treeListing(const QString& top) {
    QMap<QString, QStringList> folders;
    QDirIterator it(top, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList paths = {top};
    while (it.hasNext())
        paths << it.next();
    for (const QString& path : paths) {
        QStringList names;
        for (const QFileInfo& e : QDir(path).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
            names << e.fileName() + (e.isDir() ? "/" : "");
        const QString relative = QDir(top).relativeFilePath(path);
        folders.insert(relative == u'.' ? QString() : relative, names);
    }
    return folders;
}

// Reads a whole file through the sink, checking the chunk sizes on the way.
QString readAll(const Image& image, const QString& path, QByteArray* out) {
    return image.read(path, [out](const char* data, qint64 size) {
        if (size <= 0 || size > discimage::kChunkSize)
            return false;
        out->append(data, size);
        return true;
    });
}

} // namespace

class TestDiscImage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void contents_data();
    void contents();
    void makers_data();
    void makers();
    void descriptors_data();
    void descriptors();
    void refused_data();
    void refused();
    void everyCutEndsCleanly();

private:
    QString image(const QString& name) const { return dir.filePath(name + ".iso"); }
    QByteArray bytes(const QString& name) const {
        QFile f(image(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A changed copy of an image, written beside it.
    QString variant(const QString& name, const QByteArray& content) const {
        const QString path = dir.filePath(name);
        return writeFile(path, content) ? path : QString();
    }

    QTemporaryDir dir;
    QHash<QString, QByteArray> sources;
};

void TestDiscImage::initTestCase() {
    const QString maker = QStandardPaths::findExecutable(QStringLiteral("genisoimage"));
    QVERIFY2(!maker.isEmpty(), "genisoimage is missing: run scripts/setup");
    // One big file crosses many chunks and ends inside one; two differ only by case; one
    // name holds characters that Joliet cannot.
    sources = {{"Trick01.ska", "trick one\r\n"},
               {"Big.ska", randomBytes(3 * 1024 * 1024 + 1001, 7)},
               {"Empty.ska", {}},
               {"Dup.ska", "upper"},
               {"dup.ska", "lower case"},
               {"semi;colon.ska", "x"}};
    QVERIFY(QDir(dir.path()).mkpath("src/" + kTree));
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        QVERIFY(writeFile(dir.filePath("src/" + kTree + it.key()), it.value()));
    // Two folders that differ only by case, each with a file that tells them apart.
    for (const QString path :
         {"src/Setup/DATA/data/Movies/Upper.mpg", "src/Setup/DATA/data/movies/lower.mpg"})
        QVERIFY(QDir(dir.path()).mkpath(QFileInfo(path).path()) &&
                writeFile(dir.filePath(path), {}));
    const QList<std::pair<QString, QStringList>> kinds = {{"plain", {}},
                                                          {"joliet", {"-J"}},
                                                          {"rock", {"-R"}},
                                                          {"both", {"-R", "-J"}},
                                                          {"joliet4", {"-J", "-iso-level", "4"}}};
    for (const auto& [name, options] : kinds) {
        QProcess make;
        make.start(maker, options + QStringList{"-quiet", "-o", image(name), dir.filePath("src")});
        QVERIFY(make.waitForFinished(60000));
        QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());
    }

    // A small tree for every maker: ISO 9660 names fit all but one.
    const QString tree = dir.filePath("tree/");
    QVERIFY(QDir(dir.path()).mkpath("tree/setup/data/data/anims/skater_m") &&
            QDir(dir.path()).mkpath("tree/setup/data/data/movies"));
    for (const QString name : {"Trick01.ska", "Ollie.ska", "Kickflip.ska", "Grind50.ska"})
        QVERIFY(writeFile(tree + "setup/data/data/anims/skater_m/" + name, name.toUtf8()));
    QVERIFY(writeFile(tree + "setup/data/data/anims/skater_m/" + kAccented, "accented\r\n"));
    QVERIFY(writeFile(tree + "setup/data/data/movies/Intro.mpg", "movie"));
    QVERIFY(writeFile(tree + "ReadMe.txt", "read me"));
}

void TestDiscImage::contents_data() {
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("names"); // sorted, folders with a '/'; none: no such folder
    QTest::addColumn<QString>("file");      // to read from the folder
    QTest::addColumn<QString>("source");    // whose bytes it must give; none: no such file

    const QStringList plain = {"BIG.SKA",   "DUP.SKA",      "DUP000.SKA",
                               "EMPTY.SKA", "SEMI_COL.SKA", "TRICK01.SKA"};
    QTest::newRow("plain names, other case") << "plain" << kSkater << plain << "trick01.ska"
                                             << "Trick01.ska";
    QTest::newRow("plain, many chunks") << "plain" << kSkater.toUpper() << plain << "BIG.SKA"
                                        << "Big.ska";
    QTest::newRow("plain, empty file") << "plain" << kSkater << plain << "Empty.ska"
                                       << "Empty.ska";
    QTest::newRow("plain root") << "plain"
                                << "" << QStringList{"SETUP/"} << ""
                                << "";
    QTest::newRow("joliet") << "joliet"
                            << "SETUP\\Data\\data\\ANIMS\\Skater_M" << kJolietNames << "TRICK01.SKA"
                            << "Trick01.ska";
    QTest::newRow("rock ridge, first in code order") << "rock" << kSkater << kTreeNames << "DUP.SKA"
                                                     << "Dup.ska";
    QTest::newRow("rock ridge, exact spelling") << "rock" << kSkater << kTreeNames << "dup.ska"
                                                << "dup.ska";
    QTest::newRow("rock ridge folder, exact spelling")
        << "rock"
        << "setup\\data\\data\\movies" << QStringList{"lower.mpg"} << ""
        << "";
    QTest::newRow("rock ridge folder, first in code order")
        << "rock"
        << "SETUP\\DATA\\DATA\\MOVIES" << QStringList{"Upper.mpg"} << ""
        << "";
    QTest::newRow("rock ridge before joliet")
        << "both"
        << "\\" + kSkater + "\\" << kTreeNames << "SEMI;COLON.SKA"
        << "semi;colon.ska";
    QTest::newRow("missing folder") << "rock"
                                    << "setup\\data\\nothere" << QStringList() << ""
                                    << "";
    QTest::newRow("file as folder") << "plain" << kSkater + "\\trick01.ska" << QStringList() << ""
                                    << "";
    QTest::newRow("missing file") << "joliet" << kSkater << kJolietNames << "nothere.ska"
                                  << "";
    QTest::newRow("folder as file") << "rock"
                                    << "setup\\data" << QStringList{"data/"} << "data"
                                    << "";
}

void TestDiscImage::contents() {
    QFETCH(QString, image);
    QFETCH(QString, folder);
    QFETCH(QStringList, names);
    QFETCH(QString, file);
    QFETCH(QString, source);

    QString error;
    const auto disc = Image::open(this->image(image), ovra::paths::caseMatcher, &error);
    QVERIFY2(disc, qPrintable(error));
    QVERIFY(discimage::isImage(this->image(image)));

    const auto entries = disc->list(folder, &error);
    if (names.isEmpty()) {
        QVERIFY(!entries);
        QVERIFY2(error.contains("There is no folder"), qPrintable(error));
    } else {
        QVERIFY2(entries, qPrintable(error));
        QStringList listed;
        for (const discimage::Entry& e : *entries)
            listed << e.name + (e.directory ? "/" : "");
        listed.sort();
        QCOMPARE(listed, names);
    }
    if (file.isEmpty())
        return;
    const QString path = folder + "\\" + file;
    QByteArray got;
    error = readAll(*disc, path, &got);
    if (source.isEmpty()) {
        QCOMPARE(disc->fileSize(path), std::nullopt);
        QVERIFY2(error.contains("There is no"), qPrintable(error));
        return;
    }
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(got, sources.value(source));
    QCOMPARE(disc->fileSize(path), std::optional<qint64>(got.size()));
}

// Every maker's image of one tree, with and without the extensions: the same folders, the names
// the image keeps, the bytes of a file whose name plain ISO 9660 cannot hold.
void TestDiscImage::makers_data() {
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("capitals");    // plain ISO 9660 names
    QTest::addColumn<QString>("accented"); // kAccented as the image names it

    const QList<std::pair<QString, QStringList>> variants = {
        {"plain", {}},
        {"joliet", {"-J"}},
        {"rock ridge", {"-R"}},
        {"joliet and rock ridge", {"-J", "-R"}},
        {"ISO 9660:1999", {"-iso-level", "4"}},
        {"joliet and ISO 9660:1999", {"-J", "-iso-level", "4"}}};
    for (const auto& [name, options] : variants) {
        // genisoimage replaces each byte of the é in a plain name, and cannot convert names
        // for Joliet at ISO level 4: it takes each byte for a Latin-1 letter.
        const bool plain = options.isEmpty();
        const bool level4Joliet = options.contains("-J") && options.contains("-iso-level");
        const QString accented = plain          ? QStringLiteral("OLLI__.SKA")
                                 : level4Joliet ? QString::fromLatin1(kAccented.toUtf8())
                                                : kAccented;
        QTest::newRow(qPrintable("genisoimage " + name))
            << "genisoimage" << options << plain << accented;
    }
    // xorriso writes Rock Ridge always.
    for (const auto& [name, options] : variants)
        QTest::newRow(qPrintable("xorriso " + name)) << "xorriso" << options << false << kAccented;
}

void TestDiscImage::makers() {
    QFETCH(QString, maker);
    QFETCH(QStringList, options);
    QFETCH(bool, capitals);
    QFETCH(QString, accented);

    const QString program = QStandardPaths::findExecutable(maker);
    if (program.isEmpty())
        QSKIP(qPrintable(maker + " is not installed (scripts/setup installs it)"));
    const QString iso = dir.filePath(QStringLiteral("made.iso"));
    QFile::remove(iso);
    QStringList arguments = options + QStringList{"-quiet", "-o", iso, dir.filePath("tree")};
    if (maker == "xorriso")
        arguments = QStringList{"-as", "mkisofs"} + arguments;
    QProcess make;
    // Both read file names in the locale's character set.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    make.setProcessEnvironment(environment);
    make.start(program, arguments);
    QVERIFY(make.waitForFinished(60000));
    QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());

    QString error;
    const auto disc = Image::open(iso, ovra::paths::caseMatcher, &error);
    QVERIFY2(disc, qPrintable(error));
    const QMap<QString, QStringList> tree = treeListing(dir.filePath("tree"));
    for (auto folder = tree.cbegin(); folder != tree.cend(); ++folder) {
        QStringList expected;
        for (const QString& name : folder.value())
            expected << (name == kAccented ? accented : capitals ? name.toUpper() : name);
        expected.sort();
        const auto entries = disc->list(folder.key(), &error);
        QVERIFY2(entries, qPrintable(error));
        QStringList listed;
        for (const discimage::Entry& e : *entries)
            listed << e.name + (e.directory ? "/" : "");
        listed.sort();
        QCOMPARE(listed, expected);
    }
    QByteArray got;
    error = readAll(*disc, kSkater + "\\" + accented, &got);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(got, QByteArray("accented\r\n"));
}

// Images whose volume descriptors are arranged otherwise than usual: each opens and lists what
// the library reads, or is refused for its own reason, fast and without a large allocation.
void TestDiscImage::descriptors_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("names"); // of kSkater, sorted; none: refused on opening
    QTest::addColumn<QString>("fragment");

    // genisoimage -J -iso-level 4: ISO 9660:1999 at 17, Joliet at 18, the terminator at 19,
    // then a free sector. -J alone: Joliet at 17, the terminator at 18.
    const QByteArray level4 = bytes("joliet4");
    const QByteArray joliet = bytes("joliet");
    QVERIFY(level4[17 * kSector] == 2 && level4[17 * kSector + 88] == 0 &&
            level4.mid(18 * kSector + 88, 3) == "%/E" && uchar(level4[19 * kSector]) == 0xff &&
            sector(level4, 20) == QByteArray(kSector, 0));
    QVERIFY(joliet.mid(17 * kSector + 88, 3) == "%/E" && uchar(joliet[18 * kSector]) == 0xff &&
            sector(joliet, 19) == QByteArray(kSector, 0));
    const quint32 huge = 0xfffff800; // 4 GiB less a sector

    // The descriptor at 17 leads to a good Joliet folder, the library's one to another.
    QByteArray hugeRoot = level4;
    hugeRoot.replace(17 * kSector + kRoot, 34, level4.mid(18 * kSector + kRoot, 34));
    QByteArray badRoot = hugeRoot;
    setLe32(hugeRoot, 18 * kSector + kRoot + 10, huge);
    setLe32(badRoot, 18 * kSector + kRoot + 2, 16); // the primary descriptor as a folder
    QTest::newRow("Joliet root of 4 GiB behind another descriptor")
        << variant("d-huge.iso", hugeRoot) << QStringList() << "out of range";
    QTest::newRow("damaged Joliet root behind another descriptor")
        << variant("d-bad.iso", badRoot) << QStringList() << "shorter than its fixed fields";

    QByteArray third = level4;
    putSector(third, 20, sector(level4, 19));
    putSector(third, 19, sector(level4, 18));
    putSector(third, 18, sector(level4, 17));
    QTest::newRow("Joliet third") << variant("d-third.iso", third) << kJolietNames << "";

    // A second Joliet descriptor sets the level the library reads names at, not the root.
    QByteArray second = sector(joliet, 17);
    second[88 + 2] = '@';
    setLe32(second, kRoot + 10, huge);
    QByteArray twoJoliet = joliet;
    putSector(twoJoliet, 19, sector(joliet, 18));
    putSector(twoJoliet, 18, second);
    QTest::newRow("second Joliet descriptor")
        << variant("d-second.iso", twoJoliet) << kJolietNames << "";

    QByteArray afterEnd = level4;
    QByteArray late = sector(level4, 18);
    setLe32(late, kRoot + 10, huge);
    putSector(afterEnd, 18, sector(level4, 19));
    putSector(afterEnd, 19, late);
    QTest::newRow("Joliet after the terminator")
        << variant("d-late.iso", afterEnd) << kTreeNames << "";

    QByteArray boot(kSector, 0);
    boot.replace(1, 6, "CD001\x01");
    QByteArray endless = bytes("plain").left(17 * kSector);
    for (int i = 0; i < 4096; ++i)
        endless += boot;
    QTest::newRow("no terminator")
        << variant("d-endless.iso", endless) << QStringList() << "do not end";
    QTest::newRow("cut inside a descriptor")
        << variant("d-cut.iso", joliet.left(17 * kSector + 100)) << QStringList()
        << "ends inside a volume descriptor";
}

void TestDiscImage::descriptors() {
    QFETCH(QString, path);
    QFETCH(QStringList, names);
    QFETCH(QString, fragment);

    const auto before = peakMemory();
    QElapsedTimer clock;
    clock.start();
    QString error;
    const auto disc = Image::open(path, ovra::paths::caseMatcher, &error);
    const auto entries = disc ? disc->list(kSkater, &error) : std::nullopt;
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    if (before)
        QVERIFY2(*peakMemory() - *before < 64 * 1024 * 1024, "a large allocation");
    if (names.isEmpty()) {
        QVERIFY(!disc);
        QVERIFY2(error.contains(fragment), qPrintable(error));
        return;
    }
    QVERIFY2(entries, qPrintable(error));
    QStringList listed;
    for (const discimage::Entry& e : *entries)
        listed << e.name;
    listed.sort();
    QCOMPARE(listed, names);
}

void TestDiscImage::refused_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("looksLikeImage");
    QTest::addColumn<QString>("stage"); // open, list (of kSkater), read (of Big.ska), write
    QTest::addColumn<QString>("fragment");

    const QByteArray plain = bytes("plain");
    const qsizetype head = 17 * 2048;
    const qsizetype root = le32(plain, 16 * 2048 + 158) * 2048;
    const qsizetype setup = plain.indexOf("SETUP", root) - 33; // its entry in the root
    const qsizetype skater = plain.indexOf("TRICK01.SKA;1") - 33;
    const qsizetype big = plain.indexOf(sources.value("Big.ska").left(64));
    QVERIFY(root > head && setup > root && skater > setup && big > skater);

    QTest::newRow("missing") << dir.filePath("nothere.iso") << false << "open"
                             << "does not exist";
    QTest::newRow("folder") << dir.path() << false << "open"
                            << "is not a file";
#if defined(Q_OS_UNIX)
    const QString fifo = dir.filePath("fifo.iso");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("fifo") << fifo << false << "open"
                          << "is not a file";
#endif
    QTest::newRow("text") << variant("text.iso", QByteArray(40000, 'a')) << false << "open"
                          << "not a CD image";
    QTest::newRow("garbage") << variant("garbage.iso", randomBytes(64 * 1024, 1)) << false << "open"
                             << "not a CD image";
    QTest::newRow("cut before the descriptor")
        << variant("cut16.iso", plain.left(16 * 2048 + 100)) << false << "open"
        << "not a CD image";
    QTest::newRow("garbage after the descriptor")
        << variant("garbage17.iso", plain.left(head) + randomBytes(64 * 1024, 2)) << true << "open"
        << "damaged or incomplete";
    QTest::newRow("cut inside the root")
        << variant("cutroot.iso", plain.left(root + 100)) << true << "open"
        << "damaged or incomplete";
    QTest::newRow("cut inside a folder's entries")
        << variant("cutfolder.iso", plain.left(skater + 40)) << true << "list"
        << "damaged or incomplete";
    QTest::newRow("cut inside a file")
        << variant("cutfile.iso", plain.left(big + 1024 * 1024 + 5)) << true << "read"
        << "the image is incomplete";

    QByteArray looped = plain;
    setLe32(looped, setup + 2, root / 2048);
    QTest::newRow("folder loop") << variant("loop.iso", looped) << true << "list"
                                 << "loop back";
    QByteArray huge = plain;
    setLe32(huge, setup + 10, 0xfffff800);
    QTest::newRow("huge folder") << variant("huge.iso", huge) << true << "list"
                                 << "out of range";
    // A folder's sector filled with copies of its "." entry, the last of which claims to run
    // 4 bytes into the next sector (past the end of a one-sector folder).
    QByteArray pastSector = plain;
    const qsizetype sectorStart = skater - skater % 2048, sectorEnd = sectorStart + 2048;
    const QByteArray self = plain.mid(sectorStart, 34);
    QVERIFY(uchar(self[0]) == 34 && self[32] == 1);
    qsizetype end = sectorStart;
    while (uchar(plain[end]) != 0)
        end += uchar(plain[end]);
    for (; end + 2 * 34 <= sectorEnd; end += 34)
        pastSector.replace(end, 34, self);
    pastSector.replace(end, 34, self);
    pastSector[end] = char(sectorEnd - end + 4);
    QTest::newRow("entry past its sector")
        << variant("pastsector.iso", pastSector) << true << "list"
        << "runs past the end of its sector";
    QByteArray longName = plain;
    longName[skater + 32] = char(250); // the name's length
    QTest::newRow("name past its entry") << variant("longname.iso", longName) << true << "list"
                                         << "damaged or incomplete";
    // A movies folder renamed "anims": the library would take ANIMS by its translated name.
    QByteArray confusing = plain;
    const qsizetype movies = plain.indexOf("MOVIE000", root);
    QVERIFY(movies > root);
    confusing.replace(movies, 8, QByteArray("anims\0\0\0", 8));
    QTest::newRow("folders the library confuses")
        << variant("confusing.iso", confusing) << true << "list"
        << "share a name";
    QByteArray rock = bytes("rock");
    const qsizetype nm = rock.indexOf("Trick01.ska") - 5;
    QVERIFY(rock.mid(nm, 2) == "NM");
    rock[nm + 2] = 4; // a whole field header but no flags: the decoder's copy would not stop
    rock[nm + 6] = 0; // where a zero-length field would end the walk
    QTest::newRow("short rock ridge name") << variant("nm.iso", rock) << true << "list"
                                           << "Rock Ridge field";
    // The same name field made a link whose first component is empty: the decoder would start
    // the link's text twice and lose the first.
    QByteArray link = bytes("rock");
    link.replace(nm, 2, "SL");
    link.replace(nm + 4, 3, QByteArray("\0\0\0", 3)); // no flags; a plain component, empty
    link[nm + 7] = 0;
    link[nm + 8] = char(uchar(link[nm + 2]) - 5 - 4); // then one that fills the field
    QTest::newRow("link with an empty component") << variant("sl.iso", link) << true << "list"
                                                  << "Rock Ridge field";
    QTest::newRow("write failed") << image("plain") << true << "write"
                                  << "write failed";
}

void TestDiscImage::refused() {
    QFETCH(QString, path);
    QFETCH(bool, looksLikeImage);
    QFETCH(QString, stage);
    QFETCH(QString, fragment);

    QCOMPARE(discimage::isImage(path), looksLikeImage);
    QString error;
    const auto disc = Image::open(path, ovra::paths::caseMatcher, &error);
    if (stage == "open") {
        QVERIFY(!disc);
        QVERIFY2(error.contains(fragment), qPrintable(error));
        return;
    }
    QVERIFY2(disc, qPrintable(error));
    const auto entries = disc->list(kSkater, &error);
    if (stage == "list") {
        QVERIFY(!entries);
        QVERIFY2(error.contains(fragment), qPrintable(error));
        return;
    }
    QVERIFY2(entries, qPrintable(error));
    QByteArray got;
    error = stage == "write"
                ? disc->read(kSkater + "\\big.ska", [](const char*, qint64) { return false; })
                : readAll(*disc, kSkater + "\\big.ska", &got);
    QVERIFY2(error.contains(fragment), qPrintable(error));
}

// Cut anywhere in the folders and the first file, an image fails with a message or gives
// whole files, never a crash or fewer bytes than it announced.
void TestDiscImage::everyCutEndsCleanly() {
    const QByteArray plain = bytes("rock");
    const qsizetype end = plain.indexOf(sources.value("Big.ska").left(64)) + 3000;
    const QString path = dir.filePath("cut.iso");
    for (qsizetype cut = 16 * 2048; cut < end; cut += 999) {
        QVERIFY(writeFile(path, plain.left(cut)));
        QString error;
        const auto disc = Image::open(path, ovra::paths::caseMatcher, &error);
        QVERIFY(disc || !error.isEmpty());
        const auto entries = disc ? disc->list(kSkater, &error) : std::nullopt;
        QVERIFY(!disc || entries || !error.isEmpty());
        for (const discimage::Entry& e : entries.value_or(QList<discimage::Entry>())) {
            QByteArray got;
            error = readAll(*disc, kSkater + "\\" + e.name, &got);
            QVERIFY2(error.isEmpty() ? got.size() == e.size : !error.isEmpty(), qPrintable(e.name));
        }
    }
}

QTEST_GUILESS_MAIN(TestDiscImage)
#include "tst_discimage.moc"
