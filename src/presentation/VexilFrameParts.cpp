#include "presentation/VexilFrameParts.h"

#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilToolbarIcons.h"

#include <QPointer>

CVexilCmdMenu& CVexilFrameParts::CmdMenu()
{
    // Not deleted at exit: a widget must go before the application object, which static
    // objects outlive; the main window that takes the menu deletes it with itself.
    static QPointer<CVexilCmdMenu> menu;
    if (!menu)
        menu = new CVexilCmdMenu;
    return *menu;
}

const CVexilImageList& CVexilFrameParts::ToolbarIcons()
{
    static const CVexilImageList icons = CVexilToolbarIcons::Make();
    return icons;
}
