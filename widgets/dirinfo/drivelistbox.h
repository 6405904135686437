#pragma once

#include "widgets/dirinfo/drivelistcore.h"

#include <QComboBox>

namespace ovra {

// A drive list: the mounted volumes (drive letters on Windows), then the Wine prefix's drives,
// starting on the drive that holds the current directory. Its value is the selected drive's
// root ending in a separator ("/media/cdrom/"; "D:\" for a Wine drive), or a disc image's path.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The selected drive's value ("/media/cdrom/", "D:\"); empty when nothing is listed.
    QString drive() const;
    // The selected drive's folder on this system, in Qt notation (a Wine drive's host folder).
    QString root() const;
    // Selects the drive whose value or root is `drive`; false when it is not listed.
    bool setDrive(const QString& drive);

    // Offers a folder that stands in for a drive (a CD copied or mounted as a folder), unless a
    // listed drive already has that root; it is not selected.
    void addFolder(const QString& folder);

    // Offers a disc image file, shown by its name and stored as its path, unless it is listed
    // already; `select` makes it the selected drive.
    void addImage(const QString& file, bool select);

    // Ends the list with "Disc image…", which asks for an image file and offers and selects the
    // one chosen; when the user cancels, the drive selected before stays selected. It asks only
    // when chosen (in the open list, or Enter or Space on it): keys and the wheel that move the
    // selection onto it ask nothing, and the drive selected before stays the value.
    void offerDiscImages();

signals:
    // The user (or setDrive) picked another drive.
    void driveChanged(const QString& drive);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int insert(const drivelist::Drive& entry); // before "Disc image…"; returns the index
    int selectedDrive() const;                 // the current index, but never "Disc image…"
    void askForImage();

    QList<drivelist::Drive> drives_;
    int imageChoice_ = -1;       // index of "Disc image…"; -1 when not offered
    int selected_ = -1;          // the last drive selected, to go back to
    QString lastImage_;          // where the file dialog starts
    bool moving_ = false;        // keys or the wheel are moving the selection: nothing is chosen
    bool onImageChoice_ = false; // the selection was moved onto "Disc image…"
};

} // namespace ovra
