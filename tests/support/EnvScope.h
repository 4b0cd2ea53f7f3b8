#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets an environment variable for the lifetime of the object.
class EnvScope
{
public:
    EnvScope(const char* aName, const QByteArray& aValue)
        : iName(aName), iOld(qgetenv(aName)), iHadOld(qEnvironmentVariableIsSet(aName))
    {
        qputenv(aName, aValue);
    }
    ~EnvScope()
    {
        if (iHadOld)
            qputenv(iName, iOld);
        else
            qunsetenv(iName);
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    const char* iName;
    QByteArray iOld;
    bool iHadOld;
};
