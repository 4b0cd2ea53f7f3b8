#pragma once

#include "foundation/VexilError.h"

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
