#pragma once

#include <QWidget>

namespace mediaed {

// The Help menu's two windows: fixed texts and pictures, no state, no owner.
class FrmAbout : public QWidget {
    Q_OBJECT

public:
    explicit FrmAbout(QWidget* parent = nullptr);
};

class FrmInstructions : public QWidget {
    Q_OBJECT

public:
    explicit FrmInstructions(QWidget* parent = nullptr);
};

} // namespace mediaed
