#pragma once

#include "script/VexilOpcode.h"

#include <QByteArray>
#include <QString>

// Builds the bytes of one compiled handler. A word above 32767 (a number, a line index or
// a jump target) is an overflow (run-time error 6); a string constant longer than 255 bytes
// is an invalid argument (run-time error 5).
class CVexilCodeWriter
{
public:
    void Clear() { iCode.clear(); }
    const QByteArray& Bytes() const { return iCode; }
    int32_t Pos() const { return int32_t(iCode.size()); }

    void Op(EOpcCode aOp) { iCode.append(char(aOp)); }
    void OpWord(EOpcCode aOp, int32_t aWord);
    // Appends the opcode with the word 0 and returns the word's position for PatchWord.
    int32_t OpPlaceholder(EOpcCode aOp);
    void PatchWord(int32_t aPos, int32_t aWord);
    void Word(int32_t aWord);
    // EOpcPushConst with the text in the system code page.
    void PushConst(const QString& aText);
    void Append(const QByteArray& aCode) { iCode.append(aCode); }
    // Removes and returns the code from aPos on (code compiled aside, to be appended later).
    QByteArray TakeFrom(int32_t aPos)
    {
        QByteArray tail = iCode.mid(aPos);
        iCode.truncate(aPos);
        return tail;
    }

private:
    static void CheckWord(int32_t aWord);

    QByteArray iCode;
};
