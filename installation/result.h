#pragma once

#include <QString>
#include <utility>

namespace ovra {

// Why a step failed: a whole sentence that names the file or folder (`error`), and the cause
// alone (`reason`) for messages that name the file themselves.
struct Failure {
    QString error;
    QString reason;
};

inline Failure failed(QString error, QString reason = {}) {
    return {std::move(error), std::move(reason)};
}

// The one result of the installation layer's steps: a value, or why there is none. Success
// converts from the value, failure from a Failure; `ok` says which.
template <class T = void> struct Result {
    Result(T result) : value(std::move(result)) {}
    Result(Failure why)
        : ok(false), error(std::move(why.error)),
          reason(why.reason.isEmpty() ? error : std::move(why.reason)) {}

    bool ok = true;
    QString error;  // when !ok
    QString reason; // when !ok
    T value{};      // when ok
    explicit operator bool() const { return ok; }
};

template <> struct Result<void> {
    Result() = default;
    Result(Failure why)
        : ok(false), error(std::move(why.error)),
          reason(why.reason.isEmpty() ? error : std::move(why.reason)) {}
    Result(bool succeeded, QString why, QString cause = {})
        : ok(succeeded), error(std::move(why)), reason(cause.isEmpty() ? error : std::move(cause)) {
    }

    bool ok = true;
    QString error;  // when !ok
    QString reason; // when !ok
    explicit operator bool() const { return ok; }
};

// A step that gives back nothing but whether it went through.
using CopyResult = Result<>;

} // namespace ovra
