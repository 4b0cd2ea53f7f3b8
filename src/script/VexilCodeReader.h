#pragma once

#include "foundation/VexilError.h"
#include "script/VexilOpcode.h"

#include <QByteArray>
#include <QString>

// Reads the code of one handler. Code comes from stack files and is never trusted: every
// read is checked against the code. A read outside the code, a byte that is no opcode, a jump
// target outside the code, a count above its limit, a constant that is no string and a
// generation other than 0 raise run-time error 9; a word with a high byte of 128 or more
// raises run-time error 6.
class CVexilCodeReader
{
public:
    explicit CVexilCodeReader(QByteArray aCode = {}) : iCode(std::move(aCode)) {}
    // The code of a handler as stored (two hexadecimal digits per byte); anything else is error 9.
    static CVexilCodeReader FromHex(const QString& aHex);

    const QByteArray& Code() const { return iCode; }
    int32_t Len() const { return int32_t(iCode.size()); }
    int32_t Pos() const { return iPos; }

    // Goes to the start and reads the generation word.
    void Start();
    uint8_t Byte()
    {
        if (iPos >= Len())
            Violation(ERunSubscript);
        return uint8_t(iCode.at(iPos++));  // const access: a shared code is never copied
    }
    EOpcCode Op()
    {
        const uint8_t byte = Byte();
        if (byte < EOpcFirst || byte > EOpcLast)
            Violation(ERunSubscript);
        return EOpcCode(byte);
    }
    int32_t Word()
    {
        const int32_t low = Byte();
        const int32_t high = Byte();
        if (high >= 128)
            Violation(ERunOverflow);
        return high * 256 + low;
    }
    // A jump target: a word that lies inside the code.
    int32_t Target();
    // A word not above aMax (the number of locals that still fit the value stack).
    int32_t Count(int32_t aMax);
    // A string constant: the type byte 11, the length byte n and n bytes of the system code page.
    QString StrConst();
    // Continues at a target read with Target.
    void JumpTo(int32_t aTarget) { iPos = aTarget; }

private:
    QString Chars(int32_t aCount);
    [[noreturn]] static void Violation(int32_t aRunError);

    QByteArray iCode;
    int32_t iPos = 0;
};
