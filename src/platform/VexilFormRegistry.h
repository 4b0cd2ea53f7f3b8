#pragma once

#include <QString>

#include <functional>

class CVexilForm;

// The one instance of each managed window class, made on first use from the factory
// registered under its class name. The windows live until UnloadAll.
class CVexilFormRegistry
{
public:
    using TFactory = std::function<CVexilForm*()>;

    // A later registration of the same name replaces the factory; a loaded instance stays.
    static void Register(const QString& aClassName, TFactory aFactory);
    static bool IsRegistered(const QString& aClassName);
    // The instance, made now when it does not exist; an unknown name fails the assertion
    // "NameToForm name " with the name and gives none.
    static CVexilForm* NameToForm(const QString& aClassName);
    // The instance when it exists, else none; makes nothing.
    static CVexilForm* Loaded(const QString& aClassName);
    // Deletes every instance (before the application object goes).
    static void UnloadAll();
};
