// Windows mounts a CD image as a drive of its own (Explorer's "Mount"), so the programs read
// images there through that drive and carry no image reader: an image chosen as the CD is
// recognised and the player is told how to use it.
#include "discimage/discimage.h"

#include <QDir>

namespace discimage {

namespace {

QString mountFirst(const QString& hostPath) {
    return QStringLiteral("%1 is a CD image: Windows opens it as a drive (right-click it and "
                          "choose Mount), and that drive is then the CD.")
        .arg(QDir::toNativeSeparators(hostPath));
}

} // namespace

struct Image::Private {
    QString hostPath;
};

Image::Image(std::unique_ptr<Private> d) : d(std::move(d)) {}

Image::~Image() = default;

std::unique_ptr<Image> Image::open(const QString& hostPath, NameRule, QString* error) {
    if (error)
        *error =
            isImage(hostPath)
                ? mountFirst(hostPath)
                : QStringLiteral("%1 is not a CD image.").arg(QDir::toNativeSeparators(hostPath));
    return nullptr;
}

// No image is ever opened here, so nothing below is reached; each still answers truthfully.
std::optional<QList<Entry>> Image::list(const QString&, QString* error) const {
    if (error)
        *error = mountFirst(d->hostPath);
    return std::nullopt;
}

std::optional<qint64> Image::fileSize(const QString&) const {
    return std::nullopt;
}

QString Image::read(const QString&, const WriteChunk&) const {
    return mountFirst(d->hostPath);
}

} // namespace discimage
