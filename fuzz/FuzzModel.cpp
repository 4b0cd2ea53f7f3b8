#include "FuzzModel.h"

#include "FuzzEnv.h"
#include "StackBuild.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilSortKey.h"
#include "script/VexilCompiler.h"

namespace
{
TCardRef AddCard(CVexilStack& aStack, const QString& aName, const TControlSetRef& aBackground)
{
    auto card = std::make_shared<CVexilCard>();
    card->Construct(aName, aBackground);
    TCardRef before;
    aStack.AddCard(card, before, false);
    return card;
}
}  // namespace

std::shared_ptr<CVexilArray> CompiledScript(const QString& aSource)
{
    static CVexilCompiler compiler;
    auto script = std::make_shared<CVexilArray>();
    script->Construct(EArrStrKey, EValStr);
    try
    {
        compiler.Compile(aSource, *script);
    }
    catch (const CVexilException&)
    {
        const TCompErrInfo info = compiler.GetErrorInfo();
        Finding("a sample script does not compile", QStringLiteral("message %1 at line %2, %3: %4")
                                                        .arg(info.MsgId)
                                                        .arg(info.LineIndex)
                                                        .arg(info.LinePos)
                                                        .arg(info.LineText));
    }
    return script;
}

TStackRef SmallStack()
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("Fuzz"));
    const TControlSetRef items = stack->Background(0);
    items->SetName(QStringLiteral("Items"));
    const TControlRef name = NewField(*stack, *items, QStringLiteral("Name"), EConTypeText);
    name->SetFlag(EConCardName, true);
    const TControlRef num = NewField(*stack, *items, QStringLiteral("Num"), EConTypeInteger);
    const TControlRef real = NewField(*stack, *items, QStringLiteral("Real"), EConTypeReal);
    real->SetDigits(2);
    const TControlRef date = NewField(*stack, *items, QStringLiteral("Date"), EConTypeDate);
    const TControlRef time = NewField(*stack, *items, QStringLiteral("Time"), EConTypeTime);
    const TControlRef flag = NewField(*stack, *items, QStringLiteral("Bool"), EConTypeBoolean);
    const TControlRef list = NewField(*stack, *items, QStringLiteral("List"), EConTypeList);
    const TControlRef cmd = NewField(*stack, *items, QStringLiteral("Cmd"), EConTypeCommand);
    cmd->SetScriptSource(QStringLiteral("On select\r\nPut \"pressed\" Into Field \"Name\"\r\nEnd"));
    cmd->SetScript(CompiledScript(cmd->ScriptSource()));
    const TControlRef pic = NewField(*stack, *items, QStringLiteral("Pic"), EConTypePicture);

    auto sortKey = std::make_shared<CVexilSortKey>();
    sortKey->Contruct(stack->IdGen().NextId(), QStringLiteral("By name"), items->Id());
    sortKey->AddKeyPart(EConTypeText, name->Id(), 0, 8);
    sortKey->AddKeyPart(EConTypeInteger, num->Id(), 1, 4);
    stack->AddSortKey(sortKey);
    stack->SetControlDynFlags();
    items->SetFlag(ECseKeepCardsSorted, true);
    stack->NewIndexForSortKey(sortKey);

    auto picture = std::make_shared<CVexilBlob>();
    picture->Construct(stack->IdGen().NextId());
    picture->SetName(QStringLiteral("dot.png"));
    picture->SetMimeType(QStringLiteral("image/png"));
    picture->SetBytes(QByteArray::fromHex("89504E470D0A1A0A0000000D49484452000000010000000108060000001F15C489"));
    picture->SetChanged(true);
    stack->BlobStore()->AddBlob(picture);

    const struct
    {
        const char* Name;
        const char* Num;
        const char* Real;
        const char* Date;
        const char* Time;
        const char* Bool;
    } cards[] = {
        {"One", "1", "0.5", "20240229", "093015", "-1"},
        {"Two", "-20", "1234.25", "19991231", "235959", "0"},
        {"Three", "300", "-7", "19000101", "000000", "-1"},
    };
    for (const auto& c : cards)
    {
        const TCardRef card = AddCard(*stack, QString::fromLatin1(c.Name), items);
        const auto set = [&](const TControlRef& aField, const QString& aIntText) {
            card->SetControlVal(aField->Id(), CVexilValue::IntTextToVal(aIntText, *aField));
        };
        set(name, QString::fromLatin1(c.Name));
        set(num, QString::fromLatin1(c.Num));
        set(real, QString::fromLatin1(c.Real));
        set(date, QString::fromLatin1(c.Date));
        set(time, QString::fromLatin1(c.Time));
        set(flag, QString::fromLatin1(c.Bool));
        set(list, QStringLiteral("red\r\ngreen"));
    }
    TCardRef first;
    int32_t cursor = 0;
    stack->GetFirstCard(first, cursor);
    TValue picValue;
    picValue.iType = EValBlobId;
    picValue.iInt = picture->Id();
    first->SetControlVal(pic->Id(), picValue);

    const TControlSetRef other = NewBackground(*stack, QStringLiteral("Other"));
    const TControlRef note = NewField(*stack, *other, QStringLiteral("Note"), EConTypeText);
    AddCard(*stack, QStringLiteral("Four"), other)
        ->SetControlVal(note->Id(), CVexilValue::StrToVal(QStringLiteral("<&>\" \u00e9\u20ac")));
    stack->SetScriptSource(QStringLiteral("On openStack\r\nAnswer \"open\"\r\nEnd"));
    stack->SetScript(CompiledScript(stack->ScriptSource()));
    return stack;
}

QStringList SampleScripts()
{
    return {
        QStringLiteral("On t\r\n"
                       "x = 1\r\n"
                       "Repeat While x < 5\r\n"
                       "x = x + 1\r\n"
                       "If x = 3 Then\r\n"
                       "Put x & \"a\" Into Field \"Name\"\r\n"
                       "Else\r\n"
                       "Put x * 25 / 10 Into Field \"Real\" Of Card \"Two\"\r\n"
                       "End If\r\n"
                       "End Repeat\r\n"
                       "Answer x\r\n"
                       "End"),
        QStringLiteral("On t\r\n"
                       "n = 0\r\n"
                       "Repeat For Each Card c Of Background \"Items\"\r\n"
                       "n = n + Field \"Num\" Of Card c\r\n"
                       "If n > 100 Then\r\n"
                       "Exit Repeat\r\n"
                       "End If\r\n"
                       "End Repeat\r\n"
                       "Put n Into Field 2\r\n"
                       "Put Number Of Cards Of Background \"Other\" Into Field \"Num\" Of Card 2\r\n"
                       "End"),
        QStringLiteral("On t\r\n"
                       "Go To Card \"Two\"\r\n"
                       "Go Next Card\r\n"
                       "Put The Date + 1 Into Field \"Date\"\r\n"
                       "Put Random(6) Into Field \"Num\"\r\n"
                       "Put Not Field \"Bool\" Or (1 = 2) And (\"a\" Is \"a\") Into Field \"Bool\"\r\n"
                       "Send \"select\" To Field \"Cmd\"\r\n"
                       "Answer Field \"Name\" & Tab & Field \"Pic\" Of Card 1\r\n"
                       "Put Return & Tab Into Field \"List\"\r\n"
                       "End"),
        QStringLiteral("On t p\r\n"
                       "Repeat For Each Card c\r\n"
                       "Go Card c\r\n"
                       "End Repeat\r\n"
                       "v = (1 + 2) * 3 / 4 - \"5\" - 7\r\n"
                       "Put v & p Into Field \"List\"\r\n"
                       "End\r\n"
                       "On openCard\r\n"
                       "Put \"seen\" Into Field \"Name\"\r\n"
                       "End"),
    };
}
