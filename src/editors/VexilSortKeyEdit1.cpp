#include "editors/VexilSortKeyEdit1.h"

#include "editors/VexilObjCast.h"
#include "editors/VexilSortKeyWriter.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"
#include "platform/VexilTextFit.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QGroupBox>
#include <QMetaObject>

#include <algorithm>

namespace
{
// The design in twips.
constexpr float KMargin = 120;
constexpr float KFrameTop = 300;
constexpr float KLeftWidth = 2760;
constexpr float KListFrameHeight = 2040;
constexpr float KRightLeft = KMargin + KLeftWidth + KMargin;
constexpr float KRightWidth = 5160;
constexpr float KClientWidth = KRightLeft + KRightWidth + KMargin;
constexpr float KClientHeight = KMargin + 2 * KListFrameHeight + KMargin + KMargin;
constexpr float KBoxHeight = 315;
constexpr float KCaptionHeight = 255;
constexpr float KRow = 390;
constexpr float KFieldWidth = 3240;
constexpr float KWayLeft = KMargin + KFieldWidth + KMargin;
constexpr float KWayWidth = KRightWidth - KWayLeft - KMargin;
constexpr float KComponentsTop = 900;
constexpr float KComponentsHeight = KFrameTop + KCaptionHeight + 60 + KNumKeyRows * KRow + 60;
constexpr float KButtonHeight = 375;
constexpr float KButtonWidth = 960;
constexpr float KButtonTop = KClientHeight - 2 * KMargin - KButtonHeight;
constexpr size_t KNumButtons = 5;

constexpr int32_t KBackgroundColor = 204 << 16;  // RGB(0, 0, 204)
constexpr int32_t KFieldColor = 176 << 8;        // RGB(0, 176, 0)

const QString kNone = QStringLiteral("(None)");
const QString kBackgroundEdit = QStringLiteral("CVexilBackgroundEdit");

// Lays out the row of buttons along the foot of the right side.
void PlaceButtons(const std::array<CVexilCommandButton*, KNumButtons>& aButtons)
{
    // A caption that needs more than the design's width widens its button; the gaps give way,
    // so that the row keeps its width.
    std::array<float, KNumButtons> widths{};
    float total = 0;
    for (size_t i = 0; i < KNumButtons; ++i)
    {
        widths[i] = std::max(KButtonWidth, CVexilCtl::PixelsToTwips(CVexilTextFit::ButtonWidth(*aButtons[i])));
        total += widths[i];
    }
    const float gap = std::max(0.0F, (KRightWidth - total) / float(KNumButtons - 1));
    float left = KRightLeft;
    for (size_t i = 0; i < KNumButtons; ++i)
    {
        aButtons[i]->Move(left, KButtonTop, widths[i], KButtonHeight);
        left += widths[i] + gap;
    }
}
}  // namespace

CVexilSortKeyEdit1::CVexilSortKeyEdit1() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Sort Keys"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));
    BuildDesign();
    ConnectEvents();
    iBackgroundList.Construct(ELisSingle);
    iSortKeyList.Construct(ELisSingle);
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        iControlLists[size_t(row)].Construct(ELisCombo);
        iWayLists[size_t(row)].Construct(ELisCombo);
    }
}

CVexilSortKeyEdit1::~CVexilSortKeyEdit1()
{
    // The lists point at widgets that go with the window.
    iBackgroundList.SetBaseObj(nullptr);
    iSortKeyList.SetBaseObj(nullptr);
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        iControlLists[size_t(row)].SetBaseObj(nullptr);
        iWayLists[size_t(row)].SetBaseObj(nullptr);
    }
}

void CVexilSortKeyEdit1::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilSortKeyEdit1; });
}

void CVexilSortKeyEdit1::BuildDesign()
{
    QGroupBox* frame = TwipsFrame(this, QStringLiteral("fBackgroundFrame"), QStringLiteral("Background"), KMargin, KMargin,
                             KLeftWidth, KListFrameHeight);
    fBackgroundBox = Add<CVexilListView>(QStringLiteral("fBackgroundBox"), frame);
    fBackgroundBox->Move(KMargin, KFrameTop, KLeftWidth - 2 * KMargin, KListFrameHeight - KFrameTop - KMargin);
    frame = TwipsFrame(this, QStringLiteral("fSortKeyFrame"), QStringLiteral("Sort keys of background"), KMargin,
                  2 * KMargin + KListFrameHeight, KLeftWidth, KListFrameHeight);
    fSortKeyBox = Add<CVexilListView>(QStringLiteral("fSortKeyBox"), frame);
    fSortKeyBox->Move(KMargin, KFrameTop, KLeftWidth - 2 * KMargin, KListFrameHeight - KFrameTop - KMargin);

    fModeText = Add<CVexilLabel>(QStringLiteral("fModeText"));
    fModeText->Move(KRightLeft, KMargin, KRightWidth, KCaptionHeight);
    QFont bold = fModeText->font();
    bold.setBold(true);
    fModeText->setFont(bold);

    constexpr float KNameTop = 480;
    constexpr float KNameCaption = 720;
    auto* nameLabel = Add<CVexilLabel>(QStringLiteral("fNameLabel"));
    nameLabel->setText(QStringLiteral("Name:"));
    nameLabel->Move(KRightLeft, KNameTop + (KBoxHeight - KCaptionHeight) / 2, KNameCaption, KCaptionHeight);
    fName = Add<CVexilTextBox>(QStringLiteral("fName"));
    fName->Move(KRightLeft + KNameCaption, KNameTop, KRightWidth - KNameCaption, KBoxHeight);

    QGroupBox* components = TwipsFrame(this, QStringLiteral("fComponentsFrame"), QStringLiteral("Components"), KRightLeft,
                                  KComponentsTop, KRightWidth, KComponentsHeight);
    auto* fieldLabel = Add<CVexilLabel>(QStringLiteral("fControlLabel"), components);
    fieldLabel->setText(QStringLiteral("Field"));
    fieldLabel->Move(KMargin, KFrameTop, KFieldWidth, KCaptionHeight);
    auto* wayLabel = Add<CVexilLabel>(QStringLiteral("fSortWayLabel"), components);
    wayLabel->setText(QStringLiteral("Sort Way"));
    wayLabel->Move(KWayLeft, KFrameTop, KWayWidth, KCaptionHeight);
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        const float top = KFrameTop + KCaptionHeight + 60 + float(row) * KRow;
        CVexilComboBox*& field = fControlCombo[size_t(row)];
        field = Add<CVexilComboBox>(QStringLiteral("fControlCombo%1").arg(row), components);
        field->Move(KMargin, top, KFieldWidth, KBoxHeight);
        CVexilComboBox*& way = fSortWayCombo[size_t(row)];
        way = Add<CVexilComboBox>(QStringLiteral("fSortWayCombo%1").arg(row), components);
        way->Move(KWayLeft, top, KWayWidth, KBoxHeight);
    }

    auto addButton = [this](const QString& aName, const QString& aCaption) {
        auto* button = Add<CVexilCommandButton>(aName);
        button->setText(aCaption);
        // A click leaves the focus where it is: the button's handler checks the input itself.
        button->setFocusPolicy(Qt::TabFocus);
        return button;
    };
    fNewBut = addButton(QStringLiteral("fNewBut"), QStringLiteral("New"));
    fCreateBut = addButton(QStringLiteral("fCreateBut"), QStringLiteral("Create"));
    fModifyBut = addButton(QStringLiteral("fModifyBut"), QStringLiteral("Modify"));
    fDeleteBut = addButton(QStringLiteral("fDeleteBut"), QStringLiteral("Delete"));
    fSortBut = addButton(QStringLiteral("fSortBut"), QStringLiteral("Sort Cards"));
    PlaceButtons({fNewBut, fCreateBut, fModifyBut, fDeleteBut, fSortBut});
}

void CVexilSortKeyEdit1::ConnectEvents()
{
    auto on = [this](void (CVexilSortKeyEdit1::*aHandler)()) {
        return [this, aHandler] { Guarded([this, aHandler] { (this->*aHandler)(); }); };
    };
    connect(fBackgroundBox, &QTreeWidget::itemClicked, this, on(&CVexilSortKeyEdit1::BackgroundClicked));
    connect(fBackgroundBox, &QTreeWidget::itemDoubleClicked, this, on(&CVexilSortKeyEdit1::BackgroundDoubleClicked));
    connect(fSortKeyBox, &QTreeWidget::itemClicked, this, on(&CVexilSortKeyEdit1::SortKeyClicked));
    connect(fNewBut, &QPushButton::clicked, this, on(&CVexilSortKeyEdit1::NewClicked));
    connect(fCreateBut, &QPushButton::clicked, this, on(&CVexilSortKeyEdit1::CreateClicked));
    connect(fModifyBut, &QPushButton::clicked, this, on(&CVexilSortKeyEdit1::ModifyClicked));
    connect(fDeleteBut, &QPushButton::clicked, this, on(&CVexilSortKeyEdit1::DeleteClicked));
    connect(fSortBut, &QPushButton::clicked, this, on(&CVexilSortKeyEdit1::SortClicked));
    CheckOnLeave(fName, [this] { NameLeft(); });
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        CVexilComboBox* field = fControlCombo[size_t(row)];
        connect(field, &QComboBox::activated, this,
                [this, row] { Guarded([this, row] { ControlChosen(row, false); }); });
        CheckOnLeave(field, [this, row] { ControlChosen(row, true); });
    }
}

void CVexilSortKeyEdit1::Load()
{
    CVexilFormPlacement::Restore(*this);
    iBackgroundList.SetBaseObj(fBackgroundBox);
    iBackgroundList.Define1Column(QStringLiteral("Name"));
    iSortKeyList.SetBaseObj(fSortKeyBox);
    iSortKeyList.Define1Column(QStringLiteral("Name"));
    iBusy = true;
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        iControlLists[size_t(row)].SetBaseObj(fControlCombo[size_t(row)]);
        CVexilListBox& ways = iWayLists[size_t(row)];
        ways.SetBaseObj(fSortWayCombo[size_t(row)]);
        ways.AddLine(QStringLiteral("Ascending"), nullptr);
        ways.AddLine(QStringLiteral("Descending"), nullptr);
        ways.Show();
        fControlCombo[size_t(row)]->SetForeColor(KFieldColor);
    }
    iBusy = false;
    fBackgroundBox->SetForeColor(KBackgroundColor);
    CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
    if (iBackgroundList.NumLines() > 0)
    {
        iBackgroundList.SetSelIndex(0);
        ShowBackgroundSortKeys();
    }
    SetMode(EModeNone);
}

// ---- lists and modes

void CVexilSortKeyEdit1::ShowBackgroundSortKeys()
{
    // Without a stack the one line carries no background.
    iBackground = As<CVexilControlSet>(iBackgroundList.SelObj());
    iBusy = true;
    if (!iBackground)
    {
        iSortKeyList.ClearAndShow();
        for (CVexilListBox& fields : iControlLists)
            fields.ClearAndShow();
    }
    else
    {
        // The first key is highlighted only; it is shown when clicked.
        CVexilDialogLib::FillSortKeyList(iSortKeyList, *iBackground, QString());
        for (int row = 0; row < KNumKeyRows; ++row)
        {
            CVexilDialogLib::FillControlList(iControlLists[size_t(row)], *iBackground, kNone, true, false);
            CVexilLowLevelUi::SizeComboDropDown(fControlCombo[size_t(row)]);
        }
    }
    iBusy = false;
    SetMode(EModeNone);
}

void CVexilSortKeyEdit1::ShowSortKey()
{
    iBusy = true;
    fName->setText(iSortKey->Name());
    ClearRows();
    const TKeyRows rows = CVexilSortKeyRows::RowsOf(*iSortKey, *iBackground);
    const int32_t shown = std::min(iSortKey->NumParts(), KNumKeyRows);
    for (int32_t row = 0; row < shown; ++row)
    {
        const TKeyRow& part = rows[size_t(row)];
        int32_t line = 0;  // "(None)" for a part on a field the background does not have
        if (part.Control)
            iControlLists[size_t(row)].GetObjIndex(part.Control.get(), line);
        fControlCombo[size_t(row)]->setCurrentIndex(line);
        fSortWayCombo[size_t(row)]->setCurrentIndex(part.Way);
    }
    iBusy = false;
}

void CVexilSortKeyEdit1::ClearRows()
{
    const bool busy = iBusy;
    iBusy = true;
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        fControlCombo[size_t(row)]->setCurrentIndex(-1);
        fSortWayCombo[size_t(row)]->setCurrentIndex(-1);
    }
    iBusy = busy;
}

void CVexilSortKeyEdit1::SetMode(int32_t aMode)
{
    if (aMode != EModeNone && aMode != EModeModify && aMode != EModeNew)
    {
        CVexilError::Assert(false, QStringLiteral("SetMode aMode ") + QString::number(aMode));
        return;
    }
    iMode = aMode;
    if (aMode != EModeModify)
    {
        fName->clear();
        ClearRows();
        iSortKey = nullptr;
    }
    const bool editable = aMode != EModeNone;
    CVexilDialogLib::SetEditable(*fName, editable, false);
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        CVexilDialogLib::SetEditable(*fControlCombo[size_t(row)], editable, false);
        CVexilDialogLib::SetEditable(*fSortWayCombo[size_t(row)], editable, false);
    }
    fNewBut->SetEnabled(iBackground != nullptr);
    fCreateBut->SetEnabled(aMode == EModeNew && iBackground);
    fModifyBut->SetEnabled(aMode == EModeModify);
    fDeleteBut->SetEnabled(aMode == EModeModify);
    fSortBut->SetEnabled(aMode == EModeModify && iBackground && !iBackground->Flag(ECseKeepCardsSorted));
    switch (aMode)
    {
    case EModeModify: fModeText->setText(iSortKey ? iSortKey->Name() : QString()); break;
    case EModeNew: fModeText->setText(QStringLiteral("<new>")); break;
    default: fModeText->clear(); break;
    }
}

TKeyRows CVexilSortKeyEdit1::ReadRows() const
{
    TKeyRows rows;
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        rows[size_t(row)].Control = As<CVexilControl>(iControlLists[size_t(row)].SelObj());
        rows[size_t(row)].Way = iWayLists[size_t(row)].SelIndex();
    }
    return rows;
}

// ---- checks of the input

void CVexilSortKeyEdit1::Refocus(QWidget* aInput)
{
    iRefocusing = true;
    aInput->setFocus(Qt::OtherFocusReason);
    iRefocusing = false;
}

void CVexilSortKeyEdit1::ControlChosen(int aRow, bool aLeaving)
{
    CVexilComboBox* box = fControlCombo[size_t(aRow)];
    if (iBusy || (aLeaving && iRefocusing) || box->Locked())
        return;
    const auto control = As<CVexilControl>(iControlLists[size_t(aRow)].SelObj());
    if (!control)
        return;
    if (!CVexilSortKeyRows::FitsSortKey(*control))
    {
        CVexilMsg::Show(EMsgNotForSortKey, EMsgClsCritical);
        if (aLeaving)
            Refocus(box);
        return;
    }
    if (fSortWayCombo[size_t(aRow)]->currentIndex() < 0)
        fSortWayCombo[size_t(aRow)]->setCurrentIndex(EKeyWayAscending);
}

void CVexilSortKeyEdit1::NameLeft()
{
    // A read-only box is not examined: the user can always leave it.
    if (iRefocusing || fName->isReadOnly() || !gStack || !iBackground)
        return;
    const CVexilSortKeyWriter writer(*gStack, *iBackground);
    if (!writer.CheckName(fName->text(), iMode == EModeModify ? iSortKey.get() : nullptr))
        Refocus(fName);
}

bool CVexilSortKeyEdit1::CheckInput(const CVexilSortKeyWriter& aWriter, const CVexilSortKey* aKey)
{
    if (!aWriter.CheckName(fName->text(), aKey))
    {
        Refocus(fName);
        return false;
    }
    const TKeyRows rows = ReadRows();
    for (int row = 0; row < KNumKeyRows; ++row)
    {
        const TControlRef& control = rows[size_t(row)].Control;
        if (control && !CVexilSortKeyRows::FitsSortKey(*control))
        {
            CVexilMsg::Show(EMsgNotForSortKey, EMsgClsCritical);
            Refocus(fControlCombo[size_t(row)]);
            return false;
        }
    }
    return true;
}

// ---- handlers

void CVexilSortKeyEdit1::BackgroundClicked()
{
    ShowBackgroundSortKeys();
}

void CVexilSortKeyEdit1::BackgroundDoubleClicked()
{
    const auto background = As<CVexilControlSet>(iBackgroundList.SelObj());
    CVexilForm* editor = CVexilWinMan::NameToForm(kBackgroundEdit);
    if (!background || !editor)
        return;
    CVexilWinMan::ShowForm(*editor);
    QMetaObject::invokeMethod(editor, "SetAndShowBackground", Q_ARG(TControlSetRef, background));
}

void CVexilSortKeyEdit1::SortKeyClicked()
{
    const auto sortKey = As<CVexilSortKey>(iSortKeyList.SelObj());
    if (!sortKey || !iBackground)
        return;
    iSortKey = sortKey;
    SetMode(EModeModify);
    ShowSortKey();
}

void CVexilSortKeyEdit1::NewClicked()
{
    if (!iBackground)
        return;
    SetMode(EModeNew);
    fName->setFocus(Qt::OtherFocusReason);
}

void CVexilSortKeyEdit1::CreateClicked()
{
    // Taken now: the broadcast yields, and the window may show others meanwhile.
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    if (iMode != EModeNew || !stack || !background)
        return;
    CVexilSortKeyWriter writer(*stack, *background);
    if (!writer.Holds(nullptr) || !CheckInput(writer, nullptr))
        return;
    writer.Create(fName->text(), ReadRows());
    CVexilWinMan::NotifyAll(EChgSortKeys);
    SetMode(EModeNone);
}

void CVexilSortKeyEdit1::ModifyClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    const TSortKeyRef sortKey = iSortKey;
    if (iMode != EModeModify || !stack || !background || !sortKey)
        return;
    CVexilSortKeyWriter writer(*stack, *background);
    if (!writer.Holds(sortKey.get()) || !CheckInput(writer, sortKey.get()))
        return;
    if (writer.Modify(sortKey, fName->text(), ReadRows()))
        CVexilWinMan::NotifyAll(EChgCardOrder, background);
    CVexilWinMan::NotifyAll(EChgSortKeys);
    SetMode(EModeNone);
}

void CVexilSortKeyEdit1::DeleteClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    const TSortKeyRef sortKey = iSortKey;
    if (iMode != EModeModify || !stack || !background || !sortKey)
        return;
    CVexilSortKeyWriter writer(*stack, *background);
    if (!writer.Holds(sortKey.get()) || !writer.Delete(*sortKey))
        return;
    CVexilWinMan::NotifyAll(EChgSortKeys);
    SetMode(EModeNone);
}

void CVexilSortKeyEdit1::SortClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    const TSortKeyRef sortKey = iSortKey;
    // A background kept sorted keeps the order of its own key.
    if (iMode != EModeModify || !stack || !background || !sortKey || background->Flag(ECseKeepCardsSorted))
        return;
    CVexilSortKeyWriter writer(*stack, *background);
    if (!writer.Holds(sortKey.get()))
        return;
    writer.Sort(sortKey);
    CVexilWinMan::NotifyAll(EChgCardOrder);
}

void CVexilSortKeyEdit1::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent] {
        switch (aEvent)
        {
        case EChgStructure:
        {
            SetMode(EModeNone);
            const QString selected = iBackgroundList.SelLine();
            CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
            if (iBackgroundList.NumLines() > 0)
                iBackgroundList.SetSelIndexByLine(selected);
            ShowBackgroundSortKeys();
            break;
        }
        case EChgSortKeys:
            if (const auto background = As<CVexilControlSet>(iBackgroundList.SelObj()))
            {
                CVexilDialogLib::FillSortKeyList(iSortKeyList, *background, QString());
                iSortKeyList.SetSelIndex(-1);
            }
            break;
        case EChgClosingStack: UnloadForm(); break;
        default: break;
        }
    });
}
