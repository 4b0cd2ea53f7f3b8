#pragma once

#include "foundation/VexilError.h"

#include <QString>

#include <functional>

// The number of the error that aDo raises, or 0 when it raises none.
inline int32_t RaisedError(const std::function<void()>& aDo)
{
    try
    {
        aDo();
    }
    catch (const CVexilException& e)
    {
        return e.Number();
    }
    return 0;
}

// As RaisedError, and the error is recorded as the first statement of a handler with the
// context aContext records it (CatchRunError).
inline int32_t CaughtError(const std::function<void()>& aDo, const QString& aContext)
{
    try
    {
        aDo();
    }
    catch (const CVexilException& e)
    {
        CVexilError::CatchRunError(aContext, e);
        return e.Number();
    }
    return 0;
}
