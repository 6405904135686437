#pragma once

// One checker for the window tables of both programs: where each control stands, its text, its
// font and how it is painted; the window around it; the focus order; captions that fit; and
// finding a top-level window by name.
#include "dialogs.h"
#include "winlook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMetaType>
#include <QPushButton>
#include <QRect>
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

// One row of a window table.
struct Control {
    enum Paint {
        Any,          // not checked
        GreenOnBlack, // a label: green text on black, drawn so
        Green,        // a separator line
        Standard,     // the toolkit's colours, not the black window's
    };
    Control() = default;
    Control(QString name, QRect twips, QString text = {}, double points = 0, Paint paint = Any)
        : name(std::move(name)), twips(twips), text(std::move(text)), points(points), paint(paint) {
    }

    QString name;      // object name; empty: the window itself (its client area)
    QRect twips;       // left, top, width, height; a null rectangle: the control must not exist
    QString text;      // caption or initial text; a null string: not checked
    double points = 0; // font size; 0: not checked
    Paint paint = Any;
};

// Anti-aliased small text rarely covers a whole pixel: look for clearly green ones.
inline bool drawsGreen(QWidget* w) {
    const QImage image = w->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 128 && c.red() < 40 && c.blue() < 40)
                return true;
        }
    return false;
}

// The client area's size, a fixed size, a close box and no maximise or minimise button.
inline void fixedWindow(QWidget* window, QWidget* client, QSize twips) {
    QCOMPARE(client->size(), ovra::look::twipsRect(0, 0, twips.width(), twips.height()).size());
    QCOMPARE(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(!(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));
    // Without the customize hint, X11 window managers are asked for both buttons all the same.
    QCOMPARE(flags & (Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
             Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

// One row, in a window already shown: `client` is its client area (below the menu bar).
inline void control(QWidget* window, QWidget* client, const Control& row) {
    if (row.name.isEmpty())
        return fixedWindow(window, client, row.twips.size());
    QWidget* w = client->findChild<QWidget*>(row.name);
    if (row.twips.isNull()) {
        QVERIFY2(!w, qPrintable(row.name));
        return;
    }
    QVERIFY2(w, qPrintable(row.name));
    QCOMPARE(w->parentWidget(), client);
    QCOMPARE(w->geometry(), ovra::look::twipsRect(row.twips.x(), row.twips.y(), row.twips.width(),
                                                  row.twips.height()));
    QVERIFY(w->isVisible());
    // A label, line or picture lies beneath every other control it overlaps.
    const auto windowless = [](const QWidget* c) {
        return qobject_cast<const QLabel*>(c) || ovra::look::isWindowless(c);
    };
    const QObjectList stack = client->children(); // bottom first
    for (QObject* o : stack)
        if (auto* other = qobject_cast<QWidget*>(o);
            other && other != w && !other->isWindow() && other->isVisible() &&
            windowless(w) != windowless(other) && other->geometry().intersects(w->geometry()))
            QVERIFY2((stack.indexOf(w) < stack.indexOf(other)) == windowless(w),
                     qPrintable(row.name + u'/' + other->objectName()));
    if (row.points > 0)
        QCOMPARE(w->font().pointSizeF(), row.points);
    QVERIFY(!w->font().bold());
    if (!row.text.isNull()) {
        if (auto* combo = qobject_cast<QComboBox*>(w))
            QCOMPARE(combo->currentText(), row.text);
        else
            QCOMPARE(w->property("text").toString(), row.text);
    }
    switch (row.paint) {
    case Control::GreenOnBlack: {
        auto* label = qobject_cast<QLabel*>(w);
        QVERIFY(label && label->wordWrap());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        QCOMPARE(label->palette().color(QPalette::Window), QColor(0, 0, 0));
        if (!label->text().isEmpty())
            QVERIFY2(drawsGreen(label), qPrintable(row.name));
        QCOMPARE(w->focusPolicy() & Qt::TabFocus, 0);
        break;
    }
    case Control::Green:
        QCOMPARE(w->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(w->focusPolicy() & Qt::TabFocus, 0);
        break;
    case Control::Standard:
        QVERIFY2(w->grab().toImage().pixelColor(w->width() * 3 / 4, w->height() / 2) !=
                     QColor(0, 0, 0),
                 qPrintable(row.name));
        break;
    case Control::Any:
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

Q_DECLARE_METATYPE(check::Control)
