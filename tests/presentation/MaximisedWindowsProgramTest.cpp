// The card window and the editors maximised in the document area: a script written for a
// command field and saved leaves the card window with every widget of its card.

#include "../support/EditorUser.h"
#include "CommandsProgram.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilScriptEdit.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace
{
class MaximisedWindowsProgramTest : public CommandsProgram
{
protected:
    // Whether the card window shows every field of the card: laid out and painted.
    static bool ShowsAllFields()
    {
        if (!CardWindow()->updatesEnabled())
            return false;
        for (const char* name : {"Name", "Note", "Go Next", "Go Home"})
        {
            const auto* widget = qobject_cast<QWidget*>(Field(QLatin1String(name))->BaseControl());
            if (!widget || !widget->isVisibleTo(CardWindow()))
                return false;
        }
        return true;
    }
};

TEST_F(MaximisedWindowsProgramTest, SavingAScriptKeepsTheCardWindowsWidgets)
{
    QMdiArea* area = Frame()->DocumentArea();
    CardWindow()->SubWindow()->showMaximized();
    auto* fields = OpenBy<CVexilControlEdit>(QStringLiteral("fBackground"), QStringLiteral("fEditBackgroundControls"),
                                             CVexilControlEdit::KClassName);
    ASSERT_NE(fields, nullptr);
    fields->SubWindow()->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return area->activeSubWindow() == fields->SubWindow(); }));
    ASSERT_TRUE(ShowsAllFields());

    EditorUser::ClickLine(fields->fControlBox, QStringLiteral("Go Next"));
    QTest::mouseClick(fields->fScriptBut, Qt::LeftButton);
    auto* script = static_cast<CVexilScriptEdit*>(Loaded(CVexilScriptEdit::KClassName));
    ASSERT_NE(script, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return area->activeSubWindow() == script->SubWindow(); }));
    QTest::mouseClick(script->fSource->viewport(), Qt::LeftButton);
    QTest::keyClicks(script->fSource, QStringLiteral("On select"));
    QTest::keyClick(script->fSource, Qt::Key_Return);
    QTest::keyClicks(script->fSource, QStringLiteral("End"));
    QTest::mouseClick(script->fSaveBut, Qt::LeftButton);
    ASSERT_EQ(Loaded(CVexilScriptEdit::KClassName), nullptr);
    EXPECT_EQ(Field(QStringLiteral("Go Next"))->ScriptSource(), QStringLiteral("On select\r\nEnd"));

    area->setActiveSubWindow(CardWindow()->SubWindow());
    EXPECT_TRUE(ShowsAllFields());
    ClickButton(QStringLiteral("NextCard"));
    EXPECT_EQ(CurCardName(), QStringLiteral("Bert"));
    EXPECT_TRUE(ShowsAllFields());
}
}  // namespace
