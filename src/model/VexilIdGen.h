#pragma once

#include "foundation/VexilStoredObj.h"

#include <cstdint>

// The source of every id of a stack except card ids: backgrounds, fields, sort keys, key
// indexes and pictures share its one number space. Ids only grow, also across saving and
// reading, so no id is given twice within a stack.
class CVexilIdGen : public CVexilStoredObj
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

    // Its record inside the stack's (VexilStackIo.cpp).
    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    int32_t iNextId = 0;
    bool iChanged = false;
};
