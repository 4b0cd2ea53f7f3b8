#include "platform/VexilFormRegistry.h"

#include "foundation/VexilError.h"
#include "platform/VexilForm.h"

#include <QHash>
#include <QPointer>

namespace
{
struct TFormEntry
{
    CVexilFormRegistry::TFactory Factory;
    QPointer<CVexilForm> Instance;
};

QHash<QString, TFormEntry>& Entries()
{
    static QHash<QString, TFormEntry> entries;
    return entries;
}

QStringList& Order()
{
    static QStringList order;
    return order;
}
}  // namespace

void CVexilFormRegistry::Register(const QString& aClassName, TFactory aFactory)
{
    Entries()[aClassName].Factory = std::move(aFactory);
}

bool CVexilFormRegistry::IsRegistered(const QString& aClassName)
{
    return Entries().contains(aClassName);
}

CVexilForm* CVexilFormRegistry::NameToForm(const QString& aClassName)
{
    const auto entry = Entries().find(aClassName);
    CVexilError::Assert(entry != Entries().end(), QStringLiteral("NameToForm name ") + aClassName);
    if (entry == Entries().end())
        return nullptr;
    if (!entry->Instance)
    {
        entry->Instance = entry->Factory();
        Order().removeAll(aClassName);
        Order().append(aClassName);
    }
    return entry->Instance;
}

CVexilForm* CVexilFormRegistry::Loaded(const QString& aClassName)
{
    const auto entry = Entries().constFind(aClassName);
    return entry == Entries().constEnd() ? nullptr : entry->Instance.data();
}

void CVexilFormRegistry::Unload(const QString& aClassName)
{
    const auto entry = Entries().find(aClassName);
    if (entry == Entries().end() || !entry->Instance)
        return;
    CVexilForm* form = entry->Instance;
    entry->Instance = nullptr;
    Order().removeAll(aClassName);
    form->hide();
    form->deleteLater();
}

QStringList CVexilFormRegistry::LoadOrder()
{
    // An instance deleted by other means is no longer loaded.
    QStringList order;
    for (const QString& name : Order())
        if (Loaded(name))
            order.append(name);
    return order;
}

void CVexilFormRegistry::UnloadAll()
{
    Order().clear();
    for (TFormEntry& entry : Entries())
        delete entry.Instance.data();
}
