#pragma once

#include "widgets/infowindow.h"

// The trick editor's Help menu windows, as tables.
namespace tricked {

// Text of the History and Info window's label, with the runs of blanks that start new lines.
QString historyText();
extern const QString kInstructionsText;

ovra::look::InfoWindow instructionsWindow();
ovra::look::InfoWindow historyWindow();
ovra::look::InfoWindow aboutWindow();

} // namespace tricked
