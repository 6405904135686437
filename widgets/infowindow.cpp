#include "widgets/infowindow.h"

#include "widgets/winlook.h"

#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>

namespace ovra::look {

namespace {

QRect pixels(const QRect& twips) {
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

QLabel* picture(QWidget* parent, const InfoItem& item) {
    auto* image = new QLabel(parent);
    image->setObjectName(item.objectName);
    image->setGeometry(pixels(item.twips));
    image->setPixmap(QPixmap(item.content));
    image->setScaledContents(true);
    beneathControls(image);
    return image;
}

} // namespace

QWidget* buildInfoWindow(const InfoWindow& table) {
    auto* window = new QWidget;
    setupFixedWindow(window, table.objectName, table.caption, table.widthTwips, table.heightTwips);
    for (const InfoItem& item : table.items) {
        QLabel* made = nullptr;
        switch (item.kind) {
        case InfoItem::Picture:
            made = picture(window, item);
            break;
        case InfoItem::Text:
            made = label(window, item.objectName, item.content, pixels(item.twips), item.points,
                         item.centred);
            break;
        case InfoItem::BlankRunText:
            made = new BlankRunLabel(window);
            made->setText(item.content);
            styleLabel(made, item.objectName, pixels(item.twips), item.points, item.centred);
            break;
        }
        const int overhang = made->geometry().right() + 1 - window->width();
        if (overhang > 0 && item.kind != InfoItem::Picture)
            made->setContentsMargins(0, 0, overhang, 0);
    }
    return window;
}

QString BlankRunLabel::displayedText() const {
    static const QRegularExpression run(QStringLiteral(" {2,}"));
    return text().replace(run, QString(QChar::LineSeparator));
}

void BlankRunLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextWordWrap, displayedText());
}

} // namespace ovra::look
