#pragma once

#include "script/VexilOpcode.h"

#include <QString>

#include <cstdint>
#include <vector>

// The instructions of a handler beyond the opcodes of the byte code.
enum EInstr : uint8_t
{
    // A variable index pushed right before the instruction that reads or stores the variable:
    // both run as one step, counted as two.
    EInsPushLocal = EOpcLast + 1,
    EInsStoreLocal,
    // Byte code that breaks the rules: run-time error Arg when it is reached.
    EInsFault,
    // Decoding met code decoded before: continue there; no instruction of its own.
    EInsContinue,
    // The first instruction of a group that runs as one step when it can neither fail nor
    // reach a progress step; otherwise the first instruction (Base) runs alone and the others
    // follow as they are. "Value" is a PushLocal or a PushInt.
    EInsIfInts,      // PushLocal, Value, a comparison, JumpIfFalse
    EInsLineIfInts,  // Line, then as EInsIfInts
    EInsSetInt,      // PushLocal, Value, Add or Sub, StoreLocal
    EInsLineSetInt,  // Line, then as EInsSetInt
    EInsLineJump,    // Line, Jump
};

// One instruction with its operand decoded and checked.
struct TInstr
{
    uint8_t Op = 0;      // an EOpcCode or an EInstr
    uint8_t Base = 0;    // the instruction itself: the first of a group, the opcode read of a fault
    uint8_t Weight = 1;  // the byte code instructions it stands for
    uint8_t Rest = 0;    // of the first of a group: the weight of the others
    int32_t Arg = 0;     // word, local index, constant index, instruction index of a target, error
    int32_t Start = 0;   // byte offset in the code
};

// A handler's byte code decoded once when it loads. Code comes from stack files and is never
// trusted: not hexadecimal code or a generation other than 0 fail at once; any other breach of
// the rules becomes a fault instruction that raises its run-time error (9, or 6 for a word
// with a high byte of 128 or more) only when the run reaches it, as reading the code then would.
//
// Decoding follows the code from its start and from every jump target, so whatever the run
// may reach is decoded; each byte offset starts at most one instruction.
class CVexilHandlerCode
{
public:
    CVexilHandlerCode() = default;
    // Raises run-time error 9 (or 6) when the code cannot even start.
    static CVexilHandlerCode FromHex(const QString& aHex);

    bool Empty() const { return iInstrs.empty(); }
    const TInstr* Instrs() const { return iInstrs.data(); }
    const QString& StrConst(int32_t aIndex) const { return iStrConsts[size_t(aIndex)]; }
    // The byte offset reached with instruction aIndex next: the ip.
    int32_t Offset(int32_t aIndex) const { return iInstrs[size_t(aIndex)].Start; }

private:
    class TDecoder;
    // Marks the groups.
    void Group();
    // The length of the group of this kind at aIndex; 0 when the instructions there form none.
    int32_t GroupAt(size_t aIndex, uint8_t aKind) const;

    std::vector<TInstr> iInstrs;
    std::vector<QString> iStrConsts;
};
