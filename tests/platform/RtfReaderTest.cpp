// The rich text reader: what it makes of the control words the program writes, and the
// positions of the rich text against those of the document.

#include "QStringPrinter.h"
#include "platform/VexilCtls.h"
#include "platform/VexilRtfReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace
{
const QString KHead = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2055{\\fonttbl {\\f0\\fswiss\\fprq2"
                                     "\\fcharset0 Verdana;}}\r\n{\\colortbl ;\\red0\\green128\\blue0;\\red1\\green2"
                                     "\\blue3;}\r\n\\uc1\\pard\\fi-0\\li0\\tx0\\f0\\fs20 ");

QTextCharFormat FormatAt(QTextDocument& aDoc, int aPosition)
{
    QTextCursor cursor(&aDoc);
    cursor.setPosition(aPosition + 1);
    return cursor.charFormat();
}
}  // namespace

TEST(RtfReaderTest, TheTextKeepsItsEscapedCharactersAndParagraphs)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"a\\\\b\\{c\\}\\'e9\\'E9{\\u8364}\\par }", "a\\b{c}\u00e9\u00e9\u20ac"},
        // A character that stands in for a \u one is passed over.
        {"\\u8364?x\\par }", "\u20acx"},
        {"{\\u55357}{\\u56832}\\par }", QString::fromUtf16(u"\U0001F600")},
        // The last paragraph end opens no paragraph; an empty one stays.
        {"a\\par \\par b\\par }", "a\n\nb"},
        {"\\par }", ""},
        // Line ends of the rich text are no text; words it does not know are passed over.
        {"a\r\n\\xyz12 b\\par }", "ab"},
    };
    for (const auto& [body, text] : cases)
    {
        SCOPED_TRACE(body.toStdString());
        QTextDocument doc;
        CVexilRtfReader::Read(KHead + body, doc);
        EXPECT_EQ(doc.toPlainText(), text);
    }
}

TEST(RtfReaderTest, StylesColoursFontAndSizeFollowTheControlWordsAndGroups)
{
    QTextDocument doc;
    CVexilRtfReader::Read(KHead + QStringLiteral("\\b1 a\\b0 \\i1 b\\i0 \\ul1 c\\ul0 \\cf1 d\\cf2 e\\cf0 "
                                                 "{\\b f}g\\fs31 h\\par }"),
                          doc);
    ASSERT_EQ(doc.toPlainText(), QStringLiteral("abcdefgh"));
    EXPECT_EQ(FormatAt(doc, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(doc, 1).fontWeight(), QFont::Normal);
    EXPECT_TRUE(FormatAt(doc, 1).fontItalic());
    EXPECT_TRUE(FormatAt(doc, 2).fontUnderline());
    EXPECT_FALSE(FormatAt(doc, 3).fontUnderline());
    EXPECT_EQ(FormatAt(doc, 3).foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(FormatAt(doc, 4).foreground().color(), QColor(1, 2, 3));
    EXPECT_EQ(FormatAt(doc, 5).foreground().style(), Qt::NoBrush);
    // A group's end restores what the group set.
    EXPECT_EQ(FormatAt(doc, 5).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(doc, 6).fontWeight(), QFont::Normal);
    EXPECT_EQ(FormatAt(doc, 6).fontFamilies().toStringList(), QStringList{QStringLiteral("Verdana")});
    EXPECT_EQ(FormatAt(doc, 6).fontPointSize(), 10.0);
    EXPECT_EQ(FormatAt(doc, 7).fontPointSize(), 15.5);
}

TEST(RtfReaderTest, AParagraphEndCountsTwoInTheRichText)
{
    QTextDocument doc;
    CVexilRtfReader::Read(KHead + QStringLiteral("ab\\par \\par c\\par }"), doc);
    // a b | (empty) | c
    const std::vector<std::pair<int, int>> positions = {{0, 0}, {2, 2}, {3, 4}, {4, 6}, {5, 7}};
    for (const auto& [qt, rtf] : positions)
        EXPECT_EQ(CVexilRtfReader::RtfPosition(doc, qt), rtf) << qt;
    // The empty paragraph has the size it was written in.
    EXPECT_EQ(doc.findBlock(3).charFormat().fontPointSize(), 10.0);
}

TEST(RtfReaderTest, PlainTextShownAfterRichTextInTheSameBoxHasNoneOfItsFormat)
{
    CVexilRichTextBox box(nullptr);
    box.SetTextRtf(KHead + QStringLiteral("\\b1 \\cf1 bold green\\par }"));
    box.SetSelStart(3);
    ASSERT_EQ(box.currentCharFormat().fontWeight(), QFont::Bold);
    box.SetText(QStringLiteral("plain\r\ntext"));
    EXPECT_EQ(box.toPlainText(), QStringLiteral("plain\ntext"));
    QTextDocument& doc = *box.document();
    EXPECT_EQ(FormatAt(doc, 2).fontWeight(), QFont::Normal);
    EXPECT_EQ(FormatAt(doc, 2).foreground().style(), Qt::NoBrush);
}
