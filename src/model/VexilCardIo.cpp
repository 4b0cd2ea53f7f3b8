#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilValue.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "model/VexilCard.h"

namespace
{
const QString kXmlName = QStringLiteral("Card");
const QString kReadContext = QStringLiteral("CVexilCard.Internalize");
const QString kXmlContext = QStringLiteral("CVexilCard.InternalizeXml");
// Order number, background id and the four stamps.
constexpr int32_t kFixedLen = 6 * 4;

const bool kRegistered = [] {
    CVexilObjFactory::Register(EValCard, [] { return std::make_shared<CVexilCard>(); });
    return true;
}();

// The stored stamps as dates and times; a value the calendar cannot hold is empty.
struct TStamps
{
    double CreDate = 0;
    double CreTime = 0;
    double ModDate = 0;
    double ModTime = 0;
};

QString ToStamps(int32_t aCreDate, int32_t aCreTime, int32_t aModDate, int32_t aModTime, TStamps& aStamps)
{
    try
    {
        aStamps = {CVexilValue::IntToDate(aCreDate), CVexilValue::IntToTime(aCreTime),
                   CVexilValue::IntToDate(aModDate), CVexilValue::IntToTime(aModTime)};
        return {};
    }
    catch (const CVexilException&)
    {
        return QStringLiteral("stamps %1 %2 %3 %4").arg(aCreDate).arg(aCreTime).arg(aModDate).arg(aModTime);
    }
}

// What is wrong with a card's values as read: keyed by field id, each a plain value.
QString ValuesFault(const CVexilArray& aValues)
{
    if (aValues.Flags() != EArrIntKey + EArrAnyType)
        return QStringLiteral("values flags ") + QString::number(aValues.Flags());
    for (int32_t i = 0; i < aValues.Count(); ++i)
    {
        const int32_t type = aValues.ValTypeAt(i);
        if (type != EValUndef && (type < EValStr || type > EValBlobId))
            return QStringLiteral("value type ") + QString::number(type);
    }
    return {};
}
}  // namespace

int32_t CVexilCard::ExtLen()
{
    if (iDirty)
        UpdateCardLists();
    return CVexilObjHead::ExtLenBaseObj(*this) + kFixedLen + iValues.ExtLen();
}

void CVexilCard::Externalize(CVexilFile& aFile)
{
    if (iDirty)
        UpdateCardLists();
    CVexilObjHead::ExternalizeBaseObj(*this, aFile, EObjCard);
    aFile.WriteInt(iOrderNum);
    aFile.WriteInt(iBackgroundId);
    aFile.WriteInt(CVexilValue::DateToInt(iCreDate));
    aFile.WriteInt(CVexilValue::TimeToInt(iCreTime));
    aFile.WriteInt(CVexilValue::DateToInt(iModDate));
    aFile.WriteInt(CVexilValue::TimeToInt(iModTime));
    iValues.Externalize(aFile);
}

void CVexilCard::Internalize(CVexilFile& aFile)
{
    CVexilObjHead::InternalizeBaseObj(*this, aFile, EObjCard);
    iOrderNum = aFile.ReadInt();
    iBackgroundId = aFile.ReadInt();
    const int32_t creDate = aFile.ReadInt();
    const int32_t creTime = aFile.ReadInt();
    const int32_t modDate = aFile.ReadInt();
    const int32_t modTime = aFile.ReadInt();
    TStamps stamps;
    const QString stampFault = ToStamps(creDate, creTime, modDate, modTime, stamps);
    CVexilError::CheckStruct(stampFault.isEmpty(), &aFile, kReadContext, stampFault);
    iValues.Internalize(aFile);
    iCreDate = stamps.CreDate;
    iCreTime = stamps.CreTime;
    iModDate = stamps.ModDate;
    iModTime = stamps.ModTime;
    iDirty = false;
    SetChanged(false);
}

bool CVexilCard::IsInXml(const QString& aName) const
{
    return aName == kXmlName;
}

void CVexilCard::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    if (iDirty)
        UpdateCardLists();
    aWriter.BeginElem(kXmlName);
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjCard).Written);
    aWriter.AddIntAttr(QStringLiteral("id"), iId);
    aWriter.AddIntAttr(QStringLiteral("orderNum"), iOrderNum);
    aWriter.AddAttr(QStringLiteral("name"), iName);
    aWriter.AddIntAttr(QStringLiteral("flags"), iFlags);
    aWriter.AddIntAttr(QStringLiteral("backgroundId"), iBackgroundId);
    aWriter.AddIntAttr(QStringLiteral("backColor"), iBackColor);
    aWriter.AddIntAttr(QStringLiteral("creDate"), CVexilValue::DateToInt(iCreDate));
    aWriter.AddIntAttr(QStringLiteral("creTime"), CVexilValue::TimeToInt(iCreTime));
    aWriter.AddIntAttr(QStringLiteral("modDate"), CVexilValue::DateToInt(iModDate));
    aWriter.AddIntAttr(QStringLiteral("modTime"), CVexilValue::TimeToInt(iModTime));
    CVexilObjHead::AddHeadAttrs(*this, aWriter);
    aWriter.BeginStruct();
    CVexilObjHead::ExternalizeHeadXml(*this, aWriter);
    // The XML form of the values is the value array's.
    CVexilArray values;
    iValues.ToArray(values);
    values.ExternalizeXml(aWriter);
    aWriter.EndElem(kXmlName);
}

void CVexilCard::InternalizeXml(CVexilXmlParser& aParser)
{
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, kXmlContext, QStringLiteral("InternalizeXml term"));
    CheckXml(aParser, aParser.ShortAttr(QStringLiteral("gen")) == CVexilBinObj::Generations(EObjCard).Written,
             kXmlContext, QStringLiteral("InternalizeXml gen"));
    iId = aParser.IntAttr(QStringLiteral("id"));
    iOrderNum = aParser.IntAttr(QStringLiteral("orderNum"));
    iName = aParser.Attr(QStringLiteral("name"));
    const int32_t flags = aParser.IntAttr(QStringLiteral("flags"));
    iFlags = flags == UndefLong ? 0 : flags;
    iBackgroundId = aParser.IntAttr(QStringLiteral("backgroundId"));
    iBackColor = aParser.IntAttr(QStringLiteral("backColor"));
    TStamps stamps;
    const QString stampFault =
        ToStamps(aParser.IntAttr(QStringLiteral("creDate")), aParser.IntAttr(QStringLiteral("creTime")),
                 aParser.IntAttr(QStringLiteral("modDate")), aParser.IntAttr(QStringLiteral("modTime")), stamps);
    CheckXml(aParser, stampFault.isEmpty(), kXmlContext, stampFault);
    iCreDate = stamps.CreDate;
    iCreTime = stamps.CreTime;
    iModDate = stamps.ModDate;
    iModTime = stamps.ModTime;
    CVexilObjHead::InternalizeHeadXml(*this, aParser, CVexilObjHead::ReadHeadAttrs(aParser));
    auto values = std::make_shared<CVexilArray>();
    ReadXmlChild(aParser, *values, kXmlContext, QStringLiteral("InternalizeXml iValue"));
    const QString fault = ValuesFault(*values);
    CheckXml(aParser, fault.isEmpty(), kXmlContext, fault);
    aParser.ReadTheNext(kXmlName, true);
    iValues.FromArray(*values);
    iDirty = false;
    SetChanged(false);
}
