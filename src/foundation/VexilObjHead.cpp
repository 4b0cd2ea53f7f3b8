#include "foundation/VexilObjHead.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <limits>

namespace
{
const QString kInternalizeContext = QStringLiteral("CVexilLib.InternalizeBaseObj");
const QString kXmlContext = QStringLiteral("CVexilLib.InternalizeHeadXml");
}  // namespace

void CVexilObjHead::ExternalizeBaseObj(const IVexilBaseObj& aObj, CVexilFile& aFile, EObjTypeId aTypeId)
{
    CVexilBinObj::WriteBinObjStart(aFile, aTypeId);
    aFile.WriteStr(aObj.Name());
    aFile.WriteInt(aObj.Id());
    aFile.WriteInt(aObj.Flags());
    aFile.WriteStr(aObj.ScriptSource());
    const int16_t numScripts = ScriptCount(aObj);
    aFile.WriteShort(numScripts);
    if (numScripts > 0)
        aObj.Script()->Externalize(aFile);
    const auto font = aObj.Font();
    aFile.WriteBoolean(font != nullptr);
    if (font)
        font->Externalize(aFile);
    aFile.WriteInt(aObj.BackColor());
}

int16_t CVexilObjHead::InternalizeBaseObj(IVexilBaseObj& aObj, CVexilFile& aFile, EObjTypeId aTypeId)
{
    const int16_t gen = CVexilBinObj::ReadBinObjStart(aFile, aTypeId);
    aObj.SetName(aFile.ReadStr());
    aObj.SetId(aFile.ReadInt());
    aObj.SetFlags(aFile.ReadInt());
    aObj.SetScriptSource(aFile.ReadStr());
    const int16_t numScripts = aFile.ReadShort();
    if (numScripts < 0)  // the text only on failure: every card read passes here
        CVexilError::CheckStruct(false, &aFile, kInternalizeContext, QStringLiteral("numScripts ") + QString::number(numScripts));
    std::shared_ptr<CVexilArray> script;
    if (numScripts > 0)
    {
        script = std::make_shared<CVexilArray>();
        script->Internalize(aFile);
        CVexilError::CheckStruct(script->Count() == numScripts, &aFile, kInternalizeContext,
                                 QStringLiteral("numScripts ") + QString::number(numScripts) +
                                     QStringLiteral(", max=") + QString::number(script->Count()));
    }
    aObj.SetScript(script);
    std::shared_ptr<CVexilFont> font;
    if (aFile.ReadBoolean())
    {
        font = std::make_shared<CVexilFont>();
        font->Internalize(aFile);
    }
    aObj.SetFont(font);
    aObj.SetBackColor(aFile.ReadInt());
    return gen;
}

int32_t CVexilObjHead::ExtLenBaseObj(const IVexilBaseObj& aObj)
{
    int32_t len = CVexilBinObj::ExtBinObjStartLen() + CVexilFile::ExtStrLen(aObj.Name()) +
                  2 * CVexilBinObj::ExtIntLen() + CVexilFile::ExtStrLen(aObj.ScriptSource()) +
                  CVexilBinObj::ExtShortLen();
    if (ScriptCount(aObj) > 0)
        len += aObj.Script()->ExtLen();
    len += CVexilBinObj::ExtShortLen();
    if (const auto font = aObj.Font())
        len += font->ExtLen();
    return len + CVexilBinObj::ExtIntLen();
}

bool CVexilObjHead::IsChanged(const CVexilObject* aObj)
{
    return aObj && aObj->Changed();
}

int16_t CVexilObjHead::ScriptCount(const IVexilBaseObj& aObj)
{
    const auto script = aObj.Script();
    if (!script)
        return 0;
    if (script->Count() > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilLib.ScriptCount"));
    return int16_t(script->Count());
}

void CVexilObjHead::AddHeadAttrs(const IVexilBaseObj& aObj, CVexilXmlWriter& aWriter)
{
    aWriter.AddShortAttr(QStringLiteral("numScripts"), ScriptCount(aObj));
    aWriter.AddBooleanAttr(QStringLiteral("fontDef"), aObj.Font() != nullptr);
}

TXmlHeadAttrs CVexilObjHead::ReadHeadAttrs(const CVexilXmlParser& aParser)
{
    return {aParser.ShortAttr(QStringLiteral("numScripts")), aParser.BooleanAttr(QStringLiteral("fontDef"))};
}

void CVexilObjHead::ExternalizeHeadXml(const IVexilBaseObj& aObj, CVexilXmlWriter& aWriter)
{
    CVexilStoredObj::WriteXmlTextElem(aWriter, QStringLiteral("ScriptSource"), aObj.ScriptSource());
    if (ScriptCount(aObj) > 0)
        aObj.Script()->ExternalizeXml(aWriter);
    if (const auto font = aObj.Font())
        font->ExternalizeXml(aWriter);
}

void CVexilObjHead::InternalizeHeadXml(IVexilBaseObj& aObj, CVexilXmlParser& aParser, const TXmlHeadAttrs& aAttrs)
{
    aObj.SetScriptSource(CVexilStoredObj::ReadXmlTextElem(aParser, QStringLiteral("ScriptSource"), kXmlContext));
    std::shared_ptr<CVexilArray> script;
    if (aAttrs.NumScripts > 0)
    {
        script = std::make_shared<CVexilArray>();
        CVexilStoredObj::ReadXmlChild(aParser, *script, kXmlContext, QStringLiteral("InternalizeXml iScript"));
    }
    aObj.SetScript(script);
    std::shared_ptr<CVexilFont> font;
    if (aAttrs.FontDef)
    {
        font = std::make_shared<CVexilFont>();
        CVexilStoredObj::ReadXmlChild(aParser, *font, kXmlContext, QStringLiteral("InternalizeXml iFont"));
    }
    aObj.SetFont(font);
}
