#include "drivelistbox.h"

#include <QDir>

namespace ovra {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    const QList<drivelist::Volume> volumes = drivelist::mountedVolumes();
    const QString current = drivelist::volumeRootOf(QDir::currentPath(), volumes);
    drives_ = drivelist::drives(volumes, current);
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

bool DriveListBox::setDrive(const QString& drive) {
    const int index = drivelist::indexOfRoot(drives_, drive);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

} // namespace ovra
