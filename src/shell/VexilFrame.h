#pragma once

#include "platform/VexilForm.h"
#include "transfer/VexilHttpServer.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class CVexilStatusPanel;
class QMdiArea;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;

// The stack transfer server of the program, reporting to the main window's status panels.
inline std::unique_ptr<CVexilHttpServer> gHttpServer;

// The main window: the menu bar, the toolbar, the document area in which every other window
// of the program opens, and the status bar whose three panels the transfer server writes.
// Its menus and buttons start the shell's commands on the current stack (CVexilStackCmds) and
// show the other windows through the window manager by name (nothing for a window the program
// does not have yet). Menu items are enabled when their menu opens (CVexilFrameMenus); the
// toolbar and the Cmds menu follow the opening and closing of stacks. Every close request
// runs the close query, which leaves the current stack; once it is left, the options and the
// window's placement are stored and the program ends at once.
class CVexilFrame : public CVexilForm, public IVexilStatusPanels
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilFrame");
    // The design caption; every caption is built from it.
    static inline const QString KTitle = QStringLiteral("Quorvans Development System");

    CVexilFrame();
    ~CVexilFrame() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The hourglass of long operations (the busy cursor's hook).
    static void ShowHourglass(bool aShow);
    // A request from outside to end the program (a termination signal): the main window's close,
    // made once the window is shown and no stack is being left, opened, saved or made, so that
    // the request is neither lost nor breaks into such work.
    static void TerminationRequest();

    // "C&lose" of the Stack menu: leaves the current stack.
    void fCloseStack_Click();
    // "&Show..." of the picture submenu: the picture viewer on the active picture field.
    void fShowPicture_Click();
    // Caption, toolbar and "openStack" when a stack opens; the card window laid out again when
    // the structure, a field's type or the cards changed; caption and toolbar when it closed.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;

    // Runs the toolbar button's command; a key of no button fails an assertion.
    void fToolbar_ButtonClick(const QString& aKey);
    // "&Close" of the Quorvans menu: the close query, then the end when it lets the program go.
    void fClose_Click();

    // Starts the program's transfer server on aPort (0: any free port), reporting here.
    void StartTransferServer(uint16_t aPort);
    // What ends the program after the unload; none ends the process at once with aCode.
    void SetProgramEnd(std::function<void(int aCode)> aEnd);

    QMdiArea* DocumentArea() const { return fMdiArea; }

    void SetStatusPanel1(const QString& aText) override;
    void SetStatusPanel2(const QString& aText) override;
    void SetStatusPanel3(const QString& aText) override;
    // The text of panel 1, 2 or 3.
    QString StatusPanel(int aPanel) const;

    // The first show is the window's load: caption kept, placement restored, toolbar set,
    // the Debug menu hidden unless the program runs from the developer's folder.
    void setVisible(bool aVisible) override;

protected:
    void closeEvent(QCloseEvent* aEvent) override;

private:
    void Load();
    // Leaves the current stack; true when the close is refused (a stack is still open).
    bool QueryUnload();
    // Stores the options and the placement, then ends the program.
    void Unload();
    void UpdateToolbar();
    // The enabling rules for the items of a menu that opens.
    void ApplyEnabling(const QMenu& aMenu);
    // "Open &Recent" opens: its items show the recent-file list.
    void fOpenRecent_Click();
    void fAbout_Click();
    void fHttpServer_Click();
    void fMainForm_Click();
    void fSize_Click();

    // A menu of the menu bar or a submenu, named as its control.
    QMenu* AddMenu(QMenuBar& aBar, QMenu* aParent, const char* aName, const QString& aCaption);
    // A menu item whose command runs guarded.
    QAction* AddItem(QMenu& aMenu, const char* aName, const QString& aCaption, std::function<void()> aCommand);
    void BuildMenus(QMenuBar& aBar);
    void BuildToolbar();
    void BuildStatusBar();

    QString iTitle;
    bool iLoaded = false;
    uint16_t iServerPort = 0;
    std::unique_ptr<CVexilHttpServer> iHttpServer;  // the second server of the Debug menu
    std::function<void(int)> iProgramEnd;

    QMenuBar* fMenuBar = nullptr;
    QToolBar* fToolbar = nullptr;
    QMdiArea* fMdiArea = nullptr;
    QStatusBar* fStatusBar = nullptr;
    std::array<CVexilStatusPanel*, 3> fPanels{};
    std::array<QAction*, 7> fHistory{};
    QMenu* fDebug = nullptr;
};
