#pragma once

#include <QString>
#include <QStringList>

// The platform's part of the clean-up of temporaries.
namespace ovra::detail {

// The names in `directory` that begin with the temporaries' prefix.
QStringList temporaryCandidates(const QString& directory);
// Removes the temporary at `path` when no running writer holds it; true when it went.
bool removeUnheld(const QString& path);

} // namespace ovra::detail
