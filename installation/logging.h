#pragma once

#include <QLoggingCategory>

// Why something failed, for a player or a maintainer who wants to know more than a message box
// says: QT_LOGGING_RULES="ovra.*=true" shows everything.
namespace ovra {
Q_DECLARE_LOGGING_CATEGORY(lcInstallation)
} // namespace ovra
