#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

namespace mediaed {

class FrmSoundtrack; // QWidget, objectName "frmSoundtrack"

// Owns the Current Soundtrack window's lifecycle: created on first use, at most one.
class Soundtrack : public QObject {
    Q_OBJECT
public:
    explicit Soundtrack(QString programDir, QObject* parent = nullptr);
    // Deletes the window without saving: leaving the program saves nothing.
    ~Soundtrack() override;

    // Creates it hidden (which loads the catalogue) when it does not exist.
    FrmSoundtrack* window();
    // nullptr when not created or closed.
    FrmSoundtrack* existing() const;
    // window(), then shows it without activating it.
    void show();
    // window(), then top = main top, left = main left + main width (outer coordinates).
    void dock(const QRect& mainFrameGeometry);
    // Hides it if it exists; saves nothing.
    void hide();

private:
    QString programDir_;
    QPointer<FrmSoundtrack> window_;
    bool saveFailureShown_ = false; // outlives the window, so the user is told only once
};

} // namespace mediaed
