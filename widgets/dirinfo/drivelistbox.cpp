#include "drivelistbox.h"

#include <QDir>
#include <QSignalBlocker>

namespace ovra {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    const QList<drivelist::Volume> volumes = drivelist::mountedVolumes();
    const QString current = drivelist::volumeRootOf(QDir::currentPath(), volumes);
    drives_ = drivelist::drives(volumes, current) + drivelist::wineEntries(drivelist::wineDrives());
    for (const drivelist::Drive& d : drives_)
        addItem(d.text, d.value);
    setCurrentIndex(drivelist::indexOfRoot(drives_, current));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            emit driveChanged(drives_[index].value);
    });
}

QString DriveListBox::drive() const {
    const int index = currentIndex();
    return index >= 0 ? drives_[index].value : QString();
}

QString DriveListBox::root() const {
    const int index = currentIndex();
    return index >= 0 ? drives_[index].root : QString();
}

bool DriveListBox::setDrive(const QString& drive) {
    const int index = drivelist::indexOfRoot(drives_, drive);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

void DriveListBox::addFolder(const QString& folder) {
    QString root = QDir::fromNativeSeparators(folder);
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    if (root.isEmpty() || drivelist::indexOfRoot(drives_, root) >= 0)
        return;
    const QString value = QDir::toNativeSeparators(root.endsWith(u'/') ? root : root + u'/');
    drives_.append({QDir::toNativeSeparators(root) + QStringLiteral(" (folder)"), value, root});
    const QSignalBlocker block(this);
    addItem(drives_.last().text, value);
}

} // namespace ovra
