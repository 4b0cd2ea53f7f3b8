// The plain-text import: 50 lines a card in the field "Text", and refusals that keep the cards.

#include "InterchangeFixture.h"
#include "interchange/VexilTextImport.h"

#include "foundation/VexilMsg.h"

#include <ostream>

namespace
{
QByteArray Lines(int aCount, const char* aEnd = "\r\n")
{
    QByteArray text;
    for (int i = 1; i <= aCount; ++i)
        text += "line" + QByteArray::number(i) + (i < aCount ? aEnd : "");
    return text;
}

QString JoinedLines(int aFrom, int aTo)
{
    QStringList lines;
    for (int i = aFrom; i <= aTo; ++i)
        lines.append(QStringLiteral("line%1").arg(i));
    return lines.join(QStringLiteral("\r\n"));
}

class TextImportTest : public InterchangeFixture
{
protected:
    void SetUp() override
    {
        InterchangeFixture::SetUp();
        iBg->SetName(QStringLiteral("Texts"));
        iText = AddField(QStringLiteral("Text"), EConTypeText);
        AddCard(QStringLiteral("old1"));
        AddCard(QStringLiteral("old2"));
        iOther = AddBackground(QStringLiteral("Other"));
        AddCard(QStringLiteral("after"), nullptr, iOther);
    }

    // The cards in stack order with their texts.
    QStringList Cards()
    {
        QStringList cards;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCard(card, cursor); more; more = iStack->GetNextCard(card, cursor))
        {
            TValue value;
            if (card->BackgroundId() == iBg->Id())
                card->GetControlVal(iText->Id(), value, false);
            cards.append(card->Name() + u'=' + (value.iType == EValUndef ? QStringLiteral("~") : value.iStr));
        }
        return cards;
    }

    void Import(const QByteArray& aContent)
    {
        CVexilTextImport::ImportTextFile(*iStack, Write(QStringLiteral("in.txt"), aContent), iBg);
    }

    TControlRef iText;
    TControlSetRef iOther;
};

struct TTextCase
{
    const char* Name;
    QByteArray Content;
    QStringList Cards;
};

// Cases show their names in test output.
void PrintTo(const TTextCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

const TTextCase kTextCases[] = {
    {"empty file", "", {"1=~", "after=~"}},
    {"49 lines", Lines(49), {"1=" + JoinedLines(1, 49), "after=~"}},
    {"50 lines", Lines(50), {"1=" + JoinedLines(1, 50), "2=~", "after=~"}},
    {"51 lines", Lines(51), {"1=" + JoinedLines(1, 50), "2=line51", "after=~"}},
    {"final line break", Lines(3) + "\r\n", {"1=" + JoinedLines(1, 3), "after=~"}},
    {"lone LF", Lines(3, "\n"), {"1=" + JoinedLines(1, 3), "after=~"}},
    {"UTF-8 with BOM", "\xEF\xBB\xBF\xC3\xA9\xE2\x82\xAC", {QStringLiteral("1=é€"), "after=~"}},
    {"Windows-1252", "\xE9\x80", {QStringLiteral("1=é€"), "after=~"}},
};

class TextImportCaseTest : public TextImportTest, public ::testing::WithParamInterface<TTextCase>
{
};

TEST_P(TextImportCaseTest, ReplacesTheCardsOfTheBackground)
{
    Import(GetParam().Content);
    EXPECT_EQ(Cards(), GetParam().Cards);
}

INSTANTIATE_TEST_SUITE_P(Files, TextImportCaseTest, ::testing::ValuesIn(kTextCases),
                         [](const auto& aInfo) { return "Case" + std::to_string(aInfo.index); });

TEST_F(TextImportTest, FieldNamedInLowerCaseIsMissingAndKeepsTheCards)
{
    iText->SetName(QStringLiteral("text"));
    const QStringList before = Cards();
    ScriptedPrompts::Instance().ExpectMessage();
    Import(Lines(3));
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1u);
    const TMsgPrompt& shown = ScriptedPrompts::Instance().Messages().back();
    EXPECT_EQ(shown.Id, EMsgControlMissing);
    EXPECT_EQ(shown.Params.mid(0, 2), (QStringList{QStringLiteral("Text"), QStringLiteral("Texts")}));
    EXPECT_EQ(Cards(), before);
}

TEST_F(TextImportTest, FieldHoldingNoStringsIsNotUsableAndKeepsTheCards)
{
    iText->SetConType(EConTypeInteger);
    const QStringList before = Cards();
    ScriptedPrompts::Instance().ExpectMessage();
    Import(Lines(3));
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1u);
    const TMsgPrompt& shown = ScriptedPrompts::Instance().Messages().back();
    EXPECT_EQ(shown.Id, EMsgControlNotUsable);
    EXPECT_EQ(shown.Params.mid(0, 2), (QStringList{QStringLiteral("Text"), QStringLiteral("Integer")}));
    EXPECT_EQ(Cards(), before);
}

TEST_F(TextImportTest, UnreadableFileKeepsTheCards)
{
    const QStringList before = Cards();
    EXPECT_EQ(RaisedError([&] { CVexilTextImport::ImportTextFile(*iStack, iDir.File(QStringLiteral("none.txt")), iBg); }),
              EErrFileNotFound);
    EXPECT_EQ(CVexilError::GetErrInfo().Param1.isEmpty(), false);
    EXPECT_EQ(Cards(), before);
}

TEST_F(TextImportTest, BlockTooLongForABinaryStackKeepsTheCards)
{
    iStack->SetFlags(EStkBinary);
    const QStringList before = Cards();
    const QString name = Write(QStringLiteral("long.txt"), Lines(3) + "\r\n" + QByteArray(16384, 'x'));
    EXPECT_EQ(RaisedError([&] { CVexilTextImport::ImportTextFile(*iStack, name, iBg); }), EErrWrongFormat);
    EXPECT_EQ(CVexilError::GetErrInfo().Param1, name);
    EXPECT_EQ(Cards(), before);
}

TEST_F(TextImportTest, SortedBackgroundPlacesCardsByKeyAndBroadcastsOnce)
{
    KeepSorted(iBg, {{EConTypeText, iText->Id(), 1, 10, 0}});  // descending
    iBroadcasts.iEvents.clear();
    int32_t cardsAtBroadcast = -1;
    iBroadcasts.iOnNotify = [&](int32_t) { cardsAtBroadcast = iStack->NumCards(); };
    Import(Lines(120));
    EXPECT_EQ(iBroadcasts.iEvents, std::vector<int32_t>{EChgCardOrder});
    EXPECT_EQ(cardsAtBroadcast, 4);
    // By the key, descending; where the run stands is the model's sorted placement.
    EXPECT_EQ(Order().remove(QStringLiteral("after")).simplified(), QStringLiteral("2 3 1"));
}

TEST_F(TextImportTest, DeletesThroughTheCallerFirst)
{
    QStringList atDelete;
    CVexilTextImport::ImportTextFile(*iStack, Write(QStringLiteral("in.txt"), "x"), iBg, [&] {
        atDelete = Cards();
        iStack->DeleteBackground(iBg, true);
    });
    EXPECT_EQ(atDelete, (QStringList{"old1=~", "old2=~", "after=~"}));
    EXPECT_EQ(Cards(), (QStringList{"1=x", "after=~"}));
}
}  // namespace
