#pragma once

#include "foundation/VexilValueDef.h"

#include <QString>

#include <cstdint>
#include <vector>

// The records of a HanDBase (Palm database) file as CVexilPdbFile keeps them.

// One entry of the record list; only Offset is used (0 = no record).
struct TPdbRecEntry
{
    int32_t Offset = 0;
    int16_t Attributes = 0;
    int32_t UniqueId = 0;
};

// The field types a slot's type byte maps to.
enum EPdbType : int32_t
{
    EPdbNone = 0,
    EPdbText = 1,
    EPdbInteger = 2,
    EPdbReal = 3,
    EPdbPopup = 4,
    EPdbBoolean = 5,
    EPdbDate = 8,
    EPdbNote = 12,
    EPdbUnsupported = 99,
};

struct TPdbField
{
    int32_t iType = EPdbNone;
    QString Name;
};

// The values of one data record in field order; fields after the last value read are undefined.
struct TPdbRecord
{
    std::vector<TValue> Values;
    int16_t NumValues = 0;
};

// One entry of a drop-down list: the 11-character key (NUL characters included) and its text.
struct TPdbPopup
{
    QString Key;
    QString Text;
};
