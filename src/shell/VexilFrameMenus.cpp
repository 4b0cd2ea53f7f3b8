#include "shell/VexilFrameMenus.h"

#include "foundation/VexilValueField.h"

std::map<QString, bool> CVexilFrameMenus::Enabling(const TMenuState& aState)
{
    const bool open = aState.StackOpen;
    const bool card = open && aState.CurrentCard;
    const bool field = open && aState.ActiveFieldType != TMenuState::KNoField;
    const bool picture = field && aState.ActiveFieldType == EConTypePicture;
    std::map<QString, bool> enabling;
    auto set = [&enabling](std::initializer_list<const char*> aNames, bool aEnabled) {
        for (const char* name : aNames)
            enabling[QLatin1String(name)] = aEnabled;
    };
    set({"fOpenStack", "fOpenRecent", "fNewStack", "fImport"}, true);
    set({"fSaveStack", "fSaveStackAs", "fExport", "fEditStack", "fSearch", "fEditBackgrounds", "fEditCards",
         "fEditControls", "fEditSortKeys", "fEditValues", "fCloseStack"},
        open);
    set({"fEditBackground", "fEditBackgroundControls"}, card);
    set({"fSelectCard", "fNewCard", "fDeleteCard", "fEmptyStack", "fEditCard"}, open);
    set({"fPicture"}, picture);
    set({"fEditField"}, field);
    set({"fImportPicFile"}, open);
    set({"fOptions", "fHelp", "fAbout", "fClose"}, true);
    return enabling;
}
