#pragma once

#include <cstdint>

// What an editor window is doing: nothing edited (inputs empty and read-only), an existing
// object shown (Modify and Delete), or a new object defined (Create). Every editor changes
// its mode only through its SetMode.
enum EEditMode : int32_t
{
    EModeNone = 0,
    EModeModify = 1,
    EModeNew = 2,
};
