#include "StackFixture.h"
#include "model/VexilStackHost.h"

using CardAfterBackgroundTest = StackFixture;

// Where an importer inserts new cards of a background: before the card that follows the
// background's last card in stack order, else at the end.
TEST_F(CardAfterBackgroundTest, TheCardAfterTheLastCardOfTheBackground)
{
    const TControlSetRef b = AddBackground(QStringLiteral("B"));
    const TControlSetRef c = AddBackground(QStringLiteral("C"));
    const TControlSetRef d = AddBackground(QStringLiteral("D"));
    AddCard(QStringLiteral("a1"));
    AddCard(QStringLiteral("b1"), nullptr, b);
    AddCard(QStringLiteral("a2"));
    AddCard(QStringLiteral("c1"), nullptr, c);
    AddCard(QStringLiteral("b2"), nullptr, b);
    // Stack order a1 b1 a2 c1 b2; D has no card.
    struct TCase
    {
        TControlSetRef Background;
        QString Expected;  // the card's name, "-" for none
    };
    const TCase cases[] = {{iBg, "c1"}, {c, "b2"}, {b, "-"}, {d, "-"}};
    for (const TCase& c : cases)
    {
        TCardRef card;
        iStack->OrderFirst(card);  // overwritten
        bool found = true;
        CVexilStackHost::GetCardAfterBackground(*c.Background, card, found);
        EXPECT_EQ(card ? card->Name() : QStringLiteral("-"), c.Expected) << c.Background->Name().toStdString();
        EXPECT_EQ(found, card != nullptr) << c.Background->Name().toStdString();
    }
}
