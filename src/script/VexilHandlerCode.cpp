#include "script/VexilHandlerCode.h"

#include "foundation/VexilError.h"
#include "script/VexilCodeReader.h"

namespace
{
bool IsComparison(uint8_t aOp)
{
    switch (aOp)
    {
    case EOpcEq:
    case EOpcNe:
    case EOpcGt:
    case EOpcGe:
    case EOpcLt:
    case EOpcLe: return true;
    default: return false;
    }
}

bool HasTarget(uint8_t aOp)
{
    switch (aOp)
    {
    case EOpcJumpIfFalse:
    case EOpcJump:
    case EOpcForEachCardInit:
    case EOpcForEachCardNext:
    case EOpcForEachBgCardInit:
    case EOpcForEachBgCardNext: return true;
    default: return false;
    }
}
}  // namespace

// Decodes runs of instructions, each up to a fault or to code decoded before.
class CVexilHandlerCode::TDecoder
{
public:
    TDecoder(CVexilHandlerCode& aCode, CVexilCodeReader& aReader)
        : iCode(aCode), iReader(aReader), iIndexAt(size_t(aReader.Len()) + 1, -1)
    {
    }

    void Decode()
    {
        iStarts.push_back(iReader.Pos());
        // Targets found while decoding add runs of their own.
        for (size_t run = 0; run < iStarts.size(); ++run)
            DecodeRun(iStarts[run]);
        for (TInstr& instr : iCode.iInstrs)
        {
            if (HasTarget(instr.Op) || instr.Op == EInsContinue)
                instr.Arg = iIndexAt[size_t(instr.Arg)];
        }
    }

private:
    void DecodeRun(int32_t aStart)
    {
        iReader.JumpTo(aStart);
        for (;;)
        {
            const int32_t at = iReader.Pos();
            if (iIndexAt[size_t(at)] >= 0)
            {
                if (at != aStart)
                    iCode.iInstrs.push_back(TInstr{EInsContinue, EInsContinue, 0, 0, at, at});
                return;
            }
            iIndexAt[size_t(at)] = int32_t(iCode.iInstrs.size());
            TInstr instr;
            instr.Start = at;
            try
            {
                DecodeOne(instr);
            }
            catch (const CVexilException& e)
            {
                instr.Op = EInsFault;
                instr.Arg = e.Number();
                iCode.iInstrs.push_back(instr);
                return;
            }
            iCode.iInstrs.push_back(instr);
        }
    }

    // Reads one instruction with the reader's checks.
    void DecodeOne(TInstr& aInstr)
    {
        aInstr.Base = iReader.Byte();
        iReader.JumpTo(aInstr.Start);
        aInstr.Op = iReader.Op();
        switch (aInstr.Op)
        {
        case EOpcPushConst:
            aInstr.Arg = int32_t(iCode.iStrConsts.size());
            iCode.iStrConsts.push_back(iReader.StrConst());
            break;
        case EOpcPushInt:
            aInstr.Arg = iReader.Word();
            FuseVariable(aInstr);
            break;
        case EOpcLine:
        case EOpcEnter:
        case EOpcReturn: aInstr.Arg = iReader.Word(); break;
        default:
            if (HasTarget(aInstr.Op))
            {
                aInstr.Arg = iReader.Target();
                if (iIndexAt[size_t(aInstr.Arg)] < 0)
                    iStarts.push_back(aInstr.Arg);
            }
            break;
        }
    }

    void FuseVariable(TInstr& aInstr)
    {
        if (iReader.Pos() >= iReader.Len())
            return;
        const uint8_t next = uint8_t(iReader.Code().at(iReader.Pos()));
        if (next != EOpcPushVar && next != EOpcStoreVar)
            return;
        iReader.Byte();
        aInstr.Op = aInstr.Base = next == EOpcPushVar ? EInsPushLocal : EInsStoreLocal;
        aInstr.Weight = 2;
    }

    CVexilHandlerCode& iCode;
    CVexilCodeReader& iReader;
    std::vector<int32_t> iIndexAt;  // the instruction that starts at a byte offset, -1 for none
    std::vector<int32_t> iStarts;
};

CVexilHandlerCode CVexilHandlerCode::FromHex(const QString& aHex)
{
    CVexilCodeReader reader = CVexilCodeReader::FromHex(aHex);
    reader.Start();
    CVexilHandlerCode code;
    TDecoder(code, reader).Decode();
    code.Group();
    return code;
}

void CVexilHandlerCode::Group()
{
    for (size_t i = 0; i < iInstrs.size(); ++i)
    {
        for (const uint8_t kind : {EInsLineIfInts, EInsLineSetInt, EInsLineJump, EInsIfInts, EInsSetInt})
        {
            const int32_t length = GroupAt(i, kind);
            if (length == 0)
                continue;
            TInstr& head = iInstrs[i];
            head.Op = kind;
            for (size_t k = i + 1; k < i + size_t(length); ++k)
                head.Rest += iInstrs[k].Weight;
            break;
        }
    }
}

int32_t CVexilHandlerCode::GroupAt(size_t aIndex, uint8_t aKind) const
{
    // The instruction at aAt; a fault is none.
    const auto base = [&](size_t aAt) {
        return aAt < iInstrs.size() && iInstrs[aAt].Op != EInsFault ? iInstrs[aAt].Base : uint8_t(0);
    };
    size_t at = aIndex;
    if (aKind == EInsLineIfInts || aKind == EInsLineSetInt || aKind == EInsLineJump)
    {
        if (base(at++) != EOpcLine)
            return 0;
        if (aKind == EInsLineJump)
            return base(at) == EOpcJump ? 2 : 0;
    }
    if (base(at) != EInsPushLocal || (base(at + 1) != EInsPushLocal && base(at + 1) != EOpcPushInt))
        return 0;
    const bool fits = aKind == EInsIfInts || aKind == EInsLineIfInts
                          ? IsComparison(base(at + 2)) && base(at + 3) == EOpcJumpIfFalse
                          : (base(at + 2) == EOpcAdd || base(at + 2) == EOpcSub) && base(at + 3) == EInsStoreLocal;
    return fits ? int32_t(at + 4 - aIndex) : 0;
}
