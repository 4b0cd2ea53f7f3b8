#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "ZoneScope.h"
#include "foundation/VexilLowLevel.h"
#include "foundation/VexilMsg.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <sys/stat.h>

namespace
{
double Days(int aYear, int aMonth, int aDay, int aHour = 0, int aMinute = 0, int aSecond = 0)
{
    const double day = static_cast<double>(QDate(aYear, aMonth, aDay).toJulianDay() - 2415019);
    const double frac = (aHour * 3600 + aMinute * 60 + aSecond) / 86400.0;
    return day < 0 ? day - frac : day + frac;
}

// Equal to the second.
void ExpectSameTime(double aActual, double aExpected)
{
    EXPECT_LT(std::fabs(aActual - aExpected) * 86400, 0.5) << aActual << " vs " << aExpected;
}

struct THttpCase
{
    const char* Zone;
    double Local;
    const char* Http;
};
}  // namespace

TEST(LowLevelHttpDate, WritesGmtInTheFixedEnglishForm)
{
    LocaleScope german(kCommaLocale);  // the names stay English
    const THttpCase cases[] = {
        {kOneHourEast, Days(1994, 11, 6, 9, 49, 37), "Sun, 06 Nov 1994 08:49:37 GMT"},
        {kOneHourEast, Days(2021, 1, 1, 0, 5, 9), "Thu, 31 Dec 2020 23:05:09 GMT"},
        {kCentralEurope, Days(2021, 1, 2, 3, 4, 5), "Sat, 02 Jan 2021 02:04:05 GMT"},
        {kCentralEurope, Days(2021, 7, 4, 14, 5, 9), "Sun, 04 Jul 2021 12:05:09 GMT"},
        // The repeated hour at the end of daylight saving is read as standard time.
        {kCentralEurope, Days(2021, 10, 31, 2, 30, 0), "Sun, 31 Oct 2021 01:30:00 GMT"},
        // The hour skipped when daylight saving begins is read with the standard offset.
        {kCentralEurope, Days(2021, 3, 28, 2, 30, 0), "Sun, 28 Mar 2021 01:30:00 GMT"},
        {kUsEastern, Days(2021, 7, 4, 12, 0, 0), "Sun, 04 Jul 2021 16:00:00 GMT"},
        {kUsEastern, Days(2021, 12, 24, 21, 0, 0), "Sat, 25 Dec 2021 02:00:00 GMT"},
        {kUsEastern, Days(1850, 1, 5, 8, 1, 2), "Sat, 05 Jan 1850 13:01:02 GMT"},
    };
    for (const auto& c : cases)
    {
        ZoneScope zone(c.Zone);
        EXPECT_EQ(CVexilLowLevel::HttpDateStr(c.Local).toStdString(), c.Http) << c.Zone;
    }
}

TEST(LowLevelHttpDate, ReadsGmtAsLocalTime)
{
    const THttpCase cases[] = {
        {kOneHourEast, Days(1994, 11, 6, 9, 49, 37), "Sun, 06 Nov 1994 08:49:37 GMT"},
        {kCentralEurope, Days(2021, 7, 4, 14, 5, 9), "Sun, 04 Jul 2021 12:05:09 GMT"},
        // Both moments of the repeated hour show the same local time.
        {kCentralEurope, Days(2021, 10, 31, 2, 30, 0), "Sun, 31 Oct 2021 00:30:00 GMT"},
        {kCentralEurope, Days(2021, 10, 31, 2, 30, 0), "Sun, 31 Oct 2021 01:30:00 GMT"},
        {kUsEastern, Days(2021, 12, 24, 21, 0, 0), "Sat, 25 Dec 2021 02:00:00 GMT"},
        // The day name is not read; one-digit fields followed by a blank are read.
        {kOneHourEast, Days(1994, 11, 6, 9, 49, 37), "Xyz, 06 Nov 1994 08:49:37 GMT"},
        {kOneHourEast, Days(1994, 11, 6, 9, 49, 37), "Sun, 6  Nov 1994 8  49 37"},
    };
    for (const auto& c : cases)
    {
        ZoneScope zone(c.Zone);
        const auto local = CVexilLowLevel::HeaderTime(QString::fromLatin1(c.Http));
        ASSERT_TRUE(local.has_value()) << c.Http;
        ExpectSameTime(*local, c.Local);
    }
}

TEST(LowLevelHttpDate, RoundTripsInTwoZones)
{
    for (const char* name : {kCentralEurope, kUsEastern})
    {
        ZoneScope zone(name);
        for (double local : {Days(1899, 12, 30), Days(1970, 1, 1, 0, 0, 1), Days(2000, 2, 29, 23, 59, 59),
                             Days(2024, 3, 31, 3, 0, 0), Days(2024, 11, 3, 1, 30, 0), Days(1601, 1, 1, 12, 0, 0),
                             Days(9999, 12, 31, 10, 0, 0)})
        {
            const QString http = CVexilLowLevel::HttpDateStr(local);
            const auto back = CVexilLowLevel::HeaderTime(http);
            ASSERT_TRUE(back.has_value()) << http.toStdString();
            ExpectSameTime(*back, local);
            ExpectSameTime(CVexilLowLevel::GmtToLocal(CVexilLowLevel::LocalToGmt(local)), local);
        }
    }
}

TEST(LowLevelHttpDate, TextThatIsNoHttpDateGivesNoDateAndAsksNothing)
{
    ZoneScope zone(kCentralEurope);
    for (const char* text : {"", "Sun,", "Sun, 06 Nov 1994", "Sun, 06 NOV 1994 08:49:37 GMT",
                             "Sun, 06 nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT",
                             "Sun Nov  6 08:49:37 1994", "Sun, 31 Feb 1994 08:49:37 GMT",
                             "Sun, 00 Nov 1994 08:49:37 GMT", "Sun, 06 Nov 0000 08:49:37 GMT",
                             "Sun, 06 Nov 1994 24:00:00 GMT", "Sun, 06 Nov 1994 08:60:00 GMT",
                             "Sun, 06 Nov 1994 08:49:60 GMT", "Sun, xx Nov 1994 08:49:37 GMT",
                             "Sun, 06 Nov 1994 08:49:-1 GMT", "Sun,06 Nov 1994 08:49:37 GMT"})
        EXPECT_FALSE(CVexilLowLevel::HeaderTime(QString::fromLatin1(text)).has_value()) << text;
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST(LowLevelFileTime, SetsTheLastWriteTimeOfAnExistingFileOnly)
{
    ZoneScope zone(kCentralEurope);
    TempDir dir;
    const QString name = SetFileContent(dir.File(QStringLiteral("a.qvn")), "x");
    struct stat before{};
    ASSERT_EQ(stat(QFile::encodeName(name).constData(), &before), 0);

    const double local = Days(2021, 7, 4, 14, 5, 9);
    EXPECT_TRUE(CVexilLowLevel::SetFileModTime(name, local));
    struct stat after{};
    ASSERT_EQ(stat(QFile::encodeName(name).constData(), &after), 0);
    EXPECT_EQ(after.st_mtime, 1625400309);  // 2021-07-04 12:05:09 UTC
    EXPECT_EQ(after.st_atim.tv_sec, before.st_atim.tv_sec);
    const auto read = CVexilLowLevel::FileModTime(name);
    ASSERT_TRUE(read.has_value());
    ExpectSameTime(*read, local);

    const QString missing = dir.File(QStringLiteral("missing.qvn"));
    EXPECT_FALSE(CVexilLowLevel::SetFileModTime(missing, local));
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_FALSE(CVexilLowLevel::FileModTime(missing).has_value());
}

// Both moments that the clock shows as 02:30 when daylight saving ends in Central Europe.
TEST(LowLevelGmtTimes, StayExactInTheHourTheClockRepeats)
{
    ZoneScope zone(kCentralEurope);
    TempDir dir;
    const QString name = SetFileContent(dir.File(QStringLiteral("a.qvn")), "x");
    const struct
    {
        double Gmt;
        const char* Http;
        time_t Time;
    } cases[] = {
        {Days(2024, 10, 27, 0, 30, 0), "Sun, 27 Oct 2024 00:30:00 GMT", 1729989000},  // 02:30 summer time
        {Days(2024, 10, 27, 1, 30, 0), "Sun, 27 Oct 2024 01:30:00 GMT", 1729992600},  // 02:30 standard time
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(CVexilLowLevel::HttpDateStrGmt(c.Gmt).toStdString(), c.Http);
        const auto read = CVexilLowLevel::HeaderTimeGmt(QString::fromLatin1(c.Http));
        ASSERT_TRUE(read.has_value()) << c.Http;
        ExpectSameTime(*read, c.Gmt);

        ASSERT_TRUE(CVexilLowLevel::SetFileModTimeGmt(name, c.Gmt)) << c.Http;
        struct stat info{};
        ASSERT_EQ(stat(QFile::encodeName(name).constData(), &info), 0);
        EXPECT_EQ(info.st_mtime, c.Time) << c.Http;
        const auto modified = CVexilLowLevel::FileModTimeGmt(name);
        ASSERT_TRUE(modified.has_value()) << c.Http;
        ExpectSameTime(*modified, c.Gmt);
    }
    const QString missing = dir.File(QStringLiteral("missing.qvn"));
    EXPECT_FALSE(CVexilLowLevel::SetFileModTimeGmt(missing, cases[0].Gmt));
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_FALSE(CVexilLowLevel::FileModTimeGmt(missing).has_value());
}

TEST(LowLevelDocDir, QuorvansFolderInTheDocumentsFolderOnlyWhenItExists)
{
    TempDir home;
    EnvScope homeScope("HOME", QFile::encodeName(home.Path()));
    EnvScope configScope("XDG_CONFIG_HOME", QFile::encodeName(home.File(QStringLiteral(".config"))));
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(docs.startsWith(home.Path())) << docs.toStdString();

    // The documents folder is created, the Quorvans folder is not.
    EXPECT_EQ(CVexilLowLevel::GetDocDir(), QString());
    EXPECT_TRUE(QFileInfo(docs).isDir());
    EXPECT_FALSE(QFileInfo::exists(docs + QStringLiteral("/Quorvans")));

    ASSERT_TRUE(QDir(docs).mkdir(QStringLiteral("Quorvans")));
    EXPECT_EQ(CVexilLowLevel::GetDocDir(), QDir::toNativeSeparators(docs + QStringLiteral("/Quorvans")));

    // A documents folder the program is given stands for the user's until it is taken back.
    TempDir given;
    ASSERT_TRUE(QDir(given.Path()).mkdir(QStringLiteral("Quorvans")));
    CVexilLowLevel::SetDocumentsFolder(given.Path());
    EXPECT_EQ(CVexilLowLevel::GetDocDir(), QDir::toNativeSeparators(given.File(QStringLiteral("Quorvans"))));
    CVexilLowLevel::SetDocumentsFolder(QString());
    EXPECT_EQ(CVexilLowLevel::GetDocDir(), QDir::toNativeSeparators(docs + QStringLiteral("/Quorvans")));
}

TEST(LowLevelUtf8, ConvertsBothWays)
{
    const struct
    {
        QString Text;
        QByteArray Bytes;
    } cases[] = {
        {QString(), QByteArray()},
        {QStringLiteral("Quorvans.qvn"), QByteArray("Quorvans.qvn")},
        {QStringLiteral("Gr\u00fc\u00dfe \u20ac"), QByteArray("Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac")},
        {QString::fromUcs4(U"\U0001F600"), QByteArray("\xf0\x9f\x98\x80")},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(CVexilLowLevel::ToUtf8(c.Text), c.Bytes);
        EXPECT_EQ(CVexilLowLevel::FromUtf8(c.Bytes), c.Text);
    }
    // Bytes that are no UTF-8 (network input) become replacement characters, not a failure.
    EXPECT_EQ(CVexilLowLevel::FromUtf8(QByteArray("a\xff" "b")), QStringLiteral("a\ufffdb"));
}

TEST(LowLevelHelp, TopicsOfWindowsControlsAndMessages)
{
    const struct
    {
        const char* Window;
        const char* Control;
        const char* Topic;
    } cases[] = {
        {"CVexilFrame", "", "Frame"},
        {"CVexilStackEdit", "", "StackEdit"},
        {"CVexilControlEdit", "fName", "ControlEditName"},
        {"CVexilControlEdit", "Name", "ControlEditName"},
        {"CVexilControlEdit", "ff", "ControlEditf"},
        {"OtherForm", "", "OtherForm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilLowLevel::HelpTopic(QLatin1String(c.Window), QLatin1String(c.Control)),
                  QLatin1String(c.Topic));

    // The message box's topic follows the last message shown, whatever control is named.
    ScriptedPrompts::Instance().ExpectMessage(false);
    CVexilMsg::Show(EMsgEmptyStackOk, EMsgClsQuestion);
    EXPECT_EQ(CVexilLowLevel::HelpTopic(QStringLiteral("CVexilMsgForm"), QStringLiteral("fHelp0")),
              QStringLiteral("MsgFormEMsgEmptyStackOk"));
}

TEST(LowLevelHelp, TheCollectionIsSoughtBesideTheProgramThenInTheShareFolder)
{
    EXPECT_EQ(CVexilLowLevel::HelpFilePlaces(QStringLiteral("/opt/q/bin")),
              QStringList({"/opt/q/bin/Quorvans.qhc", "/opt/q/share/quorvans/Quorvans.qhc"}));
    EXPECT_EQ(CVexilLowLevel::HelpFileSought(), CVexilLowLevel::HelpFilePlaces(QCoreApplication::applicationDirPath()));

    // A collection set for the program is the only one sought, and found only when it exists.
    TempDir dir;
    const QString set = dir.File(QStringLiteral("Help.qhc"));
    CVexilLowLevel::SetHelpFile(set);
    EXPECT_EQ(CVexilLowLevel::HelpFileSought(), QStringList{set});
    EXPECT_EQ(CVexilLowLevel::HelpFile(), QString());
    SetFileContent(set, "collection");
    EXPECT_EQ(CVexilLowLevel::HelpFile(), set);
    CVexilLowLevel::SetHelpFile(QString());
}

TEST(LowLevelColour, TriplesFromColourValues)
{
    const struct
    {
        int32_t Color;
        TRgb Rgb;
    } cases[] = {
        {0x000000, {0, 0, 0}},
        {0xFF8040, {0x40, 0x80, 0xFF}},
        {0x00FFFFFF, {255, 255, 255}},
        {static_cast<int32_t>(0x8000000F), {0x0F, 0, 0}},  // the high byte is not part of the colour
        {-1, {255, 255, 255}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(CVexilLowLevel::RgbEqual(CVexilLowLevel::LongToRgb(c.Color), c.Rgb)) << c.Color;
    EXPECT_FALSE(CVexilLowLevel::RgbEqual({1, 2, 3}, {1, 2, 4}));
    EXPECT_FALSE(CVexilLowLevel::RgbEqual({1, 2, 3}, {0, 2, 3}));
    EXPECT_FALSE(CVexilLowLevel::RgbEqual({1, 2, 3}, {1, 0, 3}));
}
