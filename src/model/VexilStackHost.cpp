#include "model/VexilStackHost.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "model/VexilStackFile.h"
#include "model/VexilWinManLink.h"

#include <exception>

namespace
{
IVexilStackHost* gHost = nullptr;
const QString kContext = QStringLiteral("CVexilLib.HandleLoadStack");
}  // namespace

void CVexilStackHost::Install(IVexilStackHost* aHost)
{
    gHost = aHost;
}

void CVexilStackHost::HandleLoadStack(const QString& aFileName)
{
    CVexilDialogLib::BeginWait();
    try
    {
        if (!CVexilLib::FileExists(aFileName))
            CVexilError::Throw(EErrFileNotFound, QStringLiteral("HandleLoadStack"), aFileName, QString());
        TStackRef stack;
        TStackViewRecRef view;
        CVexilStackFile file;
        file.Construct(aFileName);
        file.LoadStack(stack, view);
        if (gHost)
        {
            gHost->ReleaseView();
            gHost->OpenStack(stack, view);
        }
        CVexilDialogLib::EndWait();
        CVexilWinManLink::NotifyAll(EChgStackOpened);
        if (stack->OrderCorrections() > 0)
            CVexilMsg::Show(EMsgOrderCorrections, EMsgClsExclamation, QString::number(stack->OrderCorrections()));
        if (gHost)
            gHost->AddFileHistory(aFileName);
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(kContext, e);
        CVexilDialogLib::EndWait();
        CVexilMsg::ShowError();
    }
}

void CVexilStackHost::GetCardAfterBackground(const CVexilControlSet& aBackground, TCardRef& aCard, bool& aFound)
{
    aCard.reset();
    aFound = false;
    const CVexilStack* stack = aBackground.Stack();
    TCardRef last;
    if (stack && stack->GetLastCardInBackground(aBackground.Id(), last))
        aFound = stack->OrderNext(*last, aCard);
}
