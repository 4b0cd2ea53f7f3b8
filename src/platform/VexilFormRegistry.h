#pragma once

#include <QString>
#include <QStringList>

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
    // Takes the instance out of the registry and hides it; it is destroyed once control is
    // back in the event loop (the unload may start inside one of its own events). The next
    // NameToForm makes a new instance. Nothing happens when none is loaded.
    static void Unload(const QString& aClassName);
    // The names of the instances that exist, in the order they were made.
    static QStringList LoadOrder();
    // Deletes every instance (before the application object goes).
    static void UnloadAll();
};
