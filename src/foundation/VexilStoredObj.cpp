#include "foundation/VexilStoredObj.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <map>

namespace
{
std::map<int32_t, CVexilObjFactory::TCreate>& Classes()
{
    static std::map<int32_t, CVexilObjFactory::TCreate> classes{
        {EValArray, [] { return std::make_shared<CVexilArray>(); }},
    };
    return classes;
}
}  // namespace

void CVexilStoredObj::CheckXml(const CVexilXmlParser& aParser, bool aOk, const QString& aContext,
                               const QString& aDetail)
{
    CVexilError::CheckStruct(aOk, &aParser, aContext, aDetail);
}

void CVexilStoredObj::ReadXmlChild(CVexilXmlParser& aParser, CVexilStoredObj& aObj, const QString& aContext,
                                   const QString& aDetail)
{
    QString name;
    bool endTag = false;
    aParser.ReadNext(name, endTag);
    CheckXml(aParser, !endTag && aObj.IsInXml(name), aContext, aDetail);
    aObj.InternalizeXml(aParser);
}

void CVexilStoredObj::WriteXmlTextElem(CVexilXmlWriter& aWriter, const QString& aName, const QString& aText)
{
    aWriter.BeginElem(aName);
    aWriter.AddElemText(aText);
    aWriter.EndElem(aName);
}

QString CVexilStoredObj::ReadXmlTextElem(CVexilXmlParser& aParser, const QString& aName, const QString& aContext)
{
    aParser.ReadTheNext(aName, false);
    bool empty = false;
    aParser.ReadAttr(empty);
    CheckXml(aParser, !empty, aContext, aName + QStringLiteral(" term"));
    QString text;
    aParser.ReadLongElemText(text);
    aParser.ReadTheNext(aName, true);
    return text;
}

void CVexilObjFactory::Register(int32_t aValType, TCreate aCreate)
{
    if (aCreate)
        Classes()[aValType] = std::move(aCreate);
    else
        Classes().erase(aValType);
}

TStoredRef CVexilObjFactory::Create(int32_t aValType)
{
    const auto found = Classes().find(aValType);
    return found == Classes().end() ? nullptr : found->second();
}
