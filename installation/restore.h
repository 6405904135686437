#pragma once

#include "installation/folders.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace ovra {

struct RestoreResult {
    bool ok = true;
    int restored = 0; // files copied before the end or the failure
    QString error;    // why it stopped, when !ok
};

// One copy of a batch: the CD file `source` over the installed file named `target`.
struct PlannedCopy {
    QString source;
    QString target;
};

// What a batch checks before it writes anything: that the installed folder exists and can be
// written, and that the copies fit in its free space, counting what each file replaced frees
// once it is renamed over and a margin. A CD may claim any size for its files (an image's
// entries may share one huge extent), so sizes are trusted only after this. Why not gives both
// figures.
Result<> checkBatch(const CdFolder& from, const HostFolder& to, const QList<PlannedCopy>& copies);

// After each file of a batch: how many of how many are done.
using Progress = std::function<void(int done, int total)>;

// The one restore loop: for i from 0 to count - 1, copies the CD file `names[i]` over the
// installed file of the same name and then calls `progress(i + 1, count)`. Checks the batch first
// (see checkBatch) and then copies nothing when it would not fit. Stops at the first failure with
// its reason (a copy that fails, or a list of fewer than `count` names); what was copied before it
// stays restored. What each copy replaces is kept first, as one command of `changes`.
RestoreResult restoreFiles(const CdFolder& from, const HostFolder& to, const QStringList& names,
                           int count, const Progress& progress, Changes& changes);

} // namespace ovra
