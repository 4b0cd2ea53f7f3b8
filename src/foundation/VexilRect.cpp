#include "foundation/VexilRect.h"

#include "foundation/VexilBinObj.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <cmath>
#include <limits>

namespace
{
// A number beyond the range of a Single is an infinity of its sign, not a conversion that the
// language leaves undefined.
float ToSingle(double aValue)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (aValue > kMax || aValue < -kMax)
        return aValue > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return float(aValue);
}
}  // namespace

QString CVexilRect::ObjDescr() const
{
    return QStringLiteral("CVexilRect");
}

void CVexilRect::Construct(float aX, float aY, float aWidth, float aHeight)
{
    iX = aX;
    iY = aY;
    iWidth = aWidth;
    iHeight = aHeight;
    iChanged = true;
}

void CVexilRect::SetX(float aX)
{
    iX = aX;
    iChanged = true;
}

void CVexilRect::SetY(float aY)
{
    iY = aY;
    iChanged = true;
}

void CVexilRect::SetHeight(float aHeight)
{
    iHeight = aHeight;
    iChanged = true;
}

void CVexilRect::SetWidth(float aWidth)
{
    iWidth = aWidth;
    iChanged = true;
}

bool CVexilRect::IsNull() const
{
    return iX == 0 && iY == 0 && iWidth == 0 && iHeight == 0;
}

bool CVexilRect::IsFinite() const
{
    return std::isfinite(iX) && std::isfinite(iY) && std::isfinite(iWidth) && std::isfinite(iHeight);
}

int32_t CVexilRect::ExtLen()
{
    return CVexilBinObj::ExtBinObjStartLen() + 4 * int32_t(sizeof(float));
}

void CVexilRect::Externalize(CVexilFile& aFile)
{
    CVexilBinObj::WriteBinObjStart(aFile, EObjRect);
    aFile.WriteSingle(iX);
    aFile.WriteSingle(iY);
    aFile.WriteSingle(iWidth);
    aFile.WriteSingle(iHeight);
}

void CVexilRect::Internalize(CVexilFile& aFile)
{
    CVexilBinObj::ReadBinObjStart(aFile, EObjRect);
    iX = aFile.ReadSingle();
    iY = aFile.ReadSingle();
    iWidth = aFile.ReadSingle();
    iHeight = aFile.ReadSingle();
    iChanged = false;
}

bool CVexilRect::IsInXml(const QString& aName) const
{
    return aName == QStringLiteral("Rect");
}

void CVexilRect::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    aWriter.BeginElem(QStringLiteral("Rect"));
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjRect).Written);
    aWriter.AddSingleAttr(QStringLiteral("x"), iX);
    aWriter.AddSingleAttr(QStringLiteral("y"), iY);
    aWriter.AddSingleAttr(QStringLiteral("width"), iWidth);
    aWriter.AddSingleAttr(QStringLiteral("height"), iHeight);
    aWriter.EndEmptyElem();
}

void CVexilRect::InternalizeXml(CVexilXmlParser& aParser)
{
    aParser.ReadAttrTerm();
    CheckXml(aParser, aParser.ShortAttr(QStringLiteral("gen")) == CVexilBinObj::Generations(EObjRect).Written,
             QStringLiteral("CVexilRect.InternalizeXml"), QStringLiteral("gen"));
    iX = ToSingle(aParser.RealAttr(QStringLiteral("x")));
    iY = ToSingle(aParser.RealAttr(QStringLiteral("y")));
    iWidth = ToSingle(aParser.RealAttr(QStringLiteral("width")));
    iHeight = ToSingle(aParser.RealAttr(QStringLiteral("height")));
    iChanged = false;
}
