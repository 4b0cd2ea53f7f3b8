#include "AssertAnswers.h"
#include "QStringPrinter.h"
#include "TempRegistry.h"
#include "TestFiles.h"
#include "platform/VexilReg.h"

#include <QFile>

#include <gtest/gtest.h>

namespace
{

QString Read(const QString& aSection, const QString& aName, bool& aFound)
{
    QString text = QStringLiteral("stale");
    CVexilReg::GetVal(aSection, aName, text, aFound);
    return text;
}

// Every text reads back as written, also from a copy of the file that nothing has cached.
TEST(Registry, TextsReadBackUnchanged)
{
    TempRegistry registry;
    const QString texts[] = {
        QStringLiteral("a,b"),
        QStringLiteral("a, b, c"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("\"a\",\"b\""),
        QStringLiteral("@abc"),
        QStringLiteral("@@abc"),
        QStringLiteral("@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)"),
        QStringLiteral("@ByteArray(xy)"),
        QStringLiteral("C:\\Users\\me\\Quorvans"),
        QStringLiteral("ends with \\"),
        QStringLiteral("/home/me/My Stacks/R&D.Quorvan"),
        QStringLiteral("  blanks around  "),
        QStringLiteral("x;y #z =w [s]"),
        QStringLiteral("tab\there"),
        QStringLiteral("two\r\nlines"),
        QStringLiteral("%41%"),
        QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c"),
        QStringLiteral("True"),
    };
    int i = 0;
    for (const QString& text : texts)
        CVexilReg::PutVal(CVexilReg::KOptions, QStringLiteral("Text%1").arg(i++), text);

    const QString copy = registry.Folder() + QStringLiteral("/copy.ini");
    ASSERT_TRUE(QFile::copy(registry.FileName(), copy));
    for (const QString& file : {registry.FileName(), copy})
    {
        CVexilReg::SetFileName(file);
        i = 0;
        for (const QString& text : texts)
        {
            bool found = false;
            EXPECT_EQ(Read(CVexilReg::KOptions, QStringLiteral("Text%1").arg(i++), found), text);
            EXPECT_TRUE(found) << text.toStdString();
        }
    }
}

TEST(Registry, EmptyAndMissingValuesAreNotFound)
{
    TempRegistry registry;
    bool found = true;
    EXPECT_EQ(Read(CVexilReg::KOptions, QStringLiteral("Nothing"), found), QString());
    EXPECT_FALSE(found);
    EXPECT_FALSE(QFile::exists(registry.FileName()));

    CVexilReg::PutVal(CVexilReg::KOptions, QStringLiteral("Empty"), QString());
    found = true;
    EXPECT_EQ(Read(CVexilReg::KOptions, QStringLiteral("Empty"), found), QString());
    EXPECT_FALSE(found);
    // Written all the same: the file holds the key.
    EXPECT_TRUE(FileContent(registry.FileName()).contains("Options\\Empty="));
}

TEST(Registry, SectionsKeepTheirOwnValues)
{
    TempRegistry registry;
    CVexilReg::PutVal(CVexilReg::KOptions, QStringLiteral("CVexilFrame"), QStringLiteral("option"));
    CVexilReg::PutVal(CVexilReg::KWindows, QStringLiteral("CVexilFrame"), QStringLiteral("0,0,9000,6000"));
    bool found = false;
    EXPECT_EQ(Read(CVexilReg::KOptions, QStringLiteral("CVexilFrame"), found), QStringLiteral("option"));
    EXPECT_EQ(Read(CVexilReg::KWindows, QStringLiteral("CVexilFrame"), found), QStringLiteral("0,0,9000,6000"));
    // The group "1.x" holds both sections.
    const QByteArray content = FileContent(registry.FileName());
    EXPECT_TRUE(content.startsWith("[1.x]")) << content.constData();
    EXPECT_TRUE(content.contains("Windows\\CVexilFrame=")) << content.constData();
}

// A file edited by hand may hold values that are no single text: they read as missing.
TEST(Registry, ValuesThatAreNoSingleTextAreMissing)
{
    TempRegistry registry;
    SetFileContent(registry.FileName(), "[1.x]\n"
                                        "Options\\List=a, b\n"
                                        "Options\\Quoted=\"a, b\"\n"
                                        "Options\\Bytes=@ByteArray(xy)\n"
                                        "Options\\Number=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                                        "Options\\Plain=C:\\\\Stacks\n"
                                        "Options\\Digits=5\n");
    const struct
    {
        const char* Name;
        QString Text;
    } cases[] = {
        {"List", QString()},
        {"Quoted", QStringLiteral("a, b")},
        {"Bytes", QString()},
        {"Number", QString()},
        {"Plain", QStringLiteral("C:\\Stacks")},
        {"Digits", QStringLiteral("5")},
    };
    for (const auto& c : cases)
    {
        bool found = !c.Text.isEmpty();
        EXPECT_EQ(Read(CVexilReg::KOptions, QString::fromLatin1(c.Name), found), c.Text) << c.Name;
        EXPECT_EQ(found, !c.Text.isEmpty()) << c.Name;
    }
}

// A store that cannot be written fails the assertion that names the value; going on, the
// next value is still tried.
TEST(Registry, AFailedWriteNamesEachValue)
{
    TempDir dir;
    const QString notAFolder = SetFileContent(dir.File(QStringLiteral("plain")), "x");
    CVexilReg::SetFileName(notAFolder + QStringLiteral("/Quorvans.ini"));
    {
        IgnoredAssert single(QStringLiteral("PutVal res 1, key=AutoLoadName"));
        CVexilReg::PutVal(CVexilReg::KOptions, QStringLiteral("AutoLoadName"), QStringLiteral("a"));
    }
    auto& prompts = ScriptedPrompts::Instance();
    prompts.Reset();
    prompts.ExpectMessage(true);
    prompts.ExpectMessage(true);
    CVexilReg::PutVals(CVexilReg::KOptions, {{QStringLiteral("StackFolder"), QStringLiteral("b")},
                                             {QStringLiteral("ShowWelcome"), QStringLiteral("True")}});
    ASSERT_EQ(prompts.Messages().size(), 2U);
    EXPECT_TRUE(prompts.Messages()[0].Text.contains(QStringLiteral("< PutVal res 1, key=StackFolder >")));
    EXPECT_TRUE(prompts.Messages()[1].Text.contains(QStringLiteral("< PutVal res 1, key=ShowWelcome >")));

    // Answered No, the write raises the assertion error to the caller.
    RefusedCheck([] { CVexilReg::PutVal(CVexilReg::KWindows, QStringLiteral("X"), QStringLiteral("c")); });
    CVexilReg::SetFileName(QString());
}

}  // namespace
