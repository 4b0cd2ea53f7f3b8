#include "TestEnv.h"
#include "foundation/VexilObject.h"
#include "platform/VexilLowLevelUi.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

TEST(LowLevelUi, LineAndColumnOfAPosition)
{
    QTextDocument doc(QStringLiteral("abc\ndefg\n\nxy"));
    const struct
    {
        int32_t Position;
        int32_t Line;
        int32_t Col;
    } cases[] = {
        {0, 0, 0},   {3, 0, 3},   {4, 1, 0},   {6, 1, 2}, {9, 2, 0},
        {10, 3, 0},  {12, 3, 2},  {13, UndefLong, UndefLong}, {-1, UndefLong, UndefLong},
    };
    for (const auto& c : cases)
    {
        const TLineCol lc = CVexilLowLevelUi::GetLineCol(doc, c.Position);
        EXPECT_EQ(lc.Line, c.Line) << c.Position;
        EXPECT_EQ(lc.Col, c.Col) << c.Position;
    }
    QTextDocument empty;
    EXPECT_EQ(CVexilLowLevelUi::GetLineCol(empty, 0).Line, 0);
    EXPECT_EQ(CVexilLowLevelUi::GetLineCol(empty, 0).Col, 0);
}

TEST(LowLevelUi, TextOfTheCaretLine)
{
    QPlainTextEdit edit;
    const QString longLine(2000, QLatin1Char('x'));
    edit.setPlainText(QStringLiteral("On Click\nGo Next\n") + longLine);

    QTextCursor caret = edit.textCursor();
    caret.setPosition(12);
    EXPECT_EQ(CVexilLowLevelUi::GetCaretLineText(caret), QStringLiteral("Go Next"));
    // A selection counts from its start.
    caret.setPosition(20);
    caret.setPosition(3, QTextCursor::KeepAnchor);
    EXPECT_EQ(CVexilLowLevelUi::GetCaretLineText(caret), QStringLiteral("On Click"));
    caret.setPosition(20);
    EXPECT_EQ(CVexilLowLevelUi::GetCaretLineText(caret), longLine.left(1024));
    EXPECT_EQ(CVexilLowLevelUi::GetCaretLineText(QTextCursor()), QString());
}

TEST(LowLevelUi, ClipboardTextLosesOneTrailingLineEnd)
{
    const struct
    {
        const char* Copied;
        const char* Read;
    } cases[] = {
        {"Anna", "Anna"},
        {"a\r\nb\r\n", "a\r\nb"},
        {"a\r\n\r\n", "a\r\n"},
        {"line\n", "line"},
        {"", ""},
    };
    for (const auto& c : cases)
    {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.Copied));
        EXPECT_EQ(CVexilLowLevelUi::GetClipboardText(), QString::fromLatin1(c.Read)) << c.Copied;
    }
}

TEST(LowLevelUi, ComboDropDownShowsAllItemsBelowThirty)
{
    const struct
    {
        int Count;
        int Visible;
    } cases[] = {{0, 1}, {5, 5}, {29, 29}, {30, 31}, {40, 31}};
    for (const auto& c : cases)
    {
        QComboBox combo;
        for (int i = 0; i < c.Count; ++i)
            combo.addItem(QString::number(i));
        CVexilLowLevelUi::SizeComboDropDown(&combo);
        EXPECT_EQ(combo.maxVisibleItems(), c.Visible) << c.Count;
    }
}

TEST(LowLevelUi, WindowSizeAddsTheFrameToTheClientSize)
{
    // The card window's default client size.
    const TWindowSize size = CVexilLowLevelUi::ClientToWindowSize(208, 255);
    const float frameWidth = size.Width - 208 * 20;
    const float frameHeight = size.Height - 255 * 20;
    EXPECT_GE(frameWidth, 0);
    EXPECT_GT(frameHeight, frameWidth);  // the caption is part of the height only
    EXPECT_EQ(static_cast<int>(frameWidth) % 15, 0);
    EXPECT_EQ(static_cast<int>(frameHeight) % 15, 0);
}
