#include "widgets/dirinfo/frmdirectoryinfo.h"

#include "installation/installsettings.h"
#include "installation/paths.h"
#include "widgets/dialogs.h"
#include "widgets/dirinfo/dirlistbox.h"
#include "widgets/dirinfo/dirlistcore.h"
#include "widgets/dirinfo/drivelistbox.h"
#include "widgets/winlook.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QShortcut>

namespace ovra {

namespace {

const QString kInstructions = QStringLiteral(
    "Specify your Ovra3 Directory and CD Drive and click OK. Make sure that when you choose "
    "your Ovra3 directory, that the icon is showing that the Ovra3 folder is open and it's "
    "subfolders are displayed.");

// The lists show green text on black, the highlight keeps the standard colours.
void greenOnBlack(QWidget* widget) {
    QPalette pal = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        pal.setColor(role, look::kBlack);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        pal.setColor(role, look::kGreen);
    widget->setPalette(pal);
}

} // namespace

FrmDirectoryInfo::FrmDirectoryInfo(DirectoryInfoCopy copy, const QString& programDir,
                                   QString programTitle)
    : folder_(programDir), programTitle_(std::move(programTitle)) {
    const bool media = copy == DirectoryInfoCopy::MediaEditor;
    look::setupFixedWindow(this, QStringLiteral("frmDirectoryInfo"),
                           QStringLiteral("Directory and Drive Info"), 4050, media ? 3420 : 3480);
    look::label(this, QStringLiteral("Label1"), kInstructions,
                look::twipsRect(120, 120, 3735, 975));

    gameFolderList_ = new DirListBox(this);
    look::place(gameFolderList_, QStringLiteral("Dir1"),
                look::twipsRect(120, 1200, 3735, media ? 990 : 1215));
    greenOnBlack(gameFolderList_);

    if (media) {
        gameDriveList_ = new DriveListBox(this);
        look::place(gameDriveList_, QStringLiteral("Drive2"),
                    look::twipsRect(120, 2160, 3735, 315));
        greenOnBlack(gameDriveList_);
        greenOnBlack(gameDriveList_->view());
        gameDrive_ = gameDriveList_->drive();
        connect(gameDriveList_, &DriveListBox::driveChanged, this, &FrmDirectoryInfo::moveToDrive);
        look::line(this, QStringLiteral("Line1"), 120, 2520, 3840, 2520);
    }

    cdDriveList_ = new DriveListBox(this);
    look::place(cdDriveList_, QStringLiteral("Drive1"), look::twipsRect(120, 2640, 3735, 315));
    greenOnBlack(cdDriveList_);
    greenOnBlack(cdDriveList_->view());
    // The CD already set up stays pickable (offered, not selected) where no volume names it:
    // a disc image, and without drive letters a CD copied or mounted as a folder.
    if (const auto stored =
            readSettingFile(folder_.holding(QLatin1String(kCdDriveFile)), kCdDriveFile)) {
        const QFileInfo cd(paths::hostPath(paths::GamePath(*stored)));
        if (cd.isFile())
            cdDriveList_->addImage(*stored, false);
#ifndef Q_OS_WIN
        else if (cd.isDir())
            cdDriveList_->addFolder(cd.filePath());
#endif
    }
#ifndef Q_OS_WIN // Windows mounts an image as a drive of its own, which the list then shows
    cdDriveList_->offerDiscImages();
#endif

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    look::place(okButton_, QStringLiteral("Command1"), look::twipsRect(120, 3120, 3735, 255));
    okButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &FrmDirectoryInfo::ok);

    setTabOrder(gameFolderList_, cdDriveList_);
    setTabOrder(cdDriveList_, okButton_);
    if (gameDriveList_)
        setTabOrder(okButton_, gameDriveList_);

    connect(gameFolderList_, &DirListBox::openFailed, this, [this](const QString& path) {
        dialogs().message(this, programTitle_,
                          QStringLiteral("The folder %1 cannot be opened. It may have been "
                                         "removed, or you may not be allowed to read it.")
                              .arg(path));
    });
    // Escape leaves as the close box does, storing nothing.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    gameFolderList_->setFocus();
}

void FrmDirectoryInfo::moveToDrive(const QString& drive) {
    const QList<drivelist::Volume> volumes = drivelist::mountedVolumes();
    const QString current = QDir::currentPath();
    const QString target = dirlist::directoryOnDrive(gameDriveList_->root(), current,
                                                     drivelist::volumeRootOf(current, volumes));
    if (gameFolderList_->setPath(target)) {
        gameDrive_ = drive;
        return;
    }
    // Leave Drive2 on the drive Dir1 is still on.
    {
        const QSignalBlocker block(gameDriveList_);
        gameDriveList_->setDrive(gameDrive_);
    }
    dialogs().message(this, programTitle_,
                      QStringLiteral("The drive %1 is not ready or cannot be read. Insert a disc "
                                     "or choose another drive.")
                          .arg(drive));
}

void FrmDirectoryInfo::ok() {
    const StoreResult result = storeSettings(
        folder_, drivelist::gameDirectoryValue(gameFolderList_->path()), cdDriveList_->drive());
    if (!result.ok) {
        const QString intro =
            result.unchanged
                ? QStringLiteral("The Ovra3 directory and CD drive could not be saved; the "
                                 "settings saved before are unchanged.")
                : QStringLiteral("The CD drive could not be saved, and the Ovra3 directory "
                                 "saved before could not be put back, so the two settings "
                                 "may now disagree.");
        dialogs().message(this, programTitle_,
                          intro + QStringLiteral("\n\n") + result.error +
                              QStringLiteral("\n\nMake sure that the program's folder can be "
                                             "written to, then click OK again."));
        return; // stays open, so the user can try again
    }
    close();
}

QWidget* createDirectoryInfo(DirectoryInfoCopy copy, const QString& programDir,
                             const QString& programTitle) {
    return new FrmDirectoryInfo(copy, programDir, programTitle);
}

} // namespace ovra
