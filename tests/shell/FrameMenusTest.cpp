#include "QStringPrinter.h"
#include "foundation/VexilValueField.h"
#include "shell/VexilFrameMenus.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace
{
// The items the rules enable, in the order of the menus.
const QStringList kItems = {
    "fOpenStack", "fOpenRecent", "fSaveStack", "fSaveStackAs", "fNewStack", "fImport", "fExport", "fEditStack",
    "fSearch", "fEditBackgrounds", "fEditCards", "fEditControls", "fEditSortKeys", "fEditValues", "fCloseStack",
    "fEditBackground", "fEditBackgroundControls", "fSelectCard", "fNewCard", "fDeleteCard", "fEmptyStack",
    "fEditCard", "fPicture", "fImportPicFile", "fEditField", "fOptions", "fHelp", "fAbout", "fClose"};

const QStringList kAlways = {"fOpenStack", "fOpenRecent", "fNewStack", "fImport",
                             "fOptions",   "fHelp",       "fAbout",    "fClose"};
const QStringList kWithStack = {"fSaveStack",    "fSaveStackAs",  "fExport",     "fEditStack",    "fSearch",
                                "fEditBackgrounds", "fEditCards", "fEditControls", "fEditSortKeys", "fEditValues",
                                "fCloseStack",   "fSelectCard",   "fNewCard",    "fDeleteCard",   "fEmptyStack",
                                "fEditCard",     "fImportPicFile"};

QStringList Enabled(const TMenuState& aState)
{
    const std::map<QString, bool> enabling = CVexilFrameMenus::Enabling(aState);
    QStringList enabled;
    for (const QString& item : kItems)
        if (enabling.at(item))
            enabled.append(item);
    return enabled;
}

QStringList Sorted(QStringList aList)
{
    aList.sort();
    return aList;
}
}  // namespace

TEST(FrameMenus, EnablingByStackCurrentCardAndActiveField)
{
    constexpr int32_t none = TMenuState::KNoField;
    struct TCase
    {
        const char* What;
        TMenuState State;
        QStringList Extra;  // enabled besides the items that need no more than an open stack
    };
    const TCase cases[] = {
        {"a stack with a card, no field active", {true, true, none}, {"fEditBackground", "fEditBackgroundControls"}},
        {"no current card: the Background menu waits for one", {true, false, none}, {}},
        {"a text field active", {true, true, EConTypeText}, {"fEditBackground", "fEditBackgroundControls", "fEditField"}},
        {"a picture field active",
         {true, true, EConTypePicture},
         {"fEditBackground", "fEditBackgroundControls", "fEditField", "fPicture"}},
        {"a field but no card (never together)", {true, false, EConTypePicture}, {"fEditField", "fPicture"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Sorted(Enabled(c.State)), Sorted(kAlways + kWithStack + c.Extra)) << c.What;

    // Without a stack nothing else counts: only what works without one.
    for (const TMenuState& closed : {TMenuState{}, TMenuState{false, true, EConTypePicture}})
        EXPECT_EQ(Sorted(Enabled(closed)), Sorted(kAlways));
}

TEST(FrameMenus, TheRulesLeaveTheShowItemTheRecentFilesAndTheCommandMenuAlone)
{
    const std::map<QString, bool> enabling = CVexilFrameMenus::Enabling({true, true, EConTypePicture});
    EXPECT_EQ(enabling.size(), size_t(kItems.size()));
    for (const char* untouched : {"fShowPicture", "fHistory0", "fCmd", "fGenFunc0", "fDebug", "fHttpServer"})
        EXPECT_EQ(enabling.count(QLatin1String(untouched)), 0U) << untouched;
}
