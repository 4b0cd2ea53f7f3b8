#include "presentation/VexilCardView.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilListBoxLink.h"
#include "model/VexilWikiTextLink.h"
#include "platform/VexilCtls.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilImageList.h"
#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilFrameParts.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilLibPictures.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilWallPaper.h"

#include <QAction>

#include <algorithm>
#include <functional>

namespace
{
// The name prefixes of the pools, by BaseType.
const std::array<QString, CVexilCardView::KNumPools> KPoolPrefix = {
    QStringLiteral("fGenTextBox"),  QStringLiteral("fGenRichTextBox"), QStringLiteral("fGenComboBox"),
    QStringLiteral("fGenCheckBox"), QStringLiteral("fGenButton"),      QStringLiteral("fGenListView"),
    QStringLiteral("fGenLabel"),    QStringLiteral("fGenPictureBox"),  QStringLiteral("fGenLine"),
};

// Where a list view waits while it is not part of a layout.
constexpr float KAwayListPos = 10000;
// The two-pixel drop of a label against its field's frame.
constexpr float KLabelDrop = 2;

// The image of a picture button by its standard command; empty for a command without one.
QString PictButtonKey(int16_t aStdCmd)
{
    switch (aStdCmd)
    {
    case EStdCmdFirstCard: return QStringLiteral("FirstCard");
    case EStdCmdPrevCard: return QStringLiteral("PrevCard");
    case EStdCmdNextCard: return QStringLiteral("NextCard");
    case EStdCmdLastCard: return QStringLiteral("LastCard");
    case EStdCmdBackInHistory: return QStringLiteral("BackInHistory");
    case EStdCmdForwInHistory: return QStringLiteral("ForwInHistory");
    case EStdCmdShowCardList: return QStringLiteral("ShowCardList");
    case EStdCmdSelectCard: return QStringLiteral("SelectCard");
    default: return {};
    }
}

void ForEachField(const CVexilControlSet& aBackground, const std::function<void(const TControlRef&)>& aDo)
{
    TControlRef field;
    int32_t cursor = 0;
    for (bool more = aBackground.GetFirstControl(field, cursor); more; more = aBackground.GetNextControl(field, cursor))
        aDo(field);
}

// The run-time error of a layout that runs out of widgets or field places, naming the pool.
[[noreturn]] void PoolUsedUp(const QString& aPool)
{
    throw CVexilException(ERunSubscript, QStringLiteral("CVexilCardView"),
                          CVexilError::RunErrorDescription(ERunSubscript) + QStringLiteral(": ") + aPool);
}

CVexilCtl& Ctl(QObject* aWidget)
{
    return *CVexilCtl::Of(aWidget);
}

// Holds back the painting of a window while its widgets change, so that the yields to the
// event loop on the way do not paint every intermediate state; one repaint follows. Only a hold
// of the window's own is taken back: updates that are off because the window's frame in the
// document area holds them (while it maximizes or restores) come back with the frame's, and
// switching them off here for good would leave the window unpainted.
class TPaintHold
{
public:
    explicit TPaintHold(QWidget& aWindow)
        : iWindow(aWindow), iHeld(!aWindow.testAttribute(Qt::WA_ForceUpdatesDisabled))
    {
        if (iHeld)
            iWindow.setUpdatesEnabled(false);
    }
    ~TPaintHold()
    {
        if (iHeld)
            iWindow.setUpdatesEnabled(true);
    }
    TPaintHold(const TPaintHold&) = delete;
    TPaintHold& operator=(const TPaintHold&) = delete;

private:
    QWidget& iWindow;
    bool iHeld;
};

// Sets the card window's iShowing for the time of a check box's write.
class TShowingScope
{
public:
    explicit TShowingScope(CVexilGenForm& aForm) : iForm(aForm) { iForm.iShowing = true; }
    ~TShowingScope() { iForm.iShowing = false; }
    TShowingScope(const TShowingScope&) = delete;
    TShowingScope& operator=(const TShowingScope&) = delete;

private:
    CVexilGenForm& iForm;
};
}  // namespace

QString CVexilCardView::ObjDescr() const
{
    return QStringLiteral("CVexilCardView ") + iFormName;
}

void CVexilCardView::Construct(const TStackRef& aStack, const QString& aFormName)
{
    iStack = aStack;
    iFormName = aFormName;
    iPoolCount.fill(0);
    iControls.clear();
    iCurSet.reset();
}

CVexilGenForm& CVexilCardView::GetForm() const
{
    auto* form = iFormName == CVexilGenForm::KClassName
                     ? CVexilGenForm::Instance()
                     : dynamic_cast<CVexilGenForm*>(CVexilFormRegistry::NameToForm(iFormName));
    if (!form)
        CVexilError::RaiseRunError(ERunInvalidCall, ObjDescr());
    return *form;
}

template <class T>
T& CVexilCardView::GetBaseControl(int32_t aBaseType)
{
    // The number is used up even when the pool has no such widget.
    const QString name = KPoolPrefix.at(size_t(aBaseType)) + QString::number(iPoolCount.at(size_t(aBaseType))++);
    CVexilCtl* ctl = GetForm().Control(name);
    T* widget = ctl ? dynamic_cast<T*>(ctl->Widget()) : nullptr;
    if (!widget)
        PoolUsedUp(name);
    return *widget;
}

void CVexilCardView::ShowBaseControl(const CVexilControl& aField, CVexilCtl& aWidget)
{
    aWidget.SetVisible(true);
    aWidget.SetEnabled(!aField.Flag(EConDisabled));
}

int16_t CVexilCardView::GetVisLines(const CVexilControl& aField)
{
    return aField.Flag(EConMaxHeight) ? int16_t(1) : aField.VisLines();
}

float CVexilCardView::LimitWidth(float aWidth) const
{
    return std::min(aWidth, iMaxFieldWidth);
}

TControlRef CVexilCardView::VexilControl(const QObject* aWidget) const
{
    for (const TControlRef& field : iControls)
        if (field->BaseControl() == aWidget)
            return field;
    CVexilError::Assert(false, QStringLiteral("VexilControl found ") + (aWidget ? aWidget->objectName() : QString()));
    return nullptr;
}

bool CVexilCardView::IsVexilControl(const QObject* aWidget) const
{
    return aWidget && std::any_of(iControls.begin(), iControls.end(),
                                  [aWidget](const TControlRef& aField) { return aField->BaseControl() == aWidget; });
}

TControlRef CVexilCardView::FocusControl() const
{
    const CVexilCtl* active = GetForm().ActiveControl();
    if (!active || !IsVexilControl(active->Widget()))
        return nullptr;
    return VexilControl(active->Widget());
}

void CVexilCardView::DrawWallPaper(const TCardRef& aCard)
{
    CVexilGenForm& form = GetForm();
    std::vector<QPointF> positions;
    if (PlaceWallPaper(*form.fWallPaperBox, *aCard, form.Width(), form.Height(), positions))
        form.SetWallPaperDrawing(form.fWallPaperBox->Picture(), std::move(positions));
}

void CVexilCardView::AssignControlSet(const TCardRef& aCard, const TControlSetRef& aBackground)
{
    const TPaintHold hold(GetForm());
    if (aBackground == iCurSet)
    {
        RefreshColours(*aCard);
        DoEvents();
        DrawWallPaper(aCard);
        return;
    }
    Clear();
    iCurSet = aBackground;
    ForgetLinks(*aBackground);
    iCardNameLabel = nullptr;
    iMargin = aBackground->Flag(ECseDenseLayout) ? CVexilLibUi::DenseLayoutMargin() : CVexilLibUi::LayoutMargin();
    iControls.clear();
    iMenuCmds.clear();
    HideAll();
    DoEvents();

    CVexilGenForm& form = GetForm();
    form.SetBackColor(CVexilLibUi::GetEffectiveBackColor(*aCard));
    iPoolCount.fill(0);
    StartFlows(form.InnerHeight());
    FindLabelColumn(*aCard, *aBackground, form.InnerWidth());
    if (aBackground->Flag(ECseShowCardName))
        PlaceHeader(*aCard);
    PlaceFields(*aCard, *aBackground);
    StretchControls(*aBackground);
    AssignMenuItems(*aBackground);
    DoEvents();
    DrawWallPaper(aCard);
}

void CVexilCardView::RefreshColours(const CVexilCard& aCard)
{
    CVexilGenForm& form = GetForm();
    const int32_t colour = CVexilLibUi::GetEffectiveBackColor(aCard);
    form.SetBackColor(colour);
    // Labels and check boxes take the card's colour; the field widgets keep the fields' own.
    for (CVexilCtl* ctl : form.Controls())
    {
        QWidget* widget = ctl->Widget();
        if (ctl->Visible() && (qobject_cast<CVexilCheckBox*>(widget) || qobject_cast<CVexilLabel*>(widget)))
            CVexilLibUi::SetCtlBackColor(*ctl, colour);
    }
}

void CVexilCardView::ForgetLinks(const CVexilControlSet& aBackground)
{
    ForEachField(aBackground, [](const TControlRef& aField) {
        aField->SetBaseControl(nullptr, UndefInt);
        aField->SetBaseLabel(nullptr);
        aField->SetBaseFunc(nullptr);
    });
}

void CVexilCardView::HideAll()
{
    for (CVexilCtl* ctl : GetForm().Controls())
    {
        ctl->SetVisible(false);
        if (qobject_cast<CVexilListView*>(ctl->Widget()))
        {
            ctl->SetLeft(KAwayListPos);
            ctl->SetTop(KAwayListPos);
            DoEvents();
        }
    }
}

void CVexilCardView::StartFlows(float aInnerHeight)
{
    iFlowX = {iMargin, iMargin};
    iFlowY = {iMargin, aInnerHeight - iMargin};
    iLabelColX = iMargin;
}

void CVexilCardView::FindLabelColumn(const CVexilCard& aCard, const CVexilControlSet& aBackground, float aInnerWidth)
{
    CVexilLabel& measure = *GetForm().fGenLabel[0];
    ForEachField(aBackground, [&](const TControlRef& aField) {
        if (!aField->InCardView() || aField->ConType() == EConTypeCommand || aField->Flag(EConComboList) ||
            aField->Label().isEmpty())
            return;
        // Labels are measured in the card's font, without the field's own.
        measure.setText(aField->Label());
        float height = 0;
        float width = 0;
        CVexilLibUi::ApplyControlFont(measure, aCard, nullptr, height, width);
        iLabelColX = std::max(iLabelColX, width + iFlowX[ETopDown] + iMargin);
    });
    iLabelColX = std::min(iLabelColX, aInnerWidth / 2 - iMargin);
    iMaxFieldWidth = aInnerWidth - iLabelColX - iMargin;
}

void CVexilCardView::PlaceHeader(const CVexilCard& aCard)
{
    CVexilGenForm& form = GetForm();
    CVexilLabel& label = GetBaseControl<CVexilLabel>(EBasLabel);
    iCardNameLabel = &label;
    label.setText(QStringLiteral("Card Name"));
    float height = 0;
    float width = 0;
    CVexilLibUi::ApplyControlFont(label, aCard, nullptr, height, width);
    label.Move(iFlowX[ETopDown], iFlowY[ETopDown], form.InnerWidth() - iFlowX[ETopDown], height);
    label.SetVisible(true);
    label.SetEnabled(true);
    label.SetBackColor(form.BackColor());

    // The progress of a running script shows inside the window, at the header's right end,
    // and only while a script runs.
    form.fProgress->SetWidth(0);
    form.fProgress->SetVisible(true);
    form.fProgressBox->SetTop(iFlowY[ETopDown]);
    form.fProgressBox->SetLeft(form.InnerWidth() - form.fProgressBox->Width() - iMargin);
    form.fProgressBox->SetVisible(false);
    iFlowY[ETopDown] += height + iMargin;

    // From the window's first pixel to its last: a rule one pixel beyond the edge would make
    // the window that is fitted to its contents one pixel wider at every opening.
    CVexilLine& rule = GetBaseControl<CVexilLine>(EBasLine);
    rule.SetEnds(0, iFlowY[ETopDown], form.InnerWidth() - CVexilCtl::KTwipsPerPixel, iFlowY[ETopDown]);
    rule.SetVisible(true);
    iFlowY[ETopDown] += iMargin;
}

void CVexilCardView::PlaceFields(const CVexilCard& aCard, const CVexilControlSet& aBackground)
{
    iLastType = {UndefInt, UndefInt};
    iNumStretch = 0;
    int32_t tabIndex = 0;
    ForEachField(aBackground, [&](const TControlRef& aField) {
        if (aField->InCardView() && !aField->Flag(EConComboList))
        {
            AssignBaseControl(aCard, aBackground, aField);
            if (aField->BaseControl())
                Ctl(aField->BaseControl()).SetTabIndex(tabIndex++);
        }
        DoEvents();
    });
}

void CVexilCardView::StretchControls(const CVexilControlSet& aBackground)
{
    if (iNumStretch == 0)
        return;
    const float free = iFlowY[EBottomUp] - iFlowY[ETopDown];
    if (CVexilLibUi::LineHeight() > free)
        return;
    const float share = free / float(iNumStretch);
    float shift = 0;
    ForEachField(aBackground, [&](const TControlRef& aField) {
        // A combo list shares its partner's box, which moves with the partner. A maximum-height
        // field of the bottom-up flow keeps its one line; its share stays empty.
        if (!aField->BaseControl() || aField->Flag(EConComboList) || aField->Flag(EConFromBottom))
            return;
        CVexilCtl& widget = Ctl(aField->BaseControl());
        if (shift > 0)
        {
            widget.SetTop(widget.Top() + shift);
            if (aField->BaseLabel())
            {
                CVexilCtl& label = Ctl(aField->BaseLabel());
                label.SetTop(label.Top() + shift);
            }
            DoEvents();
        }
        if (aField->Flag(EConMaxHeight))
        {
            widget.SetHeight(widget.Height() + share);
            shift += share;
        }
    });
}

float CVexilCardView::FlowPlace(EFlow aFlow, float aHeight)
{
    const float top = aFlow == ETopDown ? iFlowY[aFlow] : iFlowY[aFlow] - aHeight;
    iFlowY[aFlow] += iDir * (aHeight + iMargin);
    return top;
}

void CVexilCardView::AssignBaseControl(const CVexilCard& aCard, const CVexilControlSet& aBackground,
                                       const TControlRef& aField)
{
    const EFlow flow = aField->Flag(EConFromBottom) ? EBottomUp : ETopDown;
    iDir = flow == ETopDown ? 1 : -1;
    if (iControls.size() >= size_t(KMaxControls))
        PoolUsedUp(QStringLiteral("fields of a layout (%1)").arg(KMaxControls));
    iControls.push_back(aField);
    if (aField->Flag(EConMaxHeight))
        ++iNumStretch;

    switch (aField->ConType())
    {
    case EConTypeText:
    case EConTypeInteger:
    case EConTypeReal:
    case EConTypeDate:
    case EConTypeTime:
        PlaceLabel(aCard, *aField, flow);
        PlaceTextField(aCard, aBackground, *aField, flow);
        break;
    case EConTypeBoolean:
        PlaceLabel(aCard, *aField, flow);
        PlaceCheckBox(aCard, *aField, flow);
        break;
    case EConTypeList:
        PlaceLabel(aCard, *aField, flow);
        PlaceList(aCard, *aField, flow);
        break;
    case EConTypeCommand:
        if (aField->Flag(EConAsButton))
            PlaceButton(*aField, flow);
        break;
    case EConTypePicture:
        PlaceLabel(aCard, *aField, flow);
        PlacePicture(*aField, flow);
        break;
    default:
        PlaceLabel(aCard, *aField, flow);
        CVexilError::Assert(false, QStringLiteral("AssignBaseControl conType"));
        break;
    }
    iLastType[flow] = aField->ConType();
}

void CVexilCardView::PlaceLabel(const CVexilCard& aCard, CVexilControl& aField, EFlow aFlow)
{
    CVexilLabel& label = GetBaseControl<CVexilLabel>(EBasLabel);
    ShowBaseControl(aField, label);
    label.setText(aField.Label());
    float height = 0;
    float width = 0;
    CVexilLibUi::ApplyControlFont(label, aCard, nullptr, height, width);
    // Right-aligned against the field column; a label wider than its column starts at the margin.
    const float left = std::max(iLabelColX - width - iFlowX[aFlow], iMargin);
    const float y = iFlowY[aFlow];
    label.Move(left, aFlow == ETopDown ? y + KLabelDrop : y - height + KLabelDrop, width, height);
    label.SetBackColor(GetForm().BackColor());
    aField.SetBaseLabel(&label);
}

void CVexilCardView::PlaceTextField(const CVexilCard& aCard, const CVexilControlSet& aBackground, CVexilControl& aField,
                                    EFlow aFlow)
{
    if (aField.Flag(EConComboText))
    {
        PlaceCombo(aCard, aBackground, aField, aFlow);
        return;
    }
    const bool rich = aField.VisLines() > 1 || aField.Flag(EConWikiText) || aField.Flag(EConMaxHeight);
    CVexilCtl* box = nullptr;
    if (rich)
    {
        auto& richBox = GetBaseControl<CVexilRichTextBox>(EBasRichTextBox);
        // Wiki text is edited in its own editor, never in place.
        richBox.setReadOnly(aField.Flag(EConWikiText));
        box = &richBox;
    }
    else
    {
        CVexilError::Assert(aField.VisLines() == 1, QStringLiteral("AssignBaseControl TextBox 1"));
        box = &GetBaseControl<CVexilTextBox>(EBasTextBox);
    }
    ShowBaseControl(aField, *box);
    float lineHeight = 0;
    float charWidth = 0;
    CVexilLibUi::ApplyControlFont(*box, aCard, &aField, lineHeight, charWidth);
    CVexilLibUi::SetCtlBackColor(*box, aField.BackColor());
    const float height = float(rich ? GetVisLines(aField) : 1) * lineHeight + CVexilLibUi::CtlBorderHeight();
    // A date or time box is never narrower than its widest text.
    float width = float(aField.VisChar()) * charWidth + CVexilLibUi::CtlBorderWidth();
    if (!rich)
        width = std::max(width, CVexilLibUi::ValueBoxWidth(*box->Widget(), CVexilValue::ConToValType(aField.ConType())));
    width = LimitWidth(width);
    box->Move(iLabelColX, FlowPlace(aFlow, height), width, height);
    aField.SetBaseControl(box->Widget(), rich ? EBasRichTextBox : EBasTextBox);
}

void CVexilCardView::PlaceCombo(const CVexilCard& aCard, const CVexilControlSet& aBackground, CVexilControl& aField,
                                EFlow aFlow)
{
    auto& combo = GetBaseControl<CVexilComboBox>(EBasComboBox);
    ShowBaseControl(aField, combo);
    float lineHeight = 0;
    float charWidth = 0;
    CVexilLibUi::ApplyControlFont(combo, aCard, &aField, lineHeight, charWidth);
    CVexilLibUi::SetCtlBackColor(combo, aField.BackColor());
    // The combo box keeps its own height; its width follows the default font.
    const float height = combo.Height();
    const float width =
        LimitWidth(float(aField.VisChar()) * CVexilLibUi::AvgCharWidth() + CVexilLibUi::CtlBorderWidth());
    combo.Move(iLabelColX, FlowPlace(aFlow, height), width, height);
    aField.SetBaseControl(&combo, EBasComboBox);

    // The combo list holds the drop-down lines in the same box.
    TControlRef partner;
    const bool found = aBackground.GetControl(aField.PartnerId(), partner);
    CVexilError::Assert(found, QStringLiteral("AssignBaseControl partner"));
    if (!found)
        return;
    partner->SetBaseControl(&combo, EBasComboBox);
    if (partner->ListBox())
        partner->ListBox()->Show();
}

void CVexilCardView::PlaceCheckBox(const CVexilCard& aCard, CVexilControl& aField, EFlow aFlow)
{
    auto& box = GetBaseControl<CVexilCheckBox>(EBasCheckBox);
    ShowBaseControl(aField, box);
    box.setText(QString());
    const float height = CVexilLibUi::LineHeight() + CVexilLibUi::CtlBorderHeight();
    box.Move(iLabelColX, FlowPlace(aFlow, height), box.Width(), height);
    CVexilLibUi::SetCtlBackColor(box, CVexilLibUi::GetEffectiveBackColor(aCard));
    aField.SetBaseControl(&box, EBasCheckBox);
}

void CVexilCardView::PlaceList(const CVexilCard& aCard, CVexilControl& aField, EFlow aFlow)
{
    auto& view = GetBaseControl<CVexilListView>(EBasListView);
    ShowBaseControl(aField, view);
    float lineHeight = 0;
    float charWidth = 0;
    CVexilLibUi::ApplyControlFont(view, aCard, &aField, lineHeight, charWidth);
    CVexilLibUi::SetCtlBackColor(view, aField.BackColor());
    const float height =
        float(GetVisLines(aField) + 1) * CVexilLibUi::LineHeight() + 2 * CVexilLibUi::CtlBorderHeight();
    const float width =
        LimitWidth(float(aField.VisChar()) * CVexilLibUi::AvgCharWidth() + CVexilLibUi::ListBorderWidth());
    view.Move(iLabelColX, FlowPlace(aFlow, height), width, height);
    aField.SetBaseControl(&view, EBasListView);
    if (aField.ListBox())
        aField.ListBox()->SetFont(CVexilLibUi::GetEffectiveFont(aCard, &aField));
}

void CVexilCardView::PlaceButton(CVexilControl& aField, EFlow aFlow)
{
    auto& button = GetBaseControl<CVexilCommandButton>(EBasButton);
    ShowBaseControl(aField, button);

    // A picture button shows the image of its standard command; one without image shows its
    // label instead.
    QString key;
    if (aField.Flag(EConPictButton) && aField.Flag(EConStdCmd))
    {
        key = PictButtonKey(aField.StdCmd());
        CVexilError::Assert(!key.isEmpty(), QStringLiteral("AssignBaseControl pict stdCmd"));
    }
    if (key.isEmpty())
    {
        button.setText(aField.Label());
        button.SetPicture(QImage());
    }
    else
    {
        button.setText(QString());
        button.SetPicture(CVexilFrameParts::ToolbarIcons().Picture(key));
    }

    const float border = 2 * CVexilLibUi::CtlBorderWidth();
    const float width = aField.VisChar() == UndefInt
                            ? CVexilLibUi::CtlTextWidth(CVexilLibUi::TestWindow(), button.text()) + border
                            : float(aField.VisChar()) * CVexilLibUi::AvgCharWidth() + border;
    const float height = button.Height();
    float left = iMargin;
    float top = 0;
    // A button goes on in the row of the command just before it while the row has room.
    if (iLastType[aFlow] == EConTypeCommand && iRowX[aFlow] + width <= GetForm().InnerWidth() - iMargin)
    {
        left = iRowX[aFlow];
        top = iRowY[aFlow];
    }
    else
        top = FlowPlace(aFlow, height);
    button.Move(left, top, width, height);
    aField.SetBaseControl(&button, EBasButton);
    iRowX[aFlow] = left + width + iMargin;
    iRowY[aFlow] = top;
    CVexilLibUi::SetCtlBackColor(button, aField.BackColor());
}

void CVexilCardView::PlacePicture(CVexilControl& aField, EFlow aFlow)
{
    auto& box = GetBaseControl<CVexilPictureBox>(EBasPictureBox);
    ShowBaseControl(aField, box);
    const float height =
        float(GetVisLines(aField) + 1) * CVexilLibUi::LineHeight() + 2 * CVexilLibUi::CtlBorderHeight();
    const float width =
        LimitWidth(float(aField.VisChar()) * CVexilLibUi::AvgCharWidth() + CVexilLibUi::CtlBorderWidth());
    box.Move(iLabelColX, FlowPlace(aFlow, height), width, height);
    aField.SetBaseControl(&box, EBasPictureBox);
    CVexilLibUi::SetCtlBackColor(box, aField.BackColor());
}

void CVexilCardView::AssignMenuItems(const CVexilControlSet& aBackground)
{
    iMenuCmds.clear();
    ForEachField(aBackground, [this](const TControlRef& aField) {
        if (aField->ConType() == EConTypeCommand && aField->Flag(EConInMenu))
            iMenuCmds.push_back(aField);
    });
    CVexilCmdMenu& menu = CVexilFrameParts::CmdMenu();
    menu.SetMenuEnabled(!iMenuCmds.empty());
    // The menu has ten items; the commands beyond them get none.
    const size_t numItems = std::min(iMenuCmds.size(), size_t(CVexilCmdMenu::KNumFuncs));
    for (size_t i = 0; i < numItems; ++i)
    {
        auto* item = qobject_cast<QAction*>(ControlByName(QStringLiteral("fGenFunc%1").arg(i)));
        if (!item)
            continue;
        item->setVisible(true);
        item->setText(iMenuCmds[i]->Label());
        iMenuCmds[i]->SetBaseFunc(item);
    }
    if (auto* noCmd = qobject_cast<QAction*>(ControlByName(QStringLiteral("fNoCmd"))))
        noCmd->setVisible(iMenuCmds.empty());
    for (int i = int(numItems); i < CVexilCmdMenu::KNumFuncs; ++i)
        if (auto* item = qobject_cast<QAction*>(ControlByName(QStringLiteral("fGenFunc%1").arg(i))))
            item->setVisible(false);
}

QObject* CVexilCardView::ControlByName(const QString& aName) const
{
    QAction* item = CVexilFrameParts::CmdMenu().Item(aName);
    CVexilError::Assert(item != nullptr, QStringLiteral("ControlByName ") + aName);
    return item;
}

void CVexilCardView::ShowValues(const TCardRef& aCard)
{
    const TControlSetRef background = aCard->Background();
    if (!background)
        return;
    if (background->Flag(ECseShowCardName) && iCardNameLabel)
        iCardNameLabel->setText(CVexilLib::OneLine(aCard->Name()));
    ForEachField(*background, [&](const TControlRef& aField) {
        const bool shown = (aField->ConType() != EConTypeCommand && aField->InCardView()) || aField->Flag(EConComboList);
        // A field that the layout did not reach has no widget to show its value in.
        if (!shown || !aField->BaseControl())
            return;
        TValue value;
        aCard->GetControlVal(aField->Id(), value, true);
        SetBaseControlVal(*aField, value, *aCard);
    });
}

void CVexilCardView::SetBaseControlVal(CVexilControl& aField, const TValue& aVal, CVexilCard& aCard)
{
    QObject* widget = aField.BaseControl();
    if (!widget)
        return;
    const TControlSetRef background = aCard.Background();
    if (aField.Flag(EConCardName) && background && background->Flag(ECseShowCardName) && iCardNameLabel)
        iCardNameLabel->setText(CVexilLib::OneLine(CVexilValue::ValToExtText(aVal, aField)));

    switch (aField.BaseType())
    {
    case EBasTextBox:
        static_cast<CVexilTextBox*>(widget)->setText(CVexilValue::ValToExtText(aVal, aField));
        break;
    case EBasRichTextBox:
    {
        // Every type shows its display text, as in a one-line box; line ends are CR LF. Wiki
        // text shows as its renderer draws it.
        auto* box = static_cast<CVexilRichTextBox*>(widget);
        const QString text = CVexilValue::ValToExtText(aVal, aField);
        if (IVexilWikiTextLink* wiki = aField.Flag(EConWikiText) ? aField.WikiTextBox() : nullptr)
        {
            wiki->SetStr(text);
            box->SetTextRtf(wiki->TextStr());
        }
        else
            box->SetText(text);
        box->SetSelStart(0);
        break;
    }
    case EBasComboBox:
        WriteCombo(aField, aVal, aCard);
        break;
    case EBasCheckBox:
    {
        bool checked = false;
        if (aVal.iType != EValUndef)
        {
            CVexilError::CheckFailed(aVal.iType == EValBool, this, QStringLiteral("SetBaseControlVal"),
                                     QStringLiteral("aVal.iType"));
            checked = aVal.iType == EValBool && aVal.iBool;
        }
        const TShowingScope showing(GetForm());
        static_cast<CVexilCheckBox*>(widget)->SetValue(checked ? 1 : 0);
        break;
    }
    case EBasButton:
        break;
    case EBasListView:
    {
        TValue text = aVal;
        CVexilValue::EnsureStr(text);
        const bool isStr = text.iType == EValStr;
        CVexilError::CheckFailed(isStr, this, QStringLiteral("SetBaseControlVal"), QStringLiteral("aVal.iType"));
        if (isStr && aCard.Stack())
            aField.SetList(*aCard.Stack(), text.iStr, aField.Flag(EConCardList));
        break;
    }
    case EBasPictureBox:
    {
        int32_t id = UndefLong;
        if (aVal.iType != EValUndef)
        {
            CVexilError::CheckFailed(aVal.iType == EValBlobId, this, QStringLiteral("SetBaseControlVal"),
                                     QStringLiteral("EValBlobId"));
            if (aVal.iType == EValBlobId)
                id = aVal.iInt;
        }
        if (iStack)
            CVexilLibPictures::ShowBlobInPictureBox(*iStack->BlobStore(), *static_cast<CVexilPictureBox*>(widget), id);
        break;
    }
    default:
        CVexilError::Assert(false, QStringLiteral("SetBaseControlVal iBaseType"));
        break;
    }
}

void CVexilCardView::WriteCombo(CVexilControl& aField, const TValue& aVal, CVexilCard& aCard)
{
    const TControlSetRef background = aCard.Background();
    TControlRef partner;
    const bool found = background && background->GetControl(aField.PartnerId(), partner);
    CVexilError::Assert(found, QStringLiteral("SetBaseControlVal partner"));
    if (!found)
        return;
    // Both sides select by display text, so numeric combo fields show their values too.
    if (aField.ConType() == EConTypeList)
    {
        TValue lines = aVal;
        CVexilValue::EnsureStr(lines);
        if (aCard.Stack())
            aField.SetList(*aCard.Stack(), lines.iStr, false);
        TValue partnerVal;
        aCard.GetControlVal(partner->Id(), partnerVal, false);
        const QString text = CVexilValue::ValToExtText(partnerVal, *partner);
        if (text.isEmpty())
            aField.ListBox()->SetEmpty();
        else
            aField.ListBox()->SetComboText(text);
        return;
    }
    if (!aField.AllowsCombo() || !partner->ListBox())
        return;
    const auto* combo = qobject_cast<const CVexilComboBox*>(partner->ListBox()->BaseObj());
    // An empty list keeps what the box shows.
    if (!combo || combo->count() == 0)
        return;
    const QString text = CVexilValue::ValToExtText(aVal, aField);
    if (text.isEmpty())
        partner->ListBox()->SetEmpty();
    else
        partner->ListBox()->SetComboText(text);
}

bool CVexilCardView::TypedText(const CVexilControl& aField, QString& aText) const
{
    QObject* widget = aField.BaseControl();
    if (!widget)
        return false;
    switch (aField.BaseType())
    {
    case EBasTextBox: aText = static_cast<CVexilTextBox*>(widget)->text(); return true;
    case EBasRichTextBox: aText = static_cast<CVexilRichTextBox*>(widget)->Text(); return true;
    case EBasComboBox:
        if (aField.ConType() == EConTypeList)
            return false;
        aText = static_cast<CVexilComboBox*>(widget)->currentText();
        return true;
    default: return false;
    }
}

TValue CVexilCardView::GetBaseControlVal(const CVexilControl& aField) const
{
    TValue val;
    QObject* widget = aField.BaseControl();
    if (!widget)
    {
        val.iType = EValStr;
        return val;
    }
    QString typed;
    if (TypedText(aField, typed))
        return CVexilValue::ExtTextToVal(typed, aField);
    switch (aField.BaseType())
    {
    case EBasCheckBox:
    {
        const int value = static_cast<CVexilCheckBox*>(widget)->Value();
        CVexilError::Assert(value == 0 || value == 1, QStringLiteral("GetBaseControlVal 01"));
        val.iType = EValBool;
        val.iBool = value == 1;
        return val;
    }
    case EBasButton:
    case EBasPictureBox:
        return val;
    case EBasComboBox:  // of a list field
    case EBasListView:
        val.iType = EValStr;
        val.iStr = aField.GetList();
        return val;
    default:
        CVexilError::Assert(false, QStringLiteral("GetBaseControlVal iBaseType"));
        return val;
    }
}

void CVexilCardView::Clear()
{
    CVexilGenForm& form = GetForm();
    const TPaintHold hold(form);
    CVexilBlobStore* store = iStack ? iStack->BlobStore().get() : nullptr;
    for (CVexilCtl* ctl : form.Controls())
    {
        ctl->SetVisible(false);
        QWidget* widget = ctl->Widget();
        if (auto* view = qobject_cast<CVexilListView*>(widget))
        {
            ctl->SetLeft(KAwayListPos);
            ctl->SetTop(KAwayListPos);
            view->clear();
        }
        else if (auto* rich = qobject_cast<CVexilRichTextBox*>(widget))
            rich->SetText(QString());
        else if (auto* box = qobject_cast<CVexilPictureBox*>(widget); box && store)
            CVexilLibPictures::ShowBlobInPictureBox(*store, *box, UndefLong);
        DoEvents();
    }
    form.SetWallPaperDrawing(QImage(), {});
    SetTitle(QStringLiteral("(No Card)"));
    iCurSet.reset();
    DoEvents();
}

void CVexilCardView::PrepareClose(const TCardRef& aCard)
{
    CVexilGenForm& form = GetForm();
    if (aCard && aCard->Stack())
    {
        CVexilBlobStore& store = *aCard->Stack()->BlobStore();
        for (CVexilCtl* ctl : form.Controls())
        {
            auto* box = qobject_cast<CVexilPictureBox*>(ctl->Widget());
            if (box && box != form.fWallPaperBox)
                CVexilLibPictures::ShowBlobInPictureBox(store, *box, UndefLong);
        }
        CVexilLibPictures::ShowBlobInPictureBox(store, *form.fWallPaperBox, UndefLong);
    }
    iCurSet.reset();
}

void CVexilCardView::SetTitle(const QString& aTitle)
{
    GetForm().SetCaption(CVexilLib::OneLine(aTitle));
}
