#include "presentation/VexilCurrentStack.h"

#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilStackView.h"
#include "script/VexilStackViewLink.h"

namespace
{
std::function<void(const QString&)> gAddFileHistory;
}  // namespace

void CVexilCurrentStack::Install()
{
    static CVexilCurrentStack host;
    CVexilStackHost::Install(&host);
    CVexilStackViewRec::SetWindowSizer([](int16_t aWidth, int16_t aHeight, float& aOuterWidth, float& aOuterHeight) {
        const TWindowSize size = CVexilLowLevelUi::ClientToWindowSize(aWidth, aHeight);
        aOuterWidth = size.Width;
        aOuterHeight = size.Height;
    });
}

void CVexilCurrentStack::SetFileHistory(std::function<void(const QString&)> aAddFileHistory)
{
    gAddFileHistory = std::move(aAddFileHistory);
}

void CVexilCurrentStack::ReleaseView()
{
    if (gStackView)
        gStackView->Release();
}

void CVexilCurrentStack::OpenStack(const TStackRef& aStack, const TStackViewRecRef& aView)
{
    auto view = std::make_shared<CVexilStackView>();
    view->ContructOnRec(aView);
    view->SetStack(aStack);
    gStack = aStack;
    gStackView = view;
    // Before the windows open: the first card's "openCard" handler already reads this view.
    CVexilStackViewLink::Install(view.get());
    view->OpenCardList();
    view->OpenCardView();
}

void CVexilCurrentStack::AddFileHistory(const QString& aFileName)
{
    if (gAddFileHistory)
        gAddFileHistory(aFileName);
}
