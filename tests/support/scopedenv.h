#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

// Sets an environment variable (removes it for an empty value) until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// The per-user store of kept copies in a folder of its own for the scope, on either platform:
// suites that run at once under one Wine prefix would otherwise share one journal.
struct OwnKeptCopies {
    QTemporaryDir dir;
    ScopedEnv xdg{"XDG_DATA_HOME", QFile::encodeName(dir.path())};
    ScopedEnv local{"LOCALAPPDATA", QFile::encodeName(dir.path())};
};
