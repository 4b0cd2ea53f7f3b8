#pragma once

#include "foundation/VexilError.h"

#include <QString>

#include <exception>

class CVexilStack;

// What the importers share: their error handling and the checks of what a file may bring
// into a stack.
namespace VexilImportSupport
{
// The longest text one value of a binary stack file holds.
constexpr qsizetype KMaxBinaryChars = 16383;

// Error 1007 naming the file, with what was wrong as the second parameter.
[[noreturn]] void WrongFormat(const QString& aContext, const QString& aFileName, const QString& aDetail);

// A text that the next binary save of aStack could not write is error 1007.
void CheckStoredText(const CVexilStack& aStack, const QString& aText, const QString& aContext,
                     const QString& aFileName);

// Runs aDo; on any error records aContext (CatchRunError), runs aCleanUp and passes the error on.
template <class FDo, class FCleanUp>
void PassOnErrors(const QString& aContext, FDo&& aDo, FCleanUp&& aCleanUp)
{
    try
    {
        aDo();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(aContext, e);
        try
        {
            aCleanUp();
        }
        catch (const std::exception&)
        {
            // the first error is the one reported
        }
        throw;
    }
}
}  // namespace VexilImportSupport
