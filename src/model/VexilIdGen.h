#pragma once

#include "foundation/VexilObject.h"

#include <cstdint>

// The source of every id of a stack except card ids: backgrounds, fields, sort keys, key
// indexes and pictures share its one number space. Ids only grow, also across saving and
// reading, so no id is given twice within a stack.
class CVexilIdGen : public CVexilObject
{
public:
    void Construct();
    QString ObjDescr() const override;

    // The id to give, then the next one is prepared.
    int32_t NextId();
    // The id that NextId will give.
    int32_t PeekId() const { return iNextId; }

    bool Changed() const override { return iChanged; }
    void SetChanged(bool aChanged) override { iChanged = aChanged; }

private:
    int32_t iNextId = 0;
    bool iChanged = false;
};
