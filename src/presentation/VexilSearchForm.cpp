#include "presentation/VexilSearchForm.h"

#include "foundation/VexilDialogLib.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardSearch.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QScopedValueRollback>
#include <QTimer>

#include <memory>
#include <utility>
#include <vector>

namespace
{
// The design in twips: the text and "Show" in a row above the list, which fills the rest.
constexpr float KClientWidth = 9000;
constexpr float KClientHeight = 5400;
constexpr float KMargin = 120;
constexpr float KRowTop = 120;
constexpr float KBoxHeight = 315;
constexpr float KLabelWidth = 1200;
constexpr float KButtonWidth = 1000;
constexpr float KButtonHeight = 345;
constexpr float KListTop = KRowTop + KButtonHeight + KMargin;

// How often a long search paints the lines it found meanwhile.
constexpr int KRepaintEvery = 100;

const QStringList kColumns = {QStringLiteral("Card Name"), QStringLiteral("Background"), QStringLiteral("Control"),
                              QStringLiteral("Value")};
const std::vector<float> kColumnFractions = {0.2F, 0.2F, 0.2F, 0.4F};

bool InOpenStack(const TCardRef& aCard)
{
    return aCard && gStack && aCard->Stack() == gStack.get() && gStack->GetCardById(aCard->Id()) == aCard;
}

// The wait cursor for the time of a scope.
class TWait
{
public:
    TWait() { CVexilDialogLib::BeginWait(); }
    ~TWait() { CVexilDialogLib::EndWait(); }
    TWait(const TWait&) = delete;
    TWait& operator=(const TWait&) = delete;
};
}  // namespace

CVexilSearchForm::CVexilSearchForm() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Search"));
    resize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));
    BuildDesign();
    ConnectEvents();
    iResultBox.Construct(ELisSingle);
}

CVexilSearchForm::~CVexilSearchForm()
{
    // The list box points at a widget that goes with the window.
    iResultBox.SetBaseObj(nullptr);
}

void CVexilSearchForm::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilSearchForm; });
}

void CVexilSearchForm::BuildDesign()
{
    fTextLabel = Add<CVexilLabel>(QStringLiteral("fTextLabel"));
    fTextLabel->setText(QStringLiteral("Search text:"));
    fTextLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fTextLabel->Move(KMargin, KRowTop, KLabelWidth, KButtonHeight);
    fText = Add<CVexilTextBox>(QStringLiteral("fText"));
    const float textLeft = KMargin + KLabelWidth;
    fText->Move(textLeft, KRowTop + (KButtonHeight - KBoxHeight) / 2,
                KClientWidth - textLeft - 2 * KMargin - KButtonWidth, KBoxHeight);
    fShow = Add<CVexilCommandButton>(QStringLiteral("fShow"));
    fShow->setText(QStringLiteral("Show"));
    fShow->Move(KClientWidth - KMargin - KButtonWidth, KRowTop, KButtonWidth, KButtonHeight);
    fCardList = Add<CVexilListView>(QStringLiteral("fCardList"));
    fCardList->Move(KMargin, KListTop, KClientWidth - 2 * KMargin, KClientHeight - KListTop - KMargin);
    fUpdateTimer = new QTimer(this);
    fUpdateTimer->setObjectName(QStringLiteral("fUpdateTimer"));
    // Never before the second is over: the user may still be typing.
    fUpdateTimer->setTimerType(Qt::PreciseTimer);
}

void CVexilSearchForm::ConnectEvents()
{
    connect(fText, &QLineEdit::textChanged, this, [this] { Guarded([this] { TextChanged(); }); });
    connect(fUpdateTimer, &QTimer::timeout, this, [this] {
        Guarded([this] {
            fUpdateTimer->stop();
            DoSearch();
        });
    });
    // The press selects the line and shows its card; the release after it hands the focus on.
    connect(fCardList, &QTreeWidget::itemPressed, this,
            [this](QTreeWidgetItem* aItem) { Guarded([this, aItem] { LinePressed(aItem); }); });
    fCardList->viewport()->installEventFilter(this);
    connect(fShow, &QPushButton::clicked, this, [this] { Guarded([this] { ShowClicked(); }); });
}

void CVexilSearchForm::Load()
{
    QScopedValueRollback<bool> loading(iLoading, true);
    CVexilFormPlacement::Restore(*this);
    iCardPicked = false;
    iResultBox.SetBaseObj(fCardList);
    iResultBox.SetFlags(ELbfFillHeight | ELbfFillWidth);
    iResultBox.DefineColumnsFrac(kColumns, kColumnFractions);
    iResultBox.Resize();
    fUpdateTimer->stop();
    fShow->SetEnabled(false);
}

void CVexilSearchForm::resizeEvent(QResizeEvent* aEvent)
{
    CVexilManagedForm::resizeEvent(aEvent);
    if (!iLoading)
        Guarded([this] { iResultBox.Resize(); });
}

bool CVexilSearchForm::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched == fCardList->viewport() && aEvent->type() == QEvent::MouseButtonRelease && iCardPicked)
        Guarded([] {
            if (const TStackViewRef view = gStackView)
                view->SetFocusToCardView();
        });
    return CVexilManagedForm::eventFilter(aWatched, aEvent);
}

void CVexilSearchForm::StartDelay()
{
    fUpdateTimer->start(KSearchDelay);
}

void CVexilSearchForm::TextChanged()
{
    StartDelay();
}

void CVexilSearchForm::DoSearch()
{
    const TWait wait;
    iResultBox.ClearAndShow();
    if (const TStackRef stack = gStack)
    {
        // A quick search is painted once at its end; a long one shows what it has found so
        // far now and then, without giving the event loop a chance to change the stack.
        QElapsedTimer clock;
        clock.start();
        qint64 nextPaint = KShowLinesAfter;
        int32_t painted = 0;
        auto paintNewLines = [&] {
            if (iResultBox.NumLines() == painted || clock.elapsed() < nextPaint)
                return;
            fCardList->viewport()->repaint();
            painted = iResultBox.NumLines();
            nextPaint = clock.elapsed() + KRepaintEvery;
        };
        CVexilCardSearch::Run(
            *stack, fText->text(),
            [&](TSearchHit&& aHit) {
                iResultBox.AddLine(CVexilCardSearch::ResultLine(aHit), aHit.Card);
                paintNewLines();
            },
            paintNewLines);
    }
    // As every filled list shows itself: its first line selected.
    if (QTreeWidgetItem* first = fCardList->topLevelItem(0))
        fCardList->setCurrentItem(first);
    UpdateShow();
}

void CVexilSearchForm::UpdateShow()
{
    fShow->SetEnabled(iResultBox.NumLines() == 1);
}

template <class F>
void CVexilSearchForm::KeepLines(F aKeep)
{
    std::vector<std::pair<QString, TObjRef>> kept;
    for (int32_t i = 0; i < iResultBox.NumLines(); ++i)
        if (aKeep(std::dynamic_pointer_cast<CVexilCard>(iResultBox.Obj(i))))
            kept.emplace_back(iResultBox.Line(i), iResultBox.Obj(i));
    if (int32_t(kept.size()) == iResultBox.NumLines())
        return;
    iResultBox.Clear();
    for (const auto& [line, card] : kept)
        iResultBox.AddLine(line, card);
    iResultBox.Show();
    UpdateShow();
}

void CVexilSearchForm::GoToCard(const TCardRef& aCard)
{
    const TStackViewRef view = gStackView;
    if (!view || !InOpenStack(aCard))
        return;
    view->GoToCard(aCard);
    view->SetFocusToCardView();
}

void CVexilSearchForm::LinePressed(QTreeWidgetItem* aItem)
{
    const int index = fCardList->indexOfTopLevelItem(aItem);
    GoToCard(std::dynamic_pointer_cast<CVexilCard>(iResultBox.Obj(index)));
    iCardPicked = true;
}

void CVexilSearchForm::ShowClicked()
{
    if (iResultBox.NumLines() != 1)
        return;
    const auto card = std::dynamic_pointer_cast<CVexilCard>(iResultBox.Obj(0));
    if (!InOpenStack(card))
        return;
    fText->setText(card->Name());
    GoToCard(card);
}

void CVexilSearchForm::ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent, &aObj0] {
        switch (aEvent)
        {
        case EChgClosingStack: UnloadForm(); break;
        case EChgDeletingCard:
            KeepLines([&aObj0](const TCardRef& aCard) { return aCard != aObj0; });
            break;
        case EChgDeletingBackground:
            if (const auto background = std::dynamic_pointer_cast<CVexilControlSet>(aObj0))
                KeepLines([&background](const TCardRef& aCard) {
                    return aCard && aCard->BackgroundId() != background->Id();
                });
            break;
        // The lines may show values, names or cards that are no more.
        case EChgCards:
        case EChgStructure:
        case EChgValueType: StartDelay(); break;
        default: break;
        }
    });
}
