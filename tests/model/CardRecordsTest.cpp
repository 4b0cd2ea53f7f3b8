#include "SameValue.h"
#include "StackFixture.h"
#include "TestFiles.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace
{
// A stack of people and towns whose cards keep their values in records: people kept sorted by
// name and age, towns listing their residents, notes in the order they are put.
class CardRecordsTest : public StackFixture
{
protected:
    void SetUp() override
    {
        StackFixture::SetUp();
        iName = AddField(QStringLiteral("Name"), EConTypeText);
        iTown = AddField(QStringLiteral("Town"), EConTypeText);
        iAge = AddField(QStringLiteral("Age"), EConTypeInteger);
        iPrice = AddField(QStringLiteral("Price"), EConTypeReal);
        iBorn = AddField(QStringLiteral("Born"), EConTypeDate);
        iWakes = AddField(QStringLiteral("Wakes"), EConTypeTime);
        iMember = AddField(QStringLiteral("Member"), EConTypeBoolean);
        iTowns = AddBackground(QStringLiteral("Towns"));
        iTownName = AddField(QStringLiteral("TownName"), EConTypeText, iTowns);
        iResidents = AddCardList(QStringLiteral("Residents"), iTowns, iTown, iTownName);
        iResidents->SetListCol(IntList({iName->Id(), iAge->Id()}));
        iNotes = AddBackground(QStringLiteral("Notes"));
        iNote = AddField(QStringLiteral("Note"), EConTypeText, iNotes);
        iStack->SetControlDynFlags();
        KeepSorted(iBg, {{EConTypeText, iName->Id(), 0, 10, 0}, {EConTypeInteger, iAge->Id(), 0, 4, 0}});
    }

    // ---- the plain reference: per card id its background and stored values

    struct TRefCard
    {
        int32_t Background = 0;
        std::map<int32_t, TValue> Values;
    };

    void Set(const TCardRef& aCard, const TControlRef& aField, const TValue& aValue)
    {
        aCard->SetControlVal(aField->Id(), aValue);
        TRefCard& ref = iRef[aCard->Id()];
        if (aValue.iType != EValUndef || ref.Values.contains(aField->Id()))
            ref.Values[aField->Id()] = aValue;
    }

    TCardRef Person(const QString& aName, const QString& aTown, int32_t aAge)
    {
        const TCardRef card = AddCard(aName);
        iRef[card->Id()].Background = iBg->Id();
        Set(card, iName, Val::Str(aName));
        Set(card, iTown, Val::Str(aTown));
        Set(card, iAge, Val::Int(aAge));
        Set(card, iPrice, iPrice->ConType() == EConTypeReal ? Val::Real(aAge * 1.5) : Val::Int(aAge));
        Set(card, iBorn, Val::Date(QDate(1950 + aAge % 50, 1 + aAge % 12, 1 + aAge % 28)));
        Set(card, iWakes, Val::Time(QTime(aAge % 24, aAge % 60, 7)));
        Set(card, iMember, Val::Bool(aAge % 2 == 0));
        return card;
    }

    TCardRef Town(const QString& aName)
    {
        const TCardRef card = AddCard(aName, nullptr, iTowns);
        iRef[card->Id()].Background = iTowns->Id();
        Set(card, iTownName, Val::Str(aName));
        return card;
    }

    TCardRef Note(const QString& aText, const TCardRef& aBefore = nullptr)
    {
        const TCardRef card = AddCard(aText, aBefore, iNotes);
        iRef[card->Id()].Background = iNotes->Id();
        Set(card, iNote, Val::Str(aText));
        const auto at = aBefore ? std::find(iNoteOrder.begin(), iNoteOrder.end(), aBefore->Id()) : iNoteOrder.end();
        iNoteOrder.insert(at, card->Id());
        return card;
    }

    void Delete(TCardRef aCard)
    {
        iRef.erase(aCard->Id());
        std::erase(iNoteOrder, aCard->Id());
        iStack->DeleteCard(aCard);
    }

    TCardRef Card(const QString& aName) const
    {
        TCardRef card;
        EXPECT_TRUE(iStack->GetCard(aName, card)) << aName.toStdString();
        return card;
    }

    std::vector<int32_t> Ids(int32_t aBackgroundId) const
    {
        std::vector<int32_t> ids;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCardInBackground(aBackgroundId, card, cursor); more;
             more = iStack->GetNextCardInBackground(aBackgroundId, card, cursor))
            ids.push_back(card->Id());
        return ids;
    }

    // The stored values of every card as the reference has them, the notes in their order, the
    // people by name and age, and each town's list of its residents.
    void ExpectLikeTheReference()
    {
        EXPECT_EQ(iStack->NumCards(), int32_t(iRef.size()));
        for (const auto& [id, ref] : iRef)
        {
            SCOPED_TRACE(id);
            const TCardRef card = iStack->GetCardById(id);
            ASSERT_TRUE(card);
            EXPECT_EQ(card->BackgroundId(), ref.Background);
            // The card list's value is the lists' own, checked below.
            std::vector<int32_t> keys;
            card->ForEachValue([&](const TCardValues::TEntry& aEntry) {
                if (aEntry.Key() != iResidents->Id())
                    keys.push_back(aEntry.Key());
            });
            std::vector<int32_t> refKeys;
            for (const auto& [field, value] : ref.Values)
                refKeys.push_back(field);
            EXPECT_EQ(keys, refKeys);
            for (const auto& [field, value] : ref.Values)
            {
                TValue stored;
                EXPECT_TRUE(card->StoredVal(field, stored));
                ExpectSameValue(stored, value);
            }
        }
        EXPECT_EQ(Ids(iNotes->Id()), iNoteOrder);
        std::vector<std::pair<QString, int32_t>> people;
        for (const int32_t id : Ids(iBg->Id()))
            people.emplace_back(iRef[id].Values[iName->Id()].iStr, iRef[id].Values[iAge->Id()].iInt);
        EXPECT_TRUE(std::is_sorted(people.begin(), people.end()));
        for (const int32_t town : Ids(iTowns->Id()))
        {
            QStringList lines;
            for (const int32_t id : Ids(iBg->Id()))
            {
                auto& values = iRef[id].Values;
                if (values[iTown->Id()].iStr == iRef[town].Values[iTownName->Id()].iStr)
                    lines.append(QStringLiteral("%1\t%2\t%3").arg(id).arg(values[iName->Id()].iStr).arg(values[iAge->Id()].iInt));
            }
            TValue list;
            iStack->GetCardById(town)->GetControlVal(iResidents->Id(), list, true);
            EXPECT_EQ(list.iStr, lines.join(QStringLiteral("\r\n"))) << town;
        }
    }

    std::map<int32_t, TRefCard> iRef;
    std::vector<int32_t> iNoteOrder;
    TControlRef iName, iTown, iAge, iPrice, iBorn, iWakes, iMember, iTownName, iResidents, iNote;
    TControlSetRef iTowns, iNotes;
};

// Each operation of the model on cards, applied to the stack and to the plain reference, leaves
// both alike: values, the kept-sorted order, the order of the notes and the card lists.
TEST_F(CardRecordsTest, OperationsAgreeWithAPlainReference)
{
    struct TOp
    {
        const char* Name;
        std::function<void()> Do;
    };
    const TOp ops[] = {
        {"add", [&] {
             Town(QStringLiteral("bern"));
             Town(QStringLiteral("genf"));
             Person(QStringLiteral("mia"), QStringLiteral("bern"), 30);
             Person(QStringLiteral("ali"), QStringLiteral("genf"), 41);
             Person(QStringLiteral("zoe"), QStringLiteral("bern"), 22);
             Person(QStringLiteral("ali"), QStringLiteral("bern"), 19);
             Note(QStringLiteral("first"));
             Note(QStringLiteral("second"));
             Note(QStringLiteral("third"), Card(QStringLiteral("first")));
         }},
        {"re-key by name", [&] { Set(Card(QStringLiteral("mia")), iName, Val::Str(QStringLiteral("abe"))); }},
        {"re-key by age", [&] { Set(Card(QStringLiteral("zoe")), iAge, Val::Int(77)); }},
        {"move to another town", [&] { Set(Card(QStringLiteral("zoe")), iTown, Val::Str(QStringLiteral("genf"))); }},
        {"longer and shorter texts", [&] {
             const TCardRef note = Card(QStringLiteral("second"));
             Set(note, iNote, Val::Str(QString(5000, QChar(0x20AC))));
             Set(note, iNote, Val::Str(QString::fromUtf8("\xF0\x9F\x90\xA8")));
         }},
        {"undefined in place", [&] { Set(Card(QStringLiteral("zoe")), iPrice, TValue()); }},
        {"delete a value", [&] {
             const TCardRef card = Card(QStringLiteral("mia"));
             card->DeleteControlVal(iWakes->Id());
             iRef[card->Id()].Values.erase(iWakes->Id());
         }},
        {"move a note", [&] {
             const TCardRef last = Card(QStringLiteral("second"));
             iStack->MoveCard(*last, Card(QStringLiteral("third")).get());
             std::erase(iNoteOrder, last->Id());
             iNoteOrder.insert(iNoteOrder.begin(), last->Id());
         }},
        {"type change", [&] {
             iPrice->SetConType(EConTypeInteger);
             for (auto& [id, ref] : iRef)
             {
                 const auto price = ref.Values.find(iPrice->Id());
                 if (price == ref.Values.end() || price->second.iType == EValUndef)
                     continue;
                 Set(iStack->GetCardById(id), iPrice, Val::Int(int32_t(std::lround(price->second.iReal))));
             }
         }},
        {"delete cards", [&] {
             Delete(Card(QStringLiteral("third")));
             Delete(Card(QStringLiteral("mia")));
         }},
        {"add after deletes", [&] {
             Person(QStringLiteral("bea"), QStringLiteral("genf"), 58);
             Note(QStringLiteral("fourth"), Card(QStringLiteral("second")));
         }},
    };
    for (const TOp& op : ops)
    {
        SCOPED_TRACE(op.Name);
        op.Do();
        ExpectLikeTheReference();
    }
}

// A stack's files are the same bytes however often it goes through either form.
class CardRecordsFilesTest : public StackFixture
{
protected:
    QByteArray Save(const TStackRef& aStack, const QString& aName)
    {
        const QString path = iDir.File(aName);
        SaveStackFile(aStack, path);
        return FileContent(path);
    }

    TStackRef Load(const QString& aName)
    {
        TStackRef stack;
        TStackViewRecRef view;
        CVexilStackFile file;
        file.Construct(iDir.File(aName));
        file.LoadStack(stack, view);
        return stack;
    }

    // aCount cards of two backgrounds with every type of value and their edge values, some
    // undefined in place, put in as a reader of a file would.
    void Build(int aCount)
    {
        const TControlSetRef other = AddBackground(QStringLiteral("Other"));
        std::vector<TControlRef> fields[2];
        for (const TControlSetRef& background : {iBg, other})
        {
            auto& list = fields[background == iBg ? 0 : 1];
            for (const int32_t type : {EConTypeText, EConTypeInteger, EConTypeReal, EConTypeDate, EConTypeTime,
                                       EConTypeBoolean, EConTypeText})
                list.push_back(NewField(*iStack, *background, QStringLiteral("F%1").arg(list.size()), type));
        }
        const QString texts[] = {QString(), QStringLiteral("Stra\u00DFe"), QStringLiteral("5 \u20AC"),
                                 QString::fromUtf8("\xF0\x9F\x90\xA8"), QString(16383, QChar('m'))};
        const double reals[] = {0.0, -0.0, 1e308, -2.5, 4.9e-324};
        std::mt19937 random(10);
        for (int i = 0; i < aCount; ++i)
        {
            const auto& list = fields[i % 3 == 0 ? 1 : 0];
            auto card = std::make_shared<CVexilCard>();
            card->Construct(QStringLiteral("c%1").arg(i), list[0] == fields[0][0] ? iBg : other);
            const auto pick = [&](int aOf) { return int(random() % unsigned(aOf)); };
            const QString text = pick(50) == 0 ? texts[pick(5)] : QStringLiteral("card %1").arg(i);
            const TValue values[] = {Val::Str(text),
                                     Val::Int(int32_t(random())),
                                     Val::Real(reals[pick(5)]),
                                     Val::Date(QDate(1900, 1, 1).addDays(pick(60000))),
                                     Val::Time(QTime(0, 0).addSecs(pick(86400))),
                                     Val::Bool(pick(2) == 0),
                                     pick(4) == 0 ? TValue() : Val::Str(texts[pick(4)])};
            for (size_t f = 0; f < list.size(); ++f)
                if (values[f].iType != EValUndef)
                    card->AddStoredVal(list[f]->Id(), values[f]);
            TCardRef none;
            iStack->AddCard(card, none, false);
            if (pick(5) == 0)
                card->SetControlVal(list[2]->Id(), TValue());  // an undefined value kept in place
        }
    }

    void ExpectSameBytesThroughBothForms()
    {
        iStack->SetFlags(iStack->Flags() | EStkBinary);
        const QByteArray binary = Save(iStack, QStringLiteral("a.Quorvan"));
        const TStackRef loaded = Load(QStringLiteral("a.Quorvan"));
        EXPECT_TRUE(Save(loaded, QStringLiteral("b.Quorvan")) == binary);

        const int32_t flags = loaded->Flags();
        const int32_t id = loaded->Id();
        loaded->SetFlags(flags & ~EStkBinary);
        const QByteArray xml = Save(loaded, QStringLiteral("a.xml"));
        const TStackRef fromXml = Load(QStringLiteral("a.xml"));
        EXPECT_TRUE(Save(fromXml, QStringLiteral("b.xml")) == xml);
        fromXml->SetFlags(flags);
        fromXml->SetId(id);
        EXPECT_TRUE(Save(fromXml, QStringLiteral("c.Quorvan")) == binary);
    }

    TempDir iDir;
};

TEST_F(CardRecordsFilesTest, TenCardsSaveAlikeThroughBothForms)
{
    Build(10);
    ExpectSameBytesThroughBothForms();
}

TEST_F(CardRecordsFilesTest, HundredThousandCardsSaveAlikeThroughBothForms)
{
    Build(100'000);
    ExpectSameBytesThroughBothForms();
}
}  // namespace
