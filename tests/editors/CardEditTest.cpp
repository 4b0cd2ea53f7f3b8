// The card editor as the user works it: new cards at the chosen places of the stack order,
// renaming, font and colour, deletion with the lists and the "before this card:" choice kept
// right, the name checks, the stamps, and the window's state without a background.

#include "KeysAndTypesFixture.h"
#include "editors/VexilCardEdit.h"
#include "editors/VexilCardInfo.h"
#include "editors/VexilScriptEdit.h"
#include "foundation/VexilFont.h"
#include "model/VexilClock.h"

#include <QDropEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QRadioButton>

#include <functional>

namespace
{
// Runs a hook when a broadcast arrives: what the user does while a broadcast yields.
class HookWindow final : public CVexilForm
{
public:
    // A managed name of a window that the tests do not show otherwise.
    static inline const QString KClassName = QStringLiteral("CVexilSearchForm");

    static void Load(std::function<void(int32_t)> aHook)
    {
        Hook() = std::move(aHook);
        CVexilFormRegistry::Register(KClassName, [] { return new HookWindow; });
        CVexilWinMan::NameToForm(KClassName);
    }
    static std::function<void(int32_t)>& Hook()
    {
        static std::function<void(int32_t)> hook;
        return hook;
    }

    void ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/) override
    {
        if (Hook())
            std::exchange(Hook(), nullptr)(aEvent);
    }
};

// Stands in for the background editor: keeps the background it is told to show.
class StandInBackgroundEdit final : public CVexilForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilBackgroundEdit");
    static inline TControlSetRef iShown;

    Q_INVOKABLE void SetAndShowBackground(const TControlSetRef& aBackground) { iShown = aBackground; }
};

class CardEdit : public KeysAndTypesFixture
{
protected:
    static void SetUpTestSuite()
    {
        KeysAndTypesFixture::SetUpTestSuite();
        CVexilCardEdit::Register();
        CVexilScriptEdit::Register();
    }

    // "Item" (Name the card name, Count) with A, B and C; "Other" (Title, no card name) with X
    // and Y; "Sorted" (Name the card name) kept sorted by its name with K and M. Stack order:
    // A B X C Y K M.
    static TStackRef CardStack()
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Cards"));
        const TControlSetRef item = stack->Background(0);
        item->SetName(QStringLiteral("Item"));
        const TControlRef name = AddField(*stack, *item, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef count = AddField(*stack, *item, QStringLiteral("Count"), EConTypeInteger);
        const TControlSetRef other = NewBackground(*stack, QStringLiteral("Other"));
        const TControlRef title = AddField(*stack, *other, QStringLiteral("Title"), EConTypeText);
        const TControlSetRef sorted = NewBackground(*stack, QStringLiteral("Sorted"));
        const TControlRef sortedName =
            AddField(*stack, *sorted, QStringLiteral("Name"), EConTypeText, EConCardName);
        int number = 0;
        for (const auto& [cardName, background] :
             std::vector<std::pair<QString, TControlSetRef>>{{"A", item}, {"B", item}, {"X", other}, {"C", item},
                                                            {"Y", other}, {"M", sorted}, {"K", sorted}})
        {
            const TCardRef card = NewCard(*stack, cardName, background);
            if (background == item)
            {
                card->SetControlVal(name->Id(), Val::Str(cardName));
                card->SetControlVal(count->Id(), Val::Int(++number));
            }
            else if (background == other)
                card->SetControlVal(title->Id(), Val::Str(cardName.toLower()));
            else
                card->SetControlVal(sortedName->Id(), Val::Str(cardName));
        }
        const TSortKeyRef key = AddKey(*stack, *sorted, QStringLiteral("ByName"), {{sortedName, 0}});
        sorted->SetFlag(ECseKeepCardsSorted, true);
        stack->NewIndexForSortKey(key);
        return stack;
    }

    void SetUp() override
    {
        Open(CardStack());
        RecordingWindow::Load();
    }

    void TearDown() override
    {
        CVexilFormRegistry::Unload(HookWindow::KClassName);
        CVexilFormRegistry::Unload(StandInBackgroundEdit::KClassName);
        StandInBackgroundEdit::iShown.reset();
        KeysAndTypesFixture::TearDown();
    }

    // The stack closed with every window and opened again as built.
    void Reopen()
    {
        KeysAndTypesFixture::TearDown();
        Open(CardStack());
        RecordingWindow::Load();
    }

    static CVexilCardEdit* CardEditor() { return Window<CVexilCardEdit>(CVexilCardEdit::KClassName); }

    static TControlSetRef BackgroundNamed(const QString& aName)
    {
        TControlSetRef background;
        EXPECT_TRUE(gStack->GetBackgroundByName(aName, background)) << aName.toStdString();
        return background;
    }

    static QStringList Lines(const QTreeWidget& aList, int aColumn = 0)
    {
        QStringList lines;
        for (int i = 0; i < aList.topLevelItemCount(); ++i)
            lines += aList.topLevelItem(i)->text(aColumn);
        return lines;
    }

    static void Choose(QRadioButton* aButton)
    {
        QTest::mouseClick(aButton, Qt::LeftButton, {}, QPoint(8, aButton->height() / 2));
    }

    // The card's value of the field as its neutral text ("-" for none).
    static QString ValueOf(const TCardRef& aCard, const QString& aField)
    {
        TControlRef field;
        if (!aCard->Background()->GetControlByName(aField, field))
            return QStringLiteral("?");
        TValue val;
        aCard->GetControlVal(field->Id(), val, false);
        return val.iType == EValUndef ? QStringLiteral("-") : CVexilValue::ValToIntText(val);
    }

    // Chooses the card in the real card picker that "Select..." of "before this card:" opens.
    static void PickBeforeCard(CVexilCardEdit& aEditor, const QString& aBackground, const QString& aCard)
    {
        Click(aEditor.fSelectCardBut);
        auto* picker = static_cast<CVexilCardSelect*>(CVexilFormRegistry::Loaded(CVexilCardSelect::KClassName));
        ASSERT_NE(picker, nullptr);
        Pick(picker->fBackgroundCombo, aBackground);
        ClickLine(picker->fCardBox, aCard, true);
    }
};

TEST_F(CardEdit, CreatesCardsAtTheChosenPlaces)
{
    struct TCase
    {
        const char* Background;
        const char* Current;
        const char* Option;  // the option's object name, "" to leave the options alone
        const char* PickFrom;
        const char* Pick;
        const char* Name;
        QStringList Order;
    };
    const std::vector<TCase> cases = {
        {"Item", "C", "fAtEnd", "", "", "N", {"A", "B", "X", "C", "Y", "K", "M", "N"}},
        {"Item", "C", "fBeforeCur", "", "", "N", {"A", "B", "X", "N", "C", "Y", "K", "M"}},
        // The next card in stack order belongs to another background.
        {"Item", "B", "fAfterCur", "", "", "N", {"A", "B", "N", "X", "C", "Y", "K", "M"}},
        {"Item", "M", "fAfterCur", "", "", "N", {"A", "B", "X", "C", "Y", "K", "M", "N"}},
        {"Item", "A", "fBeforeSpec", "Other", "Y", "N", {"A", "B", "X", "C", "N", "Y", "K", "M"}},
        {"Item", "A", "fBeforeSpec", "", "", "N", {"A", "B", "X", "C", "Y", "K", "M", "N"}},
        {"Other", "A", "fBeforeCur", "", "", "Z", {"Z", "A", "B", "X", "C", "Y", "K", "M"}},
        // Kept sorted: the options are disabled and the key decides.
        {"Sorted", "A", "", "", "", "L", {"A", "B", "X", "C", "Y", "K", "L", "M"}},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.Background) + " " + c.Option + " " + c.Pick);
        Reopen();
        gStackView->GoToCard(Card(QLatin1String(c.Current)));
        CVexilCardEdit* editor = CardEditor();
        ClickLine(editor->fBackgroundBox, QLatin1String(c.Background));
        Click(editor->fNewBut);
        EXPECT_EQ(editor->fModeText->text(), QStringLiteral("<new \"%1\">").arg(QLatin1String(c.Background)));
        const bool sorted = QLatin1String(c.Background) == QLatin1String("Sorted");
        for (QRadioButton* option : {editor->fAtEnd, editor->fBeforeCur, editor->fAfterCur, editor->fBeforeSpec})
            EXPECT_EQ(option->isEnabled(), !sorted) << option->objectName().toStdString();
        Type(editor->fName, QLatin1String(c.Name));
        if (*c.Pick)
        {
            PickBeforeCard(*editor, QLatin1String(c.PickFrom), QLatin1String(c.Pick));
            EXPECT_EQ(editor->fCardName->text(), QLatin1String(c.Pick));
        }
        if (*c.Option)
            Choose(editor->findChild<QRadioButton*>(QLatin1String(c.Option)));
        Click(editor->fCreateBut);

        EXPECT_EQ(StackOrder(), c.Order);
        const TCardRef made = Card(QLatin1String(c.Name));
        ASSERT_TRUE(made);
        EXPECT_EQ(made->Background()->Name(), QLatin1String(c.Background));
        if (QLatin1String(c.Background) != QLatin1String("Other"))
        {
            EXPECT_EQ(ValueOf(made, QStringLiteral("Name")), QLatin1String(c.Name)) << "the card-name field";
        }
        EXPECT_EQ(gStackView->CurCard(), made);
        EXPECT_EQ(editor->Mode(), EModeNone);
        EXPECT_TRUE(Lines(*editor->fCardBox).contains(QLatin1String(c.Name)));
        // A sorted background reports its new order as well.
        EXPECT_EQ(RecordingWindow::Heard().filter(QRegularExpression(QStringLiteral("^[^5]"))),
                  QStringList{QStringLiteral("3 ") + QLatin1String(c.Name)});
        EXPECT_TRUE(Shown().isEmpty());
    }
}

TEST_F(CardEdit, ModifyRenamesOnlyOnAnExactDifferenceAndAlwaysWritesFontAndColour)
{
    CVexilCardEdit* editor = CardEditor();
    const TCardRef b = Card(QStringLiteral("B"));
    // An old stamp: a rename writes the card-name field, which stamps the card anew.
    b->SetModDate(CVexilValue::FromQDate(QDate(2001, 2, 3)));
    b->SetModTime(0.5);

    ClickLine(editor->fCardBox, QStringLiteral("B"));
    ASSERT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->fName->text(), QStringLiteral("B"));
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Courier"), 240, UndefLong);
    editor->SetFont(font, 0);  // the font picker's answer
    ScriptedPrompts::Instance().ExpectColor(0x00FF00);
    Click(editor->fSelectColorBut);
    Click(editor->fModifyBut);

    EXPECT_EQ(b->Name(), QStringLiteral("B"));
    EXPECT_EQ(b->ModDate(), CVexilValue::FromQDate(QDate(2001, 2, 3))) << "not renamed";
    EXPECT_EQ(b->Font(), font);
    EXPECT_EQ(b->BackColor(), 0x00FF00);
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("3 B")});

    // Another letter case is another name; clearing the colour writes "inherited".
    ClickLine(editor->fCardBox, QStringLiteral("B"));
    EXPECT_EQ(editor->fFontName->text(), QStringLiteral("Courier"));
    Type(editor->fName, QStringLiteral("b"));
    Click(editor->fClearColorBut);
    Click(editor->fModifyBut);
    EXPECT_EQ(b->Name(), QStringLiteral("b"));
    EXPECT_EQ(ValueOf(b, QStringLiteral("Name")), QStringLiteral("b"));
    EXPECT_NE(b->ModDate(), CVexilValue::FromQDate(QDate(2001, 2, 3)));
    EXPECT_EQ(b->BackColor(), UndefLong);
    EXPECT_EQ(b->Font(), font);
    EXPECT_EQ(Lines(*editor->fCardBox), (QStringList{"A", "b", "C"}));
}

TEST_F(CardEdit, ScriptOpensTheShownCardsScriptOnlyWhenACardIsShown)
{
    CVexilCardEdit* editor = CardEditor();
    const auto scriptEditor = [] {
        return qobject_cast<CVexilScriptEdit*>(CVexilFormRegistry::Loaded(CVexilScriptEdit::KClassName));
    };
    ASSERT_NE(editor->Mode(), EModeModify);
    Click(editor->fScriptBut);
    EXPECT_EQ(scriptEditor(), nullptr);

    ClickLine(editor->fCardBox, QStringLiteral("B"));
    Click(editor->fScriptBut);
    ASSERT_NE(scriptEditor(), nullptr);
    EXPECT_EQ(scriptEditor()->Obj(), TObjRef(Card(QStringLiteral("B"))));
    CVexilFormRegistry::Unload(CVexilScriptEdit::KClassName);
}

TEST_F(CardEdit, DeleteDeletesExactlyTheShownCardWhichNoListOffersAfterwards)
{
    CVexilCardEdit* editor = CardEditor();
    gStackView->GoToCard(Card(QStringLiteral("B")));
    ClickLine(editor->fCardBox, QStringLiteral("B"));
    // While the broadcast yields the user clicks another card: B is deleted all the same.
    HookWindow::Load([editor](int32_t) { ClickLine(editor->fCardBox, QStringLiteral("C")); });
    Click(editor->fDeleteBut);

    EXPECT_EQ(StackOrder(), (QStringList{"A", "X", "C", "Y", "K", "M"}));
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("9 B")});
    EXPECT_TRUE(Shown().isEmpty()) << "no question";
    EXPECT_EQ(Lines(*editor->fCardBox), (QStringList{"A", "C"}));
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_NE(gStackView->CurCard()->Name(), QStringLiteral("B"));

    // Deleted by another window: the broadcast comes before the deletion, and nothing after.
    const TCardRef c = Card(QStringLiteral("C"));
    CVexilWinMan::NotifyAll(EChgDeletingCard, c);
    gStackView->DeleteCard(c, nullptr);
    EXPECT_EQ(Lines(*editor->fCardBox), QStringList{"A"});
}

TEST_F(CardEdit, DeletingTheChosenBeforeCardClearsTheChoiceWhicheverOptionIsSelected)
{
    for (const char* option : {"fBeforeSpec", "fAtEnd"})
    {
        SCOPED_TRACE(option);
        Reopen();
        CVexilCardEdit* editor = CardEditor();
        Click(editor->fNewBut);
        Type(editor->fName, QStringLiteral("N"));
        PickBeforeCard(*editor, QStringLiteral("Other"), QStringLiteral("X"));
        Choose(editor->findChild<QRadioButton*>(QLatin1String(option)));
        ASSERT_EQ(editor->fCardName->text(), QStringLiteral("X"));

        ClickLine(editor->fBackgroundBox, QStringLiteral("Other"));
        ClickLine(editor->fCardBox, QStringLiteral("X"));
        Click(editor->fDeleteBut);

        EXPECT_EQ(editor->BeforeCardId(), UndefLong);
        EXPECT_TRUE(editor->fCardName->text().isEmpty());
        EXPECT_TRUE(editor->fAtEnd->isChecked());
        EXPECT_FALSE(editor->fBeforeSpec->isChecked());
        // A new card goes to the end, not before whatever card takes the id later.
        ClickLine(editor->fBackgroundBox, QStringLiteral("Item"));
        Click(editor->fNewBut);
        Type(editor->fName, QStringLiteral("N"));
        Choose(editor->fBeforeSpec);
        Click(editor->fCreateBut);
        EXPECT_EQ(StackOrder(), (QStringList{"A", "B", "C", "Y", "K", "M", "N"}));
    }
}

TEST_F(CardEdit, CreateAndModifyRefuseAnEmptyOrBlankNameAsLeavingTheBoxDoes)
{
    struct TCase
    {
        const char* Button;
        const char* Name;
        bool Leave;  // the user leaves the box before the click
        const char* Message;
    };
    const std::vector<TCase> cases = {
        {"fCreateBut", "", false, "2 card"},
        {"fCreateBut", "   ", false, "8 Name"},
        {"fCreateBut", "   ", true, "8 Name"},
        {"fModifyBut", "", false, "2 card"},
        {"fModifyBut", "  ", false, "8 Name"},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.Button) + " '" + c.Name + "'");
        ScriptedPrompts::Instance().Reset();
        Reopen();
        CVexilCardEdit* editor = CardEditor();
        const bool create = QLatin1String(c.Button) == QLatin1String("fCreateBut");
        if (create)
            Click(editor->fNewBut);
        else
            ClickLine(editor->fCardBox, QStringLiteral("A"));
        const QByteArray before = Saved();
        ScriptedPrompts::Instance().ExpectMessage();
        Type(editor->fName, QLatin1String(c.Name));
        if (c.Leave)
            Tab();
        else
            Click(editor->findChild<QPushButton*>(QLatin1String(c.Button)));

        EXPECT_EQ(Shown(), QStringList{QLatin1String(c.Message)});
        EXPECT_EQ(FocusName(), QStringLiteral("fName"));
        EXPECT_EQ(Saved(), before);
        EXPECT_EQ(editor->Mode(), create ? EModeNew : EModeModify);
    }
}

TEST_F(CardEdit, ShowsTheCardsValuesStampsAndChangedFlag)
{
    const TCardRef b = Card(QStringLiteral("B"));
    b->SetCreDate(CVexilValue::FromQDate(QDate(2024, 1, 5)));
    b->SetCreTime(CVexilValue::FromQTime(QTime(13, 4, 5)));
    b->SetModDate(CVexilValue::FromQDate(QDate(2024, 11, 30)));
    b->SetModTime(CVexilValue::FromQTime(QTime(8, 0, 9)));
    b->SetChanged(true);
    CVexilCardEdit* editor = CardEditor();
    editor->SetAndShowCard(b);  // as the main window's Card > Info... does

    EXPECT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("B"));
    EXPECT_EQ(editor->fCardBox->currentItem()->text(0), QStringLiteral("B"));
    EXPECT_EQ(Lines(*editor->fControlBox), (QStringList{"Name", "Count"}));
    EXPECT_EQ(Lines(*editor->fControlBox, 1), (QStringList{"B", "2"}));
    EXPECT_EQ(editor->fCreDate->text(), QStringLiteral("1/5/2024 1:04:05 PM"));
    EXPECT_EQ(editor->fModDate->text(), QStringLiteral("11/30/2024 8:00:09 AM"));
    EXPECT_TRUE(editor->fCreDate->isReadOnly());
    {
        const LocaleScope german(kCommaLocale);
        ClickLine(editor->fCardBox, QStringLiteral("B"));
        EXPECT_EQ(editor->fCreDate->text(), QStringLiteral("05.01.2024 13:04:05"));
    }

    // "Changed?" shows the flag; the user cannot change it.
    EXPECT_TRUE(editor->fChanged->isChecked());
    QTest::mouseClick(editor->fChanged, Qt::LeftButton, {}, QPoint(8, editor->fChanged->height() / 2));
    EXPECT_TRUE(editor->fChanged->isChecked());
    editor->fChanged->setChecked(false);
    EXPECT_TRUE(editor->fChanged->isChecked());
    EXPECT_TRUE(b->Changed());

    // The stamps of a new card are both the moment of Create, even when the clock moves on
    // while the name is written into the card-name field.
    QDateTime now(QDate(2025, 3, 1), QTime(9, 0, 0));
    CVexilClock::SetSource([&now] { return now = now.addSecs(1); });
    Click(editor->fNewBut);
    Type(editor->fName, QStringLiteral("N"));
    Click(editor->fCreateBut);
    ClickLine(editor->fCardBox, QStringLiteral("N"));
    const TCardRef made = Card(QStringLiteral("N"));
    EXPECT_EQ(editor->fCreDate->text(), CVexilCardInfo::StampText(made->CreDate(), made->CreTime()));
    EXPECT_EQ(editor->fCreDate->text(), editor->fModDate->text());
    EXPECT_EQ(editor->fCreDate->text(), QStringLiteral("3/1/2025 9:00:01 AM"));
    CVexilClock::SetSource({});
}

TEST_F(CardEdit, NewAndCreateAreDisabledWithoutABackground)
{
    // The main window's Card > New... on the current card's background.
    CVexilCardEdit* editor = CardEditor();
    editor->NewCard(BackgroundNamed(QStringLiteral("Other")));
    EXPECT_EQ(editor->Mode(), EModeNew);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("<new \"Other\">"));
    EXPECT_TRUE(editor->fCreateBut->isEnabled());

    // The last background goes (as the background editor deletes it).
    for (const char* name : {"Item", "Other", "Sorted"})
        gStack->DeleteBackground(BackgroundNamed(QLatin1String(name)), false);
    CVexilWinMan::NotifyAll(EChgStructure);
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_EQ(Lines(*editor->fBackgroundBox), QStringList{});
    EXPECT_FALSE(editor->fNewBut->isEnabled());
    EXPECT_FALSE(editor->fCreateBut->isEnabled());

    // No stack at all.
    CVexilFormRegistry::Unload(CVexilCardEdit::KClassName);
    gStackView->Release();
    gStackView.reset();
    gStack.reset();
    editor = CardEditor();
    EXPECT_EQ(Lines(*editor->fBackgroundBox), QStringList{"(No stack available)"});
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_FALSE(editor->fNewBut->isEnabled());
    Click(editor->fNewBut);
    EXPECT_EQ(editor->Mode(), EModeNone);
}

TEST_F(CardEdit, DoubleClicksAndADropActOnTheLineUnderThem)
{
    CVexilCardEdit* editor = CardEditor();
    ClickLine(editor->fCardBox, QStringLiteral("C"), true);
    EXPECT_EQ(gStackView->CurCard(), Card(QStringLiteral("C")));

    ClickLine(editor->fCardBox, QStringLiteral("B"));
    ClickLine(editor->fControlBox, QStringLiteral("Count"), true);
    auto* fieldEditor = static_cast<CVexilControlEdit*>(CVexilFormRegistry::Loaded(CVexilControlEdit::KClassName));
    ASSERT_NE(fieldEditor, nullptr);
    EXPECT_EQ(fieldEditor->Mode(), EModeModify);
    EXPECT_EQ(fieldEditor->CurControl(), Field(QStringLiteral("Count")));

    CVexilFormRegistry::Register(StandInBackgroundEdit::KClassName, [] { return new StandInBackgroundEdit; });
    ClickLine(editor->fBackgroundBox, QStringLiteral("Other"), true);
    EXPECT_EQ(StandInBackgroundEdit::iShown, BackgroundNamed(QStringLiteral("Other")));
    EXPECT_TRUE(CVexilFormRegistry::Loaded(StandInBackgroundEdit::KClassName)->isVisible());
    ClickLine(editor->fBackgroundBox, QStringLiteral("Item"));
    ClickLine(editor->fCardBox, QStringLiteral("B"));

    QMimeData data;
    data.setText(QStringLiteral("dropped"));
    QTreeWidgetItem* line = editor->fCardBox->findItems(QStringLiteral("A"), Qt::MatchExactly).value(0);
    ASSERT_NE(line, nullptr);
    // A drag that enters the list and is dropped on the line.
    const QPoint at = editor->fCardBox->visualItemRect(line).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(editor->fCardBox->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(editor->fCardBox->viewport(), &drop);
    EXPECT_EQ(editor->fCardBox->currentItem(), line);
    EXPECT_TRUE(line->isSelected());
    EXPECT_EQ(editor->Card(), Card(QStringLiteral("B"))) << "a drop shows no card";
}
}  // namespace

#include "CardEditTest.moc"
