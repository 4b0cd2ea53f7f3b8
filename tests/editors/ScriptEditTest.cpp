// The script editor as the user works it: handlers typed and saved, a compile error shown at
// its line, a button's run-time error opening the editor, the indentation Enter continues,
// and typed source that is never dropped or stored into an object the stack no longer has.

#include "ScriptStackFixture.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilScriptLines.h"
#include "editors/VexilScriptObj.h"

#include <optional>
#include <tuple>

namespace
{
class ScriptEditTest : public ScriptStackFixture
{
protected:
    // The editor on the stack's script, as the stack editor's "Script..." opens it.
    static CVexilScriptEdit* EditStackScript()
    {
        Click(OpenStackEditor()->fScript);
        CVexilScriptEdit* editor = ScriptEditor();
        EXPECT_NE(editor, nullptr);
        if (editor)
        {
            EXPECT_TRUE(QTest::qWaitForWindowActive(editor));
        }
        return editor;
    }

    static QString Selected() { return ScriptEditor()->fSource->textCursor().selectedText(); }
};

TEST_F(ScriptEditTest, ThreeHandlersTypedAndSavedAreStoredWithCrLfAndCompiled)
{
    CVexilScriptEdit* editor = EditStackScript();
    EXPECT_EQ(editor->Caption(), QStringLiteral("Edit Script for Stack"));
    EXPECT_EQ(editor->fSource->toPlainText(), QStringLiteral("On openCard\nEnd"));
    EXPECT_FALSE(editor->fRow->isVisible());
    editor->fSource->selectAll();
    QTest::keyClick(editor->fSource, Qt::Key_Delete);
    for (const char* line : {"On first", "Answer 1", "End", "On second", "Answer 2", "End", "On third", "End"})
    {
        QTest::keyClicks(editor->fSource, QLatin1String(line));
        QTest::keyClick(editor->fSource, Qt::Key_Return);
    }
    EXPECT_TRUE(editor->IsChanged());
    Click(editor->fSaveBut);

    EXPECT_EQ(gStack->ScriptSource(), QStringLiteral("On first\r\nAnswer 1\r\nEnd\r\nOn second\r\nAnswer 2\r\nEnd\r\n"
                                                     "On third\r\nEnd\r\n"));
    ASSERT_TRUE(gStack->Script());
    EXPECT_EQ(gStack->Script()->Count(), 3);
    TArrayElem handler;
    int32_t cursor = 0;
    for (const char* name : {"first", "second", "third"})
        EXPECT_TRUE(gStack->Script()->ReadByStrKey(QLatin1String(name), handler, cursor)) << name;
    EXPECT_TRUE(gStack->Changed());
    EXPECT_EQ(ScriptEditor(), nullptr);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(ScriptEditTest, ACompileErrorMarksTheIndentedLineAndKeepsTheOldScript)
{
    const std::shared_ptr<CVexilArray> oldScript = gStack->Script();
    CVexilScriptEdit* editor = EditStackScript();
    const QString bad = QStringLiteral("    Put 1 Intx Field \"Note\"");
    editor->fSource->selectAll();
    QTest::keyClicks(editor->fSource, QStringLiteral("On openCard"));
    QTest::keyClick(editor->fSource, Qt::Key_Return);
    QTest::keyClicks(editor->fSource, QStringLiteral("    Answer 1"));
    // Enter continued the four blanks.
    QTest::keyClick(editor->fSource, Qt::Key_Return);
    QTest::keyClicks(editor->fSource, bad.trimmed());
    QTest::keyClick(editor->fSource, Qt::Key_Return);
    QTest::keyClicks(editor->fSource, QStringLiteral("End"));
    const QString typed = editor->fSource->toPlainText();
    ASSERT_EQ(typed.split(QLatin1Char('\n')).value(2), bad);

    Answer(true);
    Click(editor->fSaveBut);

    ASSERT_EQ(ScriptEditor(), editor);
    const TCompErrInfo info = gCompiler->GetErrorInfo();
    EXPECT_EQ(info.LineIndex, 2);
    EXPECT_EQ(Selected(), bad);
    EXPECT_EQ(editor->fSource->textCursor().selectionStart(), typed.indexOf(bad));
    EXPECT_EQ(editor->fErrorLine->text(), bad);
    // The mark ends right after the faulty word, the indentation counted.
    EXPECT_EQ(editor->fErrorPos->text().trimmed(), QStringLiteral("Put 1 Intx"));
    EXPECT_TRUE(bad.startsWith(editor->fErrorPos->text()));
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1U);
    const TMsgPrompt& shown = ScriptedPrompts::Instance().Messages()[0];
    EXPECT_GE(shown.Id, EMsgWrongKeyword);
    EXPECT_LE(shown.Id, EMsgSourceEnd);
    EXPECT_EQ(shown.Class, EMsgClsCritical);
    EXPECT_EQ(shown.Params.value(0), info.Param1);
    EXPECT_EQ(shown.Params.value(1), info.Param2);
    EXPECT_EQ(editor->fErrorStr->text(), shown.Text);
    EXPECT_FALSE(editor->fErrorStr->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), editor->fSource);
    EXPECT_TRUE(editor->IsChanged());
    EXPECT_EQ(gStack->ScriptSource(), kStackScript);
    EXPECT_EQ(gStack->Script(), oldScript);
}

TEST_F(ScriptEditTest, AButtonWhoseHandlerNamesAMissingFieldOpensTheEditorAtThatLine)
{
    Answer(true);
    QTest::mouseClick(qobject_cast<QWidget*>(Field(QStringLiteral("Buy"))->BaseControl()), Qt::LeftButton);

    CVexilScriptEdit* editor = ScriptEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Obj(), std::static_pointer_cast<CVexilObject>(Field(QStringLiteral("Buy"))));
    EXPECT_EQ(editor->Caption(), QStringLiteral("Edit Script for Field/Control 'Buy'"));
    EXPECT_EQ(Selected(), kBuyScript[1]);
    EXPECT_EQ(editor->fErrorLine->text(), kBuyScript[1]);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("1083 Nowhere")});
    EXPECT_EQ(editor->fErrorStr->text(), CVexilMsg::LastMsgText());
    EXPECT_FALSE(gInterpreter->Running());
    // Nothing typed: Cancel closes without a question.
    Click(editor->fCancelBut);
    EXPECT_EQ(ScriptEditor(), nullptr);
}

TEST_F(ScriptEditTest, ARunTimeLineTheSourceDoesNotHaveSelectsNothingAndStillShowsTheMessage)
{
    TRunErrInfo info;
    info.MsgId = EMsgCardNotFound;
    info.Param1 = QStringLiteral("Z");
    info.Obj = Field(QStringLiteral("Buy"));
    for (const int32_t line : {3, 10001, -1, UndefLong})
    {
        SCOPED_TRACE(line);
        info.LineIndex = line;
        Answer(true);
        CVexilScriptEdit::ShowScriptRunError(info);
        CVexilScriptEdit* editor = ScriptEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_FALSE(editor->fSource->textCursor().hasSelection());
        EXPECT_TRUE(editor->fErrorLine->text().isEmpty());
        EXPECT_EQ(ScriptedPrompts::Instance().Messages().back().Id, EMsgCardNotFound);
    }
}

// Lines of the source box by index: the stored text counts each earlier line end as 2, the
// box as 1.
TEST(ScriptLines, ALineIsFoundByItsIndexInTheBoxText)
{
    const std::vector<std::tuple<QString, int32_t, std::optional<TScriptLineSel>>> cases = {
        {"abcde\nfghijkl\nxyz", 0, TScriptLineSel{0, 5}},
        {"abcde\nfghijkl\nxyz", 1, TScriptLineSel{6, 7}},
        // 16 in the stored text's counting.
        {"abcde\nfghijkl\nxyz", 2, TScriptLineSel{14, 3}},
        {"abcde\nfghijkl\nxyz", 3, std::nullopt},
        {"abcde\nfghijkl\n", 2, TScriptLineSel{14, 0}},
        {"", 0, TScriptLineSel{0, 0}},
        {"", 1, std::nullopt},
        {"abc", -1, std::nullopt},
        {"abc", UndefLong, std::nullopt},
    };
    for (const auto& [text, index, expected] : cases)
        EXPECT_EQ(CVexilScriptLines::LineSel(text, index), expected) << text.toStdString() << " " << index;
}

TEST(ScriptLines, TheErrorMarkCountsTheIndentationAndEnterContinuesBlanksOnly)
{
    const std::vector<std::tuple<QString, int32_t, QString>> marks = {
        {"Put 1 Intx 2", 11, "Put 1 Intx "},
        {"    Put 1 Intx 2", 11, "    Put 1 Intx "},
        {"  \tPut", 2, "  \tP"},
        {"  x", 0, "  "},
        {"  x", 9, "  x"},
    };
    for (const auto& [line, pos, expected] : marks)
        EXPECT_EQ(CVexilScriptLines::ErrorPosText(line, pos), expected) << line.toStdString();
    const std::vector<std::pair<QString, QString>> breaks = {
        {"    x", "\n    "}, {"\tx", "\n"}, {"  \t x", "\n  "}, {"", "\n"}, {"   ", "\n   "}, {"x  ", "\n"},
    };
    for (const auto& [line, expected] : breaks)
        EXPECT_EQ(CVexilScriptLines::NewLineFor(line), expected) << line.toStdString();
}

TEST_F(ScriptEditTest, EnterContinuesFourBlanksButNoTab)
{
    CVexilScriptEdit* editor = EditStackScript();
    for (const auto& [line, expected] : {std::pair{"    x", "    x\n    "}, std::pair{"\tx", "\tx\n"}})
    {
        editor->fSource->clear();
        QTest::keyClicks(editor->fSource, QLatin1String(line));
        QTest::keyClick(editor->fSource, Qt::Key_Return);
        EXPECT_EQ(editor->fSource->toPlainText(), QLatin1String(expected));
    }
    Answer(true);
    Click(editor->fCancelBut);
}

TEST_F(ScriptEditTest, CancelAndTheCloseBoxAskBeforeTypedSourceIsDropped)
{
    CVexilScriptEdit* editor = EditStackScript();
    TypeAtEnd(QStringLiteral("x"));
    Answer(false);
    Click(editor->fCancelBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("30 script")});
    ASSERT_EQ(ScriptEditor(), editor);
    Answer(false);
    editor->close();
    ASSERT_EQ(ScriptEditor(), editor);
    EXPECT_TRUE(editor->fSource->toPlainText().endsWith(QLatin1Char('x')));
    Answer(true);
    Click(editor->fCancelBut);
    EXPECT_EQ(ScriptEditor(), nullptr);
    EXPECT_EQ(gStack->ScriptSource(), kStackScript);
}

TEST_F(ScriptEditTest, TheFieldEditorsScriptButtonOpensTheFieldsScript)
{
    Item(QStringLiteral("fEditControls"))->trigger();
    auto* fields = static_cast<CVexilControlEdit*>(Loaded(CVexilControlEdit::KClassName));
    ASSERT_NE(fields, nullptr);
    const QList<QTreeWidgetItem*> lines = fields->fControlBox->findItems(QStringLiteral("Buy"), Qt::MatchExactly, 0);
    ASSERT_EQ(lines.size(), 1);
    QTest::mouseClick(fields->fControlBox->viewport(), Qt::LeftButton, {},
                      fields->fControlBox->visualItemRect(lines[0]).center());
    Click(fields->fScriptBut);
    ASSERT_NE(ScriptEditor(), nullptr);
    EXPECT_EQ(ScriptEditor()->Caption(), QStringLiteral("Edit Script for Field/Control 'Buy'"));
    EXPECT_EQ(ScriptEditor()->fSource->toPlainText(), kBuyScript.join(QLatin1Char('\n')));
}

TEST_F(ScriptEditTest, AnotherObjectOrRunTimeErrorTakesTypedSourceOnlyAfterTheQuestion)
{
    CVexilScriptEdit* editor = EditStackScript();
    TypeAtEnd(QStringLiteral("\nOn more"));
    const QString typed = editor->fSource->toPlainText();

    // "No" keeps the window as it is; the same object again keeps the text without asking.
    Answer(false);
    EXPECT_FALSE(CVexilScriptEdit::EditScript(Card(QStringLiteral("A"))));
    EXPECT_TRUE(CVexilScriptEdit::EditScript(gStack));
    Answer(false);
    Answer(true);
    QTest::mouseClick(qobject_cast<QWidget*>(Field(QStringLiteral("Buy"))->BaseControl()), Qt::LeftButton);
    EXPECT_EQ(Shown(), (QStringList{QStringLiteral("30 script"), QStringLiteral("30 script"),
                                    QStringLiteral("1083 Nowhere")}));
    EXPECT_EQ(ScriptEditor(), editor);
    EXPECT_EQ(editor->Obj(), std::static_pointer_cast<CVexilObject>(gStack));
    EXPECT_EQ(editor->fSource->toPlainText(), typed);
    EXPECT_EQ(editor->Caption(), QStringLiteral("Edit Script for Stack"));
    EXPECT_TRUE(editor->fErrorLine->text().isEmpty());

    // "Yes" lets the card's script in; the other editors may ask by name.
    Answer(true);
    EXPECT_TRUE(QMetaObject::invokeMethod(editor, "SetScriptObj", Q_ARG(TObjRef, Card(QStringLiteral("A")))));
    EXPECT_EQ(editor->Caption(), QStringLiteral("Edit Script for Card 'A'"));
    EXPECT_TRUE(editor->fSource->toPlainText().isEmpty());
    EXPECT_FALSE(editor->IsChanged());
}

TEST_F(ScriptEditTest, DeletingTheCardClosesAnUnchangedEditorAndKeepsTypedTextWithoutObject)
{
    // Unchanged: closed without a question.
    CVexilScriptEdit::EditScript(Card(QStringLiteral("A")));
    ASSERT_NE(ScriptEditor(), nullptr);
    Answer(true);  // delete the card?
    CVexilStackCmds::DeleteCard();
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("29 A")});
    EXPECT_EQ(ScriptEditor(), nullptr);

    // Typed: "No" keeps the text in a window whose Save does nothing.
    const TCardRef card = gStackView->CurCard();
    CVexilScriptEdit::EditScript(card);
    TypeAtEnd(QStringLiteral("On openCard\nEnd"));
    Answer(true);
    Answer(false);
    CVexilStackCmds::DeleteCard();
    CVexilScriptEdit* editor = ScriptEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Shown().mid(1), (QStringList{QStringLiteral("29 ") + card->Name(), QStringLiteral("30 script")}));
    EXPECT_EQ(editor->Obj(), nullptr);
    EXPECT_FALSE(editor->fSaveBut->isEnabled());
    EXPECT_EQ(editor->fSource->toPlainText(), QStringLiteral("On openCard\nEnd"));
    Click(editor->fSaveBut);
    EXPECT_EQ(ScriptEditor(), editor);
    EXPECT_TRUE(card->ScriptSource().isEmpty());
}

TEST_F(ScriptEditTest, ClosingTheStackWithTypedSourceAsksAndNoLeavesSaveDisabled)
{
    CVexilScriptEdit* editor = EditStackScript();
    TypeAtEnd(QStringLiteral("\nOn more\nEnd"));
    const TStackRef stack = gStack;
    Answer(false);
    CVexilStackCmds::Close();
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("30 script")});
    ASSERT_EQ(ScriptEditor(), editor);
    EXPECT_FALSE(editor->fSaveBut->isEnabled());
    EXPECT_EQ(stack->ScriptSource(), kStackScript);
    // Its close box asks again.
    Answer(true);
    editor->close();
    EXPECT_EQ(ScriptEditor(), nullptr);
}

// Which broadcasts take an object out of the stack, for every kind of object.
TEST_F(ScriptEditTest, AnObjectLeavesTheStackWithItsCardBackgroundOrStructure)
{
    const TObjRef stack = gStack;
    const TObjRef item = Background(QStringLiteral("Item"));
    const TObjRef other = Background(QStringLiteral("Other"));
    const TObjRef cardA = Card(QStringLiteral("A"));
    const TObjRef cardB = Card(QStringLiteral("B"));
    const TObjRef buy = Field(QStringLiteral("Buy"));
    const TObjRef tag = Field(QStringLiteral("Tag"), QStringLiteral("Other"));
    const std::vector<std::tuple<const char*, TObjRef, int32_t, TObjRef, bool>> cases = {
        {"stack closing", stack, EChgClosingStack, nullptr, true},
        {"field closing", buy, EChgClosingStack, nullptr, true},
        {"card deleted", cardA, EChgDeletingCard, cardA, true},
        {"other card deleted", cardA, EChgDeletingCard, cardB, false},
        {"field, card deleted", buy, EChgDeletingCard, cardA, false},
        {"background deleted", item, EChgDeletingBackground, item, true},
        {"its card", cardA, EChgDeletingBackground, item, true},
        {"its field", buy, EChgDeletingBackground, item, true},
        {"field of another", tag, EChgDeletingBackground, item, false},
        {"card, another", cardA, EChgDeletingBackground, other, false},
        {"stack, a background", stack, EChgDeletingBackground, item, false},
        {"structure, field there", buy, EChgStructure, item, false},
        {"order", cardA, EChgCardOrder, nullptr, false},
    };
    for (const auto& [name, obj, event, obj0, leaves] : cases)
        EXPECT_EQ(CVexilScriptObj::LeavesStack(obj, event, obj0, gStack.get()), leaves) << name;

    Background(QStringLiteral("Other"))->DeleteControl(Field(QStringLiteral("Tag"), QStringLiteral("Other"))->Id());
    EXPECT_TRUE(CVexilScriptObj::LeavesStack(tag, EChgStructure, other, gStack.get()));
    TCardRef deleted = Card(QStringLiteral("B"));
    gStack->DeleteCard(deleted);
    EXPECT_TRUE(CVexilScriptObj::LeavesStack(cardB, EChgCards, nullptr, gStack.get()));
    EXPECT_FALSE(CVexilScriptObj::LeavesStack(cardA, EChgCards, nullptr, gStack.get()));
}
}  // namespace
