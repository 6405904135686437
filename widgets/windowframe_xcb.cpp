#include "widgets/windowframe.h"

#include <QByteArray>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace ovra::look {

namespace {

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
    const Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr),
        &std::free);
    if (!reply)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

// The name the running window manager gives itself (EWMH), empty when there is none.
QByteArray windowManager(xcb_connection_t* c, xcb_window_t window) {
    const Owned<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr), &std::free);
    if (!tree)
        return {};
    const QByteArray check =
        property(c, tree->root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (check.size() != sizeof(xcb_window_t))
        return {};
    xcb_window_t wm;
    std::memcpy(&wm, check.constData(), sizeof wm);
    return property(c, wm, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"));
}

// Openbox 3.6 lets no Motif hint take a button away; it leaves minimise and maximise off tool bar
// and menu windows only.
bool drawsEveryButton(const QByteArray& windowManager) {
    return windowManager == "Openbox";
}

// The window type must be in place before the window is mapped, when the window manager reads
// it: the window exists, unmapped, while its first show event is delivered.
class MarkOnFirstShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show)
            return false;
        auto* window = static_cast<QWidget*>(watched);
        window->removeEventFilter(this);
        deleteLater();
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11 ? x11->connection() : nullptr;
        const auto id = xcb_window_t(window->winId());
        if (!c || !drawsEveryButton(windowManager(c, id)))
            return false;
        const xcb_atom_t types[] = {atom(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                    atom(c, "_NET_WM_WINDOW_TYPE_NORMAL")};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_WINDOW_TYPE"),
                            XCB_ATOM_ATOM, 32, 2, types);
        xcb_flush(c);
        return false;
    }
};

} // namespace

void closeBoxOnlyOnWindowSystem(QWidget* window) {
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        window->installEventFilter(new MarkOnFirstShow(window));
}

} // namespace ovra::look
