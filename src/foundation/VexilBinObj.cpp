#include "foundation/VexilBinObj.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"

namespace
{
const QString kReadContext = QStringLiteral("CVexilLib.ReadBinObjStart");

// A number as the error texts show it: a blank (or the minus sign) and the digits.
QString SignedNum(int32_t aNum)
{
    return aNum < 0 ? QString::number(aNum) : QStringLiteral(" ") + QString::number(aNum);
}
}  // namespace

TObjGenerations CVexilBinObj::Generations(EObjTypeId aTypeId)
{
    switch (aTypeId)
    {
    case EObjControl: return {3, 2, 3};
    case EObjCard: return {1, 1, 1};
    case EObjControlSet: return {3, 3, 3};
    case EObjStack: return {4, 4, 4};
    case EObjArray: return {3, 3, 3};
    case EObjRect: return {1, 1, 1};
    case EObjBlob: return {5, 3, 5};
    case EObjStackView:
    case EObjIdGen:
    case EObjSortKey:
    case EObjBlobStore:
    case EObjFont:
    case EObjStackFile: return {0, 0, 0};
    }
    CVexilError::RaiseRunError(ERunInvalidCall, QStringLiteral("CVexilBinObj.Generations"));
}

void CVexilBinObj::WriteBinObjStart(CVexilFile& aFile, int16_t aTypeId, int16_t aGen)
{
    aFile.WriteShort(aTypeId);
    aFile.WriteShort(aGen);
}

int16_t CVexilBinObj::ReadBinObjStart(CVexilFile& aFile, int16_t aTypeId, int16_t aLowest, int16_t aHighest)
{
    const int16_t typeId = aFile.ReadShort();
    if (typeId != aTypeId)  // the text only on failure: every record read passes here
        CVexilError::CheckStruct(false, &aFile, kReadContext,
                                 QStringLiteral("typeId expected=") + SignedNum(aTypeId) + QStringLiteral(", got=") +
                                     SignedNum(typeId));
    const int16_t gen = aFile.ReadShort();
    if (gen < aLowest)
        CVexilError::Throw(EErrGenTooLow, kReadContext, QStringLiteral("expected=") + SignedNum(aLowest),
                           QStringLiteral("got=") + SignedNum(gen));
    if (gen > aHighest)
        CVexilError::Throw(EErrGenTooHigh, kReadContext, QStringLiteral("expected=") + SignedNum(aHighest),
                           QStringLiteral("got=") + SignedNum(gen));
    return gen;
}

void CVexilBinObj::WriteBinObjStart(CVexilFile& aFile, EObjTypeId aTypeId)
{
    WriteBinObjStart(aFile, aTypeId, Generations(aTypeId).Written);
}

int16_t CVexilBinObj::ReadBinObjStart(CVexilFile& aFile, EObjTypeId aTypeId)
{
    const TObjGenerations gens = Generations(aTypeId);
    return ReadBinObjStart(aFile, aTypeId, gens.Lowest, gens.Highest);
}
