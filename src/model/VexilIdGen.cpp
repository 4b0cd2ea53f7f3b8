#include "model/VexilIdGen.h"

#include "foundation/VexilLib.h"

void CVexilIdGen::Construct()
{
    iNextId = 0;
    iChanged = true;
}

QString CVexilIdGen::ObjDescr() const
{
    return QStringLiteral("CVexilIdGen next=") + QString::number(iNextId);
}

int32_t CVexilIdGen::NextId()
{
    const int32_t id = iNextId;
    CVexilLib::IncLong(iNextId);  // ids beyond the 32-bit range fail rather than wrap round
    iChanged = true;
    return id;
}
