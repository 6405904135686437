#include "logging.h"

namespace ovra {
Q_LOGGING_CATEGORY(lcInstallation, "ovra.installation")
} // namespace ovra
