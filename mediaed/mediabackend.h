#pragma once

namespace mediaed {

// Chooses the media back end for the whole process; call it before the application object,
// in every program or test that makes a preview pane. A back end named in QT_MEDIA_BACKEND
// wins.
void chooseMediaBackend();

} // namespace mediaed
