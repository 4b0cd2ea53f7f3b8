#include "presentation/VexilGenForm.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilFrameParts.h"
#include "presentation/VexilLibPictures.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilPlacement.h"
#include "presentation/VexilStackView.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilInterpreter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <exception>
#include <utility>

namespace
{
// The design: the client area, and the sizes the pool widgets have before a layout sets them
// (the layout keeps the height of combo boxes and buttons and the width of check boxes).
constexpr float KClientWidth = 9000;
constexpr float KClientHeight = 6600;
constexpr float KBoxWidth = 1500;
constexpr float KBoxHeight = 315;
constexpr float KButtonWidth = 1200;
constexpr float KButtonHeight = 375;
constexpr float KLabelHeight = 255;
constexpr float KProgressWidth = 1500;
constexpr float KProgressHeight = 195;

// The paste key of rich-text fields: Ctrl+U.
bool IsPasteKey(const QEvent* aEvent)
{
    const auto* key = static_cast<const QKeyEvent*>(aEvent);
    return key->key() == Qt::Key_U && (key->modifiers() & Qt::ControlModifier) &&
           !(key->modifiers() & (Qt::AltModifier | Qt::MetaModifier));
}

// The widgets whose focus the stack view follows.
bool IsEditWidget(const QObject* aObj)
{
    return qobject_cast<const CVexilTextBox*>(aObj) || qobject_cast<const CVexilComboBox*>(aObj) ||
           qobject_cast<const CVexilCheckBox*>(aObj) || qobject_cast<const CVexilRichTextBox*>(aObj);
}

// The focus leaves a widget for good: not for a moment, to another window or to a pop-up
// (also into the list that a combo box pops up).
bool LeavesForGood(Qt::FocusReason aReason)
{
    return aReason != Qt::ActiveWindowFocusReason && aReason != Qt::PopupFocusReason &&
           !QApplication::activePopupWidget();
}
}  // namespace

CVexilGenForm::CVexilGenForm() : iPressEnd([this] { return FocusMovedByPress(); })
{
    setObjectName(KClassName);
    resize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));

    AddPool(fGenTextBox, QStringLiteral("fGenTextBox"), KBoxWidth, KBoxHeight);
    AddPool(fGenRichTextBox, QStringLiteral("fGenRichTextBox"), KBoxWidth, 3 * KBoxHeight);
    AddPool(fGenComboBox, QStringLiteral("fGenComboBox"), KBoxWidth, 0);
    AddPool(fGenCheckBox, QStringLiteral("fGenCheckBox"), 0, KBoxHeight);
    AddPool(fGenButton, QStringLiteral("fGenButton"), KButtonWidth, KButtonHeight);
    AddPool(fGenListView, QStringLiteral("fGenListView"), KBoxWidth, 4 * KBoxHeight);
    AddPool(fGenLabel, QStringLiteral("fGenLabel"), KBoxWidth, KLabelHeight);
    AddPool(fGenPictureBox, QStringLiteral("fGenPictureBox"), KBoxWidth, 4 * KBoxHeight);

    fGenLine0 = Add<CVexilLine>(QStringLiteral("fGenLine0"));
    fGenLine0->SetVisible(false);

    fWallPaperBox = Add<CVexilPictureBox>(QStringLiteral("fWallPaperBox"));
    fTempPicBox = Add<CVexilPictureBox>(QStringLiteral("fTempPicBox"));
    fProgressBox = Add<CVexilPictureBox>(QStringLiteral("fProgressBox"));
    fProgressBox->Move(0, 0, KProgressWidth, KProgressHeight);
    fProgress = Add<CVexilLabel>(QStringLiteral("fProgress"), fProgressBox);
    fProgress->Move(0, 0, 0, KProgressHeight);
    fProgress->SetBackColor(CVexilCtl::FromQColor(palette().color(QPalette::Highlight)));
    for (CVexilCtl* ctl : {static_cast<CVexilCtl*>(fWallPaperBox), static_cast<CVexilCtl*>(fTempPicBox),
                           static_cast<CVexilCtl*>(fProgressBox), static_cast<CVexilCtl*>(fProgress)})
        ctl->SetVisible(false);
    ConnectEvents();
}

void CVexilGenForm::ConnectEvents()
{
    for (CVexilTextBox* box : fGenTextBox)
    {
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [box] { Forward(&CVexilStackView::BaseObjChange, box); });
    }
    for (CVexilComboBox* box : fGenComboBox)
    {
        box->installEventFilter(this);
        const auto change = [box] { Forward(&CVexilStackView::BaseObjChange, box); };
        connect(box, &QComboBox::editTextChanged, this, change);
        // Picking an entry of the list counts as an edit.
        connect(box, &QComboBox::activated, this, change);
    }
    for (CVexilCheckBox* box : fGenCheckBox)
    {
        box->installEventFilter(this);
        connect(box, &QCheckBox::clicked, this, [this, box] {
            if (!iShowing)
                Forward(&CVexilStackView::BaseObjClick, box);
        });
    }
    for (CVexilCommandButton* button : fGenButton)
        connect(button, &QPushButton::clicked, this, [button] { Forward(&CVexilStackView::BaseObjClick, button); });
    for (CVexilRichTextBox* box : fGenRichTextBox)
    {
        // Tab leaves a field of the card, as in every other field.
        box->setTabChangesFocus(true);
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this);
        connect(box, &QTextEdit::textChanged, this, [box] { Forward(&CVexilStackView::BaseObjChange, box); });
    }
    for (CVexilListView* view : fGenListView)
        connect(view, &QTreeWidget::itemClicked, this,
                [this, view] { Guarded([this, view] { ListViewItemClick(view); }); });
    for (CVexilPictureBox* box : fGenPictureBox)
    {
        // Clicked, a picture box becomes the active control, the picture field that Show
        // Picture shows.
        box->setFocusPolicy(Qt::ClickFocus);
        box->installEventFilter(this);
    }
    fProgressBox->installEventFilter(this);
    fProgress->installEventFilter(this);

    // The command menu pops up on this window; its items are commands of the card shown.
    CVexilCmdMenu& menu = CVexilFrameParts::CmdMenu();
    for (int i = 0; i < CVexilCmdMenu::KNumFuncs; ++i)
        if (QAction* item = menu.Item(QStringLiteral("fGenFunc%1").arg(i)))
            connect(item, &QAction::triggered, this, [item] { Forward(&CVexilStackView::BaseObjClick, item); });
}

template <class F>
void CVexilGenForm::Guarded(F aWork)
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
void CVexilGenForm::Forward(F aCall)
{
    Guarded([&aCall] {
        // The view lives to the end of the call, even when the call closes the stack.
        if (const TStackViewRef view = gStackView)
            aCall(*view);
    });
}

void CVexilGenForm::Forward(void (CVexilStackView::*aCall)(QObject*), QObject* aObj)
{
    Forward([aCall, aObj](CVexilStackView& aView) { (aView.*aCall)(aObj); });
}

template <class T, size_t N>
void CVexilGenForm::AddPool(std::array<T*, N>& aPool, const QString& aPrefix, float aWidth, float aHeight)
{
    for (size_t i = 0; i < N; ++i)
    {
        T* widget = Add<T>(aPrefix + QString::number(i));
        // A size of 0 keeps the widget's own measure on that side.
        const QSize own = widget->sizeHint();
        widget->Move(0, 0, aWidth > 0 ? aWidth : CVexilCtl::PixelsToTwips(own.width()),
                     aHeight > 0 ? aHeight : CVexilCtl::PixelsToTwips(own.height()));
        widget->SetVisible(false);
        aPool[i] = widget;
    }
}

void CVexilGenForm::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilGenForm; });
}

CVexilGenForm* CVexilGenForm::Instance()
{
    if (!CVexilFormRegistry::IsRegistered(KClassName))
        Register();
    return static_cast<CVexilGenForm*>(CVexilFormRegistry::NameToForm(KClassName));
}

void CVexilGenForm::SetWallPaperDrawing(const QImage& aPicture, std::vector<QPointF> aPositions)
{
    iWallPaper = aPicture;
    iWallPaperPositions = std::move(aPositions);
    update();
}

void CVexilGenForm::SetCard(const TCardRef& aCard, int16_t /*aCase*/)
{
    Forward([&aCard](CVexilStackView& aView) { aView.GoToCard(aCard); });
}

void CVexilGenForm::ChangeNotify(int32_t /*aEvent*/, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
}

void CVexilGenForm::ListViewItemClick(CVexilListView* aListView)
{
    const TStackViewRef view = gStackView;
    if (!view || !view->CardView())
        return;
    const TControlRef field = view->CardView()->VexilControl(aListView);
    if (!field || !field->Flag(EConCardList))
        return;
    if (const auto* list = dynamic_cast<const CVexilListBox*>(field->ListBox()))
        view->GoToCard(std::dynamic_pointer_cast<CVexilCard>(list->SelObj()));
}

void CVexilGenForm::setVisible(bool aVisible)
{
    if (aVisible && !iLoaded)
    {
        iLoaded = true;
        // With its native window the window knows its frame, which the outer size includes.
        create();
        Guarded([this] { Load(); });
    }
    CVexilForm::setVisible(aVisible);
}

void CVexilGenForm::Load()
{
    if (!gStackView)
        return;
    const CVexilRect* rect = gStackView->CardViewRect().get();
    CVexilStackViewRec defaults;
    if (!rect || !CVexilPlacement::Usable(*rect, CVexilPlacement::WindowAreas()))
    {
        defaults.InitRects();
        rect = defaults.CardViewRect().get();
    }
    CVexilLibUi::SetCtlRect(*this, rect);
}

bool CVexilGenForm::event(QEvent* aEvent)
{
    // A press elsewhere that took the focus away validates the field when it ends.
    if (aEvent->type() == QEvent::WindowDeactivate && !iPressEnd.Waiting())
        Forward([](CVexilStackView& aView) { aView.BaseFormLostFocus(); });
    return CVexilForm::event(aEvent);
}

bool CVexilGenForm::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    switch (aEvent->type())
    {
    case QEvent::FocusIn:
        if (IsEditWidget(aWatched))
            FocusIn(aWatched);
        break;
    case QEvent::FocusOut:
        if (IsEditWidget(aWatched))
            FocusOut(aWatched, static_cast<QFocusEvent*>(aEvent)->reason());
        break;
    case QEvent::ShortcutOverride:
        // Ctrl+U belongs to the rich-text field, whatever shortcut the program has for it.
        if (qobject_cast<CVexilRichTextBox*>(aWatched) && IsPasteKey(aEvent))
        {
            aEvent->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (qobject_cast<CVexilRichTextBox*>(aWatched) && IsPasteKey(aEvent))
        {
            Forward(&CVexilStackView::BaseObjPaste, aWatched);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (FilterMouse(aWatched, aEvent))
            return true;
        break;
    default:
        break;
    }
    return CVexilForm::eventFilter(aWatched, aEvent);
}

void CVexilGenForm::FocusIn(QObject* aWidget)
{
    if (iPressEnd.Waiting())
        iEnteredByPress = aWidget;
    else
        Forward(&CVexilStackView::BaseObjGotFocus, aWidget);
}

void CVexilGenForm::FocusOut(QObject* aWidget, Qt::FocusReason aReason)
{
    if (!LeavesForGood(aReason))
        return;
    // Validating yields to the event loop: while the press is handled, its release waiting
    // there would reach the pressed widget (or the window's frame) before its press.
    if (aReason == Qt::MouseFocusReason)
    {
        if (!iPressEnd.Waiting())
            iLeftByPress = aWidget;
        if (iEnteredByPress == aWidget)
            iEnteredByPress = nullptr;
        iPressEnd.Wait();
        return;
    }
    // What a press left waiting comes first.
    iPressEnd.End();
    Forward([aWidget](CVexilStackView& aView) {
        bool cancel = false;
        aView.BaseObjValidate(aWidget, cancel);
    });
}

bool CVexilGenForm::FocusMovedByPress()
{
    const QPointer<QObject> left = std::exchange(iLeftByPress, nullptr);
    QPointer<QObject> entered = std::exchange(iEnteredByPress, nullptr);
    bool goOn = true;
    Forward([&](CVexilStackView& aView) {
        // Only the field being edited is validated; a widget it no longer follows was left.
        if (left && left == aView.CurObj())
            goOn = aView.EndEditForClick(left);
        // The widget entered is followed when it kept the focus through the validation.
        if (entered && focusWidget() == entered)
            aView.BaseObjGotFocus(entered);
    });
    return goOn;
}

bool CVexilGenForm::FilterMouse(QObject* aWatched, QEvent* aEvent)
{
    const auto* mouse = static_cast<QMouseEvent*>(aEvent);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const bool dblClick = aEvent->type() == QEvent::MouseButtonDblClick;
    // The release that ends a double click is no click of its own.
    const bool endsDblClick = !dblClick && iDblClicked == aWatched;
    iDblClicked = dblClick ? aWatched : nullptr;
    if (endsDblClick)
        return false;

    // A rich-text box gets its mouse events through its viewport.
    QObject* const box = aWatched->parent();
    if (auto* rich = qobject_cast<CVexilRichTextBox*>(box); rich && rich->viewport() == aWatched)
    {
        Forward(dblClick ? &CVexilStackView::BaseObjDblClick : &CVexilStackView::BaseObjClick, rich);
        return false;
    }
    if (aWatched == fProgress || aWatched == fProgressBox)
    {
        if (!dblClick && gInterpreter)
            gInterpreter->Break();
        return true;
    }
    auto* picture = qobject_cast<CVexilPictureBox*>(aWatched);
    if (!picture)
        return false;
    if (dblClick)
        Forward(&CVexilStackView::BaseObjDblClick, picture);
    else if (picture->rect().contains(mouse->position().toPoint()))
        Guarded([picture] { CVexilLibPictures::PaintBlobInPictureBox(*picture); });
    return true;
}

bool CVexilGenForm::OnSurface(const QPointF& aPosition) const
{
    return !childAt(aPosition.toPoint());
}

void CVexilGenForm::resizeEvent(QResizeEvent* aEvent)
{
    CVexilForm::resizeEvent(aEvent);
    Forward([](CVexilStackView& aView) { aView.BaseFormResize(); });
}

void CVexilGenForm::mouseReleaseEvent(QMouseEvent* aEvent)
{
    // A right click on a widget is the widget's.
    if (aEvent->button() == Qt::RightButton && OnSurface(aEvent->position()))
        CVexilFrameParts::CmdMenu().popup(aEvent->globalPosition().toPoint());
    else
        CVexilForm::mouseReleaseEvent(aEvent);
}

void CVexilGenForm::mouseDoubleClickEvent(QMouseEvent* aEvent)
{
    if (aEvent->button() == Qt::LeftButton && OnSurface(aEvent->position()))
        Guarded([] {
            if (IVexilPrompts* prompts = CVexilPrompts::Current())
                prompts->Notice(QStringLiteral("DblClick"));
        });
    else
        CVexilForm::mouseDoubleClickEvent(aEvent);
}

void CVexilGenForm::closeEvent(QCloseEvent* aEvent)
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

void CVexilGenForm::paintEvent(QPaintEvent* aEvent)
{
    CVexilForm::paintEvent(aEvent);
    if (iWallPaper.isNull() || iWallPaperPositions.empty())
        return;
    QPainter painter(this);
    for (const QPointF& at : iWallPaperPositions)
        painter.drawImage(QPoint(CVexilCtl::TwipsToPixels(float(at.x())), CVexilCtl::TwipsToPixels(float(at.y()))),
                          iWallPaper);
}
