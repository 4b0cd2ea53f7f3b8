#include "presentation/VexilCardListForm.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilRect.h"
#include "model/VexilStackViewRec.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilCardListView.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilPlacement.h"
#include "presentation/VexilStackView.h"
#include "presentation/VexilStackViewWindows.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <exception>

namespace
{
// The design in twips: the filter and the buttons in a row above the list, which fills the
// rest of the window.
constexpr float KClientWidth = 6900;
constexpr float KClientHeight = 5000;
constexpr float KRowTop = 90;
constexpr float KLabelLeft = 120;
constexpr float KComboWidth = 2700;
constexpr float KButtonWidth = 900;
constexpr float KButtonHeight = 345;
constexpr float KButtonGap = 90;
constexpr float KListLeft = 60;
constexpr float KListTop = 540;

// A combo box whose drop-down list is sized to its lines each time it opens.
class CBackgroundCombo : public CVexilComboBox
{
public:
    using CVexilComboBox::CVexilComboBox;

    void showPopup() override
    {
        CVexilLowLevelUi::SizeComboDropDown(this);
        CVexilComboBox::showPopup();
    }
};

float Twips(int aPixels)
{
    return CVexilCtl::PixelsToTwips(aPixels);
}

QRectF TwipsRect(const QRect& aPixels)
{
    return {Twips(aPixels.x()), Twips(aPixels.y()), Twips(aPixels.width()), Twips(aPixels.height())};
}
}  // namespace

CVexilCardListForm::CVexilCardListForm()
{
    setObjectName(KClassName);
    SetCaption(QStringLiteral("Card List"));
    resize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));

    fCardBox = Add<CVexilListView>(QStringLiteral("fCardBox"));
    fCardBox->Move(KListLeft, KListTop, KClientWidth - 2 * KListLeft, KClientHeight - KListTop - KListLeft);
    fBackgroundLabel = Add<CVexilLabel>(QStringLiteral("fBackgroundLabel"));
    fBackgroundLabel->setText(QStringLiteral("Background:"));
    fBackgroundCombo = Add<CBackgroundCombo>(QStringLiteral("fBackgroundCombo"));
    // A filter: the user picks a line and types nothing.
    fBackgroundCombo->setEditable(false);
    const float comboHeight = Twips(fBackgroundCombo->sizeHint().height());
    const QSize label = fBackgroundLabel->sizeHint();
    fBackgroundLabel->Move(KLabelLeft, KRowTop + (comboHeight - Twips(label.height())) / 2, Twips(label.width()),
                           Twips(label.height()));
    const float comboLeft = KLabelLeft + Twips(label.width()) + KButtonGap;
    fBackgroundCombo->Move(comboLeft, KRowTop, KComboWidth, comboHeight);
    fUpBut = Add<CVexilCommandButton>(QStringLiteral("fUpBut"));
    fUpBut->setText(QStringLiteral("Up"));
    const float buttonTop = KRowTop + (comboHeight - KButtonHeight) / 2;
    fUpBut->Move(comboLeft + KComboWidth + 2 * KButtonGap, buttonTop, KButtonWidth, KButtonHeight);
    fDownBut = Add<CVexilCommandButton>(QStringLiteral("fDownBut"));
    fDownBut->setText(QStringLiteral("Down"));
    fDownBut->Move(fUpBut->Left() + KButtonWidth + KButtonGap, buttonTop, KButtonWidth, KButtonHeight);
    ConnectEvents();
}

void CVexilCardListForm::ConnectEvents()
{
    // The item click comes with the press, as the line is selected; the release after it is
    // the mouse-up that hands the focus on.
    connect(fCardBox, &QTreeWidget::itemPressed, this, [this] { Guarded([this] { CardBoxItemClick(); }); });
    fCardBox->viewport()->installEventFilter(this);
    // Every pick of a line, the line shown already included; the program's own selections
    // raise no activation.
    connect(fBackgroundCombo, &QComboBox::activated, this, [this] { Guarded([this] { BackgroundComboValidate(); }); });
    connect(fUpBut, &QPushButton::clicked, this,
            [this] { WithView([](CVexilCardListView& aView) { aView.MoveSelectedCard(true); }); });
    connect(fDownBut, &QPushButton::clicked, this,
            [this] { WithView([](CVexilCardListView& aView) { aView.MoveSelectedCard(false); }); });
}

template <class F>
void CVexilCardListForm::Guarded(F aWork)
{
    try
    {
        aWork();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(KClassName, e);
        CVexilMsg::ShowError();
    }
}

template <class F>
void CVexilCardListForm::WithView(F aWork)
{
    Guarded([this, &aWork] {
        // The view lives to the end of the call, even when the call closes the stack.
        if (const std::shared_ptr<CVexilCardListView> view = iView.lock())
            aWork(*view);
    });
}

void CVexilCardListForm::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilCardListForm; });
}

CVexilCardListForm* CVexilCardListForm::Instance()
{
    if (!CVexilFormRegistry::IsRegistered(KClassName))
        Register();
    return static_cast<CVexilCardListForm*>(CVexilFormRegistry::NameToForm(KClassName));
}

void CVexilCardListForm::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    WithView([aEvent](CVexilCardListView& aView) { aView.ChangeNotify(aEvent); });
}

void CVexilCardListForm::CardBoxItemClick()
{
    if (const TStackViewRef view = gStackView)
        view->GoToSelectedCard();
    iCardPicked = true;
}

void CVexilCardListForm::CardBoxMouseUp()
{
    if (!iCardPicked)
        return;
    CVexilGenForm* cardWindow = CVexilGenForm::Instance();
    cardWindow->Activate();
    cardWindow->setFocus();
}

void CVexilCardListForm::BackgroundComboValidate()
{
    if (iShowing)
        return;
    WithView([](CVexilCardListView& aView) { aView.FillAndShowCardList(false); });
}

void CVexilCardListForm::setVisible(bool aVisible)
{
    if (aVisible && !iLoaded)
    {
        iLoaded = true;
        // A top-level window knows its frame once it has its native window; the outer size
        // includes the frame. In the document area the frame is ours.
        if (isWindow() && !MdiArea())
            create();
        Guarded([this] { Load(); });
    }
    CVexilForm::setVisible(aVisible);
}

void CVexilCardListForm::Load()
{
    QScopedValueRollback<bool> loading(iLoading, true);
    if (const TStackViewRef view = gStackView)
    {
        CVexilStackViewRec defaults;
        defaults.InitRects();
        const std::shared_ptr<CVexilRect> rect =
            Placement(view->CardListRect().get(), *defaults.CardListRect(), PlacementAreas());
        CVexilLibUi::SetCtlRect(*this, rect.get());
    }
    iCardPicked = false;
}

std::shared_ptr<CVexilRect> CVexilCardListForm::Placement(const CVexilRect* aStored, const CVexilRect& aDefault,
                                                          const std::vector<QRectF>& aAreas)
{
    auto rect = std::make_shared<CVexilRect>();
    rect->Construct(aDefault.X(), aDefault.Y(), aDefault.Width(), aDefault.Height());
    if (!aStored || !aStored->IsFinite() || aAreas.empty())
        return rect;
    QRectF all;
    for (const QRectF& area : aAreas)
        all |= area;
    // Compared in twips before anything becomes pixels that could overflow.
    const QRectF stored(aStored->X(), aStored->Y(), std::min(aStored->Width(), float(all.width())),
                        std::min(aStored->Height(), float(all.height())));
    const bool shown = std::any_of(aAreas.begin(), aAreas.end(),
                                   [&](const QRectF& aArea) { return CVexilPlacement::TopShown(stored, aArea); });
    if (shown)
        rect->Construct(float(stored.x()), float(stored.y()), float(stored.width()), float(stored.height()));
    return rect;
}

std::vector<QRectF> CVexilCardListForm::PlacementAreas() const
{
    // The document area the window opens in, or has opened in.
    if (const QMdiArea* area = SubWindow() ? SubWindow()->mdiArea() : MdiArea())
        return {QRectF(0, 0, Twips(area->viewport()->width()), Twips(area->viewport()->height()))};
    std::vector<QRectF> areas;
    for (const QRect& screen : CVexilPlacement::ScreenAreas())
        areas.push_back(TwipsRect(screen));
    return areas;
}

bool CVexilCardListForm::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched == fCardBox->viewport() && aEvent->type() == QEvent::MouseButtonRelease)
        Guarded([this] { CardBoxMouseUp(); });
    return CVexilForm::eventFilter(aWatched, aEvent);
}

void CVexilCardListForm::resizeEvent(QResizeEvent* aEvent)
{
    CVexilForm::resizeEvent(aEvent);
    if (iLoading)
        return;
    Guarded([] {
        if (const TStackViewRef view = gStackView)
            view->ResizeCardList();
    });
}

void CVexilCardListForm::closeEvent(QCloseEvent* aEvent)
{
    // Only the user's close leaves the stack; the program's own closes pass.
    if (!ClosedByUser(*aEvent))
    {
        CVexilForm::closeEvent(aEvent);
        return;
    }
    bool closed = false;
    Guarded([&closed] { closed = CVexilStackViewWindows::Current().CloseCurrentStack(); });
    // A stack still open (the user went back to it, or saving failed) keeps the window.
    if (closed)
        aEvent->accept();
    else
        aEvent->ignore();
}
