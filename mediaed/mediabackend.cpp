#include "mediaed/mediabackend.h"

#include <QByteArray>
#include <QtGlobal>

namespace mediaed {

void chooseMediaBackend() {
#if defined(Q_OS_LINUX)
    // Qt's other back end on Linux fails without a sound device; GStreamer needs none.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
#endif
}

} // namespace mediaed
