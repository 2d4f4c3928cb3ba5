#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets or removes one environment variable for the guard's lifetime; the old value (or its
// absence) comes back however the test leaves the scope, a failed check included.
class ScopedEnv final
{
public:
    ScopedEnv(const char* name, const QByteArray& value, bool unset = false)
        : mName(name)
        , mHad(qEnvironmentVariableIsSet(name))
        , mOld(qgetenv(name))
    {
        if (unset)
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (mHad)
            qputenv(mName, mOld);
        else
            qunsetenv(mName);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* mName;
    bool mHad;
    QByteArray mOld;
};
