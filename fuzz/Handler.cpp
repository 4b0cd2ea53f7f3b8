// Arbitrary byte code run as a stored handler of a card of the small stack, and as the
// background's "openCard" handler, so that going to a card starts it nested. A run that goes on
// too long is broken as the user would break it. The interpreter answers every breach of the
// rules with error 2001. The assertions a run meets by design are those of the script values:
// a comparison, conversion or store that the value's type does not allow (a card compared by
// "<", a loop variable that the body gave another type); anything else that leaves the run is
// a finding.

#include "FuzzEnv.h"
#include "FuzzModel.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"

namespace
{
// The stack view as scripts see it: shows a card by remembering it and sends "openCard" as
// the real one does; breaks the run after kMaxProgress progress steps.
class FuzzStackView : public IVexilStackViewLink
{
public:
    static constexpr int kMaxProgress = 30;

    FuzzStackView(TStackRef aStack, CVexilInterpreter& aInterpreter)
        : iStack(std::move(aStack)), iInterpreter(aInterpreter)
    {
        int32_t cursor = 0;
        iStack->GetFirstCard(iCurCard, cursor);
    }

    TStackRef Stack() const override { return iStack; }
    TCardRef CurCard() const override { return iCurCard; }

    void GoToCard(const TCardRef& aCard) override
    {
        iCurCard = aCard;
        TObjRef handler;
        iInterpreter.LocateAndExecScript(aCard, nullptr, QStringLiteral("openCard"), handler);
    }

    bool OrderNext(TCardRef& aCard) override
    {
        if (!iCurCard || !iStack->OrderNext(*iCurCard, aCard))
            return false;
        GoToCard(aCard);
        return true;
    }

    void SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aVal) override
    {
        aCard->SetControlVal(aControlId, aVal);
    }

    void ShowProgress(int32_t) override
    {
        if (++iProgress == kMaxProgress)
            iInterpreter.Break();
    }

private:
    TStackRef iStack;
    CVexilInterpreter& iInterpreter;
    TCardRef iCurCard;
    int iProgress = 0;
};

// The contexts of the script values' own assertions.
bool ValueAssertion(const QString& aContext)
{
    static const QStringList kContexts = {QStringLiteral("Equal"), QStringLiteral("Lt"),    QStringLiteral("Gt"),
                                          QStringLiteral("ToStr"), QStringLiteral("ToInt"), QStringLiteral("ToReal")};
    return kContexts.contains(aContext) || aContext.startsWith(QLatin1String("Let"));
}

std::shared_ptr<CVexilArray> StoredHandler(const QString& aName, const QString& aHex)
{
    auto script = std::make_shared<CVexilArray>();
    script->Construct(EArrStrKey, EValStr);
    TArrayElem elem;
    script->InitElem(elem);
    elem.StrKey = aName;
    elem.iVal.iStr = aHex;
    script->CreateStrKey(elem);
    return script;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    AnswerAssertions();
    CVexilError::ResetErrInfo();
    const QString hex = QString::fromLatin1(InputBytes(aData, aSize).toHex().toUpper());
    const TStackRef stack = SmallStack();
    CVexilInterpreter interpreter;
    FuzzStackView view(stack, interpreter);
    const TCardRef card = view.CurCard();
    card->SetScript(StoredHandler(QStringLiteral("t"), hex));
    card->Background()->SetScript(StoredHandler(QStringLiteral("openCard"), hex));
    CVexilStackViewLink::Install(&view);
    try
    {
        TObjRef handler;
        interpreter.LocateAndExecScript(card, nullptr, QStringLiteral("t"), handler);
    }
    catch (const CVexilException& e)
    {
        const bool byDesign =
            e.Number() == EScrRunError ||
            (e.Number() == EErrAssertFailed && ValueAssertion(CVexilError::GetErrInfo().Context));
        if (!byDesign)
            Finding("unexpected error", ErrorText(e));
    }
    interpreter.Reset();
    CVexilStackViewLink::Install(nullptr);
    return 0;
}
