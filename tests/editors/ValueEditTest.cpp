// The value type editor as the user works it: the type changes of the table with their
// values, defaults, separators and locales, the refusals that leave the stack as it was, the
// broadcast, and the field chosen as the lists change.

#include "KeysAndTypesFixture.h"
#include "editors/VexilCardEdit.h"

#include <array>
#include <optional>

namespace
{
class ValueEdit : public KeysAndTypesFixture
{
protected:
    // One type change: the field as built (values of the cards A and B in neutral text, C
    // without a value), what the user chooses, and what the stack holds afterwards.
    struct TCase
    {
        const char* Field;
        int32_t From;
        std::array<const char*, 2> Values;
        const char* Default = "";
        int16_t Digits = UndefInt;
        int32_t Flags = 0;
        const char* NewType = "";
        bool Comma = false;
        bool German = false;
        int32_t Type = 0;
        std::array<const char*, 2> Stored{};
        const char* StoredDefault = "";
        const char* Refusal = nullptr;  // the reason of message 23, none when not refused
    };

    static const std::vector<TCase>& Cases()
    {
        static const std::vector<TCase> cases = {
            {"Amount", EConTypeText, {"12", "7.5"}, "", UndefInt, 0, "Float", false, false, EConTypeReal,
             {"12", "7.5"}},
            {"Sum", EConTypeText, {"1.234,5", "3,25"}, "", UndefInt, 0, "Float", true, false, EConTypeReal,
             {"1234.5", "3.25"}},
            {"SumDe", EConTypeText, {"1.234,5", "3,25"}, "", UndefInt, 0, "Float", true, true, EConTypeReal,
             {"1234.5", "3.25"}},
            {"Dotted", EConTypeText, {"7.5", "12"}, "", UndefInt, 0, "Float", false, true, EConTypeReal, {"7.5", "12"}},
            {"Halves", EConTypeText, {"2.5", "3.5"}, "1.5", UndefInt, 0, "Integer", false, false, EConTypeInteger,
             {"2", "4"}, "2"},
            {"CommaInt", EConTypeText, {"7,5", "1.000"}, "", UndefInt, 0, "Integer", true, false, EConTypeInteger,
             {"8", "1000"}},
            {"Ratio", EConTypeReal, {"2.5", "-3.5"}, "", UndefInt, 0, "Integer", false, false, EConTypeInteger,
             {"2", "-4"}},
            {"Count", EConTypeInteger, {"42", "-7"}, "", UndefInt, 0, "Text", false, false, EConTypeText, {"42", "-7"}},
            {"Price", EConTypeReal, {"1.5", "1234"}, "", 2, 0, "Text", false, false, EConTypeText,
             {"1.50", "1,234.00"}},
            {"Flag", EConTypeText, {"T", "yes"}, "T", UndefInt, 0, "Boolean", false, false, EConTypeBoolean,
             {"-1", "0"}, "-1"},
            {"Word", EConTypeText, {"abc", "5"}, "", UndefInt, 0, "Integer", false, false, EConTypeText, {"abc", "5"},
             "", "the card 'A' holds 'abc', which cannot be converted."},
            {"Version", EConTypeText, {"1.2.3", "4"}, "", UndefInt, 0, "Float", false, false, EConTypeText,
             {"1.2.3", "4"}, "", "the card 'A' holds '1.2.3', which cannot be converted."},
            {"Huge", EConTypeText, {"5", "3000000000"}, "", UndefInt, 0, "Integer", false, false, EConTypeText,
             {"5", "3000000000"}, "", "the card 'B' holds '3000000000', which cannot be converted."},
            {"NoNumber", EConTypeText, {"5", "6"}, "abc", UndefInt, 0, "Integer", false, false, EConTypeText,
             {"5", "6"}, "abc", "its default value 'abc' cannot be converted."},
            {"Label", EConTypeText, {"a", "b"}, "", UndefInt, 0, "Command", false, false, EConTypeText, {"a", "b"}, "",
             "the card 'A' holds 'a', which cannot be converted."},
            {"Day", EConTypeDate, {"20240105", "19991231"}, "", UndefInt, 0, "Date", false, false, EConTypeDate,
             {"20240105", "19991231"}},
            {"Day2", EConTypeDate, {"20240105", "19991231"}, "", UndefInt, 0, "Integer", false, false, EConTypeDate,
             {"20240105", "19991231"}, "", "the card 'A' holds '1/5/2024', which cannot be converted."},
            {"Key", EConTypeText, {"x", "y"}, "", UndefInt, 0, "Date", false, false, EConTypeText, {"x", "y"}, "",
             "it is a part of the sort key 'ByKey'."},
            {"Combo", EConTypeText, {"1", "2"}, "", UndefInt, EConComboText, "Date", false, false, EConTypeText,
             {"1", "2"}, "", "its combo list 'Choices' needs a Text, Integer or Float field."},
            {"Choices", EConTypeList, {"a", "b"}, "", UndefInt, EConComboList, "Text", false, false, EConTypeList,
             {"a", "b"}, "", "it is the list of the combo box of the field 'Combo'."},
        };
        return cases;
    }

    // "Item": Name (the card name) and the field of every case; cards A, B and C. "Empty"
    // has no fields.
    static TStackRef TypeStack()
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Types"));
        const TControlSetRef item = stack->Background(0);
        item->SetName(QStringLiteral("Item"));
        const TControlRef name = AddField(*stack, *item, QStringLiteral("Name"), EConTypeText, EConCardName);
        std::vector<TControlRef> fields;
        for (const TCase& c : Cases())
        {
            TControlRef field = AddField(*stack, *item, QLatin1String(c.Field), c.From, c.Flags);
            field->SetDigits(c.Digits);
            field->SetDefaultVal(QLatin1String(c.Default));
            fields.push_back(field);
        }
        TControlRef combo;
        TControlRef choices;
        item->GetControlByName(QStringLiteral("Combo"), combo);
        item->GetControlByName(QStringLiteral("Choices"), choices);
        combo->SetPartnerId(choices->Id());
        choices->SetPartnerId(combo->Id());
        TControlRef key;
        item->GetControlByName(QStringLiteral("Key"), key);
        AddKey(*stack, *item, QStringLiteral("ByKey"), {{key, 0}});
        for (const char* cardName : {"A", "B", "C"})
        {
            const TCardRef card = NewCard(*stack, QLatin1String(cardName), item);
            card->SetControlVal(name->Id(), Val::Str(QLatin1String(cardName)));
            if (cardName[0] == 'C')
                continue;
            for (size_t i = 0; i < fields.size(); ++i)
            {
                const QString text = QLatin1String(Cases()[i].Values[cardName[0] == 'A' ? 0 : 1]);
                card->SetControlVal(fields[i]->Id(), CVexilValue::IntTextToVal(text, *fields[i]));
            }
        }
        NewBackground(*stack, QStringLiteral("Empty"));
        return stack;
    }

    void SetUp() override
    {
        Open(TypeStack());
        RecordingWindow::Load();
    }

    static void Choose(QRadioButton* aButton)
    {
        QTest::mouseClick(aButton, Qt::LeftButton, {}, QPoint(8, aButton->height() / 2));
    }

    static QStringList ComboLines(const QComboBox& aCombo)
    {
        QStringList lines;
        for (int i = 0; i < aCombo.count(); ++i)
            lines += aCombo.itemText(i);
        return lines;
    }
};

TEST_F(ValueEdit, ChangesTypesAsTheTableSaysOrRefusesWithTheStackUnchanged)
{
    for (const TCase& c : Cases())
    {
        SCOPED_TRACE(c.Field);
        std::optional<LocaleScope> locale;
        if (c.German)
            locale.emplace(kCommaLocale);
        CVexilValueEdit* editor = ValueEditor();
        Pick(editor->fControlCombo, QLatin1String(c.Field) + QStringLiteral("  ("));
        Pick(editor->fNewTypeCombo, QLatin1String(c.NewType));
        Choose(c.Comma ? editor->fDecimalComma : editor->fDecimalDot);
        const QByteArray before = Saved();
        const qsizetype shownBefore = Shown().size();
        RecordingWindow::Heard().clear();
        if (c.Refusal)
            ScriptedPrompts::Instance().ExpectMessage();

        Click(editor->fChangeTypeBut);

        const TControlRef field = Field(QLatin1String(c.Field));
        EXPECT_EQ(field->ConType(), c.Type);
        EXPECT_EQ(Values(field).mid(0, 2), (QStringList{QLatin1String(c.Stored[0]), QLatin1String(c.Stored[1])}));
        // Every stored value has the field's value type; the card without a value has none.
        for (const char* cardName : {"A", "B"})
        {
            TValue value;
            Card(QLatin1String(cardName))->GetControlVal(field->Id(), value, false);
            EXPECT_EQ(value.iType, CVexilValue::ConToValType(field->ConType())) << cardName;
        }
        EXPECT_FALSE(Card(QStringLiteral("C"))->ControlValDef(field->Id()));
        EXPECT_EQ(field->DefaultVal(), QLatin1String(c.StoredDefault));
        const QStringList shown = Shown().mid(shownBefore);
        if (c.Refusal)
            EXPECT_EQ(shown,
                      QStringList{QStringLiteral("23 %1 %2").arg(QLatin1String(c.Field), QLatin1String(c.Refusal))});
        else
            EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1Char('|')).toStdString();
        if (c.Refusal || c.From == c.Type)
        {
            EXPECT_EQ(Saved(), before);
            EXPECT_TRUE(RecordingWindow::Heard().isEmpty());
        }
        else
        {
            EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("2 ") + QLatin1String(c.Field)});
        }
    }
}

TEST_F(ValueEdit, TheFieldEditorShowsTheNewType)
{
    CVexilControlEdit* fieldEditor = Editor();
    CVexilValueEdit* editor = ValueEditor();
    Pick(editor->fControlCombo, QStringLiteral("Amount  ("));
    Pick(editor->fNewTypeCombo, QStringLiteral("Float"));
    Click(editor->fChangeTypeBut);

    const QList<QTreeWidgetItem*> lines =
        fieldEditor->fControlBox->findItems(QStringLiteral("Amount"), Qt::MatchExactly);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.first()->text(1), QStringLiteral("Real"));
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("2 Amount")});
}

TEST_F(ValueEdit, TheCardEditorShowsTheNewType)
{
    CVexilCardEdit::Register();
    auto* cardEditor = Window<CVexilCardEdit>(CVexilCardEdit::KClassName);
    // The value of the field in the card editor's list of fields and values.
    auto shown = [cardEditor] {
        ClickLine(cardEditor->fCardBox, QStringLiteral("A"));
        const QList<QTreeWidgetItem*> lines =
            cardEditor->fControlBox->findItems(QStringLiteral("Halves"), Qt::MatchExactly);
        return lines.size() == 1 ? lines.first()->text(1) : QStringLiteral("?");
    };
    EXPECT_EQ(shown(), QStringLiteral("2.5"));

    CVexilValueEdit* editor = ValueEditor();
    Pick(editor->fControlCombo, QStringLiteral("Halves  ("));
    Pick(editor->fNewTypeCombo, QStringLiteral("Integer"));
    Click(editor->fChangeTypeBut);

    EXPECT_EQ(cardEditor->Mode(), EModeNone) << "the typed input is dropped";
    EXPECT_EQ(shown(), QStringLiteral("2"));
    CVexilFormRegistry::Unload(CVexilCardEdit::KClassName);
}

TEST_F(ValueEdit, ARefusalNamesTheFirstCardOfTheStackOrder)
{
    const TControlRef word = Field(QStringLiteral("Word"));
    Card(QStringLiteral("B"))->SetControlVal(word->Id(), Val::Str(QStringLiteral("xyz")));
    gStack->MoveCard(*Card(QStringLiteral("B")), Card(QStringLiteral("A")).get());
    CVexilValueEdit* editor = ValueEditor();
    Pick(editor->fControlCombo, QStringLiteral("Word  ("));
    Pick(editor->fNewTypeCombo, QStringLiteral("Integer"));
    ScriptedPrompts::Instance().ExpectMessage();
    Click(editor->fChangeTypeBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("23 Word the card 'B' holds 'xyz', which cannot be converted.")});
    EXPECT_EQ(word->ConType(), EConTypeText);
}

TEST_F(ValueEdit, TheChosenFieldFollowsTheFieldList)
{
    CVexilValueEdit* editor = ValueEditor();
    EXPECT_EQ(ComboLines(*editor->fBackgroundCombo), (QStringList{QStringLiteral("Item"), QStringLiteral("Empty")}));
    EXPECT_EQ(ComboLines(*editor->fControlCombo).mid(0, 3),
              (QStringList{QStringLiteral("Name  (Text)"), QStringLiteral("Amount  (Text)"),
                           QStringLiteral("Sum  (Text)")}));
    EXPECT_EQ(editor->Control(), Field(QStringLiteral("Name")));
    EXPECT_TRUE(editor->fDecimalDot->isChecked());

    // Without a type nothing changes.
    Pick(editor->fControlCombo, QStringLiteral("Amount  ("));
    const QByteArray before = Saved();
    Click(editor->fChangeTypeBut);
    EXPECT_EQ(Saved(), before);

    // A background without fields leaves no field chosen: Change Type has nothing to change.
    Pick(editor->fBackgroundCombo, QStringLiteral("Empty"));
    EXPECT_EQ(editor->fControlCombo->count(), 0);
    EXPECT_EQ(editor->Control(), nullptr);
    Pick(editor->fNewTypeCombo, QStringLiteral("Integer"));
    Click(editor->fChangeTypeBut);
    EXPECT_EQ(Saved(), before);
    EXPECT_TRUE(RecordingWindow::Heard().isEmpty());

    // A field deleted elsewhere: the lists are refilled and the first field chosen again.
    Pick(editor->fBackgroundCombo, QStringLiteral("Item"));
    Pick(editor->fControlCombo, QStringLiteral("Amount  ("));
    const TControlRef amount = Field(QStringLiteral("Amount"));
    gStack->DeleteControl(amount->Id(), *Item());
    CVexilWinMan::NotifyAll(EChgStructure);
    EXPECT_EQ(editor->fBackgroundCombo->currentText(), QStringLiteral("Item"));
    EXPECT_EQ(editor->Control(), Field(QStringLiteral("Name")));
    EXPECT_EQ(editor->fControlCombo->currentText(), QStringLiteral("Name  (Text)"));
}
}  // namespace
