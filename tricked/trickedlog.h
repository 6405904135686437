#pragma once

#include <QLoggingCategory>

namespace tricked {
Q_DECLARE_LOGGING_CATEGORY(lcTrickEd)
} // namespace tricked
