#pragma once

#include <cstdint>

// The instruction set of compiled handlers. The numbers are stored in stack files.
// Operands follow the opcode in the code; "word" operands are 16-bit, low byte first.
enum EOpcCode : uint8_t
{
    EOpcPushConst = 1,          // string constant (11, n, n bytes)
    EOpcValToCard = 2,
    EOpcValToControl = 3,
    EOpcPutIntoField = 4,
    EOpcStop = 5,
    EOpcGoNextCard = 6,
    EOpcEq = 7,
    EOpcJumpIfFalse = 8,        // word target
    EOpcPushFieldVal = 9,
    EOpcAnswer = 10,
    EOpcPushVar = 11,
    EOpcStoreVar = 12,
    EOpcPushInt = 13,           // word value
    EOpcLine = 14,              // word line index
    EOpcGoToCard = 15,
    EOpcNot = 16,
    EOpcMul = 17,
    EOpcDiv = 18,
    EOpcAnd = 19,
    EOpcAdd = 20,
    EOpcSub = 21,
    EOpcNeg = 22,
    EOpcOr = 23,
    EOpcGt = 24,
    EOpcGe = 25,
    EOpcLt = 26,
    EOpcLe = 27,
    EOpcNe = 28,
    EOpcPushCurCard = 29,
    EOpcJump = 30,              // word target
    EOpcForEachCardInit = 31,   // word end
    EOpcForEachCardNext = 32,   // word end
    EOpcRandom = 33,
    EOpcNumCards = 34,
    EOpcValToBackground = 35,
    EOpcForEachBgCardInit = 36, // word end
    EOpcForEachBgCardNext = 37, // word end
    EOpcEnter = 38,             // word number of locals
    EOpcReturn = 39,            // word number of locals
    EOpcConcat = 40,
    EOpcPushReturn = 41,
    EOpcPushTab = 42,
    EOpcPushDate = 43,
    EOpcPushParam = 44,
    EOpcNumBgCards = 45,
    EOpcPop = 46,
    EOpcSend = 47,
};

inline constexpr uint8_t EOpcFirst = EOpcPushConst;
inline constexpr uint8_t EOpcLast = EOpcSend;

// Every handler starts with this generation word.
inline constexpr int32_t kCodeGeneration = 0;
// Words hold 0 to 32767; a high byte of 128 or more is an overflow.
inline constexpr int32_t kCodeMaxWord = 32767;
// A string constant holds at most this many bytes behind its type and length bytes.
inline constexpr int32_t kCodeMaxStrLen = 255;
