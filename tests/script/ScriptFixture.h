#pragma once

// A small stack with a test stack view and an interpreter, for running compiled handlers.

#include "QStringPrinter.h"
#include "RaisedError.h"
#include "StackBuild.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "script/VexilCompiler.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// The stack view as scripts see it, over the model: it shows cards by remembering them, sends
// "openCard" as the real one does and records what it was asked.
class TestStackView : public IVexilStackViewLink
{
public:
    TStackRef Stack() const override { return iStack; }
    TCardRef CurCard() const override { return iCurCard; }

    void GoToCard(const TCardRef& aCard) override
    {
        iShown.push_back(aCard->Name());
        iCurCard = aCard;
        CallOut();
        TObjRef handler;
        iInterpreter->LocateAndExecScript(aCard, nullptr, QStringLiteral("openCard"), handler);
    }

    bool OrderNext(TCardRef& aCard) override
    {
        if (!iCurCard || !iStack->OrderNext(*iCurCard, aCard))
            return false;
        GoToCard(aCard);
        return true;
    }

    void SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aVal) override
    {
        ++iNumSetValues;
        aCard->SetControlVal(aControlId, aVal);
        CallOut();
    }

    void ShowProgress(int32_t aPercent) override { iProgress.push_back(aPercent); }

    void CallOut()
    {
        // A copy: the hook may replace itself.
        if (const std::function<void()> hook = iOnCallOut)
            hook();
    }

    TStackRef iStack;
    TCardRef iCurCard;
    CVexilInterpreter* iInterpreter = nullptr;
    std::vector<QString> iShown;
    std::vector<int32_t> iProgress;
    int iNumSetValues = 0;
    // Runs inside GoToCard and SetValue, as the user's doing while the script yields there.
    std::function<void()> iOnCallOut;
};

class ScriptFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!gCompiler)
            gCompiler = std::make_unique<CVexilCompiler>();
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Test"));
        iBg = iStack->Background(0);
        iView.iStack = iStack;
        iView.iInterpreter = &iInterp;
        CVexilStackViewLink::Install(&iView);
    }

    void TearDown() override
    {
        iInterp.Reset();
        CVexilStackViewLink::Install(nullptr);
    }

    TControlSetRef AddBackground(const QString& aName) { return NewBackground(*iStack, aName); }

    TControlRef AddField(const QString& aName, int32_t aType, const TControlSetRef& aBackground = nullptr)
    {
        return NewField(*iStack, aBackground ? *aBackground : *iBg, aName, aType);
    }

    // Appends a card to the stack order; the first card added is shown.
    TCardRef AddCard(const QString& aName, const TControlSetRef& aBackground = nullptr)
    {
        TCardRef card = NewCard(*iStack, aName, aBackground ? aBackground : iBg);
        if (!iView.iCurCard)
            iView.iCurCard = card;
        return card;
    }

    // Compiles the lines (joined by CR LF) as the script of aObj.
    template <class T>
    static void SetScript(T& aObj, const QStringList& aLines)
    {
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        gCompiler->Compile(aLines.join(QStringLiteral("\r\n")), *script);
        aObj.SetScript(script);
    }

    // Sends the message along the path of the current card (and the field, when given).
    TObjRef Send(const QString& aMsg, const TControlRef& aControl = nullptr)
    {
        TObjRef handler;
        iInterp.LocateAndExecScript(iView.iCurCard, aControl, aMsg, handler);
        return handler;
    }

    // The handler "t" of these lines, as the current card's script, run to its end.
    void Run(const QStringList& aLines)
    {
        SetScript(*iView.iCurCard, QStringList{QStringLiteral("On t")} + aLines + QStringList{QStringLiteral("End")});
        Send(QStringLiteral("t"));
    }

    // Runs the lines, which must fail with a script run-time error; its record, after the
    // caller's reset.
    TRunErrInfo RunFails(const QStringList& aLines)
    {
        SetScript(*iView.iCurCard, QStringList{QStringLiteral("On t")} + aLines + QStringList{QStringLiteral("End")});
        return SendFails(QStringLiteral("t"));
    }

    TRunErrInfo SendFails(const QString& aMsg, const TControlRef& aControl = nullptr)
    {
        const int32_t error = RaisedError([&] { Send(aMsg, aControl); });
        EXPECT_EQ(error, EScrRunError);
        EXPECT_EQ(iInterp.Running(), error == EScrRunError);
        iInterp.Reset();
        return iInterp.GetErrorInfo();
    }

    // The value of a card's field as its neutral text.
    static QString ValueOf(const TCardRef& aCard, const TControlRef& aControl)
    {
        TValue val;
        aCard->GetControlVal(aControl->Id(), val, false);
        return val.iType == EValUndef ? QStringLiteral("<undef>") : CVexilValue::ValToIntText(val);
    }

    TStackRef iStack;
    TControlSetRef iBg;
    TestStackView iView;
    CVexilInterpreter iInterp;
};
