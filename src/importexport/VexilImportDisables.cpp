#include "importexport/VexilImportDisables.h"

#include "foundation/VexilError.h"

TImportDisables TImportDisables::For(EImportFormat aFormat, bool aStackOpen, bool aIntoCurStackChecked)
{
    TImportDisables states;
    // CSV and HanDBase make a new stack, so they need none.
    states.XmlEnabled = aStackOpen;
    states.QuorvanEnabled = aStackOpen;
    states.TextEnabled = aStackOpen;
    switch (aFormat)
    {
    case EImportFormat::EPdb:
        states.IntoCurStackChecked = false;
        break;
    case EImportFormat::EXml:
    case EImportFormat::EQuorvan:
        states.IntoCurStackChecked = true;
        break;
    case EImportFormat::EText:
        states.IntoCurStackChecked = true;
        states.BackgroundBoxEnabled = true;
        break;
    case EImportFormat::ENone:
        CVexilError::Assert(false, QStringLiteral("HandleDisables value"));
        [[fallthrough]];
    case EImportFormat::ECsv:
        states.IntoCurStackEnabled = true;
        states.IntoCurStackChecked = aIntoCurStackChecked;
        states.BackgroundBoxEnabled = aIntoCurStackChecked;
        break;
    }
    return states;
}
