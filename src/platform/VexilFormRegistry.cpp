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
        entry->Instance = entry->Factory();
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
    form->hide();
    form->deleteLater();
}

void CVexilFormRegistry::UnloadAll()
{
    for (TFormEntry& entry : Entries())
        delete entry.Instance.data();
}
