#pragma once

#include "installation/installsettings.h"
#include "widgets/dirinfo/directoryinfo.h"

#include <QWidget>

class QPushButton;

namespace ovra {

class DirListBox;
class DriveListBox;

// frmDirectoryInfo: the user opens the game directory in Dir1, picks the CD drive in Drive1 and
// clicks OK, which stores both settings and closes the window (it deletes itself on close).
// The media editor's copy also has Drive2, which moves Dir1 to another drive.
class FrmDirectoryInfo : public QWidget {
    Q_OBJECT
public:
    FrmDirectoryInfo(DirectoryInfoCopy copy, const QString& programDir, QString programTitle);

private:
    void ok();
    void moveToDrive(const QString& drive);

    ovra::ProgramFolder folder_; // where OK stores the two settings
    QString programTitle_;

    DirListBox* gameFolderList_;
    DriveListBox* cdDriveList_;
    DriveListBox* gameDriveList_ = nullptr;
    QPushButton* okButton_;
    QString gameDrive_; // the game drive list's last drive the folder list could move to
};

} // namespace ovra
