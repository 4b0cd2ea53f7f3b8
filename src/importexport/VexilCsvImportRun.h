#pragma once

#include "importexport/VexilImportTarget.h"
#include "interchange/VexilImports.h"

// The Import button of the CSV import options, without the window: the file is read first,
// and only a file that was read leaves the current stack (new stack) or deletes the
// background's cards (into the current stack); then the cards are built. A new stack becomes
// current with its views only when it is complete. Errors are reported here.
class CVexilCsvImportRun
{
public:
    enum EEnd
    {
        EImported,     // both dialogs close
        EStay,         // nothing or not all was done; the dialogs stay open
        ELeaveRefused  // the user stayed in the current stack; the CSV dialog closes
    };

    static EEnd Run(const TCsvOptions& aOptions, const TImportTargetState& aTarget);
};
