#include "interchange/VexilImportSupport.h"

#include "model/VexilStack.h"

void VexilImportSupport::WrongFormat(const QString& aContext, const QString& aFileName, const QString& aDetail)
{
    CVexilError::Throw(EErrWrongFormat, aContext, aFileName, aDetail);
}

void VexilImportSupport::CheckStoredText(const CVexilStack& aStack, const QString& aText, const QString& aContext,
                                         const QString& aFileName)
{
    if ((aStack.Flags() & EStkBinary) != 0 && aText.size() > KMaxBinaryChars)
        WrongFormat(aContext, aFileName,
                    QStringLiteral("a text of %1 characters, longer than a binary stack holds").arg(aText.size()));
}
