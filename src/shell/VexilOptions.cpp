#include "shell/VexilOptions.h"

#include "foundation/VexilLib.h"
#include "foundation/VexilLowLevel.h"
#include "platform/VexilReg.h"

#include <QCoreApplication>

namespace
{
// An option of the section, text or Boolean, with what a missing text becomes.
struct TOption
{
    const char* Key;
    QString* Text;
    bool* Bool;
    bool BoolDefault;
    QString (*TextDefault)();
};

QString StackFolderDefault()
{
    return CVexilLowLevel::GetDocDir();
}

// Read after StackFolder, so that the Open dialog starts in the stack folder until the user
// chose a folder of his own.
QString LoadDialogInitDirDefault()
{
    return gStackFolder;
}

// In the order in which they are loaded and saved.
const TOption kOptions[] = {
    {"AutoLoadName", &gAutoLoadName, nullptr, false, nullptr},
    {"StackFolder", &gStackFolder, nullptr, false, StackFolderDefault},
    {"ShowWelcome", nullptr, &gShowWelcome, true, nullptr},
    {"LoadDialogInitDir", &gLoadDialogInitDir, nullptr, false, LoadDialogInitDirDefault},
    {"ImportCsvDialogInitDir", &gImportCsvDialogInitDir, nullptr, false, nullptr},
    {"ImportXmlDialogInitDir", &gImportXmlDialogInitDir, nullptr, false, nullptr},
    {"ImportHandBaseDialogInitDir", &gImportHandBaseDialogInitDir, nullptr, false, nullptr},
    {"ImportQuorvanDialogInitDir", &gImportQuorvanDialogInitDir, nullptr, false, nullptr},
    {"ImportTextDialogInitDir", &gImportTextDialogInitDir, nullptr, false, nullptr},
    {"ImportPicDialogInitDir", &gImportPicDialogInitDir, nullptr, false, nullptr},
    {"ExportCsvDialogInitDir", &gExportCsvDialogInitDir, nullptr, false, nullptr},
    {"CsvExportDelimiter", &gCsvExportDelimiter, nullptr, false, nullptr},
    {"ExportXmlDialogInitDir", &gExportXmlDialogInitDir, nullptr, false, nullptr},
    {"CsvDetectTypes", nullptr, &gCsvDetectTypes, true, nullptr},
    {"CsvGuessKey", nullptr, &gCsvGuessKey, true, nullptr},
    {"CsvTryCardName", nullptr, &gCsvTryCardName, true, nullptr},
    {"SuppressFontInfo", nullptr, &gSuppressFontInfo, false, nullptr},
};

QString BoolText(bool aValue)
{
    return aValue ? QStringLiteral("True") : QStringLiteral("False");
}

QString FileHistoryKey(int aIndex)
{
    return QStringLiteral("FileHistory") + QString::number(aIndex);
}
}  // namespace

void CVexilOptions::LoadOptions()
{
    for (const TOption& option : kOptions)
    {
        const QString key = QString::fromLatin1(option.Key);
        if (option.Bool)
        {
            GetBoolOption(key, *option.Bool, option.BoolDefault);
            continue;
        }
        bool found = false;
        CVexilReg::GetVal(CVexilReg::KOptions, key, *option.Text, found);
        if (!found && option.TextDefault)
            *option.Text = option.TextDefault();
    }
    for (int i = 0; i < KFileHistorySize; ++i)
    {
        bool found = false;
        CVexilReg::GetVal(CVexilReg::KOptions, FileHistoryKey(i), gFileHistory[size_t(i)], found);
    }
}

void CVexilOptions::SaveOptions()
{
    QList<std::pair<QString, QString>> values;
    for (const TOption& option : kOptions)
        values.append({QString::fromLatin1(option.Key), option.Bool ? BoolText(*option.Bool) : *option.Text});
    for (int i = 0; i < KFileHistorySize; ++i)
        values.append({FileHistoryKey(i), gFileHistory[size_t(i)]});
    CVexilReg::PutVals(CVexilReg::KOptions, values);
}

void CVexilOptions::GetBoolOption(const QString& aKey, bool& aResult, bool aDefault)
{
    QString text;
    bool found = false;
    CVexilReg::GetVal(CVexilReg::KOptions, aKey, text, found);
    const QString upper = text.toUpper();
    if (upper == QLatin1String("TRUE"))
        aResult = true;
    else if (upper == QLatin1String("FALSE"))
        aResult = false;
    else
        aResult = aDefault;
}

void CVexilOptions::PutBoolOption(const QString& aKey, bool aValue)
{
    CVexilReg::PutVal(CVexilReg::KOptions, aKey, BoolText(aValue));
}

void CVexilOptions::AddFileHistory(const QString& aFileName)
{
    // The listed entry is taken out (the last one doubled for the moment), then all move down
    // one place, which drops the last entry, and the file goes on top.
    for (int i = 0; i < KFileHistorySize; ++i)
    {
        if (gFileHistory[size_t(i)] == aFileName)
        {
            for (int k = i; k < KFileHistorySize - 1; ++k)
                gFileHistory[size_t(k)] = gFileHistory[size_t(k) + 1];
            break;
        }
    }
    for (int k = KFileHistorySize - 1; k > 0; --k)
        gFileHistory[size_t(k)] = gFileHistory[size_t(k) - 1];
    gFileHistory[0] = aFileName;
}

TRecentItems CVexilOptions::RecentItems(const TFileHistory& aHistory)
{
    TRecentItems items;
    for (TRecentItem& item : items)
        item.Caption = QStringLiteral("()");
    int oldest = KFileHistorySize - 1;
    while (oldest >= 0 && aHistory[size_t(oldest)].isEmpty())
        --oldest;
    for (int i = 0; i <= oldest; ++i)
    {
        const QString& path = aHistory[size_t(oldest - i)];
        if (path.isEmpty())
            continue;
        QString folder;
        QString name;
        CVexilLib::SplitPath(path, folder, name);
        TRecentItem& item = items[size_t(i)];
        item.Caption = name.replace(QLatin1Char('&'), QLatin1String("&&"));
        item.Path = path;
        item.Enabled = true;
    }
    return items;
}

bool CVexilOptions::IsDevMachine()
{
    return IsDevFolder(QCoreApplication::applicationDirPath());
}

bool CVexilOptions::IsDevFolder(const QString& aProgramFolder)
{
    return aProgramFolder.left(KDevFolder.size()) == KDevFolder;
}
