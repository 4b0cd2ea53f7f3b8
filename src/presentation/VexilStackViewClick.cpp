// Stand-in definitions so that the library links; the clicks and script messages replace this file.
#include "presentation/VexilStackView.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilInterpreter.h"

#include <exception>

void CVexilStackView::BaseObjClick(QObject* /*aObj*/) {}

void CVexilStackView::BaseObjDblClick(QObject* /*aObj*/) {}

void CVexilStackView::BaseObjPaste(QObject* /*aObj*/) {}

void CVexilStackView::ExecStdCmd(int16_t /*aStdCmd*/, const TControlRef& /*aField*/) {}

void CVexilStackView::ExecScript(const TObjRef& aObj, const QString& aScriptName)
{
    const TObjRef target = aObj ? aObj : TObjRef(iCurCard);
    if (!target || !gInterpreter)
        return;
    try
    {
        TObjRef handler;
        if (auto field = std::dynamic_pointer_cast<CVexilControl>(target))
            gInterpreter->LocateAndExecScript(iCurCard, field, aScriptName, handler);
        else
            gInterpreter->LocateAndExecScript(std::dynamic_pointer_cast<CVexilCard>(target), nullptr, aScriptName,
                                              handler);
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(QStringLiteral("CVexilStackView.ExecScript"), e);
        if (CVexilError::ErrCode() == EScrRunError)
            CVexilStackViewWindows::Current().ShowRunError(gInterpreter->GetErrorInfo());
        else
            CVexilMsg::ShowError();
        gInterpreter->Reset();
    }
}
