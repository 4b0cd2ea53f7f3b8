// CSV export: the file form byte for byte, replacing an old file safely, and round trips
// through the import.

#include "CsvFixture.h"

#include "RaisedError.h"
#include "StackBuild.h"
#include "ValueBuild.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilValue.h"
#include "interchange/VexilExports.h"
#include "model/VexilStackHost.h"

class CsvExportTest : public CsvFixture
{
protected:
    void SetUp() override
    {
        CVexilExports::InitExports();
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Test"));
        iBackground = FirstBackground(*iStack);
    }

    TCardRef AddCard(const std::vector<TValue>& aValues)
    {
        const TCardRef card = NewCard(*iStack, QStringLiteral("c"), iBackground);
        const auto fields = Fields(*iBackground);
        for (size_t i = 0; i < aValues.size(); ++i)
            card->SetControlVal(fields[i]->Id(), aValues[i]);
        return card;
    }

    QByteArray Export(const QString& aDelim = QStringLiteral(","))
    {
        const QString file = iDir.File(QStringLiteral("out.csv"));
        CVexilExports::ExportCsv(file, *iStack, iBackground, aDelim);
        return FileContent(file);
    }

    TStackRef iStack;
    TControlSetRef iBackground;
};

TEST_F(CsvExportTest, QuotedItemsWithEachDelimiter)
{
    NewField(*iStack, *iBackground, QStringLiteral("Name"), EConTypeText);
    NewField(*iStack, *iBackground, QStringLiteral("Phone"), EConTypeText);
    AddCard({Val::Str(QStringLiteral("12\" disk")), Val::Str(QStringLiteral("a\r\nb"))});
    for (const char* delim : {",", ";", "\t"})
    {
        QByteArray expected = "\"Name\",\"Phone\"\r\n\"12\"\" disk\",\"a&eol;b\"\r\n";
        expected.replace(',', delim);
        EXPECT_EQ(Export(QString::fromLatin1(delim)), expected) << delim;
    }
}

TEST_F(CsvExportTest, NoCardsGiveTheHeaderAndNoFieldsEmptyLines)
{
    NewField(*iStack, *iBackground, QStringLiteral("Name"), EConTypeText);
    EXPECT_EQ(Export(), QByteArray("\"Name\"\r\n"));

    iStack = std::make_shared<CVexilStack>();
    iStack->Construct(QStringLiteral("Bare"));
    iBackground = FirstBackground(*iStack);
    AddCard({});
    AddCard({});
    EXPECT_EQ(Export(), QByteArray("\r\n\r\n\r\n"));
}

TEST_F(CsvExportTest, RealsAreTheDisplayTextOfTheLocale)
{
    const TControlRef price = NewField(*iStack, *iBackground, QStringLiteral("Price"), EConTypeReal);
    price->SetDigits(2);
    AddCard({Val::Real(1234.5)});
    EXPECT_EQ(Export(), QByteArray("\"Price\"\r\n\"1,234.50\"\r\n"));
    const LocaleScope comma(kCommaLocale);
    EXPECT_EQ(Export(QStringLiteral(";")), QByteArray("\"Price\"\r\n\"1.234,50\"\r\n"));
}

TEST_F(CsvExportTest, TextsBeyondTheCodePageAreWrittenAsUtf8WithByteOrderMark)
{
    NewField(*iStack, *iBackground, QStringLiteral("Name"), EConTypeText);
    AddCard({Val::Str(QStringLiteral("Zoë €"))});
    EXPECT_EQ(Export(), QByteArray("\"Name\"\r\n\"Zo\xEB \x80\"\r\n"));
    AddCard({Val::Str(QStringLiteral("Ωmega"))});
    const QByteArray utf8 = Export();
    EXPECT_EQ(utf8, "\xEF\xBB\xBF" + QStringLiteral("\"Name\"\r\n\"Zoë €\"\r\n\"Ωmega\"\r\n").toUtf8());
    // The import reads it back whole.
    const TStackRef back = Import(utf8);
    const auto values = Values(*back, *Fields(*FirstBackground(*back)).at(0));
    EXPECT_EQ(values.at(1).iStr, QStringLiteral("Ωmega"));
}

TEST_F(CsvExportTest, FailedWriteReportsAndLeavesTheOldFile)
{
    NewField(*iStack, *iBackground, QStringLiteral("Name"), EConTypeText);
    AddCard({Val::Str(QStringLiteral("new"))});
    const QString file = SetFileContent(iDir.File(QStringLiteral("out.csv")), "old content");
    CVexilFileBuffer::FailWriteAfter(1);
    EXPECT_NE(RaisedError([&] { CVexilExports::ExportCsv(file, *iStack, iBackground, QStringLiteral(",")); }), 0);
    CVexilFileBuffer::FailWriteAfter(0);
    EXPECT_EQ(FileContent(file), QByteArray("old content"));
    EXPECT_EQ(QDir(iDir.Path()).entryList(QDir::Files), QStringList{QStringLiteral("out.csv")});
}

TEST_F(CsvExportTest, BackgroundOfAnotherStackIsRefusedBeforeTheFileIsTouched)
{
    const QString file = SetFileContent(iDir.File(QStringLiteral("out.csv")), "old content");
    CVexilStack other;
    other.Construct(QStringLiteral("Other"));
    EXPECT_EQ(RaisedError([&] { CVexilExports::ExportCsv(file, other, iBackground, QStringLiteral(",")); }),
              EMsgBackgroundNotFound);
    EXPECT_EQ(FileContent(file), QByteArray("old content"));
}

// Every detectable type comes back with its type and value; the same file into its own
// background puts the new cards where the old ones stood.
TEST_F(CsvExportTest, RoundTripThroughANewStackAndTheSameBackground)
{
    for (const bool comma : {false, true})
    {
        SCOPED_TRACE(comma ? "comma locale" : "dot locale");
        const LocaleScope locale(comma ? kCommaLocale : kDotLocale);
        SetUp();
        const int32_t types[] = {EConTypeText,  EConTypeInteger, EConTypeReal, EConTypeDate,
                                 EConTypeTime,  EConTypeBoolean, EConTypeText};
        for (const int32_t type : types)
            NewField(*iStack, *iBackground, QStringLiteral("F%1").arg(type), type)->SetDigits(2);
        const TControlSetRef other = NewBackground(*iStack, QStringLiteral("Other"));
        NewCard(*iStack, QStringLiteral("before"), other);
        AddCard({Val::Str(QStringLiteral("Ann")), Val::Int(1), Val::Real(1234.5), Val::Date(QDate(2023, 5, 17)),
                 Val::Time(QTime(9, 30, 15)), Val::Bool(true), Val::Str(QStringLiteral("two\r\nlines"))});
        AddCard({Val::Str(QStringLiteral("Bob")), Val::Int(-20), Val::Real(2), Val::Date(QDate(1999, 12, 31)),
                 Val::Time(QTime(23, 0, 0)), Val::Bool(false), Val::Str(QStringLiteral("say \"hi\""))});
        NewCard(*iStack, QStringLiteral("after"), other);
        const QByteArray csv = Export();

        const TStackRef back = Import(csv);
        const auto fields = Fields(*FirstBackground(*back));
        const auto oldFields = Fields(*iBackground);
        ASSERT_EQ(fields.size(), oldFields.size());
        const auto oldCards = Cards(*iStack, iBackground->Id());
        for (size_t i = 0; i < fields.size(); ++i)
        {
            EXPECT_EQ(fields[i]->ConType(), oldFields[i]->ConType()) << i;
            const auto values = Values(*back, *fields[i]);
            for (size_t c = 0; c < oldCards.size(); ++c)
            {
                TValue old;
                oldCards[c]->GetControlVal(oldFields[i]->Id(), old, true);
                if (i == 6 && c == 0)
                    old.iStr = QStringLiteral("two&eol;lines");
                EXPECT_TRUE(CVexilValue::Equal(values.at(c), old))
                    << i << "/" << c << ": " << CVexilValue::ValToIntText(values.at(c)).toStdString();
            }
        }

        TCardRef before;
        bool found = false;
        CVexilStackHost::GetCardAfterBackground(*iBackground, before, found);
        iStack->DeleteBackground(iBackground, true);
        CVexilImports import;
        ASSERT_TRUE(import.ReadCsv(Options(iDir.File(QStringLiteral("out.csv")))));
        import.FillCsvBackground(*iStack, iBackground, before);
        QStringList order;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCard(card, cursor); more; more = iStack->GetNextCard(card, cursor))
            order << card->Name();
        EXPECT_EQ(order, (QStringList{"before", "1", "2", "after"}));
        EXPECT_EQ(Fields(*iBackground).at(3)->ConType(), EConTypeDate);
        TValue day;
        Cards(*iStack, iBackground->Id()).at(1)->GetControlVal(oldFields[3]->Id(), day, false);
        EXPECT_EQ(CVexilValue::ValToIntText(day), QStringLiteral("19991231"));
    }
}

// Into its own background, a column serves its field: a picture or command field takes no
// value, and a field of another type than the column's detected one reads the item itself.
TEST_F(CsvExportTest, OwnExportGoesBackIntoABackgroundWithPicturesAndOtherTypes)
{
    const TControlRef code = NewField(*iStack, *iBackground, QStringLiteral("Code"), EConTypeText);
    const TControlRef picture = NewField(*iStack, *iBackground, QStringLiteral("Pic"), EConTypePicture);
    NewField(*iStack, *iBackground, QStringLiteral("Go"), EConTypeCommand);
    const TControlRef age = NewField(*iStack, *iBackground, QStringLiteral("Age"), EConTypeInteger);
    AddCard({Val::Str(QStringLiteral("1")), TValue{}, TValue{}, Val::Int(30)});
    AddCard({Val::Str(QStringLiteral("2")), TValue{}, TValue{}, Val::Int(40)});
    Export();
    iStack->DeleteBackground(iBackground, true);
    CVexilImports import;
    ASSERT_TRUE(import.ReadCsv(Options(iDir.File(QStringLiteral("out.csv")))));
    EXPECT_EQ(import.ColType(0), EConTypeInteger);
    import.FillCsvBackground(*iStack, iBackground, nullptr);
    const auto cards = Cards(*iStack, iBackground->Id());
    ASSERT_EQ(cards.size(), 2u);
    TValue val;
    cards[1]->GetControlVal(code->Id(), val, false);
    EXPECT_EQ(val.iType, EValStr);
    EXPECT_EQ(val.iStr, QStringLiteral("2"));
    EXPECT_FALSE(cards[1]->ControlValDef(picture->Id()));
    cards[1]->GetControlVal(age->Id(), val, false);
    EXPECT_EQ(val.iInt, 40);
}
