#pragma once

#include "model/VexilStack.h"
#include "model/VexilStackViewRec.h"

#include <QString>

// What opening a stack file needs of the application: the current stack and its stack view
// (gStack, gStackView), their windows, and the recent-file list. The application shell
// implements it; without one installed a stack is read and checked but made current nowhere.
class IVexilStackHost
{
public:
    virtual ~IVexilStackHost() = default;
    // Closes the card window and the card list of the current stack view, if there is one.
    virtual void ReleaseView() = 0;
    // Makes the stack and a stack view built on the record current, then opens the card list
    // and the card window, which shows the first card.
    virtual void OpenStack(const TStackRef& aStack, const TStackViewRecRef& aView) = 0;
    virtual void AddFileHistory(const QString& aFileName) = 0;
};

class CVexilStackHost
{
public:
    // Not owned; none (the default) for no application.
    static void Install(IVexilStackHost* aHost);

    // Opens a stack file as the current stack and reports every error itself. The file is
    // read and checked completely before the current stack is touched, so a file that cannot
    // be opened leaves the current stack and its windows as they were.
    static void HandleLoadStack(const QString& aFileName);

    // Where new cards of a background go so that they follow its last card in stack order:
    // before aCard, the card after that last card (aFound), or at the end of the stack when
    // the background has no card or its last card ends the stack (aCard none, aFound false).
    static void GetCardAfterBackground(const CVexilControlSet& aBackground, TCardRef& aCard, bool& aFound);
};
