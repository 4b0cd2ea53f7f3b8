#pragma once

// A stack opened as the current stack the way the program opens a stack file, for the tests
// of the pickers: background "Person" with the fields Name (the card name), Age, City, Notes
// and a button "Pick" (the standard command "Select Card"), and its five cards Adams, Baker,
// Clark, Davis and Evans; background "Empty" without cards. Window placements go to a
// temporary registry. A test window answers every picker and records the answers.

#include "TempRegistry.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TestEnv.h"
#include "editors/VexilCardSelect.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilValue.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackHost.h"
#include "model/VexilStackViewRec.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilCurrentStack.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilPickerCallers.h"
#include "presentation/VexilStackView.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilCompiler.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilWinMan.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

// A window that opens the pickers and keeps what they hand back.
class PickerCaller final : public CVexilForm,
                           public IVexilCardSelectCaller,
                           public IVexilControlSelectCaller,
                           public IVexilFontSelectCaller
{
public:
    static inline const QString KClassName = QStringLiteral("PickerCaller");

    static PickerCaller* Instance()
    {
        CVexilFormRegistry::Register(KClassName, [] { return new PickerCaller; });
        return static_cast<PickerCaller*>(CVexilFormRegistry::NameToForm(KClassName));
    }

    void SetCard(const TCardRef& aCard, int16_t aCase) override { iCards.emplace_back(aCard, aCase); }
    void SetControls(const std::shared_ptr<CVexilArray>& aIds, int16_t aCase) override
    {
        iControls.emplace_back(aIds, aCase);
    }
    void SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase) override { iFonts.emplace_back(aFont, aCase); }

    // Kept apart from the window, which may be gone when a test looks.
    static inline std::vector<std::pair<TCardRef, int16_t>> iCards;
    static inline std::vector<std::pair<std::shared_ptr<CVexilArray>, int16_t>> iControls;
    static inline std::vector<std::pair<std::shared_ptr<CVexilFont>, int16_t>> iFonts;
};

// The windows the stack view opens by name: shown through the window manager.
class ManagedWindows final : public IVexilStackViewWindows
{
public:
    void ShowForm(const QString& aClassName) override
    {
        if (CVexilForm* form = CVexilWinMan::NameToForm(aClassName))
            CVexilWinMan::ShowForm(*form);
    }
};

class PickerFixture : public ::testing::Test
{
protected:
    static inline const QStringList kCards = {"Adams", "Baker", "Clark", "Davis", "Evans"};

    static void SetUpTestSuite()
    {
        CVexilCardWidgets::Start();
        CVexilCurrentStack::Install();
        CVexilWinMan::RegisterForms();
        if (!gCompiler)
        {
            gCompiler = std::make_unique<CVexilCompiler>();
            gCompiler->Construct();
        }
        if (!gInterpreter)
        {
            gInterpreter = std::make_unique<CVexilInterpreter>();
            gInterpreter->Construct();
        }
    }

    void SetUp() override
    {
        PickerCaller::iCards.clear();
        PickerCaller::iControls.clear();
        PickerCaller::iFonts.clear();
        CVexilStackViewWindows::Install(&iWindows);
        Open(BuildStack(), QStringLiteral("People.xml"));
    }

    void TearDown() override
    {
        CloseStack();
        CVexilFormRegistry::Unload(PickerCaller::KClassName);
        FlushDeletes();
        CVexilStackViewWindows::Install(nullptr);
    }

    static TStackRef BuildStack()
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("People"));
        const TControlSetRef person = stack->Background(0);
        person->SetName(QStringLiteral("Person"));
        const TControlRef name = NewField(*stack, *person, QStringLiteral("Name"), EConTypeText);
        name->SetFlags(EConInCardView | EConCardName);
        NewField(*stack, *person, QStringLiteral("Age"), EConTypeInteger);
        NewField(*stack, *person, QStringLiteral("City"), EConTypeText);
        NewField(*stack, *person, QStringLiteral("Notes"), EConTypeText);
        const TControlRef pick = NewField(*stack, *person, QStringLiteral("Pick"), EConTypeCommand);
        pick->SetFlags(EConInCardView | EConAsButton | EConStdCmd);
        pick->SetLabel(QStringLiteral("Pick"));
        pick->SetStdCmd(EStdCmdSelectCard);
        for (const QString& cardName : kCards)
        {
            const TCardRef card = NewCard(*stack, cardName, person);
            TValue val;
            val.iType = EValStr;
            val.iStr = cardName;
            card->SetControlVal(name->Id(), val);
        }
        NewBackground(*stack, QStringLiteral("Empty"));
        return stack;
    }

    // Saves the stack in the temporary folder and opens it as the current stack.
    void Open(const TStackRef& aStack, const QString& aFileName)
    {
        const QString path = iDir.File(aFileName);
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        CVexilStackFile file;
        file.Construct(path);
        file.SaveStack(aStack, rec);
        CVexilStackHost::HandleLoadStack(path);
        ASSERT_TRUE(gStackView);
    }

    // Leaves the current stack as the program does: the windows hear of it first.
    static void CloseStack()
    {
        if (!gStack)
            return;
        CVexilWinMan::NotifyAll(EChgClosingStack);
        if (gStackView)
            gStackView->Release();
        CVexilStackViewLink::Install(nullptr);
        gStackView.reset();
        gStack.reset();
        CVexilWinMan::NotifyAll(EChgStackClosed);
        FlushDeletes();
    }

    // Windows unloaded are destroyed once control is back in the event loop.
    static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    static TCardRef Card(const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(gStack->GetCard(aName, card)) << aName.toStdString();
        return card;
    }
    static TControlSetRef Background(const QString& aName)
    {
        TControlSetRef background;
        EXPECT_TRUE(gStack->GetBackgroundByName(aName, background)) << aName.toStdString();
        return background;
    }
    static TControlRef Field(const QString& aBackground, const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(Background(aBackground)->GetControlByName(aName, field)) << aName.toStdString();
        return field;
    }

    // ---- the user on list views

    static QTreeWidgetItem* Line(QTreeWidget& aList, const QString& aText)
    {
        const QList<QTreeWidgetItem*> items = aList.findItems(aText, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1) << aText.toStdString();
        return items.value(0);
    }
    static QPoint LinePoint(QTreeWidget& aList, const QString& aText)
    {
        QTreeWidgetItem* item = Line(aList, aText);
        return item ? aList.visualItemRect(item).center() : QPoint();
    }
    static void ClickLine(QTreeWidget& aList, const QString& aText, Qt::KeyboardModifiers aKeys = {})
    {
        QTest::mouseClick(aList.viewport(), Qt::LeftButton, aKeys, LinePoint(aList, aText));
    }
    static void DoubleClickLine(QTreeWidget& aList, const QString& aText)
    {
        const QPoint at = LinePoint(aList, aText);
        QTest::mouseClick(aList.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(aList.viewport(), Qt::LeftButton, {}, at);
    }
    static QStringList Lines(const QTreeWidget& aList)
    {
        QStringList lines;
        for (int i = 0; i < aList.topLevelItemCount(); ++i)
            lines += aList.topLevelItem(i)->text(0);
        return lines;
    }
    static QStringList SelectedLines(const QTreeWidget& aList)
    {
        QStringList lines;
        for (int i = 0; i < aList.topLevelItemCount(); ++i)
            if (aList.topLevelItem(i)->isSelected())
                lines += aList.topLevelItem(i)->text(0);
        return lines;
    }

    TempRegistry iRegistry;
    TempDir iDir;
    ManagedWindows iWindows;
};
