#include "foundation/VexilValue.h"

#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilNumText.h"

#include <QLocale>

#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace
{
const QDate kBaseDate(1899, 12, 30);
// Days from the base date to 100-01-01 and to 9999-12-31: the date range of the stored form.
constexpr double kMinDay = -657434;
constexpr double kMaxDay = 2958465;
constexpr int32_t kSecsPerDay = 86400;
constexpr int32_t kRunTypeMismatch = 13;

bool IsObjType(int32_t aType)
{
    return aType >= EValCard && aType <= EValBlob;
}

// Rewrites the runs of pattern letters of a Qt date or time format, leaving quoted text alone.
QString MapFormat(const QString& aFormat, const std::function<QString(QChar, qsizetype)>& aMap)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < aFormat.size();)
    {
        const QChar c = aFormat[i];
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c == u'\'' || !c.isLetter())
        {
            result += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < aFormat.size() && aFormat[i + run] == c)
            ++run;
        result += aMap(c, run);
        i += run;
    }
    return result;
}

QString Normalized(QString aText)
{
    aText.replace(QChar(0x202F), u' ');
    aText.replace(QChar(0x00A0), u' ');
    return aText.simplified();
}

// The user's short date format, always with four-digit years so that a shown date reads back.
QString ShortDateFormat()
{
    return MapFormat(QLocale().dateFormat(QLocale::ShortFormat),
                     [](QChar c, qsizetype run) { return QString(c == u'y' && run == 2 ? 4 : run, c); });
}

// The user's long time format without a time zone: a time of day has none.
QString LongTimeFormat()
{
    const QString format = MapFormat(QLocale().timeFormat(QLocale::LongFormat),
                                     [](QChar c, qsizetype run) { return c == u't' ? QString() : QString(run, c); });
    return format.trimmed();
}

// A display format of the default locale, made again only when the default locale changes:
// making it costs more than formatting a value with it.
class CLocaleFormat
{
public:
    explicit CLocaleFormat(QString (*aMake)()) : iMake(aMake) {}

    const QString& Get()
    {
        const QLocale locale;
        if (!iMade || locale != iLocale)
        {
            iFormat = iMake();
            iLocale = locale;
            iMade = true;
        }
        return iFormat;
    }

private:
    QString (*iMake)();
    QLocale iLocale;
    QString iFormat;
    bool iMade = false;
};

// A format that also reads one-digit days, months and hours; aYearDigits 2 or 4 fixes the year.
QString LenientFormat(const QString& aFormat, int aYearDigits)
{
    return Normalized(MapFormat(aFormat, [aYearDigits](QChar c, qsizetype run) {
        if (run == 2 && (c == u'd' || c == u'M' || c == u'H' || c == u'h'))
            return QString(c);
        if (c == u'y')
            return QString(aYearDigits, c);
        return QString(run, c);
    }));
}

struct TDateFormat
{
    QString Format;
    bool TwoDigitYear;
};

std::vector<TDateFormat> DateFormats()
{
    const QLocale locale;
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    return {{LenientFormat(shortFormat, 4), false},
            {LenientFormat(shortFormat, 2), true},
            {Normalized(locale.dateFormat(QLocale::LongFormat)), false},
            {QStringLiteral("yyyy-M-d"), false}};
}

QStringList TimeFormats()
{
    return {LenientFormat(LongTimeFormat(), 4), LenientFormat(QLocale().timeFormat(QLocale::ShortFormat), 4),
            QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")};
}

// Two-digit years read as 1900 to 1999; the window maps 00 to 29 to this century.
QDate WindowedYear(QDate aDate, bool aTwoDigitYear)
{
    if (aTwoDigitYear && aDate.isValid() && aDate.year() < 1930)
        return aDate.addYears(100);
    return aDate;
}

bool InDateRange(const QDate& aDate)
{
    return aDate.isValid() && aDate.year() >= 100 && aDate.year() <= 9999;
}

// The locale-aware conversion of a text to a date and time: the user's date formats, time
// formats and a date followed by a time; false when the whole text is none of these.
bool LocaleToDateTime(const QString& aText, double& aValue)
{
    const QLocale locale;
    const QString text = Normalized(aText);
    if (text.isEmpty())
        return false;
    // The formats are made once per locale: an import reads a million dates.
    struct TFormats
    {
        QLocale Locale;
        std::vector<TDateFormat> Dates;
        QStringList Times;
    };
    static thread_local std::optional<TFormats> formats;
    if (!formats || !(formats->Locale == locale))
        formats = TFormats{locale, DateFormats(), TimeFormats()};
    const std::vector<TDateFormat>& dateFormats = formats->Dates;
    const QStringList& timeFormats = formats->Times;
    for (const TDateFormat& format : dateFormats)
    {
        const QDate date = WindowedYear(locale.toDate(text, format.Format), format.TwoDigitYear);
        if (InDateRange(date))
        {
            aValue = CVexilValue::FromQDate(date);
            return true;
        }
    }
    for (const QString& format : timeFormats)
    {
        const QTime time = locale.toTime(text, format);
        if (time.isValid())
        {
            aValue = CVexilValue::FromQTime(time);
            return true;
        }
    }
    for (const TDateFormat& dateFormat : dateFormats)
    {
        for (const QString& timeFormat : timeFormats)
        {
            const QDateTime dateTime = locale.toDateTime(text, dateFormat.Format + u' ' + timeFormat);
            const QDate date = WindowedYear(dateTime.date(), dateFormat.TwoDigitYear);
            if (dateTime.isValid() && InDateRange(date))
            {
                aValue = CVexilValue::FromQDateTime(QDateTime(date, dateTime.time()));
                return true;
            }
        }
    }
    return false;
}

// The number pattern "###,###,###,###,##0." with aDigits zeros, or up to eight optional
// decimals for UndefInt: grouped, and the decimal separator always shown.
QString PatternText(double aValue, int16_t aDigits)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    const bool optional = aDigits == UndefInt;
    QString text = locale.toString(aValue, 'f', optional ? 8 : std::max<int>(aDigits, 0));
    const QString point = locale.decimalPoint();
    const qsizetype pointPos = text.lastIndexOf(point);
    if (pointPos < 0)
        return text + point;
    if (optional)
    {
        const QString zero = locale.zeroDigit();
        while (text.endsWith(zero) && text.size() > pointPos + point.size())
            text.chop(zero.size());
    }
    return text;
}

// Up to 15 significant digits, exponent notation from 1e15 upward, no grouping.
QString GeneralText(double aValue)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(aValue, 'g', 15).replace(locale.exponential(), QStringLiteral("E"));
}

QString RealExtText(double aValue, int16_t aDigits)
{
    if (std::fabs(aValue) > 1e14)
        return GeneralText(aValue);
    return PatternText(aValue, aDigits);
}

QString RealIntText(double aValue)
{
    return QString::number(aValue, 'g', 15).replace(u'e', u'E');
}

// Rounds to aDigits decimals, halves to even; false when that cannot be done.
bool RoundToDigits(double aValue, int16_t aDigits, double& aResult)
{
    if (aDigits < 0)
        return false;
    const double scale = std::pow(10.0, aDigits);
    const double scaled = aValue * scale;
    if (!std::isfinite(scaled))
        return false;
    aResult = std::nearbyint(scaled) / scale;
    return true;
}

// Days since the base date and the time of day as one stored value; before the base date the
// time is subtracted, as the stored form keeps the fraction as an absolute time of day.
double Combine(qint64 aDays, double aDayFraction)
{
    return aDays < 0 ? double(aDays) - aDayFraction : double(aDays) + aDayFraction;
}

// Leading number rounded to a 32-bit integer; false when there is none in range.
bool LeadingInt(const QString& aText, int32_t& aResult)
{
    try
    {
        return CVexilNumText::RoundToInt32(CVexilNumText::LeadingNumber(aText), aResult);
    }
    catch (const CVexilException&)
    {
        return false;
    }
}

bool LeadingReal(const QString& aText, double& aResult)
{
    try
    {
        aResult = CVexilNumText::LeadingNumber(aText);
        return true;
    }
    catch (const CVexilException&)
    {
        return false;
    }
}

// The whole text by the locale, with its group separators, over the whole 32-bit range; a
// number beyond that range is as unreadable as no number (0). A text that is no number as a
// whole gives its leading number.
void FillInt(const QString& aText, TValue& aVal)
{
    double value = 0;
    if (CVexilNumText::LocaleToReal(aText, value))
        CVexilNumText::RoundToInt32(value, aVal.iInt);
    else
        LeadingInt(aText, aVal.iInt);
}

void FillReal(const QString& aText, int16_t aDigits, TValue& aVal)
{
    if (!LeadingReal(aText, aVal.iReal) || !CVexilNumText::LocaleToReal(aText, aVal.iReal))
        return;
    if (aDigits != UndefInt)
        RoundToDigits(aVal.iReal, aDigits, aVal.iReal);
}

// The date or time of a neutral text; a failing step leaves the field as it is.
void FillFromInt(const QString& aText, double (*aFromInt)(int32_t), double& aField)
{
    int32_t number = 0;
    if (!LeadingInt(aText, number))
        return;
    try
    {
        aField = aFromInt(number);
    }
    catch (const CVexilException&)
    {
    }
}
}  // namespace

QString CVexilValue::TypeStr(int32_t aType)
{
    switch (aType)
    {
    case EValUndef: return QStringLiteral("Undefined");
    case EValStr: return QStringLiteral("String");
    case EValInt: return QStringLiteral("Integer");
    case EValReal: return QStringLiteral("Real");
    case EValDate: return QStringLiteral("Date");
    case EValTime: return QStringLiteral("Time");
    case EValBool: return QStringLiteral("Boolean");
    case EValBlobId: return QStringLiteral("Blob id");
    case EValIntPair: return QStringLiteral("Integer pair");
    case EValCard: return QStringLiteral("Card");
    case EValControl: return QStringLiteral("Control");
    case EValControlSet: return QStringLiteral("Control set");
    case EValSortKey: return QStringLiteral("Sort key");
    case EValArray: return QStringLiteral("Array");
    case EValBlob: return QStringLiteral("Blob");
    default: return {};
    }
}

int32_t CVexilValue::ConToValType(int32_t aConType)
{
    switch (aConType)
    {
    case EConTypeText:
    case EConTypeList: return EValStr;
    case EConTypeInteger: return EValInt;
    case EConTypeReal: return EValReal;
    case EConTypeDate: return EValDate;
    case EConTypeTime: return EValTime;
    case EConTypeBoolean: return EValBool;
    case EConTypePicture: return EValBlobId;
    default: CVexilError::Assert(false, QStringLiteral("ConToValType type")); return EValUndef;
    }
}

double CVexilValue::IntToDate(int32_t aIntDate)
{
    if (aIntDate == UndefLong)
        return FromQDate(QDate(1980, 1, 1));
    int32_t year = aIntDate / 10000;
    const int32_t month = (aIntDate % 10000) / 100;
    const int32_t day = aIntDate % 100;
    if (year >= 0 && year < 100)
        year += year < 30 ? 2000 : 1900;
    // Months beyond 12 or below 1 carry into the year, days into the month.
    const int32_t months = year * 12 + month - 1;
    const int32_t carriedYear = months >= 0 ? months / 12 : (months - 11) / 12;
    const int32_t carriedMonth = months - carriedYear * 12 + 1;
    if (carriedYear < 100 || carriedYear > 9999)
        CVexilError::RaiseRunError(ERunInvalidCall);
    const QDate date = QDate(carriedYear, carriedMonth, 1).addDays(day - 1);
    if (!InDateRange(date))
        CVexilError::RaiseRunError(ERunInvalidCall);
    return FromQDate(date);
}

bool CVexilValue::StoredDate(int32_t aIntDate, double& aDate)
{
    try
    {
        aDate = IntToDate(aIntDate);
        return true;
    }
    catch (const CVexilException&)
    {
        return false;
    }
}

double CVexilValue::IntToTime(int32_t aIntTime)
{
    if (aIntTime == UndefLong)
        return 0;
    const qint64 seconds = qint64(aIntTime / 10000) * 3600 + qint64((aIntTime % 10000) / 100) * 60 + aIntTime % 100;
    const qint64 days = seconds >= 0 ? seconds / kSecsPerDay : (seconds - kSecsPerDay + 1) / kSecsPerDay;
    return Combine(days, double(seconds - days * kSecsPerDay) / kSecsPerDay);
}

int32_t CVexilValue::DateToInt(double aDate)
{
    const QDate date = ToQDate(aDate);
    return date.year() * 10000 + date.month() * 100 + date.day();
}

int32_t CVexilValue::TimeToInt(double aTime)
{
    const QTime time = ToQTime(aTime);
    return time.hour() * 10000 + time.minute() * 100 + time.second();
}

bool CVexilValue::Equal(const TValue& aA, const TValue& aB)
{
    if (aA.iType == EValUndef || aB.iType == EValUndef)
        return aA.iType == aB.iType;
    CVexilError::Assert(aA.iType == aB.iType, QStringLiteral("Equal type"));
    switch (aA.iType)
    {
    case EValStr: return aA.iStr == aB.iStr;
    case EValInt:
    case EValBlobId: return aA.iInt == aB.iInt;
    case EValReal: return aA.iReal == aB.iReal;
    case EValDate: return aA.iDate == aB.iDate;
    case EValTime: return aA.iTime == aB.iTime;
    case EValBool: return aA.iBool == aB.iBool;
    default:
        if (IsObjType(aA.iType))
            return aA.iObj == aB.iObj;
        CVexilError::Assert(false, QStringLiteral("Equal type"));
        return false;
    }
}

QString CVexilValue::DateToExtText(double aDate)
{
    thread_local CLocaleFormat format(ShortDateFormat);
    return QLocale().toString(ToQDate(aDate), format.Get());
}

QString CVexilValue::TimeToExtText(double aTime)
{
    thread_local CLocaleFormat format(LongTimeFormat);
    return QLocale().toString(ToQTime(aTime), format.Get());
}

QString CVexilValue::ValToExtText(const TValue& aVal, const IVexilValueField& aField)
{
    switch (aVal.iType)
    {
    case EValUndef: return {};
    case EValStr: return aVal.iStr;
    case EValInt: return QString::number(aVal.iInt);
    case EValReal: return RealExtText(aVal.iReal, aField.Digits());
    case EValDate: return DateToExtText(aVal.iDate);
    case EValTime: return TimeToExtText(aVal.iTime);
    case EValBool: return aVal.iBool ? QStringLiteral("T") : QStringLiteral("F");
    case EValBlobId: return QStringLiteral("(Blob %1)").arg(aVal.iInt);
    default:
        if (IsObjType(aVal.iType))
            return QStringLiteral("(Object)");
        CVexilError::Assert(false, QStringLiteral("ValToExtText type"));
        return {};
    }
}

QString CVexilValue::ValToIntText(const TValue& aVal)
{
    switch (aVal.iType)
    {
    case EValUndef: return {};
    case EValStr: return aVal.iStr;
    case EValInt: return QString::number(aVal.iInt);
    case EValReal: return RealIntText(aVal.iReal);
    case EValDate: return QString::number(DateToInt(aVal.iDate));
    case EValTime: return QString::number(TimeToInt(aVal.iTime));
    case EValBool: return aVal.iBool ? QStringLiteral("-1") : QStringLiteral("0");
    case EValBlobId: return QStringLiteral("(Blob %1)").arg(aVal.iInt);
    default:
        if (IsObjType(aVal.iType))
            return QStringLiteral("(Object)");
        CVexilError::Assert(false, QStringLiteral("ValToIntText type"));
        return {};
    }
}

TValue CVexilValue::ExtTextToVal(const QString& aText, const IVexilValueField& aField)
{
    const int32_t type = ConToValType(aField.ConType());
    TValue val;
    if (CVexilLib::IsBlank(aText))
        return val;
    val.iType = type;
    switch (type)
    {
    case EValStr: val.iStr = aText; break;
    case EValInt: FillInt(aText, val); break;
    case EValReal: FillReal(aText, aField.Digits(), val); break;
    case EValDate:
        val.iDate = FromQDate(QDate(1980, 1, 1));
        LocaleToDateTime(aText, val.iDate);
        break;
    case EValTime: LocaleToDateTime(aText, val.iTime); break;
    case EValBool: val.iBool = aText == u"T"; break;
    default: CVexilError::Assert(false, QStringLiteral("ExtTextToVal type"));
    }
    return val;
}

bool CVexilValue::ExtTextReadable(const QString& aText, const IVexilValueField& aField)
{
    if (CVexilLib::IsBlank(aText))
        return true;
    double read = 0;
    int32_t number = 0;
    switch (ConToValType(aField.ConType()))
    {
    // As FillInt and FillReal read: the whole text by the locale, else its leading number. A
    // number beyond the type's range reads as none.
    case EValInt:
        if (CVexilNumText::LocaleToReal(aText, read))
            return CVexilNumText::RoundToInt32(read, number);
        return CVexilNumText::StartsWithNumber(aText) && LeadingInt(aText, number);
    case EValReal:
        return LeadingReal(aText, read) &&
               (CVexilNumText::StartsWithNumber(aText) || CVexilNumText::LocaleToReal(aText, read));
    case EValDate:
    case EValTime: return LocaleToDateTime(aText, read);
    default: return true;
    }
}

bool CVexilValue::ExtTextToDateTime(const QString& aText, double& aValue)
{
    return LocaleToDateTime(aText, aValue);
}

TValue CVexilValue::IntTextToVal(const QString& aText, const IVexilValueField& aField)
{
    const int32_t type = ConToValType(aField.ConType());
    TValue val;
    if (CVexilLib::IsBlank(aText))
        return val;
    val.iType = type;
    switch (type)
    {
    case EValStr: val.iStr = aText; break;
    case EValInt: LeadingInt(aText, val.iInt); break;
    case EValReal: LeadingReal(aText, val.iReal); break;
    case EValDate: FillFromInt(aText, &CVexilValue::IntToDate, val.iDate); break;
    case EValTime: FillFromInt(aText, &CVexilValue::IntToTime, val.iTime); break;
    case EValBool: val.iBool = aText == u"-1"; break;
    default: CVexilError::Assert(false, QStringLiteral("IntTextToVal type"));
    }
    return val;
}

TValue CVexilValue::StrToVal(const QString& aText)
{
    TValue val;
    if (!aText.isEmpty())
    {
        val.iType = EValStr;
        val.iStr = aText;
    }
    return val;
}

void CVexilValue::EnsureStr(TValue& aVal)
{
    if (aVal.iType != EValUndef)
        return;
    aVal.iType = EValStr;
    aVal.iStr.clear();
}

int32_t CVexilValue::ToInt(const TValue& aVal)
{
    switch (aVal.iType)
    {
    case EValStr: return CVexilNumText::RoundToInt32(ToReal(aVal));
    case EValInt: return aVal.iInt;
    case EValReal: return CVexilNumText::RoundToInt32(aVal.iReal);
    default: CVexilError::Assert(false, QStringLiteral("ToInt aVal.iType")); return 0;
    }
}

double CVexilValue::ToReal(const TValue& aVal)
{
    switch (aVal.iType)
    {
    case EValStr:
    {
        double value = 0;
        if (!CVexilNumText::LocaleToReal(aVal.iStr, value))
            CVexilError::RaiseRunError(kRunTypeMismatch);
        return value;
    }
    case EValInt: return aVal.iInt;
    case EValReal: return aVal.iReal;
    default: CVexilError::Assert(false, QStringLiteral("ToReal aVal.iType")); return 0;
    }
}

void CVexilValue::Convert(const TValue& aFrom, const IVexilValueField& aField, TValue& aTo)
{
    switch (aTo.iType)
    {
    case EValStr: aTo.iStr = ValToExtText(aFrom, aField); break;
    case EValInt: aTo.iInt = ToInt(aFrom); break;
    case EValReal: aTo.iReal = ToReal(aFrom); break;
    case EValBool:
        CVexilError::Assert(aFrom.iType == EValStr, QStringLiteral("Convert FromType Str"));
        aTo.iType = EValBool;
        aTo.iBool = aFrom.iStr == u"T";
        break;
    default: CVexilError::Assert(false, QStringLiteral("Convert aTo.iType"));
    }
}

void CVexilValue::SetZero(TValue& aVal, int32_t aType, double aDate, double aTime)
{
    aVal.iType = aType;
    switch (aType)
    {
    case EValStr: aVal.iStr.clear(); break;
    case EValInt: aVal.iInt = 0; break;
    case EValReal: aVal.iReal = 0; break;
    case EValDate: aVal.iDate = aDate; break;
    case EValTime: aVal.iTime = aTime; break;
    case EValBool: aVal.iBool = false; break;
    default: CVexilError::Assert(false, QStringLiteral("SetZero type"));
    }
}

void CVexilValue::Copy(const TValue& aFrom, TValue& aTo)
{
    aTo.iType = aFrom.iType;
    switch (aFrom.iType)
    {
    case EValUndef: break;
    case EValStr: aTo.iStr = aFrom.iStr; break;
    case EValInt:
    case EValBlobId: aTo.iInt = aFrom.iInt; break;
    case EValReal: aTo.iReal = aFrom.iReal; break;
    case EValDate: aTo.iDate = aFrom.iDate; break;
    case EValTime: aTo.iTime = aFrom.iTime; break;
    case EValBool: aTo.iBool = aFrom.iBool; break;
    case EValIntPair:
        aTo.iInt0 = aFrom.iInt0;
        aTo.iInt1 = aFrom.iInt1;
        break;
    default:
        if (IsObjType(aFrom.iType))
            aTo.iObj = aFrom.iObj;
        else
            CVexilError::Assert(false, QStringLiteral("Copy type"));
    }
}

QDate CVexilValue::ToQDate(double aDate)
{
    if (!(aDate >= kMinDay && aDate < kMaxDay + 1))
        CVexilError::RaiseRunError(ERunOverflow);
    return kBaseDate.addDays(qint64(std::trunc(aDate)));
}

QTime CVexilValue::ToQTime(double aTime)
{
    if (!(aTime >= kMinDay - 1 && aTime < kMaxDay + 1))
        CVexilError::RaiseRunError(ERunOverflow);
    const double fraction = std::fabs(aTime - std::trunc(aTime));
    const auto seconds = int(std::llround(fraction * kSecsPerDay) % kSecsPerDay);
    return QTime(0, 0).addSecs(seconds);
}

double CVexilValue::FromQDate(const QDate& aDate)
{
    return double(kBaseDate.daysTo(aDate));
}

double CVexilValue::FromQTime(const QTime& aTime)
{
    return double(aTime.msecsSinceStartOfDay()) / (1000.0 * kSecsPerDay);
}

double CVexilValue::FromQDateTime(const QDateTime& aDateTime)
{
    return Combine(kBaseDate.daysTo(aDateTime.date()), FromQTime(aDateTime.time()));
}
