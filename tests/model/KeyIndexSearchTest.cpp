#include "foundation/VexilArray.h"
#include "foundation/VexilKeyHint.h"
#include "foundation/VexilLib.h"
#include "model/VexilControl.h"
#include "model/VexilSortKey.h"

#include "KeySearchOracle.h"
#include "StackFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace
{
constexpr int16_t kTextLen = 8;
constexpr int16_t kNumLen = 6;

// A sort key of a text part (ascending or descending) and an integer part.
std::shared_ptr<CVexilSortKey> TextThenNumber(int32_t aTextWay)
{
    auto key = std::make_shared<CVexilSortKey>();
    key->Contruct(9, QStringLiteral("K"), 0);
    key->AddKeyPart(EConTypeText, 1, aTextWay, kTextLen);
    key->AddKeyPart(EConTypeInteger, 2, 0, kNumLen);
    return key;
}

// A key string as BuildKey makes one: upper-cased text cut or padded, the number right-aligned,
// the card id; few characters and ids, so that equal pieces and equal keys occur.
QString RandomKey(std::mt19937& aRandom)
{
    const QString alphabet = QStringLiteral("aAbz09 -\u00E9\u00E4\u0301");
    QString text;
    const int len = int(aRandom() % 11);
    for (int i = 0; i < len; ++i)
        text += alphabet[qsizetype(aRandom() % uint32_t(alphabet.size()))];
    CVexilLib::PadOrCut(text, kTextLen);
    return text.toUpper() + CVexilLib::NumToPaddedStr(int32_t(aRandom() % 7) - 3, kNumLen) +
           CVexilLib::NumToPaddedStr(int32_t(aRandom() % 5), CVexilSortKey::KIdWidth);
}

int Sign(int aValue)
{
    return aValue < 0 ? -1 : (aValue > 0 ? 1 : 0);
}
}  // namespace

// A decided hint order is the sort key's order, ascending and descending.
TEST(KeyIndexSearch, HintsOfASortKeyAgreeWithItsCompare)
{
    std::mt19937 random(29);
    for (const int32_t way : {0, 1})
    {
        const auto key = TextThenNumber(way);
        int decided = 0;
        for (int i = 0; i < 20000; ++i)
        {
            const QString a = RandomKey(random);
            const QString b = RandomKey(random);
            const TKeyHint::EOrder hint = TKeyHint::Order(key->Hint(a), key->Hint(b));
            if (hint == TKeyHint::EUnknown)
                continue;
            ++decided;
            ASSERT_NE(hint, TKeyHint::EEqual);  // a part never holds the whole key
            ASSERT_EQ(hint == TKeyHint::EBefore ? -1 : 1, Sign(key->compare(a, b) - 1))
                << a.toStdString() << " / " << b.toStdString() << ", way " << way;
        }
        EXPECT_GT(decided, 5000);
    }
    auto numberFirst = std::make_shared<CVexilSortKey>();
    numberFirst->Contruct(9, QStringLiteral("N"), 0);
    numberFirst->AddKeyPart(EConTypeInteger, 2, 0, kNumLen);
    EXPECT_EQ(numberFirst->Hint(QStringLiteral("    42         1")), 0u);
    EXPECT_NE(numberFirst->HintLayout(), TextThenNumber(0)->HintLayout());
    EXPECT_NE(TextThenNumber(1)->HintLayout(), TextThenNumber(0)->HintLayout());
}

TEST(KeyIndexSearch, AKeyIndexAnswersAsThePlainBinarySearch)
{
    for (const int32_t way : {0, 1})
    {
        SCOPED_TRACE(way);
        const auto key = TextThenNumber(way);
        CVexilArray keyIndex;
        keyIndex.Construct(EArrStrKey + EArrSortKeyOrder + EArrDupKeys, EValInt);
        keyIndex.SetSortKey(key);
        TKeySearchOracle oracle([&](const TArrayElem& aKey, const TArrayElem& aElem) {
            return key->compare(aKey.StrKey, aElem.StrKey) - 1;
        });
        oracle.Drive(
            keyIndex, [](std::mt19937& aRandom, TArrayElem& aElem) { aElem.StrKey = RandomKey(aRandom); }, 5000,
            uint32_t(31 + way));
    }
}

namespace
{
class KeyPieces : public StackFixture
{
};
}  // namespace

// The text pieces of key strings: cut or padded, upper-cased character by character.
TEST_F(KeyPieces, TextIsCutPaddedAndUpperCased)
{
    const TControlRef text = AddField(QStringLiteral("T"), EConTypeText);
    const TCardRef card = AddCard(QStringLiteral("A"));
    struct TCase
    {
        const char16_t* Text;
        int16_t Len;
        const char16_t* Piece;
    } cases[] = {
        {u"abc", 5, u"ABC  "},
        {u"aZ9-_ x", 7, u"AZ9-_ X"},
        {u"abcdef", 4, u"ABCD"},
        {u"abcdé", 4, u"ABCD"},            // what is cut off does not matter
        {u"été", 4, u"ÉTÉ "},
        {u"stra\u00DFe", 6, u"STRA\u00DFE"},      // a piece keeps its width
        {u"", 3, u"   "},
        {u"abc", 0, u""},
    };
    for (const TCase& c : cases)
    {
        auto key = std::make_shared<CVexilSortKey>();
        key->Contruct(9, QStringLiteral("K"), iBg->Id());
        key->AddKeyPart(EConTypeText, text->Id(), 0, c.Len);
        card->SetControlVal(text->Id(), Val::Str(QString::fromUtf16(c.Text)));
        EXPECT_EQ(key->BuildKey(*card), QString::fromUtf16(c.Piece) + CVexilLib::NumToPaddedStr(card->Id(), 10))
            << QString::fromUtf16(c.Text).toStdString();
    }
}
