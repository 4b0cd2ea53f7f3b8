#include "model/VexilBlob.h"

#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilValue.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "model/VexilClock.h"

#include <limits>

namespace
{
// Header 4, id 4, type 2, four dates and times 16, original and sample ids 8, width and
// height 4, reference count 4; the strings and the byte block come on top.
constexpr int32_t kFixedLen = 42;

const QString kXmlName = QStringLiteral("Blob");
const QString kBytesName = QStringLiteral("Bytes");

// Arrays of blobs (the store's cache) make their elements through the factory.
const bool kRegistered = [] {
    CVexilObjFactory::Register(EValBlob, [] { return std::make_shared<CVexilBlob>(); });
    return true;
}();

bool IsHexText(const QString& aText)
{
    if (aText.size() % 2 != 0)
        return false;
    for (const QChar c : aText)
    {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f')))
            return false;
    }
    return true;
}
}  // namespace

void CVexilBlob::Construct(int32_t aId)
{
    iId = aId;
    iBlobType = 0;
    CVexilClock::Stamp(iCreDate, iCreTime);
    iFileDate = iCreDate;
    iFileTime = iCreTime;
    iOriginalId = UndefLong;
    iSampleId = UndefLong;
    iWidth = UndefInt;
    iHeight = UndefInt;
    iRefCount = 0;
    iDynRefCount = 0;
    iAge = 0;
    iOnFile = false;
    iInfoOnly = false;
    iChanged = true;
}

QString CVexilBlob::ObjDescr() const
{
    return QStringLiteral("CVexilBlob ") + QString::number(iId);
}

void CVexilBlob::SetName(const QString& aName)
{
    iName = aName;
    iChanged = true;
}

void CVexilBlob::SetFilename(const QString& aFilename)
{
    iFilename = aFilename;
    iChanged = true;
}

void CVexilBlob::SetFileDate(double aDate)
{
    iFileDate = aDate;
    iChanged = true;
}

void CVexilBlob::SetFileTime(double aTime)
{
    iFileTime = aTime;
    iChanged = true;
}

void CVexilBlob::SetMimeType(const QString& aMimeType)
{
    iMimeType = aMimeType;
    iChanged = true;
}

void CVexilBlob::SetOriginalId(int32_t aId)
{
    iOriginalId = aId;
    iChanged = true;
}

void CVexilBlob::SetSampleId(int32_t aId)
{
    iSampleId = aId;
    iChanged = true;
}

void CVexilBlob::SetWidth(int16_t aWidth)
{
    iWidth = aWidth;
    iChanged = true;
}

void CVexilBlob::SetHeight(int16_t aHeight)
{
    iHeight = aHeight;
    iChanged = true;
}

void CVexilBlob::SetBytes(const QByteArray& aBytes)
{
    iBytes = aBytes;
    iChanged = true;
}

void CVexilBlob::IncRefCount()
{
    CVexilLib::IncLong(iRefCount);
    iChanged = true;
}

void CVexilBlob::DecRefCount()
{
    CVexilError::CheckFailed(iRefCount > 0, this, QStringLiteral("DecRefCount"), QStringLiteral("iRefCount"));
    if (iRefCount > 0)  // a count below 0 would never come back to 0
        --iRefCount;
    iChanged = true;
}

void CVexilBlob::IncDynRefCount()
{
    CVexilLib::IncLong(iDynRefCount);
}

void CVexilBlob::DecDynRefCount()
{
    CVexilError::CheckFailed(iDynRefCount > 0, this, QStringLiteral("DecDynRefCount"), QStringLiteral("iDynRefCount"));
    if (iDynRefCount > 0)
        --iDynRefCount;
}

int32_t CVexilBlob::ExtLen()
{
    return kFixedLen + CVexilFile::ExtStrLen(iName) + CVexilFile::ExtStrLen(iFilename) +
           CVexilFile::ExtStrLen(iMimeType) + CVexilFile::ExtBytesLen(iBytes);
}

void CVexilBlob::Externalize(CVexilFile& aFile)
{
    CVexilError::CheckFailed(!iInfoOnly, this, QStringLiteral("Externalize"), QStringLiteral("iInfoOnly"));
    if (iBlobType < std::numeric_limits<int16_t>::min() || iBlobType > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, ObjDescr());
    CVexilBinObj::WriteBinObjStart(aFile, EObjBlob);
    aFile.WriteInt(iId);
    aFile.WriteShort(int16_t(iBlobType));
    aFile.WriteStr(iName);
    aFile.WriteStr(iFilename);
    aFile.WriteInt(CVexilValue::DateToInt(iCreDate));
    aFile.WriteInt(CVexilValue::TimeToInt(iCreTime));
    aFile.WriteInt(CVexilValue::DateToInt(iFileDate));
    aFile.WriteInt(CVexilValue::TimeToInt(iFileTime));
    aFile.WriteStr(iMimeType);
    aFile.WriteInt(iOriginalId);
    aFile.WriteInt(iSampleId);
    aFile.WriteShort(iWidth);
    aFile.WriteShort(iHeight);
    aFile.WriteInt(iRefCount);
    aFile.WriteBytes(iBytes);
    iOnFile = true;
}

void CVexilBlob::Internalize(CVexilFile& aFile)
{
    const int16_t gen = CVexilBinObj::ReadBinObjStart(aFile, EObjBlob);
    iId = aFile.ReadInt();
    iBlobType = aFile.ReadShort();
    iName = aFile.ReadStr();
    iFilename = aFile.ReadStr();
    const QString context = QStringLiteral("CVexilBlob.Internalize");
    CVexilError::CheckStruct(CVexilValue::StoredDate(aFile.ReadInt(), iCreDate), &aFile, context,
                             QStringLiteral("creDate"));
    iCreTime = CVexilValue::IntToTime(aFile.ReadInt());
    CVexilError::CheckStruct(CVexilValue::StoredDate(aFile.ReadInt(), iFileDate), &aFile, context,
                             QStringLiteral("fileDate"));
    iFileTime = CVexilValue::IntToTime(aFile.ReadInt());
    iMimeType = aFile.ReadStr();
    iOriginalId = gen >= 4 ? aFile.ReadInt() : UndefLong;
    iSampleId = gen >= 4 ? aFile.ReadInt() : UndefLong;
    iWidth = gen >= 5 ? aFile.ReadShort() : UndefInt;
    iHeight = gen >= 5 ? aFile.ReadShort() : UndefInt;
    iRefCount = aFile.ReadInt();
    CVexilError::CheckStruct(iRefCount >= 0, &aFile, context, QStringLiteral("refCount"));
    if (!iInfoOnly)
        iBytes = aFile.ReadBytes();
    iOnFile = true;
    iChanged = false;
}

bool CVexilBlob::IsInXml(const QString& aName) const
{
    return aName == kXmlName;
}

void CVexilBlob::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    CVexilError::CheckFailed(!iInfoOnly, this, QStringLiteral("Externalize"), QStringLiteral("iInfoOnly"));
    aWriter.BeginElem(kXmlName);
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjBlob).Written);
    aWriter.AddIntAttr(QStringLiteral("id"), iId);
    aWriter.AddIntAttr(QStringLiteral("type"), iBlobType);
    aWriter.AddAttr(QStringLiteral("name"), iName);
    aWriter.AddAttr(QStringLiteral("fileName"), iFilename);
    aWriter.AddIntAttr(QStringLiteral("creDate"), CVexilValue::DateToInt(iCreDate));
    aWriter.AddIntAttr(QStringLiteral("creTime"), CVexilValue::TimeToInt(iCreTime));
    aWriter.AddIntAttr(QStringLiteral("fileDate"), CVexilValue::DateToInt(iFileDate));
    aWriter.AddIntAttr(QStringLiteral("fileTime"), CVexilValue::TimeToInt(iFileTime));
    aWriter.AddAttr(QStringLiteral("mimeType"), iMimeType);
    aWriter.AddIntAttr(QStringLiteral("originalId"), iOriginalId);
    aWriter.AddIntAttr(QStringLiteral("sampleId"), iSampleId);
    aWriter.AddShortAttr(QStringLiteral("width"), iWidth);
    aWriter.AddShortAttr(QStringLiteral("height"), iHeight);
    aWriter.AddIntAttr(QStringLiteral("refCount"), iRefCount);
    aWriter.BeginStruct();
    WriteXmlTextElem(aWriter, kBytesName, CVexilLib::BytesToHex(iBytes, false));
    aWriter.EndElem(kXmlName);
}

void CVexilBlob::InternalizeXml(CVexilXmlParser& aParser)
{
    const QString context = QStringLiteral("CVexilBlob.InternalizeXml");
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, context, QStringLiteral("term"));
    CheckXml(aParser, aParser.ShortAttr(QStringLiteral("gen")) >= 3, context, QStringLiteral("gen"));
    iId = aParser.IntAttr(QStringLiteral("id"));
    iBlobType = aParser.IntAttr(QStringLiteral("type"));
    iName = aParser.Attr(QStringLiteral("name"));
    iFilename = aParser.Attr(QStringLiteral("fileName"));
    CheckXml(aParser, CVexilValue::StoredDate(aParser.IntAttr(QStringLiteral("creDate")), iCreDate), context,
             QStringLiteral("creDate"));
    iCreTime = CVexilValue::IntToTime(aParser.IntAttr(QStringLiteral("creTime")));
    CheckXml(aParser, CVexilValue::StoredDate(aParser.IntAttr(QStringLiteral("fileDate")), iFileDate), context,
             QStringLiteral("fileDate"));
    iFileTime = CVexilValue::IntToTime(aParser.IntAttr(QStringLiteral("fileTime")));
    iMimeType = aParser.Attr(QStringLiteral("mimeType"));
    iOriginalId = aParser.IntAttr(QStringLiteral("originalId"));
    iSampleId = aParser.IntAttr(QStringLiteral("sampleId"));
    iWidth = aParser.ShortAttr(QStringLiteral("width"));
    iHeight = aParser.ShortAttr(QStringLiteral("height"));
    iRefCount = aParser.IntAttr(QStringLiteral("refCount"));
    CheckXml(aParser, iRefCount >= 0, context, QStringLiteral("refCount"));
    const QString hex = ReadXmlTextElem(aParser, kBytesName, context);
    CheckXml(aParser, IsHexText(hex), context, kBytesName);
    iBytes = CVexilLib::HexToBytes(hex);
    aParser.ReadTheNext(kXmlName, true);
    iOnFile = false;
    iChanged = false;
}
