#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// Sets or removes one environment variable for the guard's lifetime; the old value (or its
// absence) comes back however the test leaves the scope, a failed check included.
class ScopedEnv final
{
public:
    ScopedEnv(const char* name, const QByteArray& value, bool unset = false)
        : mName(name)
        , mOld(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        unset ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { mOld ? qputenv(mName, *mOld) : qunsetenv(mName); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* mName;
    std::optional<QByteArray> mOld;
};
