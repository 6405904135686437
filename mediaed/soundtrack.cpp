#include "soundtrack.h"

#include "frmsoundtrack.h"

namespace mediaed {

Soundtrack::Soundtrack(QString programDir, QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)) {}

Soundtrack::~Soundtrack() {
    delete window_.data();
}

FrmSoundtrack* Soundtrack::window() {
    if (!window_) {
        window_ = new FrmSoundtrack(programDir_, &saveFailureShown_);
        // A closed window is only waiting for its deletion: forget it now, so that the next
        // use creates (and loads) a fresh one.
        connect(window_, &FrmSoundtrack::closed, this, [this, closing = window_.data()] {
            if (window_ == closing)
                window_.clear();
        });
    }
    return window_;
}

FrmSoundtrack* Soundtrack::existing() const {
    return window_;
}

void Soundtrack::show() {
    window()->show();
}

void Soundtrack::dock(const QRect& mainFrameGeometry) {
    window()->move(mainFrameGeometry.left() + mainFrameGeometry.width(), mainFrameGeometry.top());
}

void Soundtrack::hide() {
    if (window_)
        window_->hide();
}

} // namespace mediaed
