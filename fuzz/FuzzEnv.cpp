#include "FuzzEnv.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "model/VexilClock.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
class AnsweringPrompts : public IVexilPrompts
{
public:
    bool MessageBox(const TMsgPrompt& aPrompt) override
    {
        if (aPrompt.Id == EMsgAssertFailedOk && !iAnswerAssertions)
            Finding("assertion question", aPrompt.Text);
        return false;
    }
    void Notice(const QString&) override {}
    bool ChooseColor(int32_t&) override { return false; }
    bool ChooseFont(TFontPrompt&) override { return false; }
    int16_t SaveChanges() override { return 2; }
    bool FileDialog(const TFileDialogPrompt&, QString&) override { return false; }
    QString BrowseForFolder(const QString&) override { return {}; }

    bool iAnswerAssertions = false;
};

AnsweringPrompts gPrompts;

QTemporaryDir& TempFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quorvans-fuzz-XXXXXX"));
    return folder;
}
}  // namespace

void InitFuzzEnvironment()
{
    qputenv("LC_ALL", "C.UTF-8");
    // A zone whose clock turns back, so that local times meet the hours that are missing or
    // repeated; and set, so that the C library reads the zone once instead of at every conversion.
    qputenv("TZ", "Europe/Berlin");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CVexilMsg::InitMsg();
    CVexilPrompts::Install(&gPrompts);
    // Stamps of new cards and pictures must not make two runs of one input differ.
    CVexilClock::SetSource([] { return QDateTime(QDate(2024, 3, 1), QTime(9, 30, 15)); });
    if (!TempFolder().isValid())
        Finding("no temporary folder");
}

void AnswerAssertions()
{
    gPrompts.iAnswerAssertions = true;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    InitFuzzEnvironment();
    return 0;
}

void Finding(const char* aWhat, const QString& aDetail)
{
    std::fprintf(stderr, "==== FINDING: %s\n%s\n", aWhat, aDetail.toLocal8Bit().constData());
    std::fflush(stderr);
    __builtin_trap();
}

QString ErrorText(const std::exception& aError)
{
    const TErrInfo info = CVexilError::GetErrInfo();
    return QStringLiteral("%1\ncontext: %2\nparameters: %3 | %4")
        .arg(QString::fromLocal8Bit(aError.what()), info.Context, info.Param1, info.Param2);
}

QString FuzzPath(const QString& aName)
{
    return TempFolder().filePath(aName);
}

QString WriteFuzzFile(const QString& aName, const QByteArray& aBytes)
{
    const QString path = FuzzPath(aName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(aBytes) != aBytes.size())
        Finding("cannot write", path);
    return path;
}

QByteArray ReadFuzzFile(const QString& aPath)
{
    QFile file(aPath);
    if (!file.open(QIODevice::ReadOnly))
        Finding("cannot read", aPath);
    return file.readAll();
}
