#pragma once

#include "model/VexilStackHost.h"

// Makes an opened stack file the current stack (gStack, gStackView): the old view is
// released, a stack view is made on the record read, and the card list and then the card
// window open on the first card. The view is the running scripts' stack view from before its
// first "openCard".
class CVexilCurrentStack : public IVexilStackHost
{
public:
    // Installs the one host for CVexilStackHost::HandleLoadStack, and the card window's
    // frame measure for the default rectangles of stack views.
    static void Install();

    void ReleaseView() override;
    void OpenStack(const TStackRef& aStack, const TStackViewRecRef& aView) override;
    // The recent-file list comes with the options; until then nothing is kept.
    void AddFileHistory(const QString& aFileName) override;
};
