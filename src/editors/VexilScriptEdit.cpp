#include "editors/VexilScriptEdit.h"

#include "editors/VexilScriptLines.h"
#include "editors/VexilScriptObj.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "script/VexilCompiler.h"
#include "shell/VexilOptions.h"
#include "shell/VexilWinMan.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTextCursor>

namespace
{
// The design in twips.
constexpr float KMargin = 120;
constexpr float KClientWidth = 9600;
constexpr float KBoxHeight = 315;
constexpr float KCaptionHeight = 255;
constexpr float KCaptionWidth = 960;
constexpr float KInputLeft = KMargin + KCaptionWidth + KMargin;
constexpr float KInputWidth = KClientWidth - KInputLeft - KMargin;
constexpr float KSourceHeight = 5040;
constexpr float KErrorTop = KMargin + KSourceHeight + KMargin;
constexpr float KErrorLineTop = KErrorTop + KBoxHeight + 90;
constexpr float KButtonTop = KErrorLineTop + 2 * KBoxHeight + KMargin + 60;
constexpr float KButtonHeight = 375;
constexpr float KButtonWidth = 1080;
constexpr float KPosWidth = 600;
constexpr float KClientHeight = KButtonTop + KButtonHeight + KMargin;

const QString kScript = QStringLiteral("script");
}  // namespace

CVexilScriptEdit::CVexilScriptEdit() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Script"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));
    BuildDesign();
    ConnectEvents();
}

void CVexilScriptEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilScriptEdit; });
}

void CVexilScriptEdit::BuildDesign()
{
    fSource = Add<CVexilRichTextBox>(QStringLiteral("fSource"));
    fSource->Move(KMargin, KMargin, KClientWidth - 2 * KMargin, KSourceHeight);
    // Source lines are lines of the script: they do not wrap.
    fSource->setLineWrapMode(QTextEdit::NoWrap);

    auto caption = [this](const QString& aName, const QString& aText, float aTop) {
        auto* label = Add<CVexilLabel>(aName);
        label->setText(aText);
        label->Move(KMargin, aTop + (KBoxHeight - KCaptionHeight) / 2, KCaptionWidth, KCaptionHeight);
    };
    auto output = [this](const QString& aName, float aLeft, float aTop, float aWidth) {
        auto* box = Add<CVexilTextBox>(aName);
        box->Move(aLeft, aTop, aWidth, KBoxHeight);
        box->setReadOnly(true);
        return box;
    };
    caption(QStringLiteral("fErrorStrLabel"), QStringLiteral("Error:"), KErrorTop);
    fErrorStr = output(QStringLiteral("fErrorStr"), KInputLeft, KErrorTop, KInputWidth);
    caption(QStringLiteral("fErrorLineLabel"), QStringLiteral("Error line:"), KErrorLineTop);
    fErrorLine = output(QStringLiteral("fErrorLine"), KInputLeft, KErrorLineTop, KInputWidth);
    fErrorPos = output(QStringLiteral("fErrorPos"), KInputLeft, KErrorLineTop + KBoxHeight, KInputWidth);

    fRow = output(QStringLiteral("fRow"), KMargin, KButtonTop + (KButtonHeight - KBoxHeight) / 2, KPosWidth);
    fCol = output(QStringLiteral("fCol"), KMargin + KPosWidth + 60, KButtonTop + (KButtonHeight - KBoxHeight) / 2,
                  KPosWidth);
    fRow->SetVisible(false);
    fCol->SetVisible(false);

    auto button = [this](const QString& aName, const QString& aText, float aLeft) {
        auto* made = Add<CVexilCommandButton>(aName);
        made->setText(aText);
        made->Move(aLeft, KButtonTop, KButtonWidth, KButtonHeight);
        made->setAutoDefault(false);
        return made;
    };
    fCancelBut = button(QStringLiteral("fCancelBut"), QStringLiteral("Cancel"), KClientWidth - KMargin - KButtonWidth);
    fSaveBut = button(QStringLiteral("fSaveBut"), QStringLiteral("Save"), KClientWidth - 2 * (KMargin + KButtonWidth));
    fSaveBut->SetEnabled(false);
}

void CVexilScriptEdit::ConnectEvents()
{
    connect(fSaveBut, &QPushButton::clicked, this, [this] { Guarded([this] { SaveClicked(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { Guarded([this] { CancelClicked(); }); });
    connect(fSource, &QTextEdit::textChanged, this, [this] {
        if (!iFilling)
            iChanged = true;
    });
    fSource->installEventFilter(this);
    fSource->viewport()->installEventFilter(this);
}

void CVexilScriptEdit::Load()
{
    CVexilFormPlacement::Restore(*this);
    const bool developer = CVexilOptions::IsDevMachine();
    fRow->SetVisible(developer);
    fCol->SetVisible(developer);
}

bool CVexilScriptEdit::EditScript(const TObjRef& aObj)
{
    auto* editor = qobject_cast<CVexilScriptEdit*>(CVexilWinMan::NameToForm(KClassName));
    if (!editor)
        return false;
    const bool taken = editor->SetScriptObj(aObj);
    CVexilWinMan::ShowForm(*editor);
    return taken;
}

void CVexilScriptEdit::ShowScriptRunError(const TRunErrInfo& aInfo)
{
    auto* editor = qobject_cast<CVexilScriptEdit*>(CVexilWinMan::NameToForm(KClassName));
    if (!editor)
    {
        CVexilMsg::Show(aInfo.MsgId, EMsgClsCritical, aInfo.Param1, aInfo.Param2);
        return;
    }
    CVexilWinMan::ShowForm(*editor);
    editor->ShowRunError(aInfo);
}

bool CVexilScriptEdit::SetScriptObj(const TObjRef& aObj)
{
    if (!CVexilScriptObj::IsScriptObj(aObj))
    {
        CVexilError::Assert(false, QStringLiteral("SetScriptObj iObj type"));
        return false;
    }
    // Asked for the object whose text is being typed: the text stays.
    if (iChanged && aObj == iObj)
        return true;
    if (!MayDiscard())
        return false;
    iObj = aObj;
    SetCaption(CVexilScriptObj::Caption(aObj));
    FillSource();
    fSaveBut->SetEnabled(true);
    iChanged = false;
    return true;
}

void CVexilScriptEdit::FillSource()
{
    iFilling = true;
    fSource->SetText(CVexilScriptObj::Source(iObj));
    iFilling = false;
}

bool CVexilScriptEdit::SelectLine(int32_t aLineIndex)
{
    const std::optional<TScriptLineSel> line = CVexilScriptLines::LineSel(fSource->toPlainText(), aLineIndex);
    QTextCursor caret = fSource->textCursor();
    caret.setPosition(line ? line->Start : 0);
    if (line)
        caret.setPosition(line->Start + line->Length, QTextCursor::KeepAnchor);
    fSource->setTextCursor(caret);
    return line.has_value();
}

bool CVexilScriptEdit::MayDiscard() const
{
    return !iChanged || CVexilMsg::Ask(EMsgDiscardChangesOk, EMsgClsQuestion, kScript, CVexilMsg::Undef);
}

void CVexilScriptEdit::ShowRunError(const TRunErrInfo& aInfo)
{
    bool shown = MayDiscard();
    if (shown)
    {
        iChanged = false;
        shown = SetScriptObj(aInfo.Obj);
    }
    if (shown)
    {
        // Byte code and source both come from the file: the line may not be there.
        const bool found = SelectLine(aInfo.LineIndex);
        fErrorLine->setText(found ? fSource->textCursor().selectedText() : QString());
    }
    CVexilMsg::Show(aInfo.MsgId, EMsgClsCritical, aInfo.Param1, aInfo.Param2);
    if (!shown)
        return;
    fErrorStr->setText(CVexilMsg::LastMsgText());
    fSource->setFocus();
}

void CVexilScriptEdit::SaveClicked()
{
    if (!iObj)
        return;
    // An object that left the stack unnoticed takes nothing.
    if (!CVexilScriptObj::InStack(iObj, gStack.get()))
    {
        iObj.reset();
        fSaveBut->SetEnabled(false);
        return;
    }
    try
    {
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        const QString source = fSource->Text();
        gCompiler->Compile(source, *script);
        CVexilScriptObj::Store(iObj, source, script);
        iChanged = false;
        UnloadForm();
    }
    catch (const std::exception& e)
    {
        Catch(e);
    }
}

void CVexilScriptEdit::Catch(const std::exception& aError)
{
    CVexilError::CatchRunError(QStringLiteral("CVexilScriptEdit.Catch"), aError);
    if (CVexilError::ErrCode() != EScrCompileError)
    {
        CVexilMsg::ShowError();
        return;
    }
    const TCompErrInfo info = gCompiler->GetErrorInfo();
    fErrorLine->setText(info.LineText);
    fErrorPos->setText(CVexilScriptLines::ErrorPosText(info.LineText, info.LinePos));
    SelectLine(info.LineIndex);
    CVexilMsg::Show(info.MsgId, EMsgClsCritical, info.Param1, info.Param2);
    fErrorStr->setText(CVexilMsg::LastMsgText());
    fSource->setFocus();
}

void CVexilScriptEdit::CancelClicked()
{
    if (!MayDiscard())
        return;
    iChanged = false;
    UnloadForm();
}

void CVexilScriptEdit::closeEvent(QCloseEvent* aEvent)
{
    bool close = false;
    Guarded([&] { close = MayDiscard(); });
    if (!close)
    {
        aEvent->ignore();
        return;
    }
    iChanged = false;
    CVexilManagedForm::closeEvent(aEvent);
}

void CVexilScriptEdit::ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& /*aObj1*/)
{
    Guarded([&] {
        const bool leaves = aEvent == EChgClosingStack ||
                            (iObj && CVexilScriptObj::LeavesStack(iObj, aEvent, aObj0, gStack.get()));
        if (!leaves)
            return;
        if (MayDiscard())
        {
            iChanged = false;
            UnloadForm();
            return;
        }
        iObj.reset();
        fSaveBut->SetEnabled(false);
    });
}

void CVexilScriptEdit::InsertNewLine()
{
    QTextCursor caret = fSource->textCursor();
    caret.insertText(CVexilScriptLines::NewLineFor(CVexilLowLevelUi::GetCaretLineText(caret)));
    fSource->setTextCursor(caret);
    fSource->ensureCursorVisible();
}

void CVexilScriptEdit::ShowCaretPos()
{
    const TLineCol at = CVexilLowLevelUi::GetLineCol(*fSource->document(), fSource->textCursor().position());
    fRow->setText(QString::number(at.Line + 1));
    fCol->setText(QString::number(at.Col + 1));
}

bool CVexilScriptEdit::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    const bool source = aWatched == fSource || aWatched == fSource->viewport();
    if (source && aEvent->type() == QEvent::KeyPress && !fSource->isReadOnly())
    {
        const int key = static_cast<QKeyEvent*>(aEvent)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
        {
            Guarded([this] { InsertNewLine(); });
            return true;
        }
    }
    if (source && fRow->Visible() &&
        (aEvent->type() == QEvent::KeyRelease || aEvent->type() == QEvent::MouseButtonRelease))
        Guarded([this] { ShowCaretPos(); });
    return CVexilManagedForm::eventFilter(aWatched, aEvent);
}
