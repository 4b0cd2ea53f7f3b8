#include "ModalBox.h"
#include "ScriptedPrompts.h"
#include "platform/VexilWidgetPrompts.h"
#include "shell/VexilSave.h"

#include <QLabel>

#include <algorithm>
#include <utility>

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

namespace
{
QStringList ButtonsLeftToRight(QDialog& aBox)
{
    QList<QPushButton*> buttons = aBox.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](const QPushButton* a, const QPushButton* b) { return a->x() < b->x(); });
    QStringList names;
    for (const QPushButton* button : buttons)
        names << button->objectName() + QLatin1Char('=') + button->text();
    return names;
}
}  // namespace

TEST(SavePrompt, ShowsTheQuestionAndEachButtonGivesItsAnswer)
{
    struct TCase
    {
        const char* Clicked;
        int16_t Answer;
    };
    const TCase cases[] = {{"fSaveBut", 0}, {"fDiscardBut", 1}, {"fBackBut", 2}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Clicked);
        CVexilSave prompt;
        WhenShown([&](QDialog& aBox) {
            EXPECT_EQ(aBox.windowTitle(), QStringLiteral("Save Changes?"));
            EXPECT_EQ(aBox.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                      QStringLiteral("The current stack has unsaved changes. What do you want to do with the "
                                     "changes?"));
            EXPECT_FALSE(aBox.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
            EXPECT_EQ(ButtonsLeftToRight(aBox),
                      QStringList({"fSaveBut=Save", "fDiscardBut=Discard", "fBackBut=Back to Stack"}));
            for (const char* name : {"fSaveBut", "fDiscardBut", "fBackBut"})
                EXPECT_FALSE(Button(aBox, name)->isDefault() || Button(aBox, name)->autoDefault()) << name;
            // The tab order runs left to right.
            EXPECT_EQ(Button(aBox, "fSaveBut")->nextInFocusChain(), Button(aBox, "fDiscardBut"));
            EXPECT_EQ(Button(aBox, "fDiscardBut")->nextInFocusChain(), Button(aBox, "fBackBut"));
            Click(c.Clicked)(aBox);
        });
        EXPECT_EQ(prompt.Present(), c.Answer);
        EXPECT_EQ(prompt.DialogRes(), c.Answer);
        EXPECT_FALSE(prompt.isVisible());
    }
}

TEST(SavePrompt, EnterDoesNotAnswerForTheUser)
{
    CVexilSave prompt;
    WhenShown([](QDialog& aBox) {
        Button(aBox, "fSaveBut")->setFocus();
        QTest::keyClick(Button(aBox, "fSaveBut"), Qt::Key_Return);
        EXPECT_TRUE(aBox.isVisible());
        Click("fDiscardBut")(aBox);
    });
    EXPECT_EQ(prompt.Present(), CVexilSave::EAnswerDiscard);
}

TEST(SavePrompt, CloseBoxAndEscapeGoBackToTheStackWhateverWasAnsweredBefore)
{
    // One prompt shown again, so that an earlier answer could stand.
    CVexilSave prompt;
    const TAction dismissals[] = {TAction([](QDialog& aBox) { aBox.close(); }),
                                  TAction([](QDialog& aBox) { QTest::keyClick(&aBox, Qt::Key_Escape); })};
    for (const char* earlier : {"fDiscardBut", "fSaveBut"})
        for (const TAction& dismiss : dismissals)
        {
            SCOPED_TRACE(earlier);
            WhenShown(Click(earlier));
            EXPECT_NE(prompt.Present(), CVexilSave::EAnswerBack);
            WhenShown(dismiss);
            EXPECT_EQ(prompt.Present(), CVexilSave::EAnswerBack);
            EXPECT_EQ(prompt.DialogRes(), CVexilSave::EAnswerBack);
        }
}

TEST(SavePrompt, WidgetPromptsAskANewPromptCentredOnTheMainWindow)
{
    WidgetPromptsScope scope;
    QWidget main;
    main.setGeometry(100, 80, 800, 600);
    main.show();
    scope.Prompts().SetMainWindow(&main);

    // Without the shell's prompt the stack is kept, and nothing shows.
    EXPECT_EQ(CVexilPrompts::Current()->SaveChanges(), CVexilSave::EAnswerBack);

    scope.Prompts().SetSavePrompt(&CVexilSave::Ask);
    const std::pair<const char*, int16_t> clicks[] = {{"fDiscardBut", 1}, {"fSaveBut", 0}};
    for (const auto& [clicked, answer] : clicks)
    {
        WhenShown([&, clicked = clicked](QDialog& aBox) {
            EXPECT_EQ(aBox.objectName(), QStringLiteral("CVexilSave"));
            EXPECT_EQ(aBox.parentWidget(), &main);
            EXPECT_EQ(aBox.frameGeometry().center(), main.frameGeometry().center());
            Click(clicked)(aBox);
        });
        EXPECT_EQ(CVexilPrompts::Current()->SaveChanges(), answer);
    }
    WhenShown([](QDialog& aBox) { aBox.close(); });
    EXPECT_EQ(CVexilPrompts::Current()->SaveChanges(), CVexilSave::EAnswerBack);
    // Each question had a prompt of its own, unloaded after it.
    EXPECT_TRUE(main.findChildren<QDialog*>().isEmpty());
}

TEST(SavePrompt, ScriptedPromptsAnswerInOrderAndFailAnUnexpectedPrompt)
{
    ScriptedPrompts& scripted = ScriptedPrompts::Instance();
    scripted.ExpectSaveChanges(CVexilSave::EAnswerDiscard);
    scripted.ExpectSaveChanges(CVexilSave::EAnswerSave);
    EXPECT_EQ(scripted.Pending(), 2);
    EXPECT_EQ(CVexilPrompts::Current()->SaveChanges(), CVexilSave::EAnswerDiscard);
    EXPECT_EQ(CVexilPrompts::Current()->SaveChanges(), CVexilSave::EAnswerSave);
    EXPECT_EQ(scripted.SavePrompts(), 2);

    int16_t answer = -1;
    EXPECT_NONFATAL_FAILURE(answer = CVexilPrompts::Current()->SaveChanges(), "unexpected save prompt");
    EXPECT_EQ(answer, CVexilSave::EAnswerBack);
    EXPECT_EQ(scripted.SavePrompts(), 3);
}
