#pragma once

#include "model/VexilStackHost.h"

#include <functional>

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
    // Where an opened file goes in the recent-file list (the options keep it); none keeps
    // nothing.
    static void SetFileHistory(std::function<void(const QString&)> aAddFileHistory);

    void ReleaseView() override;
    void OpenStack(const TStackRef& aStack, const TStackViewRecRef& aView) override;
    void AddFileHistory(const QString& aFileName) override;
};
