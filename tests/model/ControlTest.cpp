#include "StackFixture.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilFont.h"
#include "model/VexilControl.h"
#include "model/VexilControlWidgets.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
TControlRef NewControl(int32_t aId, const QString& aName, int32_t aConType)
{
    auto control = std::make_shared<CVexilControl>();
    control->Construct(aId, aName, aConType);
    return control;
}

// A renderer that remembers nothing; only its existence matters here.
class CNullWikiText : public IVexilWikiTextLink
{
public:
    void SetStr(const QString& /*aText*/) override {}
    QString TextStr() const override { return {}; }
    void SetFont(const std::shared_ptr<CVexilFont>& /*aFont*/) override {}
};

// A list box that records its lines, objects and columns.
class CRecordingListBox : public IVexilListBoxLink
{
public:
    explicit CRecordingListBox(int32_t aLisType) : iLisType(aLisType) {}

    int32_t LisType() const override { return iLisType; }
    void SetFlag(int32_t aMask, bool aOn) override { iFlags = aOn ? (iFlags | aMask) : (iFlags & ~aMask); }
    bool Flag(int32_t aMask) const override { return (iFlags & aMask) != 0; }
    void SetBaseObj(QObject* aWidget) override { iWidget = aWidget; }
    QObject* BaseObj() const override { return iWidget; }
    void SetFont(const std::shared_ptr<CVexilFont>& aFont) override { iFont = aFont; }
    std::shared_ptr<CVexilFont> Font() const override { return iFont; }
    void Clear() override
    {
        iLines.clear();
        iObjs.clear();
        iShown = false;
    }
    void AddLine(const QString& aLine, const TObjRef& aObj) override
    {
        iLines.append(aLine);
        iObjs.push_back(aObj);
    }
    int32_t NumLines() const override { return int32_t(iLines.size()); }
    QString Line(int32_t aIndex) const override { return iLines.at(aIndex); }
    TObjRef Obj(int32_t aIndex) const override { return iObjs.at(size_t(aIndex)); }
    void DefineColumns(const QStringList& aTitles, const std::vector<float>& aWidths) override
    {
        iTitles = aTitles;
        iWidths = aWidths;
        iFrac = false;
    }
    void DefineColumnsFrac(const QStringList& aTitles, const std::vector<float>& aFractions) override
    {
        DefineColumns(aTitles, aFractions);
        iFrac = true;
    }
    void Show() override { iShown = true; }
    void SetComboText(const QString& /*aText*/) override {}
    void SetEmpty() override {}

    int32_t iLisType;
    int32_t iFlags = 0;
    QObject* iWidget = nullptr;
    std::shared_ptr<CVexilFont> iFont;
    QStringList iLines;
    std::vector<TObjRef> iObjs;
    QStringList iTitles;
    std::vector<float> iWidths;
    bool iFrac = false;
    bool iShown = false;
};

// Stands in for the card presentation: recording list boxes, counted renderers, and an
// average character of 100 twips.
class CTestWidgets : public IVexilControlWidgets
{
public:
    CTestWidgets() { CVexilControlWidgets::Install(this); }
    ~CTestWidgets() override { CVexilControlWidgets::Install(nullptr); }

    std::unique_ptr<IVexilListBoxLink> NewListBox(int32_t aLisType) override
    {
        ++iListBoxes;
        return std::make_unique<CRecordingListBox>(aLisType);
    }
    std::unique_ptr<IVexilWikiTextLink> NewWikiTextBox() override
    {
        ++iWikiBoxes;
        return std::make_unique<CNullWikiText>();
    }
    float AvgCharWidth() const override { return 100; }

    static CRecordingListBox& Box(const CVexilControl& aControl)
    {
        return dynamic_cast<CRecordingListBox&>(*aControl.ListBox());
    }

    int iListBoxes = 0;
    int iWikiBoxes = 0;
};

// A stack whose first background holds the fields Town (text, 12 characters) and Zip
// (integer, list width 5), and the cards Ann, Bob and Cy (ids 0 to 2).
struct TStackWithCards
{
    TStackWithCards()
    {
        stack->Construct(QStringLiteral("S"));
        background = stack->Background(0);
        town = NewControl(stack->IdGen().NextId(), QStringLiteral("Town"), EConTypeText);
        town->SetVisChar(12);
        zip = NewControl(stack->IdGen().NextId(), QStringLiteral("Zip"), EConTypeInteger);
        zip->SetListVisChar(5);
        zip->SetListColTitle(QStringLiteral("Postcode"));
        background->AddControl(town, UndefLong);
        background->AddControl(zip, UndefLong);
        for (const char* name : {"Ann", "Bob", "Cy"})
        {
            auto card = std::make_shared<CVexilCard>();
            card->Construct(QString::fromLatin1(name), background);
            TCardRef before;
            stack->AddCard(card, before, true);
            cards.push_back(card);
        }
    }

    TStackRef stack = std::make_shared<CVexilStack>();
    TControlSetRef background;
    TControlRef town;
    TControlRef zip;
    std::vector<TCardRef> cards;
};

const QByteArray kUndefLong = "ff933577";
const QByteArray kUndefInt = "ff7c";

// Construct (7, "Ab", integer) with the label "L" and the default value "42": generation 3.
const QByteArray kIntegerFieldHex =
    "0000" "0300"                  // EObjControl, generation 3
    "0400" "41006200"              // Name "Ab"
    "07000000" "60000000"          // Id 7, Flags 96
    "0000" "0000" "0000"           // no script source, no handlers, no font
    + kUndefLong +                 // BackColor
    "0000" "0200" "4c00"           // Descr "", Label "L"
    "0100"                         // ConType 1
    "0400" "34003200"              // DefaultVal "42"
    "0100" "1e00"                  // VisLines 1, VisChar 30
    + kUndefInt + kUndefInt +      // MaxChar, Digits
    kUndefInt + "0000" +           // ListVisChar, ListColTitle ""
    kUndefLong + kUndefLong + kUndefLong + kUndefLong +  // Partner, Ref, SelBackground, SelControl
    "0000" + kUndefInt + kUndefLong;                     // no list columns, StdCmd, DestCardId

TControlRef IntegerField()
{
    TControlRef control = NewControl(7, QStringLiteral("Ab"), EConTypeInteger);
    control->SetLabel(QStringLiteral("L"));
    control->SetDefaultVal(QStringLiteral("42"));
    return control;
}
}  // namespace

TEST(Control, ConstructDefaultsByType)
{
    struct TCase
    {
        int32_t ConType;
        int32_t Flags;
        bool HasListBox;
        QString TypeStr;
    };
    const TCase cases[] = {
        {EConTypeText, 96, false, QStringLiteral("Text")},        {EConTypeInteger, 96, false, QStringLiteral("Integer")},
        {EConTypeReal, 96, false, QStringLiteral("Real")},        {EConTypeDate, 96, false, QStringLiteral("Date")},
        {EConTypeTime, 96, false, QStringLiteral("Time")},        {EConTypeBoolean, 32, false, QStringLiteral("Boolean")},
        {EConTypeList, 32, true, QStringLiteral("List")},         {EConTypeCommand, 32, false, QStringLiteral("Command")},
        {EConTypePicture, 32, false, QStringLiteral("Picture")},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.ConType);
        const TControlRef control = NewControl(5, QStringLiteral("F"), c.ConType);
        EXPECT_EQ(control->Flags(), c.Flags);
        EXPECT_EQ(control->TypeStr(), c.TypeStr);
        EXPECT_EQ(control->OkForListCol(), c.Flags == 96);
        EXPECT_EQ(control->AllowsCombo(), c.ConType <= EConTypeReal);
        EXPECT_EQ(control->ListBox() != nullptr, c.HasListBox);
        if (c.HasListBox)
        {
            EXPECT_EQ(control->ListBox()->LisType(), ELisSingle);
            EXPECT_TRUE(control->ListBox()->Flag(ELbfTrueFontSize));
        }
        EXPECT_EQ(control->VisLines(), 1);
        EXPECT_EQ(control->VisChar(), 30);
        EXPECT_EQ(control->MaxChar(), UndefInt);
        EXPECT_EQ(control->Digits(), UndefInt);
        EXPECT_EQ(control->TrueListVisChar(), UndefInt);
        EXPECT_EQ(control->StdCmd(), UndefInt);
        EXPECT_EQ(control->BaseType(), UndefInt);
        for (int32_t id : {control->PartnerId(), control->RefControlId(), control->SelBackgroundId(),
                           control->SelControlId(), control->DestCardId(), control->BackColor()})
            EXPECT_EQ(id, UndefLong);
        EXPECT_EQ(control->DynFlags(), 0);
        EXPECT_FALSE(control->ListCol());
        EXPECT_EQ(control->WikiTextBox(), nullptr);
        EXPECT_TRUE(control->Changed());
    }
}

TEST(Control, ObjDescrNamesIdAndType)
{
    EXPECT_EQ(NewControl(12, QStringLiteral("Price"), EConTypeReal)->ObjDescr(),
              QStringLiteral("CVexilControl name=Price,id=12,type=2"));
}

TEST(Control, EffectiveListWidthAndTitle)
{
    struct TCase
    {
        int16_t VisChar;
        int16_t StoredWidth;
        int32_t ConType;
        bool InCardList;
        int16_t ListVisChar;
        bool InfoInList;
        int16_t InfoWidth;
    };
    const TCase cases[] = {
        {20, 12, EConTypeText, true, 12, true, 12},
        {20, UndefInt, EConTypeText, true, 20, true, 20},
        {UndefInt, UndefInt, EConTypeText, true, 1, true, UndefInt},  // 1 as a width, VisChar as info
        {20, 12, EConTypeText, false, 12, false, UndefInt},
        {20, 12, EConTypeBoolean, true, 12, false, UndefInt},  // never a list column
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.VisChar << "/" << c.StoredWidth << "/" << c.ConType);
        const TControlRef control = NewControl(1, QStringLiteral("F"), c.ConType);
        control->SetVisChar(c.VisChar);
        control->SetListVisChar(c.StoredWidth);
        control->SetFlag(EConInCardList, c.InCardList);
        EXPECT_EQ(control->ListVisChar(), c.ListVisChar);
        EXPECT_EQ(control->TrueListVisChar(), c.StoredWidth);
        bool inList = !c.InfoInList;
        int16_t width = 0;
        control->GetListColInfo(inList, width);
        EXPECT_EQ(inList, c.InfoInList);
        EXPECT_EQ(width, c.InfoWidth);
    }

    const TControlRef control = NewControl(1, QStringLiteral("Town"), EConTypeText);
    EXPECT_EQ(control->ListColTitle(), QStringLiteral("Town"));
    EXPECT_EQ(control->TrueListColTitle(), QString());
    control->SetListColTitle(QStringLiteral("City"));
    EXPECT_EQ(control->ListColTitle(), QStringLiteral("City"));
}

TEST(Control, SettersMarkChangedExceptRunTimeOnes)
{
    using TSet = std::function<void(CVexilControl&)>;
    const std::vector<std::pair<const char*, TSet>> marking = {
        {"VisLines", [](CVexilControl& c) { c.SetVisLines(2); }},
        {"VisChar", [](CVexilControl& c) { c.SetVisChar(2); }},
        {"MaxChar", [](CVexilControl& c) { c.SetMaxChar(2); }},
        {"Digits", [](CVexilControl& c) { c.SetDigits(2); }},
        {"ListVisChar", [](CVexilControl& c) { c.SetListVisChar(2); }},
        {"Name", [](CVexilControl& c) { c.SetName(QStringLiteral("n")); }},
        {"Descr", [](CVexilControl& c) { c.SetDescr(QStringLiteral("d")); }},
        {"Id", [](CVexilControl& c) { c.SetId(3); }},
        {"ConType", [](CVexilControl& c) { c.SetConType(EConTypeDate); }},
        {"Label", [](CVexilControl& c) { c.SetLabel(QStringLiteral("l")); }},
        {"DefaultVal", [](CVexilControl& c) { c.SetDefaultVal(QStringLiteral("v")); }},
        {"Flags", [](CVexilControl& c) { c.SetFlags(EConReadOnly); }},
        {"SetFlag off", [](CVexilControl& c) { c.SetFlag(EConReadOnly, false); }},
        {"ListColTitle", [](CVexilControl& c) { c.SetListColTitle(QStringLiteral("t")); }},
        {"PartnerId none", [](CVexilControl& c) { c.SetPartnerId(UndefLong); }},
        {"RefControlId", [](CVexilControl& c) { c.SetRefControlId(4); }},
        {"SelBackgroundId", [](CVexilControl& c) { c.SetSelBackgroundId(4); }},
        {"SelControlId", [](CVexilControl& c) { c.SetSelControlId(4); }},
        {"ListCol", [](CVexilControl& c) { c.SetListCol(nullptr); }},
        {"StdCmd", [](CVexilControl& c) { c.SetStdCmd(EStdCmdNextCard); }},
        {"BackColor", [](CVexilControl& c) { c.SetBackColor(255); }},
        {"ScriptSource", [](CVexilControl& c) { c.SetScriptSource(QStringLiteral("s")); }},
        {"Script", [](CVexilControl& c) { c.SetScript(nullptr); }},
        {"Font", [](CVexilControl& c) { c.SetFont(nullptr); }},
    };
    const std::vector<std::pair<const char*, TSet>> silent = {
        {"DestCardId", [](CVexilControl& c) { c.SetDestCardId(9); }},
        {"DynFlags", [](CVexilControl& c) { c.SetDynFlags(EDynKeyPart); }},
        {"SetDynFlag", [](CVexilControl& c) { c.SetDynFlag(EDynListCol, true); }},
        {"BaseControl", [](CVexilControl& c) { c.SetBaseControl(nullptr, 3); }},
        {"BaseLabel", [](CVexilControl& c) { c.SetBaseLabel(nullptr); }},
        {"BaseFunc", [](CVexilControl& c) { c.SetBaseFunc(nullptr); }},
    };
    for (const auto& [name, set] : marking)
    {
        const TControlRef control = NewControl(1, QStringLiteral("F"), EConTypeText);
        control->SetChanged(false);
        set(*control);
        EXPECT_TRUE(control->Changed()) << name;
    }
    for (const auto& [name, set] : silent)
    {
        const TControlRef control = NewControl(1, QStringLiteral("F"), EConTypeText);
        control->SetChanged(false);
        set(*control);
        EXPECT_FALSE(control->Changed()) << name;
    }
}

TEST(Control, ChangedIncludesListColumnsScriptAndFont)
{
    const TControlRef control = NewControl(1, QStringLiteral("F"), EConTypeList);
    control->SetListCol(IntList({4, 5}));
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Arial"), 200, UndefLong);
    control->SetFont(font);
    auto script = std::make_shared<CVexilArray>();
    script->Construct(EArrStrKey, EValStr);
    control->SetScript(script);

    control->SetChanged(false);
    EXPECT_FALSE(control->ListCol()->Changed());
    EXPECT_FALSE(font->Changed());
    EXPECT_FALSE(script->Changed());
    EXPECT_FALSE(control->Changed());

    for (CVexilObject* part : {static_cast<CVexilObject*>(control->ListCol().get()),
                               static_cast<CVexilObject*>(font.get()), static_cast<CVexilObject*>(script.get())})
    {
        part->SetChanged(true);
        EXPECT_TRUE(control->Changed()) << part->ObjDescr().toStdString();
        control->SetChanged(false);
    }
}

TEST(Control, FlagBitsAndDynamicRoles)
{
    const TControlRef control = NewControl(1, QStringLiteral("F"), EConTypeText);
    control->SetFlag(EConReadOnly, true);
    EXPECT_EQ(control->Flags(), 96 + 256);
    EXPECT_TRUE(control->Flag(EConReadOnly | EConDisabled));
    EXPECT_FALSE(control->Flag(EConDisabled));
    control->SetFlag(EConReadOnly, false);
    control->SetFlag(EConDisabled, false);  // clearing a clear bit leaves the rest
    EXPECT_EQ(control->Flags(), 96);
    EXPECT_TRUE(control->InCardView());
    EXPECT_TRUE(control->InCardList());

    control->SetDynFlag(EDynRefControl, true);
    control->SetDynFlag(EDynListCol, true);
    control->SetDynFlag(EDynRefControl, false);
    EXPECT_EQ(control->DynFlags(), EDynListCol);
    EXPECT_TRUE(control->DynFlag(EDynListCol));
}

TEST(Control, SettingFlagsRenewsTheListBox)
{
    CTestWidgets widgets;
    const TControlRef list = NewControl(1, QStringLiteral("L"), EConTypeList);
    const IVexilListBoxLink* first = list->ListBox();
    ASSERT_NE(first, nullptr);

    list->SetFlags(list->Flags() | EConComboList);
    ASSERT_NE(list->ListBox(), nullptr);
    EXPECT_EQ(list->ListBox()->LisType(), ELisCombo);
    EXPECT_TRUE(list->ListBox()->Flag(ELbfTrueFontSize));

    list->SetFlags(EConInCardView);
    EXPECT_EQ(list->ListBox()->LisType(), ELisSingle);
    const IVexilListBoxLink* again = list->ListBox();
    list->SetFlags(EConInCardView);
    EXPECT_NE(list->ListBox(), again);  // always a fresh one
    EXPECT_EQ(widgets.iListBoxes, 5);   // Construct, list + combo, then one each

    // A field whose type went away from list keeps its old box.
    list->SetConType(EConTypeText);
    const IVexilListBoxLink* kept = list->ListBox();
    list->SetFlags(EConInCardView);
    EXPECT_EQ(list->ListBox(), kept);
    EXPECT_EQ(widgets.iListBoxes, 5);
}

TEST(Control, WikiTextFlagMakesARenderer)
{
    CTestWidgets widgets;
    const TControlRef text = NewControl(1, QStringLiteral("W"), EConTypeText);
    EXPECT_EQ(text->WikiTextBox(), nullptr);
    text->SetFlag(EConWikiText, true);  // SetFlag alone does not renew
    EXPECT_EQ(text->WikiTextBox(), nullptr);
    text->SetFlags(text->Flags());
    EXPECT_NE(text->WikiTextBox(), nullptr);
    EXPECT_EQ(widgets.iWikiBoxes, 1);

    // Without a presentation there is nothing to render on.
    CVexilControlWidgets::Install(nullptr);
    const TControlRef plain = NewControl(2, QStringLiteral("W"), EConTypeText);
    plain->SetFlags(EConWikiText);
    EXPECT_EQ(plain->WikiTextBox(), nullptr);
}

TEST(Control, UnknownTypeAndPartnerWithoutComboAreAssertions)
{
    const TControlRef control = NewControl(1, QStringLiteral("F"), 9);
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_EQ(control->TypeStr(), QString());

    const TControlRef text = NewControl(2, QStringLiteral("T"), EConTypeText);
    ScriptedPrompts::Instance().ExpectMessage(true);
    text->SetPartnerId(5);
    EXPECT_EQ(text->PartnerId(), 5);  // stored when the user goes on
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 2u);
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages()[1].Text.contains(QStringLiteral("LetPartnerId Combo")));

    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { text->SetPartnerId(6); }), int32_t(EErrAssertFailed));

    text->SetFlag(EConComboText, true);
    text->SetPartnerId(7);
    EXPECT_EQ(text->PartnerId(), 7);
}

TEST(Control, SetListAttachesCardsAndDefinesColumns)
{
    CTestWidgets widgets;
    TStackWithCards s;
    const TControlRef list = NewControl(9, QStringLiteral("Links"), EConTypeList);
    CRecordingListBox& box = CTestWidgets::Box(*list);
    TCardRef bob = s.cards[1];
    s.stack->DeleteCard(bob);  // slot 1 is free now

    const QString text = QStringLiteral("2\tCy\r\n0\tAnn\r\n\r\n1\tBob\r\n77\tFar\r\n99999999999\tHuge\r\nx");
    list->SetList(*s.stack, text, true);
    ASSERT_EQ(box.NumLines(), 7);
    const std::vector<TObjRef> expected = {s.cards[2], s.cards[0], nullptr, nullptr, nullptr, nullptr, nullptr};
    EXPECT_EQ(box.iObjs, expected);
    EXPECT_EQ(box.iTitles, (QStringList{QString(), QStringLiteral("Card Name")}));  // the id kept out of view
    EXPECT_EQ(box.iWidths, (std::vector<float>{0, 1}));
    EXPECT_TRUE(box.iFrac);
    EXPECT_TRUE(box.iShown);
    EXPECT_EQ(list->GetList(), text);

    // Plain list text: no cards, one "Value" column; a final line end adds no line.
    list->SetList(*s.stack, QStringLiteral("0\tAnn\r\nb\r\n"), false);
    EXPECT_EQ(box.iLines, (QStringList{QStringLiteral("0\tAnn"), QStringLiteral("b")}));
    EXPECT_EQ(box.iObjs, (std::vector<TObjRef>{nullptr, nullptr}));
    EXPECT_EQ(box.iTitles, QStringList{QStringLiteral("Value")});
    list->SetList(*s.stack, QString(), false);
    EXPECT_EQ(box.NumLines(), 0);
    EXPECT_EQ(list->GetList(), QString());
}

TEST(Control, SetListColumnsOfListColumnFields)
{
    CTestWidgets widgets;
    TStackWithCards s;
    const TControlRef list = NewControl(9, QStringLiteral("Links"), EConTypeList);
    list->SetFlag(EConCardList, true);
    list->SetSelBackgroundId(s.background->Id());
    list->SetListCol(IntList({s.town->Id(), s.zip->Id()}));
    list->SetList(*s.stack, QStringLiteral("0\tBern\t3000"), true);
    CRecordingListBox& box = CTestWidgets::Box(*list);
    EXPECT_EQ(box.iTitles, (QStringList{QString(), QStringLiteral("Town"), QStringLiteral("Postcode")}));
    EXPECT_EQ(box.iWidths, (std::vector<float>{0, 12 * 100 + 50, 5 * 100 + 50}));
    EXPECT_FALSE(box.iFrac);
    EXPECT_EQ(box.iObjs.at(0), s.cards[0]);

    // A column field that is not in the listed background.
    list->SetListCol(IntList({s.town->Id(), 555}));
    ScriptedPrompts::Instance().ExpectMessage(true);
    list->SetList(*s.stack, QString(), true);
    EXPECT_EQ(box.iTitles, (QStringList{QString(), QStringLiteral("Town")}));
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().back().Text.contains(QStringLiteral("control found")));

    // A combo gets its lines and no columns.
    const TControlRef combo = NewControl(10, QStringLiteral("Choices"), EConTypeList);
    combo->SetFlags(combo->Flags() | EConComboList);
    combo->SetList(*s.stack, QStringLiteral("Ann\r\nBob"), false);
    CRecordingListBox& comboBox = CTestWidgets::Box(*combo);
    EXPECT_EQ(comboBox.LisType(), ELisCombo);
    EXPECT_EQ(comboBox.iLines, (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob")}));
    EXPECT_TRUE(comboBox.iTitles.isEmpty());
    EXPECT_TRUE(comboBox.iShown);
}

TEST(Control, BaseControlReachesTheListBox)
{
    CTestWidgets widgets;
    const TControlRef list = NewControl(1, QStringLiteral("L"), EConTypeList);
    QObject widget;
    list->SetChanged(false);
    list->SetBaseControl(&widget, 5);
    EXPECT_EQ(list->BaseControl(), &widget);
    EXPECT_EQ(list->BaseType(), 5);
    EXPECT_EQ(CTestWidgets::Box(*list).iWidget, &widget);
    EXPECT_FALSE(list->Changed());
}

TEST(Control, GetListJoinsTheLinesOfTheListBox)
{
    const TControlRef list = NewControl(1, QStringLiteral("L"), EConTypeList);
    EXPECT_EQ(list->GetList(), QString());
    for (const char* line : {"a\tb", "", "c"})
        list->ListBox()->AddLine(QString::fromLatin1(line), nullptr);
    EXPECT_EQ(list->GetList(), QStringLiteral("a\tb\r\n\r\nc"));
    EXPECT_EQ(NewControl(2, QStringLiteral("T"), EConTypeText)->GetList(), QString());
}

TEST(ControlRecord, BinaryIsByteExact)
{
    const TControlRef control = IntegerField();
    EXPECT_EQ(RecordIo::Binary(*control).toHex(), kIntegerFieldHex);
}

TEST(ControlRecord, BinaryRoundTripKeepsStoredFieldsOnly)
{
    CTestWidgets widgets;
    const TControlRef control = NewControl(31, QStringLiteral("Links"), EConTypeList);
    control->SetFlags(EConInCardView | EConCardList | EConComboList | EConWikiText);
    control->SetDescr(QStringLiteral("all towns"));
    control->SetVisLines(5);
    control->SetVisChar(UndefInt);
    control->SetMaxChar(80);
    control->SetDigits(2);
    control->SetListColTitle(QString());
    control->SetPartnerId(32);
    control->SetRefControlId(33);
    control->SetSelBackgroundId(34);
    control->SetSelControlId(35);
    control->SetListCol(IntList({36, 37}));
    control->SetStdCmd(EStdCmdGoToCard);
    control->SetDestCardId(38);
    control->SetBackColor(0x00ff00);
    control->SetScriptSource(QStringLiteral("on select\r\nend select"));
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Courier"), 240, 255);
    control->SetFont(font);
    control->SetDynFlags(EDynListCol);

    const QByteArray bytes = RecordIo::Binary(*control);
    CVexilControl read;
    RecordIo::ReadBinary(bytes, read);

    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(read.Id(), 31);
    EXPECT_EQ(read.Name(), QStringLiteral("Links"));
    EXPECT_EQ(read.Descr(), QStringLiteral("all towns"));
    EXPECT_EQ(read.Flags(), control->Flags());
    EXPECT_EQ(read.VisLines(), 5);
    EXPECT_EQ(read.VisChar(), UndefInt);
    EXPECT_EQ(read.MaxChar(), 80);
    EXPECT_EQ(read.Digits(), 2);
    EXPECT_EQ(read.TrueListVisChar(), UndefInt);
    EXPECT_EQ(read.ListVisChar(), 1);
    EXPECT_EQ(read.TrueListColTitle(), QString());
    EXPECT_EQ(read.ListColTitle(), QStringLiteral("Links"));
    EXPECT_EQ(read.PartnerId(), 32);
    EXPECT_EQ(read.RefControlId(), 33);
    EXPECT_EQ(read.SelBackgroundId(), 34);
    EXPECT_EQ(read.SelControlId(), 35);
    ASSERT_TRUE(read.ListCol());
    ASSERT_EQ(read.ListCol()->Count(), 2);
    EXPECT_EQ(read.ListCol()->IntNum(1), 37);
    EXPECT_EQ(read.StdCmd(), EStdCmdGoToCard);
    EXPECT_EQ(read.DestCardId(), 38);
    EXPECT_EQ(read.BackColor(), 0x00ff00);
    EXPECT_EQ(read.ScriptSource(), control->ScriptSource());
    ASSERT_TRUE(read.Font());
    EXPECT_EQ(read.Font()->FaceName(), QStringLiteral("Courier"));
    EXPECT_EQ(read.DynFlags(), 0);  // run time only
    // The run-time objects follow the stored type and flags.
    ASSERT_NE(read.ListBox(), nullptr);
    EXPECT_EQ(read.ListBox()->LisType(), ELisCombo);
    EXPECT_NE(read.WikiTextBox(), nullptr);
    EXPECT_EQ(RecordIo::Binary(read), bytes);
}

TEST(ControlRecord, GenerationTwoHasNoDigits)
{
    // The same record as generation 2: no Digits behind MaxChar.
    QByteArray gen2 = QByteArray::fromHex(kIntegerFieldHex);
    gen2[2] = 2;
    const int digitsAt = int(QByteArray::fromHex(kIntegerFieldHex).indexOf(QByteArray::fromHex("1e00" + kUndefInt))) + 4;
    gen2.remove(digitsAt, 2);

    CVexilControl read;
    RecordIo::ReadBinary(gen2, read);
    EXPECT_EQ(read.Digits(), UndefInt);
    EXPECT_EQ(read.MaxChar(), UndefInt);
    EXPECT_EQ(read.DefaultVal(), QStringLiteral("42"));
    EXPECT_EQ(read.DestCardId(), UndefLong);
    // Written again as generation 3.
    EXPECT_EQ(RecordIo::Binary(read).toHex(), kIntegerFieldHex);
}

TEST(ControlRecord, BinaryRecordsTheReaderRefuses)
{
    struct TCase
    {
        const char* What;
        int Offset;
        QByteArray Patch;
        int32_t Error;
    };
    const TCase cases[] = {
        {"generation 1", 2, QByteArray::fromHex("0100"), EErrGenTooLow},
        {"generation 4", 2, QByteArray::fromHex("0400"), EErrGenTooHigh},
        {"background type id", 0, QByteArray::fromHex("0200"), EErrBadStruct},
        // the list-column count behind SelControlId
        {"negative column count", int(QByteArray::fromHex(kIntegerFieldHex).size()) - 8, QByteArray::fromHex("ffff"),
         EErrBadStruct},
        // ConType behind Descr and Label
        {"unknown type", int(QByteArray::fromHex(kIntegerFieldHex).indexOf(QByteArray::fromHex("4c000100"))) + 2,
         QByteArray::fromHex("0900"), EErrBadStruct},
    };
    for (const TCase& c : cases)
    {
        QByteArray bytes = QByteArray::fromHex(kIntegerFieldHex);
        bytes.replace(c.Offset, c.Patch.size(), c.Patch);
        CVexilControl read;
        EXPECT_EQ(RaisedError([&] { RecordIo::ReadBinary(bytes, read); }), c.Error) << c.What;
    }
    CVexilControl read;
    EXPECT_NE(RaisedError([&] { RecordIo::ReadBinary(QByteArray::fromHex(kIntegerFieldHex).chopped(1), read); }), 0)
        << "truncated";
}

TEST(ControlRecord, XmlIsExact)
{
    const TControlRef control = IntegerField();
    control->SetListCol(IntList({3}));
    EXPECT_EQ(RecordIo::Xml(*control),
              "<Control gen=\"3\" id=\"7\" name=\"Ab\" descr=\"\" label=\"L\" type=\"1\" visLines=\"1\" "
              "visChar=\"30\" flags=\"96\" maxChar=\"31999\" digits=\"31999\" listVisChar=\"31999\" "
              "listColTitle=\"\" partnerId=\"1999999999\" refControlId=\"1999999999\" "
              "selBackgroundId=\"1999999999\" selControlId=\"1999999999\" numListCol=\"1\" stdCmd=\"31999\" "
              "destCardId=\"1999999999\" backColor=\"1999999999\" numScripts=\"0\" fontDef=\"0\">\r\n"
              "  <DefaultVal>42</DefaultVal>\r\n"
              "  <Array gen=\"3\" id=\"1999999999\" flags=\"0\" type=\"12\" allocStep=\"50\" alloc=\"10\" max=\"1\" "
              "sortKeyId=\"1999999999\">\r\n"
              "    <Elem type=\"12\" int=\"3\">\r\n"
              "    </Elem>\r\n"
              "  </Array>\r\n"
              "  <ScriptSource></ScriptSource>\r\n"
              "</Control>\r\n");
}

TEST(ControlRecord, XmlRoundTrip)
{
    CTestWidgets widgets;
    const TControlRef control = NewControl(40, QStringLiteral("Notes <&>"), EConTypeText);
    control->SetFlags(EConInCardView | EConWikiText | EConComboText);
    control->SetPartnerId(41);
    control->SetDefaultVal(QStringLiteral("line 1\r\nline 2"));
    control->SetDigits(3);
    control->SetStdCmd(EStdCmdSelectCard);
    control->SetScriptSource(QStringLiteral("on exitField\r\nend exitField"));
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QString(), UndefInt, 0x123456);
    control->SetFont(font);

    const QByteArray xml = RecordIo::Xml(*control);
    CVexilControl read;
    RecordIo::ReadXml(xml, read);
    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(read.Name(), control->Name());
    EXPECT_EQ(read.Flags(), control->Flags());
    EXPECT_EQ(read.PartnerId(), 41);
    EXPECT_EQ(read.DefaultVal(), control->DefaultVal());
    EXPECT_EQ(read.Digits(), 3);
    EXPECT_EQ(read.StdCmd(), EStdCmdSelectCard);
    EXPECT_EQ(read.ScriptSource(), control->ScriptSource());
    ASSERT_TRUE(read.Font());
    EXPECT_EQ(read.Font()->ForeColor(), 0x123456);
    EXPECT_FALSE(read.ListCol());
    EXPECT_EQ(read.ListBox(), nullptr);
    EXPECT_NE(read.WikiTextBox(), nullptr);
    EXPECT_EQ(RecordIo::Xml(read), xml);
}

TEST(ControlRecord, XmlWithoutDigitsOrStdCmdReadsThemAsUnset)
{
    CVexilControl read;
    RecordIo::ReadXml("<Control gen=\"2\" id=\"3\" name=\"Old\" type=\"6\" flags=\"1060\" numListCol=\"0\" "
                      "numScripts=\"0\" fontDef=\"0\">\r\n"
                      "  <DefaultVal>a&eol;b</DefaultVal>\r\n"
                      "  <ScriptSource></ScriptSource>\r\n"
                      "</Control>\r\n",
                      read);
    EXPECT_EQ(read.Digits(), UndefInt);
    EXPECT_EQ(read.StdCmd(), UndefInt);
    EXPECT_EQ(read.DefaultVal(), QStringLiteral("a\r\nb"));
    ASSERT_NE(read.ListBox(), nullptr);
    EXPECT_EQ(read.ListBox()->LisType(), ELisCombo);
}

TEST(ControlRecord, XmlElementsTheReaderRefuses)
{
    const QByteArray tail = "numScripts=\"0\" fontDef=\"0\">\r\n"
                            "  <DefaultVal></DefaultVal>\r\n"
                            "  <ScriptSource></ScriptSource>\r\n"
                            "</Control>\r\n";
    const QByteArray cases[] = {
        "<Control gen=\"4\" id=\"1\" " + tail,
        "<Control gen=\"1\" id=\"1\" " + tail,
        "<Control gen=\"3\" id=\"1\"/>\r\n",
        // a list column announced but missing
        "<Control gen=\"3\" id=\"1\" numListCol=\"1\" " + tail,
        "<Control gen=\"3\" id=\"1\" type=\"-1\" " + tail,
        // two list columns announced, one given
        "<Control gen=\"3\" id=\"1\" numListCol=\"2\" numScripts=\"0\" fontDef=\"0\">\r\n"
        "  <DefaultVal></DefaultVal>\r\n"
        "  <Array gen=\"3\" flags=\"0\" type=\"12\" max=\"1\">\r\n"
        "    <Elem type=\"12\" int=\"3\">\r\n"
        "    </Elem>\r\n"
        "  </Array>\r\n"
        "  <ScriptSource></ScriptSource>\r\n"
        "</Control>\r\n",
    };
    for (const QByteArray& xml : cases)
    {
        CVexilControl read;
        EXPECT_EQ(RaisedError([&] { RecordIo::ReadXml(xml, read); }), int32_t(EErrBadStruct)) << xml.toStdString();
    }
}
