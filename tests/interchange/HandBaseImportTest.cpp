// The HanDBase reader and import: fields, types, card names and values of databases built
// byte by byte, and hostile files, each of which is error 1007 naming the file.

#include "InterchangeFixture.h"
#include "PdbBuilder.h"
#include "interchange/VexilHandBaseImport.h"
#include "interchange/VexilPdbFile.h"

#include <functional>

#include <ostream>

namespace
{
using P = PdbBuilder;

struct TImportCase
{
    const char* Name;
    std::function<PdbBuilder()> Build;
    const char* Expected;  // Describe() of the new stack
};

// Cases show their names in test output.
void PrintTo(const TImportCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

// Fields of every type, a pop-up list of two entries, three records that end in different ways.
PdbBuilder MixedHand()
{
    P pdb;
    pdb.Field(1, "Name").Field(2, "Count").Field(4, "Colour").Field(4, "Shade").Field(3, "Price");
    pdb.Field(8, "Born").Field(8, "Died").Field(5, "Ok").Field(1, "Empty").Field(1, "Nul").Field(1, "A");
    pdb.Field(12, "Note").Field(7, "Odd").Field(0, "Gap").Field(1, "Last").Field(0, "Trailing");
    pdb.Lists({{"red-key", "Red"}, {"blue-key", "Blue"}});
    pdb.Values({P::Text("First"), P::Int(-42), P::Popup("blue-key"), P::Popup("nokey"), P::Text("3.5abc"), P::Days(0),
                P::Days(-1), P::Bool(true), P::Raw(""), P::Raw(QByteArray(1, '\0')), P::Raw("A"), P::Raw("AB"),
                P::Text("never read")});
    pdb.Values({P::Text("Second"), P::Int(7), P::Popup("red-key"), P::End(), P::Text("after the end")});
    pdb.Values({P::Text("Third"), P::Int(1), P::Popup("red-key"), P::Popup("red-key"), P::Raw(""), P::Days(1),
                P::Days(366), P::Bool(false), P::Text(""), P::Text("x"), P::Text("y"), P::Text("note"),
                P::Raw("xyz"), P::Raw("qq"), P::Text("end")});
    return pdb;
}

const TImportCase kImportCases[] = {
    {"every type and three kinds of record end", MixedHand,
     "First Background: Name:Text Count:Integer Colour:Text Shade:Text Price:Real Born:Date Died:Date Ok:Boolean "
     "Empty:Text Nul:Text A:Text Note:Text Odd:Text Gap:Text Last:Text\n"
     "1: First|-42|Blue|**value not found**|3.5|19040101|19031231|-1|~|~|**DropDown**|~|~|~|~\n"
     "2: Second|7|Red|~|~|~|~|~|~|~|~|~|~|~|~\n"
     "3: Third|1|Red|Red|0|19040102|19050101|0|~|x|y|note|**unsupported**|~|end"},
    {"21 fields: the 21st is undefined",
     [] {
         P pdb;
         QList<QByteArray> values;
         for (int i = 1; i <= 21; ++i)
         {
             pdb.Field(1, "F" + QByteArray::number(i));
             values.append(P::Text("v" + QByteArray::number(i)));
         }
         pdb.Lists();
         pdb.Values(values);
         return pdb;
     },
     "First Background: F1:Text F2:Text F3:Text F4:Text F5:Text F6:Text F7:Text F8:Text F9:Text F10:Text F11:Text "
     "F12:Text F13:Text F14:Text F15:Text F16:Text F17:Text F18:Text F19:Text F20:Text F21:Text\n"
     "1: v1|v2|v3|v4|v5|v6|v7|v8|v9|v10|v11|v12|v13|v14|v15|v16|v17|v18|v19|v20|~"},
    {"exactly 100 records: lists only",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         pdb.Lists({{"k", "v"}});
         return pdb;
     },
     "First Background: Name:Text"},
    {"an absent list among the first 100: data still from index 100",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         for (int i = 0; i < 100; ++i)
             i == 5 ? pdb.Absent() : pdb.Record(P::DropDown({}));
         pdb.Values({P::Text("one")});
         pdb.Values({P::Text("two")});
         return pdb;
     },
     "First Background: Name:Text\n1: one\n2: two"},
    {"a zero-length record takes no other record's values",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         pdb.Lists();
         const int first = pdb.Values({P::Text("one")});
         pdb.SameAs(first);
         pdb.Values({P::Text("two")});
         return pdb;
     },
     "First Background: Name:Text\n1: one\n2: two"},
    {"two lists at one offset: the earlier is empty, the later has the bytes",
     [] {
         P pdb;
         pdb.Field(4, "Colour");
         const int first = pdb.Record(P::DropDown({{"red-key", "Red"}}));
         pdb.SameAs(first);
         for (int i = 2; i < 100; ++i)
             pdb.Record(P::DropDown({}));
         pdb.Values({P::Popup("red-key")});
         return pdb;
     },
     "First Background: Colour:Text\n1: Red"},
    {"records at the end of the file: an empty list and an empty record",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         for (int i = 0; i < 99; ++i)
             pdb.Record(P::DropDown({}));
         const int lastList = pdb.Absent();
         pdb.Values({P::Text("one")});
         const int last = pdb.Absent();
         pdb.SetOffset(lastList, int32_t(pdb.Bytes().size()));
         pdb.SetOffset(last, int32_t(pdb.Bytes().size()));
         return pdb;
     },
     "First Background: Name:Text\n1: one"},
    {"30,000 entries at one offset give one card",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         pdb.Lists();
         const int first = pdb.Values({P::Text("only")});
         for (int i = 1; i < 30000; ++i)
             pdb.SameAs(first);
         return pdb;
     },
     "First Background: Name:Text\n1: only"},
    {"fields of one name and without a name",
     [] {
         P pdb;
         pdb.Field(1, "Same").Field(2, "Same").Field(1, "");
         pdb.Lists();
         pdb.Values({P::Text("a"), P::Int(2), P::Text("c")});
         return pdb;
     },
     "First Background: Same:Text Same:Integer :Text\n1: a|2|c"},
    {"PmDB: records 0 to 29 are ignored, type 4 is unsupported",
     [] {
         P pdb("PmDB");
         pdb.Field(1, "Name").Field(4, "Pop").Field(0, "Gap").Field(5, "Flag");
         for (int i = 0; i < 30; ++i)
             pdb.Values({P::Text("ignored")});
         pdb.Values({P::Text("kept"), P::Raw("12345678901"), P::Raw("z"), P::Bool(true)});
         pdb.Values({QByteArray(4, '\0')});  // an empty record
         return pdb;
     },
     "First Background: Name:Text Pop:Text Gap:Text Flag:Boolean\n1: kept|**unsupported**|~|-1"},
};

class HandBaseImportTest : public InterchangeFixture, public ::testing::WithParamInterface<TImportCase>
{
};

TEST_P(HandBaseImportTest, BuildsFieldsTypesCardsAndValues)
{
    // Reals are read with "." whatever the locale.
    LocaleScope comma(kCommaLocale);
    const QString name = Write(QStringLiteral("db.pdb"), GetParam().Build().Bytes());
    const TStackRef stack = CVexilHandBaseImport::ImportHandBase(name);
    EXPECT_EQ(Describe(*stack), QString::fromUtf8(GetParam().Expected));
    EXPECT_EQ(stack->Name(), name);
    EXPECT_TRUE(stack->Filename().isEmpty());
    // Saved in the XML form, and read back as it was.
    EXPECT_EQ(stack->Flags() & EStkBinary, 0);
    const QString saved = iDir.File(QStringLiteral("saved.xml"));
    auto view = std::make_shared<CVexilStackViewRec>();
    view->Contruct(stack->Name());
    CVexilStackFile file;
    file.Construct(saved);
    file.SaveStack(stack, view);
    const TStackRef loaded = Load(saved);
    EXPECT_EQ(Describe(*loaded), Describe(*stack));
}

INSTANTIATE_TEST_SUITE_P(Databases, HandBaseImportTest, ::testing::ValuesIn(kImportCases),
                         [](const auto& aInfo) { return "Case" + std::to_string(aInfo.index); });

class HandBaseFieldsTest : public InterchangeFixture
{
};

TEST_F(HandBaseFieldsTest, LabelsAndWidthsFollowTheDatabase)
{
    const TStackRef stack = CVexilHandBaseImport::ImportHandBase(Write(QStringLiteral("db.pdb"), MixedHand().Bytes()));
    TControlSetRef background;
    int32_t cursor = 0;
    ASSERT_TRUE(stack->GetFirstBackground(background, cursor));
    TControlRef field;
    ASSERT_TRUE(background->GetControlByName(QStringLiteral("Colour"), field));
    EXPECT_EQ(field->Label(), QStringLiteral("Colour"));
    ASSERT_TRUE(background->GetControlByName(QStringLiteral("Shade"), field));
    EXPECT_EQ(field->VisChar(), int16_t(QStringLiteral("**value not found**").size()));
}

TEST_F(HandBaseFieldsTest, ReaderWalksAndDumps)
{
    PdbBuilder pdb = MixedHand();
    CVexilPdbFile file;
    file.Construct(Write(QStringLiteral("db.pdb"), pdb.Bytes()));
    EXPECT_FALSE(file.IsPmdb());
    EXPECT_EQ(file.NumFields(), 15);  // the trailing type-0 slot is dropped
    EXPECT_EQ(file.NumRecords(), 3);
    EXPECT_EQ(file.NumPopups(), 2);
    TPdbRecord record;
    int32_t cursor = 0;
    ASSERT_TRUE(file.GetFirstRecord(record, cursor));
    EXPECT_EQ(record.NumValues, 11);  // the two-byte text without NUL ends the record
    ASSERT_TRUE(file.GetNextRecord(record, cursor));
    EXPECT_EQ(record.NumValues, 3);
    EXPECT_EQ(file.HexStr(0), QString());
}

// ---- hostile files

struct THostileCase
{
    const char* Name;
    std::function<QByteArray()> Bytes;
};

// Cases show their names in test output.
void PrintTo(const THostileCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

PdbBuilder OneRecord()
{
    P pdb;
    pdb.Field(1, "Name").Field(4, "Pop").Field(8, "Day");
    pdb.Lists({{"k", "v"}});
    pdb.Values({P::Text("one"), P::Popup("k"), P::Days(3)});
    return pdb;
}

const THostileCase kHostileCases[] = {
    {"creator XXXX", [] { return P("XXXX").Bytes(); }},
    {"count -1",
     [] {
         P pdb = OneRecord();
         pdb.SetCount(-1);
         return pdb.Bytes();
     }},
    {"count past the file",
     [] {
         P pdb = OneRecord();
         pdb.SetCount(30000);
         return pdb.Bytes();
     }},
    {"offset past the file",
     [] {
         P pdb = OneRecord();
         pdb.SetOffset(100, 1 << 30);
         return pdb.Bytes();
     }},
    {"offset one past the file",
     [] {
         P pdb = OneRecord();
         pdb.SetOffset(100, int32_t(pdb.Bytes().size()) + 1);
         return pdb.Bytes();
     }},
    {"offset into the header",
     [] {
         P pdb = OneRecord();
         pdb.SetOffset(100, 40);
         return pdb.Bytes();
     }},
    {"offset into the field slots",
     [] {
         P pdb = OneRecord();
         pdb.SetOffset(100, pdb.DataStart() - 1);
         return pdb.Bytes();
     }},
    {"negative offset",
     [] {
         P pdb = OneRecord();
         pdb.SetOffset(3, -5);
         return pdb.Bytes();
     }},
    {"text offset -2",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         pdb.Record(P::DropDownAt("k", -2));
         return pdb.Bytes();
     }},
    {"text offset past the record",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         pdb.Record(P::DropDownAt("k", 23 + 24 + 5));
         pdb.Record(P::DropDown({}));
         return pdb.Bytes();
     }},
    {"a 5-byte pop-up value",
     [] {
         P pdb;
         pdb.Field(4, "Pop");
         pdb.Lists();
         pdb.Values({P::Raw("12345")});
         return pdb.Bytes();
     }},
    {"a list count past its record",
     [] {
         P pdb;
         pdb.Field(1, "Name");
         pdb.Record(P::Le16(3) + P::Le16(0) + QByteArray(20, 'k'));
         pdb.Record(P::DropDown({}));
         return pdb.Bytes();
     }},
    {"day count 2^31 - 1",
     [] {
         P pdb;
         pdb.Field(8, "Day");
         pdb.Lists();
         pdb.Values({P::Days(2147483647)});
         return pdb.Bytes();
     }},
    {"pop-up texts beyond 8 times the file",
     [] {
         // Every entry points at one long text.
         P pdb;
         pdb.Field(1, "Name");
         std::vector<std::pair<QByteArray, QByteArray>> popups(1, {"k", QByteArray(1500, 't')});
         QByteArray list = P::DropDown(popups);
         const QByteArray entry = list.mid(4, 20);
         QByteArray many = P::Le16(1600) + P::Le16(0);
         for (int i = 0; i < 1600; ++i)
             many += entry.left(18) + P::Be16(23 + 4 + 1600 * 20);
         pdb.Record(many + QByteArray(1500, 't') + '\0');
         return pdb.Bytes();
     }},
};

class HandBaseHostileTest : public InterchangeFixture, public ::testing::WithParamInterface<THostileCase>
{
};

TEST_P(HandBaseHostileTest, IsWrongFormatNamingTheFileAndLeavesTheOpenStack)
{
    AddField(QStringLiteral("Title"), EConTypeText);
    AddCard(QStringLiteral("kept"));
    const QByteArray before = XmlForm(iStack);
    const QString name = Write(QStringLiteral("hostile.pdb"), GetParam().Bytes());
    EXPECT_EQ(RaisedError([&] { CVexilHandBaseImport::ImportHandBase(name); }), EErrWrongFormat);
    EXPECT_EQ(CVexilError::GetErrInfo().Param1, name);
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
    EXPECT_EQ(XmlForm(iStack), before);
}

INSTANTIATE_TEST_SUITE_P(Files, HandBaseHostileTest, ::testing::ValuesIn(kHostileCases),
                         [](const auto& aInfo) { return "Case" + std::to_string(aInfo.index); });

TEST_F(HandBaseFieldsTest, CutFilesFailUnlessTheCutIsInsideTheLastRecord)
{
    PdbBuilder pdb = MixedHand();
    const QByteArray whole = pdb.Bytes();
    const int32_t lastRecord = pdb.OffsetOf(102);
    for (qsizetype cut = 97; cut < whole.size(); cut += 97)
    {
        const QString name = Write(QStringLiteral("cut.pdb"), whole.left(cut));
        SCOPED_TRACE(cut);
        if (cut >= lastRecord)
        {
            // The last record only gets shorter: the cards are there.
            EXPECT_EQ(CVexilHandBaseImport::ImportHandBase(name)->NumCards(), cut > lastRecord + 23 ? 3 : 2);
            continue;
        }
        EXPECT_EQ(RaisedError([&] { CVexilHandBaseImport::ImportHandBase(name); }), EErrWrongFormat);
        EXPECT_EQ(CVexilError::GetErrInfo().Param1, name);
    }
}

TEST_F(HandBaseFieldsTest, MissingFileIsFileNotFound)
{
    EXPECT_EQ(RaisedError([&] { CVexilHandBaseImport::ImportHandBase(iDir.File(QStringLiteral("none.pdb"))); }),
              EErrFileNotFound);
    EXPECT_FALSE(QFileInfo::exists(iDir.File(QStringLiteral("none.pdb"))));
}
}  // namespace
