#pragma once

#include "shell/VexilWinMan.h"

// The composition root: the program's window classes registered with the window manager and
// the windows the lower layers open installed, then the start of the program.
class CVexilProgram
{
public:
    // As CVexilWinMan::Main, with every window of the program.
    static void Main(const TMainOptions& aOptions = {});
};
