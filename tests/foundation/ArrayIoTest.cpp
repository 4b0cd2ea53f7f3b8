#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StoredForms.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilValue.h"

#include <QDate>
#include <QTime>

#include <gtest/gtest.h>

#include <limits>

namespace
{
// A small stored object of the test's own, made by the factory for cards.
class TNote : public CVexilStoredObj
{
public:
    QString ObjDescr() const override { return QStringLiteral("TNote ") + iText; }
    bool Changed() const override { return iChanged; }
    void SetChanged(bool aChanged) override { iChanged = aChanged; }
    int32_t ExtLen() override { return CVexilBinObj::ExtBinObjStartLen() + CVexilFile::ExtStrLen(iText); }
    void Externalize(CVexilFile& aFile) override
    {
        CVexilBinObj::WriteBinObjStart(aFile, EObjCard);
        aFile.WriteStr(iText);
    }
    void Internalize(CVexilFile& aFile) override
    {
        CVexilBinObj::ReadBinObjStart(aFile, EObjCard);
        iText = aFile.ReadStr();
        iChanged = false;
    }
    bool IsInXml(const QString& aName) const override { return aName == QStringLiteral("Note"); }
    void ExternalizeXml(CVexilXmlWriter& aWriter) override
    {
        aWriter.BeginElem(QStringLiteral("Note"));
        aWriter.AddAttr(QStringLiteral("text"), iText);
        aWriter.EndEmptyElem();
    }
    void InternalizeXml(CVexilXmlParser& aParser) override
    {
        aParser.ReadAttrTerm();
        iText = aParser.Attr(QStringLiteral("text"));
        iChanged = false;
    }

    QString iText;
    bool iChanged = true;
};

std::shared_ptr<TNote> Note(const char* aText)
{
    auto note = std::make_shared<TNote>();
    note->iText = QString::fromLatin1(aText);
    return note;
}

class ArrayIo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CVexilObjFactory::Register(EValCard, [] { return std::make_shared<TNote>(); });
    }
    void TearDown() override { CVexilObjFactory::Register(EValCard, {}); }

    static TArrayElem Elem(const CVexilArray& aArray, int32_t aType)
    {
        TArrayElem elem;
        aArray.InitElem(elem);
        elem.iVal.iType = aType;
        return elem;
    }
    static TArrayElem IntElem(const CVexilArray& aArray, int32_t aKey, int32_t aValue)
    {
        TArrayElem elem = Elem(aArray, EValInt);
        elem.IntKey = aKey;
        elem.iVal.iInt = aValue;
        return elem;
    }
    static TArrayElem StrElem(const CVexilArray& aArray, const QString& aValue)
    {
        TArrayElem elem = Elem(aArray, EValStr);
        elem.iVal.iStr = aValue;
        return elem;
    }
    static TArrayElem ObjElem(const CVexilArray& aArray, int32_t aType, TObjRef aObj)
    {
        TArrayElem elem = Elem(aArray, aType);
        elem.iVal.iObj = std::move(aObj);
        return elem;
    }

    static std::shared_ptr<CVexilArray> Made(int32_t aFlags, int32_t aType)
    {
        auto array = std::make_shared<CVexilArray>();
        array->Construct(aFlags, aType);
        return array;
    }

    // A card-value array: an integer, a string and a date keyed by field id.
    static std::shared_ptr<CVexilArray> CardValues()
    {
        auto array = Made(EArrIntKey | EArrAnyType, EValStr);
        array->CreateIntKey(IntElem(*array, 5, 42));
        TArrayElem str = StrElem(*array, QStringLiteral("Hi"));
        str.IntKey = 7;
        array->CreateIntKey(str);
        TArrayElem date = Elem(*array, EValDate);
        date.IntKey = 9;
        date.iVal.iDate = CVexilValue::FromQDate(QDate(2024, 3, 15));
        array->CreateIntKey(date);
        return array;
    }

    // Cards with an empty slot between them.
    static std::shared_ptr<CVexilArray> CardsWithGap()
    {
        auto array = Made(0, EValCard);
        array->CreateAtEnd(ObjElem(*array, EValCard, Note("a")));
        array->CreateAtEnd(ObjElem(*array, EValCard, nullptr));
        array->CreateAtEnd(ObjElem(*array, EValCard, Note("b")));
        return array;
    }

    static QByteArray Binary(CVexilArray& aArray)
    {
        const QByteArray bytes = BinaryOf([&](CVexilFile& f) { aArray.Externalize(f); });
        EXPECT_EQ(aArray.ExtLen(), bytes.size());
        return bytes;
    }

    static std::shared_ptr<CVexilArray> FromBinary(const QByteArray& aBytes)
    {
        auto array = std::make_shared<CVexilArray>();
        ReadBinary(aBytes, [&](CVexilFile& f) { array->Internalize(f); });
        return array;
    }

    static std::shared_ptr<CVexilArray> FromXml(const QByteArray& aXml)
    {
        auto array = std::make_shared<CVexilArray>();
        ReadXml(aXml, *array);
        return array;
    }

    // Both readers on what both writers wrote.
    static std::vector<std::shared_ptr<CVexilArray>> RoundTrips(CVexilArray& aArray)
    {
        const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { aArray.ExternalizeXml(w); });
        return {FromBinary(Binary(aArray)), FromXml(xml)};
    }

    // The error that reading aBytes raises; the record then names the file.
    static int32_t BinaryError(const QByteArray& aBytes)
    {
        int32_t error = 0;
        QString name;
        ReadBinary(
            aBytes,
            [&](CVexilFile& f) {
                CVexilArray array;
                error = RaisedError([&] { array.Internalize(f); });
            },
            &name);
        if (error == EErrBadStruct)
        {
            EXPECT_TRUE(CVexilError::GetErrInfo().Param1.contains(name)) << CVexilError::GetErrInfo().Param1.toStdString();
        }
        return error;
    }

    static int32_t XmlError(const QByteArray& aXml)
    {
        CVexilArray array;
        return RaisedError([&] { ReadXml(aXml, array); });
    }
};

const QByteArray kEmptyHead = HexBytes("05 00 03 00  FF 93 35 77  00 00 00 00  0B 00  32 00 00 00  0A 00 00 00  "
                                       "00 00 00 00  FF 93 35 77");

// An integer-keyed array of integers: keys 1 and 2, values 10 and 20.
QByteArray TwoInts()
{
    return HexBytes("05 00 03 00  FF 93 35 77  02 00 00 00  0C 00  32 00 00 00  0A 00 00 00  02 00 00 00  "
                    "FF 93 35 77  01 00 00 00 0C 00 0A 00 00 00  02 00 00 00 0C 00 14 00 00 00");
}

QByteArray Patched(QByteArray aBytes, int aAt, const char* aHex)
{
    const QByteArray patch = HexBytes(aHex);
    return aBytes.replace(aAt, patch.size(), patch);
}

// Arrays of arrays aDepth deep, the innermost empty.
QByteArray Nested(int aDepth)
{
    QByteArray bytes;
    for (int i = 0; i < aDepth; ++i)
        bytes += HexBytes("05 00 03 00  00 00 00 00  00 00 00 00  68 00  32 00 00 00  0A 00 00 00  01 00 00 00  "
                          "00 00 00 00  68 00 01 00");
    return bytes + kEmptyHead;
}
}  // namespace

TEST_F(ArrayIo, EmptyArrayIsThirtyBytesAndAnElementWithEndTag)
{
    auto array = Made(0, EValStr);
    EXPECT_EQ(Binary(*array), kEmptyHead);
    EXPECT_EQ(kEmptyHead.size(), 30);
    EXPECT_EQ(XmlOf([&](CVexilXmlWriter& w) { array->ExternalizeXml(w); }),
              QByteArray("<Array gen=\"3\" id=\"1999999999\" flags=\"0\" type=\"11\" allocStep=\"50\" alloc=\"10\" "
                         "max=\"0\" sortKeyId=\"1999999999\">\r\n"
                         "</Array>\r\n"));
    for (const auto& back : RoundTrips(*array))
    {
        EXPECT_EQ(back->Count(), 0);
        EXPECT_EQ(back->ElemType(), EValStr);
        EXPECT_EQ(back->Alloc(), 10);
        EXPECT_FALSE(back->Changed());
    }
}

TEST_F(ArrayIo, CardValueArrayBytesAndXml)
{
    auto array = CardValues();
    array->SetId(3);
    EXPECT_EQ(Binary(*array), HexBytes("05 00 03 00  03 00 00 00  12 00 00 00  0B 00  32 00 00 00  0A 00 00 00  "
                                       "03 00 00 00  FF 93 35 77  "
                                       "05 00 00 00  0C 00  2A 00 00 00  "
                                       "07 00 00 00  0B 00  04 00 48 00 69 00  "
                                       "09 00 00 00  0E 00  BB D7 34 01"));
    EXPECT_EQ(XmlOf([&](CVexilXmlWriter& w) { array->ExternalizeXml(w); }),
              QByteArray("<Array gen=\"3\" id=\"3\" flags=\"18\" type=\"11\" allocStep=\"50\" alloc=\"10\" max=\"3\" "
                         "sortKeyId=\"1999999999\">\r\n"
                         "  <Elem intKey=\"5\" type=\"12\" int=\"42\">\r\n"
                         "  </Elem>\r\n"
                         "  <Elem intKey=\"7\" type=\"11\">\r\n"
                         "    <Str>Hi</Str>\r\n"
                         "  </Elem>\r\n"
                         "  <Elem intKey=\"9\" type=\"14\" date=\"20240315\">\r\n"
                         "  </Elem>\r\n"
                         "</Array>\r\n"));
    for (const auto& back : RoundTrips(*array))
    {
        EXPECT_EQ(back->Id(), 3);
        EXPECT_EQ(back->Flags(), 18);
        ASSERT_EQ(back->Count(), 3);
        EXPECT_EQ(back->ElemAt(0).iVal.iInt, 42);
        EXPECT_EQ(back->ElemAt(1).iVal.iStr, QStringLiteral("Hi"));
        EXPECT_EQ(back->ElemAt(1).IntKey, 7);
        EXPECT_EQ(CVexilValue::ToQDate(back->ElemAt(2).iVal.iDate), QDate(2024, 3, 15));
    }
}

TEST_F(ArrayIo, EmptyObjectSlotKeepsItsPlace)
{
    auto array = CardsWithGap();
    const QByteArray bytes = Binary(*array);
    EXPECT_EQ(bytes.mid(30), HexBytes("64 00 01 00  01 00 01 00 02 00 61 00  "
                                      "64 00 00 00  "
                                      "64 00 01 00  01 00 01 00 02 00 62 00"));
    EXPECT_EQ(XmlOf([&](CVexilXmlWriter& w) { array->ExternalizeXml(w); }),
              QByteArray("<Array gen=\"3\" id=\"1999999999\" flags=\"0\" type=\"100\" allocStep=\"50\" alloc=\"10\" "
                         "max=\"3\" sortKeyId=\"1999999999\">\r\n"
                         "  <Elem type=\"100\">\r\n"
                         "    <Obj>\r\n"
                         "      <Note text=\"a\"/>\r\n"
                         "    </Obj>\r\n"
                         "  </Elem>\r\n"
                         "  <Elem type=\"100\" objMissing=\"1\">\r\n"
                         "  </Elem>\r\n"
                         "  <Elem type=\"100\">\r\n"
                         "    <Obj>\r\n"
                         "      <Note text=\"b\"/>\r\n"
                         "    </Obj>\r\n"
                         "  </Elem>\r\n"
                         "</Array>\r\n"));
    for (const auto& back : RoundTrips(*array))
    {
        ASSERT_EQ(back->Count(), 3);
        EXPECT_EQ(std::dynamic_pointer_cast<TNote>(back->Obj(0))->iText, QStringLiteral("a"));
        EXPECT_EQ(back->Obj(1), nullptr);
        EXPECT_EQ(std::dynamic_pointer_cast<TNote>(back->Obj(2))->iText, QStringLiteral("b"));
        EXPECT_FALSE(back->Changed());  // neither the array nor its objects
    }
    // Any non-zero present flag counts as present.
    const QByteArray two = Patched(bytes, 32, "02 00");
    EXPECT_NE(FromBinary(two)->Obj(0), nullptr);
}

TEST_F(ArrayIo, EveryValueTypeSurvivesBothForms)
{
    auto inner = Made(0, EValStr);
    inner->CreateAtEnd(StrElem(*inner, QStringLiteral("inner")));
    auto array = Made(EArrIntKey | EArrAnyType, EValStr);
    int32_t key = 0;
    auto add = [&](TArrayElem aElem) {
        aElem.IntKey = ++key;
        array->CreateIntKey(aElem);
    };
    add(StrElem(*array, QStringLiteral("line one\r\nline two & <three> \"q\" 'a'")));
    add(StrElem(*array, QString()));
    add(StrElem(*array, QString(170, QChar(u'\u00e4'))));
    TArrayElem elem = IntElem(*array, 0, -7);
    add(elem);
    elem.iVal.iType = EValBlobId;
    elem.iVal.iInt = 123456;
    add(elem);
    for (double real : {3.25, -0.1, 1e300})
    {
        elem = Elem(*array, EValReal);
        elem.iVal.iReal = real;
        add(elem);
    }
    elem = Elem(*array, EValTime);
    elem.iVal.iTime = CVexilValue::FromQTime(QTime(13, 45, 7));
    add(elem);
    for (bool flag : {true, false})
    {
        elem = Elem(*array, EValBool);
        elem.iVal.iBool = flag;
        add(elem);
    }
    elem = Elem(*array, EValIntPair);
    elem.iVal.iInt0 = 1;
    elem.iVal.iInt1 = -2;
    add(elem);
    add(ObjElem(*array, EValArray, inner));
    add(ObjElem(*array, EValCard, Note("card")));
    add(ObjElem(*array, EValCard, nullptr));

    for (const auto& back : RoundTrips(*array))
    {
        ASSERT_EQ(back->Count(), array->Count());
        for (int32_t i = 0; i < array->Count(); ++i)
        {
            SCOPED_TRACE(i);
            const TValue& want = array->ElemAt(i).iVal;
            const TValue& got = back->ElemAt(i).iVal;
            EXPECT_EQ(back->ElemAt(i).IntKey, i + 1);
            EXPECT_EQ(got.iType, want.iType);
            EXPECT_EQ(got.iStr, want.iStr);
            EXPECT_EQ(got.iInt, want.iInt);
            EXPECT_EQ(got.iReal, want.iReal);
            EXPECT_EQ(got.iDate, want.iDate);
            EXPECT_DOUBLE_EQ(got.iTime, want.iTime);
            EXPECT_EQ(got.iBool, want.iBool);
            EXPECT_EQ(got.iInt0, want.iInt0);
            EXPECT_EQ(got.iInt1, want.iInt1);
        }
        auto innerBack = std::dynamic_pointer_cast<CVexilArray>(back->ElemAt(12).iVal.iObj);
        ASSERT_NE(innerBack, nullptr);
        EXPECT_EQ(innerBack->Str(0), QStringLiteral("inner"));
        EXPECT_EQ(std::dynamic_pointer_cast<TNote>(back->ElemAt(13).iVal.iObj)->iText, QStringLiteral("card"));
        EXPECT_EQ(back->ElemAt(14).iVal.iObj, nullptr);
    }
}

TEST_F(ArrayIo, StoredFiguresComeBack)
{
    auto array = Made(EArrStrKey | EArrDupKeys | EArrBinaryCompare, EValInt);
    for (int i = 0; i < 11; ++i)
    {
        TArrayElem elem = Elem(*array, EValInt);
        elem.StrKey = QStringLiteral("k%1").arg(i, 2, 10, QChar(u'0'));
        array->CreateStrKey(elem);
    }
    array->DeleteAt(0, 5);
    array->SetSortKeyId(77);
    for (const auto& back : RoundTrips(*array))
    {
        EXPECT_EQ(back->Flags(), 41);
        EXPECT_EQ(back->Count(), 6);
        EXPECT_EQ(back->Alloc(), 61);
        EXPECT_EQ(back->AllocStep(), 50);
        EXPECT_EQ(back->SortKeyId(), 77);
        EXPECT_EQ(back->ObjDescr(), QStringLiteral("CVexilArray max=6, alloc=61"));
    }
}

TEST_F(ArrayIo, KeysOutOfOrderHereAreSortedAgainAndMarkedChanged)
{
    auto array = Made(EArrStrKey, EValInt);
    for (const char* key : {"a", "b"})
    {
        TArrayElem elem = Elem(*array, EValInt);
        elem.StrKey = QString::fromLatin1(key);
        array->CreateStrKey(elem);
    }
    const QByteArray inOrder = Binary(*array);
    const QByteArray swapped = Patched(Patched(inOrder, 32, "62 00"), 42, "61 00");
    auto unchanged = FromBinary(inOrder);
    EXPECT_FALSE(unchanged->Changed());
    auto sorted = FromBinary(swapped);
    EXPECT_TRUE(sorted->Changed());
    EXPECT_EQ(sorted->ElemAt(0).StrKey, QStringLiteral("a"));
    EXPECT_EQ(sorted->ElemAt(1).StrKey, QStringLiteral("b"));

    QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { array->ExternalizeXml(w); });
    xml.replace("strKey=\"a\"", "strKey=\"x\"").replace("strKey=\"b\"", "strKey=\"a\"");
    auto fromXml = FromXml(xml);
    EXPECT_TRUE(fromXml->Changed());
    EXPECT_EQ(fromXml->ElemAt(0).StrKey, QStringLiteral("a"));
}

TEST_F(ArrayIo, KeysWrittenUnderAnotherLocaleAreSortedForThisOne)
{
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    auto array = Made(EArrStrKey, EValInt);
    QByteArray bytes;
    {
        LocaleScope german(kCommaLocale);
        for (const QString& key : {QStringLiteral("z"), QStringLiteral("\u00e4")})
        {
            TArrayElem elem = Elem(*array, EValInt);
            elem.StrKey = key;
            array->CreateStrKey(elem);
        }
        ASSERT_EQ(array->ElemAt(0).StrKey, QStringLiteral("\u00e4"));
        bytes = Binary(*array);
        EXPECT_FALSE(FromBinary(bytes)->Changed());
    }
    LocaleScope here(swedish);
    auto back = FromBinary(bytes);
    EXPECT_TRUE(back->Changed());
    EXPECT_EQ(back->ElemAt(0).StrKey, QStringLiteral("z"));
}

// Orders keys backwards: the order a sort key with a descending part gives.
class TBackwards : public IVexilKeyCompare
{
public:
    int32_t Id() const override { return 9; }
    int32_t compare(const QString& aKey1, const QString& aKey2) const override
    {
        return aKey1 > aKey2 ? 0 : (aKey1 == aKey2 ? 1 : 2);
    }
};

TEST_F(ArrayIo, SortKeyOrderComesFromTheSortKeyTheFileNames)
{
    // A key index: string keys in sort-key order, stored ascending.
    const QByteArray stored = HexBytes("05 00 03 00  00 00 00 00  05 00 00 00  0C 00  32 00 00 00  0A 00 00 00  "
                                       "02 00 00 00  09 00 00 00  "
                                       "02 00 61 00  0C 00  01 00 00 00  02 00 62 00  0C 00  02 00 00 00");
    EXPECT_EQ(BinaryError(stored), EErrBadStruct);  // no sort key to be found
    EXPECT_EQ(BinaryError(Patched(stored, 26, "FF 93 35 77")), EErrBadStruct);  // none named
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());

    CVexilArray::SetSortKeyLookup([](int32_t aId) { return aId == 9 ? std::make_shared<TBackwards>() : nullptr; });
    auto back = FromBinary(stored);
    CVexilArray::SetSortKeyLookup({});
    EXPECT_TRUE(back->Changed());
    EXPECT_EQ(back->ElemAt(0).StrKey, QStringLiteral("b"));
    EXPECT_EQ(back->ElemAt(1).IntKey, UndefLong);
    EXPECT_EQ(back->ElemAt(1).iVal.iInt, 1);
}

TEST_F(ArrayIo, HostileBinaryIsAStructuralError)
{
    const QByteArray base = TwoInts();
    ASSERT_EQ(FromBinary(base)->Count(), 2);
    // An array of one Real whose 8 bytes are aHex.
    const auto realElem = [](const char* aHex) {
        return HexBytes("05 00 03 00  00 00 00 00  00 00 00 00  0D 00  32 00 00 00  0A 00 00 00  "
                        "01 00 00 00  00 00 00 00  0D 00") +
               HexBytes(aHex);
    };
    const std::shared_ptr<CVexilArray> largest = FromBinary(realElem("FF FF FF FF FF FF EF FF"));
    ASSERT_EQ(largest->Count(), 1);
    EXPECT_EQ(largest->ElemAt(0).iVal.iReal, -std::numeric_limits<double>::max());
    struct TCase
    {
        const char* What;
        QByteArray Bytes;
    };
    const TCase cases[] = {
        {"count beyond alloc + 1", Patched(base, 22, "0C 00 00 00")},
        {"negative count", Patched(base, 22, "FF FF FF FF")},
        {"count beyond the file", Patched(Patched(base, 18, "00 94 35 77"), 22, "00 94 35 77")},
        {"count of one more element", Patched(base, 22, "03 00 00 00")},
        {"truncated element", base.left(45)},
        {"unknown element type", Patched(base, 34, "4D 00")},
        {"element of another type", Patched(base, 34, "0B 00")},
        {"unknown array type", Patched(base, 12, "4D 00")},
        {"integer keys out of order", Patched(base, 30, "05 00 00 00")},
        {"stack record in an array slot", Patched(base, 0, "03 00 04 00")},
        {"object without class", HexBytes("05 00 03 00  00 00 00 00  00 00 00 00  67 00  32 00 00 00  0A 00 00 00  "
                                          "01 00 00 00  00 00 00 00  67 00 01 00  09 00 00 00")},
        {"odd string count", HexBytes("05 00 03 00  00 00 00 00  01 00 00 00  0C 00  32 00 00 00  0A 00 00 00  "
                                      "01 00 00 00  00 00 00 00  03 00 41 00 00  0C 00  01 00 00 00")},
        {"nested too deep", Nested(40)},
        {"date beyond the calendar", HexBytes("05 00 03 00  00 00 00 00  00 00 00 00  0E 00  32 00 00 00  0A 00 00 00  "
                                              "01 00 00 00  00 00 00 00  0E 00  00 94 35 77")},
        // The XML form has no text for these, so the two forms would hold different stacks.
        {"real NaN", realElem("00 00 00 00 00 00 F8 7F")},
        {"real negative NaN", realElem("00 00 00 00 00 00 F8 FF")},
        {"real signalling NaN", realElem("01 00 00 00 00 00 F0 7F")},
        {"real infinity", realElem("00 00 00 00 00 00 F0 7F")},
        {"real negative infinity", realElem("00 00 00 00 00 00 F0 FF")},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(BinaryError(c.Bytes), EErrBadStruct);
    }
    EXPECT_EQ(BinaryError(Patched(base, 2, "02 00")), EErrGenTooLow);
    EXPECT_EQ(BinaryError(Patched(base, 2, "04 00")), EErrGenTooHigh);
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST_F(ArrayIo, ErrorTextNamesTheFileAndTheFault)
{
    QString name;
    ReadBinary(
        Patched(TwoInts(), 22, "0C 00 00 00"),
        [](CVexilFile& f) {
            CVexilArray array;
            EXPECT_EQ(RaisedError([&] { array.Internalize(f); }), EErrBadStruct);
        },
        &name);
    const TErrInfo info = CVexilError::GetErrInfo();
    EXPECT_EQ(info.Param1, QStringLiteral("CVexilFile name=") + name + QStringLiteral(", access=0"));
    EXPECT_EQ(info.Param2, QStringLiteral("CVexilArray.Internalize: max=12, alloc=10"));
}

TEST_F(ArrayIo, DeepButBoundedNestingIsRead)
{
    auto outer = FromBinary(Nested(20));
    EXPECT_EQ(outer->Count(), 1);
    EXPECT_NE(outer->Obj(0), nullptr);
}

TEST_F(ArrayIo, AllocStepBeyondReasonIsTakenAsTheUsualStep)
{
    auto array = FromBinary(Patched(TwoInts(), 14, "FF 93 35 77"));
    EXPECT_EQ(array->AllocStep(), 50);
    for (int32_t key = 3; key < 20; ++key)
        array->CreateIntKey(IntElem(*array, key, key));
    EXPECT_EQ(array->Count(), 19);
    EXPECT_EQ(array->Alloc(), 61);
}

TEST_F(ArrayIo, XmlWithoutGrowthFiguresTakesTheDefaults)
{
    const QByteArray elem = "<Elem type=\"11\">\r\n<Str>x</Str>\r\n</Elem>\r\n";
    auto noAlloc = FromXml("<Array flags=\"0\" type=\"11\" max=\"2\">\r\n" + elem + elem + "</Array>\r\n");
    EXPECT_EQ(noAlloc->AllocStep(), 50);
    EXPECT_EQ(noAlloc->Alloc(), 12);
    EXPECT_EQ(noAlloc->Count(), 2);
    EXPECT_EQ(noAlloc->Id(), UndefLong);

    auto noStep = FromXml("<Array flags=\"0\" type=\"11\" alloc=\"1\" max=\"2\">\r\n" + elem + elem + "</Array>\r\n");
    EXPECT_EQ(noStep->AllocStep(), 50);
    EXPECT_EQ(noStep->Alloc(), 1);
    noStep->CreateAtEnd(StrElem(*noStep, QStringLiteral("y")));
    EXPECT_EQ(noStep->Alloc(), 53);
}

TEST_F(ArrayIo, HostileXmlIsAStructuralError)
{
    const QByteArray head = "<Array flags=\"0\" type=\"100\" alloc=\"10\" ";
    const QByteArray cases[] = {
        "<Array flags=\"0\" type=\"11\">\r\n</Array>\r\n",
        "<Array flags=\"0\" type=\"11\" max=\"2147483647\">\r\n</Array>\r\n",
        "<Array flags=\"0\" type=\"11\" max=\"1999999998\">\r\n</Array>\r\n",
        "<Array flags=\"0\" type=\"11\" alloc=\"10\" max=\"12\">\r\n</Array>\r\n",
        "<Array flags=\"0\" type=\"11\" alloc=\"10\" max=\"-1\">\r\n</Array>\r\n",
        "<Array flags=\"0\" type=\"11\" max=\"0\"/>\r\n",
        "<Array flags=\"0\" type=\"77\" max=\"0\">\r\n</Array>\r\n",
        head + "max=\"1\">\r\n<Elem type=\"77\">\r\n</Elem>\r\n</Array>\r\n",
        head + "max=\"1\">\r\n<Elem type=\"11\">\r\n<Str>x</Str>\r\n</Elem>\r\n</Array>\r\n",
        head + "max=\"1\">\r\n<Elem type=\"100\"/>\r\n</Array>\r\n",
        head + "max=\"1\">\r\n<Elem type=\"100\">\r\n<Obj>\r\n<Font gen=\"0\"/>\r\n</Obj>\r\n</Elem>\r\n</Array>\r\n",
        head + "max=\"1\">\r\n<Elem type=\"100\">\r\n</Elem>\r\n</Array>\r\n",
        "<Array flags=\"0\" type=\"103\" max=\"1\">\r\n<Elem type=\"103\">\r\n<Obj>\r\n<SortKey/>\r\n</Obj>\r\n"
        "</Elem>\r\n</Array>\r\n",
        "<Array type=\"14\" max=\"1\">\r\n<Elem type=\"14\" date=\"99999999\">\r\n</Elem>\r\n</Array>\r\n",
        "<Array flags=\"2\" type=\"12\" max=\"2\">\r\n<Elem intKey=\"2\" type=\"12\" int=\"1\">\r\n</Elem>\r\n"
        "<Elem intKey=\"1\" type=\"12\" int=\"1\">\r\n</Elem>\r\n</Array>\r\n",
    };
    for (const QByteArray& xml : cases)
    {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_EQ(XmlError(xml), EErrBadStruct);
    }
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST_F(ArrayIo, ObjectOfAnotherClassIsNamedInTheErrorWithFileAndLine)
{
    const QByteArray xml = "<Array type=\"100\" max=\"1\">\r\n<Elem type=\"100\">\r\n<Obj>\r\n<Font gen=\"0\"/>\r\n"
                           "</Obj>\r\n</Elem>\r\n</Array>\r\n";
    CVexilArray array;
    QString name;
    EXPECT_EQ(RaisedError([&] { ReadXml(xml, array, &name); }), EErrBadStruct);
    const TErrInfo info = CVexilError::GetErrInfo();
    EXPECT_EQ(info.Param1, QStringLiteral("CVexilXmlParser name=") + name + QStringLiteral(", line=5"));
    EXPECT_EQ(info.Param2, QStringLiteral("CVexilArray.InternalizeXml: InternalizeXml iCard"));
}

TEST_F(ArrayIo, ElementNameIsMatchedWithoutCase)
{
    CVexilArray array;
    EXPECT_TRUE(array.IsInXml(QStringLiteral("Array")));
    EXPECT_TRUE(array.IsInXml(QStringLiteral("ARRAY")));
    EXPECT_FALSE(array.IsInXml(QStringLiteral("Arrays")));
}
