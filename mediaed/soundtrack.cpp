#include "mediaed/soundtrack.h"

#include "mediaed/frmsoundtrack.h"
#include "mediaed/mediacore.h"
#include "mediaed/stocktable.h"
#include "widgets/dialogs.h"

#include <algorithm>
#include <cstdlib>

namespace mediaed {

namespace {

const QString kRestartMessage = QStringLiteral("Close Ovra3MediaEd and open it up again");

} // namespace

Soundtrack::Soundtrack(QString programDir, QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)) {}

Soundtrack::~Soundtrack() {
    delete window_.data();
}

FrmSoundtrack* Soundtrack::window() {
    if (!window_) {
        window_ = new FrmSoundtrack(programDir_);
        connect(window_, &FrmSoundtrack::closing, this, [this, closing = window_.data()] {
            save(closing);
            // Only waiting for its deletion now: forget it, so that the next use creates (and
            // loads) a fresh one.
            if (window_ == closing)
                window_.clear();
        });
        load(window_);
    }
    return window_;
}

FrmSoundtrack* Soundtrack::existing() const {
    return window_;
}

void Soundtrack::show() {
    window()->show();
}

namespace {

QPoint rightOf(const QRect& mainFrame) {
    return {mainFrame.left() + mainFrame.width(), mainFrame.top()};
}
QPoint leftOf(const QRect& mainFrame, const QSize& size) {
    return {mainFrame.left() - size.width(), mainFrame.top()};
}
bool fitsBeside(const QRect& mainFrame, const QSize& size, const QRect& available) {
    return available.contains(QRect(rightOf(mainFrame), size)) ||
           available.contains(QRect(leftOf(mainFrame, size), size));
}
int clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high)); // low wins where the window is too large
}

} // namespace

QPoint dockedPosition(const QRect& mainFrame, const QSize& size, const QRect& available) {
    const QPoint right = rightOf(mainFrame), left = leftOf(mainFrame, size);
    if (!available.isValid()) // no screen known: the rule as it stands
        return right;
    for (const QPoint& place : {right, left})
        if (available.contains(QRect(place, size)))
            return place;
    const auto onScreen = [&](const QPoint& place) {
        return QPoint(clamp(place.x(), available.left(), available.right() + 1 - size.width()),
                      clamp(place.y(), available.top(), available.bottom() + 1 - size.height()));
    };
    const auto covered = [&](const QPoint& place) {
        const QRect both = QRect(place, size) & mainFrame;
        return qint64(both.width()) * both.height();
    };
    const QPoint fromRight = onScreen(right), fromLeft = onScreen(left);
    return covered(fromLeft) < covered(fromRight) ? fromLeft : fromRight;
}

QPoint mainWindowPlace(const QRect& mainFrame, const QSize& size, const QRect& available) {
    if (!available.isValid() || fitsBeside(mainFrame, size, available))
        return mainFrame.topLeft();
    const int x = mainFrame.left(), width = mainFrame.width();
    const int low = available.left(), high = available.right() + 1;
    // The soundtrack window to the right: the pair's left edge is the main window's own.
    const int withRight = clamp(x, low, high - width - size.width());
    // To the left: the pair's right edge is the main window's own.
    const int withLeft = std::max(low, std::min(std::max(x, low + size.width()), high - width));
    return {std::abs(withLeft - x) < std::abs(withRight - x) ? withLeft : withRight,
            mainFrame.top()};
}

void Soundtrack::dock(const QRect& mainFrameGeometry, const QRect& availableGeometry) {
    FrmSoundtrack* w = window();
    w->move(dockedPosition(mainFrameGeometry, w->size(), availableGeometry));
}

void Soundtrack::hide() {
    if (window_)
        window_->hide();
}

void Soundtrack::nameSlot(int slot, const QString& caption) {
    FrmSoundtrack* w = window();
    if (slot >= 0)
        w->setSlot(slot, caption);
    save(w);
}

void Soundtrack::showStock(const QList<int>& reset) {
    if (reset.isEmpty())
        return;
    FrmSoundtrack* w = window();
    for (int slot : reset)
        w->setSlot(slot, stockTable()[slot].caption);
    save(w);
}

void Soundtrack::load(FrmSoundtrack* w) {
    const Catalogue::LoadResult loaded = w->catalogue().load();
    // The labels show what the stores hold, reset slots included.
    w->refreshLabels();
    if (loaded.complete())
        return;
    // The reset slots are written back at once, so the files hold what the window shows.
    // Nothing is on screen yet, so the message has no parent. When the save failed, its own
    // message has said why; a restart would not help then.
    if (save(w))
        ovra::dialogs().message(nullptr, kProgramTitle, kRestartMessage);
}

bool Soundtrack::save(FrmSoundtrack* w) {
    const Catalogue::SaveResult saved = w->catalogue().save();
    if (saved.ok) {
        saveFailureShown_ = false;
        return true;
    }
    // Once is enough: every later save fails the same way, and the message already says that
    // the names are kept only while the program runs.
    if (!saveFailureShown_) {
        saveFailureShown_ = true;
        ovra::dialogs().message(w->isVisible() ? w : nullptr, kProgramTitle,
                                saveFailureMessage(saved));
    }
    return false;
}

} // namespace mediaed
