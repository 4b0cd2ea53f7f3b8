#include "AssertAnswers.h"
#include "QStringPrinter.h"
#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "model/VexilCard.h"
#include "model/VexilSortKey.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilListBox.h"

#include <QTest>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace
{

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kReadOnlyGrey = 212 | (208 << 8) | (200 << 16);

// A dialog with the kinds of input the library handles.
class DialogForm : public CVexilForm
{
public:
    DialogForm()
    {
        fList = Add<CVexilListView>(QStringLiteral("fList"));
        fCombo = Add<CVexilComboBox>(QStringLiteral("fCombo"));
        fNameBox = Add<CVexilTextBox>(QStringLiteral("fNameBox"));
        fSizeBox = Add<CVexilTextBox>(QStringLiteral("fSizeBox"));
        fMemo = Add<CVexilRichTextBox>(QStringLiteral("fMemo"));
        fFontColor = Add<CVexilLabel>(QStringLiteral("fFontColor"));
        fCaption = Add<CVexilLabel>(QStringLiteral("fCaption"));
        fCheck = Add<CVexilCheckBox>(QStringLiteral("fCheck"));
        fButton = Add<CVexilCommandButton>(QStringLiteral("fButton"));
        resize(600, 400);
        fList->Move(150, 150, 6000, 2000);
    }
    CVexilListView* fList;
    CVexilComboBox* fCombo;
    CVexilTextBox* fNameBox;
    CVexilTextBox* fSizeBox;
    CVexilRichTextBox* fMemo;
    CVexilLabel* fFontColor;
    CVexilLabel* fCaption;
    CVexilCheckBox* fCheck;
    CVexilCommandButton* fButton;
};

class DialogLibTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CVexilCardWidgets::Start();
        CVexilDialogLib::InitDialogLib();
    }

    DialogLibTest()
    {
        iListBox.Construct(ELisSingle, iForm.fList);
        iComboBox.Construct(ELisCombo, iForm.fCombo);
    }

    // What the list view shows, a line per item, columns joined by "|".
    QStringList Shown() const
    {
        QStringList lines;
        for (int i = 0; i < iForm.fList->topLevelItemCount(); ++i)
        {
            const QTreeWidgetItem* item = iForm.fList->topLevelItem(i);
            QStringList columns;
            for (int c = 0; c < item->columnCount(); ++c)
                columns.append(item->text(c));
            lines.append(columns.join(QLatin1Char('|')));
        }
        return lines;
    }

    QStringList ShownInCombo() const
    {
        QStringList lines;
        for (int i = 0; i < iForm.fCombo->count(); ++i)
            lines.append(iForm.fCombo->itemText(i));
        return lines;
    }

    DialogForm iForm;
    CVexilListBox iListBox;
    CVexilListBox iComboBox;
};

// A stack with two backgrounds, a field of every type, cards of both in mixed order and sort
// keys of both.
class StackDialogLibTest : public DialogLibTest
{
protected:
    StackDialogLibTest()
    {
        iStack->Construct(QStringLiteral("Test"));
        iPeople = iStack->Background(0);
        iPeople->SetName(QStringLiteral("People"));
        iNotes = NewBackground(*iStack, QStringLiteral("Notes"));
        const QString names[] = {QStringLiteral("Name"), QStringLiteral("Age"),    QStringLiteral("Weight"),
                                 QStringLiteral("Born"), QStringLiteral("At"),     QStringLiteral("Member"),
                                 QStringLiteral("Kind"), QStringLiteral("Go"),     QStringLiteral("Photo")};
        for (int32_t type = EConTypeText; type <= EConTypePicture; ++type)
            iFields.push_back(NewField(*iStack, *iPeople, names[type], type));
        NewField(*iStack, *iNotes, QStringLiteral("Text"), EConTypeText);
        for (const char* name : {"p1", "n1", "p2", "n2", "p3"})
            AddCard(QString::fromLatin1(name), name[0] == 'p' ? iPeople : iNotes);
        AddSortKey(QStringLiteral("By name"), *iPeople);
        AddSortKey(QStringLiteral("By text"), *iNotes);
        AddSortKey(QStringLiteral("By age"), *iPeople);
    }

    void AddCard(const QString& aName, const TControlSetRef& aBackground)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(aName, aBackground);
        TCardRef before;
        iStack->AddCard(card, before, false);
    }

    void AddSortKey(const QString& aName, const CVexilControlSet& aBackground)
    {
        auto sortKey = std::make_shared<CVexilSortKey>();
        sortKey->Contruct(iStack->IdGen().NextId(), aName, aBackground.Id());
        iStack->AddSortKey(sortKey);
    }

    TControlRef Field(const QString& aName) const
    {
        TControlRef field;
        EXPECT_TRUE(iPeople->GetControlByName(aName, field)) << aName.toStdString();
        return field;
    }

    static std::vector<int32_t> Ids(const std::shared_ptr<CVexilArray>& aArray)
    {
        std::vector<int32_t> ids;
        for (int32_t i = 0; aArray && i < aArray->Count(); ++i)
            ids.push_back(aArray->ElemAt(i).iVal.iInt);
        return ids;
    }

    TStackRef iStack = std::make_shared<CVexilStack>();
    TControlSetRef iPeople;
    TControlSetRef iNotes;
    std::vector<TControlRef> iFields;
};

TEST_F(DialogLibTest, WithoutAStackTheBackgroundListSaysSo)
{
    CVexilDialogLib::FillBackgroundList(iListBox, nullptr, QStringLiteral("(All)"), nullptr);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("(No stack available)")});
    EXPECT_EQ(iListBox.Obj(0), nullptr);
}

TEST_F(StackDialogLibTest, BackgroundListsLeaveOutTheExcludedOne)
{
    CVexilDialogLib::FillBackgroundList(iListBox, iStack.get(), QStringLiteral("(All)"), nullptr);
    EXPECT_EQ(Shown(), (QStringList{QStringLiteral("(All)"), QStringLiteral("People"), QStringLiteral("Notes")}));
    EXPECT_EQ(iListBox.Obj(0), nullptr);
    EXPECT_EQ(iListBox.Obj(1), iPeople);
    EXPECT_EQ(iListBox.Obj(2), iNotes);

    CVexilDialogLib::FillBackgroundList(iComboBox, iStack.get(), QString(), iPeople.get());
    EXPECT_EQ(ShownInCombo(), QStringList{QStringLiteral("Notes")});

    // A stack of one background without it: nothing, or the first line only.
    auto single = std::make_shared<CVexilStack>();
    single->Construct(QStringLiteral("Single"));
    CVexilDialogLib::FillBackgroundList(iComboBox, single.get(), QString(), single->Background(0).get());
    EXPECT_EQ(iComboBox.NumLines(), 0);
    CVexilDialogLib::FillBackgroundList(iListBox, single.get(), QStringLiteral("(None)"), single->Background(0).get());
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("(None)")});
}

TEST_F(StackDialogLibTest, FieldListsShowTypesAsTheBoxAllows)
{
    CVexilDialogLib::FillControlList(iComboBox, *iPeople, QStringLiteral("(None)"), true, false);
    EXPECT_EQ(ShownInCombo(),
              (QStringList{QStringLiteral("(None)"), QStringLiteral("Name  (Text)"), QStringLiteral("Age  (Integer)"),
                           QStringLiteral("Weight  (Real)"), QStringLiteral("Born  (Date)"),
                           QStringLiteral("At  (Time)"), QStringLiteral("Member  (Boolean)"),
                           QStringLiteral("Kind  (List)"), QStringLiteral("Go  (Command)"),
                           QStringLiteral("Photo  (Picture)")}));
    EXPECT_EQ(iComboBox.Obj(0), nullptr);
    EXPECT_EQ(iComboBox.Obj(1), iFields[0]);

    iListBox.DefineColumnsFrac({QStringLiteral("Field"), QStringLiteral("Type")}, {0.5F, 0.5F});
    CVexilDialogLib::FillControlList(iListBox, *iPeople, QString(), true, true);
    EXPECT_EQ(Shown(), (QStringList{QStringLiteral("Name|Text"), QStringLiteral("Age|Integer"),
                                    QStringLiteral("Weight|Real")}));
    EXPECT_EQ(iListBox.Obj(2), iFields[2]);

    CVexilDialogLib::FillControlList(iComboBox, *iNotes, QString(), false, false);
    EXPECT_EQ(ShownInCombo(), QStringList{QStringLiteral("Text")});
}

TEST_F(StackDialogLibTest, SortKeyAndCardListsHoldTheBackgroundsOwn)
{
    CVexilDialogLib::FillSortKeyList(iComboBox, *iPeople, QStringLiteral("(None)"));
    EXPECT_EQ(ShownInCombo(),
              (QStringList{QStringLiteral("(None)"), QStringLiteral("By name"), QStringLiteral("By age")}));
    EXPECT_EQ(iComboBox.Obj(0), nullptr);
    ASSERT_NE(iComboBox.Obj(2), nullptr);
    EXPECT_EQ(std::static_pointer_cast<CVexilSortKey>(iComboBox.Obj(2))->Name(), QStringLiteral("By age"));

    CVexilDialogLib::FillCardList(iListBox, *iPeople);
    EXPECT_EQ(Shown(), (QStringList{QStringLiteral("p1"), QStringLiteral("p2"), QStringLiteral("p3")}));
    CVexilDialogLib::FillCardList(iListBox, *iNotes);
    EXPECT_EQ(Shown(), (QStringList{QStringLiteral("n1"), QStringLiteral("n2")}));
    EXPECT_EQ(std::static_pointer_cast<CVexilCard>(iListBox.Obj(1))->Name(), QStringLiteral("n2"));
}

TEST_F(DialogLibTest, TypeAndCommandListsIndexByCode)
{
    CVexilDialogLib::FillTypeList(iComboBox);
    ASSERT_EQ(iComboBox.NumLines(), 9);
    EXPECT_EQ(iComboBox.Line(EConTypeText), QStringLiteral("Text"));
    EXPECT_EQ(iComboBox.Line(EConTypeReal), QStringLiteral("Float"));
    EXPECT_EQ(iComboBox.Line(EConTypePicture), QStringLiteral("Picture"));

    CVexilDialogLib::FillStdCmdList(iComboBox);
    EXPECT_EQ(ShownInCombo(),
              (QStringList{QStringLiteral("(None)"), QStringLiteral("First Card"), QStringLiteral("Previous Card"),
                           QStringLiteral("Next Card"), QStringLiteral("Last Card"), QStringLiteral("Back in History"),
                           QStringLiteral("Forward in History"), QStringLiteral("Go to Card by Name"),
                           QStringLiteral("Show Card List"), QStringLiteral("Select Card")}));
}

// Blanks are an empty box, as the number check takes them; nothing wraps around 16 bits.
TEST_F(DialogLibTest, NumberBoxesReadTheLeadingNumber)
{
    const struct
    {
        QString Text;
        int32_t Value;  // -100000: the overflow error
    } cases[] = {
        {QString(), UndefInt},
        {QStringLiteral("   "), UndefInt},
        {QStringLiteral(" \t "), UndefInt},
        {QStringLiteral("abc"), 0},
        {QStringLiteral("12abc"), 12},
        {QStringLiteral(" 42 "), 42},
        {QStringLiteral("2.5"), 2},
        {QStringLiteral("3.5"), 4},
        {QStringLiteral("-2.5"), -2},
        {QStringLiteral("32767"), 32767},
        {QStringLiteral("-32768"), -32768},
        {QStringLiteral("32768"), -100000},
        {QStringLiteral("-32769"), -100000},
        {QStringLiteral("65537"), -100000},
        {QStringLiteral("99999999999"), -100000},
    };
    for (const auto& c : cases)
    {
        iForm.fSizeBox->setText(c.Text);
        int16_t value = 0;
        const int32_t error = RaisedError([&] { value = CVexilDialogLib::GetTextBoxInt(*iForm.fSizeBox); });
        if (c.Value == -100000)
        {
            EXPECT_EQ(error, ERunOverflow) << c.Text.toStdString();
        }
        else
        {
            EXPECT_EQ(error, 0) << c.Text.toStdString();
            EXPECT_EQ(value, c.Value) << c.Text.toStdString();
        }
    }

    for (const int16_t value : {int16_t(0), int16_t(-5), int16_t(32767), UndefInt})
    {
        CVexilDialogLib::SetTextBoxInt(*iForm.fSizeBox, value);
        EXPECT_EQ(iForm.fSizeBox->text(), value == UndefInt ? QString() : QString::number(value));
        EXPECT_EQ(CVexilDialogLib::GetTextBoxInt(*iForm.fSizeBox), value);
    }
}

TEST_F(DialogLibTest, NumberChecksShowTheFirstRuleBroken)
{
    const QString label = QStringLiteral("Max. Chars");
    const struct
    {
        QString Text;
        bool AllowEmpty;
        int16_t Min;
        int16_t Max;
        int32_t Msg;  // -1 accepted
        QStringList Params;
    } cases[] = {
        {QStringLiteral(" 7 "), false, 1, 100, -1, {}},
        {QString(), true, 1, 100, -1, {}},
        {QStringLiteral("  "), true, 1, 100, -1, {}},
        {QString(), false, 1, 100, EMsgEmptyField, {label}},
        {QStringLiteral("\t "), false, 1, 100, EMsgEmptyField, {label}},
        {QStringLiteral("1.5"), false, UndefInt, UndefInt, EMsgNotNum, {QStringLiteral("1.5"), label}},
        {QStringLiteral(" 40000 "), false, UndefInt, UndefInt, EMsgNotNum, {QStringLiteral("40000"), label}},
        {QStringLiteral("12abc"), false, UndefInt, UndefInt, EMsgNotNum, {QStringLiteral("12abc"), label}},
        {QStringLiteral("0"), false, 1, 100, EMsgNumTooLow, {QStringLiteral("0"), label, QStringLiteral("1")}},
        {QStringLiteral("-3"), false, -2, UndefInt, EMsgNumTooLow, {QStringLiteral("-3"), label, QStringLiteral("-2")}},
        {QStringLiteral("101"), false, 1, 100, EMsgNumTooHigh, {QStringLiteral("101"), label, QStringLiteral("100")}},
        {QStringLiteral("5"), false, 10, 1, EMsgNumTooLow, {QStringLiteral("5"), label, QStringLiteral("10")}},
        {QStringLiteral("-32768"), false, UndefInt, UndefInt, -1, {}},
        {QStringLiteral("+12"), false, 12, 12, -1, {}},
    };
    auto& prompts = ScriptedPrompts::Instance();
    for (const auto& c : cases)
    {
        prompts.Reset();
        if (c.Msg >= 0)
            prompts.ExpectMessage();
        bool bad = c.Msg < 0;
        CVexilDialogLib::CheckNumberField(label, c.Text, c.AllowEmpty, bad, c.Min, c.Max);
        EXPECT_EQ(bad, c.Msg >= 0) << c.Text.toStdString();
        ASSERT_EQ(prompts.Messages().size(), c.Msg >= 0 ? 1U : 0U) << c.Text.toStdString();
        if (c.Msg < 0)
        {
            // What the check accepts, the number box reads without failing.
            iForm.fSizeBox->setText(c.Text);
            EXPECT_EQ(RaisedError([&] { CVexilDialogLib::GetTextBoxInt(*iForm.fSizeBox); }), 0);
            continue;
        }
        const TMsgPrompt& shown = prompts.Messages().front();
        EXPECT_EQ(shown.Id, c.Msg) << c.Text.toStdString();
        EXPECT_EQ(shown.Class, EMsgClsCritical);
        EXPECT_EQ(shown.Params.mid(0, c.Params.size()), c.Params) << c.Text.toStdString();
    }
}

TEST_F(DialogLibTest, AnEmptyNameIsRefused)
{
    auto& prompts = ScriptedPrompts::Instance();
    bool bad = true;
    CVexilDialogLib::CheckEmptyName(QStringLiteral("Name"), QStringLiteral(" x "), bad);
    EXPECT_FALSE(bad);
    prompts.ExpectMessage();
    CVexilDialogLib::CheckEmptyName(QStringLiteral("Name"), QStringLiteral("   "), bad);
    EXPECT_TRUE(bad);
    ASSERT_EQ(prompts.Messages().size(), 1U);
    EXPECT_EQ(prompts.Messages()[0].Id, EMsgEmptyField);
    EXPECT_EQ(prompts.Messages()[0].Class, EMsgClsCritical);
    EXPECT_EQ(prompts.Messages()[0].Params[0], QStringLiteral("Name"));
}

TEST_F(DialogLibTest, LevelsHaveNames)
{
    EXPECT_EQ(CVexilDialogLib::LevelToStr(0), QStringLiteral("Stack"));
    EXPECT_EQ(CVexilDialogLib::LevelToStr(1), QStringLiteral("Background"));
    EXPECT_EQ(CVexilDialogLib::LevelToStr(2), QStringLiteral("Card"));
    EXPECT_EQ(CVexilDialogLib::LevelToStr(3), QStringLiteral("Control"));
    for (const int32_t level : {4, -1})
    {
        IgnoredAssert fault(QStringLiteral("LevelToStr aLevel"));
        EXPECT_EQ(CVexilDialogLib::LevelToStr(level), QString());
    }
}

TEST_F(StackDialogLibTest, NameListsAndIdArraysConvertBothWays)
{
    const int32_t name = Field(QStringLiteral("Name"))->Id();
    const int32_t age = Field(QStringLiteral("Age"))->Id();
    EXPECT_EQ(CVexilDialogLib::ArrayToControlNameList(nullptr, *iPeople), QString());
    const auto ids = CVexilDialogLib::ControlNameListToArray(QStringLiteral("Name,Age"), *iPeople);
    EXPECT_EQ(Ids(ids), (std::vector<int32_t>{name, age}));
    EXPECT_EQ(ids->Flags(), 0);
    EXPECT_EQ(CVexilDialogLib::ArrayToControlNameList(ids.get(), *iPeople), QStringLiteral("Name,Age"));
    EXPECT_EQ(CVexilDialogLib::ControlNameListToArray(QString(), *iPeople), nullptr);

    // Typed with blanks after the commas, as people write lists.
    EXPECT_EQ(Ids(CVexilDialogLib::ControlNameListToArray(QStringLiteral("Age, Name ,  Age"), *iPeople)),
              (std::vector<int32_t>{age, name, age}));
    // A field whose name has the blank keeps it.
    const int32_t padded = NewField(*iStack, *iPeople, QStringLiteral(" Name"), EConTypeText)->Id();
    EXPECT_EQ(Ids(CVexilDialogLib::ControlNameListToArray(QStringLiteral("Age, Name"), *iPeople)),
              (std::vector<int32_t>{age, padded}));

    // An id of no field is a fault; going on, it is left out.
    IgnoredAssert fault(QStringLiteral("ArrayToControlNameList control found"));
    auto stale = CVexilDialogLib::ControlNameListToArray(QStringLiteral("Name,Age"), *iPeople);
    TArrayElem elem;
    stale->InitElem(elem);
    elem.iVal.iInt = 999999;
    stale->CreateAt(elem, 1);
    EXPECT_EQ(CVexilDialogLib::ArrayToControlNameList(stale.get(), *iPeople), QStringLiteral("Name,Age"));
}

// Typed names that give no list are errors raised before anything is made.
TEST_F(StackDialogLibTest, UnknownOrSurplusNamesAreErrors)
{
    std::shared_ptr<CVexilArray> ids = std::make_shared<CVexilArray>();
    const std::shared_ptr<CVexilArray> before = ids;
    EXPECT_EQ(RaisedError([&] { ids = CVexilDialogLib::ControlNameListToArray(QStringLiteral("Name, Nope"), *iPeople); }),
              EMsgControlNotFound);
    EXPECT_EQ(CVexilError::GetErrInfo().Param1, QStringLiteral(" Nope"));
    EXPECT_EQ(ids, before);
    EXPECT_EQ(RaisedError([&] { CVexilDialogLib::ControlNameListToArray(QStringLiteral("Text"), *iPeople); }),
              EMsgControlNotFound);

    QStringList names;
    for (int i = 0; i < 21; ++i)
        names.append(iFields[size_t(i % 9)]->Name());
    EXPECT_EQ(Ids(CVexilDialogLib::ControlNameListToArray(names.join(QLatin1Char(',')), *iPeople)).size(), 21U);
    names.append(QStringLiteral("Name"));
    EXPECT_EQ(RaisedError([&] { ids = CVexilDialogLib::ControlNameListToArray(names.join(QLatin1Char(',')), *iPeople); }),
              ERunSubscript);
    EXPECT_EQ(ids, before);
}

TEST_F(DialogLibTest, FontsShowNameSizeAndColour)
{
    iForm.SetBackColor(0x123456);
    CVexilFont font;
    font.Construct(QStringLiteral("Arial"), 240, 0x0000FF);
    font.SetFlags(1 + 2);
    iForm.fFontColor->setText(QStringLiteral("x"));
    CVexilDialogLib::ShowFont(&font, *iForm.fNameBox, *iForm.fSizeBox, *iForm.fFontColor);
    EXPECT_EQ(iForm.fNameBox->text(), QStringLiteral("Arial Bold Italic"));
    EXPECT_EQ(iForm.fSizeBox->text(), QStringLiteral("12"));
    EXPECT_EQ(iForm.fFontColor->BackColor(), 0x0000FF);
    EXPECT_EQ(iForm.fFontColor->text(), QString());

    // No colour looks empty: the sample takes its window's colour.
    CVexilFont faceOnly;
    faceOnly.Construct(QStringLiteral("Courier"), UndefInt, UndefLong);
    CVexilDialogLib::ShowFont(&faceOnly, *iForm.fNameBox, *iForm.fSizeBox, *iForm.fFontColor);
    EXPECT_EQ(iForm.fNameBox->text(), QStringLiteral("Courier"));
    EXPECT_EQ(iForm.fSizeBox->text(), QString());
    EXPECT_EQ(iForm.fFontColor->BackColor(), 0x123456);

    CVexilDialogLib::ShowFont(&font, *iForm.fNameBox, *iForm.fSizeBox, *iForm.fFontColor);
    CVexilDialogLib::ShowFont(nullptr, *iForm.fNameBox, *iForm.fSizeBox, *iForm.fFontColor);
    EXPECT_EQ(iForm.fNameBox->text(), QString());
    EXPECT_EQ(iForm.fSizeBox->text(), QString());
    EXPECT_EQ(iForm.fFontColor->BackColor(), 0x123456);
}

TEST_F(DialogLibTest, TheColourChooserChangesOnlyWhenAColourIsChosen)
{
    auto& prompts = ScriptedPrompts::Instance();
    int32_t color = 0x00FF00;
    CVexilDialogLib::ShowColor(*iForm.fFontColor, color);

    prompts.ExpectColor(std::nullopt);
    CVexilDialogLib::SelectColor(*iForm.fFontColor, color);
    EXPECT_EQ(color, 0x00FF00);
    EXPECT_EQ(iForm.fFontColor->BackColor(), 0x00FF00);

    prompts.ExpectColor(0x336699);
    CVexilDialogLib::SelectColor(*iForm.fFontColor, color);
    EXPECT_EQ(color, 0x336699);
    EXPECT_EQ(iForm.fFontColor->BackColor(), 0x336699);

    color = UndefLong;
    prompts.ExpectColor(0);
    CVexilDialogLib::SelectColor(*iForm.fFontColor, color);
    EXPECT_EQ(color, 0);
    EXPECT_EQ(prompts.ColorStarts(), (std::vector<int32_t>{0x00FF00, 0x00FF00, UndefLong}));
}

TEST_F(DialogLibTest, ReadOnlyInputsAreLockedOnGreyOrDisabled)
{
    iForm.show();
    iForm.fNameBox->setText(QStringLiteral("kept"));
    iForm.fSizeBox->setText(QStringLiteral("12"));
    iForm.fMemo->SetText(QStringLiteral("memo"));
    iForm.fCombo->addItems({QStringLiteral("a"), QStringLiteral("b")});
    iForm.fCombo->setCurrentIndex(0);
    iForm.fFontColor->setText(QStringLiteral("sample"));
    iForm.fCaption->setText(QStringLiteral("Caption"));

    CVexilDialogLib::SetEditable(*iForm.fNameBox, false, false);
    CVexilDialogLib::SetEditable(*iForm.fSizeBox, false, true);
    CVexilDialogLib::SetEditable(*iForm.fMemo, false, true);
    CVexilDialogLib::SetEditable(*iForm.fCombo, false, true);
    CVexilDialogLib::SetEditable(*iForm.fFontColor, false, true);
    for (CVexilCtl* ctl : std::vector<CVexilCtl*>{iForm.fCaption, iForm.fCheck, iForm.fButton, iForm.fList})
        CVexilDialogLib::SetEditable(*ctl, false, true);

    EXPECT_TRUE(iForm.fNameBox->isReadOnly());
    EXPECT_EQ(iForm.fNameBox->text(), QStringLiteral("kept"));
    EXPECT_EQ(iForm.fSizeBox->text(), QString());
    EXPECT_EQ(iForm.fMemo->Text(), QString());
    EXPECT_TRUE(iForm.fMemo->isReadOnly());
    EXPECT_TRUE(iForm.fCombo->Locked());
    EXPECT_EQ(iForm.fCombo->currentText(), QStringLiteral("a"));
    EXPECT_EQ(iForm.fFontColor->text(), QString());
    EXPECT_TRUE(iForm.fFontColor->Enabled());
    for (const CVexilCtl* ctl : std::vector<const CVexilCtl*>{iForm.fNameBox, iForm.fSizeBox, iForm.fMemo,
                                                             iForm.fCombo, iForm.fFontColor})
        EXPECT_EQ(ctl->BackColor(), kReadOnlyGrey) << ctl->Name().toStdString();
    for (const CVexilCtl* ctl : std::vector<const CVexilCtl*>{iForm.fCaption, iForm.fCheck, iForm.fButton,
                                                             iForm.fList})
        EXPECT_FALSE(ctl->Enabled()) << ctl->Name().toStdString();
    EXPECT_EQ(iForm.fCaption->text(), QStringLiteral("Caption"));

    // The user changes none of them.
    QTest::keyClicks(iForm.fNameBox, QStringLiteral("typed"));
    EXPECT_EQ(iForm.fNameBox->text(), QStringLiteral("kept"));
    QTest::keyClick(iForm.fCombo, Qt::Key_Down);
    QTest::keyClicks(iForm.fCombo, QStringLiteral("b"));
    EXPECT_EQ(iForm.fCombo->currentIndex(), 0);
    EXPECT_EQ(iForm.fCombo->currentText(), QStringLiteral("a"));
    iForm.fCombo->showPopup();
    EXPECT_FALSE(iForm.fCombo->view()->isVisible());

    for (CVexilCtl* ctl : iForm.Controls())
        CVexilDialogLib::SetEditable(*ctl, true, true);
    EXPECT_FALSE(iForm.fNameBox->isReadOnly());
    EXPECT_FALSE(iForm.fCombo->Locked());
    for (const CVexilCtl* ctl : std::vector<const CVexilCtl*>{iForm.fNameBox, iForm.fMemo, iForm.fCombo,
                                                             iForm.fFontColor})
        EXPECT_EQ(ctl->BackColor(), kWhite) << ctl->Name().toStdString();
    for (const CVexilCtl* ctl : std::vector<const CVexilCtl*>{iForm.fCaption, iForm.fCheck, iForm.fButton,
                                                             iForm.fList})
        EXPECT_TRUE(ctl->Enabled()) << ctl->Name().toStdString();
    QTest::keyClick(iForm.fCombo, Qt::Key_Down);
    EXPECT_EQ(iForm.fCombo->currentIndex(), 1);
    // The value set shows from its start; the user goes to its end to add to it.
    QTest::keyClick(iForm.fNameBox, Qt::Key_End);
    QTest::keyClicks(iForm.fNameBox, QStringLiteral("!"));
    EXPECT_EQ(iForm.fNameBox->text(), QStringLiteral("kept!"));
}

}  // namespace
