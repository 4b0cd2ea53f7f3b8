#pragma once

#include "foundation/VexilObject.h"

#include <QString>

#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilStack;

// The objects that carry a script: a stack, a background, a card or a field. Reads and writes
// their source and handlers whatever their kind, and tells whether one still belongs to a
// stack, so that a script is never stored into an object the stack no longer holds.
class CVexilScriptObj
{
public:
    static bool IsScriptObj(const TObjRef& aObj);
    // The script editor's caption for the object; empty for any other kind.
    static QString Caption(const TObjRef& aObj);
    // The source text (CR LF line ends); empty for any other kind.
    static QString Source(const TObjRef& aObj);
    // Sets the source and the handlers; the object's setters mark it changed.
    static void Store(const TObjRef& aObj, const QString& aSource, const std::shared_ptr<CVexilArray>& aScript);
    // Whether the object is aStack itself or one of its backgrounds, cards or fields.
    static bool InStack(const TObjRef& aObj, const CVexilStack* aStack);
    // Whether a change broadcast (kind and first object) takes the object out of aStack:
    // closing the stack, deleting the card or the background it is or belongs to, or a change
    // of the structure or of the cards after which it is no longer there.
    static bool LeavesStack(const TObjRef& aObj, int32_t aEvent, const TObjRef& aObj0, const CVexilStack* aStack);
};
