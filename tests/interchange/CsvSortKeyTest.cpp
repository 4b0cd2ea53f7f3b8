// The sort-key guess after an import: attempts, thresholds and the fields it leaves alone.

#include "CsvFixture.h"

#include "StackBuild.h"

#include "model/VexilIdGen.h"

class CsvSortKeyTest : public CsvFixture
{
protected:
    // A stack of aCards cards whose first field counts up, but for aSwaps neighbours swapped;
    // the second field is constant, so it cannot repair the order.
    TStackRef Imported(int aCards, int aSwaps, bool aTwoFields = true)
    {
        std::vector<int> names(static_cast<size_t>(aCards));
        for (int i = 0; i < aCards; ++i)
            names[size_t(i)] = 100 + i;
        for (int s = 0; s < aSwaps; ++s)
            std::swap(names[size_t(3 * s + 1)], names[size_t(3 * s + 2)]);
        QByteArray bytes = aTwoFields ? "A,B\r\n" : "A\r\n";
        for (const int name : names)
            bytes += "n" + QByteArray::number(name) + (aTwoFields ? ",same\r\n" : "\r\n");
        TCsvOptions options = Options(CsvFile(bytes));
        options.GuessKey = true;
        CVexilImports import;
        return import.ImportCsv1(options);
    }

    static QStringList SortKeyNames(const CVexilStack& aStack)
    {
        QStringList names;
        TSortKeyRef key;
        int32_t cursor = 0;
        for (bool found = aStack.GetFirstSortKey(key, cursor); found; found = aStack.GetNextSortKey(key, cursor))
            names << key->Name();
        return names;
    }
};

TEST_F(CsvSortKeyTest, OneViolationIn25CardsIsAllowed)
{
    struct TCase
    {
        int Cards;
        int Swaps;
        bool Keyed;
    };
    for (const TCase c : {TCase{24, 0, true}, TCase{24, 1, false}, TCase{25, 1, true}, TCase{25, 2, false}})
    {
        SCOPED_TRACE(testing::Message() << c.Cards << " cards, " << c.Swaps << " swaps");
        const TStackRef stack = Imported(c.Cards, c.Swaps);
        EXPECT_EQ(SortKeyNames(*stack), c.Keyed ? QStringList{QStringLiteral("A")} : QStringList{});
        EXPECT_EQ(FirstBackground(*stack)->Flag(ECseKeepCardsSorted), c.Keyed);
    }
}

// Each attempt takes an id, kept or not: one field makes one attempt, two fields two.
TEST_F(CsvSortKeyTest, AttemptsFollowTheFields)
{
    for (const bool twoFields : {false, true})
    {
        const TStackRef stack = Imported(24, 1, twoFields);
        const int32_t fieldIds = twoFields ? 2 : 1;
        // The stack and its first background take ids 0..; then the fields; then the attempts.
        EXPECT_EQ(stack->IdGen().PeekId() - Fields(*FirstBackground(*stack)).back()->Id() - 1, fieldIds);
    }
}

// No attempt is made, so no id is taken and no key added.
TEST_F(CsvSortKeyTest, SortedBackgroundsAndUnsortableFieldsAreLeftAlone)
{
    const TStackRef sorted = Imported(3, 0);
    ASSERT_EQ(SortKeyNames(*sorted), QStringList{QStringLiteral("A")});
    CVexilStack list;
    list.Construct(QStringLiteral("S"));
    const TControlSetRef background = FirstBackground(list);
    NewField(list, *background, QStringLiteral("L"), EConTypeList);
    NewField(list, *background, QStringLiteral("T"), EConTypeText);
    NewCard(list, QStringLiteral("b"), background);
    NewCard(list, QStringLiteral("a"), background);
    for (CVexilStack* stack : {sorted.get(), &list})
    {
        const int32_t nextId = stack->IdGen().PeekId();
        CVexilImports::GuessSortKey(*stack, FirstBackground(*stack)->Id());
        EXPECT_EQ(stack->IdGen().PeekId(), nextId);
    }
    EXPECT_EQ(SortKeyNames(*sorted), QStringList{QStringLiteral("A")});
    EXPECT_EQ(SortKeyNames(list), QStringList{});
}
