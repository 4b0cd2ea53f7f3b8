#pragma once

#include "foundation/VexilObject.h"

enum EValType : int32_t
{
    EValUndef = 0,
    EValStr = 11,
    EValInt = 12,
    EValReal = 13,
    EValDate = 14,
    EValTime = 15,
    EValBool = 16,
    EValBlobId = 17,
    EValIntPair = 50,
    EValCard = 100,
    EValControl = 101,
    EValControlSet = 102,
    EValSortKey = 103,
    EValArray = 104,
    EValBlob = 105,
};

// The stored value record. Only the field named by iType is meaningful.
// Dates and times are days since 1899-12-30 as a double.
// The members are ordered without padding holes: arrays hold millions of values.
struct TValue
{
    int32_t iType = EValUndef;
    int32_t iInt = 0;
    QString iStr;
    double iReal = 0;
    double iDate = 0;
    double iTime = 0;
    TObjRef iObj;
    int32_t iInt0 = 0;
    int32_t iInt1 = 0;
    bool iBool = false;
};
