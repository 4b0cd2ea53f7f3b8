// The field writer and the type rules without a window: what input is refused before anything
// is written, which fields may not be deleted, and the rules that open inputs by type.

#include "AssertAnswers.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "ValueBuild.h"
#include "editors/VexilControlTypeRules.h"
#include "editors/VexilControlWriter.h"
#include "editors/VexilEditMode.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "model/VexilSortKey.h"
#include "presentation/VexilCardWidgets.h"

#include <gtest/gtest.h>

namespace
{
// "Item": Name (card name), Cost, Count, Note with three cards; "Order": Ref and the card
// list Items, which lists the cards of Item whose Note equals an order's Ref, with the
// column Count. The sort key ByCost sorts Item by Cost.
class ControlWriter : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CVexilCardWidgets::Start();
        CVexilDialogLib::InitDialogLib();
    }

    void SetUp() override
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Shop"));
        iItem = iStack->Background(0);
        iItem->SetName(QStringLiteral("Item"));
        iName = NewField(*iStack, *iItem, QStringLiteral("Name"), EConTypeText);
        iName->SetFlags(EConCardName);
        iCost = NewField(*iStack, *iItem, QStringLiteral("Cost"), EConTypeReal);
        iCount = NewField(*iStack, *iItem, QStringLiteral("Count"), EConTypeInteger);
        iNote = NewField(*iStack, *iItem, QStringLiteral("Note"), EConTypeText);
        for (const char* name : {"A", "B", "C"})
            NewCard(*iStack, QLatin1String(name), iItem)->SetControlVal(iName->Id(), Val::Str(QLatin1String(name)));

        iOrder = NewBackground(*iStack, QStringLiteral("Order"));
        iRef = NewField(*iStack, *iOrder, QStringLiteral("Ref"), EConTypeText);
        iItems = NewField(*iStack, *iOrder, QStringLiteral("Items"), EConTypeList);
        iItems->SetFlags(EConCardList);
        iItems->SetSelBackgroundId(iItem->Id());
        iItems->SetRefControlId(iRef->Id());
        iItems->SetSelControlId(iNote->Id());
        iItems->SetListCol(CVexilDialogLib::ControlNameListToArray(QStringLiteral("Count"), *iItem));

        auto byCost = std::make_shared<CVexilSortKey>();
        byCost->Contruct(iStack->IdGen().NextId(), QStringLiteral("ByCost"), iItem->Id());
        byCost->AddKeyPart(EConTypeReal, iCost->Id(), 0, 10);
        iStack->AddSortKey(byCost);
        iStack->SetControlDynFlags();
    }

    // A valid input for a new Text field of Item.
    static TControlInput TextInput(const QString& aName)
    {
        TControlInput input;
        input.Name = aName;
        input.ConType = EConTypeText;
        input.Flags = EConInCardView;
        input.NumberTexts = {QStringLiteral("1"), QStringLiteral("30"), QString(), QString(), QString()};
        input.NumberEditable = {true, true, true, false, true};
        return input;
    }

    // The messages shown, as "id p0 p1".
    static QStringList Shown()
    {
        QStringList shown;
        for (const TMsgPrompt& prompt : ScriptedPrompts::Instance().Messages())
        {
            QString line = QString::number(prompt.Id);
            for (const QString& param : prompt.Params)
                if (param != CVexilMsg::Undef)
                    line += QLatin1Char(' ') + param;
            shown += line;
        }
        return shown;
    }

    TStackRef iStack;
    TControlSetRef iItem;
    TControlSetRef iOrder;
    TControlRef iName, iCost, iCount, iNote, iRef, iItems;
};

// Every refusal names its input and its message; nothing passes on to the writing.
TEST_F(ControlWriter, InputRefusedBeforeWriting)
{
    const TCardRef deleted = NewCard(*iStack, QStringLiteral("Gone"), iItem);
    TCardRef gone = deleted;
    iStack->DeleteCard(gone);
    struct TCase
    {
        const char* What;
        std::function<void(TControlInput&)> Change;
        const CVexilControl* Control;  // the field shown, none for Create
        const char* Focus;
        const char* Shown;
    } const cases[] = {
        {"empty name on Create", [](TControlInput& aIn) { aIn.Name.clear(); }, nullptr, "fName", "2 control"},
        {"blank name", [](TControlInput& aIn) { aIn.Name = QStringLiteral("  "); }, iNote.get(), "fName", "8 Name"},
        {"another field's name", [](TControlInput& aIn) { aIn.Name = QStringLiteral("Cost"); }, iNote.get(), "fName",
         "1 control"},
        {"no type", [](TControlInput& aIn) { aIn.ConType = -1; }, nullptr, "fTypeCombo", "8 Type"},
        {"a number box", [](TControlInput& aIn) { aIn.NumberTexts[ENumVisLines] = QStringLiteral("0"); }, nullptr,
         "fVisLines", "10 0 Visible lines 1"},
        {"go to card without card", [](TControlInput& aIn) { aIn.StdCmdLine = EStdCmdGoToCard + 1; }, nullptr,
         "fSelectDestCardBut", "8 Destination card"},
        {"go to a deleted card",
         [&deleted](TControlInput& aIn) {
             aIn.StdCmdLine = EStdCmdGoToCard + 1;
             aIn.DestCard = deleted;
         },
         nullptr, "fSelectDestCardBut", "8 Destination card"},
        {"card list without background", [](TControlInput& aIn) { aIn.Flags |= EConCardList; }, nullptr,
         "fSelBackgroundCombo", "8 Background of cards to list"},
        {"columns without background", [](TControlInput& aIn) { aIn.ListCol = QStringLiteral("Ref"); }, nullptr,
         "fSelBackgroundCombo", "8 Background of cards to list"},
        {"selecting value without field to check",
         [this](TControlInput& aIn) {
             aIn.Flags |= EConCardList;
             aIn.SelBackground = iOrder;
             aIn.RefControl = iNote;
         },
         nullptr, "fSelControlCombo", "8 Field to check for selecting value"},
        {"a column that is no field",
         [this](TControlInput& aIn) {
             aIn.Flags |= EConCardList;
             aIn.SelBackground = iOrder;
             aIn.ListCol = QStringLiteral("Ref, Total");
         },
         nullptr, "fListCol", "22 Total Order"},
        {"a second card-name field", [](TControlInput& aIn) { aIn.Flags |= EConCardName; }, iNote.get(), "fCardName",
         "23 Note the card names come from the field 'Name'."},
    };
    CVexilControlWriter writer(*iStack, *iItem);
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.What);
        ScriptedPrompts::Instance().Reset();
        ScriptedPrompts::Instance().ExpectMessage();
        TControlInput input = TextInput(c.Control ? c.Control->Name() : QStringLiteral("New"));
        c.Change(input);
        QString focus;
        EXPECT_FALSE(writer.CheckInput(input, c.Control, focus));
        EXPECT_EQ(focus, QLatin1String(c.Focus));
        EXPECT_EQ(Shown(), QStringList{QLatin1String(c.Shown)});
    }
    // Accepted: the field's own name and card-name flag, columns trimmed at the commas.
    TControlInput input = TextInput(QStringLiteral("Name"));
    input.Flags |= EConCardList | EConCardName;
    input.SelBackground = iOrder;
    input.ListCol = QStringLiteral("Ref , Items");
    QString focus;
    EXPECT_TRUE(writer.CheckInput(input, iName.get(), focus));
}

// A field that a sort key or a card list uses stays, and nothing is asked.
TEST_F(ControlWriter, ReferencedFieldsAreNotDeleted)
{
    struct TCase
    {
        TControlRef Field;
        CVexilControlSet* Background;
        const char* Shown;
    } const cases[] = {
        {iCost, iItem.get(), "23 Cost it is a part of the sort key 'ByCost'."},
        {iCount, iItem.get(), "23 Count it is used by the card list of the field 'Items'."},
        {iNote, iItem.get(), "23 Note it is used by the card list of the field 'Items'."},
        {iRef, iOrder.get(), "23 Ref it is used by the card list of the field 'Items'."},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Shown);
        ScriptedPrompts::Instance().Reset();
        ScriptedPrompts::Instance().ExpectMessage();
        CVexilControlWriter writer(*iStack, *c.Background);
        EXPECT_FALSE(writer.DeleteControl(*c.Field));
        EXPECT_EQ(Shown(), QStringList{QLatin1String(c.Shown)});
        TControlRef still;
        EXPECT_TRUE(c.Background->GetControl(c.Field->Id(), still));
    }
    // A definition kept without its flag still names the field.
    iItems->SetFlags(0);
    ScriptedPrompts::Instance().Reset();
    ScriptedPrompts::Instance().ExpectMessage();
    CVexilControlWriter writer(*iStack, *iItem);
    EXPECT_FALSE(writer.CheckDelete(*iCount));
}

// The rules that overrule a type's list, in the cases where that matters.
TEST(ControlTypeRules, DependentRules)
{
    constexpr int32_t kNone = 0;
    struct TCase
    {
        const char* Input;
        int32_t Type;
        int32_t Flags;
        int32_t Mode;
        bool Editable;
    } const cases[] = {
        {"fVisLines", EConTypeInteger, kNone, EModeNew, true},
        {"fVisLines", EConTypeText, EConMaxHeight, EModeNew, false},
        {"fPictButton", EConTypeCommand, EConAsButton, EModeNew, false},
        {"fPictButton", EConTypeCommand, EConAsButton | EConStdCmd, EModeNew, true},
        {"fStdCmdCombo", EConTypeCommand, kNone, EModeNew, false},
        {"fSelectDestCardBut", EConTypeCommand, EConStdCmd, EModeNew, true},
        {"fSelectFontBut", EConTypeCommand, kNone, EModeNew, false},
        {"fDefaultVal", EConTypePicture, kNone, EModeNew, false},
        {"fReadOnly", EConTypePicture, kNone, EModeNew, true},
        {"fListColTitle", EConTypeText, kNone, EModeNew, false},
        {"fListColTitle", EConTypeText, EConInCardList, EModeNew, true},
        {"fListCol", EConTypeList, EConCardList, EModeModify, true},
        {"fComboList", EConTypeList, kNone, EModeNew, true},
        {"fComboList", EConTypeList, kNone, EModeModify, false},
        {"fComboList", EConTypeList, EConComboList, EModeModify, true},
        {"fFontName", EConTypeText, kNone, EModeNew, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CVexilControlTypeRules::Editable(QLatin1String(c.Input), c.Type, c.Flags, c.Mode), c.Editable)
            << c.Input << " type " << c.Type << " flags " << c.Flags << " mode " << c.Mode;

    int32_t all = 0;
    for (const TFlagCheck& check : CVexilControlTypeRules::FlagChecks())
    {
        EXPECT_EQ(all & check.Bit, 0) << check.Box.toStdString();
        all |= check.Bit;
    }
    EXPECT_EQ(all, 0xFFFF);
}

TEST(ControlTypeRules, UnknownTypeFailsItsAssertions)
{
    {
        IgnoredAssert asked(QStringLiteral("HandleDisables iCurType found"));
        EXPECT_FALSE(CVexilControlTypeRules::DisableList(9));
    }
    IgnoredAssert asked(QStringLiteral("SetDefaults iCurType"));
    EXPECT_FALSE(CVexilControlTypeRules::Defaults(-1));
}
}  // namespace
