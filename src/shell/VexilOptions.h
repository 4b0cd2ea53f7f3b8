#pragma once

#include "foundation/VexilStackFolder.h"

#include <QString>

#include <array>

// The options, one program-wide variable per key of the section "Options" (gStackFolder is the
// transfer server's), valid once CVexilOptions::LoadOptions has run.
inline QString gAutoLoadName;
inline bool gShowWelcome = true;
inline QString gLoadDialogInitDir;
inline QString gImportCsvDialogInitDir;
inline QString gImportXmlDialogInitDir;
inline QString gImportHandBaseDialogInitDir;
inline QString gImportQuorvanDialogInitDir;
inline QString gImportTextDialogInitDir;
inline QString gImportPicDialogInitDir;
inline QString gExportCsvDialogInitDir;
inline QString gCsvExportDelimiter;
inline QString gExportXmlDialogInitDir;
inline bool gCsvDetectTypes = true;
inline bool gCsvGuessKey = true;
inline bool gCsvTryCardName = true;
inline bool gSuppressFontInfo = false;

// The stack files used last, newest first: full paths or empty.
inline constexpr int KFileHistorySize = 7;
using TFileHistory = std::array<QString, KFileHistorySize>;
inline TFileHistory gFileHistory;

// One item of the "Open &Recent" submenu.
struct TRecentItem
{
    QString Caption;
    QString Path;  // the file the item opens; empty for an item that opens nothing
    bool Enabled = false;
};
using TRecentItems = std::array<TRecentItem, KFileHistorySize>;

// Loads and saves the options and the recent-file list in the section "Options" of the
// registry, in one fixed order of keys, and keeps that list: seven entries, newest first, no
// path twice (compared exactly) when it only changes through AddFileHistory.
class CVexilOptions
{
public:
    // A missing option takes its default: StackFolder the documents folder's "Quorvans" folder,
    // LoadDialogInitDir the stack folder, the Booleans their own defaults, other texts "".
    static void LoadOptions();
    // Writes every option and every recent-file entry, the empty ones too.
    static void SaveOptions();
    // "True" and "False" in any case; any other text or none gives the default.
    static void GetBoolOption(const QString& aKey, bool& aResult, bool aDefault);
    static void PutBoolOption(const QString& aKey, bool aValue);
    // Puts the file at the top; a file already listed moves there without another one lost.
    static void AddFileHistory(const QString& aFileName);
    // The submenu of the list: oldest first, the newest file the last enabled item. An item
    // shows the file's name without its folder, each "&" doubled; an empty entry, and every
    // item past the oldest file, shows "()" and is disabled.
    static TRecentItems RecentItems(const TFileHistory& aHistory);

    // The developer switch: the program runs from the developer's folder (the Debug menu shows).
    static bool IsDevMachine();
    // Whether a program folder is the developer's: its first seven characters are KDevFolder,
    // compared with case.
    static bool IsDevFolder(const QString& aProgramFolder);
    static inline const QString KDevFolder = QStringLiteral("/qvdev/");
};
