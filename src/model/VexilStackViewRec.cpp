#include "model/VexilStackViewRec.h"

#include "foundation/VexilBinObj.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

namespace
{
const QString kXmlName = QStringLiteral("StackView");
const QString kXmlContext = QStringLiteral("CVexilStackView.InternalizeXml");

CVexilStackViewRec::TWindowSizer& Sizer()
{
    static CVexilStackViewRec::TWindowSizer sizer;
    return sizer;
}

std::shared_ptr<CVexilRect> NewRect(float aX, float aY, float aWidth, float aHeight)
{
    auto rect = std::make_shared<CVexilRect>();
    rect->Construct(aX, aY, aWidth, aHeight);
    return rect;
}

std::shared_ptr<CVexilRect> DefaultCardViewRect()
{
    float width = CVexilStackViewRec::KCardViewUnitsWide * 20.0F;
    float height = CVexilStackViewRec::KCardViewUnitsHigh * 20.0F;
    if (Sizer())
        Sizer()(CVexilStackViewRec::KCardViewUnitsWide, CVexilStackViewRec::KCardViewUnitsHigh, width, height);
    return NewRect(7248, 160, width, height);
}

std::shared_ptr<CVexilRect> DefaultCardListRect()
{
    return NewRect(180, 160, 7056, 5472);
}

// The next child element, which must be a rectangle; the detail names what was found instead.
std::shared_ptr<CVexilRect> ReadRectXml(CVexilXmlParser& aParser, const QString& aDetail)
{
    auto rect = std::make_shared<CVexilRect>();
    QString name;
    bool endTag = false;
    aParser.ReadNext(name, endTag);
    CVexilStoredObj::CheckXml(aParser, !endTag && rect->IsInXml(name), kXmlContext,
                              aDetail + QStringLiteral(" ") + name);
    rect->InternalizeXml(aParser);
    return rect;
}
}  // namespace

void CVexilStackViewRec::SetWindowSizer(TWindowSizer aSizer)
{
    Sizer() = std::move(aSizer);
}

CVexilStackViewRec::CVexilStackViewRec() : iCardViewRect(NewRect(0, 0, 0, 0)), iCardListRect(NewRect(0, 0, 0, 0)) {}

void CVexilStackViewRec::Contruct(const QString& aName)
{
    iName = aName;
    iCardViewOpen = false;
    iCardListOpen = false;
    InitRects();
}

QString CVexilStackViewRec::ObjDescr() const
{
    return QStringLiteral("CVexilStackView name=") + iName;
}

void CVexilStackViewRec::SetCardViewRect(std::shared_ptr<CVexilRect> aRect)
{
    if (aRect)
        iCardViewRect = std::move(aRect);
}

void CVexilStackViewRec::SetCardListRect(std::shared_ptr<CVexilRect> aRect)
{
    if (aRect)
        iCardListRect = std::move(aRect);
}

void CVexilStackViewRec::InitRects()
{
    iCardViewRect = DefaultCardViewRect();
    iCardListRect = DefaultCardListRect();
}

void CVexilStackViewRec::MarkClosed()
{
    iCardViewOpen = false;
    iCardListOpen = false;
}

void CVexilStackViewRec::DefaultsForUnplacedRects()
{
    if (iCardViewRect->IsNull())
        InitRects();
    if (!iCardViewRect->IsFinite())
        iCardViewRect = DefaultCardViewRect();
    if (!iCardListRect->IsFinite())
        iCardListRect = DefaultCardListRect();
}

int32_t CVexilStackViewRec::ExtLen()
{
    return CVexilBinObj::ExtBinObjStartLen() + CVexilFile::ExtStrLen(iName) + CVexilBinObj::ExtShortLen() +
           iCardViewRect->ExtLen() + CVexilBinObj::ExtShortLen() + iCardListRect->ExtLen();
}

void CVexilStackViewRec::Externalize(CVexilFile& aFile)
{
    CVexilBinObj::WriteBinObjStart(aFile, EObjStackView);
    aFile.WriteStr(iName);
    aFile.WriteBoolean(iCardViewOpen);
    iCardViewRect->Externalize(aFile);
    aFile.WriteBoolean(iCardListOpen);
    iCardListRect->Externalize(aFile);
}

void CVexilStackViewRec::Internalize(CVexilFile& aFile)
{
    CVexilBinObj::ReadBinObjStart(aFile, EObjStackView);
    iName = aFile.ReadStr();
    iCardViewOpen = aFile.ReadBoolean();
    iCardViewRect = std::make_shared<CVexilRect>();
    iCardViewRect->Internalize(aFile);
    iCardListOpen = aFile.ReadBoolean();
    iCardListRect = std::make_shared<CVexilRect>();
    iCardListRect->Internalize(aFile);
    DefaultsForUnplacedRects();
}

bool CVexilStackViewRec::IsInXml(const QString& aName) const
{
    return aName == kXmlName;
}

void CVexilStackViewRec::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    aWriter.BeginElem(kXmlName);
    aWriter.AddAttr(QStringLiteral("gen"), QStringLiteral("0"));
    aWriter.AddAttr(QStringLiteral("name"), iName);
    aWriter.AddBooleanAttr(QStringLiteral("cardViewOpen"), iCardViewOpen);
    aWriter.AddBooleanAttr(QStringLiteral("cardListOpen"), iCardListOpen);
    aWriter.BeginStruct();
    iCardViewRect->ExternalizeXml(aWriter);
    iCardListRect->ExternalizeXml(aWriter);
    aWriter.EndElem(kXmlName);
}

void CVexilStackViewRec::InternalizeXml(CVexilXmlParser& aParser)
{
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, kXmlContext, QStringLiteral("term"));
    // "gen" is not read: every generation of the element has the same layout.
    iName = aParser.Attr(QStringLiteral("name"));
    iCardViewOpen = aParser.BooleanAttr(QStringLiteral("cardViewOpen"));
    iCardListOpen = aParser.BooleanAttr(QStringLiteral("cardListOpen"));
    iCardViewRect = ReadRectXml(aParser, QStringLiteral("iCardViewRect"));
    iCardListRect = ReadRectXml(aParser, QStringLiteral("iCardListRect"));
    aParser.ReadTheNext(kXmlName, true);
    DefaultsForUnplacedRects();
}
