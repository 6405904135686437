#pragma once

#include "widgets/infowindow.h"

// The media editor's Help menu windows, as tables.
namespace mediaed {

ovra::look::InfoWindow aboutWindow();
ovra::look::InfoWindow instructionsWindow();

} // namespace mediaed
