#pragma once

// A stack of 12 cards on two backgrounds, saved to a temporary folder and opened as the
// current stack the way the program opens a stack file, for the tests of the stack view and
// the card window. The stack's handlers answer the message they got, so the scripted prompts
// record every "openCard" (with the card's name), "closeField", "exitField" and "select".

#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TestEnv.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackHost.h"
#include "model/VexilStackViewRec.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilCurrentStack.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilStackView.h"
#include "script/VexilCompiler.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class StackViewFixture : public ::testing::Test
{
protected:
    // The cards in stack order: 8 of "Person", then 4 of "Place".
    static inline const QStringList kPeople = {"Adams", "Baker", "Clark", "Davis", "Evans", "Fox", "Grant", "Hill"};
    static inline const QStringList kPlaces = {"Oslo", "Paris", "Quito", "Rome"};

    static void SetUpTestSuite()
    {
        CVexilCardWidgets::Start();
        CVexilCurrentStack::Install();
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
        const TStackRef stack = BuildStack();
        // The first card's "openCard".
        Open(stack, QStringLiteral("People.xml"), 1);
    }

    void TearDown() override { CloseStack(); }

    // ---- building stacks

    // Compiles the lines (joined by CR LF) as the script of aObj.
    template <class T>
    static void SetScript(T& aObj, const QStringList& aLines)
    {
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        gCompiler->Compile(aLines.join(QStringLiteral("\r\n")), *script);
        aObj.SetScriptSource(aLines.join(QStringLiteral("\r\n")));
        aObj.SetScript(script);
    }

    // A handler that answers its own message; "openCard" adds the card's name.
    static QStringList Answering(const QString& aMsg)
    {
        const QString extra = aMsg == QStringLiteral("openCard") ? QStringLiteral(" & \" \" & Field \"Name\"") : QString();
        return {QStringLiteral("On ") + aMsg, QStringLiteral("Answer \"%1\"").arg(aMsg) + extra, QStringLiteral("End")};
    }

    static TControlRef AddField(CVexilStack& aStack, CVexilControlSet& aBackground, const QString& aName,
                                int32_t aType, int32_t aFlags = 0, int16_t aVisLines = 1)
    {
        TControlRef field = NewField(aStack, aBackground, aName, aType);
        field->SetFlags(EConInCardView | aFlags);
        field->SetLabel(aName);
        field->SetVisLines(aVisLines);
        field->SetVisChar(20);
        return field;
    }

    static TCardRef AddCard(CVexilStack& aStack, const TControlSetRef& aBackground, const TControlRef& aNameField,
                            const QString& aName)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(aName, aBackground);
        TCardRef before;
        aStack.AddCard(card, before, false);
        card->SetControlVal(aNameField->Id(), Str(aName));
        return card;
    }

    static TValue Str(const QString& aText)
    {
        TValue val;
        val.iType = EValStr;
        val.iStr = aText;
        return val;
    }

    // "Person": Name (the card name), Age, Weight, Born, Wakes, Notes (3 lines), Member and a
    // button Next (the standard command); "Place": Name and Country. The stack answers
    // "openCard", "closeField", "exitField" and "select".
    static TStackRef BuildStack()
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("People"));
        TControlSetRef person = stack->Background(0);
        person->SetName(QStringLiteral("Person"));
        const TControlRef name = AddField(*stack, *person, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef age = AddField(*stack, *person, QStringLiteral("Age"), EConTypeInteger);
        const TControlRef weight = AddField(*stack, *person, QStringLiteral("Weight"), EConTypeReal);
        weight->SetDigits(1);
        AddField(*stack, *person, QStringLiteral("Born"), EConTypeDate);
        AddField(*stack, *person, QStringLiteral("Wakes"), EConTypeTime);
        AddField(*stack, *person, QStringLiteral("Notes"), EConTypeText, 0, 3);
        AddField(*stack, *person, QStringLiteral("Member"), EConTypeBoolean);
        const TControlRef next =
            AddField(*stack, *person, QStringLiteral("Next"), EConTypeCommand, EConAsButton | EConStdCmd);
        next->SetStdCmd(EStdCmdNextCard);

        TControlSetRef place = NewBackground(*stack, QStringLiteral("Place"));
        const TControlRef placeName = AddField(*stack, *place, QStringLiteral("Name"), EConTypeText, EConCardName);
        AddField(*stack, *place, QStringLiteral("Country"), EConTypeText);

        for (int i = 0; i < kPeople.size(); ++i)
        {
            const TCardRef card = AddCard(*stack, person, name, kPeople[i]);
            TValue val;
            val.iType = EValInt;
            val.iInt = 20 + i;
            card->SetControlVal(age->Id(), val);
        }
        for (const QString& city : kPlaces)
            AddCard(*stack, place, placeName, city);

        QStringList script;
        for (const char* msg : {"openCard", "closeField", "exitField", "select"})
            script += Answering(QString::fromLatin1(msg));
        SetScript(*stack, script);
        return stack;
    }

    // Saves the stack as a file of the temporary folder and opens it as the current stack;
    // aAnswers is the number of answers that opening gives (each "openCard" is one).
    void Open(const TStackRef& aStack, const QString& aFileName, int aAnswers)
    {
        const QString path = iDir.File(aFileName);
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        CVexilStackFile file;
        file.Construct(path);
        file.SaveStack(aStack, rec);
        Answers(aAnswers, [&] { CVexilStackHost::HandleLoadStack(path); });
        ASSERT_TRUE(gStackView);
        ASSERT_EQ(gStackView->Stack(), gStack);
    }

    // Leaves the current stack as closing it does: the views go, the card window is destroyed.
    static void CloseStack()
    {
        if (gStackView)
            gStackView->Release();
        CVexilStackViewLink::Install(nullptr);
        gStackView.reset();
        gStack.reset();
        if (gInterpreter)
            gInterpreter->Reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // ---- running and looking

    // Runs aDo, which must give exactly aCount answers; they are returned.
    static QStringList Answers(int aCount, const std::function<void()>& aDo)
    {
        ScriptedPrompts& prompts = ScriptedPrompts::Instance();
        const qsizetype before = prompts.Notices().size();
        for (int i = 0; i < aCount; ++i)
            prompts.ExpectNotice();
        aDo();
        EXPECT_EQ(prompts.Pending(), 0) << "fewer answers than expected";
        return prompts.Notices().mid(before);
    }

    static CVexilStackView& View() { return *gStackView; }
    // The card window when it is loaded.
    static CVexilGenForm* Window()
    {
        return static_cast<CVexilGenForm*>(CVexilFormRegistry::Loaded(CVexilGenForm::KClassName));
    }
    static QString Title() { return Window() ? Window()->Caption() : QString(); }

    static TCardRef Card(const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(gStack->GetCard(aName, card)) << aName.toStdString();
        return card;
    }
    static QString CurName() { return gStackView->CurCard() ? gStackView->CurCard()->Name() : QStringLiteral("-"); }

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

    // One step of the user: "go <card>", "first", "next", "prev", "last", "back", "forward".
    // Gives whether the step found a card (a "go" always does).
    static bool UserStep(const QString& aStep)
    {
        CVexilStackView& view = *gStackView;
        TCardRef card;
        if (aStep.startsWith(QStringLiteral("go ")))
        {
            view.GoToCard(Card(aStep.mid(3)));
            return true;
        }
        if (aStep == QStringLiteral("first"))
            return view.OrderFirst(card);
        if (aStep == QStringLiteral("next"))
            return view.OrderNext(card);
        if (aStep == QStringLiteral("prev"))
            return view.OrderPrev(card);
        if (aStep == QStringLiteral("last"))
            return view.OrderLast(card);
        if (aStep == QStringLiteral("back"))
            return view.HistoryPrev(card);
        if (aStep == QStringLiteral("forward"))
            return view.HistoryNext(card);
        ADD_FAILURE() << "unknown step " << aStep.toStdString();
        return false;
    }

    // The history as card names, with the entry of the index in brackets: "A [B] C".
    static QString HistoryText()
    {
        QStringList names;
        for (int16_t i = 0; i < gStackView->HistCount(); ++i)
        {
            const QString name = gStackView->History(i) ? gStackView->History(i)->Name() : QStringLiteral("-");
            names += i == gStackView->HistIndex() ? QStringLiteral("[") + name + QStringLiteral("]") : name;
        }
        return names.join(QLatin1Char(' '));
    }

    TempDir iDir;
};
