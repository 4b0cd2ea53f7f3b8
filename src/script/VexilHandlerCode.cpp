#include "script/VexilHandlerCode.h"

#include "foundation/VexilError.h"
#include "script/VexilCodeReader.h"

namespace
{
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
                    iCode.iInstrs.push_back(TInstr{EInsContinue, 0, 0, at, at});
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
        aInstr.Opc = iReader.Byte();
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
        aInstr.Op = next == EOpcPushVar ? EInsPushLocal : EInsStoreLocal;
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
    return code;
}
