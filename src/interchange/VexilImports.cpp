#include "interchange/VexilImports.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilValue.h"
#include "model/VexilIdGen.h"

#include <QLocale>

#include <algorithm>

namespace
{
bool IsDigit(QChar aCh)
{
    return aCh.unicode() >= '0' && aCh.unicode() <= '9';
}

QStringView TrimBlanks(QStringView aText)
{
    qsizetype from = 0;
    qsizetype to = aText.size();
    while (from < to && aText[from] == u' ')
        ++from;
    while (to > from && aText[to - 1] == u' ')
        --to;
    return aText.mid(from, to - from);
}

bool IsWord(QStringView aText, std::initializer_list<const char16_t*> aWords)
{
    return std::any_of(aWords.begin(), aWords.end(),
                       [aText](const char16_t* w) { return aText.compare(QStringView(w), Qt::CaseInsensitive) == 0; });
}

// The characters that may stand between the hours and minutes of a time the locale reads.
class TTimeSeparators
{
public:
    bool Holds(QStringView aText)
    {
        const QLocale locale;
        if (!(locale == iLocale) || !iMade)
        {
            iLocale = locale;
            iMade = true;
            iChars = QStringLiteral(":");
            for (const auto format : {QLocale::ShortFormat, QLocale::LongFormat})
                for (const QChar ch : locale.timeFormat(format))
                    if (!ch.isLetter() && ch != u' ' && ch != u'\'' && !iChars.contains(ch))
                        iChars += ch;
        }
        return std::any_of(aText.begin(), aText.end(), [this](QChar ch) { return iChars.contains(ch); });
    }

private:
    QLocale iLocale;
    bool iMade = false;
    QString iChars;
};

// Whether the text has the shape of a date or a time at all, before the locale is asked:
// every date and time the locale reads has at least two numbers (day and year, hours and
// minutes); without a name (month, day, AM/PM) a date has three, and a time of two numbers
// has a time separator between them. Real numbers and plain texts are never dates.
bool MayBeDateOrTime(QStringView aText)
{
    int numbers = 0;
    bool letter = false;
    bool inNumber = false;
    for (const QChar ch : aText)
    {
        const bool digit = IsDigit(ch);
        if (digit && !inNumber)
            ++numbers;
        inNumber = digit;
        letter = letter || ch.isLetter();
    }
    if (numbers < 2)
        return false;
    if (letter || numbers >= 3)
        return true;
    static thread_local TTimeSeparators separators;
    return separators.Holds(aText);
}
}  // namespace

bool CVexilImports::ParseBool(QStringView aText, bool& aValue)
{
    if (IsWord(aText, {u"TRUE", u"T", u"Y", u"YES"}))
    {
        aValue = true;
        return true;
    }
    if (IsWord(aText, {u"FALSE", u"F", u"N", u"NO"}))
    {
        aValue = false;
        return true;
    }
    return false;
}

bool CVexilImports::ParseInt(QStringView aText, int32_t& aValue)
{
    // What is left of digits and signs must be one number: an optional sign, then digits.
    int64_t value = 0;
    bool negative = false;
    bool sign = false;
    bool digits = false;
    for (const QChar ch : aText)
    {
        if (IsDigit(ch))
        {
            digits = true;
            value = value * 10 + (ch.unicode() - '0');
            if (value > int64_t(INT32_MAX) + 1)
                return false;
        }
        else if (ch == u'+' || ch == u'-')
        {
            if (sign || digits)
                return false;
            sign = true;
            negative = ch == u'-';
        }
    }
    if (!digits)
        return false;
    value = negative ? -value : value;
    if (value > INT32_MAX)
        return false;
    aValue = int32_t(value);
    return true;
}

bool CVexilImports::ParseReal(QStringView aText, QChar aDecSep, double& aValue)
{
    const QString point = QLocale().decimalPoint();
    QString kept;
    kept.reserve(aText.size());
    for (const QChar ch : aText)
    {
        if (IsDigit(ch) || ch == u'+' || ch == u'-')
            kept += ch;
        else if (ch == aDecSep)
            kept += point;
    }
    return CVexilNumText::LocaleToReal(kept, aValue);
}

int16_t CVexilImports::CountNonDigits(QStringView aText)
{
    const auto count = std::count_if(aText.begin(), aText.end(), [](QChar ch) { return !IsDigit(ch); });
    return int16_t(std::min<qsizetype>(count, INT16_MAX));
}

void CVexilImports::ResetColStats(TColStats& aStats)
{
    aStats = TColStats{};
}

void CVexilImports::AddToColStats(QStringView aItem, TColStats& aStats)
{
    const QStringView s = TrimBlanks(aItem);
    const qsizetype n = s.size();
    if (n == 0)
    {
        ++aStats.Empty;
        return;
    }
    bool flag = false;
    if (ParseBool(s, flag))
    {
        ++(flag ? aStats.TrueCount : aStats.FalseCount);
        return;
    }
    for (qsizetype p = n - 1; p >= 0; --p)
    {
        if (s[p] == u'.')
        {
            ++aStats.DotCount;
            aStats.DigitsAfterDot += int32_t(n - 1 - p);
            break;
        }
        if (s[p] == u',')
        {
            ++aStats.CommaCount;
            aStats.DigitsAfterComma += int32_t(n - 1 - p);
            break;
        }
    }
    if (std::any_of(s.begin(), s.end(), IsDigit))
        ++aStats.HasDigit;
    if (std::any_of(s.begin(), s.end(), [](QChar ch) { return ch.isLetter(); }))
        ++aStats.HasLetter;
    double moment = 0;
    if (n >= 5 && CountNonDigits(s) > 0 && MayBeDateOrTime(s) && ReadMoment(s, moment))
    {
        if (moment > 1)
            ++aStats.DateCount;
        else if (moment > 0 && moment < 1)
            ++aStats.TimeCount;
    }
}

bool CVexilImports::ReadMoment(QStringView aText, double& aMoment) const
{
    // Bounded, so that a file of distinct texts costs no more memory than the texts once.
    constexpr qsizetype kMaxRemembered = 100000;
    const QString text = aText.toString();
    const auto found = iMoments.constFind(text);
    if (found != iMoments.constEnd())
    {
        if (*found)
            aMoment = **found;
        return found->has_value();
    }
    double moment = 0;
    const bool read = CVexilValue::ExtTextToDateTime(text, moment);
    if (iMoments.size() < kMaxRemembered)
        iMoments.insert(text, read ? std::optional<double>(moment) : std::nullopt);
    if (read)
        aMoment = moment;
    return read;
}

void CVexilImports::DetectColumnTypes(bool aHeaderLine)
{
    const int32_t first = aHeaderLine ? 1 : 0;
    const int32_t lines = iCsvLines.Count();
    if (lines == 0)
        return;
    const int32_t n = lines - first;
    const int columns = iCsvLines.NumItems(0);
    for (TColStats& stats : iColStats)
        ResetColStats(stats);
    iColTypes.fill(EConTypeText);
    iMoments.clear();
    for (int32_t line = first; line < lines; ++line)
    {
        // An item the line lacks reads as "" and counts as empty.
        const int items = std::max<int>(columns, iCsvLines.NumItems(line));
        for (int k = 0; k < items; ++k)
            AddToColStats(iCsvLines.Item(line, k), iColStats[k]);
    }
    for (int c = 0; c < columns; ++c)
    {
        const TColStats& s = iColStats[c];
        QChar decSep;
        int32_t type = EConTypeInteger;
        if (s.Empty == n)
            type = EConTypeText;
        else if (s.TrueCount + s.FalseCount + s.Empty == n)
            type = EConTypeBoolean;
        else if (s.DateCount + s.Empty == n)
            type = EConTypeDate;
        else if (s.TimeCount + s.Empty == n)
            type = EConTypeTime;
        else if (s.HasLetter > 0 || s.HasDigit == 0)
            type = EConTypeText;
        else if (s.DotCount > 0)
        {
            if (s.DigitsAfterDot != 3 * s.DotCount)
            {
                type = EConTypeReal;
                decSep = u'.';
            }
        }
        else if (s.CommaCount > 0 && s.DigitsAfterComma != 3 * s.CommaCount)
        {
            type = EConTypeReal;
            decSep = u',';
        }
        iColTypes[c] = type;
        if (type == EConTypeReal)
            iColDecSep[c] = decSep;
        if (type == EConTypeInteger || type == EConTypeReal)
            VerifyNumberColumn(c);
    }
}

void CVexilImports::VerifyNumberColumn(int aColumn)
{
    const bool real = iColTypes[aColumn] == EConTypeReal;
    for (int32_t line = FirstDataLine(); line < iCsvLines.Count(); ++line)
    {
        const QStringView item = TrimBlanks(iCsvLines.Item(line, aColumn));
        if (item.isEmpty())
            continue;
        double realValue = 0;
        int32_t intValue = 0;
        if (real ? !ParseReal(item, iColDecSep[aColumn], realValue) : !ParseInt(item, intValue))
        {
            iColTypes[aColumn] = EConTypeText;
            return;
        }
    }
}

bool CVexilImports::CheckCardNameColumn(int16_t aColumn) const
{
    CVexilArray names;
    names.Construct(EArrStrKey + EArrDupKeys, EValStr);
    TArrayElem elem;
    names.InitElem(elem);
    for (int32_t line = 0; line < iCsvLines.Count(); ++line)
    {
        const QStringView item = iCsvLines.Item(line, aColumn);
        if (item.isEmpty())
            return false;
        elem.StrKey = item.toString();
        elem.iVal.iStr = elem.StrKey;
        names.CreateStrKey(elem);
    }
    int32_t duplicates = 0;
    QString previous;
    int32_t cursor = 0;
    names.SetFirst(cursor);
    while (names.ReadNext(elem, cursor))
    {
        if (elem.iVal.iStr == previous)
            ++duplicates;
        previous = elem.iVal.iStr;
    }
    return double(iCsvLines.Count()) / 25.0 >= double(duplicates);
}

namespace
{
// Types a sort key can hold: List, Command and Picture fields have no key width.
bool Sortable(const TControlRef& aControl)
{
    return aControl && aControl->ConType() >= EConTypeText && aControl->ConType() <= EConTypeBoolean;
}
}  // namespace

void CVexilImports::GuessSortKey(CVexilStack& aStack, int32_t aBackgroundId)
{
    const TControlSetRef background = aStack.Background(aBackgroundId);
    if (!background || background->Flag(ECseKeepCardsSorted))
        return;
    TControlRef control1;
    TControlRef control2;
    int32_t cursor = 0;
    if (!background->GetFirstControl(control1, cursor) || !Sortable(control1))
        return;
    if (!background->GetNextControl(control2, cursor) || !Sortable(control2))
        control2.reset();
    TSortKeyRef sortKey = MakeSortKey(aStack, aBackgroundId, control1, nullptr);
    if (!CheckSortKeyOrder(aStack, aBackgroundId, *sortKey))
    {
        sortKey.reset();
        if (control2)
        {
            sortKey = MakeSortKey(aStack, aBackgroundId, control1, control2);
            if (!CheckSortKeyOrder(aStack, aBackgroundId, *sortKey))
                sortKey.reset();
        }
    }
    if (!sortKey)
        return;
    aStack.AddSortKey(sortKey);
    background->SetFlag(ECseKeepCardsSorted, true);
    aStack.NewIndexForSortKey(sortKey);
    aStack.SetControlDynFlags();
}

TSortKeyRef CVexilImports::MakeSortKey(CVexilStack& aStack, int32_t aBackgroundId, const TControlRef& aControl1,
                                       const TControlRef& aControl2)
{
    auto sortKey = std::make_shared<CVexilSortKey>();
    sortKey->Contruct(aStack.IdGen().NextId(), aControl1->Name(), aBackgroundId);
    for (const TControlRef& control : {aControl1, aControl2})
        if (control)
            sortKey->AddKeyPart(control->ConType(), control->Id(), 0, CVexilLib::SortKeyLen(*control));
    return sortKey;
}

bool CVexilImports::CheckSortKeyOrder(const CVexilStack& aStack, int32_t aBackgroundId,
                                      const CVexilSortKey& aSortKey)
{
    // The card id that ends every key string would make equal values unequal.
    const qsizetype valueLen = aSortKey.KeyLen() - CVexilSortKey::KIdWidth;
    int32_t cards = 0;
    int32_t violations = 0;
    QString previous;
    TCardRef card;
    int32_t cursor = 0;
    for (bool found = aStack.GetFirstCardInBackground(aBackgroundId, card, cursor); found;
         found = aStack.GetNextCardInBackground(aBackgroundId, card, cursor))
    {
        QString key = aSortKey.BuildKey(*card);
        key.truncate(valueLen);
        if (cards > 0 && aSortKey.compare(key, previous) == 0)
            ++violations;
        ++cards;
        previous = std::move(key);
    }
    return double(cards) / 25.0 >= double(violations);
}
