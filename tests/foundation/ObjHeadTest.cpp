#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StoredForms.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilObjHead.h"

#include <gtest/gtest.h>

namespace
{
// An object with the common head and nothing else, written as the element "Head".
class THeadObj : public CVexilStoredObj, public IVexilBaseObj
{
public:
    QString ObjDescr() const override { return QStringLiteral("THeadObj name=") + iName; }
    QString Name() const override { return iName; }
    void SetName(const QString& aName) override { iName = aName; }
    int32_t Id() const override { return iId; }
    void SetId(int32_t aId) override { iId = aId; }
    int32_t Flags() const override { return iFlags; }
    void SetFlags(int32_t aFlags) override { iFlags = aFlags; }
    QString ScriptSource() const override { return iSource; }
    void SetScriptSource(const QString& aSource) override { iSource = aSource; }
    std::shared_ptr<CVexilArray> Script() const override { return iScript; }
    void SetScript(std::shared_ptr<CVexilArray> aScript) override { iScript = std::move(aScript); }
    std::shared_ptr<CVexilFont> Font() const override { return iFont; }
    void SetFont(std::shared_ptr<CVexilFont> aFont) override { iFont = std::move(aFont); }
    int32_t BackColor() const override { return iBackColor; }
    void SetBackColor(int32_t aColor) override { iBackColor = aColor; }

    int32_t ExtLen() override { return CVexilObjHead::ExtLenBaseObj(*this); }
    void Externalize(CVexilFile& aFile) override { CVexilObjHead::ExternalizeBaseObj(*this, aFile, EObjCard); }
    void Internalize(CVexilFile& aFile) override { iGen = CVexilObjHead::InternalizeBaseObj(*this, aFile, EObjCard); }
    bool IsInXml(const QString& aName) const override { return aName == QStringLiteral("Head"); }
    void ExternalizeXml(CVexilXmlWriter& aWriter) override
    {
        aWriter.BeginElem(QStringLiteral("Head"));
        aWriter.AddAttr(QStringLiteral("name"), iName);
        CVexilObjHead::AddHeadAttrs(*this, aWriter);
        aWriter.BeginStruct();
        CVexilObjHead::ExternalizeHeadXml(*this, aWriter);
        aWriter.EndElem(QStringLiteral("Head"));
    }
    void InternalizeXml(CVexilXmlParser& aParser) override
    {
        bool empty = false;
        aParser.ReadAttrAndSym(empty);
        iName = aParser.Attr(QStringLiteral("name"));
        CVexilObjHead::InternalizeHeadXml(*this, aParser, CVexilObjHead::ReadHeadAttrs(aParser));
        aParser.ReadTheNext(QStringLiteral("Head"), true);
    }

    QString iName;
    int32_t iId = 0;
    int32_t iFlags = 0;
    QString iSource;
    std::shared_ptr<CVexilArray> iScript;
    std::shared_ptr<CVexilFont> iFont;
    int32_t iBackColor = UndefLong;
    int16_t iGen = -1;
};

std::shared_ptr<CVexilArray> Handlers(std::initializer_list<std::pair<const char*, const char*>> aHandlers)
{
    auto script = std::make_shared<CVexilArray>();
    script->Construct(EArrStrKey, EValStr);
    for (const auto& [name, code] : aHandlers)
    {
        TArrayElem elem;
        script->InitElem(elem);
        elem.StrKey = QString::fromLatin1(name);
        elem.iVal.iStr = QString::fromLatin1(code);
        script->CreateStrKey(elem);
    }
    return script;
}

std::shared_ptr<CVexilFont> Font(const char* aFace, int16_t aSize, int32_t aColor, int32_t aFlags)
{
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QString::fromLatin1(aFace), aSize, aColor);
    font->SetFlags(aFlags);
    return font;
}

// The text of the message box that reports the recorded error.
QString ShownError()
{
    auto& prompts = ScriptedPrompts::Instance();
    prompts.ExpectMessage(false);
    CVexilMsg::ShowError();
    return prompts.Messages().back().Text;
}
}  // namespace

TEST(BinObj, HeaderIsTypeIdAndGenerationLittleEndian)
{
    EXPECT_EQ(BinaryOf([](CVexilFile& f) { CVexilBinObj::WriteBinObjStart(f, EObjArray); }), HexBytes("05 00 03 00"));
    EXPECT_EQ(BinaryOf([](CVexilFile& f) { CVexilBinObj::WriteBinObjStart(f, EObjStackFile, 0); }),
              HexBytes("0D 00 00 00"));
}

TEST(BinObj, GenerationTable)
{
    struct TCase
    {
        EObjTypeId Id;
        int16_t Written, Lowest, Highest;
    };
    const TCase cases[] = {
        {EObjControl, 3, 2, 3}, {EObjCard, 1, 1, 1},   {EObjControlSet, 3, 3, 3}, {EObjStack, 4, 4, 4},
        {EObjStackView, 0, 0, 0}, {EObjArray, 3, 3, 3}, {EObjIdGen, 0, 0, 0},     {EObjRect, 1, 1, 1},
        {EObjSortKey, 0, 0, 0}, {EObjBlob, 5, 3, 5},   {EObjBlobStore, 0, 0, 0},  {EObjFont, 0, 0, 0},
        {EObjStackFile, 0, 0, 0},
    };
    for (const TCase& c : cases)
    {
        const TObjGenerations gens = CVexilBinObj::Generations(c.Id);
        EXPECT_EQ(gens.Written, c.Written) << c.Id;
        EXPECT_EQ(gens.Lowest, c.Lowest) << c.Id;
        EXPECT_EQ(gens.Highest, c.Highest) << c.Id;
    }
}

TEST(BinObj, AcceptedGenerationIsHandedOut)
{
    int16_t gen = -1;
    ReadBinary(HexBytes("00 00 02 00"), [&](CVexilFile& f) { gen = CVexilBinObj::ReadBinObjStart(f, EObjControl); });
    EXPECT_EQ(gen, 2);
    ReadBinary(HexBytes("0A 00 03 00"), [&](CVexilFile& f) { gen = CVexilBinObj::ReadBinObjStart(f, EObjBlob); });
    EXPECT_EQ(gen, 3);
}

TEST(BinObj, RefusedHeadersAndTheirMessages)
{
    struct TCase
    {
        const char* Bytes;
        EObjTypeId Expected;
        int32_t Error;
        const char* Param2;  // the message's second parameter (1006) or "got=" text
        const char* Shown;   // the first line of the message box
    };
    const TCase cases[] = {
        {"00 00 01 00", EObjControl, EErrGenTooLow, "got= 1",
         "The format of the stack is too old and not supported any more."},
        {"00 00 04 00", EObjControl, EErrGenTooHigh, "got= 4",
         "The stack was written with a later version of the program and cannot be opened."},
        {"0A 00 06 00", EObjBlob, EErrGenTooHigh, "got= 6",
         "The stack was written with a later version of the program and cannot be opened."},
        {"03 00 04 00", EObjArray, EErrBadStruct, "CVexilLib.ReadBinObjStart: typeId expected= 5, got= 3",
         "The stack file contains a structural error and cannot be opened."},
        {"FF FF 00 00", EObjFont, EErrBadStruct, "CVexilLib.ReadBinObjStart: typeId expected= 12, got=-1",
         "The stack file contains a structural error and cannot be opened."},
    };
    const QString expected[] = {QStringLiteral("expected= 2"), QStringLiteral("expected= 3"),
                                QStringLiteral("expected= 5")};
    int i = 0;
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Bytes);
        QString name;
        int64_t pos = -1;
        ReadBinary(
            HexBytes(c.Bytes),
            [&](CVexilFile& f) {
                EXPECT_EQ(RaisedError([&] { CVexilBinObj::ReadBinObjStart(f, c.Expected); }), c.Error);
                pos = f.CurrentPos();
            },
            &name);
        const TErrInfo info = CVexilError::GetErrInfo();
        EXPECT_EQ(info.Context, QStringLiteral("CVexilLib.ReadBinObjStart"));
        EXPECT_EQ(info.Param2, QString::fromLatin1(c.Param2));
        if (c.Error == EErrBadStruct)
        {
            EXPECT_EQ(pos, 2);  // the type id is refused before the generation is read
            EXPECT_TRUE(info.Param1.contains(name)) << info.Param1.toStdString();
            EXPECT_EQ(ShownError(), QString::fromLatin1(c.Shown) + QStringLiteral("\r\n") + info.Param1 +
                                        QStringLiteral("\r\n") + info.Param2);
        }
        else
        {
            EXPECT_EQ(info.Param1, expected[i++]);
            EXPECT_EQ(ShownError(), QString::fromLatin1(c.Shown) + QStringLiteral("\r\n") + info.Param1);
        }
    }
}

TEST(BinObj, TruncatedHeaderIsAStructuralError)
{
    ReadBinary(HexBytes("05"), [](CVexilFile& f) {
        EXPECT_EQ(RaisedError([&] { CVexilBinObj::ReadBinObjStart(f, EObjArray); }), EErrBadStruct);
    });
}

TEST(ObjHead, MinimalHeadBytes)
{
    THeadObj obj;
    obj.iName = QStringLiteral("AB");
    obj.iId = 7;
    obj.iFlags = 1;
    obj.iScript = Handlers({});  // an empty handler array is written as none
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { obj.Externalize(f); });
    EXPECT_EQ(bytes, HexBytes("01 00 01 00  04 00 41 00 42 00  07 00 00 00  01 00 00 00  00 00  00 00  00 00  "
                              "FF 93 35 77"));
    EXPECT_EQ(obj.ExtLen(), bytes.size());

    THeadObj back;
    back.iScript = Handlers({{"a", "b"}});
    ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
    EXPECT_EQ(back.iGen, 1);
    EXPECT_EQ(back.iName, QStringLiteral("AB"));
    EXPECT_EQ(back.iId, 7);
    EXPECT_EQ(back.iFlags, 1);
    EXPECT_EQ(back.iScript, nullptr);
    EXPECT_EQ(back.iFont, nullptr);
    EXPECT_EQ(back.iBackColor, UndefLong);
}

TEST(ObjHead, HandlersAndFontRoundTrip)
{
    THeadObj obj;
    obj.iName = QStringLiteral("Card 1");
    obj.iSource = QStringLiteral("On openCard\r\nEnd");
    obj.iScript = Handlers({{"openCard", "0A0B"}, {"select", "0C"}});
    obj.iFont = Font("Arial", 240, 255, 3);
    obj.iBackColor = 0xFFFFFF;
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { obj.Externalize(f); });
    EXPECT_EQ(obj.ExtLen(), bytes.size());
    const int countAt = 4 + CVexilFile::ExtStrLen(obj.iName) + 8 + CVexilFile::ExtStrLen(obj.iSource);
    EXPECT_EQ(bytes.mid(countAt, 4), HexBytes("02 00 05 00"));  // the handler count, then the array

    THeadObj back;
    ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
    EXPECT_EQ(back.iSource, obj.iSource);
    ASSERT_NE(back.iScript, nullptr);
    QString code;
    int32_t cursor = 0;
    EXPECT_TRUE(back.iScript->ReadStr(QStringLiteral("select"), code, cursor));
    EXPECT_EQ(code, QStringLiteral("0C"));
    ASSERT_NE(back.iFont, nullptr);
    EXPECT_EQ(back.iFont->FaceNameWithFlags(), QStringLiteral("Arial Bold Italic"));
    EXPECT_EQ(back.iFont->Size(), 240);
    EXPECT_EQ(back.iBackColor, 0xFFFFFF);
    EXPECT_FALSE(CVexilObjHead::IsChanged(back.iFont.get()));
    EXPECT_FALSE(CVexilObjHead::IsChanged(nullptr));
}

TEST(ObjHead, HandlerCountThatDisagreesWithTheArrayIsRefused)
{
    THeadObj obj;
    obj.iScript = Handlers({{"a", "1"}});
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { obj.Externalize(f); });
    const int countAt = 4 + 2 + 4 + 4 + 2;
    for (const char* count : {"02 00", "FF FF"})
    {
        SCOPED_TRACE(count);
        QByteArray patched = bytes;
        patched.replace(countAt, 2, HexBytes(count));
        THeadObj back;
        ReadBinary(patched, [&](CVexilFile& f) { EXPECT_EQ(RaisedError([&] { back.Internalize(f); }), EErrBadStruct); });
        EXPECT_EQ(CVexilError::GetErrInfo().Context, QStringLiteral("CVexilLib.InternalizeBaseObj"));
    }
}

TEST(ObjHead, XmlFormGoldenAndRoundTrip)
{
    THeadObj obj;
    obj.iName = QStringLiteral("Stack");
    obj.iSource = QStringLiteral("On a\r\nEnd");
    obj.iScript = Handlers({{"a", "0102"}});
    obj.iFont = Font("Arial", 220, UndefLong, 0);
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { obj.ExternalizeXml(w); });
    EXPECT_EQ(xml, QByteArray("<Head name=\"Stack\" numScripts=\"1\" fontDef=\"-1\">\r\n"
                              "  <ScriptSource>On a&eol;End</ScriptSource>\r\n"
                              "  <Array gen=\"3\" id=\"1999999999\" flags=\"1\" type=\"11\" allocStep=\"50\" "
                              "alloc=\"10\" max=\"1\" sortKeyId=\"1999999999\">\r\n"
                              "    <Elem strKey=\"a\" type=\"11\">\r\n"
                              "      <Str>0102</Str>\r\n"
                              "    </Elem>\r\n"
                              "  </Array>\r\n"
                              "  <Font gen=\"0\" faceName=\"Arial\" size=\"220\" foreColor=\"1999999999\" flags=\"0\"/>\r\n"
                              "</Head>\r\n"));

    THeadObj back;
    ReadXml(xml, back);
    EXPECT_EQ(back.iName, QStringLiteral("Stack"));
    EXPECT_EQ(back.iSource, obj.iSource);
    ASSERT_NE(back.iScript, nullptr);
    EXPECT_EQ(back.iScript->Count(), 1);
    ASSERT_NE(back.iFont, nullptr);
    EXPECT_EQ(back.iFont->Size(), 220);
}

TEST(ObjHead, XmlWithoutHandlersOrFontReadsNone)
{
    THeadObj obj;
    obj.iScript = Handlers({});
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { obj.ExternalizeXml(w); });
    EXPECT_EQ(xml, QByteArray("<Head name=\"\" numScripts=\"0\" fontDef=\"0\">\r\n"
                              "  <ScriptSource></ScriptSource>\r\n"
                              "</Head>\r\n"));
    THeadObj back;
    back.iScript = Handlers({{"a", "b"}});
    back.iFont = Font("X", 1, 1, 1);
    ReadXml(xml, back);
    EXPECT_EQ(back.iScript, nullptr);
    EXPECT_EQ(back.iFont, nullptr);
}

TEST(ObjHead, XmlThatPromisesAMissingChildIsRefused)
{
    const QByteArray cases[] = {
        "<Head numScripts=\"0\" fontDef=\"-1\">\r\n<ScriptSource></ScriptSource>\r\n</Head>\r\n",
        "<Head numScripts=\"1\" fontDef=\"0\">\r\n<ScriptSource></ScriptSource>\r\n<Font gen=\"0\"/>\r\n</Head>\r\n",
        "<Head numScripts=\"0\" fontDef=\"0\">\r\n</Head>\r\n",
    };
    for (const QByteArray& xml : cases)
    {
        SCOPED_TRACE(xml.toStdString());
        THeadObj back;
        EXPECT_EQ(RaisedError([&] { ReadXml(xml, back); }), EErrBadStruct);
    }
}
