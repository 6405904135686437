#pragma once

// One checker for the windows of both programs: the rules every window keeps, each control
// against its row of the window tables (layouts.h), the focus order, the real message boxes, and
// finding a top-level window by name.
#include "tests/support/layouts.h"
#include "widgets/dialogs.h"
#include "widgets/infowindow.h"
#include "widgets/winlook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <functional>

namespace check {

// The first top-level window of that name, and how many there are; `onScreen`: only those shown
// (a closed window waits hidden for its deletion).
inline QWidget* topLevel(const QString& name, bool onScreen = false, int* count = nullptr) {
    QWidget* found = nullptr;
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && (!onScreen || w->isVisible())) {
            found = found ? found : w;
            ++n;
        }
    if (count)
        *count = n;
    return found;
}

inline QRect pixels(const QRect& twips) {
    return ovra::look::twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

// Anti-aliased small text rarely covers a whole pixel: clearly green ones count, beside black.
inline bool drawsGreenOnBlack(QWidget* w) {
    const QImage image = w->grab().toImage();
    bool green = false, black = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            green = green || (c.green() > 150 && c.red() < 40 && c.blue() < 40);
            black = black || c == QColor(0, 0, 0);
        }
    return green && black;
}

// A label that shows text, not a picture.
inline QLabel* textLabel(QWidget* w) {
    auto* label = qobject_cast<QLabel*>(w);
    return label && label->pixmap().isNull() ? label : nullptr;
}

// A label shows its whole text in the part of it that the window shows, give or take `slack`
// pixels of width.
inline void textFits(QLabel* label, int slack) {
    auto* blanks = qobject_cast<ovra::look::BlankRunLabel*>(label);
    const QString shown = blanks ? blanks->displayedText() : label->text();
    const QRect room = label->contentsRect();
    const QRect need = label->fontMetrics().boundingRect(
        QRect(0, 0, room.width(), 10000), int(label->alignment()) | Qt::TextWordWrap, shown);
    const QRect visible =
        room & QRect(QPoint(), label->parentWidget()->size()).translated(-label->pos());
    QVERIFY2(need.width() <= visible.width() + slack && need.height() <= visible.height(),
             qPrintable(QStringLiteral("%1: needs %2x%3, has %4x%5")
                            .arg(label->objectName())
                            .arg(need.width())
                            .arg(need.height())
                            .arg(visible.width())
                            .arg(visible.height())));
}

// The window around `client` (its client area, below any menu bar), and the rules every window
// keeps for all its controls, listed in its table or not.
inline void window(QWidget* window, QWidget* client, const layouts::Window& table) {
    QCOMPARE(client->size(), pixels(QRect(QPoint(), table.twips)).size());
    QCOMPARE(window->windowTitle(), table.caption);
    QCOMPARE(window->minimumSize(), window->maximumSize());
    if (!table.frameless) { // a close box, and no maximise or minimise button
        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(!(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));
        // Without the customize hint, X11 window managers are asked for both buttons all the
        // same.
        QCOMPARE(flags &
                     (Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
                 Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    }
    QCOMPARE(client->grab().toImage().pixelColor(2, 2), QColor(0, 0, 0)); // the bare surface

    const QObjectList stack = client->children(); // bottom first
    QList<QWidget*> shown;
    for (QObject* o : stack)
        if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && w->isVisible())
            shown << w;
    // Labels, lines and pictures are drawn on the window's surface.
    const auto windowless = [](const QWidget* c) {
        return qobject_cast<const QLabel*>(c) || ovra::look::isWindowless(c);
    };
    for (QWidget* w : shown) {
        const QString name = w->objectName();
        if (!table.pastTheEdge.contains(name))
            QVERIFY2(client->rect().contains(w->geometry()), qPrintable(name));
        for (QWidget* other : shown) {
            if (other == w || !other->geometry().intersects(w->geometry()))
                continue;
            const QString pair = name + u'/' + other->objectName();
            QVERIFY2(table.overlapping.contains(pair) ||
                         table.overlapping.contains(other->objectName() + u'/' + name),
                     qPrintable(pair));
            // A label, line or picture lies beneath every other control it overlaps.
            if (windowless(w) != windowless(other))
                QVERIFY2((stack.indexOf(w) < stack.indexOf(other)) == windowless(w),
                         qPrintable(pair));
        }
        if (QLabel* label = textLabel(w)) {
            QVERIFY(label->wordWrap());
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
            QCOMPARE(label->palette().color(QPalette::Window), QColor(0, 0, 0));
            if (!label->text().isEmpty())
                QVERIFY2(drawsGreenOnBlack(label), qPrintable(name));
            QCOMPARE(label->focusPolicy() & Qt::TabFocus, 0);
            // Headings are centred, other labels are not.
            QCOMPARE(bool(label->alignment() & Qt::AlignHCenter), label->font().pointSizeF() > 12);
            if (!table.cutOff.contains(name))
                textFits(label, table.textSlack);
        }
        if (QTest::currentTestFailed())
            return;
    }
}

// One row of a window table.
inline void control(QWidget* client, const layouts::Control& row) {
    QWidget* w = client->findChild<QWidget*>(row.name);
    if (row.twips.isNull()) {
        QVERIFY2(!w, qPrintable(row.name));
        return;
    }
    QVERIFY2(w, qPrintable(row.name));
    QCOMPARE(w->parentWidget(), client);
    QCOMPARE(w->geometry(), pixels(row.twips));
    QVERIFY(w->isVisible());
    if (row.points > 0) {
        QCOMPARE(w->font().pointSizeF(), row.points);
        // The face drawn is the one a plain request for MS Sans Serif gets through its
        // stand-ins.
        QFont asked(QStringLiteral("MS Sans Serif"));
        asked.setStyleHint(QFont::SansSerif);
        asked.setPointSizeF(row.points);
        QCOMPARE(QFontInfo(w->font()).family(), QFontInfo(asked).family());
    }
    QVERIFY(!w->font().bold());
    if (!row.text.isNull()) {
        if (auto* combo = qobject_cast<QComboBox*>(w))
            QCOMPARE(combo->currentText(), row.text);
        else
            QCOMPARE(w->property("text").toString(), row.text);
    }
    using C = layouts::Control;
    switch (row.paint) {
    case C::GreenOnBlack: // the rest is every label's rule
        QVERIFY(textLabel(w));
        break;
    case C::GreenList:
        QVERIFY(drawsGreenOnBlack(w));
        break;
    case C::Green:
        QCOMPARE(w->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(w->grab().toImage().pixelColor(w->width() / 2, w->height() / 2),
                 QColor(0, 255, 0));
        QCOMPARE(w->focusPolicy() & Qt::TabFocus, 0);
        break;
    case C::Standard: { // the system's colours: mostly not black, whatever its text
        const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        qsizetype black = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                black += image.pixel(x, y) == qRgb(0, 0, 0);
        QVERIFY2(black * 2 < qsizetype(image.width()) * image.height(),
                 qPrintable(w->objectName()));
        break;
    }
    case C::Entry: {
        auto* edit = qobject_cast<QPlainTextEdit*>(w);
        QVERIFY(edit && !edit->isReadOnly());
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::white));
        break;
    }
    case C::Any:
        break;
    }
}

// The direct child of `client` that holds `w` (a player's buttons belong to the player).
inline QWidget* ownerIn(QWidget* client, QWidget* w) {
    while (w && w->parentWidget() != client)
        w = w->parentWidget();
    return w;
}

// Tab from each control of `order` reaches the next (the last reaches the first), passing
// through the controls a control holds (a player's own buttons) on the way.
inline void tabCycle(QWidget* window, QWidget* client, const QStringList& order) {
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    for (int i = 0; i < order.size(); ++i) {
        QWidget* from = client->findChild<QWidget*>(order[i]);
        QVERIFY2(from, qPrintable(order[i]));
        from->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(ownerIn(client, QApplication::focusWidget()), from);
        for (int presses = 0; presses < 12 && ownerIn(client, QApplication::focusWidget()) == from;
             ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* reached = ownerIn(client, QApplication::focusWidget());
        QCOMPARE(reached ? reached->objectName() : QString(), order[(i + 1) % order.size()]);
    }
}

// The program's own message boxes that come up while `run` runs (no scripted dialogs), each as
// "caption|text|number of buttons|icon|first button's text"; each is answered with its first
// button.
inline QStringList realMessageBoxes(const std::function<void()>& run) {
    ovra::setDialogs(nullptr);
    QStringList seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            const QList<QAbstractButton*> buttons = box->buttons();
            seen << QStringList({box->windowTitle(), box->text(), QString::number(buttons.size()),
                                 QString::number(box->icon()),
                                 buttons.value(0)->text().remove('&')})
                        .join('|');
            buttons.value(0)->click();
        }
    });
    poll.start(20);
    run();
    return seen;
}

} // namespace check
