#pragma once

#include <QString>

#include <cstdint>
#include <map>

// What the items of the main window's menus depend on when a menu opens.
struct TMenuState
{
    static constexpr int32_t KNoField = -1;

    bool StackOpen = false;
    // The current stack view has a current card.
    bool CurrentCard = false;
    // The type (EConType) of the field behind the card window's active control; KNoField when
    // no field is active.
    int32_t ActiveFieldType = KNoField;
};

// The enabling rules of the main window's menus, applied each time a menu opens.
class CVexilFrameMenus
{
public:
    // The enabled state of every menu item the rules set, by control name. Items it does not
    // name ("&Show..." of the picture submenu, the recent files, the Cmds and Debug menus)
    // keep their state. "&Picture" needs a picture field, the Background menu a current card.
    static std::map<QString, bool> Enabling(const TMenuState& aState);
};
