#include "foundation/VexilDialogLib.h"

#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"
#include "presentation/VexilListBox.h"

// The fillers of the dialogs' lists and combo boxes.

namespace
{
void AddFirstLine(CVexilListBox& aList, const QString& aFirstLine)
{
    if (!aFirstLine.isEmpty())
        aList.AddLine(aFirstLine, nullptr);
}
}  // namespace

void CVexilDialogLib::FillBackgroundList(CVexilListBox& aList, const CVexilStack* aStack, const QString& aFirstLine,
                                         const CVexilControlSet* aExcluded)
{
    aList.Clear();
    if (!aStack)
    {
        aList.AddLine(QStringLiteral("(No stack available)"), nullptr);
    }
    else
    {
        AddFirstLine(aList, aFirstLine);
        TControlSetRef background;
        int32_t cursor = 0;
        for (bool more = aStack->GetFirstBackground(background, cursor); more;
             more = aStack->GetNextBackground(background, cursor))
        {
            if (background.get() != aExcluded)
                aList.AddLine(background->Name(), background);
        }
    }
    aList.Show();
}

void CVexilDialogLib::FillControlList(CVexilListBox& aList, const CVexilControlSet& aBackground,
                                      const QString& aFirstLine, bool aWithTypes, bool aOnlyComboCapable)
{
    aList.Clear();
    AddFirstLine(aList, aFirstLine);
    const QString typeSeparator = aList.LisType() == ELisCombo ? QStringLiteral("  (") : QStringLiteral("\t");
    const QString typeEnd = aList.LisType() == ELisCombo ? QStringLiteral(")") : QString();
    TControlRef control;
    int32_t cursor = 0;
    for (bool more = aBackground.GetFirstControl(control, cursor); more;
         more = aBackground.GetNextControl(control, cursor))
    {
        if (aOnlyComboCapable && !control->AllowsCombo())
            continue;
        QString line = control->Name();
        if (aWithTypes)
            line += typeSeparator + control->TypeStr() + typeEnd;
        aList.AddLine(line, control);
    }
    aList.Show();
}

void CVexilDialogLib::FillSortKeyList(CVexilListBox& aList, const CVexilControlSet& aBackground,
                                      const QString& aFirstLine)
{
    aList.Clear();
    AddFirstLine(aList, aFirstLine);
    if (const CVexilStack* stack = aBackground.Stack())
    {
        TSortKeyRef sortKey;
        int32_t cursor = 0;
        for (bool more = stack->GetFirstSortKey(sortKey, cursor); more; more = stack->GetNextSortKey(sortKey, cursor))
        {
            if (sortKey->BackgroundId() == aBackground.Id())
                aList.AddLine(sortKey->Name(), sortKey);
        }
    }
    aList.Show();
}

void CVexilDialogLib::FillCardList(CVexilListBox& aList, const CVexilControlSet& aBackground,
                                   const CVexilCard* aExcluded)
{
    aList.Clear();
    if (const CVexilStack* stack = aBackground.Stack())
    {
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = stack->GetFirstCardInBackground(aBackground.Id(), card, cursor); more;
             more = stack->GetNextCardInBackground(aBackground.Id(), card, cursor))
            if (card.get() != aExcluded)
                aList.AddLine(card->Name(), card);
    }
    aList.Show();
}

void CVexilDialogLib::FillTypeList(CVexilListBox& aList)
{
    aList.Clear();
    aList.AddCommaList(QStringLiteral("Text,Integer,Float,Date,Time,Boolean,List,Command,Picture"));
    aList.Show();
}

void CVexilDialogLib::FillStdCmdList(CVexilListBox& aList)
{
    aList.Clear();
    aList.AddCommaList(QStringLiteral("(None),First Card,Previous Card,Next Card,Last Card,Back in History,"
                                      "Forward in History,Go to Card by Name,Show Card List,Select Card"));
    aList.Show();
}
