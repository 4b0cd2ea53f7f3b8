#pragma once

#include <functional>

// The busy cursor of long operations, nestable. The shell installs the cursor switch.
class CVexilDialogLib
{
public:
    static void BeginWait();
    // Ends one level; never fails, never goes below zero.
    static void EndWait();
    static int WaitLevel();
    // Called with true when the hourglass must show, false when it must go.
    static void SetCursorHook(std::function<void(bool)> aHook);
};
