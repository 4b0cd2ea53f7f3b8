// The card-list XML: the golden file of the export, the import of it into the same stack, and
// files the import refuses whole.

#include "InterchangeFixture.h"
#include "QStringPrinter.h"
#include "interchange/VexilExports.h"
#include "interchange/VexilImports.h"
#include "interchange/VexilXmlCardList.h"

#include "foundation/VexilMsg.h"

#include <ostream>

namespace
{
const QString kHighSmile = QString(QChar(0xD83D));
const QString kSmile = kHighSmile + QChar(0xDE00);

class XmlCardListTest : public InterchangeFixture
{
protected:
    void SetUp() override
    {
        InterchangeFixture::SetUp();
        iBg->SetName(QStringLiteral("People"));
        iName = AddField(QStringLiteral("Name"), EConTypeText);
        iAge = AddField(QStringLiteral("Age"), EConTypeInteger);
        iMember = AddField(QStringLiteral("Member"), EConTypeBoolean);
        iPhoto = AddField(QStringLiteral("Photo"), EConTypePicture);
        iGo = AddField(QStringLiteral("Go"), EConTypeCommand);
        iNote = AddField(QStringLiteral("Note"), EConTypeText);
        iEmpty = AddBackground(QStringLiteral("Empty"));
        const TBlobRef picture = NewBlob(*iStack, QByteArray("picture"));
        const TCardRef ann = AddCard(QStringLiteral("Ann & \"Co\""));
        ann->SetControlVal(iName->Id(), Val::Str(QStringLiteral("A & B < C > \"D\" 'E'\r\nline2")));
        ann->SetControlVal(iAge->Id(), Val::Int(30));
        ann->SetControlVal(iMember->Id(), Val::Bool(true));
        ann->SetControlVal(iPhoto->Id(), Val::Blob(picture->Id()));
        const TCardRef bob = AddCard(QStringLiteral("Bob"));
        bob->SetControlVal(iName->Id(), Val::Str(QString(75, u'x') + u'&'));  // 80 escaped
        bob->SetControlVal(iNote->Id(), Val::Str(QString(81, u'y')));
        AddCard(QStringLiteral("Void"), nullptr, iEmpty);
        const TCardRef cy = AddCard(QStringLiteral("Cy"));
        cy->SetControlVal(iName->Id(), Val::Str(QString(79, u'z') + kSmile + u'!'));
    }

    QString Export()
    {
        const QString name = iDir.File(QStringLiteral("cards.xml"));
        CVexilExports::ExportXml(*iStack, name);
        return name;
    }

    // The display texts of the cards from position aFrom on, one line per card.
    QString Texts(int32_t aFrom)
    {
        QStringList lines;
        TCardRef card;
        for (int32_t num = aFrom; iStack->GetCardByNum(num, card); ++num)
        {
            QStringList texts{card->Name()};
            TControlRef field;
            int32_t cursor = 0;
            const TControlSetRef background = card->Background();
            for (bool more = background->GetFirstControl(field, cursor); more;
                 more = background->GetNextControl(field, cursor))
            {
                if (field->ConType() == EConTypePicture || field->ConType() == EConTypeCommand)
                    continue;
                TValue value;
                card->GetControlVal(field->Id(), value, true);
                texts.append(CVexilValue::ValToExtText(value, *field));
            }
            lines.append(texts.join(u'|'));
        }
        return lines.join(u'\n');
    }

    TControlRef iName;
    TControlRef iAge;
    TControlRef iMember;
    TControlRef iPhoto;
    TControlRef iGo;
    TControlRef iNote;
    TControlSetRef iEmpty;
};

const QByteArray kGolden =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
    "<quorvan version=\"1.0\">\r\n"
    "  <card name=\"Ann &amp; &quot;Co&quot;\" background=\"People\">\r\n"
    "    <control name=\"Name\">A &amp; B &lt; C &gt; &quot;D&quot; &apos;E&apos;&eol;line2</control>\r\n"
    "    <control name=\"Age\">30</control>\r\n"
    "    <control name=\"Member\">T</control>\r\n"
    "    <control name=\"Photo\">(Blob 8)</control>\r\n"
    "    <control name=\"Note\"></control>\r\n"
    "  </card>\r\n"
    "  <card name=\"Bob\" background=\"People\">\r\n"
    "    <control name=\"Name\">" + QByteArray(75, 'x') + "&amp;</control>\r\n"
    "    <control name=\"Age\">0</control>\r\n"
    "    <control name=\"Member\">F</control>\r\n"
    "    <control name=\"Photo\"></control>\r\n"
    "    <control name=\"Note\">" + QByteArray(80, 'y') + "\r\ny</control>\r\n"
    "  </card>\r\n"
    "  <card name=\"Void\" background=\"Empty\">\r\n"
    "  </card>\r\n"
    "  <card name=\"Cy\" background=\"People\">\r\n"
    "    <control name=\"Name\">" + QByteArray(79, 'z') + "\xF0\x9F\x98\x80\r\n!</control>\r\n"
    "    <control name=\"Age\">0</control>\r\n"
    "    <control name=\"Member\">F</control>\r\n"
    "    <control name=\"Photo\"></control>\r\n"
    "    <control name=\"Note\"></control>\r\n"
    "  </card>\r\n"
    "</quorvan>\r\n";

TEST_F(XmlCardListTest, ExportWritesTheGoldenFile)
{
    EXPECT_EQ(QString::fromUtf8(FileContent(Export())), QString::fromUtf8(kGolden));
}

TEST_F(XmlCardListTest, ImportIntoTheSameStackGivesTheCardsAgainAndTheSameExport)
{
    const QString before = Texts(0);
    const int32_t numCards = iStack->NumCards();
    CVexilImports::ImportXml(*iStack, Export());
    ASSERT_EQ(iStack->NumCards(), 2 * numCards);
    EXPECT_EQ(Texts(numCards), before);
    // Pictures are not taken over; the rest of the second export repeats the first.
    const QByteArray second = FileContent(Export());
    const QByteArray cards = kGolden.mid(kGolden.indexOf("  <card"), kGolden.indexOf("</quorvan>") - kGolden.indexOf("  <card"));
    QByteArray withoutPicture = cards;
    withoutPicture.replace("(Blob 8)", "");
    EXPECT_EQ(QString::fromUtf8(second),
              QString::fromUtf8(kGolden.left(kGolden.indexOf("</quorvan>")) + withoutPicture + "</quorvan>\r\n"));
}

TEST_F(XmlCardListTest, ExportReplacesTheFileOnlyWhenComplete)
{
    const QString name = iDir.File(QStringLiteral("cards.xml"));
    SetFileContent(name, "old");
    CVexilFileBuffer::FailWriteAfter(1);
    EXPECT_NE(RaisedError([&] { CVexilXmlCardList::ExportXml(*iStack, name); }), 0);
    CVexilFileBuffer::FailWriteAfter(0);
    EXPECT_EQ(FileContent(name), QByteArray("old"));
    EXPECT_EQ(QDir(iDir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("cards.xml")});
}

TEST_F(XmlCardListTest, ImportIntoSortedBackgroundPlacesCardsAndBroadcastsOnce)
{
    KeepSorted(iBg, {{EConTypeText, iName->Id(), 0, 10, 0}});
    const QString name = Write(QStringLiteral("in.xml"),
                               "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<quorvan version=\"1.0\">\r\n"
                               "  <card name=\"n1\" background=\"People\"><control name=\"Name\">b</control></card>\r\n"
                               "  <card name=\"n2\" background=\"People\"><control name=\"Name\">a</control>"
                               "<control name=\"Photo\">(Blob 8)</control><control name=\"Go\">x</control></card>\r\n"
                               "</quorvan>\r\n");
    iBroadcasts.iEvents.clear();
    int32_t cardsWhileBroadcast = 0;
    iBroadcasts.iOnNotify = [&](int32_t) { cardsWhileBroadcast = iStack->NumCards(); };
    CVexilXmlCardList::ImportXml(*iStack, name);
    EXPECT_EQ(iBroadcasts.iEvents, std::vector<int32_t>{EChgCardOrder});
    EXPECT_EQ(cardsWhileBroadcast, 6);
    EXPECT_EQ(Order(), QStringLiteral("Void n2 Ann & \"Co\" n1 Bob Cy"));
}

struct TRefusedCase
{
    const char* Name;
    QByteArray Body;  // after the declaration
    int32_t Error;
    const char* Param;  // the first message parameter; empty: the file name
};

// Cases show their names in test output.
void PrintTo(const TRefusedCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

const TRefusedCase kRefused[] = {
    {"version 2.0", "<quorvan version=\"2.0\">\r\n</quorvan>\r\n", EErrWrongFormat, ""},
    {"no version", "<quorvan>\r\n</quorvan>\r\n", EErrWrongFormat, ""},
    {"unknown background",
     "<quorvan version=\"1.0\">\r\n  <card name=\"a\" background=\"People\">\r\n  </card>\r\n"
     "  <card name=\"b\" background=\"people\">\r\n  </card>\r\n</quorvan>\r\n",
     EMsgBackgroundNotFound, "people"},
    {"unknown field",
     "<quorvan version=\"1.0\">\r\n  <card name=\"a\" background=\"People\">\r\n"
     "    <control name=\"Name\">x</control>\r\n    <control name=\"Nom\">x</control>\r\n  </card>\r\n</quorvan>\r\n",
     EMsgControlNotFound, "Nom"},
    {"a Card tag", "<quorvan version=\"1.0\">\r\n  <Card name=\"a\" background=\"People\">\r\n  </Card>\r\n</quorvan>\r\n",
     EErrWrongFormat, ""},
    {"another root", "<VexilStack version=\"1.0\">\r\n</VexilStack>\r\n", EErrWrongFormat, ""},
    {"a field tag in a card",
     "<quorvan version=\"1.0\">\r\n  <card name=\"a\" background=\"People\">\r\n    <field name=\"Name\">x</field>\r\n"
     "  </card>\r\n</quorvan>\r\n",
     EErrWrongFormat, ""},
    {"bad XML", "<quorvan version=\"1.0\">\r\n  <card name=\"a\" background=\"People\"\r\n</quorvan>\r\n", EErrWrongFormat, ""},
};

class XmlCardListRefusedTest : public XmlCardListTest, public ::testing::WithParamInterface<TRefusedCase>
{
};

TEST_P(XmlCardListRefusedTest, AddsNothing)
{
    const QByteArray before = XmlForm(iStack);
    const QString name = Write(QStringLiteral("in.xml"), kXmlDecl + GetParam().Body);
    EXPECT_EQ(RaisedError([&] { CVexilXmlCardList::ImportXml(*iStack, name); }), GetParam().Error);
    const QString param = QString::fromUtf8(GetParam().Param);
    EXPECT_EQ(CVexilError::GetErrInfo().Param1, param.isEmpty() ? name : param);
    EXPECT_EQ(CVexilError::GetErrInfo().Context, QStringLiteral("CVexilImports.ImportXml"));
    EXPECT_EQ(XmlForm(iStack), before);
}

INSTANTIATE_TEST_SUITE_P(Files, XmlCardListRefusedTest, ::testing::ValuesIn(kRefused),
                         [](const auto& aInfo) { return "Case" + std::to_string(aInfo.index); });

TEST_F(XmlCardListTest, CutFilesAddNothing)
{
    const QByteArray whole = FileContent(Export());
    const QByteArray before = XmlForm(iStack);
    const qsizetype complete = whole.indexOf("</quorvan>") + 10;
    for (qsizetype cut = 97; cut < complete; cut += 97)
    {
        SCOPED_TRACE(cut);
        const QString name = Write(QStringLiteral("cut.xml"), whole.left(cut));
        EXPECT_EQ(RaisedError([&] { CVexilXmlCardList::ImportXml(*iStack, name); }), EErrWrongFormat);
        EXPECT_EQ(CVexilError::GetErrInfo().Param1, name);
    }
    EXPECT_EQ(XmlForm(iStack), before);
}

TEST_F(XmlCardListTest, LongValuesIntoABinaryStackAreRefused)
{
    iStack->SetFlags(EStkBinary);
    const QByteArray before = XmlForm(iStack);
    const QByteArray body = "<quorvan version=\"1.0\">\r\n  <card name=\"a\" background=\"People\">\r\n"
                            "    <control name=\"Name\">short</control>\r\n  </card>\r\n"
                            "  <card name=\"b\" background=\"People\">\r\n    <control name=\"Note\">" +
                            QByteArray(16384, 'n') + "</control>\r\n  </card>\r\n</quorvan>\r\n";
    const QString name = Write(QStringLiteral("long.xml"), kXmlDecl + body);
    EXPECT_EQ(RaisedError([&] { CVexilXmlCardList::ImportXml(*iStack, name); }), EErrWrongFormat);
    EXPECT_EQ(XmlForm(iStack), before);
    // The same file goes into a stack saved in the XML form.
    iStack->SetFlags(0);
    CVexilXmlCardList::ImportXml(*iStack, name);
    EXPECT_EQ(iStack->NumCards(), 6);
}

TEST_F(XmlCardListTest, MissingFileIsFileNotFound)
{
    EXPECT_EQ(RaisedError([&] { CVexilXmlCardList::ImportXml(*iStack, iDir.File(QStringLiteral("none.xml"))); }),
              EErrFileNotFound);
}
}  // namespace
