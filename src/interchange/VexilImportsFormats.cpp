#include "interchange/VexilExports.h"
#include "interchange/VexilHandBaseImport.h"
#include "interchange/VexilImports.h"
#include "interchange/VexilStackMerge.h"
#include "interchange/VexilTextImport.h"
#include "interchange/VexilXmlCardList.h"

void CVexilImports::ImportXml(CVexilStack& aStack, const QString& aFileName)
{
    CVexilXmlCardList::ImportXml(aStack, aFileName);
}

TStackRef CVexilImports::ImportHandBase(const QString& aFileName)
{
    return CVexilHandBaseImport::ImportHandBase(aFileName);
}

void CVexilImports::ImportQuorvan(CVexilStack& aStack, const QString& aFileName)
{
    CVexilStackMerge::ImportQuorvan(aStack, aFileName);
}

void CVexilImports::ImportTextFile(CVexilStack& aStack, const QString& aFileName, const TControlSetRef& aBackground,
                                   const std::function<void()>& aDeleteCards)
{
    CVexilTextImport::ImportTextFile(aStack, aFileName, aBackground, aDeleteCards);
}

void CVexilExports::ExportXml(CVexilStack& aStack, const QString& aFileName)
{
    CVexilXmlCardList::ExportXml(aStack, aFileName);
}
