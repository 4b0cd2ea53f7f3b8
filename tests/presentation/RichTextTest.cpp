// The rich text that the program writes for wiki text fields: the exact RTF of the builder,
// its colour table over many colours and documents, and the same text read back into a
// document.

#include "QStringPrinter.h"
#include "foundation/VexilFont.h"
#include "presentation/VexilRichText.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{
const QString KHeader = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2055{\\fonttbl {\\f0\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n");
const QString KNoColors = QStringLiteral("{\\colortbl ;}\r\n");

QString ParaStart(int aSize)
{
    return QStringLiteral("\\uc1\\pard\\fi-0\\li0\\tx0\\f0\\fs%1 ").arg(aSize);
}

// One document of one paragraph whose inside aBody writes.
QString Document(CVexilRichText& aText, const std::function<void(CVexilRichText&)>& aBody)
{
    aText.BeginText();
    aText.BeginPara();
    aBody(aText);
    aText.EndPara();
    aText.EndText();
    return aText.TextStr();
}

constexpr int32_t KRed = 0x0000FF;
constexpr int32_t KGreen = 0x00FF00;
}  // namespace

class RichTextTest : public ::testing::Test
{
protected:
    void SetUp() override { iText.Construct(); }

    CVexilRichText iText;
};

TEST_F(RichTextTest, TheEdgeCasesGiveTheirExactText)
{
    struct TCase
    {
        const char* Name;
        std::function<void(CVexilRichText&)> Body;
        QString Expected;
    };
    const std::vector<TCase> cases = {
        {"empty", [](CVexilRichText&) {}, KHeader + KNoColors + ParaStart(20) + QStringLiteral("\\par }")},
        {"nested bold",
         [](CVexilRichText& t) {
             t.BeginBold();
             t.AddStr(QStringLiteral("a"));
             t.BeginBold();
             t.AddStr(QStringLiteral("b"));
             t.EndBold();
             t.EndBold();
             t.AddStr(QStringLiteral("c"));
         },
         KHeader + KNoColors + ParaStart(20) + QStringLiteral("\\b1 ab\\b0 c\\par }")},
        {"colour twice and nested",
         [](CVexilRichText& t) {
             t.BeginColor(KRed);
             t.AddStr(QStringLiteral("x"));
             t.EndColor();
             t.BeginColor(KRed);
             t.BeginColor(KGreen);
             t.AddStr(QStringLiteral("y"));
             t.EndColor();
             t.AddStr(QStringLiteral("z"));
             t.EndColor();
         },
         KHeader + QStringLiteral("{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;}\r\n") + ParaStart(20) +
             QStringLiteral("\\cf1 x\\cf0 \\cf1 \\cf2 y\\cf0 \\cf1 z\\cf0 \\par }")},
        {"escapes",
         [](CVexilRichText& t) { t.AddStr(QStringLiteral("a\\b{c}") + QChar(233) + QChar(8364)); },
         KHeader + KNoColors + ParaStart(20) + QStringLiteral("a\\\\b\\{c\\}\\'E9{\\u8364}\\par }")},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        // A builder of its own: the colour table stays with a builder.
        CVexilRichText text;
        text.Construct();
        EXPECT_EQ(Document(text, c.Body), c.Expected);
    }
}

TEST_F(RichTextTest, ASecondDocumentKeepsTheColourNumbersOfTheFirst)
{
    Document(iText, [](CVexilRichText& t) {
        t.BeginColor(KGreen);
        t.EndColor();
    });
    EXPECT_EQ(Document(iText,
                       [](CVexilRichText& t) {
                           t.BeginColor(KRed);
                           t.EndColor();
                           t.BeginColor(KGreen);
                           t.EndColor();
                       }),
              KHeader + QStringLiteral("{\\colortbl ;\\red0\\green255\\blue0;\\red255\\green0\\blue0;}\r\n") +
                  ParaStart(20) + QStringLiteral("\\cf2 \\cf0 \\cf1 \\cf0 \\par }"));
}

TEST_F(RichTextTest, AFontSetsFaceSizeStylesAndColourOfEveryDocument)
{
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Times New Roman"), 220, KRed);
    font->SetFlags(EFontBold | EFontUnderline);
    iText.SetFont(font);
    const QString expected =
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2055{\\fonttbl {\\f0\\fswiss\\fprq2\\fcharset0 Times "
                       "New Roman;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n") +
        QStringLiteral("\\b1 \\ul1 \\cf1 ") + ParaStart(22) + QStringLiteral("a\\par ") + ParaStart(11) +
        QStringLiteral("\\par ") + ParaStart(22) + QStringLiteral("b\\par }");
    for (int document = 0; document < 2; ++document)
    {
        iText.BeginText();
        iText.BeginPara();
        iText.AddStr(QStringLiteral("a"));
        iText.EndPara();
        iText.AddSmallPara();
        iText.BeginPara();
        iText.AddStr(QStringLiteral("b"));
        iText.EndPara();
        iText.EndText();
        EXPECT_EQ(iText.TextStr(), expected);
    }

    // A size without a face keeps the face; a half-point size is rounded to the even one.
    auto small = std::make_shared<CVexilFont>();
    small->Construct(QString(), 225, UndefLong);
    iText.SetFont(small);
    EXPECT_EQ(Document(iText, [](CVexilRichText&) {}),
              QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2055{\\fonttbl {\\f0\\fswiss\\fprq2\\fcharset0 "
                             "Times New Roman;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n") +
                  ParaStart(22) + QStringLiteral("\\par }"));
}

TEST_F(RichTextTest, ThirtyColoursOpenAtOnceKeepTheirNumbers)
{
    const auto color = [](int aIndex) { return int32_t(aIndex * 8) | (int32_t(255 - aIndex) << 16); };
    QString body;
    QString table;
    for (int i = 0; i < 30; ++i)
    {
        body += QStringLiteral("\\cf%1 %2").arg(i + 1).arg(i);
        table += QStringLiteral("\\red%1\\green0\\blue%2;").arg(i * 8).arg(255 - i);
    }
    for (int i = 29; i >= 0; --i)
        body += i > 0 ? QStringLiteral("\\cf0 \\cf%1 ").arg(i) : QStringLiteral("\\cf0 ");
    EXPECT_EQ(Document(iText,
                       [&](CVexilRichText& t) {
                           for (int i = 0; i < 30; ++i)
                           {
                               t.BeginColor(color(i));
                               t.AddStr(QString::number(i));
                           }
                           for (int i = 0; i < 30; ++i)
                               t.EndColor();
                       }),
              KHeader + QStringLiteral("{\\colortbl ;") + table + QStringLiteral("}\r\n") + ParaStart(20) + body +
                  QStringLiteral("\\par }"));

    // Later documents of the builder find them again and number new ones on.
    EXPECT_EQ(Document(iText,
                       [&](CVexilRichText& t) {
                           t.BeginColor(color(29));
                           t.EndColor();
                           t.BeginColor(KGreen);
                           t.EndColor();
                       })
                  .section(QStringLiteral("\r\n"), 2),
              ParaStart(20) + QStringLiteral("\\cf30 \\cf0 \\cf31 \\cf0 \\par }"));
}
