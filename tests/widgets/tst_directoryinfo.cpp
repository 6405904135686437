// The Directory and Drive Info dialog through its real window, and the list cores under it. Its
// layout and focus order are checked with the other windows in tst_programwindows.
#include "installation/filelist.h"
#include "installation/installsettings.h"
#include "installation/paths.h"
#include "tests/support/scopedenv.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "widgets/dirinfo/directoryinfo.h"
#include "widgets/dirinfo/dirlistbox.h"
#include "widgets/dirinfo/dirlistcore.h"
#include "widgets/dirinfo/drivelistbox.h"
#include "widgets/dirinfo/drivelistcore.h"
#include "widgets/winlook.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <functional>
#include <optional>

using ovra::DirectoryInfoCopy;
using ovra::DirListBox;
using ovra::DriveListBox;
using ovra::drivelist::Volume;
using ovra::drivelist::WineDrive;

Q_DECLARE_METATYPE(DirectoryInfoCopy)

namespace {

const QString kDirFile = QStringLiteral("directorydata.dat");
const QString kDriveFile = QStringLiteral("drivedata.dat");

QByteArray read(const QString& path) {
    return TempInstall::bytes(path);
}

QListWidgetItem* entryNamed(DirListBox* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QPoint centreOf(DirListBox* list, QListWidgetItem* item) {
    list->scrollToItem(item);
    return list->visualItemRect(item).center();
}

// The drive a fresh list must start on: the volume holding the current directory.
QByteArray currentDriveValue() {
    const QString root = QStorageInfo(QDir::currentPath()).rootPath();
    return QDir::toNativeSeparators(root.endsWith(u'/') ? root : root + u'/').toLocal8Bit();
}

// What a real double click delivers to a widget: press, release, double click, release.
void doubleClick(DirListBox* list, QListWidgetItem* item) {
    const QPoint at = centreOf(list, item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// What the steps of a store row work on.
struct Scene {
    QString folder;                       // the suite's temporary folder
    const TempInstall* install = nullptr; // the installation, if the row has one
    QString prefix;                       // the Wine prefix, if the row has one
    DirListBox* dir1 = nullptr;
    DriveListBox* drive1 = nullptr;
    DriveListBox* drive2 = nullptr; // the media editor's copy only
    QString tmp(const QString& relative) const {
        return QDir::toNativeSeparators(folder + u'/' + relative);
    }
};
using Steps = std::function<void(Scene&)>;

} // namespace

Q_DECLARE_METATYPE(Steps)

class TestDirectoryInfo : public QObject {
    Q_OBJECT

    QString startDir_;
    QTemporaryDir tmp_;
    int unwritable_ = 0;

    QPointer<QWidget> dialog_;
    QWidget* open(DirectoryInfoCopy copy, const QString& programDir) {
        QWidget* w = ovra::look::showSingle(dialog_, [&] {
            return ovra::createDirectoryInfo(copy, programDir, QStringLiteral("Ovra3TrickEd"));
        });
        if (!QTest::qWaitForWindowExposed(w))
            qWarning("dialog not exposed");
        return w;
    }
    static void destroyPending() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString mkdir(const QString& relative) {
        const QString path = tmp_.filePath(relative);
        QDir().mkpath(path);
        return path;
    }

    // A Wine prefix whose c:, d: and z: lead to folders (d: to a CD), beside links that are no
    // drives; empty when it cannot be made.
    QString winePrefix() {
        const QString root = QFileInfo(mkdir("wine")).canonicalFilePath();
        const QString prefix = root + "/pfx", cd = mkdir("wine/cdrom");
        bool made = QDir().mkpath(prefix + "/drive_c/Games/Ovra3/data/music") &&
                    QDir().mkpath(prefix + "/dosdevices");
        const QStringList links = {"c:",  "../drive_c",        "d:",   cd,
                                   "d::", "/dev/null",         "com1", "/dev/null",
                                   "e:",  root + "/unmounted", "z:",   "/"};
        for (int i = 0; i < links.size(); i += 2)
            made = made && QFile::link(links[i + 1], prefix + "/dosdevices/" + links[i]);
        return made ? prefix : QString();
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        startDir_ = QDir::currentPath();
        cleanup();
    }

    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == u"frmDirectoryInfo")
                w->close();
        destroyPending();
        ovra::drivelist::setVolumeSource(nullptr);
        // The machine's own Wine prefix stays out of the lists.
        ovra::drivelist::setWineDriveSource([] { return QList<WineDrive>(); });
        QDir::setCurrent(startDir_);
    }

    void entriesShowAncestorsAndSubfolders() {
        const QString open = mkdir("tree/open");
        for (const char* sub : {"b", "C1", "c_2", ".hidden"})
            QDir().mkpath(open + '/' + sub);
        TempInstall::write(open + "/file.txt", "x");

        const auto list = ovra::dirlist::entries(open + '/'); // a trailing separator is no folder
        const int at = ovra::dirlist::openIndex(list);
        QCOMPARE(at, open.count(u'/'));
#ifdef Q_OS_WIN
        QCOMPARE(list.first().name, open.left(2).toLower() + u'\\'); // "c:\\", as Windows lists it
#else
        QCOMPARE(list.first().name, QStringLiteral("/"));
#endif
        for (int i = 0; i <= at; ++i) {
            QCOMPARE(list[i].level, i);
            QVERIFY(list[i].open);
        }
        QCOMPARE(list[at].path, QDir::toNativeSeparators(open));
        QCOMPARE(list[at - 1].name, QStringLiteral("tree"));
        QStringList subfolders;
        for (int i = at + 1; i < list.size(); ++i) {
            QCOMPARE(list[i].level, at + 1);
            QVERIFY(!list[i].open);
            subfolders << list[i].name;
        }
        // Hidden folders too (Wine prefixes live in them), no files; the file lists' word order.
        QCOMPARE(subfolders, QStringList({".hidden", "b", "c_2", "C1"}));
    }

    void driveEntries_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("current"); // the current directory
        QTest::addColumn<QString>("text");    // empty: not listed
        QTest::addColumn<QString>("value");
        const auto row = [](const char* tag, const char* root, const char* type,
                            const char* current, const char* text, const char* value) {
            QTest::newRow(tag) << QString(root) << QByteArray(type) << QString(current)
                               << QString(text) << QString(value);
        };
#ifdef Q_OS_WIN
        // Every drive letter is a drive; the text is a Windows drive list's, the value a path
        // to which the CD literals append.
        row("hard disk", "C:/", "NTFS", "C:/Games", "c: [OVRA3]", "C:\\");
        row("cd", "D:/", "CDFS", "C:/", "d: [OVRA3]", "D:\\");
        row("cd without a disc", "E:/", "", "C:/", "e: [OVRA3]", "E:\\");
        row("mounted image, current", "F:/", "UDF", "F:/setup", "f: [OVRA3]", "F:\\");
        return;
#endif
        row("container root", "/", "overlay", "/home", "/ [OVRA3]", "/");
        row("cd", "/media/cdrom", "iso9660", "/", "/media/cdrom [OVRA3]", "/media/cdrom/");
        row("dvd", "/media/dvd/", "udf", "/", "/media/dvd [OVRA3]", "/media/dvd/");
        row("usb stick", "/run/media/u/STICK", "vfat", "/", "/run/media/u/STICK [OVRA3]",
            "/run/media/u/STICK/");
        row("proc", "/proc", "proc", "/", "", "");
        row("cgroup", "/sys/fs/cgroup/cpu", "cgroup", "/", "", "");
        row("tmpfs", "/tmp", "tmpfs", "/", "", "");
        row("tmpfs, current", "/tmp", "tmpfs", "/tmp/work", "/tmp [OVRA3]", "/tmp/");
        row("tmpfs, sibling current", "/tmp", "tmpfs", "/tmpwork", "", "");
        row("layer", "/var/lib/docker/x", "overlay", "/", "", "");
        row("user runtime", "/run/user/1000", "ext4", "/", "", "");
    }
    void driveEntries() {
        QFETCH(QString, root);
        QFETCH(QByteArray, type);
        QFETCH(QString, current);
        QFETCH(QString, text);
        QFETCH(QString, value);
        // Mounted twice over itself: listed once.
        const QList<Volume> volumes = {{root, type, "OVRA3"}, {root, type, "OVRA3"}};
        const auto drives =
            ovra::drivelist::drives(volumes, ovra::drivelist::volumeRootOf(current, volumes));
        QStringList texts, values;
        for (const auto& d : drives) {
            texts << d.text;
            values << d.value;
        }
        QCOMPARE(texts, text.isEmpty() ? QStringList() : QStringList{text});
        QCOMPARE(values, value.isEmpty() ? QStringList() : QStringList{value});
    }

    void inDriveLetters_data() {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("stored"); // empty: no drive holds it
        const auto row = [](const char* tag, const char* directory, const char* stored) {
            QTest::newRow(tag) << QString(directory) << QString(stored);
        };
        row("folder on c:", "/p/drive_c/Games/Ovra3", "C:\\Games\\Ovra3");
        row("c: itself", "/p/drive_c", "C:\\");
        row("most specific drive", "/p/drive_c/cdrom/setup", "D:\\setup");
        row("whole components only", "/p/drive_cx/Games", "");
        row("under z: only", "/usr/games/ovra3", "");
    }
    void inDriveLetters() {
        QFETCH(QString, directory);
        QFETCH(QString, stored);
        // d: lies inside c: and comes after it; z: is the host's root.
        const QList<WineDrive> drives = {
            {'c', "/p/drive_c"}, {'z', "/"}, {'d', "/p/drive_c/cdrom/"}};
        const auto letters = ovra::paths::inDriveLetters(ovra::paths::HostPath(directory), drives);
        QCOMPARE(letters ? letters->text() : QString(), stored);
    }

    // OK stores the open directory (never a merely highlighted one) and Drive1's drive, however
    // the lists got there, and the dialog is gone. A row: the machine, what the user does in the
    // lists, and the two values stored ("{tmp}": the suite's folder; "{game}", "{cd}", "{root}":
    // the installation's; "{current drive}": the drive holding the current directory).
    void okStores_data() {
        QTest::addColumn<DirectoryInfoCopy>("copy");
        // "": this one as it is; "CD mounted": an installation without settings whose CD is a
        // volume; "CD folder": one set up with its CD as a folder; "Wine prefix".
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QStringList>("folders"); // made below {tmp} first
        QTest::addColumn<QString>("current");     // the current directory; empty: left alone
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("drive");
        const auto M = DirectoryInfoCopy::MediaEditor, T = DirectoryInfoCopy::TrickEditor;
        const QStringList game{"Ovra 3/game"};
        const Steps none = [](Scene&) {};
        const QString currentDrive = QStringLiteral("{current drive}");
        for (const auto copy : {M, T}) { // a trailing separator is never stored
            const char* program = copy == M ? "media" : "trick";
            QTest::addRow("%s, folder", program)
                << copy << QString() << game << QString("{tmp}/Ovra 3/game/") << none
                << QString("{tmp}/Ovra 3/game") << currentDrive;
#ifndef Q_OS_WIN // "/" is no folder of its own there
            QTest::addRow("%s, root", program) << copy << QString() << QStringList() << QString("/")
                                               << none << QString("/") << currentDrive;
#endif
        }
        QTest::newRow("a click highlights, a double click opens")
            << T << "" << QStringList{"clicks/work/alpha", "clicks/work/beta/gamma"}
            << "{tmp}/clicks/work" << Steps([](Scene& s) {
                   QListWidgetItem* beta = entryNamed(s.dir1, "beta");
                   QTest::mouseClick(s.dir1->viewport(), Qt::LeftButton, {},
                                     centreOf(s.dir1, beta));
                   QCOMPARE(s.dir1->currentItem(), beta);
                   QCOMPARE(s.dir1->path(), s.tmp("clicks/work"));
                   QVERIFY(!entryNamed(s.dir1, "gamma"));
                   doubleClick(s.dir1, beta);
                   QCOMPARE(s.dir1->path(), s.tmp("clicks/work/beta"));
                   QVERIFY(entryNamed(s.dir1, "gamma"));
                   QVERIFY(!entryNamed(s.dir1, "alpha"));
                   // Enter on an ancestor goes back up; a subfolder is then only highlighted.
                   s.dir1->setCurrentItem(entryNamed(s.dir1, "clicks"));
                   QTest::keyClick(s.dir1, Qt::Key_Return);
                   QCOMPARE(s.dir1->path(), s.tmp("clicks"));
                   QTest::mouseClick(s.dir1->viewport(), Qt::LeftButton, {},
                                     centreOf(s.dir1, entryNamed(s.dir1, "work")));
               })
            << "{tmp}/clicks"
            << "{current drive}";
        // What the other program reads at its next start finds the installation and the CD.
        const Steps gameAndCd = [](Scene& s) {
            QListWidgetItem* game =
                entryNamed(s.dir1, QFileInfo(s.install->layout.gameDirectory).fileName());
            QVERIFY(game);
            doubleClick(s.dir1, game);
            s.drive1->setCurrentIndex(
                s.drive1->findText(QDir::cleanPath(s.install->layout.cdRoot) + " [OVRA3]"));
        };
#ifndef Q_OS_WIN // mount points and Wine prefixes are Linux's
        for (const auto copy : {M, T})
            QTest::addRow("%s, installation found", copy == M ? "media" : "trick")
                << copy << "CD mounted" << QStringList() << "{root}" << gameAndCd << "{game}"
                << "{cd}";
        // A CD kept as a folder (the demo's, or a copied disc) is no mounted volume: once set up
        // it stays pickable in Drive1, offered after the volumes and not selected.
        QTest::newRow("CD folder set up before")
            << T << "CD folder" << QStringList() << "{root}" << Steps([](Scene& s) {
                   const int folder = s.drive1->findData(s.install->layout.cdDrive);
                   QVERIFY(folder > 0);
                   QCOMPARE(s.drive1->currentData().toString(), QString("/"));
                   s.drive1->setCurrentIndex(folder);
               })
            << "{root}"
            << "{cd}";
        // Folders in a Wine prefix are stored as a copy running under Wine sees them, so the
        // settings files mean the same to both.
        QTest::newRow("Wine drives stored in letters")
            << M << "Wine prefix" << QStringList() << "" << Steps([](Scene& s) {
                   QStringList wine;
                   for (int i = 0; i < s.drive1->count(); ++i)
                       if (s.drive1->itemText(i).endsWith("(Wine)"))
                           wine << s.drive1->itemText(i) + " = " + s.drive1->itemData(i).toString();
                   QCOMPARE(wine, QStringList({"c: (Wine) = C:\\", "d: (Wine) = D:\\",
                                               "z: (Wine) = Z:\\"}));
                   // Drive2 moves Dir1 to the drive's folder; Dir1 reaches the game through the
                   // link too.
                   QVERIFY(s.drive2->setDrive("C:\\"));
                   QCOMPARE(s.dir1->path(), s.prefix + "/drive_c");
                   QVERIFY(s.dir1->setPath(s.prefix + "/dosdevices/c:/Games/Ovra3"));
                   s.drive1->setCurrentIndex(s.drive1->findText("d: (Wine)"));
               })
            << "C:\\Games\\Ovra3"
            << "D:\\";
#endif
    }
    void okStores() {
        QFETCH(DirectoryInfoCopy, copy);
        QFETCH(QString, machine);
        QFETCH(QStringList, folders);
        QFETCH(QString, current);
        QFETCH(Steps, steps);
        QFETCH(QString, directory);
        QFETCH(QString, drive);
        Scene s;
        s.folder = tmp_.path();
        std::optional<TempInstall> install;
        if (machine.startsWith("CD")) // no settings yet, unless a CD folder was set up
            install.emplace(demogen::Options(), machine == u"CD folder");
        s.install = install ? &*install : nullptr;
        QList<Volume> volumes{{"/", "ext4", ""}};
        if (machine == u"CD mounted")
            volumes << Volume{install->layout.cdRoot, "iso9660", "OVRA3"};
        if (!machine.isEmpty())
            ovra::drivelist::setVolumeSource([=] { return volumes; });
        std::optional<ScopedEnv> wine;
        if (machine == u"Wine prefix") {
            s.prefix = winePrefix();
            QVERIFY(!s.prefix.isEmpty());
            wine.emplace("WINEPREFIX", s.prefix.toLocal8Bit());
            ovra::drivelist::setWineDriveSource(nullptr);
        }
        for (const QString& folder : folders)
            mkdir(folder);
        const auto value = [&](QString v) {
            if (install)
                v.replace("{game}", install->layout.gameDirectory)
                    .replace("{cd}", install->layout.cdDrive)
                    .replace("{root}", install->layout.root);
            return v.replace("{tmp}", tmp_.path());
        };
        if (!current.isEmpty())
            QVERIFY(QDir::setCurrent(value(current)));
        const QString program =
            install ? install->programDir
                    : mkdir(QStringLiteral("program-%1").arg(QTest::currentDataTag()));
        ScriptedDialogs dialogs;
        QPointer<QWidget> dialog = open(copy, program);
        s.dir1 = dialog->findChild<DirListBox*>("Dir1");
        s.drive1 = dialog->findChild<DriveListBox*>("Drive1");
        s.drive2 = dialog->findChild<DriveListBox*>("Drive2");
        QCOMPARE(s.dir1->path(), QDir::toNativeSeparators(QDir::currentPath())); // opens there
        steps(s);
        if (QTest::currentTestFailed())
            return;
        QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);

        QCOMPARE(read(program + '/' + kDirFile),
                 QDir::toNativeSeparators(value(directory)).toLocal8Bit());
        QCOMPARE(read(program + '/' + kDriveFile),
                 drive == u"{current drive}" ? currentDriveValue() : value(drive).toLocal8Bit());
        QVERIFY(dialogs.messages.isEmpty());
        destroyPending();
        QVERIFY(!dialog); // closed and gone; the next command makes a new one
        QVERIFY(open(copy, program));
        if (directory == u"{game}") {
            const auto gameDir = ovra::readSettingFile(program, kDirFile);
            const auto cdDrive = ovra::readSettingFile(program, kDriveFile);
            QVERIFY(gameDir && cdDrive);
            ovra::FileList music(QStringLiteral("*.mus")), tricks(QStringLiteral("*.ska"));
            QVERIFY(music.setPath(ovra::paths::musicDirectory(*gameDir)));
            QVERIFY(tricks.setPath(ovra::paths::cdTrickFolder(*cdDrive)));
            QCOMPARE(music.count(), 22);
            QCOMPARE(tricks.count(), 659);
        }
    }

    void closeBoxWritesNothing_data() {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("escapeIn"); // the control Escape is pressed in; empty: close box
        QTest::newRow("no settings yet") << false << "";
        QTest::newRow("settings stored") << true << "";
        QTest::newRow("Escape, no settings yet") << false << "Dir1";
        QTest::newRow("Escape in Drive1") << true << "Drive1";
    }
    void closeBoxWritesNothing() {
        QFETCH(bool, existing);
        QFETCH(QString, escapeIn);
        const QString program =
            mkdir(QStringLiteral("program-close-%1%2").arg(existing).arg(escapeIn));
        if (existing) {
            TempInstall::write(program + '/' + kDirFile, "C:\\Games\\Ovra3");
            TempInstall::write(program + '/' + kDriveFile, "d:");
        }
        QDir::setCurrent(mkdir("close/sub"));
        QPointer<QWidget> dialog = open(DirectoryInfoCopy::MediaEditor, program);
        dialog->findChild<DirListBox*>("Dir1")->setPath(tmp_.filePath("close"));
        if (escapeIn.isEmpty()) {
            dialog->close();
        } else {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QWidget* control = dialog->findChild<QWidget*>(escapeIn);
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Escape);
        }
        destroyPending();
        QVERIFY(!dialog);
        QCOMPARE(QDir(program).entryList(QDir::Files).size(), existing ? 2 : 0);
        if (existing) {
            QCOMPARE(read(program + '/' + kDirFile), QByteArray("C:\\Games\\Ovra3"));
            QCOMPARE(read(program + '/' + kDriveFile), QByteArray("d:"));
        }
    }

    void drive2MovesDir1Only() {
#ifdef Q_OS_WIN
        QSKIP("its volumes are Linux mount points");
#endif
        const QString work = mkdir("drives/work"), cd = mkdir("drives/cdrom");
        const QString empty = tmp_.filePath("drives/empty-drive"); // mounted, but unreadable
        ovra::drivelist::setVolumeSource([=] {
            return QList<Volume>{{"/", "ext4", ""}, {cd, "iso9660", "OVRA3"}, {empty, "udf", ""}};
        });
        QDir::setCurrent(work);
        ScriptedDialogs dialogs;
        QWidget* dialog = open(DirectoryInfoCopy::MediaEditor, mkdir("program-drives"));
        auto* dir1 = dialog->findChild<DirListBox*>("Dir1");
        auto* drive1 = dialog->findChild<DriveListBox*>("Drive1");
        auto* drive2 = dialog->findChild<DriveListBox*>("Drive2");
        QCOMPARE(drive1->drive(), QStringLiteral("/"));
        QCOMPARE(drive2->drive(), QStringLiteral("/"));

        QVERIFY(drive2->setDrive(cd));
        QCOMPARE(dir1->path(), cd);
        QCOMPARE(drive1->drive(), QStringLiteral("/"));
        // Back on the current drive: its current directory, not its root.
        QVERIFY(drive2->setDrive("/"));
        QCOMPARE(dir1->path(), work);
        QVERIFY(dialogs.messages.isEmpty());

        QVERIFY(drive2->setDrive(empty));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.contains(empty + '/'));
        QCOMPARE(dir1->path(), work);
        QCOMPARE(drive2->drive(), QStringLiteral("/"));
        QCOMPARE(drive1->drive(), QStringLiteral("/"));
    }

    // "Disc image…" in Drive1 asks for an image file when chosen; the one chosen is offered and
    // selected. Keys and the wheel that only move the selection onto it ask nothing.
    void discImage_data() {
        QTest::addColumn<bool>("storedImage"); // drivedata.dat already names the image
        QTest::addColumn<QString>("how");      // how Drive1 reaches "Disc image…"; empty: not
        QTest::addColumn<QString>("answer");   // "image", "cancel"; empty: not asked
        QTest::addColumn<bool>("picked");      // Drive1 ends on the image, else on the CD
        QTest::newRow("clicked in the open list") << false << "click"
                                                  << "image" << true;
        QTest::newRow("Enter in the open list, cancelled") << false << "open list keys"
                                                           << "cancel" << false;
        QTest::newRow("stored image offered") << true << ""
                                              << "" << false;
        QTest::newRow("stored image picked again, Enter") << true << "End Enter"
                                                          << "image" << true;
        QTest::newRow("Space on it") << false << "End Space"
                                     << "image" << true;
        QTest::newRow("End") << false << "End"
                             << "" << false;
        QTest::newRow("Down from the last drive") << false << "Down"
                                                  << "" << false;
        QTest::newRow("its first letter") << false << "D"
                                          << "" << false;
        QTest::newRow("wheel") << false << "wheel"
                               << "" << false;
    }
    void discImage() {
#ifdef Q_OS_WIN
        QSKIP("Windows mounts disc images as drives: the drive list offers no image there");
#endif
        QFETCH(bool, storedImage);
        QFETCH(QString, how);
        QFETCH(QString, answer);
        QFETCH(bool, picked);
        const QString cd = mkdir("images/cdrom"), image = tmp_.filePath("images/ovra3.iso");
        QVERIFY(TempInstall::write(image, "CD001"));
        ovra::drivelist::setVolumeSource([=] {
            return QList<Volume>{{"/", "ext4", ""}, {cd, "iso9660", "OVRA3"}};
        });
        const QString program =
            mkdir(QStringLiteral("program-image-%1").arg(QTest::currentDataTag()));
        if (storedImage)
            QVERIFY(TempInstall::write(program + '/' + kDriveFile, image.toLocal8Bit()));
        ScriptedDialogs dialogs;
        QWidget* dialog = open(DirectoryInfoCopy::MediaEditor, program);
        auto* drive1 = dialog->findChild<DriveListBox*>("Drive1");
        const QString choice = QStringLiteral("Disc image…");
        QCOMPARE(dialog->findChild<DriveListBox*>("Drive2")->findText(choice), -1);
        QVERIFY(drive1->setDrive(cd)); // not the first entry, so going back is seen
        if (answer == u"image")
            dialogs.answer(image);
        else if (answer == u"cancel")
            dialogs.cancel();
        const int last = drive1->count() - 1;
        if (how == u"click" || how == u"open list keys") {
            drive1->showPopup();
            QAbstractItemView* list = drive1->view();
            QVERIFY(QTest::qWaitForWindowExposed(list->window()));
            if (how == u"click") {
                QTest::qWait(QApplication::doubleClickInterval()); // a release before is ignored
                const QPoint at = list->visualRect(list->model()->index(last, 0)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            } else {
                QTest::keyClick(list, Qt::Key_End);
                QTest::keyClick(list, Qt::Key_Return);
            }
        } else if (how == u"wheel") {
            const QPointF at = QRectF(drive1->rect()).center();
            QWheelEvent wheel(at, drive1->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(drive1, &wheel);
        } else {
            for (const QString& key : how.split(' ', Qt::SkipEmptyParts))
                QTest::keyClick(drive1, key == u"End"     ? Qt::Key_End
                                        : key == u"Down"  ? Qt::Key_Down
                                        : key == u"Enter" ? Qt::Key_Return
                                        : key == u"Space" ? Qt::Key_Space
                                                          : Qt::Key_D);
        }
        if (!how.isEmpty() && answer.isEmpty())
            QCOMPARE(drive1->currentIndex(), last); // it was reached
        QCOMPARE(dialogs.filters,
                 answer.isEmpty() ? QStringList() : QStringList{"Disc images (*.iso)|*.iso"});
        const QString value = picked ? image : cd + '/';
        QCOMPARE(drive1->drive(), value);
        // "/", the CD, the image once when offered, and "Disc image…" last.
        const bool offered = storedImage || picked;
        QCOMPARE(drive1->count(), 3 + offered);
        QCOMPARE(drive1->itemText(drive1->count() - 1), choice);
        QCOMPARE(drive1->findText("ovra3.iso (disc image)"), offered ? 2 : -1);
        QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(read(program + '/' + kDriveFile), value.toLocal8Bit());
    }

    void unwritableProgramDirectory_data() {
        QTest::addColumn<QString>("blocked"); // what stands in the way: "program", a file name
        QTest::addColumn<bool>("existing");   // whether settings were stored before
        QTest::newRow("program dir is a file") << "program" << false;
        QTest::newRow("directory file is a folder") << kDirFile << true;
        QTest::newRow("drive file is a folder") << kDriveFile << true;
        QTest::newRow("drive file is a folder, first save") << kDriveFile << false;
    }
    void unwritableProgramDirectory() {
        QFETCH(QString, blocked);
        QFETCH(bool, existing);
        const QString program = tmp_.filePath(QStringLiteral("unwritable-%1").arg(++unwritable_));
        // Nor can the per-user folder that stands in for an unwritable program folder be made.
        const QString noConfig = tmp_.filePath(QStringLiteral("no-config-%1").arg(unwritable_));
        QVERIFY(TempInstall::write(noConfig, "a file, not a folder"));
        const ScopedEnv config("XDG_CONFIG_HOME", QFile::encodeName(noConfig));
        const ScopedEnv appData("APPDATA", QFile::encodeName(noConfig)); // Windows' own
        if (blocked == u"program") {
            QVERIFY(TempInstall::write(program, "not a folder"));
        } else {
            QVERIFY(QDir().mkpath(program + '/' + blocked));
            for (const QString& name : {kDirFile, kDriveFile})
                if (existing && name != blocked)
                    QVERIFY(TempInstall::write(program + '/' + name, "old " + name.toLatin1()));
        }
        const auto snapshot = [&] {
            QStringList state;
            for (const QString& name : {kDirFile, kDriveFile}) {
                const QFileInfo info(program + '/' + name);
                state << (info.isDir()    ? "folder"
                          : info.exists() ? read(info.filePath())
                                          : "absent");
            }
            return state;
        };
        const QStringList before = snapshot();

        ScriptedDialogs dialogs;
        QPointer<QWidget> dialog = open(DirectoryInfoCopy::MediaEditor, program);
        QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].caption, QStringLiteral("Ovra3TrickEd"));
        QVERIFY(dialogs.messages[0].text.contains("could not be saved"));
        QVERIFY(dialogs.messages[0].text.contains("unchanged"));
        QCOMPARE(snapshot(), before);
        destroyPending();
        QVERIFY(dialog && dialog->isVisible()); // still open: the user can try again
    }

    // The seam every message box and file dialog of both programs goes through.
    void installationErrorGoesThroughTheSeam() {
        ScriptedDialogs scripted;
        ovra::showInstallationError(nullptr, "Ovra3TrickEd");
        QCOMPARE(scripted.messages.size(), 1);
        QCOMPARE(scripted.messages[0].caption, QString("Ovra3TrickEd"));
        QCOMPARE(scripted.messages[0].text,
                 QString("There is an error! Is your Ovra3 CD in your CD drive? Is your Ovra3 "
                         "directory specified and correct? Is your drive letter specified and "
                         "correct?"));
    }

    void filterConversion() {
        QCOMPARE(ovra::qtFilter("MP3 Audio (*.mp3)|*.mp3|MUS format (*.mus)|*.mus"),
                 QString("MP3 Audio (*.mp3);;MUS format (*.mus)"));
        QCOMPARE(ovra::qtFilter("Trick Config Files (*.tcg)|*.tcg"),
                 QString("Trick Config Files (*.tcg)"));
    }

    // Strangers name the files and folders these boxes show: as text, never as markup.
    void namesShownAsText_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("restyling markup") << "<h1>BIG<img src=x.png>.tcg";
        QTest::newRow("huge picture") << "<img width=2000000000 height=2000000000>.tcg";
        QTest::newRow("entities") << "&lt;b&gt; &amp; co.tcg";
        QTest::newRow("comment") << "<!-- hidden -->shown.tcg";
        QTest::newRow("plain") << "shared.tcg";
    }
    void namesShownAsText() {
        QFETCH(QString, name);
        const QString text =
            QStringLiteral("Apply the swaps of %1 to the installed tricks?").arg(name);
        for (auto* build : {&ovra::createMessageBox, &ovra::createQuestionBox}) {
            const std::unique_ptr<QMessageBox> box(build(nullptr, "Ovra3TrickEd", text));
            auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            QVERIFY(label);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QCOMPARE(label->text(), text);
            QVERIFY(box->sizeHint().width() < 1000 && box->sizeHint().height() < 1000);
        }
#ifdef Q_OS_UNIX // Windows holds no such folder names
        // The directory list's tool tip names the folder's path.
        const QString folder = mkdir("names/" + name);
        DirListBox list;
        QVERIFY(list.setPath(QFileInfo(folder).path()));
        QListWidgetItem* item = entryNamed(&list, name);
        QVERIFY(item);
        QTextDocument shown;
        shown.setHtml(item->toolTip());
        QCOMPARE(shown.toPlainText(), QDir::toNativeSeparators(folder));
#endif
    }

    // Closing the main window ends the program even while the dialog is open.
    void openDialogDoesNotKeepTheProgramRunning() {
        QWidget mainWindow;
        mainWindow.show();
        QVERIFY(open(DirectoryInfoCopy::TrickEditor, tmp_.path())->isVisible());
        bool keptRunning = false;
        QTimer::singleShot(0, &mainWindow, &QWidget::close);
        QTimer guard; // dies with this test, so it cannot fire in a later one
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [&] {
            keptRunning = true;
            QCoreApplication::quit();
        });
        guard.start(3000);
        QApplication::exec();
        QVERIFY(!keptRunning);
    }

    void oneInstanceKeepsItsLists() {
        QDir::setCurrent(mkdir("again/start"));
        const QString program = mkdir("program-again");
        QPointer<QWidget> first = open(DirectoryInfoCopy::MediaEditor, program);
        auto* dir1 = first->findChild<DirListBox*>("Dir1");
        QVERIFY(dir1->setPath(tmp_.filePath("again")));
        QCOMPARE(open(DirectoryInfoCopy::MediaEditor, program), first.data());
        QCOMPARE(dir1->path(), QDir::toNativeSeparators(tmp_.filePath("again")));
        first->close();
        destroyPending();
        QVERIFY(!first);
        QWidget* second = open(DirectoryInfoCopy::MediaEditor, program);
        QCOMPARE(second->findChild<DirListBox*>("Dir1")->path(),
                 QDir::toNativeSeparators(tmp_.filePath("again/start")));
    }
};

QTEST_MAIN(TestDirectoryInfo)
#include "tst_directoryinfo.moc"
