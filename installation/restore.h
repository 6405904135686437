#pragma once

#include "folders.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace ovra {

struct RestoreResult {
    bool ok = true;
    int restored = 0; // files copied before the end or the failure
    QString error;    // why it stopped, when !ok
};

// The one restore loop: for i from 0 to count - 1, copies the CD file `names[i]` over the
// installed file of the same name and then calls `done(i)`. Stops at the first failure with its
// reason (a copy that fails, or a list of fewer than `count` names); what was copied before it
// stays restored.
RestoreResult restoreFiles(const CdFolder& from, const HostFolder& to, const QStringList& names,
                           int count, const std::function<void(int)>& done);

} // namespace ovra
