#include "RichStack.h"

#include <QRegularExpression>

namespace
{
class StackRecordTest : public RichStackFixture
{
protected:
    QByteArray BinaryOfStack(CVexilStack& aStack)
    {
        const QByteArray bytes = BinaryOf([&](CVexilFile& f) { aStack.Externalize(f); });
        EXPECT_EQ(aStack.ExtLen(), bytes.size());
        return bytes;
    }

    static TStackRef ReadStack(const QByteArray& aBytes)
    {
        auto stack = std::make_shared<CVexilStack>();
        ReadBinary(aBytes, [&](CVexilFile& f) {
            stack->Internalize(f);
            EXPECT_EQ(f.RemainingBytes(), 0);
        });
        return stack;
    }

    static QByteArray XmlOfStack(CVexilStack& aStack)
    {
        return XmlOf([&](CVexilXmlWriter& w) { aStack.ExternalizeXml(w); });
    }

    static TStackRef ReadStackXml(const QByteArray& aXml)
    {
        auto stack = std::make_shared<CVexilStack>();
        ReadXml(aXml, *stack);
        return stack;
    }

    // The XML with the first occurrence of aFind replaced; fails the test when it is missing.
    static QByteArray Patched(QByteArray aXml, const QByteArray& aFind, const QByteArray& aReplace)
    {
        const qsizetype at = aXml.indexOf(aFind);
        EXPECT_GE(at, 0) << aFind.toStdString();
        return at < 0 ? aXml : aXml.replace(at, aFind.size(), aReplace);
    }

    TCardRef Card(const QString& aName) const
    {
        TCardRef card;
        EXPECT_TRUE(iStack->GetCard(aName, card)) << aName.toStdString();
        return card;
    }
};

const QByteArray kNameIndexHead = HexBytes("05 00 03 00  FF 93 35 77  29 00 00 00  0C 00");
}  // namespace

TEST_F(StackRecordTest, IdGeneratorBothForms)
{
    CVexilIdGen gen;
    gen.Construct();
    while (gen.PeekId() < 42)
        gen.NextId();
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { gen.Externalize(f); });
    EXPECT_EQ(bytes, HexBytes("06 00 00 00 2A 00 00 00"));
    EXPECT_EQ(gen.ExtLen(), 8);
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { gen.ExternalizeXml(w); });
    EXPECT_EQ(xml, QByteArray("<IdGen nextId=\"42\"/>\r\n"));
    for (const bool binary : {true, false})
    {
        CVexilIdGen back;
        back.SetChanged(true);
        if (binary)
            ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
        else
            ReadXml(xml, back);
        EXPECT_EQ(back.PeekId(), 42);
        EXPECT_FALSE(back.Changed());
    }
}

TEST_F(StackRecordTest, RichStackRoundTripsByteExact)
{
    BuildRichStack();
    const QByteArray bytes = BinaryOfStack(*iStack);
    const TStackRef binary = ReadStack(bytes);
    EXPECT_FALSE(binary->Changed());
    EXPECT_EQ(binary->Id(), 5);
    EXPECT_EQ(binary->Flags(), EStkBinary | EStkOpenLandscape);
    EXPECT_EQ(BinaryOfStack(*binary), bytes);

    const QByteArray xml = XmlOfStack(*iStack);
    const TStackRef fromXml = ReadStackXml(xml);
    EXPECT_FALSE(fromXml->Changed());
    EXPECT_EQ(XmlOfStack(*fromXml), xml);
    // The XML form holds neither the id nor the flags.
    EXPECT_EQ(fromXml->Id(), 0);
    EXPECT_EQ(fromXml->Flags(), 0);
    EXPECT_EQ(Content(*fromXml), Content(*iStack));

    for (const TStackRef& back : {binary, fromXml})
    {
        EXPECT_EQ(back->Descr(), iStack->Descr());
        ASSERT_TRUE(back->ListFont());
        EXPECT_EQ(back->ListFont()->FaceName(), QStringLiteral("Courier"));
        EXPECT_EQ(back->Script()->Count(), 1);
        EXPECT_EQ(back->OrderCorrections(), 0);
        // The parts know the stack they were read into.
        TCardRef card;
        ASSERT_TRUE(back->GetCard(QStringLiteral("Ann"), card));
        EXPECT_EQ(card->Stack(), back.get());
        EXPECT_EQ(back->Background(card->BackgroundId())->Stack(), back.get());
        TControlRef residents;
        ASSERT_TRUE(back->Background(iTowns->Id())->GetControl(iResidents->Id(), residents));
        EXPECT_EQ(residents->SelControlId(), iTown->Id());
    }
}

TEST_F(StackRecordTest, ListFontAndScriptsAreOptional)
{
    iStack->SetListFont(nullptr);
    const int32_t without = iStack->ExtLen();
    const TStackRef back = ReadStack(BinaryOfStack(*iStack));
    EXPECT_FALSE(back->ListFont());
    iStack->SetListFont(Font(QStringLiteral("Arial"), 200));
    EXPECT_EQ(iStack->ExtLen(), without + iStack->ListFont()->ExtLen());

    // No script or an empty one: numScripts 0, no script array, none read back.
    for (const auto& script : {std::shared_ptr<CVexilArray>(), Script(QStringLiteral("x"), QString())})
    {
        if (script)
            script->Clear();
        iStack->SetScript(script);
        const QByteArray xml = XmlOfStack(*iStack);
        EXPECT_TRUE(xml.startsWith("<Stack gen=\"4\" name=\"Test\" descr=\"\" backColor=\"1999999999\" "
                                   "numScripts=\"0\" fontDef=\"0\" listFontDef=\"-1\">\r\n"));
        EXPECT_FALSE(ReadStackXml(xml)->Script());
        EXPECT_FALSE(ReadStack(BinaryOfStack(*iStack))->Script());
    }
}

TEST_F(StackRecordTest, OnlyGenerationFourIsRead)
{
    const QByteArray bytes = BinaryOfStack(*iStack);
    struct TCase
    {
        char TypeId;
        char Gen;
        int32_t Error;
    };
    for (const TCase& c : {TCase{3, 3, EErrGenTooLow}, TCase{3, 5, EErrGenTooHigh}, TCase{2, 4, EErrBadStruct}})
    {
        QByteArray patched = bytes;
        patched[0] = c.TypeId;
        patched[2] = c.Gen;
        EXPECT_EQ(RaisedError([&] { ReadStack(patched); }), c.Error) << int(c.Gen);
    }
    const QByteArray xml = XmlOfStack(*iStack);
    EXPECT_EQ(RaisedError([&] { ReadStackXml(Patched(xml, "<Stack gen=\"4\"", "<Stack gen=\"5\"")); }), EErrBadStruct);
}

// An older name index was ordered without regard to case; it is read with the exact comparison,
// in exact order, and the stack asks to be saved.
TEST_F(StackRecordTest, NameIndexOfAnOlderFileIsUpgraded)
{
    for (const char* name : {"b", "A", "C", "a"})
        AddCard(QString::fromLatin1(name));
    const QByteArray bytes = BinaryOfStack(*iStack);
    const QByteArray xml = XmlOfStack(*iStack);
    ASSERT_EQ(bytes.count(kNameIndexHead), 1);
    QByteArray olderBytes = bytes;
    olderBytes[bytes.indexOf(kNameIndexHead) + 8] = 9;
    const QByteArray olderXml = Patched(xml, "flags=\"41\"", "flags=\"9\"");

    for (const TStackRef& current : {ReadStack(bytes), ReadStackXml(xml)})
        EXPECT_FALSE(current->Changed());
    for (const TStackRef& older : {ReadStack(olderBytes), ReadStackXml(olderXml)})
    {
        EXPECT_TRUE(older->Changed());
        for (const char* name : {"b", "A", "C", "a"})
        {
            TCardRef card;
            ASSERT_TRUE(older->GetCard(QString::fromLatin1(name), card)) << name;
            EXPECT_EQ(card->Name(), QString::fromLatin1(name));
        }
        EXPECT_EQ(BinaryOfStack(*older), bytes);
    }
}

// Every index entry and reference must fit the graph; a file that breaks one is refused with
// a structural error naming the file, before anything uses the stack.
TEST_F(StackRecordTest, BrokenGraphsAreStructuralErrors)
{
    BuildRichStack();
    const QByteArray xml = XmlOfStack(*iStack);
    struct TCase
    {
        const char* Find;
        const char* Replace;
        const char* Detail;
    };
    const TCase cases[] = {
        {"<Card gen=\"1\" id=\"0\"", "<Card gen=\"1\" id=\"9\"", "card id 9 in slot 0"},
        {"name=\"Bern\" flags=\"0\" backgroundId=\"13\"", "name=\"Bern\" flags=\"0\" backgroundId=\"99\"",
         "cards of backgroundId 99"},
        {"<Elem intKey=\"400\" type=\"12\" int=\"5\">", "<Elem intKey=\"400\" type=\"12\" int=\"4\">",
         "order index entry"},
        {"<Elem intKey=\"400\" type=\"12\" int=\"5\">", "<Elem intKey=\"400\" type=\"12\" int=\"3\">",
         "order index entry"},
        {"<Elem intKey=\"400\" type=\"12\" int=\"5\">", "<Elem intKey=\"400\" type=\"12\" int=\"9\">",
         "order index entry"},
        {"<Elem intKey=\"400\" type=\"12\" int=\"5\">", "<Elem intKey=\"401\" type=\"12\" int=\"5\">",
         "order index entry"},
        {"<Elem strKey=\"Ann\" type=\"12\" int=\"1\">", "<Elem strKey=\"Ann\" type=\"12\" int=\"2\">",
         "name index entry"},
        {"type=\"12\" int=\"1\">\r\n          </Elem>\r\n          <Elem strKey=\"BOB",
         "type=\"12\" int=\"3\">\r\n          </Elem>\r\n          <Elem strKey=\"BOB", "key index 12 entry"},
        {"controlId=\"2\"", "controlId=\"14\"", "sort key 11 field 14"},
        {"<Part type=\"0\" controlId=\"1\"", "<Part type=\"9\" controlId=\"1\"", "sort key 11 type 9"},
        {"way=\"1\" len=\"4\" pos=\"8\"", "way=\"1\" len=\"16366\" pos=\"8\"", "sort key 11 length 16384"},
        {"keyIndexId=\"1999999999\"", "keyIndexId=\"99\"", "background 13 keyIndexId"},
        {"id=\"0\" flags=\"19\"", "id=\"0\" flags=\"17\"", "key index 12 keeps no background sorted"},
        {"selBackgroundId=\"0\"", "selBackgroundId=\"77\"", "background 13 control 15 selBackgroundId"},
        {"refControlId=\"14\"", "refControlId=\"1\"", "background 13 control 15 refControlId"},
        {"selControlId=\"10\"", "selControlId=\"14\"", "background 13 control 15 selControlId"},
        {"flags=\"18\" type=\"11\"", "flags=\"26\" type=\"11\"", "values flags 26"},
        {"<Elem intKey=\"2\" type=\"12\" int=\"50\">\r\n            </Elem>",
         "<Elem intKey=\"2\" type=\"50\" int0=\"1\" int1=\"2\">\r\n            </Elem>", "value type 50"},
        {"creDate=\"20240301\"", "creDate=\"99999999\"", "stamps"},
        {"type=\"17\" int=\"16\"", "type=\"12\" int=\"16\"", "card 1 field 9 type 12"},
    };
    for (const TCase& c : cases)
    {
        const QByteArray patched = Patched(xml, c.Find, c.Replace);
        CVexilError::ResetErrInfo();
        QString fileName;
        EXPECT_EQ(RaisedError([&] {
                      auto stack = std::make_shared<CVexilStack>();
                      ReadXml(patched, *stack, &fileName);
                  }),
                  EErrBadStruct)
            << c.Detail;
        const TErrInfo info = CVexilError::GetErrInfo();
        EXPECT_TRUE(info.Param1.contains(fileName)) << info.Param1.toStdString();
        EXPECT_TRUE(info.Param2.contains(QString::fromLatin1(c.Detail))) << info.Param2.toStdString();
    }
}

// The key indexes order their entries with the sort keys read before them: a sort key array
// that holds another kind of object is refused before any key index uses it.
TEST_F(StackRecordTest, SortKeysAreCheckedBeforeTheKeyIndexesUseThem)
{
    BuildRichStack();
    QString xml = QString::fromUtf8(XmlOfStack(*iStack));
    const QRegularExpression sortKeyElem(QStringLiteral("type=\"103\">\\s*<Obj>\\s*<SortKey .*</SortKey>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    ASSERT_TRUE(xml.contains(sortKeyElem));
    xml.replace(sortKeyElem, QStringLiteral("type=\"104\">\r\n<Obj>\r\n"
                                            "<Array gen=\"3\" id=\"5\" flags=\"0\" type=\"12\" allocStep=\"50\" "
                                            "alloc=\"10\" max=\"0\" sortKeyId=\"1999999999\">\r\n</Array>"));
    xml.replace(QStringLiteral("flags=\"2\" type=\"103\""), QStringLiteral("flags=\"18\" type=\"103\""));
    CVexilError::ResetErrInfo();
    EXPECT_EQ(RaisedError([&] { ReadStackXml(xml.toUtf8()); }), EErrBadStruct);
    EXPECT_TRUE(CVexilError::GetErrInfo().Param2.endsWith(QStringLiteral("sort key flags")))
        << CVexilError::GetErrInfo().Param2.toStdString();
}

// A key string that is not the one its card gives would not be found when the card changes or
// goes, and the index would keep an entry for a card that is gone: the index is built anew
// from its cards when it is read, and the stack asks to be saved.
TEST_F(StackRecordTest, KeyIndexWithStaleKeysIsBuiltAnew)
{
    BuildRichStack();
    const auto keys = [](const CVexilStack& aStack) {
        std::shared_ptr<CVexilArray> keyIndex;
        int32_t cursor = 0;
        EXPECT_TRUE(aStack.GetFirstKeyIndex(keyIndex, cursor));
        QStringList strKeys;
        for (int32_t i = 0; keyIndex && i < keyIndex->Count(); ++i)
            strKeys.append(keyIndex->ElemAt(i).StrKey);
        return strKeys;
    };
    const QStringList built = keys(*iStack);
    const QByteArray xml = XmlOfStack(*iStack);
    ASSERT_EQ(ReadStackXml(xml)->Changed(), false);
    // The stale key of the last card sorts first, or stays last behind the keys that are right.
    for (const char* staleKey : {"strKey=\"AAA     50", "strKey=\"CZ      50"})
    {
        const TStackRef stale = ReadStackXml(Patched(xml, "strKey=\"CY      50", staleKey));
        EXPECT_TRUE(stale->Changed()) << staleKey;
        EXPECT_EQ(keys(*stale), built) << staleKey;
    }
    const TStackRef stale = ReadStackXml(Patched(xml, "strKey=\"CY      50", "strKey=\"AAA     50"));

    TCardRef cy;
    ASSERT_TRUE(stale->GetCard(QStringLiteral("Cy"), cy));
    stale->DeleteCard(cy);
    const TStackRef back = ReadStackXml(XmlOfStack(*stale));
    EXPECT_EQ(keys(*back), built.mid(0, 2));
}

TEST_F(StackRecordTest, CardRecordBothFormsByteExact)
{
    const TControlRef field = AddField(QStringLiteral("F"), EConTypeText);
    const TCardRef card = AddCard(QStringLiteral("C"));
    card->SetControlVal(field->Id(), Val::Str(QStringLiteral("x")));
    card->SetOrderNum(100);
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { card->Externalize(f); });
    EXPECT_EQ(bytes, HexBytes("01 00 01 00  02 00 43 00  00 00 00 00  00 00 00 00  00 00  00 00  00 00  FF 93 35 77"
                              "64 00 00 00  00 00 00 00  AD D7 34 01  57 6B 01 00  AD D7 34 01  57 6B 01 00"
                              "05 00 03 00  FF 93 35 77  12 00 00 00  0B 00  32 00 00 00  0A 00 00 00  01 00 00 00"
                              "FF 93 35 77  01 00 00 00  0B 00  02 00 78 00"));
    EXPECT_EQ(card->ExtLen(), bytes.size());
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { card->ExternalizeXml(w); });
    EXPECT_EQ(xml, QByteArray("<Card gen=\"1\" id=\"0\" orderNum=\"100\" name=\"C\" flags=\"0\" backgroundId=\"0\" "
                              "backColor=\"1999999999\" creDate=\"20240301\" creTime=\"93015\" modDate=\"20240301\" "
                              "modTime=\"93015\" numScripts=\"0\" fontDef=\"0\">\r\n"
                              "  <ScriptSource></ScriptSource>\r\n"
                              "  <Array gen=\"3\" id=\"1999999999\" flags=\"18\" type=\"11\" allocStep=\"50\" "
                              "alloc=\"10\" max=\"1\" sortKeyId=\"1999999999\">\r\n"
                              "    <Elem intKey=\"1\" type=\"11\">\r\n"
                              "      <Str>x</Str>\r\n"
                              "    </Elem>\r\n"
                              "  </Array>\r\n"
                              "</Card>\r\n"));
    for (const bool binary : {true, false})
    {
        CVexilCard back;
        if (binary)
            ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
        else
            ReadXml(xml, back);
        EXPECT_EQ(back.Name(), QStringLiteral("C"));
        EXPECT_EQ(back.OrderNum(), 100);
        EXPECT_EQ(back.BackgroundId(), 0);
        EXPECT_EQ(back.CreDate(), DateOf(kCreated));
        EXPECT_EQ(back.ModTime(), TimeOf(kCreated));
        EXPECT_EQ(back.ValueCount(), 1);
        EXPECT_FALSE(back.Changed());
        EXPECT_FALSE(back.Dirty());
    }
}

TEST_F(StackRecordTest, CardWithoutValuesAndDefaultsOfTheXmlForm)
{
    CVexilCard card;
    card.Construct(QStringLiteral("Empty"), iBg);
    CVexilCard binary;
    ReadBinary(BinaryOf([&](CVexilFile& f) { card.Externalize(f); }), [&](CVexilFile& f) { binary.Internalize(f); });
    EXPECT_EQ(binary.ValueCount(), 0);
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { card.ExternalizeXml(w); });
    EXPECT_TRUE(xml.contains("max=\"0\""));

    // Undefined stamps and no flags: the first of 1980, midnight, flags 0.
    QByteArray older = xml;
    older.replace("flags=\"0\" ", "")
        .replace("creDate=\"20240301\"", "creDate=\"1999999999\"")
        .replace("creTime=\"93015\"", "creTime=\"1999999999\"");
    CVexilCard back;
    ReadXml(older, back);
    EXPECT_EQ(back.Flags(), 0);
    EXPECT_EQ(back.CreDate(), CVexilValue::FromQDate(QDate(1980, 1, 1)));
    EXPECT_EQ(back.CreTime(), 0);
    EXPECT_EQ(back.ValueCount(), 0);

    for (const QByteArray& bad : {QByteArray(xml).replace("gen=\"1\"", "gen=\"2\""),
                                  QByteArray(xml).replace("fontDef=\"0\">", "fontDef=\"0\"/>")})
    {
        CVexilCard refused;
        EXPECT_EQ(RaisedError([&] { ReadXml(bad, refused); }), EErrBadStruct);
    }
}

// A card whose card lists are stale brings them up to date before it is measured or written.
TEST_F(StackRecordTest, DirtyCardIsUpdatedBeforeItIsWritten)
{
    BuildRichStack();
    const TCardRef bern = Card(QStringLiteral("Bern"));
    for (const bool binary : {true, false})
    {
        const QString town = binary ? QStringLiteral("Basel") : QStringLiteral("Bern");
        Card(QStringLiteral("Ann"))->SetControlVal(iTown->Id(), Val::Str(town));
        ASSERT_TRUE(bern->Dirty());
        CVexilCard back;
        if (binary)
        {
            const int32_t len = bern->ExtLen();
            const QByteArray bytes = BinaryOf([&](CVexilFile& f) { bern->Externalize(f); });
            EXPECT_EQ(len, bytes.size());
            ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
        }
        else
        {
            ReadXml(XmlOf([&](CVexilXmlWriter& w) { bern->ExternalizeXml(w); }), back);
        }
        EXPECT_FALSE(bern->Dirty());
        TValue residents;
        ASSERT_TRUE(back.StoredVal(iResidents->Id(), residents));
        EXPECT_EQ(residents.iStr, binary ? QStringLiteral("0\tCy") : QStringLiteral("1\tAnn\r\n0\tCy"));
    }
}
