#include "presentation/VexilCardSearch.h"

#include "foundation/VexilValue.h"
#include "model/VexilStack.h"
#include "presentation/VexilDisplayChars.h"

#include <QHash>

#include <array>
#include <vector>

namespace
{
// The fields of each background in display order, looked up once per search: the stack does
// not change while a search runs.
class CFieldsByBackground
{
public:
    const std::vector<TControlRef>& Of(const CVexilCard& aCard, TControlSetRef& aBackground)
    {
        auto it = iFields.find(aCard.BackgroundId());
        if (it == iFields.end())
        {
            TEntry entry;
            entry.Background = aCard.Background();
            TControlRef control;
            int32_t cursor = 0;
            if (entry.Background)
                for (bool more = entry.Background->GetFirstControl(control, cursor); more;
                     more = entry.Background->GetNextControl(control, cursor))
                    entry.Fields.push_back(control);
            it = iFields.insert(aCard.BackgroundId(), std::move(entry));
        }
        aBackground = it->Background;
        return it->Fields;
    }

private:
    struct TEntry
    {
        TControlSetRef Background;
        std::vector<TControlRef> Fields;
    };
    QHash<int32_t, TEntry> iFields;
};

// Which value types can show the search at all, decided once per search from the characters
// their display texts are made of: most searches of words pass over numbers, dates, times and
// Booleans without formatting them.
class CTypesThatMayShow
{
public:
    explicit CTypesThatMayShow(const QString& aUpperSearch)
    {
        for (int32_t type = EValStr; type <= EValBlobId; ++type)
            iMayShow[size_t(type - EValStr)] =
                aUpperSearch.isEmpty() || CVexilDisplayChars(type).MayHold(aUpperSearch);
    }

    bool Of(int32_t aType) const
    {
        return aType < EValStr || aType > EValBlobId || iMayShow[size_t(aType - EValStr)];
    }

private:
    std::array<bool, EValBlobId - EValStr + 1> iMayShow{};
};

// A value passed over unformatted still has its date or time checked as formatting it would:
// one out of range raises the same error.
void CheckPassedOver(const TValue& aValue)
{
    if (aValue.iType == EValDate)
        CVexilValue::ToQDate(aValue.iDate);
    else if (aValue.iType == EValTime)
        CVexilValue::ToQTime(aValue.iTime);
}

bool IsAscii(QStringView aText)
{
    for (const QChar c : aText)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// Holds on the text upper-cased. Texts and searches of ASCII alone compare without the copy:
// there ignoring case is upper-casing both.
bool Shows(const QString& aText, const QString& aUpperSearch, bool aAsciiSearch)
{
    if (aAsciiSearch && IsAscii(aText))
        return !aText.isEmpty() && aText.contains(aUpperSearch, Qt::CaseInsensitive);
    return CVexilCardSearch::Holds(aText.toUpper(), aUpperSearch);
}
}  // namespace

bool CVexilCardSearch::Holds(const QString& aText, const QString& aSearch)
{
    // As InStr: nothing is found in an empty text, and an empty search is found in any other.
    return !aText.isEmpty() && aText.contains(aSearch);
}

void CVexilCardSearch::Run(CVexilStack& aStack, const QString& aSearch,
                           const std::function<void(TSearchHit&&)>& aFound, const std::function<void()>& aProgress)
{
    const QString search = aSearch.toUpper();
    const bool asciiSearch = IsAscii(search);
    const CTypesThatMayShow mayShow(search);
    CFieldsByBackground fieldsOf;
    TCardRef card;
    TValue value;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstCard(card, cursor); more; more = aStack.GetNextCard(card, cursor))
    {
        if (aProgress && cursor % KProgressCards == 0)
            aProgress();
        if (!card)
            continue;
        TControlSetRef background;
        for (const TControlRef& control : fieldsOf.Of(*card, background))
        {
            card->GetControlVal(control->Id(), value, true);
            if (!mayShow.Of(value.iType))
            {
                CheckPassedOver(value);
                continue;
            }
            QString text = CVexilValue::ValToExtText(value, *control);
            if (Shows(text, search, asciiSearch))
            {
                aFound(TSearchHit{card, background, control, std::move(text)});
                break;
            }
        }
    }
}

QString CVexilCardSearch::ResultLine(const TSearchHit& aHit)
{
    const QChar tab(QLatin1Char('\t'));
    return aHit.Card->Name() + tab + (aHit.Background ? aHit.Background->Name() : QString()) + tab +
           aHit.Control->Name() + tab + aHit.Text;
}
