#pragma once

#include <QString>

class QWidget;

namespace ovra {

// The two copies of the Directory and Drive Info dialog differ in a few controls.
enum class DirectoryInfoCopy { MediaEditor, TrickEditor };

// Builds the dialog (object name "frmDirectoryInfo") without showing it: look::showSingle shows
// it modeless, without owner, one at a time. OK stores both settings in `programDir`; failures
// are shown with `programTitle` as caption.
QWidget* createDirectoryInfo(DirectoryInfoCopy copy, const QString& programDir,
                             const QString& programTitle);

} // namespace ovra
