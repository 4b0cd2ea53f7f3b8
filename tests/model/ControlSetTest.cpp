#include "StackFixture.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilFont.h"
#include "model/VexilControlSet.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
TControlRef NewControl(int32_t aId, const QString& aName, int32_t aConType = EConTypeText)
{
    auto control = std::make_shared<CVexilControl>();
    control->Construct(aId, aName, aConType);
    return control;
}

TControlSetRef NewBackground()
{
    auto background = std::make_shared<CVexilControlSet>();
    background->Construct(QStringLiteral("Bg"), 2);
    return background;
}

// The ids in display order, and each id's position as the index finds it.
std::vector<int32_t> IdsInOrder(const CVexilControlSet& aBackground)
{
    std::vector<int32_t> ids;
    TControlRef control;
    int32_t cursor = 0;
    for (bool found = aBackground.GetFirstControl(control, cursor); found;
         found = aBackground.GetNextControl(control, cursor))
    {
        ids.push_back(control->Id());
        TControlRef byId;
        EXPECT_TRUE(aBackground.GetControl(control->Id(), byId));
        EXPECT_EQ(byId, control);
    }
    return ids;
}

const QByteArray kUndefLong = "ff933577";

// A background "Bg" (id 2) with the Boolean field "B" (id 7), binary generation 3.
const QByteArray kBackgroundHeadHex = "0200" "0300"     // EObjControlSet, generation 3
                                      "0400" "42006700" // Name "Bg"
                                      "02000000" "11000000"  // Id 2, Flags 17
                                      "0000" "0000" "0000"   // no script source, handlers or font
                                      + kUndefLong +         // BackColor
                                      "0000" + kUndefLong +  // Descr "", WallPaperId
                                      // the controls: keyless array of type 101 with one element
                                      "0500" "0300" + kUndefLong + "00000000" "6500" "32000000" "0a000000"
                                      "01000000" + kUndefLong +
                                      "6500" "0100";  // element type, object present
const QByteArray kBackgroundTailHex =
    // the id index: integer keys, type 12; key 7 at position 0
    "0500" "0300" + kUndefLong + "02000000" "0c00" "32000000" "0a000000" "01000000" + kUndefLong +
    "07000000" "0c00" "00000000" + kUndefLong;  // KeyIndexId

const QByteArray kBackgroundXml =
    "<ControlSet gen=\"3\" name=\"Bg\" descr=\"\" id=\"2\" flags=\"17\" wallPaperId=\"1999999999\" "
    "backColor=\"1999999999\" keyIndexId=\"1999999999\" numScripts=\"0\" fontDef=\"0\">\r\n"
    "  <Array gen=\"3\" id=\"1999999999\" flags=\"0\" type=\"101\" allocStep=\"50\" alloc=\"10\" max=\"1\" "
    "sortKeyId=\"1999999999\">\r\n"
    "    <Elem type=\"101\">\r\n"
    "      <Obj>\r\n"
    "        <Control gen=\"3\" id=\"7\" name=\"B\" descr=\"\" label=\"\" type=\"5\" visLines=\"1\" visChar=\"30\" "
    "flags=\"32\" maxChar=\"31999\" digits=\"31999\" listVisChar=\"31999\" listColTitle=\"\" "
    "partnerId=\"1999999999\" refControlId=\"1999999999\" selBackgroundId=\"1999999999\" "
    "selControlId=\"1999999999\" numListCol=\"0\" stdCmd=\"31999\" destCardId=\"1999999999\" "
    "backColor=\"1999999999\" numScripts=\"0\" fontDef=\"0\">\r\n"
    "          <DefaultVal></DefaultVal>\r\n"
    "          <ScriptSource></ScriptSource>\r\n"
    "        </Control>\r\n"
    "      </Obj>\r\n"
    "    </Elem>\r\n"
    "  </Array>\r\n"
    "  <Array gen=\"3\" id=\"1999999999\" flags=\"2\" type=\"12\" allocStep=\"50\" alloc=\"10\" max=\"1\" "
    "sortKeyId=\"1999999999\">\r\n"
    "    <Elem intKey=\"7\" type=\"12\" int=\"0\">\r\n"
    "    </Elem>\r\n"
    "  </Array>\r\n"
    "  <ScriptSource></ScriptSource>\r\n"
    "</ControlSet>\r\n";

TControlSetRef BackgroundWithBoolean()
{
    TControlSetRef background = NewBackground();
    background->AddControl(NewControl(7, QStringLiteral("B"), EConTypeBoolean), UndefLong);
    return background;
}
}  // namespace

TEST(ControlSet, NewBackgroundDefaults)
{
    const TControlSetRef background = NewBackground();
    EXPECT_EQ(background->ObjDescr(), QStringLiteral("CVexilControlSet name=Bg"));
    EXPECT_EQ(background->Id(), 2);
    EXPECT_EQ(background->Flags(), 17);
    EXPECT_TRUE(background->Flag(ECseCardNameInList));
    EXPECT_TRUE(background->Flag(ECseShowCardName));
    EXPECT_EQ(background->NumControls(), 0);
    EXPECT_EQ(background->WallPaperId(), UndefLong);
    EXPECT_EQ(background->BackColor(), UndefLong);
    EXPECT_EQ(background->KeyIndexId(), UndefLong);
    EXPECT_EQ(background->Descr(), QString());
    EXPECT_FALSE(background->Script());
    EXPECT_FALSE(background->Font());
    EXPECT_FALSE(background->WithCardList());
    EXPECT_TRUE(background->Changed());
    TControlRef control;
    int32_t cursor = 5;
    EXPECT_FALSE(background->GetFirstControl(control, cursor));
    EXPECT_EQ(cursor, 0);
}

TEST(ControlSet, InsertingAndDeletingKeepsTheIndex)
{
    const TControlSetRef background = NewBackground();
    for (int32_t id : {10, 11, 12})
        background->AddControl(NewControl(id, QStringLiteral("F%1").arg(id)), UndefLong);
    EXPECT_EQ(IdsInOrder(*background), (std::vector<int32_t>{10, 11, 12}));

    background->AddControl(NewControl(5, QStringLiteral("First")), 10);
    EXPECT_EQ(IdsInOrder(*background), (std::vector<int32_t>{5, 10, 11, 12}));
    background->AddControl(NewControl(20, QStringLiteral("Middle")), 12);
    EXPECT_EQ(IdsInOrder(*background), (std::vector<int32_t>{5, 10, 11, 20, 12}));
    EXPECT_EQ(background->NumControls(), 5);

    background->DeleteControl(5);
    EXPECT_EQ(IdsInOrder(*background), (std::vector<int32_t>{10, 11, 20, 12}));
    background->DeleteControl(12);
    background->DeleteControl(11);
    EXPECT_EQ(IdsInOrder(*background), (std::vector<int32_t>{10, 20}));
    TControlRef control;
    EXPECT_FALSE(background->GetControl(5, control));
    EXPECT_TRUE(background->GetControlByNum(1, control));
    EXPECT_EQ(control->Id(), 20);
    EXPECT_FALSE(background->GetControlByNum(2, control));
    EXPECT_FALSE(background->GetControlByNum(-1, control));
}

TEST(ControlSet, LookUpsByNameAndFlag)
{
    const TControlSetRef background = NewBackground();
    background->AddControl(NewControl(1, QStringLiteral("Name")), UndefLong);
    TControlRef cardName = NewControl(2, QStringLiteral("Title"));
    cardName->SetFlag(EConCardName, true);
    background->AddControl(cardName, UndefLong);
    TControlRef second = NewControl(3, QStringLiteral("Name"));
    second->SetFlag(EConCardName, true);
    background->AddControl(second, UndefLong);

    TControlRef found;
    EXPECT_TRUE(background->GetControlByName(QStringLiteral("Name"), found));
    EXPECT_EQ(found->Id(), 1);  // the first in display order
    EXPECT_FALSE(background->GetControlByName(QStringLiteral("name"), found));
    EXPECT_FALSE(background->GetControlByName(QStringLiteral("Nam"), found));
    EXPECT_TRUE(background->GetControlByFlag(EConCardName, found));
    EXPECT_EQ(found->Id(), 2);
    EXPECT_FALSE(background->GetControlByFlag(EConPhoneNumber, found));

    EXPECT_FALSE(background->WithCardList());
    TControlRef list = NewControl(4, QStringLiteral("Links"), EConTypeList);
    list->SetFlag(EConCardList, true);
    background->AddControl(list, 1);
    EXPECT_TRUE(background->WithCardList());
}

TEST(ControlSet, WrongIdsAreAssertions)
{
    const TControlSetRef background = NewBackground();
    background->AddControl(NewControl(1, QStringLiteral("A")), UndefLong);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();

    // A second field of the same id is not added when the user goes on.
    prompts.ExpectMessage(true);
    background->AddControl(NewControl(1, QStringLiteral("Twin")), UndefLong);
    EXPECT_EQ(background->NumControls(), 1);

    // An unknown position appends.
    prompts.ExpectMessage(true);
    background->AddControl(NewControl(2, QStringLiteral("B")), 99);
    EXPECT_EQ(IdsInOrder(*background), (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(prompts.Messages().back().Text.contains(QStringLiteral("AddControl beforeId found, 99")));

    prompts.ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { background->DeleteControl(3); }), int32_t(EErrAssertFailed));
    EXPECT_EQ(background->NumControls(), 2);

    // Only a background that keeps its cards sorted has a key index.
    prompts.ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { background->KeyIndex(); }), int32_t(EErrAssertFailed));
    EXPECT_TRUE(prompts.Messages().back().Text.contains(QStringLiteral("ECseKeepCardsSorted")));
    background->SetFlag(ECseKeepCardsSorted, true);
    prompts.ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { background->KeyIndex(); }), int32_t(EErrAssertFailed));
    EXPECT_TRUE(prompts.Messages().back().Text.contains(QStringLiteral("id set")));
}

TEST(ControlSet, KeyIndexComesFromItsOwnStack)
{
    // Two stacks with a key index of the same id: each background finds its own stack's.
    CVexilStack first;
    first.Construct(QStringLiteral("First"));
    CVexilStack second;
    second.Construct(QStringLiteral("Second"));
    const auto firstIndex = AddKeyIndex40(first);
    const auto secondIndex = AddKeyIndex40(second);
    for (auto [stack, index] : {std::pair{&first, firstIndex}, std::pair{&second, secondIndex}})
    {
        const TControlSetRef background = stack->Background(0);
        ASSERT_EQ(background->Stack(), stack);
        background->SetFlag(ECseKeepCardsSorted, true);
        background->SetKeyIndexId(41);
        EXPECT_EQ(background->KeyIndex(), index);
    }

    // Another id drops the key index fetched for the old one.
    const TControlSetRef background = first.Background(0);
    auto other = std::make_shared<CVexilArray>();
    other->Construct(EArrStrKey + EArrSortKeyOrder, EValInt);
    other->SetSortKeyId(40);
    other->SetId(42);
    first.AddKeyIndex(other);
    background->SetKeyIndexId(42);
    EXPECT_EQ(background->KeyIndex(), other);
}

TEST(ControlSet, ChangedRules)
{
    const TControlSetRef background = BackgroundWithBoolean();
    background->SetChanged(false);
    background->SetFlags(ECseDenseLayout);
    background->SetKeyIndexId(4);
    background->SetId(9);
    EXPECT_FALSE(background->Changed());

    background->SetFlag(ECseScrollable, true);
    EXPECT_TRUE(background->Changed());
    EXPECT_EQ(background->Flags(), ECseDenseLayout | ECseScrollable);
    background->SetFlag(ECseTileWallPaper, false);
    EXPECT_EQ(background->Flags(), ECseDenseLayout | ECseScrollable);

    // A changed field changes its background; clearing clears the fields.
    TControlRef control;
    ASSERT_TRUE(background->GetControl(7, control));
    background->SetChanged(false);
    control->SetLabel(QStringLiteral("Yes?"));
    EXPECT_TRUE(background->Changed());
    background->SetChanged(false);
    EXPECT_FALSE(control->Changed());

    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Arial"), 200, UndefLong);
    background->SetFont(font);
    background->SetChanged(false);
    font->SetFlags(EFontBold);
    EXPECT_TRUE(background->Changed());
}

TEST(ControlSetRecord, BinaryIsByteExact)
{
    const TControlSetRef background = BackgroundWithBoolean();
    TControlRef control;
    ASSERT_TRUE(background->GetControl(7, control));
    const QByteArray expected =
        QByteArray::fromHex(kBackgroundHeadHex) + RecordIo::Binary(*control) + QByteArray::fromHex(kBackgroundTailHex);
    EXPECT_EQ(RecordIo::Binary(*background).toHex(), expected.toHex());
}

TEST(ControlSetRecord, BinaryRoundTrip)
{
    const TControlSetRef background = BackgroundWithBoolean();
    background->AddControl(NewControl(3, QStringLiteral("Name")), 7);
    background->SetDescr(QStringLiteral("addresses"));
    background->SetFlags(ECseKeepCardsSorted | ECseShowWallPaper);
    background->SetWallPaperId(44);
    background->SetBackColor(0xffffff);
    background->SetKeyIndexId(45);
    background->SetScriptSource(QStringLiteral("on openCard\r\nend openCard"));

    const QByteArray bytes = RecordIo::Binary(*background);
    CVexilControlSet read;
    RecordIo::ReadBinary(bytes, read);
    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(read.Name(), QStringLiteral("Bg"));
    EXPECT_EQ(read.Descr(), QStringLiteral("addresses"));
    EXPECT_EQ(read.Flags(), ECseKeepCardsSorted | ECseShowWallPaper);
    EXPECT_EQ(read.WallPaperId(), 44);
    EXPECT_EQ(read.BackColor(), 0xffffff);
    EXPECT_EQ(read.KeyIndexId(), 45);
    EXPECT_EQ(read.ScriptSource(), background->ScriptSource());
    EXPECT_EQ(IdsInOrder(read), (std::vector<int32_t>{3, 7}));
    EXPECT_EQ(RecordIo::Binary(read), bytes);
}

TEST(ControlSetRecord, BinaryRecordsTheReaderRefuses)
{
    const QByteArray good = RecordIo::Binary(*BackgroundWithBoolean());
    struct TCase
    {
        const char* What;
        int Offset;  // from the end when negative
        QByteArray Patch;
        int32_t Error;
    };
    const TCase cases[] = {
        {"generation 2", 2, QByteArray::fromHex("0200"), EErrGenTooLow},
        {"generation 4", 2, QByteArray::fromHex("0400"), EErrGenTooHigh},
        {"control type id", 0, QByteArray::fromHex("0000"), EErrBadStruct},
        // the index names position 1 of a single field
        {"index beyond the fields", -8, QByteArray::fromHex("01000000"), EErrBadStruct},
        // the index names the field by another id
        {"index with a wrong id", -14, QByteArray::fromHex("08000000"), EErrBadStruct},
    };
    for (const TCase& c : cases)
    {
        QByteArray bytes = good;
        bytes.replace(c.Offset >= 0 ? c.Offset : int(bytes.size()) + c.Offset, c.Patch.size(), c.Patch);
        CVexilControlSet read;
        EXPECT_EQ(RaisedError([&] { RecordIo::ReadBinary(bytes, read); }), c.Error) << c.What;
    }
}

TEST(ControlSetRecord, XmlIsExact)
{
    EXPECT_EQ(RecordIo::Xml(*BackgroundWithBoolean()), kBackgroundXml);
}

TEST(ControlSetRecord, XmlRoundTrip)
{
    const TControlSetRef background = BackgroundWithBoolean();
    background->AddControl(NewControl(3, QStringLiteral("Name")), UndefLong);
    background->SetDescr(QStringLiteral("a \"quoted\" text"));
    background->SetKeyIndexId(45);
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Tahoma"), 180, UndefLong);
    background->SetFont(font);

    const QByteArray xml = RecordIo::Xml(*background);
    CVexilControlSet read;
    RecordIo::ReadXml(xml, read);
    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(read.Descr(), background->Descr());
    EXPECT_EQ(read.KeyIndexId(), 45);
    ASSERT_TRUE(read.Font());
    EXPECT_EQ(read.Font()->FaceName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(IdsInOrder(read), (std::vector<int32_t>{7, 3}));
    EXPECT_EQ(RecordIo::Xml(read), xml);
}

TEST(ControlSetRecord, XmlElementsTheReaderRefuses)
{
    QByteArray wrongGen = kBackgroundXml;
    wrongGen.replace("<ControlSet gen=\"3\"", "<ControlSet gen=\"2\"");
    QByteArray wrongIndex = kBackgroundXml;
    wrongIndex.replace("<Elem intKey=\"7\"", "<Elem intKey=\"8\"");
    QByteArray noIndex = kBackgroundXml;
    const int indexAt = int(noIndex.indexOf("  <Array gen=\"3\" id=\"1999999999\" flags=\"2\""));
    noIndex.remove(indexAt, int(noIndex.lastIndexOf("  <ScriptSource>")) - indexAt);
    for (const QByteArray& xml : {wrongGen, wrongIndex, noIndex, QByteArray("<ControlSet gen=\"3\"/>\r\n")})
    {
        CVexilControlSet read;
        EXPECT_EQ(RaisedError([&] { RecordIo::ReadXml(xml, read); }), int32_t(EErrBadStruct)) << xml.toStdString();
    }
}
