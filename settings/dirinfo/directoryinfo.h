#pragma once

#include <QString>

class QWidget;

namespace ovra {

// The two copies of the Directory and Drive Info dialog differ in a few controls.
enum class DirectoryInfoCopy { MediaEditor, TrickEditor };

// Shows the dialog modeless and without owner, creating it on first use; while it exists,
// brings the same dialog forward. OK stores both settings in `programDir`; failures are shown
// with `programTitle` as caption. Returns the dialog (object name "frmDirectoryInfo").
QWidget* showDirectoryInfo(DirectoryInfoCopy copy, const QString& programDir,
                           const QString& programTitle);

} // namespace ovra
