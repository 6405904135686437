#pragma once

class QWidget;

namespace ovra::look {

// The window system's part of a close box only. The window flags ask every window manager for
// no minimise and no maximise button; one that draws them on every ordinary window whatever it is
// asked (Openbox) gets, on X11, a fixed window marked as a tool bar window, the one kind it gives
// a close box alone. Elsewhere it does nothing.
void closeBoxOnlyOnWindowSystem(QWidget* window);

} // namespace ovra::look
