#include "foundation/VexilFont.h"

#include "foundation/VexilBinObj.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <QLocale>

QString CVexilFont::ObjDescr() const
{
    return QStringLiteral("CVexilFont ") + iFaceName;
}

void CVexilFont::Construct(const QString& aFaceName, int16_t aSize, int32_t aForeColor)
{
    iFaceName = aFaceName;
    iSize = aSize;
    iForeColor = aForeColor;
    iFlags = 0;
    iChanged = true;
}

void CVexilFont::SetForeColor(int32_t aColor)
{
    iForeColor = aColor;
    iChanged = true;
}

void CVexilFont::SetFlags(int32_t aFlags)
{
    iFlags = aFlags;
    iChanged = true;
}

void CVexilFont::AddFont(const CVexilFont* aFont)
{
    if (!aFont)
        return;
    if (!aFont->iFaceName.isEmpty())
    {
        iFaceName = aFont->iFaceName;
        iChanged = true;
    }
    if (aFont->iSize != UndefInt)
    {
        iSize = aFont->iSize;
        iChanged = true;
    }
    if (aFont->iForeColor != UndefLong)
        SetForeColor(aFont->iForeColor);
    if (aFont->iFlags != 0)
        SetFlags(aFont->iFlags);
}

void CVexilFont::SetDefaults()
{
    if (iFaceName.isEmpty())
    {
        iFaceName = QStringLiteral("Arial");
        iChanged = true;
    }
    if (iSize == UndefInt)
    {
        iSize = KDefaultSize;
        iChanged = true;
    }
    if (iForeColor == UndefLong)
        iForeColor = 0;  // black is no change worth saving
}

float CVexilFont::PointSize() const
{
    return float(iSize) / 20;
}

QString CVexilFont::PointSizeStr() const
{
    if (iSize == UndefInt)
        return {};
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(double(PointSize()), 'g', 7);
}

float CVexilFont::DisplayPointSize(bool aTrueSize) const
{
    if (iSize == UndefInt)
        return UndefInt;
    if (iSize == KDefaultSize && !aTrueSize)
        return 8;
    return PointSize();
}

QString CVexilFont::FaceNameWithFlags() const
{
    QString text = iFaceName;
    if (iFlags & EFontBold)
        text += QStringLiteral(" Bold");
    if (iFlags & EFontItalic)
        text += QStringLiteral(" Italic");
    if (iFlags & EFontUnderline)
        text += QStringLiteral(" Underline");
    return text;
}

int32_t CVexilFont::ExtLen()
{
    return CVexilBinObj::ExtBinObjStartLen() + CVexilFile::ExtStrLen(iFaceName) + CVexilBinObj::ExtShortLen() +
           2 * CVexilBinObj::ExtIntLen();
}

void CVexilFont::Externalize(CVexilFile& aFile)
{
    CVexilBinObj::WriteBinObjStart(aFile, EObjFont);
    aFile.WriteStr(iFaceName);
    aFile.WriteShort(iSize);
    aFile.WriteInt(iForeColor);
    aFile.WriteInt(iFlags);
}

void CVexilFont::Internalize(CVexilFile& aFile)
{
    CVexilBinObj::ReadBinObjStart(aFile, EObjFont);
    iFaceName = aFile.ReadStr();
    iSize = aFile.ReadShort();
    iForeColor = aFile.ReadInt();
    iFlags = aFile.ReadInt();
    iChanged = false;
}

bool CVexilFont::IsInXml(const QString& aName) const
{
    return aName == QStringLiteral("Font");
}

void CVexilFont::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    aWriter.BeginElem(QStringLiteral("Font"));
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjFont).Written);
    aWriter.AddAttr(QStringLiteral("faceName"), iFaceName);
    aWriter.AddShortAttr(QStringLiteral("size"), iSize);
    aWriter.AddIntAttr(QStringLiteral("foreColor"), iForeColor);
    aWriter.AddIntAttr(QStringLiteral("flags"), iFlags);
    aWriter.EndEmptyElem();
}

void CVexilFont::InternalizeXml(CVexilXmlParser& aParser)
{
    aParser.ReadAttrTerm();
    CheckXml(aParser, aParser.ShortAttr(QStringLiteral("gen")) == CVexilBinObj::Generations(EObjFont).Written,
             QStringLiteral("CVexilFont.InternalizeXml"), QStringLiteral("gen"));
    iFaceName = aParser.Attr(QStringLiteral("faceName"));
    iSize = aParser.ShortAttr(QStringLiteral("size"));
    iForeColor = aParser.IntAttr(QStringLiteral("foreColor"));
    const int32_t flags = aParser.IntAttr(QStringLiteral("flags"));
    iFlags = flags == UndefLong ? 0 : flags;  // a missing "flags" is no style, not an unset number
    iChanged = false;
}
