#pragma once

#include <QLocale>
#include <QString>
#include <QTemporaryDir>

// The locale every test starts with: dot decimal, comma grouping.
inline const QLocale kDotLocale{QLocale::English, QLocale::UnitedStates};
// A comma-decimal locale for the cases that depend on it.
inline const QLocale kCommaLocale{QLocale::German, QLocale::Germany};

// Sets the default locale for the lifetime of the object and restores the pinned one after.
class LocaleScope
{
public:
    explicit LocaleScope(const QLocale& aLocale) { QLocale::setDefault(aLocale); }
    ~LocaleScope() { QLocale::setDefault(kDotLocale); }
};

// A temporary folder removed with the object.
class TempDir
{
public:
    TempDir() = default;
    QString Path() const { return iDir.path(); }
    QString File(const QString& aName) const { return iDir.filePath(aName); }

private:
    QTemporaryDir iDir;
};

// Sets up the process for tests: offscreen platform, pinned locale, scripted prompts, and
// a listener that checks that each test used up its scripted answers.
void InitTestEnvironment(int& argc, char** argv);
