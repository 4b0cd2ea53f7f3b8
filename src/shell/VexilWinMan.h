#pragma once

#include "model/VexilWinManLink.h"

#include <QRectF>
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

// A window's placement in twips: left, top, width, height.
struct TWinRect
{
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;

    bool operator==(const TWinRect&) const = default;
};

// The program's windows by class name: the table of managed windows, their single instances
// (made by CVexilFormRegistry from the factory each window class registers), the change
// broadcast to the loaded ones, and their placements kept under "Windows" in the registry.
// A managed name whose window class is not part of the program yet gives no window.
class CVexilWinMan
{
public:
    static constexpr int KMaxForms = 31;
    static constexpr const char* KFrame = "CVexilFrame";

    // The start of the program: initialises the modules, shows the main window, opens the
    // stack the command line names (or the auto-load stack), starts the transfer server and
    // shows the welcome window; then it returns and the event loop runs the program.
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
    static bool IsFormLoaded(const QString& aClassName);
    // Calls ChangeNotify of every managed window loaded when the broadcast starts, in load
    // order, yielding to the event loop before and after each call. A window unloaded in a
    // yield is skipped; one loaded in a yield does not receive this broadcast.
    static void NotifyAll(int32_t aEvent, const TObjRef& aObj0 = {}, const TObjRef& aObj1 = {});

    static void SaveFormPos(CVexilForm& aForm);
    static void RestoreFormPos(CVexilForm& aForm);

    // Placement computations, plain functions of their arguments.
    static QString RectToStr(const TWinRect& aRect);
    // False when fewer than four fields, a value that is not finite, or no size on screen.
    static bool StrToRect(const QString& aText, TWinRect& aRect);
    // aStored applied to a window now at aCurrent inside aArea (twips): the screen for the
    // main window, the main window's client (MDI) area for the others. A size is reduced to
    // the area; a window that shows less than 40 x 20 pixels of its top in the area gets its
    // default placement (the main window's default rectangle, else aCurrent).
    static TWinRect ApplyFormRect(const TWinRect& aStored, const TWinRect& aCurrent, bool aFrame, bool aSizable,
                                  const QRectF& aArea);
    // The main window's default rectangle on a screen of that size (twips).
    static TWinRect DefaultFrameRect(float aScreenWidth, float aScreenHeight);

private:
    static bool IsManagedForm(const QString& aClassName);
    static QString NameOf(const CVexilForm& aForm);
};
