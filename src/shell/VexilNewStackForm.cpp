#include "shell/VexilNewStackForm.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "model/VexilCard.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilCtls.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWinMan.h"

#include <QScopedValueRollback>

#include <exception>
#include <memory>

namespace
{
// Layout in twips.
constexpr int kMargin = 120;
constexpr int kLabelWidth = 2520;
constexpr int kBoxLeft = kMargin + kLabelWidth + 60;
constexpr int kBoxWidth = 3000;
constexpr int kRowHeight = 330;
constexpr int kRowStep = 420;
constexpr int kFormWidth = kBoxLeft + kBoxWidth + kMargin;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kButtonTop = kMargin + 3 * kRowStep + 120;
constexpr int kFormHeight = kButtonTop + kButtonHeight + kMargin;
}  // namespace

void CVexilNewStack::MakeCurrent(const TNewStackInput& aInput)
{
    try
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(KStackName);
        gStack = stack;
        stack->SetDescr(aInput.Descr);
        stack->SetFlags(stack->Flags() | EStkBinary);
        TControlSetRef background;
        int32_t cursor = 0;
        if (!stack->GetFirstBackground(background, cursor))
            CVexilError::RaiseRunError(ERunInvalidCall, QStringLiteral("CVexilNewStack.MakeCurrent"));
        background->SetName(aInput.BackgroundName);
        auto card = std::make_shared<CVexilCard>();
        card->Construct(aInput.CardName, background);
        TCardRef before;
        stack->AddCard(card, before, true);

        auto view = std::make_shared<CVexilStackView>();
        view->Contruct(stack->Name());
        view->SetStack(stack);
        gStackView = view;
        // Before the windows open: the first card's "openCard" handler already reads this view.
        CVexilStackViewLink::Install(view.get());
        view->OpenCardView();
        view->OpenCardList();
    }
    catch (const std::exception&)
    {
        DropCurrent();
        throw;
    }
}

void CVexilNewStack::DropCurrent() noexcept
{
    // The views are released before the stack goes: they still point into it.
    if (const TStackViewRef view = gStackView)
    {
        try
        {
            view->Release();
        }
        catch (const std::exception&)
        {
            // What could not be released goes with the objects; the stack is dropped anyway.
        }
    }
    CVexilStackViewLink::Install(nullptr);
    gStackView.reset();
    gStack.reset();
}

CVexilNewStackForm::CVexilNewStackForm() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("Create New Stack"));
    SetDesignSize(kFormWidth, kFormHeight);

    // Made in tab order: each label before its box.
    int top = kMargin;
    auto addRow = [this, &top](CVexilLabel*& aLabel, CVexilTextBox*& aBox, const char* aName, const QString& aCaption) {
        aLabel = Add<CVexilLabel>(QLatin1String(aName) + QStringLiteral("Label"));
        aLabel->setText(aCaption);
        aLabel->Move(kMargin, float(top + 45), kLabelWidth, kRowHeight);
        aBox = Add<CVexilTextBox>(QLatin1String(aName));
        aBox->Move(kBoxLeft, float(top), kBoxWidth, kRowHeight);
        top += kRowStep;
    };
    addRow(fDescrLabel, fDescr, "fDescr", QStringLiteral("Description of stack:"));
    addRow(fBackgroundLabel, fBackgroundName, "fBackgroundName", QStringLiteral("Name of first background:"));
    addRow(fCardLabel, fCardName, "fCardName", QStringLiteral("Name of first card:"));

    fCreateBut = Add<CVexilCommandButton>(QStringLiteral("fCreateBut"));
    fCreateBut->setText(QStringLiteral("Create"));
    fCreateBut->Move(kFormWidth - kMargin - 2 * kButtonWidth - 120, kButtonTop, kButtonWidth, kButtonHeight);
    fCancelBut = Add<CVexilCommandButton>(QStringLiteral("fCancelBut"));
    fCancelBut->setText(QStringLiteral("Cancel"));
    fCancelBut->Move(kFormWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);

    connect(fCreateBut, &QPushButton::clicked, this, [this] { Guarded([this] { Create(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { UnloadForm(); });
}

void CVexilNewStackForm::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilNewStackForm; });
}

void CVexilNewStackForm::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    if (aEvent == EChgClosingStack && !iBusy)
        UnloadForm();
}

void CVexilNewStackForm::Load()
{
    CVexilFormPlacement::Restore(*this);
    fBackgroundName->setText(QStringLiteral("Normal Card"));
    fCardName->setText(QStringLiteral("Start"));
}

void CVexilNewStackForm::Unload()
{
    CVexilFormPlacement::Save(*this);
}

void CVexilNewStackForm::Create()
{
    // A second click in one of the yields of the first.
    if (iBusy)
        return;
    {
        // The closing this starts must not close the dialog.
        const QScopedValueRollback busy(iBusy, true);
        if (CVexilDialogLib::CloseCurrentStack())
            return;
        // Until the new stack is current, stack commands and close requests wait.
        const CVexilStackCmds::TBusy making;
        try
        {
            CVexilNewStack::MakeCurrent({fDescr->text(), fBackgroundName->text(), fCardName->text()});
        }
        catch (const std::exception& e)
        {
            CVexilError::CatchRunError(KClassName, e);
            CVexilMsg::ShowError();
            return;
        }
    }
    CVexilWinMan::NotifyAll(EChgStackOpened);
    UnloadForm();
}
