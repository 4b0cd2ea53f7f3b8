// The stack view's answers to clicks, double clicks and the paste key of the card window and
// to the items of the command menu, with the script messages it sends.
#include "presentation/VexilStackView.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "model/VexilWikiTextLink.h"
#include "platform/VexilCtls.h"
#include "platform/VexilLowLevelUi.h"
#include "platform/VexilRtfReader.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilInterpreter.h"

#include <QTextCursor>
#include <QTextDocument>

#include <exception>

namespace
{
// A link target that sends "select" with the rest as its parameter (compared with case).
const QString KSelectPrefix = QStringLiteral("select:");

IVexilStackViewWindows& Windows()
{
    return CVexilStackViewWindows::Current();
}

// The command field of the background behind a button or a command menu item: a command in
// the card view by its button, any command by its menu item.
TControlRef CommandField(const CVexilControlSet& aBackground, const QObject* aObj)
{
    TControlRef field;
    int32_t cursor = 0;
    for (bool more = aBackground.GetFirstControl(field, cursor); more; more = aBackground.GetNextControl(field, cursor))
        if ((field->InCardView() && field->BaseControl() == aObj) || field->BaseFunc() == aObj)
            return field;
    return nullptr;
}
}  // namespace

void CVexilStackView::ExecScript(const TObjRef& aObj, const QString& aScriptName)
{
    const TObjRef target = aObj ? aObj : TObjRef(iCurCard);
    if (!target || !gInterpreter)
        return;
    try
    {
        TObjRef handler;
        if (auto field = std::dynamic_pointer_cast<CVexilControl>(target))
        {
            // A field's message goes along the path of the current card; without one, nowhere.
            if (iCurCard)
                gInterpreter->LocateAndExecScript(iCurCard, field, aScriptName, handler);
        }
        else if (auto card = std::dynamic_pointer_cast<CVexilCard>(target))
            gInterpreter->LocateAndExecScript(card, nullptr, aScriptName, handler);
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(QStringLiteral("CVexilStackView.ExecScript"), e);
        if (CVexilError::ErrCode() == EScrRunError)
            Windows().ShowRunError(gInterpreter->GetErrorInfo());
        else
            CVexilMsg::ShowError();
        gInterpreter->Reset();
    }
    // A message sent while a script runs only waits; the run that ends here ends its progress.
    if (!gInterpreter->Running())
        HideProgress();
}

void CVexilStackView::BaseObjClick(QObject* aObj)
{
    // A command menu item may outlive the card whose layout gave it its command.
    if (!aObj || !iCurCard || !iCardView)
        return;
    if (auto* box = qobject_cast<CVexilRichTextBox*>(aObj))
        ClickLink(*box);
    else if (qobject_cast<CVexilCheckBox*>(aObj))
        ClickCheckBox(aObj);
    else
        ClickCommand(aObj);
}

void CVexilStackView::ClickLink(CVexilRichTextBox& aBox)
{
    const TControlRef field = iCardView->VexilControl(&aBox);
    if (!field || !field->Flag(EConWikiText) || aBox.textCursor().hasSelection())
        return;
    const IVexilWikiTextLink* wiki = field->WikiTextBox();
    QString target;
    if (!wiki || !wiki->GetLink(CVexilRtfReader::RtfPosition(*aBox.document(), aBox.SelStart()), target))
        return;
    if (target.startsWith(KSelectPrefix))
    {
        if (gInterpreter)
            gInterpreter->SetParamVal(target.mid(KSelectPrefix.size()));
        ExecScript(field, QStringLiteral("select"));
        return;
    }
    TCardRef card;
    if (iStack->GetCard(target, card))
        GoToCard(card);
    else
        CVexilMsg::Show(EMsgBadLinkTarget, EMsgClsCritical, target);
}

void CVexilStackView::ClickCheckBox(QObject* aObj)
{
    const TControlRef field = WritableField(aObj);
    if (!field)
        return;
    SetValue(iCurCard, field->Id(), iCardView->GetBaseControlVal(*field));
    // Leaving the box stores it again and sends "closeField".
    iCurObjChanged = true;
}

void CVexilStackView::ClickCommand(QObject* aObj)
{
    const TControlSetRef background = iCurCard->Background();
    const TControlRef field = background ? CommandField(*background, aObj) : nullptr;
    if (!field)
        return;
    // The click ends the edit of the field being edited first; an edit refused keeps the card
    // as it is. A button followed as the focused widget is no edit: it is left with its card.
    const bool editing = iCurObj && !qobject_cast<CVexilCommandButton*>(iCurObj.data());
    if ((editing && !ValidateCurControl()) || !iCurCard)
        return;
    ExecScript(field, QStringLiteral("select"));
    UpdateCardListFromChanges();
    // Relative to the card that the handler may have moved to.
    if (field->StdCmd() != UndefInt)
        ExecStdCmd(field->StdCmd(), field);
}

void CVexilStackView::ExecStdCmd(int16_t aStdCmd, const TControlRef& aField)
{
    TCardRef card;
    switch (aStdCmd)
    {
    case EStdCmdFirstCard: OrderFirst(card); break;
    case EStdCmdPrevCard: OrderPrev(card); break;
    case EStdCmdNextCard: OrderNext(card); break;
    case EStdCmdLastCard: OrderLast(card); break;
    case EStdCmdBackInHistory: HistoryPrev(card); break;
    case EStdCmdForwInHistory: HistoryNext(card); break;
    // An unset destination, or one that names no card, goes nowhere.
    case EStdCmdGoToCard: GoToCard(iStack->GetCardById(aField->DestCardId())); break;
    case EStdCmdShowCardList:
        OpenCardList();
        Windows().ShowForm(IVexilStackViewWindows::KCardListForm);
        break;
    case EStdCmdSelectCard: Windows().ShowForm(IVexilStackViewWindows::KCardSelect); break;
    default:
        CVexilError::CheckFailed(false, this, QStringLiteral("ExecStdCmd"), QString::number(aStdCmd));
        break;
    }
}

void CVexilStackView::BaseObjDblClick(QObject* aObj)
{
    if (qobject_cast<CVexilRichTextBox*>(aObj))
    {
        if (!iCurCard || !iCardView)
            return;
        if (const TControlRef field = iCardView->VexilControl(aObj))
            Windows().EditWikiText(iCurCard, field);
    }
    else if (qobject_cast<CVexilPictureBox*>(aObj))
        Windows().ShowPicture();
}

void CVexilStackView::BaseObjPaste(QObject* aObj)
{
    if (!iCurCard || !iCardView)
        return;
    const TControlRef field = WritableField(aObj);
    if (!field)
        return;
    // Read as the box gives typed text: CR LF line ends, parsed by the field's type.
    QString text = CVexilLowLevelUi::GetClipboardText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    SetValue(iCurCard, field->Id(), CVexilValue::ExtTextToVal(text, *field));
}
