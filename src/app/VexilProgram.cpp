#include "app/VexilProgram.h"

#include "app/VexilWindowClasses.h"

void CVexilProgram::Main(const TMainOptions& aOptions)
{
    RegisterWindowClasses();
    CVexilProgramWindows::Install();
    CVexilWinMan::Main(aOptions);
}
