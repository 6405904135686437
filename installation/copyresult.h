#pragma once

#include <QString>
#include <utility>

namespace ovra {

struct CopyResult {
    CopyResult() = default;
    CopyResult(bool succeeded, QString why, QString cause = {})
        : ok(succeeded), error(std::move(why)), reason(cause.isEmpty() ? error : std::move(cause)) {
    }

    bool ok = true;
    QString error;  // why it failed, when !ok: a whole sentence that names the file
    QString reason; // the cause alone, for messages that name the file themselves
    explicit operator bool() const { return ok; }
};

} // namespace ovra
