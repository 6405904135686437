#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// The Help menu's three windows: fixed texts and pictures, no state, no focusable control.
namespace tricked {

// Text of the History and Info window's label, with the runs of blanks that start new lines.
QString historyText();
extern const QString kInstructionsText;

class frmInstructions : public QWidget {
    Q_OBJECT
public:
    explicit frmInstructions(QWidget* parent = nullptr);
};

class frmHistory : public QWidget {
    Q_OBJECT
public:
    explicit frmHistory(QWidget* parent = nullptr);
};

class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};

// A label whose runs of two or more blanks end the line. The text was written so that each
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

} // namespace tricked
