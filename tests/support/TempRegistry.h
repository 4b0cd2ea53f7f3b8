#pragma once

#include "TestEnv.h"
#include "platform/VexilReg.h"

#include <QString>

// Points the registry at an INI file in a temporary folder for the lifetime of the object.
class TempRegistry
{
public:
    TempRegistry() { CVexilReg::SetFileName(FileName()); }
    ~TempRegistry() { CVexilReg::SetFileName(QString()); }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    QString FileName() const { return iDir.File(QStringLiteral("Quorvans.ini")); }
    QString Folder() const { return iDir.Path(); }

private:
    TempDir iDir;
};
