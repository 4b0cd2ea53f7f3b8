#include "shell/VexilStackCmds.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilObject.h"

namespace
{
int gBusy = 0;
}  // namespace

CVexilStackCmds::TBusy::TBusy()
{
    ++gBusy;
}

CVexilStackCmds::TBusy::~TBusy()
{
    --gBusy;
}

void CVexilStackCmds::Install() {}

bool CVexilStackCmds::Busy()
{
    return gBusy > 0;
}

TFileDialogPrompt& CVexilStackCmds::LoadDialog()
{
    static TFileDialogPrompt dialog;
    return dialog;
}

TFileDialogPrompt& CVexilStackCmds::ImportPicDialog()
{
    static TFileDialogPrompt dialog;
    return dialog;
}

void CVexilStackCmds::Open() {}
void CVexilStackCmds::OpenRecent(int /*aIndex*/) {}
void CVexilStackCmds::Save() {}
void CVexilStackCmds::SaveAs() {}
void CVexilStackCmds::Close() {}
void CVexilStackCmds::DeleteCard() {}
void CVexilStackCmds::EmptyStack() {}
void CVexilStackCmds::ImportPicFile() {}
void CVexilStackCmds::ShowPicture() {}

TControlRef CVexilStackCmds::GetActiveVexilControl()
{
    return {};
}

int32_t CVexilStackCmds::PictureToShow()
{
    return UndefLong;
}

void CVexilStackCmds::LeaveStack() {}

bool CVexilStackCmds::SaveStack()
{
    return false;
}

bool CVexilStackCmds::SaveStackAs()
{
    return false;
}

void CVexilStackCmds::LoadFile(const QString& /*aFileName*/) {}

void CVexilDialogLib::CheckLeaveStack(bool& aProceed, bool& aSaveFirst)
{
    aProceed = true;
    aSaveFirst = false;
}

bool CVexilDialogLib::CloseCurrentStack()
{
    return false;
}
