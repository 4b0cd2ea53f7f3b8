#include "foundation/VexilPrompts.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{
IVexilPrompts* gPrompts = nullptr;
}

void CVexilPrompts::Install(IVexilPrompts* aPrompts)
{
    gPrompts = aPrompts;
}

IVexilPrompts* CVexilPrompts::Current()
{
    return gPrompts;
}

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

QString TFileDialogPrompt::WithDefaultExt(const QString& aName) const
{
    if (DefaultExt.isEmpty() || aName.isEmpty() || !QFileInfo(aName).suffix().isEmpty())
        return aName;
    return aName + QLatin1Char('.') + DefaultExt;
}
