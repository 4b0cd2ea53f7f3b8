#include "editors/VexilControlEdit.h"

#include "editors/VexilCardSelect.h"
#include "editors/VexilControlSelect.h"
#include "editors/VexilFontChain.h"
#include "editors/VexilFontSelect.h"
#include "presentation/VexilListBox.h"
#include "shell/VexilWinMan.h"

// The pickers the window opens: destination card, list columns and font. Each answers
// through this window's SetCard, SetControls or SetFont with case 0.

void CVexilControlEdit::SelectDestCardClicked()
{
    // Any card of the stack.
    CVexilCardSelect::Instance()->SelectCard(this, nullptr, 0);
}

void CVexilControlEdit::SelectControlsClicked()
{
    const auto background = std::dynamic_pointer_cast<CVexilControlSet>(iSelBackgroundList->SelObj());
    if (!background)
        return;
    // Typed names that are no fields of the background are not preselected.
    CVexilControlSelect::Instance()->SelectControls(this, background, 0,
                                                    CVexilControlSelect::IdsOfNames(fListCol->text(), *background));
}

void CVexilControlEdit::SelectFontClicked()
{
    CVexilFontSelect* picker = CVexilFontSelect::Instance();
    CVexilWinMan::ShowForm(*picker);
    picker->SelectFont(this, 0, ELevelControl, iBackground, nullptr, iMode == EModeModify ? iCurControl : nullptr,
                       iFont.get());
}
