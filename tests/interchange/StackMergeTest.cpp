// Merging another stack: every object copied with new ids, every reference mapped to a copy
// or to none, and a stack that cannot be loaded leaves the open stack as it was.

#include "../model/RichStack.h"
#include "InterchangeFixture.h"
#include "interchange/VexilStackMerge.h"
#include "model/VexilStackCheck.h"

#include <set>

namespace
{
class StackMergeTest : public RichStackFixture
{
protected:
    void SetUp() override
    {
        RichStackFixture::SetUp();
        BuildRichStack();
        // Go-to-card fields, one naming a deleted card, and links the check does not require.
        const TCardRef bern = CardNamed(*iStack, QStringLiteral("Bern"));
        iGoBern = AddField(QStringLiteral("GoBern"), EConTypeCommand, iTowns);
        iGoBern->SetStdCmd(EStdCmdGoToCard);
        iGoBern->SetDestCardId(bern->Id());
        TCardRef doomed = AddCard(QStringLiteral("Doomed"), nullptr, iTowns);
        iGoGone = AddField(QStringLiteral("GoGone"), EConTypeCommand, iTowns);
        iGoGone->SetStdCmd(EStdCmdGoToCard);
        iGoGone->SetDestCardId(doomed->Id());
        iStack->DeleteCard(doomed);
        iTown->SetRefControlId(999999);
        iLoose = AddPicture(20, 'l');
        iLoose->SetOriginalId(888888);
        CardNamed(*iStack, QStringLiteral("Bob"))->SetControlVal(iPhoto->Id(), Val::Blob(iLoose->Id()));
        iStack->SetControlDynFlags();

        iA = std::make_shared<CVexilStack>();
        iA->Construct(QStringLiteral("A"));
        TControlSetRef first;
        int32_t cursor = 0;
        iA->GetFirstBackground(first, cursor);
        first->SetName(QStringLiteral("People"));
        NewField(*iA, *first, QStringLiteral("Name"), EConTypeText);
        NewCard(*iA, QStringLiteral("Own"), first);
        const TControlSetRef towns = NewBackground(*iA, QStringLiteral("Towns"));
        NewCard(*iA, QStringLiteral("Zug"), towns);
    }

    static TCardRef CardNamed(const CVexilStack& aStack, const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(aStack.GetCard(aName, card)) << aName.toStdString();
        return card;
    }

    // B saved in the binary form (aBinary) or the XML form.
    QString SaveB(bool aBinary)
    {
        iStack->SetFlags(aBinary ? EStkBinary : 0);
        const QString name = Path(aBinary ? QStringLiteral("b.Quorvan") : QStringLiteral("b.xml"));
        Save(iStack, iView, name);
        return name;
    }

    // The backgrounds of A whose ids came with the merge.
    std::vector<TControlSetRef> MergedBackgrounds(int32_t aFirstId) const
    {
        std::vector<TControlSetRef> merged;
        TControlSetRef background;
        int32_t cursor = 0;
        for (bool more = iA->GetFirstBackground(background, cursor); more; more = iA->GetNextBackground(background, cursor))
            if (background->Id() >= aFirstId)
                merged.push_back(background);
        return merged;
    }

    void ExpectMerged(int32_t aFirstId, int32_t aCardsBefore)
    {
        SCOPED_TRACE("merged");
        CVexilStackCheck::CheckSortKeys(*iA, *iA, QStringLiteral("test"));
        CVexilStackCheck::CheckStructure(*iA, *iA, QStringLiteral("test"));
        CVexilStackCheck::CheckPictures(*iA, *iA, QStringLiteral("test"));
        EXPECT_EQ(iA->NumCards(), aCardsBefore + iStack->NumCards());

        const std::vector<TControlSetRef> merged = MergedBackgrounds(aFirstId);
        ASSERT_EQ(merged.size(), 2u);
        std::set<int32_t> mergedFields{UndefLong};
        std::set<int32_t> mergedBackgrounds{UndefLong};
        std::map<QString, TControlRef> fields;
        for (const TControlSetRef& background : merged)
        {
            mergedBackgrounds.insert(background->Id());
            TControlRef field;
            int32_t cursor = 0;
            for (bool more = background->GetFirstControl(field, cursor); more; more = background->GetNextControl(field, cursor))
            {
                mergedFields.insert(field->Id());
                fields[field->Name()] = field;
            }
        }
        std::set<int32_t> mergedCards{UndefLong};
        std::map<QString, TCardRef> cards;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iA->GetFirstCard(card, cursor); more; more = iA->GetNextCard(card, cursor))
            if (mergedBackgrounds.count(card->BackgroundId()))
            {
                mergedCards.insert(card->Id());
                cards[card->Name()] = card;
            }
        EXPECT_EQ(cards.size(), size_t(iStack->NumCards()));
        for (const auto& [name, field] : fields)
        {
            SCOPED_TRACE(name.toStdString());
            EXPECT_TRUE(mergedFields.count(field->RefControlId()));
            EXPECT_TRUE(mergedFields.count(field->SelControlId()));
            EXPECT_TRUE(mergedFields.count(field->PartnerId()));
            EXPECT_TRUE(mergedBackgrounds.count(field->SelBackgroundId()));
            EXPECT_TRUE(mergedCards.count(field->DestCardId()));
        }
        EXPECT_EQ(fields[QStringLiteral("Town")]->RefControlId(), UndefLong);
        EXPECT_EQ(fields[QStringLiteral("Residents")]->SelBackgroundId(), merged[0]->Id());
        EXPECT_EQ(fields[QStringLiteral("Residents")]->RefControlId(), fields[QStringLiteral("TownName")]->Id());
        EXPECT_EQ(fields[QStringLiteral("GoBern")]->DestCardId(), cards[QStringLiteral("Bern")]->Id());
        EXPECT_EQ(fields[QStringLiteral("GoGone")]->DestCardId(), UndefLong);
        EXPECT_EQ(fields[QStringLiteral("Next")]->ScriptSource(), iNext->ScriptSource());
        EXPECT_EQ(fields[QStringLiteral("Name")]->Font()->Size(), iName->Font()->Size());

        // Pictures: bytes, counts and the links between picture and sample.
        const TBlobRef photo =
            iA->BlobStore()->ReadBlob(PhotoOf(*cards[QStringLiteral("Ann")], *fields[QStringLiteral("Photo")]));
        EXPECT_EQ(photo->Bytes(), iPicture->Bytes());
        EXPECT_EQ(photo->RefCount(), iPicture->RefCount());
        const TBlobRef sample = iA->BlobStore()->ReadBlob(photo->SampleId());
        EXPECT_EQ(sample->Bytes(), iSample->Bytes());
        EXPECT_EQ(sample->OriginalId(), photo->Id());
        EXPECT_EQ(sample->RefCount(), iSample->RefCount());
        EXPECT_EQ(merged[1]->WallPaperId(), sample->Id());
        const TBlobRef loose = iA->BlobStore()->ReadBlob(PhotoOf(*cards[QStringLiteral("Bob")], *fields[QStringLiteral("Photo")]));
        EXPECT_EQ(loose->OriginalId(), UndefLong);
        EXPECT_EQ(loose->Bytes(), iLoose->Bytes());

        // Stamps, scripts and fonts of the cards; the sorted background's order.
        const TCardRef ann = CardNamed(*iStack, QStringLiteral("Ann"));
        EXPECT_EQ(cards[QStringLiteral("Ann")]->CreDate(), ann->CreDate());
        EXPECT_EQ(cards[QStringLiteral("Ann")]->ModTime(), ann->ModTime());
        EXPECT_EQ(cards[QStringLiteral("Ann")]->ScriptSource(), ann->ScriptSource());
        EXPECT_EQ(cards[QStringLiteral("Ann")]->Font()->FaceName(), ann->Font()->FaceName());
        EXPECT_TRUE(merged[0]->Flag(ECseKeepCardsSorted));
        EXPECT_EQ(iA->KeyIndex(merged[0]->KeyIndexId())->Count(), 3);

        // The card list of the merged Bern, computed anew as a save does, lists the merged people
        // of Bern.
        EXPECT_TRUE(cards[QStringLiteral("Bern")]->Dirty());
        iA->PrepareForSave();
        TValue list;
        cards[QStringLiteral("Bern")]->GetControlVal(fields[QStringLiteral("Residents")]->Id(), list, false);
        QStringList listed;
        for (const QString& line : list.iStr.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        {
            const TCardRef listedCard = iA->GetCardById(line.section(u'\t', 0, 0).toInt());
            ASSERT_TRUE(listedCard) << line.toStdString();
            EXPECT_TRUE(mergedCards.count(listedCard->Id()));
            listed.append(listedCard->Name());
        }
        listed.sort();
        EXPECT_EQ(listed, (QStringList{QStringLiteral("Ann"), QStringLiteral("Cy")}));
    }

    static int32_t PhotoOf(CVexilCard& aCard, const CVexilControl& aPhoto)
    {
        TValue value;
        aCard.GetControlVal(aPhoto.Id(), value, false);
        EXPECT_EQ(value.iType, EValBlobId);
        return value.iInt;
    }

    TStackRef iA;
    TControlRef iGoBern;
    TControlRef iGoGone;
    TBlobRef iLoose;
};

class StackMergeFormTest : public StackMergeTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(StackMergeFormTest, MergesEveryObjectWithReferencesMapped)
{
    const QString b = SaveB(GetParam());
    const int32_t firstId = iA->IdGen().PeekId();
    const int32_t cardsBefore = iA->NumCards();
    iBroadcasts.iEvents.clear();
    int32_t cardsAtBroadcast = -1;
    iBroadcasts.iOnNotify = [&](int32_t) { cardsAtBroadcast = iA->NumCards(); };
    CVexilStackMerge::ImportQuorvan(*iA, b);
    iBroadcasts.iOnNotify = nullptr;
    // The card order is broadcast at most once, with every card in.
    EXPECT_LE(iBroadcasts.iEvents.size(), 1u);
    if (!iBroadcasts.iEvents.empty())
    {
        EXPECT_EQ(cardsAtBroadcast, iA->NumCards());
    }
    ExpectMerged(firstId, cardsBefore);

    // A reloads as it is from both forms.
    const QString content = Content(*iA);
    for (const bool binaryA : {true, false})
    {
        iA->SetFlags(binaryA ? EStkBinary : 0);
        const QString name = Path(binaryA ? QStringLiteral("a.Quorvan") : QStringLiteral("a.xml"));
        Save(iA, iView, name);
        EXPECT_EQ(Content(*Load(name).Stack), content);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, StackMergeFormTest, ::testing::Bool(),
                         [](const auto& aInfo) { return aInfo.param ? "Binary" : "Xml"; });

TEST_F(StackMergeTest, StackThatCannotBeLoadedLeavesTheOpenStack)
{
    const QByteArray whole = FileContent(SaveB(true));
    const QByteArray before = StackXmlForm(iA, Path(QStringLiteral("before.xml")));
    struct TCase
    {
        const char* Name;
        QString File;
        int32_t Error;
    };
    const TCase cases[] = {
        {"truncated", SetFileContent(Path(QStringLiteral("cut.Quorvan")), whole.left(whole.size() / 2)), EErrBadStruct},
        {"foreign", SetFileContent(Path(QStringLiteral("foreign.Quorvan")), "Hello, world"), EErrNotAQuorvan},
        {"missing", Path(QStringLiteral("missing.Quorvan")), EErrFileNotFound},
    };
    for (const TCase& test : cases)
    {
        SCOPED_TRACE(test.Name);
        EXPECT_EQ(RaisedError([&] { CVexilStackMerge::ImportQuorvan(*iA, test.File); }), test.Error);
        EXPECT_EQ(StackXmlForm(iA, Path(QStringLiteral("after.xml"))), before);
    }
}

TEST_F(StackMergeTest, MapsKnownIdsAndNothingElse)
{
    CVexilStackMerge::TIdMap map;
    CVexilStackMerge::AddIdMap(map, 5, 70);
    EXPECT_EQ(CVexilStackMerge::MapId(map, 5), 70);
    EXPECT_EQ(CVexilStackMerge::MapId(map, 6), UndefLong);
    EXPECT_EQ(CVexilStackMerge::MapId(map, UndefLong), UndefLong);
}
}  // namespace
