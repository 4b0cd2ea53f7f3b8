#include "StackFixture.h"

#include "foundation/VexilFile.h"

namespace
{
class SortKeyTest : public StackFixture
{
protected:
    static CVexilSortKey KeyOf(const std::vector<TKeyPart>& aParts)
    {
        CVexilSortKey key;
        key.Contruct(9, QStringLiteral("K"), 0);
        for (const TKeyPart& part : aParts)
            key.AddKeyPart(part.Type, part.ControlId, part.Way, part.Len);
        return key;
    }

};

TEST_F(SortKeyTest, PartsLieBackToBack)
{
    CVexilSortKey key = KeyOf({{EConTypeText, 1, 0, 5, 0}, {EConTypeInteger, 2, 1, 11, 0}});
    TKeyPart part;
    int32_t cursor = 0;
    ASSERT_TRUE(key.GetFirstKeyPart(part, cursor));
    EXPECT_EQ(part.Pos, 0);
    ASSERT_TRUE(key.GetNextKeyPart(part, cursor));
    EXPECT_EQ(part.Pos, 5);
    EXPECT_EQ(part.Way, 1);
    EXPECT_FALSE(key.GetNextKeyPart(part, cursor));
    EXPECT_EQ(key.KeyLen(), 26);
    EXPECT_TRUE(key.ControlOccurs(2));
    EXPECT_FALSE(key.ControlOccurs(3));
    EXPECT_EQ(key.ObjDescr(), QStringLiteral("CVexilSortKey name=K,id=9"));
}

TEST_F(SortKeyTest, SeventhPartIsRefused)
{
    CVexilSortKey key = KeyOf(std::vector<TKeyPart>(6, {EConTypeInteger, 1, 0, 11, 0}));
    EXPECT_EQ(RaisedError([&] { key.AddKeyPart(EConTypeInteger, 2, 0, 11); }), ERunSubscript);
    EXPECT_EQ(key.NumParts(), 6);
    EXPECT_EQ(key.KeyLen(), 76);
    key.Clear();
    EXPECT_EQ(key.NumParts(), 0);
}

TEST_F(SortKeyTest, KeyOfTextAndNumber)
{
    const TControlRef text = AddField(QStringLiteral("Text"), EConTypeText);
    const TControlRef number = AddField(QStringLiteral("Number"), EConTypeInteger);
    for (int i = 0; i < 8; ++i)
        AddCard(QString::number(i));
    const TCardRef card = iStack->GetCardById(7);
    card->SetControlVal(text->Id(), Val::Str(QStringLiteral("Abc")));
    card->SetControlVal(number->Id(), Val::Int(42));
    const CVexilSortKey key = KeyOf({{EConTypeText, text->Id(), 0, 5, 0}, {EConTypeInteger, number->Id(), 0, 4, 0}});
    EXPECT_EQ(key.BuildKey(*card), QStringLiteral("ABC  42           7"));
}

TEST_F(SortKeyTest, PartTextByValueType)
{
    struct TCase
    {
        int32_t Type;
        TValue Value;
        int16_t Len;
        QString Part;
    };
    const std::vector<TCase> cases = {
        {EConTypeText, Val::Str(QStringLiteral("Keyboard")), 5, QStringLiteral("KEYBO")},
        {EConTypeText, TValue(), 3, QStringLiteral("   ")},
        {EConTypeText, Val::Str(QStringLiteral("straße")), 6, QStringLiteral("STRAßE")},  // width kept
        {EConTypeText, Val::Str(QStringLiteral("öl")), 3, QStringLiteral("ÖL ")},
        {EConTypeInteger, Val::Int(-12), 4, QStringLiteral("-12 ")},
        {EConTypeInteger, Val::Int(12345), 4, QStringLiteral("1234")},
        {EConTypeReal, Val::Real(1.5), 5, QStringLiteral("1.5  ")},
        {EConTypeDate, Val::Date(QDate(2024, 2, 9)), 8, QStringLiteral("20240209")},
        {EConTypeTime, Val::Time(QTime(9, 5, 3)), 6, QStringLiteral("90503 ")},
        {EConTypeBoolean, Val::Bool(true), 2, QStringLiteral("-1")},
        {EConTypeBoolean, Val::Bool(false), 2, QStringLiteral("0 ")},
    };
    for (int i = 0; i < 8; ++i)
        AddCard(QString::number(i));
    const TCardRef card = iStack->GetCardById(7);
    for (const TCase& c : cases)
    {
        const TControlRef field = AddField(QStringLiteral("F"), c.Type);
        if (c.Value.iType != EValUndef)
            card->SetControlVal(field->Id(), c.Value);
        const CVexilSortKey key = KeyOf({{c.Type, field->Id(), 0, c.Len, 0}});
        EXPECT_EQ(key.BuildKey(*card), c.Part + QStringLiteral("         7")) << c.Type;
    }
}

TEST_F(SortKeyTest, BuildKeyOfAnotherBackgroundIsAnAssertion)
{
    const TControlSetRef other = AddBackground(QStringLiteral("Other"));
    const TCardRef card = AddCard(QStringLiteral("A"), nullptr, other);
    CVexilSortKey key = KeyOf({});
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_EQ(key.BuildKey(*card), QStringLiteral("         0"));
}

TEST(SortKeyCompare, PiecesByType)
{
    struct TCase
    {
        int32_t Type;
        int32_t Way;
        int16_t Len;
        const char* Key1;
        const char* Key2;
        int32_t Result;
    };
    // Each key is one part followed by the 10-character card id.
    const std::vector<TCase> cases = {
        {EConTypeText, 0, 3, "a-b         1", "AB          2", 0},  // equal part, ids decide
        {EConTypeText, 0, 3, "a b         1", "ab          1", 1},
        {EConTypeText, 0, 3, "ABC         1", "ABD         2", 0},
        {EConTypeText, 1, 3, "ABC         1", "ABD         2", 2},
        {EConTypeInteger, 0, 4, "1234         1", "999          2", 2},
        {EConTypeInteger, 0, 4, "-5           1", "             2", 0},  // undefined counts as 0
        {EConTypeReal, 0, 5, "1.5          1", "1.25         2", 2},
        {EConTypeBoolean, 0, 2, "-1         9", "0          1", 0},  // True before False
        {EConTypeDate, 0, 8, "20240101         1", "20231231         2", 2},
        {EConTypeInteger, 0, 4, "12           5", "12          12", 0},
        {EConTypeInteger, 1, 4, "12           5", "12          12", 2},
        {EConTypeInteger, 0, 4, "12          12", "12          12", 1},
    };
    for (const TCase& c : cases)
    {
        CVexilSortKey key;
        key.Contruct(1, QStringLiteral("K"), 0);
        key.AddKeyPart(c.Type, 1, c.Way, c.Len);
        EXPECT_EQ(key.compare(QString::fromLatin1(c.Key1), QString::fromLatin1(c.Key2)), c.Result)
            << c.Key1 << " / " << c.Key2;
    }
}

TEST(SortKeyCompare, WithoutPartsByCardId)
{
    CVexilSortKey key;
    key.Contruct(1, QStringLiteral("K"), 0);
    EXPECT_EQ(key.compare(QStringLiteral("         5"), QStringLiteral("        12")), 0);
    EXPECT_EQ(key.compare(QStringLiteral("        12"), QStringLiteral("         5")), 2);
    EXPECT_EQ(key.compare(QStringLiteral("         5"), QStringLiteral("         5")), 1);
}

TEST(SortKeyCompare, CutTextLeavesTheNextPartToDecide)
{
    CVexilSortKey key;
    key.Contruct(1, QStringLiteral("K"), 0);
    key.AddKeyPart(EConTypeText, 1, 0, 3);
    key.AddKeyPart(EConTypeInteger, 2, 0, 2);
    EXPECT_EQ(key.compare(QStringLiteral("KEY2          1"), QStringLiteral("KEY1          2")), 2);
}

TEST(SortKeyCompare, UncomparableTypeIsAnAssertion)
{
    CVexilSortKey key;
    key.Contruct(1, QStringLiteral("K"), 0);
    key.AddKeyPart(EConTypePicture, 1, 0, 2);
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_EQ(key.compare(QStringLiteral("ab         1"), QStringLiteral("cd         1")), 1);
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1u);
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages()[0].Text.contains(QStringLiteral("type 8")));
}

// A key with two parts as written in both forms.
CVexilSortKey SampleKey()
{
    CVexilSortKey key;
    key.Contruct(42, QStringLiteral("Ab"), 3);
    key.AddKeyPart(EConTypeText, 7, 0, 5);
    key.AddKeyPart(EConTypeInteger, 8, 1, 11);
    return key;
}

const QByteArray kSampleBinary = QByteArray::fromHex(
    "09000000"                          // type id 9, generation 0
    "2a000000"                          // id
    "040041006200"                      // name
    "03000000"                          // background id
    "0200"                              // two parts
    "0000" "07000000" "0000" "0500" "0000"
    "0100" "08000000" "0100" "0b00" "0500");

const QByteArray kSampleXml =
    "<SortKey gen=\"0\" id=\"42\" name=\"Ab\" backgroundId=\"3\" numKeyPart=\"2\">\r\n"
    "  <Part type=\"0\" controlId=\"7\" way=\"0\" len=\"5\" pos=\"0\"/>\r\n"
    "  <Part type=\"1\" controlId=\"8\" way=\"1\" len=\"11\" pos=\"5\"/>\r\n"
    "</SortKey>\r\n";

TEST(SortKeyRecord, BinaryFormIsExact)
{
    CVexilSortKey key = SampleKey();
    EXPECT_EQ(RecordIo::Binary(key), kSampleBinary);
    CVexilSortKey read;
    RecordIo::ReadBinary(kSampleBinary, read);
    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(read.Id(), 42);
    EXPECT_EQ(read.Name(), QStringLiteral("Ab"));
    EXPECT_EQ(read.BackgroundId(), 3);
    EXPECT_EQ(RecordIo::Binary(read), kSampleBinary);
}

TEST(SortKeyRecord, XmlFormIsExact)
{
    CVexilSortKey key = SampleKey();
    EXPECT_EQ(RecordIo::Xml(key), kSampleXml);
    CVexilSortKey read;
    RecordIo::ReadXml(kSampleXml, read);
    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(RecordIo::Binary(read), kSampleBinary);
    EXPECT_TRUE(read.IsInXml(QStringLiteral("sortkey")));
}

TEST(SortKeyRecord, KeyWithoutPartsKeepsItsChildren)
{
    CVexilSortKey key;
    key.Contruct(1, QStringLiteral("E"), 0);
    EXPECT_EQ(RecordIo::Xml(key),
              QByteArray("<SortKey gen=\"0\" id=\"1\" name=\"E\" backgroundId=\"0\" numKeyPart=\"0\">\r\n</SortKey>\r\n"));
}

TEST(SortKeyRecord, BadRecordsAreRefused)
{
    struct TCase
    {
        const char* What;
        QByteArray Bytes;
        int32_t Error;
    };
    QByteArray sevenParts = kSampleBinary.left(20);
    sevenParts[18] = 7;
    QByteArray gapInParts = kSampleBinary;
    gapInParts[kSampleBinary.size() - 2] = 6;  // second part at 6 instead of 5
    QByteArray negativeLen = kSampleBinary;
    negativeLen[28] = char(0xFF);
    negativeLen[29] = char(0xFF);
    QByteArray newer = kSampleBinary;
    newer[2] = 1;
    QByteArray otherType = kSampleBinary;
    otherType[0] = 5;
    const std::vector<TCase> cases = {
        {"seven parts", sevenParts, ERunSubscript},
        {"gap between parts", gapInParts, EErrBadStruct},
        {"negative length", negativeLen, EErrBadStruct},
        {"newer generation", newer, EErrGenTooHigh},
        {"another record", otherType, EErrBadStruct},
        {"truncated", kSampleBinary.left(30), EErrBadStruct},
    };
    for (const TCase& c : cases)
    {
        CVexilSortKey read;
        EXPECT_EQ(RaisedError([&] { RecordIo::ReadBinary(c.Bytes, read); }), c.Error) << c.What;
    }
}

TEST(SortKeyRecord, BadXmlIsRefused)
{
    QByteArray gap = kSampleXml;
    gap.replace("pos=\"5\"", "pos=\"9\"");
    QByteArray many = kSampleXml;
    many.replace("numKeyPart=\"2\"", "numKeyPart=\"7\"");
    CVexilSortKey read;
    EXPECT_EQ(RaisedError([&] { RecordIo::ReadXml(gap, read); }), EErrBadStruct);
    EXPECT_EQ(RaisedError([&] { RecordIo::ReadXml(many, read); }), ERunSubscript);
}

class KeyIndexTest : public StackFixture
{
};

TEST_F(KeyIndexTest, NewIndexSortsTheBackgroundBehindTheOthers)
{
    const TControlRef name = AddField(QStringLiteral("Name"), EConTypeText);
    const TControlRef number = AddField(QStringLiteral("Number"), EConTypeInteger);
    const TControlSetRef other = AddBackground(QStringLiteral("Other"));
    const std::vector<std::pair<const char*, int>> cards = {{"b", 2}, {"a", 9}, {"b", 1}, {"c", 0}};
    AddCard(QStringLiteral("X"), nullptr, other);
    for (const auto& [text, num] : cards)
    {
        const TCardRef card = AddCard(QString::fromLatin1(text) + QString::number(num));
        card->SetControlVal(name->Id(), Val::Str(QString::fromLatin1(text)));
        card->SetControlVal(number->Id(), Val::Int(num));
    }
    AddCard(QStringLiteral("Y"), nullptr, other);
    const TSortKeyRef key =
        KeepSorted(iBg, {{EConTypeText, name->Id(), 0, 3, 0}, {EConTypeInteger, number->Id(), 1, 4, 0}});
    EXPECT_EQ(Order(), QStringLiteral("X Y a9 b2 b1 c0"));
    EXPECT_EQ(OrderNums(), (std::vector<int32_t>{100, 200, 300, 400, 500, 600}));
    const auto keyIndex = iBg->KeyIndex();
    ASSERT_TRUE(keyIndex);
    EXPECT_EQ(keyIndex->SortKeyId(), key->Id());
    EXPECT_EQ(KeyOrder(*keyIndex), QStringLiteral("a9 b2 b1 c0"));
    EXPECT_EQ(iStack->KeyIndex(iBg->KeyIndexId()), keyIndex);
    EXPECT_TRUE(name->DynFlag(EDynKeyPart));
    EXPECT_TRUE(number->DynFlag(EDynKeyPart));
}
}  // namespace
