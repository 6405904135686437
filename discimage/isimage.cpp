// Telling an image from other files needs no image library, so every platform has it.
#include "discimage/discimage.h"
#include "discimage/isodirectory.h"

#include <QFile>
#include <QFileInfo>

namespace discimage {

using iso::kSectorSize;

bool isImage(const QString& hostPath) {
    // stat first: only a regular file is ever opened.
    const QFileInfo info(hostPath);
    if (!info.isFile() || info.size() < (iso::kDescriptorSector + 1) * kSectorSize)
        return false;
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(iso::kDescriptorSector * kSectorSize))
        return false;
    const QByteArray head = file.read(6);
    return head.size() == 6 && head[0] == 1 && head.mid(1) == "CD001";
}

} // namespace discimage
