#include "model/VexilSortKey.h"

#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilTextCompare.h"
#include "foundation/VexilValue.h"
#include "foundation/VexilValueField.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "model/VexilCard.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
const QString kXmlName = QStringLiteral("SortKey");
const QString kPartName = QStringLiteral("Part");
const QString kReadContext = QStringLiteral("CVexilSortKey.Internalize");
const QString kXmlContext = QStringLiteral("CVexilSortKey.InternalizeXml");

const struct TRegisterSortKey
{
    TRegisterSortKey()
    {
        CVexilObjFactory::Register(EValSortKey, [] { return std::make_shared<CVexilSortKey>(); });
    }
} kRegisterSortKey;

// Whether a character belongs to the special-character set that text comparison ignores.
bool IsSpecial(QChar aChar)
{
    static const auto table = [] {
        std::array<bool, 256> special{};
        for (QChar c : CVexilLib::SpecialChars())
            if (c.unicode() < special.size())
                special[c.unicode()] = true;
        return special;
    }();
    return aChar.unicode() < table.size() && table[aChar.unicode()];
}

// A view as a QString without copying; valid while the viewed text is.
QString Raw(QStringView aView)
{
    return QString::fromRawData(aView.data(), aView.size());
}

// A text piece without its special characters (blanks among them). Most pieces have none but
// their padding, so they are only shortened; aBuffer holds a stripped copy otherwise.
QStringView StrippedText(QStringView aPiece, QString& aBuffer)
{
    while (!aPiece.isEmpty() && aPiece.back() == u' ')
        aPiece.chop(1);
    for (QChar c : aPiece)
    {
        if (IsSpecial(c))
        {
            aBuffer = CVexilLib::StripSpecialChars(aPiece.toString());
            return aBuffer;
        }
    }
    return aPiece;
}

// The number a piece begins with, as the platform's numeric parse reads it. Most pieces are
// plain integers between blanks: those are read here, the rest by the general parse.
double PieceNumber(QStringView aPiece)
{
    qsizetype i = 0;
    const qsizetype size = aPiece.size();
    while (i < size && aPiece[i] == u' ')
        ++i;
    const bool negative = i < size && aPiece[i] == u'-';
    if (negative)
        ++i;
    const qsizetype firstDigit = i;
    int64_t value = 0;
    while (i < size && i - firstDigit < 18 && aPiece[i] >= u'0' && aPiece[i] <= u'9')
        value = value * 10 + (aPiece[i++].unicode() - u'0');
    qsizetype rest = i;
    while (rest < size && aPiece[rest] == u' ')
        ++rest;
    if (i > firstDigit && rest == size)
        return double(negative ? -value : value);
    return CVexilNumText::LeadingNumber(Raw(aPiece));
}

// Appends a key piece: the text cut or padded to aLen characters, upper-cased character by
// character, so that a piece keeps its width ("ß" stays one character). Keys are built for
// every card added or changed, so plain ASCII takes a short way.
void AppendPiece(QString& aKey, QString aText, int16_t aLen)
{
    const QStringView kept = QStringView(aText).left(aLen);
    const bool ascii = aLen >= 0 && std::all_of(kept.begin(), kept.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
    {
        CVexilLib::PadOrCut(aText, aLen);
        for (const QChar c : std::as_const(aText))
            aKey += c.toUpper();
        return;
    }
    const qsizetype at = aKey.size();
    aKey.resize(at + aLen, u' ');
    QChar* out = aKey.data() + at;
    for (const QChar c : kept)
        *out++ = c >= u'a' && c <= u'z' ? QChar(c.unicode() - (u'a' - u'A')) : c;
}

int Sign(double aA, double aB)
{
    return aA < aB ? -1 : (aA > aB ? 1 : 0);
}

// The result of compare for an order found: after (2) or before (0), turned round descending.
int32_t Result(int aOrder, int32_t aWay)
{
    const bool after = (aOrder > 0) != (aWay == 1);
    return after ? 2 : 0;
}
}  // namespace

void CVexilSortKey::Contruct(int32_t aId, const QString& aName, int32_t aBackgroundId)
{
    iId = aId;
    iName = aName;
    iBackgroundId = aBackgroundId;
    iCount = 0;
    iChanged = true;
}

QString CVexilSortKey::ObjDescr() const
{
    return QStringLiteral("CVexilSortKey name=") + iName + QStringLiteral(",id=") + QString::number(iId);
}

int32_t CVexilSortKey::KeyLen() const
{
    int32_t len = KIdWidth;
    for (int32_t i = 0; i < iCount; ++i)
        len += iParts[i].Len;
    return len;
}

void CVexilSortKey::AddKeyPart(int32_t aType, int32_t aControlId, int32_t aWay, int16_t aLen)
{
    if (iCount >= KMaxParts)
        CVexilError::RaiseRunError(ERunSubscript, QStringLiteral("CVexilSortKey.AddKeyPart"));
    const int32_t pos = iCount == 0 ? 0 : iParts[iCount - 1].Pos + iParts[iCount - 1].Len;
    if (pos > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilSortKey.AddKeyPart"));
    iParts[iCount] = TKeyPart{aType, aControlId, aWay, aLen, int16_t(pos)};
    ++iCount;
    iChanged = true;
}

void CVexilSortKey::Clear()
{
    iCount = 0;
    iChanged = true;
}

bool CVexilSortKey::GetFirstKeyPart(TKeyPart& aPart, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextKeyPart(aPart, aCursor);
}

bool CVexilSortKey::GetNextKeyPart(TKeyPart& aPart, int32_t& aCursor) const
{
    if (aCursor < 0 || aCursor >= iCount)
        return false;
    aPart = iParts[aCursor++];
    return true;
}

bool CVexilSortKey::ControlOccurs(int32_t aControlId) const
{
    for (int32_t i = 0; i < iCount; ++i)
        if (iParts[i].ControlId == aControlId)
            return true;
    return false;
}

int CVexilSortKey::ComparePiece(const TKeyPart& aPart, QStringView aPiece1, QStringView aPiece2) const
{
    switch (aPart.Type)
    {
    case EConTypeText:
    {
        QString buffer1;
        QString buffer2;
        return CVexilTextCompare::Compare(Raw(StrippedText(aPiece1, buffer1)), Raw(StrippedText(aPiece2, buffer2)));
    }
    case EConTypeInteger:
    case EConTypeDate:
    case EConTypeTime:
    case EConTypeBoolean:
        // Rounded as a 32-bit integer would be, without failing on a piece beyond its range.
        return Sign(std::nearbyint(PieceNumber(aPiece1)), std::nearbyint(PieceNumber(aPiece2)));
    case EConTypeReal: return Sign(PieceNumber(aPiece1), PieceNumber(aPiece2));
    default:
        CVexilError::CheckFailed(false, this, QStringLiteral("Compare"), QStringLiteral("type ") + QString::number(aPart.Type));
        return 0;
    }
}

int32_t CVexilSortKey::compare(const QString& aKey1, const QString& aKey2) const
{
    const QStringView key1(aKey1);
    const QStringView key2(aKey2);
    for (int32_t i = 0; i < iCount; ++i)
    {
        const TKeyPart& part = iParts[i];
        const int order = ComparePiece(part, key1.mid(part.Pos, part.Len), key2.mid(part.Pos, part.Len));
        if (order != 0)
            return Result(order, part.Way);
    }
    // The card ids, right-aligned, order as numbers when compared as text.
    const int order = key1.right(KIdWidth).compare(key2.right(KIdWidth));
    if (order == 0)
        return 1;
    return Result(order, iCount > 0 ? iParts[iCount - 1].Way : 0);
}

uint64_t CVexilSortKey::Hint(const QString& aKey) const
{
    if (iCount == 0 || iParts[0].Type != EConTypeText)
        return 0;
    const TKeyPart& part = iParts[0];
    QString buffer;
    return CVexilTextCompare::Hint(StrippedText(QStringView(aKey).mid(part.Pos, part.Len), buffer), false,
                                   part.Way == 1);
}

uint64_t CVexilSortKey::HintLayout() const
{
    if (iCount == 0)
        return 0;
    const TKeyPart& part = iParts[0];
    return (uint64_t(uint16_t(part.Type)) << 48) | (uint64_t(uint16_t(part.Way)) << 32) |
           (uint64_t(uint16_t(part.Pos)) << 16) | uint16_t(part.Len);
}

QString CVexilSortKey::BuildKey(CVexilCard& aCard) const
{
    CVexilError::CheckFailed(aCard.BackgroundId() == iBackgroundId, this, QStringLiteral("BuildKey"),
                             QStringLiteral("background"));
    QString key;
    key.reserve(KeyLen());
    for (int32_t i = 0; i < iCount; ++i)
    {
        TValue value;
        aCard.GetControlVal(iParts[i].ControlId, value, false);
        AppendPiece(key, CVexilValue::ValToIntText(value), iParts[i].Len);
    }
    key += CVexilLib::NumToPaddedStr(aCard.Id(), KIdWidth);
    return key;
}

int32_t CVexilSortKey::ExtLen()
{
    return CVexilBinObj::ExtBinObjStartLen() + CVexilBinObj::ExtIntLen() + CVexilFile::ExtStrLen(iName) +
           CVexilBinObj::ExtIntLen() + CVexilBinObj::ExtShortLen() + 12 * iCount;
}

void CVexilSortKey::Externalize(CVexilFile& aFile)
{
    CVexilBinObj::WriteBinObjStart(aFile, EObjSortKey);
    aFile.WriteInt(iId);
    aFile.WriteStr(iName);
    aFile.WriteInt(iBackgroundId);
    aFile.WriteShort(iCount);
    for (int32_t i = 0; i < iCount; ++i)
    {
        const TKeyPart& part = iParts[i];
        aFile.WriteShort(int16_t(part.Type));
        aFile.WriteInt(part.ControlId);
        aFile.WriteShort(int16_t(part.Way));
        aFile.WriteShort(part.Len);
        aFile.WriteShort(part.Pos);
    }
}

QString CVexilSortKey::PartsFault(int32_t aCount) const
{
    int32_t pos = 0;
    for (int32_t i = 0; i < aCount; ++i)
    {
        const TKeyPart& part = iParts[i];
        if (part.Pos != pos || part.Len < 0)
            return QStringLiteral("part ") + QString::number(i) + QStringLiteral(" pos=") + QString::number(part.Pos) +
                   QStringLiteral(", len=") + QString::number(part.Len) + QStringLiteral(", expected pos=") +
                   QString::number(pos);
        pos += part.Len;
    }
    if (pos + KIdWidth > std::numeric_limits<int16_t>::max())
        return QStringLiteral("key length ") + QString::number(pos + KIdWidth);
    return {};
}

void CVexilSortKey::Internalize(CVexilFile& aFile)
{
    CVexilBinObj::ReadBinObjStart(aFile, EObjSortKey);
    iId = aFile.ReadInt();
    iName = aFile.ReadStr();
    iBackgroundId = aFile.ReadInt();
    const int16_t count = aFile.ReadShort();
    if (count < 0 || count > KMaxParts)
        CVexilError::RaiseRunError(ERunSubscript, kReadContext);
    for (int32_t i = 0; i < count; ++i)
    {
        TKeyPart& part = iParts[i];
        part.Type = aFile.ReadShort();
        part.ControlId = aFile.ReadInt();
        part.Way = aFile.ReadShort();
        part.Len = aFile.ReadShort();
        part.Pos = aFile.ReadShort();
    }
    const QString fault = PartsFault(count);
    CVexilError::CheckStruct(fault.isEmpty(), &aFile, kReadContext, fault);
    iCount = count;
    iChanged = false;
}

bool CVexilSortKey::IsInXml(const QString& aName) const
{
    return aName.compare(kXmlName, Qt::CaseInsensitive) == 0;
}

void CVexilSortKey::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    aWriter.BeginElem(kXmlName);
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjSortKey).Written);
    aWriter.AddIntAttr(QStringLiteral("id"), iId);
    aWriter.AddAttr(QStringLiteral("name"), iName);
    aWriter.AddIntAttr(QStringLiteral("backgroundId"), iBackgroundId);
    aWriter.AddShortAttr(QStringLiteral("numKeyPart"), iCount);
    aWriter.BeginStruct();
    for (int32_t i = 0; i < iCount; ++i)
    {
        const TKeyPart& part = iParts[i];
        aWriter.BeginElem(kPartName);
        aWriter.AddIntAttr(QStringLiteral("type"), part.Type);
        aWriter.AddIntAttr(QStringLiteral("controlId"), part.ControlId);
        aWriter.AddIntAttr(QStringLiteral("way"), part.Way);
        aWriter.AddShortAttr(QStringLiteral("len"), part.Len);
        aWriter.AddShortAttr(QStringLiteral("pos"), part.Pos);
        aWriter.EndEmptyElem();
    }
    aWriter.EndElem(kXmlName);
}

void CVexilSortKey::InternalizeXml(CVexilXmlParser& aParser)
{
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, kXmlContext, QStringLiteral("InternalizeXml term"));
    iId = aParser.IntAttr(QStringLiteral("id"));
    iName = aParser.Attr(QStringLiteral("name"));
    iBackgroundId = aParser.IntAttr(QStringLiteral("backgroundId"));
    const int16_t count = aParser.ShortAttr(QStringLiteral("numKeyPart"));
    if (count < 0 || count > KMaxParts)
        CVexilError::RaiseRunError(ERunSubscript, kXmlContext);
    for (int32_t i = 0; i < count; ++i)
    {
        aParser.ReadTheNext(kPartName, false);
        aParser.ReadAttrAndSym(empty);
        CheckXml(aParser, empty, kXmlContext, QStringLiteral("Part term"));
        TKeyPart& part = iParts[i];
        part.Type = aParser.IntAttr(QStringLiteral("type"));
        part.ControlId = aParser.IntAttr(QStringLiteral("controlId"));
        part.Way = aParser.IntAttr(QStringLiteral("way"));
        part.Len = aParser.ShortAttr(QStringLiteral("len"));
        part.Pos = aParser.ShortAttr(QStringLiteral("pos"));
    }
    const QString fault = PartsFault(count);
    CheckXml(aParser, fault.isEmpty(), kXmlContext, fault);
    aParser.ReadTheNext(kXmlName, true);
    iCount = count;
    iChanged = false;
}
