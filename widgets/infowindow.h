#pragma once

#include <QLabel>
#include <QList>
#include <QRect>
#include <QString>

class QWidget;

// The Help menu's windows of both programs: fixed texts and pictures in a fixed window, no
// state, no control that takes the focus. Each is described by a small table.
namespace ovra::look {

struct InfoItem {
    enum Kind {
        Text,         // a green, word-wrapping label
        BlankRunText, // the same, where runs of blanks stand for line ends
        Picture,      // a picture from the resources, stretched to fill
    };
    Kind kind = Text;
    QString objectName;
    QString content; // the text, or the picture's resource path
    QRect twips;
    double points = 8;
    bool centred = false;
};

struct InfoWindow {
    QString objectName;
    QString caption;
    int widthTwips = 0;
    int heightTwips = 0;
    QList<InfoItem> items; // back to front
};

// Builds the window without an owner. A label that reaches past the window's right edge wraps
// its text where the window ends, so that no word is cut off.
QWidget* buildInfoWindow(const InfoWindow& table);

// A label whose runs of two or more blanks end the line. Such a text was written so that each
// run pushes the next words onto a new line; how many blanks that takes depends on the font,
// so the run is drawn as the line end it stands for. text() keeps every blank.
class BlankRunLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    QString displayedText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ovra::look
