#include "editors/VexilScriptObj.h"

#include "editors/VexilObjCast.h"
#include "foundation/VexilArray.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"

namespace
{
QString Quoted(const QString& aKind, const QString& aName)
{
    return QStringLiteral("Edit Script for ") + aKind + QStringLiteral(" '") + aName + QLatin1Char('\'');
}

bool BackgroundInStack(const CVexilControlSet& aBackground, const CVexilStack& aStack)
{
    return aStack.Background(aBackground.Id()).get() == &aBackground;
}

bool CardInStack(const CVexilCard& aCard, const CVexilStack& aStack)
{
    return aCard.Stack() == &aStack && aStack.GetCardById(aCard.Id()).get() == &aCard;
}

bool ControlIn(const CVexilControl& aControl, const CVexilControlSet& aBackground)
{
    TControlRef found;
    return aBackground.GetControl(aControl.Id(), found) && found.get() == &aControl;
}

bool ControlInStack(const CVexilControl& aControl, const CVexilStack& aStack)
{
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstBackground(background, cursor); more;
         more = aStack.GetNextBackground(background, cursor))
        if (ControlIn(aControl, *background))
            return true;
    return false;
}

// Whether the object is the background or a card or field of it.
bool PartOf(const TObjRef& aObj, const CVexilControlSet& aBackground)
{
    if (aObj.get() == &aBackground)
        return true;
    if (const auto card = As<CVexilCard>(aObj))
        return card->Background().get() == &aBackground;
    if (const auto control = As<CVexilControl>(aObj))
        return ControlIn(*control, aBackground);
    return false;
}
}  // namespace

bool CVexilScriptObj::IsScriptObj(const TObjRef& aObj)
{
    return As<CVexilStack>(aObj) || As<CVexilControlSet>(aObj) || As<CVexilCard>(aObj) || As<CVexilControl>(aObj);
}

QString CVexilScriptObj::Caption(const TObjRef& aObj)
{
    if (As<CVexilStack>(aObj))
        return QStringLiteral("Edit Script for Stack");
    if (const auto background = As<CVexilControlSet>(aObj))
        return Quoted(QStringLiteral("Background"), background->Name());
    if (const auto card = As<CVexilCard>(aObj))
        return Quoted(QStringLiteral("Card"), card->Name());
    if (const auto control = As<CVexilControl>(aObj))
        return Quoted(QStringLiteral("Field/Control"), control->Name());
    return {};
}

QString CVexilScriptObj::Source(const TObjRef& aObj)
{
    if (const auto stack = As<CVexilStack>(aObj))
        return stack->ScriptSource();
    if (const auto* base = dynamic_cast<const IVexilBaseObj*>(aObj.get()))
        return base->ScriptSource();
    return {};
}

void CVexilScriptObj::Store(const TObjRef& aObj, const QString& aSource, const std::shared_ptr<CVexilArray>& aScript)
{
    if (const auto stack = As<CVexilStack>(aObj))
    {
        stack->SetScriptSource(aSource);
        stack->SetScript(aScript);
    }
    else if (auto* base = dynamic_cast<IVexilBaseObj*>(aObj.get()))
    {
        base->SetScriptSource(aSource);
        base->SetScript(aScript);
    }
}

bool CVexilScriptObj::InStack(const TObjRef& aObj, const CVexilStack* aStack)
{
    if (!aObj || !aStack)
        return false;
    if (aObj.get() == aStack)
        return true;
    if (const auto background = As<CVexilControlSet>(aObj))
        return BackgroundInStack(*background, *aStack);
    if (const auto card = As<CVexilCard>(aObj))
        return CardInStack(*card, *aStack);
    if (const auto control = As<CVexilControl>(aObj))
        return ControlInStack(*control, *aStack);
    return false;
}

bool CVexilScriptObj::LeavesStack(const TObjRef& aObj, int32_t aEvent, const TObjRef& aObj0,
                                  const CVexilStack* aStack)
{
    switch (aEvent)
    {
    case EChgClosingStack:
        return true;
    case EChgDeletingCard:
        return aObj0 && aObj == aObj0;
    case EChgDeletingBackground:
        if (const auto background = As<CVexilControlSet>(aObj0))
            return PartOf(aObj, *background);
        return false;
    case EChgStructure:
    case EChgCards:
        return !InStack(aObj, aStack);
    default:
        return false;
    }
}
