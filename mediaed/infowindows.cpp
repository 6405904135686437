#include "infowindows.h"

#include "winlook.h"

#include <QLabel>
#include <QPixmap>

namespace mediaed {

using ovra::look::twipsRect;

namespace {

QLabel* picture(QWidget* parent, const QString& name, const QString& resource, QRect geometry) {
    auto* image = new QLabel(parent);
    image->setObjectName(name);
    image->setGeometry(geometry);
    image->setPixmap(QPixmap(resource));
    image->setScaledContents(true);
    return image;
}

} // namespace

FrmAbout::FrmAbout(QWidget* parent) : QWidget(parent) {
    ovra::look::setupFixedWindow(this, QStringLiteral("frmAbout"), QStringLiteral("About"), 4020,
                                 5550);
    QLabel* sites = ovra::look::label(
        this, QStringLiteral("Label3"),
        QStringLiteral("For more programs and modifications for Ovra3, visit "
                       "www.ovra3-workshop.example. For the latest news about Ovra3, visit "
                       "www.ovra3-news.example."),
        twipsRect(240, 4680, 3855, 975));
    // The label reaches past the window's right edge: wrap the text short of it.
    sites->setContentsMargins(0, 0, sites->geometry().right() + 1 - width(), 0);
    picture(this, QStringLiteral("Image2"), QStringLiteral(":/pictures/about.gif"),
            twipsRect(600, 3360, 2895, 1095));
    picture(this, QStringLiteral("Image1"), QStringLiteral(":/pictures/about.bmp"),
            twipsRect(600, 1800, 2895, 1455));
    ovra::look::label(this, QStringLiteral("Label1"), QStringLiteral("Ovra3 Music Ed"),
                      twipsRect(0, 120, 3975, 495), 19.5, true);
    ovra::look::label(
        this, QStringLiteral("Label2"),
        QStringLiteral("Version 2.00. Free software made by players for players; it is not made "
                       "or supported by the makers of the game. It overwrites game files: keep "
                       "your game CD at hand to restore them. Use it at your own risk."),
        twipsRect(240, 720, 3615, 975));
}

FrmInstructions::FrmInstructions(QWidget* parent) : QWidget(parent) {
    ovra::look::setupFixedWindow(this, QStringLiteral("frmInstructions"),
                                 QStringLiteral("Instructions"), 2550, 2430);
    // The label is taller than the window, which cuts its last lines off.
    ovra::look::label(
        this, QStringLiteral("Label1"),
        QStringLiteral("To use Ovra3 Media Ed follow these directions: 1. Pick the song or movie "
                       "you want to replace in the Replace combo box, 2. Pick the song or movie  "
                       "you want to write over the file you picked previously, and 3. Press "
                       "Transform It! on the correct side. It's that simple. For legal and "
                       "contact information, see the About box."),
        twipsRect(120, 120, 2295, 3495));
}

} // namespace mediaed
