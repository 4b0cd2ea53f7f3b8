#pragma once

// A stack with one background and a card of it, the card window at a known inner size and a
// card view on it, for the tests of the card layout and its values. Expected measures come
// from the metrics measured at start-up and from the fonts applied as the layout applies them.

#include "AssertAnswers.h"
#include "QStringPrinter.h"
#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TestEnv.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilClock.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilLibUi.h"

#include <gtest/gtest.h>

#include <memory>

// What a field is made with: name, type, flags (besides EConInCardView unless aHidden),
// label, lines and characters.
struct TFieldDef
{
    QString Name;
    int32_t Type = EConTypeText;
    int32_t Flags = 0;
    int16_t VisLines = 1;
    int16_t VisChar = 30;
    bool Hidden = false;
};

class CardViewFixture : public ::testing::Test
{
protected:
    static constexpr float KInnerWidth = 9000;   // 600 pixels
    static constexpr float KInnerHeight = 7200;  // 480 pixels
    static inline const QDateTime kCreated{QDate(2024, 3, 1), QTime(9, 30, 15)};

    static void SetUpTestSuite() { CVexilCardWidgets::Start(); }

    void SetUp() override
    {
        CVexilClock::SetSource([] { return kCreated; });
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Cards"));
        iBg = iStack->Background(0);
        iBg->SetFlag(ECseShowCardName, false);
        iCard = AddCard(QStringLiteral("First"));
        iForm = CVexilGenForm::Instance();
        SetInnerSize(KInnerWidth, KInnerHeight);
        iView = std::make_shared<CVexilCardView>();
        iView->Construct(iStack, CVexilGenForm::KClassName);
    }

    void TearDown() override
    {
        iView->Clear();
        CVexilClock::SetSource({});
    }

    void SetInnerSize(float aWidth, float aHeight)
    {
        iForm->resize(CVexilCtl::TwipsToPixels(aWidth), CVexilCtl::TwipsToPixels(aHeight));
    }

    TCardRef AddCard(const QString& aName, const TControlSetRef& aBackground = nullptr)
    {
        return NewCard(*iStack, aName, aBackground ? aBackground : iBg);
    }

    TControlRef AddField(const TFieldDef& aDef, const TControlSetRef& aBackground = nullptr)
    {
        TControlRef field = NewField(*iStack, aBackground ? *aBackground : *iBg, aDef.Name, aDef.Type);
        field->SetFlags((aDef.Hidden ? 0 : EConInCardView) | aDef.Flags);
        field->SetLabel(aDef.Name);
        field->SetVisLines(aDef.VisLines);
        field->SetVisChar(aDef.VisChar);
        return field;
    }

    // A combo-text field and its combo-list partner holding aLines (CR LF between lines).
    TControlRef AddComboPair(const QString& aName, int32_t aType = EConTypeText)
    {
        TControlRef text = AddField({aName, aType, EConComboText});
        TControlRef list = AddField({aName + QStringLiteral("List"), EConTypeList, EConComboList, 1, 30, true});
        text->SetPartnerId(list->Id());
        list->SetPartnerId(text->Id());
        return text;
    }

    void Show(const TCardRef& aCard = nullptr)
    {
        const TCardRef card = aCard ? aCard : iCard;
        iView->AssignControlSet(card, card->Background());
        iView->ShowValues(card);
    }

    static CVexilCtl& Widget(const TControlRef& aField) { return *CVexilCtl::Of(aField->BaseControl()); }
    static CVexilCtl& Label(const TControlRef& aField) { return *CVexilCtl::Of(aField->BaseLabel()); }

    // The line height and average character width of a field's font (none: the card's font,
    // as labels use), measured as the layout measures them.
    struct TMeasure
    {
        float Line = 0;
        float Width = 0;
    };
    TMeasure FieldMeasure(const CVexilControl* aField = nullptr) const
    {
        CVexilTextBox scratch(nullptr);
        TMeasure measure;
        CVexilLibUi::ApplyControlFont(scratch, *iCard, aField, measure.Line, measure.Width);
        return measure;
    }
    // Height and width of a label with this caption.
    TMeasure LabelMeasure(const QString& aCaption) const
    {
        CVexilLabel scratch(nullptr);
        scratch.setText(aCaption);
        TMeasure measure;
        CVexilLibUi::ApplyControlFont(scratch, *iCard, nullptr, measure.Line, measure.Width);
        return measure;
    }

    static float L() { return CVexilLibUi::LineHeight(); }
    static float W() { return CVexilLibUi::AvgCharWidth(); }

    TStackRef iStack;
    TControlSetRef iBg;
    TCardRef iCard;
    CVexilGenForm* iForm = nullptr;
    std::shared_ptr<CVexilCardView> iView;
};
