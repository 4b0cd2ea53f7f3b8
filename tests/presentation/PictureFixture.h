#pragma once

// A stack with one background holding a picture field and one card on view, a stack view over
// the model, picture boxes and picture files, for the tests of pictures and wallpapers.

#include "PictureBytes.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "ValueBuild.h"
#include "foundation/VexilObject.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "platform/VexilCtls.h"
#include "script/VexilStackViewLink.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// The stack view as the picture procedures see it: the open stack, the card on view, and
// values stored straight into the card.
class ModelStackView : public IVexilStackViewLink
{
public:
    TStackRef Stack() const override { return iStack; }
    TCardRef CurCard() const override { return iCurCard; }
    void GoToCard(const TCardRef& aCard) override { iCurCard = aCard; }
    bool OrderNext(TCardRef& aCard) override { return iCurCard && iStack->OrderNext(*iCurCard, aCard); }
    void SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aVal) override
    {
        aCard->SetControlVal(aControlId, aVal);
    }
    void ShowProgress(int32_t /*aPercent*/) override {}

    TStackRef iStack;
    TCardRef iCurCard;
};

class PictureFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Pictures"));
        iBg = iStack->Background(0);
        iField = NewField(*iStack, *iBg, QStringLiteral("Photo"), 8);
        iCard = AddCard(QStringLiteral("First"));
        iView.iStack = iStack;
        iView.iCurCard = iCard;
        CVexilStackViewLink::Install(&iView);
    }

    void TearDown() override { CVexilStackViewLink::Install(nullptr); }

    CVexilBlobStore& Store() const { return *iStack->BlobStore(); }

    TCardRef AddCard(const QString& aName, const TControlSetRef& aBackground = nullptr)
    {
        return NewCard(*iStack, aName, aBackground ? aBackground : iBg);
    }

    // A blob of the store holding aBytes; aId 0 takes the next id of the stack. Its one stored
    // reference stands for a card value elsewhere, so that the store keeps it when no box
    // shows it; aReferred false leaves the references to the test.
    TBlobRef AddBlob(const QByteArray& aBytes, int32_t aId = 0, bool aReferred = true)
    {
        const TBlobRef blob = NewBlob(*iStack, aBytes, aId);
        if (aReferred)
            blob->IncRefCount();
        return blob;
    }

    TBlobRef AddPng(int aWidth, int aHeight, int32_t aId = 0, bool aReferred = true)
    {
        return AddBlob(QtPictureBytes(QuarterImage(aWidth, aHeight), "PNG"), aId, aReferred);
    }

    TValue FieldValue(const TCardRef& aCard = nullptr) const
    {
        TValue value;
        (aCard ? aCard : iCard)->GetControlVal(iField->Id(), value, false);
        return value;
    }

    // A picture box of the given inner size in pixels, without border, on a window.
    CVexilPictureBox& Box(int aInnerWidth = 100, int aInnerHeight = 100)
    {
        auto* box = new CVexilPictureBox(&iWindow);
        box->SetBorder(false);
        box->Move(0, 0, CVexilCtl::PixelsToTwips(aInnerWidth), CVexilCtl::PixelsToTwips(aInnerHeight));
        return *box;
    }

    TStackRef iStack;
    TControlSetRef iBg;
    TControlRef iField;
    TCardRef iCard;
    ModelStackView iView;
    QWidget iWindow;
    TempDir iDir;
};
