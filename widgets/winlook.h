#pragma once

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;
class QWidget;

// The look shared by every window of both programs: geometry in twips (15 to a pixel), black
// windows, green labels, MS Sans Serif (or a metric-close substitute), fixed single borders.
namespace ovra::look {

inline constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

inline const QColor kGreen{0, 255, 0};
inline const QColor kBlack{0, 0, 0};

// MS Sans Serif at a point size (8 pt unless a window says otherwise), never bold. Where it is
// not installed, the font names the first installed of its metric-close stand-ins.
QFont font(double pointSize = 8.0);

// Registers font substitutes once per process (once an application object exists); called by
// the helpers below.
void installFontSubstitutes();

// A top-level window with a title and a close box only: no minimise or maximise button, also
// under X11 window managers. Its size is fixed by the caller.
void closeBoxOnly(QWidget* window);

// A fixed-size top-level window with a close box only (no maximise or minimise), black
// background and the given client size in twips. Does not set an owner.
void setupFixedWindow(QWidget* window, const QString& objectName, const QString& caption,
                      int clientWidthTwips, int clientHeightTwips);

// Black background on a widget (and its descendants that inherit the palette).
void paintBlack(QWidget* widget);

// The toolkit's standard colours on a control that stands on a black window (buttons, combo
// boxes, bars), so it does not inherit the black background.
void standardColours(QWidget* widget);

// A green-on-black, word-wrapping label placed at twips geometry.
QLabel* label(QWidget* parent, const QString& objectName, const QString& text, QRect geometry,
              double pointSize = 8.0, bool centred = false);

// A one-pixel green separator line from (x1, y1) to (x2, y2) in twips (vertical or horizontal).
QWidget* line(QWidget* parent, const QString& objectName, int x1, int y1, int x2, int y2);

// Labels, lines and pictures are drawn on their window's surface, as windowless controls are:
// beneath every control they overlap (a label reaching onto a pick list never paints over its
// border), in the order they were made among themselves. The helpers here place each one so as
// they make it; `beneathControls` does it for one made otherwise.
void beneathControls(QWidget* windowless);
bool isWindowless(const QWidget* widget);

// No owner, deleted when closed, never keeps the program running; and: un-minimised, shown,
// raised and activated.
void makeOwnerless(QWidget* window);
void bringForward(QWidget* window);

// Shows the one instance of an ownerless window (information windows, Song Info, Directory and
// Drive Info): `create` makes it on first use and again once it has been closed; while it exists
// it is brought forward as the user left it. Such a window is not modal, not kept above the
// main window, destroyed when closed, and never keeps the program running: the program ends
// when its main window closes.
template <typename Window, typename Create>
Window* showSingle(QPointer<Window>& window, Create create) {
    // A closed window is hidden until its deletion comes round: it counts as gone.
    if (!window || !window->isVisible()) {
        window = create();
        makeOwnerless(window);
    }
    bringForward(window);
    return window;
}
// Styles an existing label as every label is styled: green on black, word wrap, plain text.
void styleLabel(QLabel* label, const QString& objectName, QRect geometry, double pointSize = 8.0,
                bool centred = false);

// An editable pick list of file names with an initial text. Enter never adds what was typed, and
// nothing completes it: the text is a file name as the user means it. A long list (the trick
// lists hold 659 names) offers the names that begin with what was typed in a popup below it; a
// click outside the popup closes it and acts on what it hits, as if the popup had not been there.
enum class Suggestions { None, Popup };
QComboBox* pickList(QWidget* parent, const QString& objectName, const QString& initialText,
                    QRect geometry, Suggestions suggestions);
// Appends the names and shows the initial text again: no entry is chosen after filling.
void fillPickList(QComboBox* combo, const QStringList& names);

// A menu of the menu bar; the menu and its item in the bar carry `objectName`.
struct MenuItem {
    QString objectName;
    QString caption;
    std::function<void()> run;
};
QMenu* addMenu(QMenuBar* bar, const QString& objectName, const QString& caption,
               const QList<MenuItem>& items);

// Puts `control` at twips geometry with the standard font and an object name.
void place(QWidget* control, const QString& objectName, QRect geometry);

} // namespace ovra::look

namespace ovra {

// Status bar with three panels: the current time, the current date (both kept up to date by
// the bar itself) and a fixed text taking the remaining width.
class ClockStatusBar : public QStatusBar {
    Q_OBJECT
public:
    ClockStatusBar(QWidget* parent, const QString& fixedText);
    QLabel* textPanel() const { return text_; }

private:
    void refresh();

    QLabel* time_;
    QLabel* date_;
    QLabel* text_;
    QTimer* timer_;
};

} // namespace ovra
