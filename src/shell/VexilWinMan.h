#pragma once

#include "model/VexilWinManLink.h"
#include "presentation/VexilFormPlacement.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class CVexilForm;
class IVexilPrompts;
class QWidget;

// What the start of the program may be given instead of the program's own: tests run it with
// a settings file, a documents folder and a port of their own.
struct TMainOptions
{
    // The settings (INI) file; empty for the user's own.
    QString SettingsFile;
    // The documents folder; empty for the user's own.
    QString DocumentsFolder;
    // The transfer server's port (0: any free port); none for the program's port.
    std::optional<uint16_t> Port;
    // The welcome window's close interval in ms; none for its own.
    std::optional<int> WelcomeInterval;
    // The command line, program name first; none for the program's own.
    std::optional<QStringList> Arguments;
    // The prompts; none for the program's windows, owned by the main window.
    IVexilPrompts* Prompts = nullptr;
    // Ends the program after the main window's unload; none ends the process at once.
    std::function<void(int aCode)> ProgramEnd;
};

// The program's windows by class name: the table of managed windows, their single instances
// (made by CVexilFormRegistry from the factory each window class registers), the change
// broadcast to the loaded ones. Their placements are kept by CVexilFormPlacement.
// A managed name whose window class is not part of the program yet gives no window.
class CVexilWinMan
{
public:
    static constexpr int KMaxForms = 31;
    static constexpr const char* KFrame = CVexilFormPlacement::KMainWindow;

    // The start of the program, once its window classes are registered: initialises the
    // modules, shows the main window, opens the stack the command line names (or the auto-load
    // stack), starts the transfer server and shows the welcome window; then it returns and the
    // event loop runs the program.
    static void Main(const TMainOptions& aOptions = {});
    // The stack the command line names: the first argument after the program's name (Qt has
    // taken its own options out), trimmed, without one pair of double quotes around it (a lone
    // quote stays), made absolute against aCurrentFolder. None when there is no argument or
    // it is blank.
    static std::optional<QString> CommandLineStack(const QStringList& aArguments, const QString& aCurrentFolder);

    // Fills the name table once and installs the broadcast for the model.
    static void RegisterForms();
    static const QStringList& FormNames();

    // The single instance, made when needed (making it shows nothing). A name outside the
    // table fails the assertion "NameToForm name " with the name; both give none.
    static CVexilForm* NameToForm(const QString& aClassName);
    // Shows the window, modal when asked, and gives it the focus.
    static void ShowForm(CVexilForm& aForm, bool aModal = false, QWidget* aOwner = nullptr);
    // The single instance shown modeless without owner; none as for NameToForm.
    static CVexilForm* ShowNamed(const QString& aClassName);
    static bool IsFormLoaded(const QString& aClassName);
    // Calls ChangeNotify of every managed window loaded when the broadcast starts, in load
    // order, yielding to the event loop before and after each call. A window unloaded in a
    // yield is skipped; one loaded in a yield does not receive this broadcast.
    static void NotifyAll(int32_t aEvent, const TObjRef& aObj0 = {}, const TObjRef& aObj1 = {});

private:
    static bool IsManagedForm(const QString& aClassName);
};
