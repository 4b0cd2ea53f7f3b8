// The card window's title tells the shown card's place in the stack order and the number of
// cards. It follows whatever changes the order or the count while the card stays shown: the
// sort key editor's Sort Cards, the card list's Up and Down, the card and background editors,
// the Delete item of the Card menu, a script, and an edit of a field that keeps a card sorted.

#include "../presentation/CardWindowUser.h"
#include "EditorUser.h"
#include "ProgramFixture.h"
#include "editors/VexilBackgroundEdit.h"
#include "editors/VexilCardEdit.h"
#include "editors/VexilSortKeyEdit1.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilLib.h"
#include "model/VexilSortKey.h"
#include "presentation/VexilCardListForm.h"
#include "script/VexilCompiler.h"

#include <QAbstractButton>

#include <functional>

namespace
{
class CardTitleProgramTest : public ProgramFixture
{
protected:
    // "Person" (Name, the card name, and Age) with Anna 40, Bert 30, Cleo 20, Dora 10 and Emil 50,
    // and a sort key "ByAge" that does not keep them sorted; "Tag" (Name, Key and a button
    // "Rekey" whose "select" puts "zz" into Key) kept sorted by Key, with T1 "a" and T2 "b".
    // Stack order: Anna Bert Cleo Dora Emil T1 T2.
    QString MakeTitleStack() const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Titles"));
        const TControlSetRef person = stack->Background(0);
        person->SetName(QStringLiteral("Person"));
        const TControlRef name = ShownField(*stack, *person, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef age = ShownField(*stack, *person, QStringLiteral("Age"), EConTypeInteger);
        for (const auto& [card, years] : {std::pair{"Anna", 40}, std::pair{"Bert", 30}, std::pair{"Cleo", 20},
                                          std::pair{"Dora", 10}, std::pair{"Emil", 50}})
        {
            const TCardRef made = NewCard(*stack, QLatin1String(card), person);
            made->SetControlVal(name->Id(), Val::Str(QLatin1String(card)));
            made->SetControlVal(age->Id(), Val::Int(years));
        }
        AddKey(*stack, *person, QStringLiteral("ByAge"), *age);

        const TControlSetRef tag = NewBackground(*stack, QStringLiteral("Tag"));
        const TControlRef tagName = ShownField(*stack, *tag, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef key = ShownField(*stack, *tag, QStringLiteral("Key"), EConTypeText);
        const TControlRef rekey =
            ShownField(*stack, *tag, QStringLiteral("Rekey"), EConTypeCommand, EConAsButton);
        SetScript(*rekey, QStringLiteral("On select\r\n  Put \"zz\" Into Field \"Key\"\r\nEnd"));
        for (const auto& [card, text] : {std::pair{"T1", "a"}, std::pair{"T2", "b"}})
        {
            const TCardRef made = NewCard(*stack, QLatin1String(card), tag);
            made->SetControlVal(tagName->Id(), Val::Str(QLatin1String(card)));
            made->SetControlVal(key->Id(), Val::Str(QLatin1String(text)));
        }
        tag->SetFlag(ECseKeepCardsSorted, true);
        stack->NewIndexForSortKey(AddKey(*stack, *tag, QStringLiteral("ByKey"), *key));
        return SaveInFolder(stack, QStringLiteral("Titles.Quorvan"));
    }

    static TSortKeyRef AddKey(CVexilStack& aStack, const CVexilControlSet& aBackground, const QString& aName,
                              const CVexilControl& aField)
    {
        auto key = std::make_shared<CVexilSortKey>();
        key->Contruct(aStack.IdGen().NextId(), aName, aBackground.Id());
        key->AddKeyPart(aField.ConType(), aField.Id(), 0, CVexilLib::SortKeyLen(aField));
        aStack.AddSortKey(key);
        return key;
    }

    static void SetScript(CVexilControl& aField, const QString& aSource)
    {
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        // The program's compiler is made when it starts, after the stack file.
        CVexilCompiler compiler;
        compiler.Construct();
        compiler.Compile(aSource, *script);
        aField.SetScriptSource(aSource);
        aField.SetScript(script);
    }

    static TCardRef Card(const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(gStack->GetCard(aName, card)) << aName.toStdString();
        return card;
    }
    static TControlRef TagField(const QString& aName)
    {
        TControlSetRef tag;
        TControlRef field;
        EXPECT_TRUE(gStack->GetBackgroundByName(QStringLiteral("Tag"), tag) && tag->GetControlByName(aName, field));
        return field;
    }

    // An editor opened through the main window's menu.
    template <class T>
    static T* Editor(const char* aItem, const QString& aClassName)
    {
        T* editor = OpenBy<T>(QStringLiteral("fStack"), QLatin1String(aItem), aClassName);
        if (editor)
        {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(editor));
        }
        return editor;
    }
    static void Click(QAbstractButton* aButton)
    {
        ASSERT_TRUE(aButton && aButton->isEnabled());
        QTest::mouseClick(aButton, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // Selects the line of the card in the card list (which shows that card) and moves it.
    static void MoveInList(const char* aCard, bool aUp)
    {
        auto* list = static_cast<CVexilCardListForm*>(Loaded(CVexilCardListForm::KClassName));
        ASSERT_NE(list, nullptr);
        EditorUser::ClickLine(list->fCardBox, QLatin1String(aCard));
        Click(aUp ? list->fUpBut : list->fDownBut);
    }
};

TEST_F(CardTitleProgramTest, TheTitleCountsThePlaceOfTheShownCardAfterEveryChangeOfTheOrderOrCount)
{
    struct TCase
    {
        const char* Change;
        const char* Shown;  // the card shown before the change
        std::function<void()> Act;
        const char* Title;
    };
    const std::vector<TCase> cases = {
        {"Sort Cards of the sort key editor", "Dora",
         [] {
             auto* keys = Editor<CVexilSortKeyEdit1>("fEditSortKeys", CVexilSortKeyEdit1::KClassName);
             ASSERT_NE(keys, nullptr);
             EditorUser::ClickLine(keys->fBackgroundBox, QStringLiteral("Person"));
             EditorUser::ClickLine(keys->fSortKeyBox, QStringLiteral("ByAge"));
             Click(keys->fSortBut);
         },
         "Dora - 3 of 7"},
        {"Up in the card list", "Dora", [] { MoveInList("Dora", true); }, "Dora - 3 of 7"},
        {"Down in the card list", "Cleo", [] { MoveInList("Cleo", false); }, "Cleo - 4 of 7"},
        {"a card created by the card editor before the shown one", "Dora",
         [] {
             auto* cards = Editor<CVexilCardEdit>("fEditCards", CVexilCardEdit::KClassName);
             ASSERT_NE(cards, nullptr);
             EditorUser::ClickLine(cards->fBackgroundBox, QStringLiteral("Person"));
             Click(cards->fNewBut);
             EditorUser::Type(cards->fName, QStringLiteral("Fay"));
             QTest::mouseClick(cards->fBeforeCur, Qt::LeftButton, {}, QPoint(8, cards->fBeforeCur->height() / 2));
             Click(cards->fCreateBut);
         },
         // The editor shows the card it made.
         "Fay - 4 of 8"},
        {"the shown card deleted through the Card menu", "Bert",
         [] {
             ScriptedPrompts::Instance().ExpectMessage(true);
             Choose(QStringLiteral("fCard"), QStringLiteral("fDeleteCard"));
         },
         // The next card is shown, and the deleted one no longer counts.
         "Cleo - 2 of 6"},
        {"the cards of another background deleted by the background editor", "Dora",
         [] {
             auto* backgrounds = Editor<CVexilBackgroundEdit>("fEditBackgrounds", CVexilBackgroundEdit::KClassName);
             ASSERT_NE(backgrounds, nullptr);
             EditorUser::ClickLine(backgrounds->fBackgroundBox, QStringLiteral("Tag"));
             ScriptedPrompts::Instance().ExpectMessage(true);
             Click(backgrounds->fDeleteCardsBut);
         },
         "Dora - 4 of 5"},
        {"a script that puts a new key into the shown card", "T1",
         [] {
             auto* rekey = qobject_cast<QWidget*>(TagField(QStringLiteral("Rekey"))->BaseControl());
             QTest::mouseClick(rekey, Qt::LeftButton);
         },
         "T1 - 7 of 7"},
        {"a new key typed into the shown card", "T1",
         [] {
             CardWindowUser::Type(TagField(QStringLiteral("Key")), QStringLiteral("zz"));
             CardWindowUser::Leave(TagField(QStringLiteral("Key")));
         },
         "T1 - 7 of 7"},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Change);
        Stop();
        ScriptedPrompts::Instance().Reset();
        Start({MakeTitleStack()});
        ASSERT_NE(gStack, nullptr);
        CardWindowUser::Activate(Frame());
        gStackView->GoToCard(Card(QLatin1String(c.Shown)));
        c.Act();
        EXPECT_EQ(CardWindow()->windowTitle(), QLatin1String(c.Title));
        EXPECT_EQ(ScriptedPrompts::Instance().Pending(), 0);
    }
}
}  // namespace
