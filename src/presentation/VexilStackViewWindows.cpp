#include "presentation/VexilStackViewWindows.h"

#include "foundation/VexilMsg.h"

namespace
{
IVexilStackViewWindows* gWindows = nullptr;
}  // namespace

std::shared_ptr<IVexilCardListView> IVexilStackViewWindows::NewCardListView(const TStackRef& /*aStack*/)
{
    return nullptr;
}

void IVexilStackViewWindows::UnloadCardList() {}

void IVexilStackViewWindows::ShowForm(const QString& /*aClassName*/) {}

void IVexilStackViewWindows::ShowRunError(const TRunErrInfo& aInfo)
{
    CVexilMsg::Show(aInfo.MsgId, EMsgClsCritical, aInfo.Param1, aInfo.Param2);
}

void IVexilStackViewWindows::EditWikiText(const TCardRef& /*aCard*/, const TControlRef& /*aField*/) {}

void IVexilStackViewWindows::ShowPicture() {}

bool IVexilStackViewWindows::CloseCurrentStack()
{
    return false;
}

void CVexilStackViewWindows::Install(IVexilStackViewWindows* aWindows)
{
    gWindows = aWindows;
}

IVexilStackViewWindows& CVexilStackViewWindows::Current()
{
    static IVexilStackViewWindows defaults;
    return gWindows ? *gWindows : defaults;
}
