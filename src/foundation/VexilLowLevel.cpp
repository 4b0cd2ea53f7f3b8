#include "foundation/VexilLowLevel.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <array>
#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace
{
constexpr int64_t kSecsPerDay = 86400;
// Julian day of 1899-12-30, day 0 of the program's dates, and of 1970-01-01, day 0 of time_t.
constexpr int64_t kJdDayZero = 2415019;
constexpr int64_t kJdEpoch = 2440588;

constexpr std::array<const char*, 7> kDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A date and time to the second, without zone.
struct TStamp
{
    QDate Date;
    int64_t Secs = 0;  // seconds since midnight

    int Hour() const { return static_cast<int>(Secs / 3600); }
    int Minute() const { return static_cast<int>(Secs / 60 % 60); }
    int Second() const { return static_cast<int>(Secs % 60); }
    bool operator==(const TStamp&) const = default;
};

// Before day 0 the whole days count down while the time of day still counts up.
TStamp StampOf(double aDays)
{
    if (!std::isfinite(aDays))
        aDays = 0;
    const double whole = std::trunc(aDays);
    int64_t day = static_cast<int64_t>(whole);
    int64_t secs = std::llround(std::fabs(aDays - whole) * kSecsPerDay);
    if (secs >= kSecsPerDay)
    {
        secs -= kSecsPerDay;
        day += aDays < 0 ? -1 : 1;
    }
    return {QDate::fromJulianDay(day + kJdDayZero), secs};
}

double DaysOf(const TStamp& aStamp)
{
    const int64_t day = aStamp.Date.toJulianDay() - kJdDayZero;
    const double frac = static_cast<double>(aStamp.Secs) / kSecsPerDay;
    return day < 0 ? day - frac : day + frac;
}

time_t TimeOfGmt(const TStamp& aStamp)
{
    return static_cast<time_t>((aStamp.Date.toJulianDay() - kJdEpoch) * kSecsPerDay + aStamp.Secs);
}

TStamp GmtOfTime(time_t aTime)
{
    const int64_t t = aTime;
    const int64_t day = t >= 0 ? t / kSecsPerDay : -((-t + kSecsPerDay - 1) / kSecsPerDay);
    return {QDate::fromJulianDay(day + kJdEpoch), t - day * kSecsPerDay};
}

TStamp StampOfTm(const tm& aTm)
{
    return {QDate(aTm.tm_year + 1900, aTm.tm_mon + 1, aTm.tm_mday),
            static_cast<int64_t>(aTm.tm_hour) * 3600 + aTm.tm_min * 60 + aTm.tm_sec};
}

TStamp LocalOfTime(time_t aTime)
{
    tzset();
    tm local{};
    if (!localtime_r(&aTime, &local))
        return GmtOfTime(aTime);
    return StampOfTm(local);
}

// Reads a local time with the zone's standard offset (aDst 0) or its daylight offset (aDst 1).
time_t LocalToTime(const TStamp& aLocal, int aDst)
{
    tm t{};
    t.tm_year = aLocal.Date.year() - 1900;
    t.tm_mon = aLocal.Date.month() - 1;
    t.tm_mday = aLocal.Date.day();
    t.tm_hour = aLocal.Hour();
    t.tm_min = aLocal.Minute();
    t.tm_sec = aLocal.Second();
    t.tm_isdst = aDst;
    return mktime(&t);
}

time_t TimeOfLocal(const TStamp& aLocal)
{
    tzset();
    for (int dst : {0, 1})
    {
        const time_t t = LocalToTime(aLocal, dst);
        if (LocalOfTime(t) == aLocal)
            return t;
    }
    // Inside the hour skipped when daylight saving begins: read it as standard time.
    return LocalToTime(aLocal, 0);
}

// Sets the last-write time of an existing file, leaving its access time.
bool SetModTime(const QString& aFileName, time_t aTime)
{
    timespec times[2]{};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = aTime;
    return utimensat(AT_FDCWD, QFile::encodeName(aFileName).constData(), times, 0) == 0;
}

std::optional<time_t> ModTime(const QString& aFileName)
{
    struct stat info{};
    if (stat(QFile::encodeName(aFileName).constData(), &info) != 0)
        return std::nullopt;
    return info.st_mtime;
}

QString Two(int aValue)
{
    return QStringLiteral("%1").arg(aValue, 2, 10, QLatin1Char('0'));
}

// The number at the start of a fixed field (blanks before it allowed); none without a digit.
std::optional<int> FieldNumber(const QString& aText, qsizetype aFrom, qsizetype aLen)
{
    const QString field = aText.mid(aFrom, aLen).trimmed();
    qsizetype digits = 0;
    while (digits < field.size() && field[digits] >= QLatin1Char('0') && field[digits] <= QLatin1Char('9'))
        ++digits;
    if (digits == 0)
        return std::nullopt;
    return field.left(digits).toInt();
}
}  // namespace

double CVexilLowLevel::GmtToLocal(double aGmt)
{
    return DaysOf(LocalOfTime(TimeOfGmt(StampOf(aGmt))));
}

double CVexilLowLevel::LocalToGmt(double aLocal)
{
    return DaysOf(GmtOfTime(TimeOfLocal(StampOf(aLocal))));
}

QString CVexilLowLevel::HttpDateStr(double aLocal)
{
    return HttpDateStrGmt(LocalToGmt(aLocal));
}

QString CVexilLowLevel::HttpDateStrGmt(double aGmt)
{
    const TStamp gmt = StampOf(aGmt);
    const QDate& d = gmt.Date;
    return QStringLiteral("%1, %2 %3 %4 %5:%6:%7 GMT")
        .arg(QLatin1String(kDayNames[d.dayOfWeek() % 7]), Two(d.day()), QLatin1String(kMonthNames[d.month() - 1]))
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(Two(gmt.Hour()), Two(gmt.Minute()), Two(gmt.Second()));
}

std::optional<double> CVexilLowLevel::HeaderTime(const QString& aText)
{
    const std::optional<double> gmt = HeaderTimeGmt(aText);
    if (!gmt)
        return std::nullopt;
    return GmtToLocal(*gmt);
}

std::optional<double> CVexilLowLevel::HeaderTimeGmt(const QString& aText)
{
    const qsizetype blank = aText.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return std::nullopt;
    const QString rest = aText.mid(blank + 1);
    const QString monthName = rest.mid(3, 3);
    int month = 0;
    while (month < 12 && monthName != QLatin1String(kMonthNames[month]))
        ++month;
    const auto day = FieldNumber(rest, 0, 2);
    const auto year = FieldNumber(rest, 7, 4);
    const auto hour = FieldNumber(rest, 12, 2);
    const auto minute = FieldNumber(rest, 15, 2);
    const auto second = FieldNumber(rest, 18, 2);
    if (month == 12 || !day || !year || !hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    const QDate date(*year, month + 1, *day);
    if (!date.isValid())
        return std::nullopt;
    return DaysOf({date, int64_t{*hour} * 3600 + *minute * 60 + *second});
}

bool CVexilLowLevel::SetFileModTime(const QString& aFileName, double aLocal)
{
    return SetModTime(aFileName, TimeOfLocal(StampOf(aLocal)));
}

bool CVexilLowLevel::SetFileModTimeGmt(const QString& aFileName, double aGmt)
{
    return SetModTime(aFileName, TimeOfGmt(StampOf(aGmt)));
}

std::optional<double> CVexilLowLevel::FileModTime(const QString& aFileName)
{
    const std::optional<time_t> time = ModTime(aFileName);
    if (!time)
        return std::nullopt;
    return DaysOf(LocalOfTime(*time));
}

std::optional<double> CVexilLowLevel::FileModTimeGmt(const QString& aFileName)
{
    const std::optional<time_t> time = ModTime(aFileName);
    if (!time)
        return std::nullopt;
    return DaysOf(GmtOfTime(*time));
}

namespace
{
QString gDocumentsFolder;
QString gHelpFile;
}

void CVexilLowLevel::SetDocumentsFolder(const QString& aFolder)
{
    gDocumentsFolder = aFolder;
}

QString CVexilLowLevel::GetDocDir()
{
    const QString docs =
        gDocumentsFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : gDocumentsFolder;
    CVexilError::Assert(!docs.isEmpty() && QDir().mkpath(docs), QStringLiteral("GetDocDir retVal"));
    const QString dir = QDir(docs).filePath(QStringLiteral("Quorvans"));
    return QFileInfo(dir).isDir() ? QDir::toNativeSeparators(dir) : QString();
}

QByteArray CVexilLowLevel::ToUtf8(const QString& aText)
{
    return aText.toUtf8();
}

QString CVexilLowLevel::FromUtf8(const QByteArray& aBytes)
{
    return QString::fromUtf8(aBytes);
}

QString CVexilLowLevel::HelpTopic(const QString& aWindowClass, const QString& aControlName)
{
    const QString prefix = QStringLiteral("CVexil");
    QString topic = aWindowClass.startsWith(prefix) ? aWindowClass.mid(prefix.size()) : aWindowClass;
    if (aWindowClass == QLatin1String("CVexilMsgForm"))
        topic += CVexilMsg::LastMsgName();
    else if (!aControlName.isEmpty())
        topic += aControlName.startsWith(QLatin1Char('f')) ? aControlName.mid(1) : aControlName;
    return topic;
}

void CVexilLowLevel::SetHelpFile(const QString& aFile)
{
    gHelpFile = aFile;
}

QStringList CVexilLowLevel::HelpFilePlaces(const QString& aProgramFolder)
{
    const QDir program(aProgramFolder);
    const QString name = QStringLiteral("Quorvans.qhc");
    return {QDir::cleanPath(program.filePath(name)),
            QDir::cleanPath(program.filePath(QStringLiteral(QUORVANS_SHARE_FROM_BIN "/") + name))};
}

QStringList CVexilLowLevel::HelpFileSought()
{
    return gHelpFile.isEmpty() ? HelpFilePlaces(QCoreApplication::applicationDirPath()) : QStringList{gHelpFile};
}

QString CVexilLowLevel::HelpFile()
{
    for (const QString& place : HelpFileSought())
        if (QFileInfo(place).isFile())
            return place;
    return {};
}

TRgb CVexilLowLevel::LongToRgb(int32_t aColor)
{
    const auto part = [aColor](int aShift) { return static_cast<int16_t>((aColor >> aShift) & 0xFF); };
    return {part(0), part(8), part(16)};
}

bool CVexilLowLevel::RgbEqual(const TRgb& aA, const TRgb& aB)
{
    return aA.Red == aB.Red && aA.Green == aB.Green && aA.Blue == aB.Blue;
}
