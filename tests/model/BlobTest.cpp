#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StoredForms.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlob.h"
#include "model/VexilClock.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
// A stored string: the byte count, then UTF-16LE.
QByteArray Str(const QString& aText)
{
    QByteArray bytes = Le16(int32_t(2 * aText.size()));
    for (const QChar c : aText)
        bytes += Le16(c.unicode());
    return bytes;
}

// A blob with every field set to a value of its own.
TBlobRef SampleBlob()
{
    auto blob = std::make_shared<CVexilBlob>();
    blob->Construct(7);
    blob->SetName(QStringLiteral("ab"));
    blob->SetFilename(QStringLiteral("x/ab"));
    blob->SetCreDate(CVexilValue::FromQDate(QDate(2024, 1, 2)));
    blob->SetCreTime(CVexilValue::FromQTime(QTime(3, 4, 5)));
    blob->SetFileDate(CVexilValue::FromQDate(QDate(2023, 12, 31)));
    blob->SetFileTime(CVexilValue::FromQTime(QTime(23, 59, 58)));
    blob->SetMimeType(QStringLiteral("image/png"));
    blob->SetSampleId(9);
    blob->SetWidth(640);
    blob->SetHeight(480);
    blob->SetRefCount(2);
    blob->SetBytes(QByteArray("\x01\x02\x03", 3));
    return blob;
}

// The record of SampleBlob from the Id on, up to the reference count; aGen leaves out what
// older generations do not hold.
QByteArray SampleBody(int aGen)
{
    QByteArray bytes = Le32(7) + Le16(0) + Str(QStringLiteral("ab")) + Str(QStringLiteral("x/ab")) + Le32(20240102) +
                       Le32(30405) + Le32(20231231) + Le32(235958) + Str(QStringLiteral("image/png"));
    if (aGen >= 4)
        bytes += Le32(UndefLong) + Le32(9);
    if (aGen >= 5)
        bytes += Le16(640) + Le16(480);
    return bytes + Le32(2);
}

const QByteArray kSampleBytes = Le32(3) + QByteArray("\x01\x02\x03", 3);

QByteArray WriteBlob(CVexilBlob& aBlob)
{
    return BinaryOf([&](CVexilFile& aFile) { aBlob.Externalize(aFile); });
}

TBlobRef ReadBlob(const QByteArray& aBytes, bool aInfoOnly = false)
{
    auto blob = std::make_shared<CVexilBlob>();
    blob->SetInfoOnly(aInfoOnly);
    ReadBinary(aBytes, [&](CVexilFile& aFile) { blob->Internalize(aFile); });
    return blob;
}

void ExpectSameFields(const CVexilBlob& aA, const CVexilBlob& aB)
{
    EXPECT_EQ(aA.Id(), aB.Id());
    EXPECT_EQ(aA.BlobType(), aB.BlobType());
    EXPECT_EQ(aA.Name(), aB.Name());
    EXPECT_EQ(aA.Filename(), aB.Filename());
    EXPECT_EQ(aA.CreDate(), aB.CreDate());
    EXPECT_EQ(aA.CreTime(), aB.CreTime());
    EXPECT_EQ(aA.FileDate(), aB.FileDate());
    EXPECT_EQ(aA.FileTime(), aB.FileTime());
    EXPECT_EQ(aA.MimeType(), aB.MimeType());
    EXPECT_EQ(aA.OriginalId(), aB.OriginalId());
    EXPECT_EQ(aA.SampleId(), aB.SampleId());
    EXPECT_EQ(aA.Width(), aB.Width());
    EXPECT_EQ(aA.Height(), aB.Height());
    EXPECT_EQ(aA.RefCount(), aB.RefCount());
    EXPECT_EQ(aA.Bytes(), aB.Bytes());
}

// The detail of the aIndex-th assertion question asked.
QString AssertDetail(size_t aIndex)
{
    const auto& messages = ScriptedPrompts::Instance().Messages();
    return aIndex < messages.size() && !messages[aIndex].Params.isEmpty() ? messages[aIndex].Params[0] : QString();
}

class ClockScope
{
public:
    explicit ClockScope(const QDateTime& aNow) { CVexilClock::SetSource([aNow] { return aNow; }); }
    ~ClockScope() { CVexilClock::SetSource({}); }
};
}  // namespace

TEST(BlobTest, ConstructStampsBothDatesAndSetsTheUndefinedValues)
{
    const ClockScope clock(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 500)));
    CVexilBlob blob;
    blob.Construct(12);
    EXPECT_EQ(blob.Id(), 12);
    EXPECT_EQ(blob.BlobType(), 0);
    EXPECT_EQ(blob.CreDate(), CVexilValue::FromQDate(QDate(2024, 5, 6)));
    EXPECT_EQ(blob.CreTime(), CVexilValue::FromQTime(QTime(7, 8, 9)));  // whole seconds
    EXPECT_EQ(blob.FileDate(), blob.CreDate());
    EXPECT_EQ(blob.FileTime(), blob.CreTime());
    EXPECT_EQ(blob.OriginalId(), UndefLong);
    EXPECT_EQ(blob.SampleId(), UndefLong);
    EXPECT_EQ(blob.Width(), UndefInt);
    EXPECT_EQ(blob.Height(), UndefInt);
    EXPECT_EQ(blob.RefCount(), 0);
    EXPECT_EQ(blob.DynRefCount(), 0);
    EXPECT_FALSE(blob.OnFile());
    EXPECT_FALSE(blob.InfoOnly());
    EXPECT_TRUE(blob.Changed());
    EXPECT_EQ(blob.ObjDescr(), QStringLiteral("CVexilBlob 12"));
}

TEST(BlobTest, SettersMarkChangedExactlyWhereTheRecordMustBeWrittenAgain)
{
    struct TCase
    {
        const char* Name;
        std::function<void(CVexilBlob&)> Set;
        bool Changes;
    };
    const TCase cases[] = {
        {"Name", [](CVexilBlob& b) { b.SetName(QStringLiteral("n")); }, true},
        {"Filename", [](CVexilBlob& b) { b.SetFilename(QStringLiteral("f")); }, true},
        {"FileDate", [](CVexilBlob& b) { b.SetFileDate(1); }, true},
        {"FileTime", [](CVexilBlob& b) { b.SetFileTime(0.5); }, true},
        {"MimeType", [](CVexilBlob& b) { b.SetMimeType(QStringLiteral("image/gif")); }, true},
        {"OriginalId", [](CVexilBlob& b) { b.SetOriginalId(3); }, true},
        {"SampleId", [](CVexilBlob& b) { b.SetSampleId(3); }, true},
        {"Width", [](CVexilBlob& b) { b.SetWidth(3); }, true},
        {"Height", [](CVexilBlob& b) { b.SetHeight(3); }, true},
        {"Bytes", [](CVexilBlob& b) { b.SetBytes("z"); }, true},
        {"IncRefCount", [](CVexilBlob& b) { b.IncRefCount(); }, true},
        // A lowered count must reach the file too, or an unused picture stays for ever.
        {"DecRefCount", [](CVexilBlob& b) { b.DecRefCount(); }, true},
        {"BlobType", [](CVexilBlob& b) { b.SetBlobType(1); }, false},
        {"CreDate", [](CVexilBlob& b) { b.SetCreDate(1); }, false},
        {"CreTime", [](CVexilBlob& b) { b.SetCreTime(0.5); }, false},
        {"InfoOnly", [](CVexilBlob& b) { b.SetInfoOnly(true); }, false},
        {"OnFile", [](CVexilBlob& b) { b.SetOnFile(true); }, false},
        {"RefCount", [](CVexilBlob& b) { b.SetRefCount(5); }, false},
        {"Age", [](CVexilBlob& b) { b.SetAge(5); }, false},
        {"IncDynRefCount", [](CVexilBlob& b) { b.IncDynRefCount(); }, false},
        {"DecDynRefCount", [](CVexilBlob& b) { b.DecDynRefCount(); }, false},
    };
    for (const TCase& c : cases)
    {
        CVexilBlob blob;
        blob.Construct(1);
        blob.SetRefCount(1);
        blob.IncDynRefCount();
        blob.SetChanged(false);
        c.Set(blob);
        EXPECT_EQ(blob.Changed(), c.Changes) << c.Name;
    }
}

TEST(BlobTest, CountsNeverGoBelowZero)
{
    CVexilBlob blob;
    blob.Construct(1);
    ScriptedPrompts::Instance().ExpectMessage(true);  // Yes: go on
    blob.DecRefCount();
    EXPECT_EQ(blob.RefCount(), 0);
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { blob.DecDynRefCount(); }), EErrAssertFailed);
    EXPECT_EQ(blob.DynRefCount(), 0);
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 2u);
    EXPECT_TRUE(AssertDetail(0).startsWith(QStringLiteral("iRefCount")));
    EXPECT_TRUE(AssertDetail(1).startsWith(QStringLiteral("iDynRefCount")));
}

TEST(BlobTest, BinaryRecordIsByteExactAndReadsBack)
{
    const TBlobRef blob = SampleBlob();
    blob->SetChanged(false);
    const QByteArray bytes = WriteBlob(*blob);
    const QByteArray expected = Le16(10) + Le16(5) + SampleBody(5) + kSampleBytes;
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(blob->ExtLen(), expected.size());
    EXPECT_EQ(blob->ExtLen(), 42 + (2 + 4) + (2 + 8) + (2 + 18) + (4 + 3));
    EXPECT_TRUE(blob->OnFile());
    EXPECT_FALSE(blob->Changed());  // writing leaves Changed to the store

    const TBlobRef read = ReadBlob(bytes);
    ExpectSameFields(*blob, *read);
    EXPECT_TRUE(read->OnFile());
    EXPECT_FALSE(read->Changed());
    EXPECT_EQ(read->DynRefCount(), 0);
}

TEST(BlobTest, OlderGenerationsReadWithUndefinedIdsAndSizes)
{
    struct TCase
    {
        int Gen;
        int32_t SampleId;
        int16_t Width;
    };
    for (const TCase c : {TCase{3, UndefLong, UndefInt}, TCase{4, 9, UndefInt}, TCase{5, 9, 640}})
    {
        const TBlobRef read = ReadBlob(Le16(10) + Le16(c.Gen) + SampleBody(c.Gen) + kSampleBytes);
        EXPECT_EQ(read->OriginalId(), UndefLong) << c.Gen;
        EXPECT_EQ(read->SampleId(), c.SampleId) << c.Gen;
        EXPECT_EQ(read->Width(), c.Width) << c.Gen;
        EXPECT_EQ(read->Height(), c.Gen >= 5 ? 480 : UndefInt) << c.Gen;
        EXPECT_EQ(read->RefCount(), 2) << c.Gen;
        EXPECT_EQ(read->Bytes(), QByteArray("\x01\x02\x03", 3)) << c.Gen;
    }
}

TEST(BlobTest, HostileRecordsAreRefused)
{
    struct TCase
    {
        const char* Name;
        QByteArray Bytes;
        int32_t Error;
    };
    const QByteArray body = SampleBody(5);
    const TCase cases[] = {
        {"type id", Le16(11) + Le16(5) + body + kSampleBytes, EErrBadStruct},
        {"generation 2", Le16(10) + Le16(2) + body + kSampleBytes, EErrGenTooLow},
        {"generation 6", Le16(10) + Le16(6) + body + kSampleBytes, EErrGenTooHigh},
        {"negative count", Le16(10) + Le16(5) + body.left(body.size() - 4) + Le32(-1) + kSampleBytes, EErrBadStruct},
        {"byte count beyond the end", Le16(10) + Le16(5) + body + Le32(4) + QByteArray("\x01\x02\x03", 3),
         EErrBadStruct},
        {"truncated", (Le16(10) + Le16(5) + body).left(20), EErrBadStruct},
        {"date beyond the calendar", Le16(10) + Le16(5) + QByteArray(body).replace(Le32(20240102), Le32(99999999)) +
             kSampleBytes, EErrBadStruct},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(RaisedError([&] { ReadBlob(c.Bytes); }), c.Error) << c.Name;
}

TEST(BlobTest, InfoOnlyReadsNoBytesAndIsNeverWritten)
{
    const TBlobRef info = ReadBlob(WriteBlob(*SampleBlob()), true);
    EXPECT_TRUE(info->Bytes().isEmpty());
    EXPECT_EQ(info->SampleId(), 9);

    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { WriteBlob(*info); }), EErrAssertFailed);
    EXPECT_TRUE(AssertDetail(0).startsWith(QStringLiteral("iInfoOnly")));
}

namespace
{
// A blob read from an element whose lines after the declaration are aBody; the reader must
// clear Changed and OnFile.
TBlobRef ReadXmlBlob(const QByteArray& aBody)
{
    auto blob = std::make_shared<CVexilBlob>();
    blob->SetChanged(true);
    blob->SetOnFile(true);
    ReadXml(aBody, *blob);
    return blob;
}
}  // namespace

TEST(BlobTest, XmlElementIsExactAndHexLinesHoldEightyDigits)
{
    const TBlobRef blob = SampleBlob();
    QByteArray bytes(100, 0);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 0xA0);
    blob->SetBytes(bytes);
    const QString hex = QString::fromLatin1(bytes.toHex().toUpper());
    const QString expected =
        QStringLiteral("<Blob gen=\"5\" id=\"7\" type=\"0\" name=\"ab\" fileName=\"x/ab\" creDate=\"20240102\" "
                       "creTime=\"30405\" fileDate=\"20231231\" fileTime=\"235958\" mimeType=\"image/png\" "
                       "originalId=\"1999999999\" sampleId=\"9\" width=\"640\" height=\"480\" refCount=\"2\">\r\n"
                       "  <Bytes>") +
        hex.mid(0, 80) + QStringLiteral("\r\n") + hex.mid(80, 80) + QStringLiteral("\r\n") + hex.mid(160) +
        QStringLiteral("</Bytes>\r\n</Blob>\r\n");
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& aWriter) { blob->ExternalizeXml(aWriter); });
    EXPECT_EQ(QString::fromUtf8(xml), expected);

    const TBlobRef read = ReadXmlBlob(xml);
    ExpectSameFields(*blob, *read);
    EXPECT_FALSE(read->OnFile());
    EXPECT_FALSE(read->Changed());
}

TEST(BlobTest, XmlReaderTakesMissingAttributesAsUndefinedAndRefusesBadInput)
{
    const auto xml = [](const QString& aAttrs, const QString& aHex) {
        return (QStringLiteral("<Blob ") + aAttrs + QStringLiteral(">\r\n<Bytes>") + aHex +
                QStringLiteral("</Bytes>\r\n</Blob>\r\n"))
            .toUtf8();
    };
    const TBlobRef read = ReadXmlBlob(xml(QStringLiteral("gen=\"3\" id=\"4\""), QStringLiteral("0aFF")));
    EXPECT_EQ(read->Id(), 4);
    EXPECT_EQ(read->OriginalId(), UndefLong);
    EXPECT_EQ(read->SampleId(), UndefLong);
    EXPECT_EQ(read->Width(), UndefInt);
    EXPECT_EQ(read->Height(), UndefInt);
    EXPECT_TRUE(read->Name().isEmpty());
    EXPECT_EQ(read->Bytes(), QByteArray("\x0A\xFF", 2));

    struct TCase
    {
        const char* Name;
        QByteArray Xml;
    };
    const TCase cases[] = {
        {"generation 2", xml(QStringLiteral("gen=\"2\" id=\"4\""), QStringLiteral("00"))},
        {"odd digits", xml(QStringLiteral("gen=\"5\" id=\"4\""), QStringLiteral("ABC"))},
        {"no digit", xml(QStringLiteral("gen=\"5\" id=\"4\""), QStringLiteral("0G"))},
        {"negative count", xml(QStringLiteral("gen=\"5\" id=\"4\" refCount=\"-1\""), QStringLiteral("00"))},
        {"other child", QByteArray("<Blob gen=\"5\">\r\n<Data>00</Data>\r\n</Blob>\r\n")},
        {"date beyond the calendar", xml(QStringLiteral("gen=\"5\" id=\"4\" fileDate=\"99999999\""), QStringLiteral("00"))},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(RaisedError([&] { ReadXmlBlob(c.Xml); }), EErrBadStruct) << c.Name;
}
