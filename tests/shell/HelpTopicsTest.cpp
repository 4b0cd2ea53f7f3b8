#include "BuiltHelp.h"
#include "ProgramFixture.h"
#include "editors/VexilControlEdit.h"
#include "foundation/VexilMsg.h"

#include <QHelpContentItem>
#include <QHelpContentModel>
#include <QHelpEngine>
#include <QTextBlock>
#include <QTextDocument>

namespace
{
class HelpTopics : public ProgramFixture
{
protected:
    // Every topic the program can ask the help for, taken from the program's own tables: the
    // managed windows, each control of the field editor that F1 can be pressed in, and the
    // message box showing each message of the message table.
    static QStringList ProgramTopics()
    {
        QStringList topics;
        for (const QString& window : CVexilWinMan::FormNames())
            topics << CVexilLowLevel::HelpTopic(window);
        const CVexilForm* editor = CVexilWinMan::NameToForm(CVexilControlEdit::KClassName);
        for (const CVexilCtl* control : editor->Controls())
            if (control->Widget()->focusPolicy() != Qt::NoFocus)
                topics << CVexilLowLevel::HelpTopic(CVexilControlEdit::KClassName, control->Name());
        for (int32_t id = 0; id <= 1100; ++id)
            if (!CVexilMsg::Entry(id).isEmpty())
            {
                ScriptedPrompts::Instance().ExpectMessage();
                CVexilMsg::Show(id, EMsgClsInfo);
                topics << CVexilLowLevel::HelpTopic(QStringLiteral("CVexilMsgForm"));
            }
        return topics;
    }

    // The text a page gives a topic: the whole page, or what stands below the topic's heading
    // up to the next heading of a topic. Empty when the page has no such anchor.
    static QString TopicText(const QByteArray& aPage, const QString& aAnchor)
    {
        QTextDocument page;
        page.setHtml(QString::fromUtf8(aPage));
        if (aAnchor.isEmpty())
            return page.toPlainText().trimmed();
        auto anchors = [](const QTextBlock& aBlock) {
            QStringList names;
            for (auto it = aBlock.begin(); !it.atEnd(); ++it)
                names << it.fragment().charFormat().anchorNames();
            return names;
        };
        QTextBlock block = page.begin();
        while (block.isValid() && !anchors(block).contains(aAnchor))
            block = block.next();
        if (!block.isValid())
            return {};
        QString text;
        for (block = block.next(); block.isValid() && anchors(block).isEmpty(); block = block.next())
            text += block.text();
        return text.trimmed();
    }

    BuiltHelpScope iHelp;
};
}  // namespace

TEST_F(HelpTopics, EveryTopicOfTheProgramHasTextOnItsPageAndAnEntryInTheContents)
{
    Start({MakeStack(QStringLiteral("People.Quorvan"))});
    const QStringList topics = ProgramTopics();
    ASSERT_GE(topics.size(), CVexilWinMan::FormNames().size());
    EXPECT_TRUE(topics.contains(QStringLiteral("ControlEditName")));
    EXPECT_TRUE(topics.contains(QStringLiteral("MsgFormEMsgIncompatibleValTypes")));

    CVexilHelpEngine help(BuiltHelpScope::KCollection);
    ASSERT_TRUE(help.Ready());
    ASSERT_TRUE(ContentsBuilt(help));
    const QHelpContentModel& contents = *help.Engine().contentModel();
    for (const QString& topic : topics)
    {
        SCOPED_TRACE(topic.toStdString());
        const QUrl url = help.TopicUrl(topic);
        ASSERT_TRUE(url.isValid());
        EXPECT_GE(TopicText(help.PageData(url), url.fragment()).size(), 20) << url.toString().toStdString();
        const QModelIndex entry = help.ContentsIndexOf(url);
        ASSERT_TRUE(entry.isValid());
        EXPECT_EQ(contents.contentItemAt(entry)->url(), url);
    }
}

TEST_F(HelpTopics, EveryPageOfTheCollectionStandsInTheContents)
{
    CVexilHelpEngine help(BuiltHelpScope::KCollection);
    ASSERT_TRUE(help.Ready());
    ASSERT_TRUE(ContentsBuilt(help));
    QHelpEngine& engine = help.Engine();
    const QList<QUrl> pages =
        engine.files(engine.registeredDocumentations().value(0), QString(), QStringLiteral("html"));
    ASSERT_FALSE(pages.isEmpty());
    for (const QUrl& page : pages)
    {
        const QModelIndex entry = help.ContentsIndexOf(page);
        ASSERT_TRUE(entry.isValid()) << page.toString().toStdString();
        EXPECT_EQ(engine.contentModel()->contentItemAt(entry)->url(), page);
    }
}
