#include "RaisedError.h"
#include "platform/VexilImageList.h"
#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilFrameParts.h"
#include "presentation/VexilGenForm.h"

#include <QAction>

#include <gtest/gtest.h>

namespace
{
TEST(ToolbarIcons, FifteenKeysAndAMissingKeyIsARunTimeError)
{
    const CVexilImageList& icons = CVexilFrameParts::ToolbarIcons();
    const QStringList keys = {"NewStack",      "OpenStack",     "SaveStack", "FirstCard",       "PrevCard",
                              "NextCard",      "LastCard",      "BackInHistory", "ForwInHistory", "EditStack",
                              "EditBackgrounds", "EditCards",   "EditControls", "ShowCardList", "SelectCard"};
    ASSERT_EQ(icons.Count(), keys.size());
    for (int i = 0; i < keys.size(); ++i)
    {
        EXPECT_EQ(icons.Key(i), keys[i]);
        EXPECT_EQ(icons.Picture(keys[i]).size(), QSize(16, 16)) << keys[i].toStdString();
    }
    for (const QString& missing : {QString(), QStringLiteral("GoToCard"), QStringLiteral("nextcard")})
        EXPECT_EQ(RaisedError([&] { icons.Picture(missing); }), 35601) << missing.toStdString();
}

TEST(CmdMenu, DesignCaptionsAndNames)
{
    CVexilCmdMenu menu;
    EXPECT_EQ(menu.objectName(), QStringLiteral("fCmd"));
    EXPECT_EQ(menu.title(), QStringLiteral("&Cmds"));
    QStringList items;
    for (QAction* action : menu.actions())
        items << action->objectName() + QLatin1Char('=') + action->text();
    EXPECT_EQ(items.join(u','), QStringLiteral("fGenFunc0=Function 0,fGenFunc1=Function 1,fGenFunc2=Function 2,"
                                               "fGenFunc3=Function 3,fGenFunc4=Function 4,fGenFunc5=Function 5,"
                                               "fGenFunc6=Function 6,fGenFunc7=Function 7,fGenFunc8=Function 8,"
                                               "fGenFunc9=Function 9,fNoCmd=(No Cmd)"));
    EXPECT_EQ(menu.Item(QStringLiteral("fGenFunc10")), nullptr);
}

TEST(GenForm, PoolsByNameAllHiddenInDesignOrder)
{
    CVexilGenForm* form = CVexilGenForm::Instance();
    EXPECT_EQ(CVexilGenForm::Instance(), form);
    const std::pair<const char*, int> pools[] = {{"fGenTextBox", 20}, {"fGenRichTextBox", 10}, {"fGenComboBox", 10},
                                                 {"fGenCheckBox", 10}, {"fGenButton", 10},  {"fGenListView", 10},
                                                 {"fGenLabel", 30},   {"fGenPictureBox", 10}, {"fGenLine", 1}};
    QStringList expected;
    for (const auto& [prefix, count] : pools)
        for (int i = 0; i < count; ++i)
            expected << QString::fromLatin1(prefix) + QString::number(i);
    expected << "fWallPaperBox" << "fTempPicBox" << "fProgressBox" << "fProgress";
    QStringList names;
    for (CVexilCtl* ctl : form->Controls())
    {
        names << ctl->Name();
        EXPECT_EQ(form->Control(ctl->Name()), ctl);
        EXPECT_FALSE(ctl->Visible()) << ctl->Name().toStdString();
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(form->fProgress->parentWidget(), form->fProgressBox);
    EXPECT_FALSE(form->iShowing);
}
}  // namespace
