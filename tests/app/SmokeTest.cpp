// The built program, started as a user starts it and ended by a termination request.

#include "StackBuild.h"
#include "TestEnv.h"
#include "ValueBuild.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace
{
QByteArray Bytes(const QString& aPath)
{
    QFile file(aPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small stack file of two cards.
void MakeStack(const QString& aPath)
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("People"));
    const TControlSetRef person = stack->Background(0);
    const TControlRef name = NewField(*stack, *person, QStringLiteral("Name"), EConTypeText);
    name->SetFlags(EConInCardView | EConCardName);
    for (const char* card : {"Anna", "Bert"})
        NewCard(*stack, QLatin1String(card), person)->SetControlVal(name->Id(), Val::Str(QLatin1String(card)));
    auto rec = std::make_shared<CVexilStackViewRec>();
    rec->Contruct(QStringLiteral("View"));
    CVexilStackFile file;
    file.Construct(aPath);
    file.SaveStack(stack, rec);
}

// Whether the process has its own handler of SIGTERM (set from the first line of main).
bool CatchesTerm(qint64 aPid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(aPid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}
}  // namespace

TEST(Program, ATerminationRequestRightAfterTheStartEndsItThroughTheCloseQuery)
{
    TempDir home;
    const QString work = home.File(QStringLiteral("work"));
    ASSERT_TRUE(QDir().mkpath(work));
    const QString stack = QDir(work).filePath(QStringLiteral("People.Quorvan"));
    MakeStack(stack);
    const QByteArray saved = Bytes(stack);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.Path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.File(QStringLiteral(".config")));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A Qt option first: the stack is the first argument that is not one.
    program.start(QStringLiteral(QUORVANS_PROGRAM),
                  {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("People.Quorvan")});
    ASSERT_TRUE(program.waitForStarted(10000));

    // The request is sent as soon as main has begun; it is carried out once the program runs.
    QElapsedTimer waited;
    waited.start();
    while (!CatchesTerm(program.processId()) && waited.elapsed() < 20000)
        QThread::msleep(1);
    ASSERT_TRUE(CatchesTerm(program.processId()));
    ASSERT_EQ(::kill(pid_t(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    EXPECT_EQ(Bytes(stack), saved);
    const QSettings settings(home.File(QStringLiteral(".config/Fennoware/Quorvans.ini")), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("1.x/Options/FileHistory0")).toString(), QDir::toNativeSeparators(stack));
    EXPECT_FALSE(settings.value(QStringLiteral("1.x/Windows/CVexilFrame")).toString().isEmpty());
}
