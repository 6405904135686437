#pragma once

#include <QLoggingCategory>

namespace mediaed {
Q_DECLARE_LOGGING_CATEGORY(lcMediaEd)
} // namespace mediaed
