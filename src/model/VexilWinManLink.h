#pragma once

#include "foundation/VexilObject.h"

#include <cstdint>

// The kinds of change that the window manager broadcasts to its windows.
enum EChgKind : int32_t
{
    EChgStackOpened = 0,
    EChgStructure = 1,
    EChgValueType = 2,
    EChgCards = 3,
    EChgSortKeys = 4,
    EChgCardOrder = 5,
    EChgDeletingBackground = 6,
    EChgClosingStack = 7,
    EChgStackClosed = 8,
    EChgDeletingCard = 9,
};

// What the model needs of the window manager: the change broadcast to every open window.
// The application shell implements it; a broadcast may yield to the event loop, so callers
// broadcast only when their own structures are consistent.
class IVexilWinManLink
{
public:
    virtual ~IVexilWinManLink() = default;
    virtual void NotifyAll(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) = 0;
};

class CVexilWinManLink
{
public:
    // Not owned; none (the default) broadcasts to nobody.
    static void Install(IVexilWinManLink* aWinMan);
    static void NotifyAll(int32_t aEvent, const TObjRef& aObj0 = {}, const TObjRef& aObj1 = {});
};
