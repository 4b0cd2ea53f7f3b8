#include "BuiltHelp.h"
#include "ProgramFixture.h"
#include "editors/VexilControlEdit.h"
#include "foundation/VexilMsg.h"

#include <QTextBrowser>

namespace
{
class HelpWindow : public ProgramFixture
{
protected:
    // The help window shows the page of aTopic, and its contents tree selects the topic's entry.
    static void ExpectShows(const QString& aTopic)
    {
        CVexilHelpWindow* help = CVexilHelpWindow::Current();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        const QUrl url = help->Help().TopicUrl(aTopic);
        ASSERT_TRUE(url.isValid());
        EXPECT_EQ(help->Source(), url);
        EXPECT_FALSE(help->Browser().toPlainText().trimmed().isEmpty());
        EXPECT_TRUE(QTest::qWaitFor([&] { return help->ContentsSelection() == url; }, 10000))
            << "contents selects " << help->ContentsSelection().toString().toStdString();
    }

    static CVexilControlEdit* FieldEditor()
    {
        Item(QStringLiteral("fEditControls"))->trigger();
        auto* editor = static_cast<CVexilControlEdit*>(Loaded(CVexilControlEdit::KClassName));
        EXPECT_NE(editor, nullptr);
        return editor;
    }

    // F1 pressed in an input of the field editor.
    static void PressF1In(CVexilControlEdit& aEditor, QWidget* aInput)
    {
        aEditor.Activate();
        aInput->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([aInput] { return aInput->hasFocus(); }));
        QTest::keyClick(aInput, Qt::Key_F1);
    }

    BuiltHelpScope iHelp;
};
}  // namespace

TEST_F(HelpWindow, OpensAtTheTopicOfTheWindowOrControlAskingAndIsReused)
{
    Start({MakeStack(QStringLiteral("People.Quorvan"))});
    CVexilControlEdit* editor = FieldEditor();
    ASSERT_NE(editor, nullptr);
    const struct
    {
        const char* Asked;
        std::function<void()> Ask;
        const char* Topic;
    } cases[] = {
        {"Quorvans > Help...", [] { Item(QStringLiteral("fHelp"))->trigger(); }, "Frame"},
        {"field editor's Help", [editor] { QTest::mouseClick(editor->fHelpBut, Qt::LeftButton); }, "ControlEdit"},
        {"F1 in the name", [editor] { PressF1In(*editor, editor->fName); }, "ControlEditName"},
        {"F1 in the background list", [editor] { PressF1In(*editor, editor->fBackgroundBox); }, "ControlEditBackgroundBox"},
        {"F1 in the field list", [editor] { PressF1In(*editor, editor->fControlBox); }, "ControlEditControlBox"},
        {"Quorvans > Help... again", [] { Item(QStringLiteral("fHelp"))->trigger(); }, "Frame"},
    };
    QPointer<CVexilHelpWindow> first;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Asked);
        c.Ask();
        ExpectShows(QLatin1String(c.Topic));
        if (!first)
            first = CVexilHelpWindow::Current();
        EXPECT_EQ(CVexilHelpWindow::Current(), first) << "a second help window";
        // Outside the main window's document area.
        EXPECT_TRUE(first->isWindow());
        EXPECT_FALSE(Frame()->isAncestorOf(first));
    }
}

TEST_F(HelpWindow, HelpOfTheMessageBoxShowsTheMessageAndLeavesTheBoxOpen)
{
    TMainOptions options = Options();
    options.Prompts = nullptr;
    StartProgram(options);
    bool answered = false;
    WhenBoxShows([&answered](QDialog& aBox) {
        QTest::mouseClick(Button(aBox, "fHelp1"), Qt::LeftButton);
        ExpectShows(QStringLiteral("MsgFormEMsgEmptyFile"));
        EXPECT_TRUE(aBox.isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), &aBox);
        QTest::mouseClick(Button(aBox, "fOk"), Qt::LeftButton);
        answered = true;
    });
    CVexilMsg::Show(EMsgEmptyFile, EMsgClsExclamation);
    EXPECT_TRUE(answered);
    // The help outlives the box.
    ExpectShows(QStringLiteral("MsgFormEMsgEmptyFile"));
}

TEST_F(HelpWindow, AMissingCollectionIsToldWithItsFileName)
{
    Start();
    const QString missing = iDir.File(QStringLiteral("Gone/Quorvans.qhc"));
    CVexilLowLevel::SetHelpFile(missing);
    ScriptedPrompts::Instance().ExpectNotice();
    Item(QStringLiteral("fHelp"))->trigger();
    ASSERT_EQ(ScriptedPrompts::Instance().Notices().size(), 1);
    EXPECT_TRUE(ScriptedPrompts::Instance().Notices().constFirst().contains(missing));
    EXPECT_EQ(CVexilHelpWindow::Current(), nullptr);
}

// The collection is there but the documentation it names beside it is not: the message names
// the documentation file.
TEST_F(HelpWindow, MissingDocumentationIsToldWithItsFileNameNotTheCollections)
{
    Start();
    QDir().mkpath(iDir.File(QStringLiteral("Help")));
    const QString collection = iDir.File(QStringLiteral("Help/Quorvans.qhc"));
    const QString documentation = iDir.File(QStringLiteral("Help/Quorvans.qch"));
    const QFileInfo built(BuiltHelpScope::KCollection);
    ASSERT_TRUE(QFile::copy(built.filePath(), collection));
    ASSERT_TRUE(QFile::copy(built.dir().filePath(QStringLiteral("Quorvans.qch")), documentation));
    // The copy opens while the documentation is there.
    ASSERT_TRUE(CVexilHelpEngine(collection).Ready());
    ASSERT_TRUE(QFile::remove(documentation));

    CVexilLowLevel::SetHelpFile(collection);
    ScriptedPrompts::Instance().ExpectNotice();
    Item(QStringLiteral("fHelp"))->trigger();
    ASSERT_EQ(ScriptedPrompts::Instance().Notices().size(), 1);
    const QString notice = ScriptedPrompts::Instance().Notices().constFirst();
    EXPECT_TRUE(notice.contains(documentation)) << notice.toStdString();
    EXPECT_FALSE(notice.contains(collection)) << notice.toStdString();
    EXPECT_EQ(CVexilHelpWindow::Current(), nullptr);
}
