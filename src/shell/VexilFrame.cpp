#include "shell/VexilFrame.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilImageList.h"
#include "platform/VexilLowLevelUi.h"
#include "platform/VexilStatusPanel.h"
#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilFrameParts.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilFrameMenus.h"
#include "shell/VexilMenuWindows.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWelcome.h"
#include "shell/VexilWinMan.h"
#include "transfer/VexilHttpServer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace
{
// The windows the menus and buttons show, by class name.
const QString kNewStackForm = QStringLiteral("CVexilNewStackForm");
const QString kImportOptions = QStringLiteral("CVexilImportOptions");
const QString kExportOptions = QStringLiteral("CVexilExportOptions");
const QString kStackEdit = QStringLiteral("CVexilStackEdit");
const QString kSearchForm = QStringLiteral("CVexilSearchForm");
const QString kBackgroundEdit = QStringLiteral("CVexilBackgroundEdit");
const QString kCardEdit = QStringLiteral("CVexilCardEdit");
const QString kControlEdit = QStringLiteral("CVexilControlEdit");
const QString kSortKeyEdit = QStringLiteral("CVexilSortKeyEdit1");
const QString kValueEdit = QStringLiteral("CVexilValueEdit");
const QString kOptionEdit = QStringLiteral("CVexilOptionEdit");
// The developer test panel is not a managed window.
const QString kMainForm = QStringLiteral("MainForm");

// Shows the window of that class name; none when it cannot open.
constexpr auto ShowNamed = &CVexilWinMan::ShowNamed;

// How often a termination request that has to wait is tried again.
constexpr int kTerminationRetryMs = 100;

// The size command of the Debug menu: the card window's client area in points.
constexpr int16_t kDebugClientWidth = 208;
constexpr int16_t kDebugClientHeight = 255;

template <class F>
void Guarded(F aWork)
{
    try
    {
        aWork();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(CVexilFrame::KClassName, e);
        CVexilMsg::ShowError();
    }
}

// Shows a managed window by name; none when the program does not have that window yet.
// A navigation command of the stack view; the card it reaches is of no interest here.
void Navigate(bool (CVexilStackView::*aCommand)(TCardRef&))
{
    if (!gStackView)
        return;
    TCardRef card;
    (gStackView.get()->*aCommand)(card);
}

struct TButton
{
    const char* Key;
    const char* ToolTip;
    bool SeparatorAfter;
    void (*Command)();
};

// The toolbar from left to right; the picture of each is the one at its place in the
// toolbar image list.
const TButton kButtons[] = {
    {"NewStack", "New Stack", false, [] { ShowNamed(kNewStackForm); }},
    {"OpenStack", "Open Stack", false, [] { CVexilStackCmds::Open(); }},
    {"SaveStack", "Save Stack", true, [] { CVexilStackCmds::Save(); }},
    {"FirstCard", "First Card", false, [] { Navigate(&CVexilStackView::OrderFirst); }},
    {"PrevCard", "Previous Card", false, [] { Navigate(&CVexilStackView::OrderPrev); }},
    {"NextCard", "Next Card", false, [] { Navigate(&CVexilStackView::OrderNext); }},
    {"LastCard", "Last Card", true, [] { Navigate(&CVexilStackView::OrderLast); }},
    {"BackInHistory", "Back in History", false, [] { Navigate(&CVexilStackView::HistoryPrev); }},
    {"ForwInHistory", "Forward in History", true, [] { Navigate(&CVexilStackView::HistoryNext); }},
    {"EditStack", "Edit Stack", false, [] { ShowNamed(kStackEdit); }},
    {"EditBackgrounds", "Edit Backgrounds", false, [] { ShowNamed(kBackgroundEdit); }},
    {"EditCards", "Edit Cards", false, [] { ShowNamed(kCardEdit); }},
    {"EditControls", "Edit Controls", false, [] { ShowNamed(kControlEdit); }},
};

// The buttons that work without a stack.
bool AlwaysEnabled(const QString& aKey)
{
    return aKey == QLatin1String("NewStack") || aKey == QLatin1String("OpenStack");
}

// The state the menus are enabled by. The active field is looked up only with a stack open.
TMenuState MenuState()
{
    TMenuState state;
    state.StackOpen = gStack != nullptr && gStackView != nullptr;
    if (!state.StackOpen)
        return state;
    state.CurrentCard = gStackView->CurCard() != nullptr;
    if (const TControlRef field = CVexilStackCmds::GetActiveVexilControl())
        state.ActiveFieldType = field->ConType();
    return state;
}
}  // namespace

CVexilFrame::CVexilFrame()
{
    setObjectName(KClassName);
    SetCaption(KTitle);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    fMenuBar = new QMenuBar(this);
    fMenuBar->setObjectName(QStringLiteral("fMenuBar"));
    layout->setMenuBar(fMenuBar);
    BuildMenus(*fMenuBar);
    BuildToolbar();
    layout->addWidget(fToolbar);

    fMdiArea = new QMdiArea(this);
    fMdiArea->setObjectName(QStringLiteral("fMdiArea"));
    // Windows are fitted into the area, growing the main window; the area scrolls only for
    // what the screen has no room for.
    fMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    fMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(fMdiArea, 1);

    BuildStatusBar();
    layout->addWidget(fStatusBar);
}

CVexilFrame::~CVexilFrame()
{
    // The servers report to this window.
    iHttpServer.reset();
    gHttpServer.reset();
}

void CVexilFrame::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilFrame; });
}

void CVexilFrame::ShowHourglass(bool aShow)
{
    // The busy cursor asks for the hourglass at every level and takes it back at the last.
    static bool shown = false;
    if (aShow == shown)
        return;
    shown = aShow;
    if (aShow)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CVexilFrame::TerminationRequest()
{
    CVexilForm* frame = CVexilFormRegistry::Loaded(KClassName);
    if (!frame || !frame->isVisible() || CVexilStackCmds::Busy())
    {
        QTimer::singleShot(kTerminationRetryMs, qApp, &TerminationRequest);
        return;
    }
    frame->close();
}

QMenu* CVexilFrame::AddMenu(QMenuBar& aBar, QMenu* aParent, const char* aName, const QString& aCaption)
{
    QMenu* menu = aParent ? aParent->addMenu(aCaption) : aBar.addMenu(aCaption);
    menu->setObjectName(QLatin1String(aName));
    menu->menuAction()->setObjectName(QLatin1String(aName));
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { Guarded([&] { ApplyEnabling(*menu); }); });
    return menu;
}

QAction* CVexilFrame::AddItem(QMenu& aMenu, const char* aName, const QString& aCaption, std::function<void()> aCommand)
{
    QAction* item = aMenu.addAction(aCaption);
    item->setObjectName(QLatin1String(aName));
    connect(item, &QAction::triggered, this, [command = std::move(aCommand)] { Guarded(command); });
    return item;
}

void CVexilFrame::BuildMenus(QMenuBar& aBar)
{
    QMenu* stack = AddMenu(aBar, nullptr, "fStack", QStringLiteral("&Stack"));
    AddItem(*stack, "fOpenStack", QStringLiteral("&Open..."), [] { CVexilStackCmds::Open(); });
    QMenu* recent = AddMenu(aBar, stack, "fOpenRecent", QStringLiteral("Open &Recent"));
    connect(recent, &QMenu::aboutToShow, this, [this] { Guarded([this] { fOpenRecent_Click(); }); });
    for (int i = 0; i < int(fHistory.size()); ++i)
    {
        const QByteArray name = "fHistory" + QByteArray::number(i);
        fHistory[size_t(i)] = AddItem(*recent, name.constData(), QStringLiteral("History %1").arg(i),
                                      [i] { CVexilStackCmds::OpenRecent(i); });
    }
    AddItem(*stack, "fSaveStack", QStringLiteral("&Save"), [] { CVexilStackCmds::Save(); });
    AddItem(*stack, "fSaveStackAs", QStringLiteral("Save &as..."), [] { CVexilStackCmds::SaveAs(); });
    AddItem(*stack, "fNewStack", QStringLiteral("&New..."), [] { ShowNamed(kNewStackForm); });
    AddItem(*stack, "fImport", QStringLiteral("I&mport..."), [] { ShowNamed(kImportOptions); });
    AddItem(*stack, "fExport", QStringLiteral("&Export..."), [] { ShowNamed(kExportOptions); });
    stack->addSeparator()->setObjectName(QStringLiteral("fSep3"));
    AddItem(*stack, "fEditStack", QStringLiteral("&Info..."), [] { ShowNamed(kStackEdit); });
    AddItem(*stack, "fSearch", QStringLiteral("Searc&h..."), [] { ShowNamed(kSearchForm); });
    AddItem(*stack, "fEditBackgrounds", QStringLiteral("&Backgrounds..."), [] { ShowNamed(kBackgroundEdit); });
    AddItem(*stack, "fEditCards", QStringLiteral("&Cards..."), [] { ShowNamed(kCardEdit); });
    AddItem(*stack, "fEditControls", QStringLiteral("&Fields && Controls"), [] { ShowNamed(kControlEdit); });
    AddItem(*stack, "fEditSortKeys", QStringLiteral("Sort &Keys..."), [] { ShowNamed(kSortKeyEdit); });
    AddItem(*stack, "fEditValues", QStringLiteral("Field &Values..."), [] { ShowNamed(kValueEdit); });
    stack->addSeparator()->setObjectName(QStringLiteral("fSep1"));
    AddItem(*stack, "fCloseStack", QStringLiteral("C&lose"), [this] { fCloseStack_Click(); });

    // The editors of the current card's background, of a card and of a field: the background
    // editor is told by name what to show, the others open through the program's menu windows.
    QMenu* background = AddMenu(aBar, nullptr, "fBackground", QStringLiteral("&Background"));
    AddItem(*background, "fEditBackground", QStringLiteral("&Info..."), [] {
        CVexilForm* editor = ShowNamed(kBackgroundEdit);
        if (const TCardRef card = gStackView ? gStackView->CurCard() : nullptr; editor && card)
            QMetaObject::invokeMethod(editor, "SetAndShowBackground", Q_ARG(TControlSetRef, card->Background()));
    });
    AddItem(*background, "fEditBackgroundControls", QStringLiteral("&Fields && Controls..."),
            [] { CVexilMenuWindows::Current().EditBackgroundFields(); });

    QMenu* card = AddMenu(aBar, nullptr, "fCard", QStringLiteral("&Card"));
    AddItem(*card, "fSelectCard", QStringLiteral("Sele&ct..."), [] { CVexilMenuWindows::Current().SelectCard(); });
    AddItem(*card, "fNewCard", QStringLiteral("&New..."), [] { CVexilMenuWindows::Current().NewCard(); });
    AddItem(*card, "fDeleteCard", QStringLiteral("&Delete"), [] { CVexilStackCmds::DeleteCard(); });
    AddItem(*card, "fEmptyStack", QStringLiteral("Delete &all"), [] { CVexilStackCmds::EmptyStack(); });
    card->addSeparator()->setObjectName(QStringLiteral("fSep2"));
    AddItem(*card, "fEditCard", QStringLiteral("&Info..."), [] { CVexilMenuWindows::Current().EditCard(); });

    QMenu* field = AddMenu(aBar, nullptr, "fField", QStringLiteral("&Field"));
    QMenu* picture = AddMenu(aBar, field, "fPicture", QStringLiteral("&Picture"));
    AddItem(*picture, "fImportPicFile", QStringLiteral("I&mport..."), [] { CVexilStackCmds::ImportPicFile(); });
    AddItem(*picture, "fShowPicture", QStringLiteral("&Show..."), [this] { fShowPicture_Click(); });
    AddItem(*field, "fEditField", QStringLiteral("&Info..."), [] {
        // The field that has the focus now, before the editor takes it.
        const TCardRef card = gStackView ? gStackView->CurCard() : nullptr;
        const TControlRef field = CVexilStackCmds::GetActiveVexilControl();
        CVexilMenuWindows::Current().EditField(card, field);
    });

    // The card window gives the command menu's items their commands.
    CVexilCmdMenu& commands = CVexilFrameParts::CmdMenu();
    commands.setParent(this, commands.windowFlags());
    aBar.addMenu(&commands);

    QMenu* product = AddMenu(aBar, nullptr, "fQuorvans", QStringLiteral("&Quorvans"));
    AddItem(*product, "fOptions", QStringLiteral("&Options..."), [] { ShowNamed(kOptionEdit); });
    AddItem(*product, "fHelp", QStringLiteral("&Help..."), [] { CVexilLowLevelUi::ShowHelp(KClassName); });
    AddItem(*product, "fAbout", QStringLiteral("&About..."), [this] { fAbout_Click(); });
    AddItem(*product, "fClose", QStringLiteral("&Close"), [this] { fClose_Click(); });

    fDebug = AddMenu(aBar, nullptr, "fDebug", QStringLiteral("&Debug"));
    AddItem(*fDebug, "fHttpServer", QStringLiteral("HTTP Server"), [this] { fHttpServer_Click(); });
    AddItem(*fDebug, "fMainForm", QStringLiteral("&MainForm"), [this] { fMainForm_Click(); });
    AddItem(*fDebug, "fSize", QStringLiteral("&Size 208x255"), [this] { fSize_Click(); });
}

void CVexilFrame::BuildToolbar()
{
    fToolbar = new QToolBar(this);
    fToolbar->setObjectName(QStringLiteral("fToolbar"));
    fToolbar->setIconSize(QSize(16, 16));
    const CVexilImageList& icons = CVexilFrameParts::ToolbarIcons();
    int picture = 0;
    for (const TButton& button : kButtons)
    {
        const QString key = QLatin1String(button.Key);
        QAction* action = fToolbar->addAction(QIcon(QPixmap::fromImage(icons.Picture(icons.Key(picture++)))),
                                              QLatin1String(button.ToolTip));
        action->setObjectName(key);
        action->setToolTip(QLatin1String(button.ToolTip));
        connect(action, &QAction::triggered, this, [this, key] { Guarded([&] { fToolbar_ButtonClick(key); }); });
        if (button.SeparatorAfter)
            fToolbar->addSeparator();
    }
}

void CVexilFrame::BuildStatusBar()
{
    fStatusBar = new QStatusBar(this);
    fStatusBar->setObjectName(QStringLiteral("fStatusBar"));
    fStatusBar->setSizeGripEnabled(false);
    // The request line and the reply header share the width; the server's state shows whole.
    const int stretches[] = {2, 3, 0};
    for (size_t i = 0; i < fPanels.size(); ++i)
    {
        fPanels[i] = new CVexilStatusPanel(fStatusBar);
        fPanels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        fPanels[i]->SetFixed(stretches[i] == 0);
        fStatusBar->addPermanentWidget(fPanels[i], stretches[i]);
    }
}

void CVexilFrame::setVisible(bool aVisible)
{
    if (aVisible && !iLoaded)
    {
        iLoaded = true;
        // With its native window the window knows its frame, which its placement includes.
        create();
        Guarded([this] { Load(); });
    }
    CVexilForm::setVisible(aVisible);
}

void CVexilFrame::Load()
{
    iTitle = Caption();
    CVexilForm::SetMdiArea(fMdiArea);
    CVexilFormPlacement::Restore(*this);
    UpdateToolbar();
    fDebug->menuAction()->setVisible(CVexilOptions::IsDevMachine());
}

void CVexilFrame::fCloseStack_Click()
{
    CVexilStackCmds::Close();
}

void CVexilFrame::fShowPicture_Click()
{
    CVexilStackCmds::ShowPicture();
}

void CVexilFrame::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    switch (aEvent)
    {
    case EChgStackOpened:
        SetCaption(iTitle + QStringLiteral(" - ") + (gStack ? gStack->Filename() : QString()));
        UpdateToolbar();
        if (gStackView)
            gStackView->ExecScript({}, QStringLiteral("openStack"));
        break;
    // A changed type too: the card window must not read the next edit with the old type's widget.
    case EChgStructure:
    case EChgValueType:
    case EChgCards:
    case EChgDeletingCard:
        if (gStackView)
            gStackView->RefreshViews(true, false);
        break;
    case EChgStackClosed:
        SetCaption(iTitle);
        UpdateToolbar();
        break;
    default: break;
    }
}

void CVexilFrame::UpdateToolbar()
{
    const bool open = gStack != nullptr;
    for (QAction* button : fToolbar->actions())
        if (!button->isSeparator() && !AlwaysEnabled(button->objectName()))
            button->setEnabled(open);
    CVexilFrameParts::CmdMenu().SetMenuEnabled(open);
}

void CVexilFrame::ApplyEnabling(const QMenu& aMenu)
{
    const std::map<QString, bool> enabling = CVexilFrameMenus::Enabling(MenuState());
    for (QAction* item : aMenu.actions())
    {
        const auto rule = enabling.find(item->objectName());
        if (rule != enabling.end())
            item->setEnabled(rule->second);
    }
}

void CVexilFrame::fOpenRecent_Click()
{
    const TRecentItems items = CVexilOptions::RecentItems(gFileHistory);
    for (size_t i = 0; i < items.size(); ++i)
    {
        fHistory[i]->setText(items[i].Caption);
        fHistory[i]->setEnabled(items[i].Enabled);
    }
}

void CVexilFrame::fToolbar_ButtonClick(const QString& aKey)
{
    for (const TButton& button : kButtons)
    {
        if (aKey == QLatin1String(button.Key))
        {
            button.Command();
            return;
        }
    }
    CVexilError::Assert(false, QStringLiteral("fToolbar_ButtonClick Button.Key ") + aKey);
}

void CVexilFrame::fAbout_Click()
{
    if (auto* welcome = qobject_cast<CVexilWelcome*>(ShowNamed(CVexilWelcome::KClassName)))
        welcome->Stay();
}

void CVexilFrame::fHttpServer_Click()
{
    iHttpServer = std::make_unique<CVexilHttpServer>(*this, iServerPort);
    DoEvents();
}

void CVexilFrame::fMainForm_Click()
{
    if (CVexilFormRegistry::IsRegistered(kMainForm))
        CVexilWinMan::ShowForm(*CVexilFormRegistry::NameToForm(kMainForm));
}

void CVexilFrame::fSize_Click()
{
    CVexilForm* cardWindow = CVexilFormRegistry::Loaded(CVexilGenForm::KClassName);
    if (!cardWindow)
        return;
    const TWindowSize size = CVexilLowLevelUi::ClientToWindowSize(kDebugClientWidth, kDebugClientHeight, cardWindow);
    cardWindow->Move(cardWindow->Left(), cardWindow->Top(), size.Width, size.Height);
}

void CVexilFrame::StartTransferServer(uint16_t aPort)
{
    iServerPort = aPort;
    gHttpServer = std::make_unique<CVexilHttpServer>(*this, aPort);
}

void CVexilFrame::SetProgramEnd(std::function<void(int)> aEnd)
{
    iProgramEnd = std::move(aEnd);
}

void CVexilFrame::SetStatusPanel1(const QString& aText)
{
    fPanels[0]->SetFullText(aText);
}

void CVexilFrame::SetStatusPanel2(const QString& aText)
{
    fPanels[1]->SetFullText(aText);
}

void CVexilFrame::SetStatusPanel3(const QString& aText)
{
    fPanels[2]->SetFullText(aText);
}

QString CVexilFrame::StatusPanel(int aPanel) const
{
    return aPanel >= 1 && aPanel <= int(fPanels.size()) ? fPanels[size_t(aPanel - 1)]->FullText() : QString();
}

bool CVexilFrame::QueryUnload()
{
    bool stillOpen = true;
    Guarded([&stillOpen] { stillOpen = CVexilDialogLib::CloseCurrentStack(); });
    return stillOpen;
}

void CVexilFrame::closeEvent(QCloseEvent* aEvent)
{
    // Every close request, whoever makes it, leaves the stack first.
    if (QueryUnload())
    {
        aEvent->ignore();
        return;
    }
    aEvent->accept();
    Unload();
}

void CVexilFrame::fClose_Click()
{
    if (!QueryUnload())
        Unload();
}

void CVexilFrame::Unload()
{
    // A write that fails is asked about; when the program goes on, it still stores the rest.
    Guarded([] { CVexilOptions::SaveOptions(); });
    Guarded([this] { CVexilFormPlacement::Save(*this); });
    if (iProgramEnd)
    {
        iProgramEnd(0);
        return;
    }
    // At once, also from a yield or a modal box: no window event runs any more.
    std::fflush(nullptr);
    std::_Exit(0);
}
