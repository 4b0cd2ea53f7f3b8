// Wiki text rendered as the card window shows it: the mark-up through the wiki text box into
// rich text, read into a document, with its styles and links where the rich text counts them,
// and the link table that a click asks.

#include "QStringPrinter.h"
#include "platform/VexilRtfReader.h"
#include "presentation/VexilWikiTextBox.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{
// What the document shows, laid out by the rich text's positions: each character at its
// position, a paragraph end as "|" followed by "." for its second position, and a parallel
// line of styles: B bold, I italic, U underline, L a link (green and underlined), - plain,
// blank for paragraph ends.
struct TShown
{
    QString Text;
    QString Styles;
};

QChar Style(const QTextCharFormat& aFormat)
{
    const bool green = aFormat.foreground().style() != Qt::NoBrush && aFormat.foreground().color() == QColor(0, 128, 0);
    if (green && aFormat.fontUnderline())
        return QLatin1Char('L');
    if (green)
        return QLatin1Char('?');
    if (aFormat.fontWeight() == QFont::Bold)
        return QLatin1Char('B');
    if (aFormat.fontItalic())
        return QLatin1Char('I');
    if (aFormat.fontUnderline())
        return QLatin1Char('U');
    return QLatin1Char('-');
}

TShown Shown(const QTextDocument& aDoc)
{
    TShown shown;
    for (QTextBlock block = aDoc.begin(); block.isValid(); block = block.next())
    {
        for (auto it = block.begin(); !it.atEnd(); ++it)
        {
            const QTextFragment fragment = it.fragment();
            for (int i = 0; i < fragment.length(); ++i)
            {
                const int at = CVexilRtfReader::RtfPosition(aDoc, fragment.position() + i);
                shown.Text.resize(at, QLatin1Char('.'));
                shown.Styles.resize(at, QLatin1Char(' '));
                shown.Text += fragment.text().at(i);
                shown.Styles += Style(fragment.charFormat());
            }
        }
        if (block.next().isValid())
        {
            const int at = CVexilRtfReader::RtfPosition(aDoc, block.position() + block.length() - 1);
            shown.Text.resize(at, QLatin1Char('.'));
            shown.Styles.resize(at, QLatin1Char(' '));
            shown.Text += QStringLiteral("|.");
            shown.Styles += QStringLiteral("  ");
        }
    }
    return shown;
}

TShown Render(CVexilWikiTextBox& aBox, const QString& aMarkup)
{
    aBox.SetStr(aMarkup);
    QTextDocument doc;
    CVexilRtfReader::Read(aBox.TextStr(), doc);
    return Shown(doc);
}

QString Target(const CVexilWikiTextBox& aBox, int32_t aPosition)
{
    QString target;
    return aBox.GetLink(aPosition, target) ? target : QStringLiteral("(none)");
}
}  // namespace

TEST(WikiTextBoxTest, MarkupShowsItsStylesBreaksAndLinksWhereTheRichTextCountsThem)
{
    struct TCase
    {
        QString Markup;
        QString Text;
        QString Styles;
        // start, length, target, text
        std::vector<std::tuple<int, int, QString, QString>> Links;
        // position, the target of the link there
        std::vector<std::pair<int, QString>> Hits;
    };
    const QString none = QStringLiteral("(none)");
    const std::vector<TCase> cases = {
        {"x**y**z", "xyz", "-B-", {}, {{1, none}}},
        {"[[Card 7]]", "Card 7", "LLLLLL", {{0, 6, "Card 7", "Card 7"}}, {{0, "Card 7"}, {5, "Card 7"}, {6, none}}},
        {"[[Card 7|see here]]", "see here", "LLLLLLLL", {{0, 8, "Card 7", "see here"}}, {{7, "Card 7"}, {8, none}}},
        // A short link is one position wider.
        {"0123456789[[ab]]c",
         "0123456789abc",
         "----------LL-",
         {{10, 2, "ab", "ab"}},
         {{9, none}, {10, "ab"}, {11, "ab"}, {12, "ab"}, {13, none}}},
        {"0123456789[[abc]]d", "0123456789abcd", "----------LLL-", {{10, 3, "abc", "abc"}}, {{12, "abc"}, {13, none}}},
        // A break is a new paragraph that swallows the line end after it: y at 3.
        {"x\\\\\r\ny", "x|.y", "-  -", {}, {}},
        // A gap ends the open styles, and counts 4.
        {"**a\r\n\r\nb[[c]]", "a|.|.bc", "B    -L", {{6, 1, "c", "c"}}, {{6, "c"}, {7, "c"}, {5, none}}},
        {"//i// __u__\r\nx", "i u x", "I-U--", {}, {}},
        {"a * b", "a * b", "-----", {}, {}},
        {"x[[abc", "xabc", "-LLL", {{1, 3, "abc", "abc"}}, {{1, "abc"}, {0, none}}},
        {"[[Go|to, there|on]] \\x{y}\u00e9\u20ac", "to, there|on \\x{y}\u00e9\u20ac", "LLLLLLLLLLLL--------",
         {{0, 12, "Go", "to, there|on"}}, {{11, "Go"}}},
        // A new text leaves no link of the last.
        {"", "", "", {}, {{0, none}}},
    };
    CVexilWikiTextBox box;
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Markup.toStdString());
        const TShown shown = Render(box, c.Markup);
        EXPECT_EQ(shown.Text, c.Text);
        EXPECT_EQ(shown.Styles, c.Styles);
        ASSERT_EQ(box.Links().size(), c.Links.size());
        for (size_t i = 0; i < c.Links.size(); ++i)
        {
            const TWikiLink& link = box.Links()[i];
            EXPECT_EQ(std::tuple(link.Start, link.Length, link.Target, link.Text), c.Links[i]);
        }
        for (const auto& [position, target] : c.Hits)
            EXPECT_EQ(Target(box, position), target) << position;
    }
}

TEST(WikiTextBoxTest, TheFontOfTheFieldReachesTheDocument)
{
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Courier New"), 300, 0x0000FF);
    font->SetFlags(EFontItalic);
    CVexilWikiTextBox box;
    box.SetFont(font);
    box.SetStr(QStringLiteral("a[[b]]"));
    QTextDocument doc;
    CVexilRtfReader::Read(box.TextStr(), doc);
    QTextCursor cursor(&doc);
    cursor.setPosition(1);
    const QTextCharFormat plain = cursor.charFormat();
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{QStringLiteral("Courier New")});
    EXPECT_EQ(plain.fontPointSize(), 15.0);
    EXPECT_TRUE(plain.fontItalic());
    EXPECT_EQ(plain.foreground().color(), QColor(255, 0, 0));
    cursor.setPosition(2);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 128, 0));
    EXPECT_TRUE(cursor.charFormat().fontItalic());
}

TEST(WikiTextBoxTest, LinksHaveNoLimitOfNumberOrPosition)
{
    QString markup = QString(40000, QLatin1Char('a')) + QStringLiteral("[[far]]");
    for (int i = 0; i < 1500; ++i)
        markup += QStringLiteral("[[x%1]]").arg(i % 10);
    CVexilWikiTextBox box;
    box.SetStr(markup);
    ASSERT_EQ(box.Links().size(), 1501u);
    EXPECT_EQ(Target(box, 40002), QStringLiteral("far"));
    EXPECT_EQ(Target(box, 40003 + 2 * 1499 + 1), QStringLiteral("x9"));
    EXPECT_EQ(Target(box, 40003 + 2 * 1500 + 1), QStringLiteral("(none)"));
}
