#include "editors/VexilControlSelect.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilPrompts.h"
#include "model/VexilControl.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "shell/VexilWinMan.h"


#include <vector>

namespace
{
// The design in twips.
constexpr float KClientWidth = 3840;
constexpr float KClientHeight = 4605;
constexpr float KMargin = 120;
constexpr float KButtonWidth = 1215;
constexpr float KButtonHeight = 375;
constexpr float KButtonTop = 4110;

constexpr int32_t KFieldColor = 176 << 8;  // RGB(0, 176, 0)

// The field of that id when it is a field of the background.
TControlRef FieldOf(const CVexilControlSet& aBackground, int32_t aId)
{
    TControlRef control;
    return aBackground.GetControl(aId, control) ? control : nullptr;
}

void AppendId(std::shared_ptr<CVexilArray>& aIds, int32_t aId)
{
    if (!aIds)
    {
        aIds = std::make_shared<CVexilArray>();
        aIds->Construct(0, EValInt);
    }
    TArrayElem elem;
    aIds->InitElem(elem);
    elem.iVal.iInt = aId;
    aIds->CreateAtEnd(elem);
}
}  // namespace

CVexilControlSelect::CVexilControlSelect() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Select Fields"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));

    fControlBox = Add<CVexilListView>(QStringLiteral("fControlBox"));
    fControlBox->Move(KMargin, KMargin, KClientWidth - 2 * KMargin, KButtonTop - 2 * KMargin);
    // Several lines at once, as with Ctrl and Shift in the list views of the platform.
    fControlBox->setSelectionMode(QAbstractItemView::ExtendedSelection);

    fDoneBut = Add<CVexilCommandButton>(QStringLiteral("fDoneBut"));
    fDoneBut->setText(QStringLiteral("Done"));
    fDoneBut->Move(KClientWidth - 2 * (KMargin + KButtonWidth), KButtonTop, KButtonWidth, KButtonHeight);
    fCancelBut = Add<CVexilCommandButton>(QStringLiteral("fCancelBut"));
    fCancelBut->setText(QStringLiteral("Cancel"));
    fCancelBut->Move(KClientWidth - KMargin - KButtonWidth, KButtonTop, KButtonWidth, KButtonHeight);

    iControlList.Construct(ELisSingle);

    connect(fDoneBut, &QPushButton::clicked, this, [this] { Guarded([this] { Done(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { Guarded([this] { Cancel(); }); });
}

CVexilControlSelect::~CVexilControlSelect()
{
    // The list points at a widget that goes with the window.
    iControlList.SetBaseObj(nullptr);
}

void CVexilControlSelect::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilControlSelect; });
}

CVexilControlSelect* CVexilControlSelect::Instance()
{
    if (!CVexilFormRegistry::IsRegistered(KClassName))
        Register();
    return static_cast<CVexilControlSelect*>(CVexilFormRegistry::NameToForm(KClassName));
}

std::shared_ptr<CVexilArray> CVexilControlSelect::IdsOfNames(const QString& aNames,
                                                             const CVexilControlSet& aBackground)
{
    std::shared_ptr<CVexilArray> ids;
    for (const QString& name : aNames.split(QLatin1Char(',')))
    {
        TControlRef control;
        if (aBackground.GetControlByName(name, control) || aBackground.GetControlByName(name.trimmed(), control))
            AppendId(ids, control->Id());
    }
    return ids;
}

void CVexilControlSelect::Load()
{
    BuildLists();
}

void CVexilControlSelect::BuildLists()
{
    if (iLoading || iLoaded)
        return;
    iLoading = true;
    CVexilFormPlacement::Restore(*this);
    iControlList.SetBaseObj(fControlBox);
    iControlList.Define1Column(QStringLiteral("Name"));
    EnableDone();
    fControlBox->SetForeColor(KFieldColor);
    iLoading = false;
    iLoaded = true;
}

void CVexilControlSelect::SelectControls(IVexilControlSelectCaller* aCaller, const TControlSetRef& aBackground,
                                         int16_t aCase, const std::shared_ptr<CVexilArray>& aIds)
{
    if (!iLoaded)
    {
        BuildLists();
        DoEvents();
    }
    CVexilWinMan::ShowForm(*this);
    iCaller.Set(aCaller);
    iCase = aCase;
    iIds = aIds;
    iBackground = aBackground;
    if (iBackground)
        CVexilDialogLib::FillControlList(iControlList, *iBackground, QString(), true, false);
    else
        iControlList.ClearAndShow();
    // The choice starts from the ids given, not from the line a filled list selects.
    iControlList.SetSelIndex(-1);
    for (int32_t i = 0; iIds && iBackground && i < iIds->Count(); ++i)
    {
        TArrayElem elem;
        iIds->ReadByIndex(i, elem);
        int32_t index = -1;
        const TControlRef control = FieldOf(*iBackground, elem.iVal.iInt);
        if (control && iControlList.GetObjIndex(control.get(), index))
            iControlList.SetSelIndex(index);
    }
    EnableDone();
    fControlBox->setFocus();
}

void CVexilControlSelect::Done()
{
    IVexilControlSelectCaller* caller = iCaller.Get();
    if (!caller)
        return;
    // The lines are read before the array changes: it may be the one the caller keeps.
    std::vector<int32_t> chosen;
    for (int32_t i = 0; iBackground && i < iControlList.NumLines(); ++i)
    {
        const QTreeWidgetItem* item = fControlBox->topLevelItem(i);
        const auto control = std::dynamic_pointer_cast<CVexilControl>(iControlList.Obj(i));
        // A field deleted since the list was filled is no answer.
        if (item && item->isSelected() && control && FieldOf(*iBackground, control->Id()) == control)
            chosen.push_back(control->Id());
    }
    if (iIds)
        iIds->Clear();
    for (const int32_t id : chosen)
        AppendId(iIds, id);
    if (chosen.empty())
        iIds = nullptr;
    caller->SetControls(iIds, iCase);
    if (CVexilForm* callerForm = iCaller.Form())
        CVexilWinMan::ShowForm(*callerForm);
    iCaller.Clear();
    iCase = UndefInt;
    EnableDone();
    hide();
}

void CVexilControlSelect::Cancel()
{
    if (CVexilForm* callerForm = iCaller.Form())
        CVexilWinMan::ShowForm(*callerForm);
    hide();
}

void CVexilControlSelect::EnableDone()
{
    fDoneBut->SetEnabled(iBackground && iCaller.Get());
}

void CVexilControlSelect::Activated()
{
    EnableDone();
}

void CVexilControlSelect::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    if (aEvent == EChgClosingStack)
        UnloadForm();
}
