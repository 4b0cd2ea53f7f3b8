#include "shell/VexilWinMan.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilLowLevel.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "interchange/VexilExports.h"
#include "model/VexilStackHost.h"
#include "platform/VexilReg.h"
#include "platform/VexilWidgetPrompts.h"
#include "presentation/VexilCardWidgets.h"
#include "script/VexilCompiler.h"
#include "script/VexilInterpreter.h"
#include "shell/VexilFrame.h"
#include "shell/VexilOptions.h"
#include "shell/VexilSave.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWelcome.h"
#include "transfer/VexilHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

namespace
{
// The prompts of the program: real modal windows owned by the main window.
void InstallPrompts(CVexilFrame& aFrame, IVexilPrompts* aPrompts)
{
    static CVexilWidgetPrompts widgetPrompts;
    if (!aPrompts)
    {
        widgetPrompts.SetMainWindow(&aFrame);
        widgetPrompts.SetSavePrompt(&CVexilSave::Ask);
        aPrompts = &widgetPrompts;
    }
    CVexilPrompts::Install(aPrompts);
}

// Says why phones cannot reach the program: the port is held by another program. The server
// goes on trying and the program runs on without it.
void ReportPortInUse(const CVexilFrame& aFrame, uint16_t aPort)
{
    QTimer::singleShot(0, &aFrame, [&aFrame, aPort] {
        if (!gHttpServer || gHttpServer->Listening())
            return;
        if (IVexilPrompts* prompts = CVexilPrompts::Current())
            prompts->Notice(QStringLiteral("The stack transfer server cannot listen on port %1, so phones cannot "
                                           "list, fetch or store stacks. Another program may be using the port.\r\n%2")
                                .arg(aPort)
                                .arg(aFrame.StatusPanel(3)));
    });
}
}  // namespace

std::optional<QString> CVexilWinMan::CommandLineStack(const QStringList& aArguments, const QString& aCurrentFolder)
{
    QString name = aArguments.value(1).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    // An empty name between quotes stays empty: it names no file.
    if (name.isEmpty())
        return name;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(aCurrentFolder).absoluteFilePath(name)));
}

void CVexilWinMan::Main(const TMainOptions& aOptions)
{
    // Module initialisation. The host of opened stacks and the card window's widgets come
    // first: the command line's stack opens into them.
    CVexilStackCmds::Install();
    CVexilCardWidgets::Start();
    CVexilMsg::InitMsg();
    CVexilReg::SetFileName(aOptions.SettingsFile);
    CVexilLowLevel::SetDocumentsFolder(aOptions.DocumentsFolder);
    CVexilOptions::LoadOptions();
    CVexilDialogLib::InitDialogLib();
    CVexilExports::InitExports();
    CVexilDialogLib::SetCursorHook(&CVexilFrame::ShowHourglass);
    RegisterForms();

    // The one compiler and interpreter of the program; a start that finds them made keeps them.
    if (!gCompiler)
    {
        gCompiler = std::make_unique<CVexilCompiler>();
        gCompiler->Construct();
    }
    if (!gInterpreter)
    {
        gInterpreter = std::make_unique<CVexilInterpreter>();
        gInterpreter->Construct();
    }

    auto* frame = static_cast<CVexilFrame*>(NameToForm(QLatin1String(KFrame)));
    frame->SetProgramEnd(aOptions.ProgramEnd);
    InstallPrompts(*frame, aOptions.Prompts);
    ShowForm(*frame);

    bool welcome = true;
    const QStringList arguments = aOptions.Arguments.value_or(QCoreApplication::arguments());
    const std::optional<QString> stack = CommandLineStack(arguments, QDir::currentPath());
    if (stack || !gAutoLoadName.isEmpty())
    {
        // A close request in the opening's yields must not leave the stack half opened.
        const CVexilStackCmds::TBusy busy;
        CVexilStackHost::HandleLoadStack(stack.value_or(gAutoLoadName));
        welcome = !stack;
    }

    const uint16_t port = aOptions.Port.value_or(HttpServerPort);
    frame->StartTransferServer(port);
    DoEvents();

    if (welcome && gShowWelcome)
    {
        CVexilWelcome::SetCloseInterval(aOptions.WelcomeInterval.value_or(CVexilWelcome::KDefaultCloseInterval));
        if (CVexilForm* form = NameToForm(CVexilWelcome::KClassName))
            ShowForm(*form);
    }
    ReportPortInUse(*frame, port);
}
