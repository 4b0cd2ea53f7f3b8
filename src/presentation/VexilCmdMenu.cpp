#include "presentation/VexilCmdMenu.h"

#include <QAction>

CVexilCmdMenu::CVexilCmdMenu(QWidget* aParent) : QMenu(QStringLiteral("&Cmds"), aParent)
{
    setObjectName(QStringLiteral("fCmd"));
    menuAction()->setObjectName(QStringLiteral("fCmd"));
    for (int i = 0; i < KNumFuncs; ++i)
        addAction(QStringLiteral("Function %1").arg(i))->setObjectName(QStringLiteral("fGenFunc%1").arg(i));
    addAction(QStringLiteral("(No Cmd)"))->setObjectName(QStringLiteral("fNoCmd"));
}

QAction* CVexilCmdMenu::Item(const QString& aName) const
{
    for (QAction* item : actions())
        if (item->objectName() == aName)
            return item;
    return nullptr;
}

void CVexilCmdMenu::SetMenuEnabled(bool aEnabled)
{
    setEnabled(aEnabled);
    menuAction()->setEnabled(aEnabled);
}
