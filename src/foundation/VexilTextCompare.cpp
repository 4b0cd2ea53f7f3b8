#include "foundation/VexilTextCompare.h"

#include <QCollator>
#include <QLocale>

#include <optional>

namespace
{
struct TCachedCollator
{
    QLocale iLocale;
    std::optional<QCollator> iCollator;
};

const QCollator& CurrentCollator()
{
    static TCachedCollator cache;
    const QLocale locale;
    if (!cache.iCollator || cache.iLocale != locale)
    {
        cache.iLocale = locale;
        cache.iCollator.emplace(locale);
        cache.iCollator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    return *cache.iCollator;
}
}  // namespace

int CVexilTextCompare::Compare(const QString& aA, const QString& aB)
{
    return CurrentCollator().compare(aA, aB);
}
