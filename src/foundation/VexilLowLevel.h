#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Red, green and blue parts (0..255) of a colour value whose lowest byte is red.
struct TRgb
{
    int16_t Red = 0;
    int16_t Green = 0;
    int16_t Blue = 0;
};

// The program's direct uses of the operating system that need no window: file times, HTTP dates,
// local/GMT conversion, the documents folder, UTF-8, help topics and colour triples.
// Dates are day counts since 1899-12-30 with the time of day as the fraction, in local time
// unless the name says GMT. Time zones follow the TZ rules of the C library, read on every call.
class CVexilLowLevel
{
public:
    // --- HTTP dates (the transfer server) ---
    // "Sun, 06 Nov 1994 08:49:37 GMT": the local date and time converted to GMT, English names.
    static QString HttpDateStr(double aLocal);
    // The same text of a GMT date and time, which no local time stands between: exact also in
    // the hour that the clock repeats when daylight saving ends.
    static QString HttpDateStrGmt(double aGmt);
    // Reads the RFC 1123 form by fixed columns after the first blank and returns the local date and
    // time; any text that is not such a date (network input) gives no value and asks nothing.
    static std::optional<double> HeaderTime(const QString& aText);
    // The same, returning the GMT date and time as written.
    static std::optional<double> HeaderTimeGmt(const QString& aText);

    // --- file times ---
    // Sets the last-write time of an existing file (access time unchanged); never creates the file.
    // Failures are not reported to the user: the result says whether it worked.
    static bool SetFileModTime(const QString& aFileName, double aLocal);
    static bool SetFileModTimeGmt(const QString& aFileName, double aGmt);
    // The file's last-write time as local date and time; no value when the file cannot be read.
    static std::optional<double> FileModTime(const QString& aFileName);
    static std::optional<double> FileModTimeGmt(const QString& aFileName);

    // --- time zones ---
    static double GmtToLocal(double aGmt);
    // In the repeated hour at the end of daylight saving the standard-time reading is taken;
    // a local time that does not exist (the skipped hour) is read with the standard offset.
    static double LocalToGmt(double aLocal);

    // --- documents folder ---
    // The "Quorvans" folder in the user's documents folder when it exists, else the empty string.
    // The documents folder is created when missing, the "Quorvans" folder never.
    static QString GetDocDir();
    // The documents folder used from now on; empty (the start value) for the user's own.
    static void SetDocumentsFolder(const QString& aFolder);

    // --- text coding ---
    static QByteArray ToUtf8(const QString& aText);
    static QString FromUtf8(const QByteArray& aBytes);

    // --- help ---
    // The topic of a window (class name such as "CVexilStackEdit") and an optional control name.
    // The message box's topic is followed by the name of the last message shown.
    static QString HelpTopic(const QString& aWindowClass, const QString& aControlName = {});
    // The help collection: the first of HelpFileSought that exists, else the empty string (a
    // broken install).
    static QString HelpFile();
    // Where the collection is sought: the file set by SetHelpFile alone, else the places of
    // HelpFilePlaces of the program's folder.
    static QStringList HelpFileSought();
    // Where a program in aProgramFolder has its help collection "Quorvans.qhc", in this order:
    // beside the program (the build tree), then in the share folder of the installed program.
    static QStringList HelpFilePlaces(const QString& aProgramFolder);
    // The collection used from now on whether it exists or not; empty (the start value) for the
    // program's own places.
    static void SetHelpFile(const QString& aFile);

    // --- colours ---
    static TRgb LongToRgb(int32_t aColor);
    static bool RgbEqual(const TRgb& aA, const TRgb& aB);
};
