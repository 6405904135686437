#include "widgets/dirinfo/drivelistbox.h"

#include "widgets/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <utility>

namespace ovra {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    const QList<drivelist::Volume> volumes = drivelist::mountedVolumes();
    const QString current = drivelist::volumeRootOf(QDir::currentPath(), volumes);
    drives_ = drivelist::drives(volumes, current) + drivelist::wineEntries(drivelist::wineDrives());
    for (const drivelist::Drive& d : drives_)
        addItem(d.text, d.value);
    selected_ = drivelist::indexOfRoot(drives_, current);
    setCurrentIndex(selected_);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        if (index == imageChoice_) {
            onImageChoice_ = true;
            return;
        }
        // Moving off "Disc image…" back onto the drive that stayed the value changes nothing.
        if (std::exchange(onImageChoice_, false) && index == selected_)
            return;
        selected_ = index;
        emit driveChanged(drives_[index].value);
    });
    // The closed list emits this for keys and the wheel too: only a choice in the open list
    // gets here unmarked.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index == imageChoice_ && !moving_)
            askForImage();
    });
}

void DriveListBox::keyPressEvent(QKeyEvent* event) {
    const bool choose = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                        event->key() == Qt::Key_Space;
    if (choose && imageChoice_ >= 0 && currentIndex() == imageChoice_) {
        event->accept();
        askForImage();
        return;
    }
    const QScopedValueRollback moving(moving_, true);
    QComboBox::keyPressEvent(event);
}

void DriveListBox::wheelEvent(QWheelEvent* event) {
    const QScopedValueRollback moving(moving_, true);
    QComboBox::wheelEvent(event);
}

int DriveListBox::selectedDrive() const {
    const int index = currentIndex();
    return index >= 0 && index == imageChoice_ ? selected_ : index;
}

QString DriveListBox::drive() const {
    const int index = selectedDrive();
    return index >= 0 ? drives_[index].value : QString();
}

QString DriveListBox::root() const {
    const int index = selectedDrive();
    return index >= 0 ? drives_[index].root : QString();
}

bool DriveListBox::setDrive(const QString& drive) {
    const int index = drivelist::indexOfRoot(drives_, drive);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

int DriveListBox::insert(const drivelist::Drive& entry) {
    const int at = imageChoice_ >= 0 ? imageChoice_++ : int(drives_.size());
    drives_.insert(at, entry);
    const QSignalBlocker block(this);
    insertItem(at, entry.text, entry.value);
    return at;
}

void DriveListBox::addFolder(const QString& folder) {
    QString root = QDir::fromNativeSeparators(folder);
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    if (root.isEmpty() || drivelist::indexOfRoot(drives_, root) >= 0)
        return;
    const QString value = QDir::toNativeSeparators(root.endsWith(u'/') ? root : root + u'/');
    insert({QDir::toNativeSeparators(root) + QStringLiteral(" (folder)"), value, root});
}

void DriveListBox::addImage(const QString& file, bool select) {
    const QString root = QDir::cleanPath(QDir::fromNativeSeparators(file));
    if (root.isEmpty())
        return;
    lastImage_ = file;
    int index = drivelist::indexOfRoot(drives_, root);
    if (index < 0)
        index = insert({QFileInfo(root).fileName() + QStringLiteral(" (disc image)"),
                        QDir::toNativeSeparators(file), root});
    if (select)
        setCurrentIndex(index);
}

void DriveListBox::offerDiscImages() {
    if (imageChoice_ >= 0)
        return;
    imageChoice_ = int(drives_.size());
    drives_.append({QStringLiteral("Disc image…"), QString(), QString()});
    const QSignalBlocker block(this);
    addItem(drives_.last().text);
}

void DriveListBox::askForImage() {
    // The list shows the drive chosen before while the file dialog is open, and keeps it when
    // the user cancels.
    {
        const QSignalBlocker block(this);
        setCurrentIndex(selected_);
        onImageChoice_ = false;
    }
    const std::optional<QString> file =
        dialogs().openFile(window(), QStringLiteral("Disc images (*.iso)|*.iso"), lastImage_);
    if (file && !file->isEmpty())
        addImage(*file, true);
}

} // namespace ovra
