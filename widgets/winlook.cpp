#include "widgets/winlook.h"

#include "widgets/windowframe.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QCompleter>
#include <QDate>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStringListModel>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace ovra::look {

static const QString kFamily = QStringLiteral("MS Sans Serif");

namespace {

// Qt lists a family that several foundries make as "family [foundry]".
bool isInstalled(const QString& family, const QStringList& installed) {
    for (const QString& name : installed)
        if (QStringView(name)
                .left(name.indexOf(QStringLiteral(" [")))
                .compare(family, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The first installed family of MS Sans Serif and its metric-close stand-ins, with the rest of
// them as its substitutes. Asking for a family that is not installed makes the font database
// search every installed font, for each script a text holds, before it takes the first
// substitute; asking for the installed one finds it at once and draws the same face, with the
// same stand-ins first where it lacks a glyph.
const QString& installedFamily() {
    static QString family; // known once the font database can be asked
    if (family.isEmpty() && qGuiApp) {
        const QStringList chain = {kFamily, QStringLiteral("Liberation Sans"),
                                   QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(kFamily, chain.mid(1));
        const QStringList installed = QFontDatabase::families();
        family = kFamily; // also when none of them is installed: as asked
        for (qsizetype i = 0; i < chain.size(); ++i)
            if (isInstalled(chain[i], installed)) {
                if (i > 0 && i + 1 < chain.size())
                    QFont::insertSubstitutions(chain[i], chain.mid(i + 1));
                family = chain[i];
                break;
            }
    }
    return family.isEmpty() ? kFamily : family;
}

} // namespace

void installFontSubstitutes() {
    installedFamily();
}

QFont font(double pointSize) {
    QFont f(installedFamily());
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(false);
    f.setItalic(false);
    return f;
}

void paintBlack(QWidget* widget) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, kBlack);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void standardColours(QWidget* widget) {
    QPalette pal = QApplication::palette(widget);
    // Mark every role as set, so nothing is inherited from the black parent.
    for (int g = 0; g < QPalette::NColorGroups; ++g)
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto group = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            pal.setBrush(group, role, pal.brush(group, role));
        }
    widget->setPalette(pal);
}

void closeBoxOnly(QWidget* window) {
    // Without CustomizeWindowHint, X11 window managers are asked for both buttons anyway.
    window->setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint);
    closeBoxOnlyOnWindowSystem(window);
}

void setupFixedWindow(QWidget* window, const QString& objectName, const QString& caption,
                      int clientWidthTwips, int clientHeightTwips) {
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    closeBoxOnly(window);
    window->setFixedSize(px(clientWidthTwips), px(clientHeightTwips));
    window->setFont(font());
    paintBlack(window);
}

namespace {
const char* const kWindowless = "ovraWindowless";
} // namespace

bool isWindowless(const QWidget* widget) {
    return widget->property(kWindowless).toBool();
}

void beneathControls(QWidget* windowless) {
    windowless->setProperty(kWindowless, true);
    QWidget* parent = windowless->parentWidget();
    if (!parent)
        return;
    // Just under the lowest windowed sibling: above the windowless ones made before. Those all
    // lie beneath the windowed ones, so the search runs down from the top and stops at the
    // first windowless sibling (a window of labels alone is then not searched through).
    QWidget* lowestWindowed = nullptr;
    const QObjectList& siblings = parent->children();
    for (auto it = siblings.crbegin(); it != siblings.crend(); ++it) {
        if (*it == windowless || !(*it)->isWidgetType())
            continue;
        auto* sibling = static_cast<QWidget*>(*it);
        if (sibling->isWindow())
            continue;
        if (isWindowless(sibling))
            break;
        lowestWindowed = sibling;
    }
    if (lowestWindowed)
        windowless->stackUnder(lowestWindowed);
}

void styleLabel(QLabel* l, const QString& objectName, QRect geometry, double pointSize,
                bool centred) {
    l->setObjectName(objectName);
    l->setGeometry(geometry);
    l->setFont(font(pointSize));
    l->setWordWrap(true);
    l->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    l->setTextFormat(Qt::PlainText);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, kBlack);
    pal.setColor(QPalette::WindowText, kGreen);
    l->setPalette(pal);
    l->setAutoFillBackground(true);
    beneathControls(l);
}

QLabel* label(QWidget* parent, const QString& objectName, const QString& text, QRect geometry,
              double pointSize, bool centred) {
    auto* l = new QLabel(text, parent);
    styleLabel(l, objectName, geometry, pointSize, centred);
    return l;
}

QWidget* line(QWidget* parent, const QString& objectName, int x1, int y1, int x2, int y2) {
    auto* w = new QWidget(parent);
    w->setObjectName(objectName);
    const int left = px(std::min(x1, x2)), top = px(std::min(y1, y2));
    const int width = std::max(1, px(std::abs(x2 - x1))),
              height = std::max(1, px(std::abs(y2 - y1)));
    w->setGeometry(left, top, x1 == x2 ? 1 : width, y1 == y2 ? 1 : height);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, kGreen);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    beneathControls(w);
    return w;
}

void makeOwnerless(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setAttribute(Qt::WA_QuitOnClose, false);
}

void bringForward(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

namespace {

// QCompleter closes its popup on a press outside it and drops the press, so the button clicked
// while suggestions show did nothing. This completer sees the press first: it closes the popup
// and hands the press to the window under the pointer, which delivers it as the window system
// would have (the release that follows then reaches the same control). The popup itself is
// made only when suggestions are first shown.
class ClickThroughCompleter : public QCompleter {
public:
    using QCompleter::QCompleter;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The completer watches its widget and, once Qt has made it, its popup.
        if (watched == widget() || (event->type() != QEvent::MouseButtonPress &&
                                    event->type() != QEvent::MouseButtonDblClick))
            return QCompleter::eventFilter(watched, event);
        auto* popup = static_cast<QWidget*>(watched);
        auto* press = static_cast<QMouseEvent*>(event);
        if (popup->rect().contains(press->position().toPoint()))
            return QCompleter::eventFilter(watched, event); // a suggestion is picked
        const QPointF global = press->globalPosition();
        popup->hide();
        QWidget* under = QApplication::widgetAt(global.toPoint());
        if (QWindow* window = under ? under->window()->windowHandle() : nullptr) {
            QMouseEvent again(QEvent::MouseButtonPress, window->mapFromGlobal(global), global,
                              press->button(), press->buttons(), press->modifiers(),
                              press->pointingDevice());
            QCoreApplication::sendEvent(window, &again);
        }
        return true;
    }
};

} // namespace

QComboBox* pickList(QWidget* parent, const QString& objectName, const QString& initialText,
                    QRect geometry, Suggestions suggestions) {
    auto* combo = new QComboBox(parent);
    // The names are text only: one list holds them all (the trick lists hold 659).
    combo->setModel(new QStringListModel(combo));
    place(combo, objectName, geometry);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (suggestions == Suggestions::Popup) {
        // Exact in case: leaving the field never swaps in a differently spelled entry.
        auto* completer = new ClickThroughCompleter(combo->model(), combo);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setCaseSensitivity(Qt::CaseSensitive);
        combo->setCompleter(completer);
    } else {
        combo->setCompleter(nullptr); // an editable combo box completes inline by default
    }
    combo->setEditText(initialText);
    standardColours(combo);
    return combo;
}

void fillPickList(QComboBox* combo, const QStringList& names) {
    // Adding the first entry makes it current and replaces the edit text: put it back.
    const QString text = combo->currentText();
    if (auto* list = qobject_cast<QStringListModel*>(combo->model()))
        list->setStringList(list->stringList() + names); // one change, not one per name
    else
        combo->addItems(names);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

QMenu* addMenu(QMenuBar* bar, const QString& objectName, const QString& caption,
               const QList<MenuItem>& items) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(objectName);
    menu->menuAction()->setObjectName(objectName);
    menu->setFont(font());
    for (const MenuItem& item : items) {
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(item.objectName);
        QObject::connect(action, &QAction::triggered, bar, item.run);
    }
    return menu;
}

void place(QWidget* control, const QString& objectName, QRect geometry) {
    control->setObjectName(objectName);
    control->setGeometry(geometry);
    control->setFont(font());
}

} // namespace ovra::look

namespace ovra {

ClockStatusBar::ClockStatusBar(QWidget* parent, const QString& fixedText)
    : QStatusBar(parent), time_(new QLabel(this)), date_(new QLabel(this)),
      text_(new QLabel(fixedText, this)), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFont(look::font());
    time_->setObjectName(QStringLiteral("StatusBar1_time"));
    date_->setObjectName(QStringLiteral("StatusBar1_date"));
    text_->setObjectName(QStringLiteral("StatusBar1_text"));
    const int minimum = look::px(1440);
    for (QLabel* panel : {time_, date_, text_}) {
        panel->setMinimumWidth(minimum);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setFont(look::font());
    }
    addWidget(time_);
    addWidget(date_);
    addWidget(text_, 1);
    look::standardColours(this);
    setAutoFillBackground(true);
    // The bar is one text line high: the spacing QStatusBar keeps above and below its panels
    // would cut their text.
    if (auto* box = qobject_cast<QBoxLayout*>(layout())) {
        for (int i = 0; i < box->count(); ++i)
            if (QSpacerItem* spacer = box->itemAt(i)->spacerItem())
                spacer->changeSize(0, 0);
        box->invalidate();
    }
    connect(timer_, &QTimer::timeout, this, &ClockStatusBar::refresh);
    timer_->start(1000);
    refresh();
}

void ClockStatusBar::refresh() {
    const QLocale locale;
    time_->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    date_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
}

} // namespace ovra
