#include "StackFixture.h"

#include "model/VexilBlobStore.h"

namespace
{
class CardTest : public StackFixture
{
protected:
    TValue Get(const TCardRef& aCard, const TControlRef& aField, bool aTyped)
    {
        TValue value;
        aCard->GetControlVal(aField->Id(), value, aTyped);
        return value;
    }

    // A picture in the stack's store that nothing refers to yet.
    TBlobRef AddPicture()
    {
        auto blob = std::make_shared<CVexilBlob>();
        blob->Construct(iStack->IdGen().NextId());
        iStack->BlobStore()->AddBlob(blob);
        return blob;
    }
};

TEST_F(CardTest, ConstructStampsFromTheClock)
{
    auto card = std::make_shared<CVexilCard>();
    card->Construct(QStringLiteral("New"), iBg);
    EXPECT_EQ(card->Id(), UndefLong);
    EXPECT_EQ(card->OrderNum(), UndefLong);
    EXPECT_EQ(card->BackgroundId(), iBg->Id());
    EXPECT_FALSE(card->Stack());
    EXPECT_FALSE(card->Background());
    EXPECT_EQ(card->CreDate(), DateOf(kCreated));
    EXPECT_EQ(card->CreTime(), TimeOf(kCreated));
    EXPECT_EQ(card->ModDate(), card->CreDate());
    EXPECT_EQ(card->ModTime(), card->CreTime());
    EXPECT_TRUE(card->Changed());
    EXPECT_EQ(card->ValueCount(), 0);
    EXPECT_EQ(card->ObjDescr(), QStringLiteral("CVexilCard name=New"));
}

TEST_F(CardTest, ConstructWithoutBackgroundIsAnAssertion)
{
    ScriptedPrompts::Instance().ExpectMessage(false);
    CVexilCard card;
    EXPECT_EQ(RaisedError([&] { card.Construct(QStringLiteral("X"), nullptr); }), EErrAssertFailed);
}

TEST_F(CardTest, ValuesWithoutElementTakeTheirDefault)
{
    struct TCase
    {
        int32_t Type;
        QString DefaultVal;
        TValue Untyped;
        TValue Typed;
    };
    const TValue undef;
    // The stamps come from the clock at creation, not from the time of reading.
    const TValue created = Val::Date(kCreated.date());
    const TValue createdTime = Val::Time(kCreated.time());
    const std::vector<TCase> cases = {
        {EConTypeText, {}, undef, Val::Str({})},
        {EConTypeText, QStringLiteral("abc"), Val::Str(QStringLiteral("abc")), Val::Str(QStringLiteral("abc"))},
        {EConTypeInteger, {}, undef, Val::Int(0)},
        {EConTypeInteger, QStringLiteral("42"), Val::Int(42), Val::Int(42)},
        {EConTypeReal, {}, undef, Val::Real(0)},
        {EConTypeDate, {}, undef, created},
        {EConTypeTime, {}, undef, createdTime},
        {EConTypeBoolean, QStringLiteral("-1"), Val::Bool(true), Val::Bool(true)},
        {EConTypePicture, {}, undef, undef},
        {EConTypeCommand, {}, undef, undef},
    };
    const TCardRef card = AddCard(QStringLiteral("A"));
    Advance(86400 * 3);
    for (const TCase& c : cases)
    {
        const TControlRef field = AddField(QStringLiteral("F"), c.Type);
        field->SetDefaultVal(c.DefaultVal);
        const TValue untyped = Get(card, field, false);
        const TValue typed = Get(card, field, true);
        EXPECT_TRUE(CVexilValue::Equal(untyped, c.Untyped) && untyped.iType == c.Untyped.iType) << c.Type;
        EXPECT_TRUE(CVexilValue::Equal(typed, c.Typed) && typed.iType == c.Typed.iType) << c.Type;
    }
}

TEST_F(CardTest, StoringUndefinedWithoutElementChangesNothing)
{
    const TControlRef text = AddField(QStringLiteral("Text"), EConTypeText);
    const TCardRef card = AddCard(QStringLiteral("A"));
    iStack->SetChanged(false);
    iStack->ResetChangeInfo();
    Advance(60);
    card->SetControlVal(text->Id(), TValue());
    EXPECT_FALSE(card->ControlValDef(text->Id()));
    EXPECT_FALSE(card->Changed());
    EXPECT_EQ(card->ModTime(), TimeOf(kCreated));
    EXPECT_FALSE(iStack->GetChangeInfo().CardsChanged);
}

TEST_F(CardTest, StoringUndefinedKeepsAnEmptyElement)
{
    const TControlRef number = AddField(QStringLiteral("Number"), EConTypeInteger);
    number->SetDefaultVal(QStringLiteral("7"));
    const TCardRef card = AddCard(QStringLiteral("A"));
    card->SetControlVal(number->Id(), Val::Int(3));
    card->SetControlVal(number->Id(), TValue());
    EXPECT_TRUE(card->ControlValDef(number->Id()));
    EXPECT_EQ(Get(card, number, true).iType, EValUndef);
}

TEST_F(CardTest, StoringStampsAndReportsTheCard)
{
    const TControlRef text = AddField(QStringLiteral("Text"), EConTypeText);
    const TCardRef card = AddCard(QStringLiteral("A"));
    iStack->SetChanged(false);
    iStack->ResetChangeInfo();
    Advance(90);
    card->SetControlVal(text->Id(), Val::Str(QStringLiteral("x")));
    EXPECT_EQ(Get(card, text, false).iStr, QStringLiteral("x"));
    EXPECT_EQ(card->ModTime(), TimeOf(iNow));
    EXPECT_EQ(card->CreTime(), TimeOf(kCreated));
    EXPECT_TRUE(card->Changed());
    EXPECT_EQ(iStack->GetChangeInfo().LastCard(), card);
    Advance(90);
    card->DeleteControlVal(text->Id());
    EXPECT_FALSE(card->ControlValDef(text->Id()));
    EXPECT_EQ(card->ModTime(), TimeOf(iNow));
}

TEST_F(CardTest, WrongValueTypeIsAnAssertion)
{
    const TControlRef number = AddField(QStringLiteral("Number"), EConTypeInteger);
    const TCardRef card = AddCard(QStringLiteral("A"));
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { card->SetControlVal(number->Id(), Val::Str(QStringLiteral("1"))); }), EErrAssertFailed);
    EXPECT_FALSE(card->ControlValDef(number->Id()));
}

TEST_F(CardTest, CardNameFieldRenamesTheCard)
{
    const TControlRef title = AddField(QStringLiteral("Title"), EConTypeText);
    title->SetFlag(EConCardName, true);
    const TCardRef card = AddCard(QStringLiteral("Old"));
    iStack->ResetChangeInfo();
    card->SetControlVal(title->Id(), Val::Str(QStringLiteral("Old")));
    EXPECT_EQ(card->Name(), QStringLiteral("Old"));
    EXPECT_EQ(iStack->GetChangeInfo().NumChangedCards, 1);
    card->SetControlVal(title->Id(), Val::Str(QStringLiteral("New")));
    EXPECT_EQ(card->Name(), QStringLiteral("New"));
    TCardRef found;
    EXPECT_TRUE(iStack->GetCard(QStringLiteral("New"), found));
    EXPECT_FALSE(iStack->GetCard(QStringLiteral("Old"), found));
    // Renaming stores the name into the field as well.
    iStack->RenameCard(*card, QStringLiteral("Third"));
    EXPECT_EQ(Get(card, title, false).iStr, QStringLiteral("Third"));
}

TEST_F(CardTest, InitialValuesByType)
{
    const TControlRef text = AddField(QStringLiteral("Text"), EConTypeText);
    const TControlRef number = AddField(QStringLiteral("Number"), EConTypeInteger);
    const TControlRef day = AddField(QStringLiteral("Day"), EConTypeDate);
    const TControlRef flag = AddField(QStringLiteral("Flag"), EConTypeBoolean);
    const TControlRef list = AddField(QStringLiteral("List"), EConTypeList);
    list->SetDefaultVal(QStringLiteral("first\r\nsecond"));
    const TControlRef combo = AddField(QStringLiteral("Combo"), EConTypeText);
    combo->SetFlag(EConComboText, true);
    combo->SetPartnerId(list->Id());
    const TControlRef real = AddField(QStringLiteral("Real"), EConTypeReal);
    real->SetDefaultVal(QStringLiteral("2.5"));

    auto card = std::make_shared<CVexilCard>();
    card->Construct(QStringLiteral("A"), iBg);
    Advance(3600);
    TCardRef none;
    iStack->AddCard(card, none, true);
    EXPECT_FALSE(card->ControlValDef(text->Id()));
    EXPECT_FALSE(card->ControlValDef(list->Id()));
    EXPECT_EQ(Get(card, number, false).iType, EValInt);
    EXPECT_EQ(Get(card, day, false).iDate, DateOf(iNow));
    EXPECT_EQ(Get(card, flag, false).iType, EValBool);
    EXPECT_EQ(Get(card, combo, false).iStr, QStringLiteral("first"));
    EXPECT_EQ(Get(card, real, false).iReal, 2.5);
    EXPECT_EQ(card->ModTime(), TimeOf(iNow));
}

TEST_F(CardTest, PictureReferencesFollowTheValue)
{
    const TControlRef picture = AddField(QStringLiteral("Picture"), EConTypePicture);
    TCardRef card = AddCard(QStringLiteral("A"));
    const TBlobRef a = AddPicture();
    const TBlobRef b = AddPicture();
    CVexilBlobStore& store = *iStack->BlobStore();

    card->SetControlVal(picture->Id(), Val::Blob(a->Id()));
    EXPECT_EQ(a->RefCount(), 1);
    card->SetControlVal(picture->Id(), Val::Blob(a->Id()));
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_EQ(a->DynRefCount(), 1);

    // Replacing A drops it: nothing refers to it any more.
    card->SetControlVal(picture->Id(), Val::Blob(b->Id()));
    EXPECT_FALSE(store.HasBlob(a->Id()));
    EXPECT_EQ(b->RefCount(), 1);

    const TCardRef other = AddCard(QStringLiteral("B"));
    other->SetControlVal(picture->Id(), Val::Blob(b->Id()));
    EXPECT_EQ(b->RefCount(), 2);
    other->SetControlVal(picture->Id(), TValue());
    EXPECT_EQ(b->RefCount(), 1);
    // Deleting the last card that shows it drops the picture.
    iStack->DeleteCard(card);
    EXPECT_FALSE(store.HasBlob(b->Id()));
}

TEST_F(CardTest, ReplacingASampleByItsPictureKeepsThePicture)
{
    // The picture is held only by its sample, which the field shows.
    const TControlRef picture = AddField(QStringLiteral("Picture"), EConTypePicture);
    const TCardRef card = AddCard(QStringLiteral("A"));
    const TBlobRef original = AddPicture();
    const TBlobRef sample = AddPicture();
    original->SetSampleId(sample->Id());
    sample->SetOriginalId(original->Id());
    original->IncRefCount();
    card->SetControlVal(picture->Id(), Val::Blob(sample->Id()));

    card->SetControlVal(picture->Id(), Val::Blob(original->Id()));
    CVexilBlobStore& store = *iStack->BlobStore();
    EXPECT_FALSE(store.HasBlob(sample->Id()));
    ASSERT_TRUE(store.HasBlob(original->Id()));
    EXPECT_EQ(original->RefCount(), 1);
}

TEST_F(CardTest, DeletingAFieldReleasesItsPictures)
{
    const TControlRef picture = AddField(QStringLiteral("Picture"), EConTypePicture);
    const TCardRef card = AddCard(QStringLiteral("A"));
    const TBlobRef blob = AddPicture();
    card->SetControlVal(picture->Id(), Val::Blob(blob->Id()));
    iStack->DeleteControl(picture->Id(), *iBg);
    EXPECT_FALSE(iStack->BlobStore()->HasBlob(blob->Id()));
    EXPECT_FALSE(card->ControlValDef(picture->Id()));
    TControlRef gone;
    EXPECT_FALSE(iBg->GetControl(picture->Id(), gone));
}

class SortedCardTest : public CardTest
{
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        iName = AddField(QStringLiteral("Name"), EConTypeText);
        iNumber = AddField(QStringLiteral("Number"), EConTypeInteger);
        iSortKey = KeepSorted(iBg, {{EConTypeText, iName->Id(), 0, 3, 0}, {EConTypeInteger, iNumber->Id(), 0, 4, 0}});
        for (const char* name : {"B", "D", "F"})
        {
            const TCardRef card = AddCard(QString::fromLatin1(name));
            card->SetControlVal(iName->Id(), Val::Str(QString::fromLatin1(name)));
        }
        iBroadcasts.iEvents.clear();
    }

    QString KeyIndexOrder() { return KeyOrder(*iBg->KeyIndex()); }

    TControlRef iName;
    TControlRef iNumber;
    TSortKeyRef iSortKey;
};

TEST_F(SortedCardTest, KeyChangeMovesTheCard)
{
    TCardRef card;
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("F"), card));
    card->SetControlVal(iName->Id(), Val::Str(QStringLiteral("A")));
    EXPECT_EQ(Order(), QStringLiteral("F B D"));
    EXPECT_EQ(KeyIndexOrder(), QStringLiteral("F B D"));
    EXPECT_EQ(iBroadcasts.iEvents, std::vector<int32_t>{EChgCardOrder});
    card->SetControlVal(iName->Id(), Val::Str(QStringLiteral("E")));
    EXPECT_EQ(Order(), QStringLiteral("B D F"));
}

TEST_F(SortedCardTest, UnchangedKeyNeitherReKeysNorMoves)
{
    TCardRef card;
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("B"), card));
    card->SetControlVal(iName->Id(), Val::Str(QStringLiteral("Bxxxx")));
    iBroadcasts.iEvents.clear();
    const std::vector<int32_t> before = OrderNums();
    // Beyond the part's three characters the key stays the same.
    card->SetControlVal(iName->Id(), Val::Str(QStringLiteral("Bxxyy")));
    EXPECT_EQ(OrderNums(), before);
    EXPECT_TRUE(iBroadcasts.iEvents.empty());
}

TEST_F(SortedCardTest, IndexesAreCompleteWhenTheOrderIsBroadcast)
{
    // The key field also names the card: at the broadcast the card must already carry its
    // new name in the name index and stand at its new place.
    iName->SetFlag(EConCardName, true);
    TCardRef card;
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("F"), card));
    bool checked = false;
    iBroadcasts.iOnNotify = [&](int32_t) {
        TCardRef found;
        EXPECT_TRUE(iStack->GetCard(QStringLiteral("A"), found));
        EXPECT_EQ(found, card);
        EXPECT_EQ(Order(), QStringLiteral("A B D"));
        EXPECT_EQ(card->ModTime(), TimeOf(iNow));
        checked = true;
    };
    Advance(5);
    card->SetControlVal(iName->Id(), Val::Str(QStringLiteral("A")));
    EXPECT_TRUE(checked);
    EXPECT_EQ(iBroadcasts.iEvents.size(), 1u);
}

TEST_F(SortedCardTest, NewCardIsCompleteWhenTheOrderIsBroadcast)
{
    iNumber->SetDefaultVal(QStringLiteral("5"));
    auto card = std::make_shared<CVexilCard>();
    card->Construct(QStringLiteral("C"), iBg);
    iBroadcasts.iOnNotify = [&](int32_t) {
        TCardRef found;
        EXPECT_TRUE(iStack->GetCard(QStringLiteral("C"), found));
        EXPECT_TRUE(card->ControlValDef(iNumber->Id()));
    };
    TCardRef none;
    iStack->AddCard(card, none, true);
    EXPECT_EQ(iBroadcasts.iEvents, std::vector<int32_t>{EChgCardOrder});
}

TEST_F(SortedCardTest, DeleteCardRemovesItsKey)
{
    TCardRef card;
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("D"), card));
    iStack->DeleteCard(card);
    EXPECT_EQ(KeyIndexOrder(), QStringLiteral("B F"));
    EXPECT_EQ(Order(), QStringLiteral("B F"));
}
}  // namespace
