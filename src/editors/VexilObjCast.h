#pragma once

#include "foundation/VexilObject.h"

#include <memory>

// The editors' typed view of a list line's object: none when the object is of another kind.
template <class T>
std::shared_ptr<T> As(const TObjRef& aObj)
{
    return std::dynamic_pointer_cast<T>(aObj);
}
