#include "PickerFixture.h"

#include "editors/VexilControlSelect.h"
#include "foundation/VexilArray.h"

namespace
{
class ControlSelectTest : public PickerFixture
{
protected:
    static void SetUpTestSuite()
    {
        PickerFixture::SetUpTestSuite();
        CVexilControlSelect::Register();
    }

    static std::shared_ptr<CVexilArray> Ids(const QStringList& aNames)
    {
        auto ids = std::make_shared<CVexilArray>();
        ids->Construct(0, EValInt);
        for (const QString& name : aNames)
        {
            TArrayElem elem;
            ids->InitElem(elem);
            elem.iVal.iInt = name.startsWith(QLatin1Char('#')) ? name.mid(1).toInt() : Field("Person", name)->Id();
            ids->CreateAtEnd(elem);
        }
        return ids;
    }
    static QStringList Names(const CVexilArray* aIds)
    {
        if (!aIds)
            return {QStringLiteral("(none)")};
        QStringList names;
        for (int32_t i = 0; i < aIds->Count(); ++i)
        {
            TArrayElem elem;
            aIds->ReadByIndex(i, elem);
            TControlRef field;
            names += Background(QStringLiteral("Person"))->GetControl(elem.iVal.iInt, field) ? field->Name()
                                                                                            : QStringLiteral("?");
        }
        return names;
    }

    CVexilControlSelect& OpenPicker(const std::shared_ptr<CVexilArray>& aIds, int16_t aCase = 0)
    {
        iCaller = PickerCaller::Instance();
        CVexilWinMan::ShowForm(*iCaller);
        CVexilControlSelect* picker = CVexilControlSelect::Instance();
        picker->SelectControls(iCaller, Background(QStringLiteral("Person")), aCase, aIds);
        return *picker;
    }

    PickerCaller* iCaller = nullptr;
};

TEST_F(ControlSelectTest, DoneHandsBackThePreselectedFieldsInDisplayOrderInTheSameArray)
{
    const std::shared_ptr<CVexilArray> ids = Ids({"City", "Name"});
    CVexilControlSelect& picker = OpenPicker(ids, 5);

    EXPECT_EQ(picker.Caption(), QStringLiteral("Select Fields"));
    EXPECT_TRUE(picker.isVisible());
    EXPECT_EQ(Lines(*picker.fControlBox), (QStringList{"Name", "Age", "City", "Notes", "Pick"}));
    EXPECT_EQ(SelectedLines(*picker.fControlBox), (QStringList{"Name", "City"}));
    ASSERT_TRUE(picker.fDoneBut->isEnabled());

    QTest::mouseClick(picker.fDoneBut, Qt::LeftButton);
    ASSERT_EQ(PickerCaller::iControls.size(), 1U);
    EXPECT_EQ(PickerCaller::iControls[0].first, ids) << "the caller's own array, refilled";
    EXPECT_EQ(Names(ids.get()), (QStringList{"Name", "City"}));
    EXPECT_EQ(PickerCaller::iControls[0].second, 5);
    EXPECT_EQ(picker.Case(), UndefInt);
    EXPECT_FALSE(picker.isVisible());

    // Without a caller Done does nothing more.
    picker.show();
    EXPECT_FALSE(picker.fDoneBut->isEnabled());
    QTest::mouseClick(picker.fDoneBut, Qt::LeftButton);
    EXPECT_EQ(PickerCaller::iControls.size(), 1U);
}

TEST_F(ControlSelectTest, TheAnswerFollowsTheListNotTheOrderOfTheClicks)
{
    CVexilControlSelect& picker = OpenPicker(nullptr);
    EXPECT_TRUE(SelectedLines(*picker.fControlBox).isEmpty());
    ClickLine(*picker.fControlBox, QStringLiteral("Notes"));
    ClickLine(*picker.fControlBox, QStringLiteral("Age"), Qt::ControlModifier);
    ClickLine(*picker.fControlBox, QStringLiteral("Name"), Qt::ControlModifier);
    QTest::mouseClick(picker.fDoneBut, Qt::LeftButton);

    ASSERT_EQ(PickerCaller::iControls.size(), 1U);
    EXPECT_EQ(Names(PickerCaller::iControls[0].first.get()), (QStringList{"Name", "Age", "Notes"}));
}

TEST_F(ControlSelectTest, NothingChosenHandsBackNoneAndEmptiesTheCallersArray)
{
    const std::shared_ptr<CVexilArray> ids = Ids({"City"});
    CVexilControlSelect& picker = OpenPicker(ids);
    ClickLine(*picker.fControlBox, QStringLiteral("City"), Qt::ControlModifier);
    ASSERT_TRUE(SelectedLines(*picker.fControlBox).isEmpty());
    QTest::mouseClick(picker.fDoneBut, Qt::LeftButton);

    OpenPicker(nullptr);
    QTest::mouseClick(picker.fDoneBut, Qt::LeftButton);

    ASSERT_EQ(PickerCaller::iControls.size(), 2U);
    EXPECT_EQ(PickerCaller::iControls[0].first, nullptr);
    EXPECT_EQ(ids->Count(), 0);
    EXPECT_EQ(PickerCaller::iControls[1].first, nullptr);
}

TEST_F(ControlSelectTest, CancelHandsBackNothing)
{
    const std::shared_ptr<CVexilArray> ids = Ids({"Age"});
    CVexilControlSelect& picker = OpenPicker(ids, 2);
    ClickLine(*picker.fControlBox, QStringLiteral("Notes"), Qt::ControlModifier);
    QTest::mouseClick(picker.fCancelBut, Qt::LeftButton);

    EXPECT_TRUE(PickerCaller::iControls.empty());
    EXPECT_EQ(Names(ids.get()), QStringList{"Age"});
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picker.Case(), 2);
}

TEST_F(ControlSelectTest, IdsAndNamesOfNoFieldAreSkipped)
{
    // An id of nothing and the id of another background: preselected is what is a field.
    const QString otherId = QStringLiteral("#%1").arg(Background(QStringLiteral("Empty"))->Id());
    CVexilControlSelect& picker = OpenPicker(Ids({"#999999", "Notes", otherId}));
    EXPECT_EQ(SelectedLines(*picker.fControlBox), QStringList{"Notes"});
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());

    const TControlSetRef person = Background(QStringLiteral("Person"));
    EXPECT_EQ(Names(CVexilControlSelect::IdsOfNames(QStringLiteral("City, Nobody ,Name,"), *person).get()),
              (QStringList{"City", "Name"}));
    EXPECT_EQ(CVexilControlSelect::IdsOfNames(QStringLiteral("Nobody"), *person), nullptr);
    EXPECT_EQ(CVexilControlSelect::IdsOfNames(QString(), *person), nullptr);
}

TEST_F(ControlSelectTest, DoneHandsBackOnlyFieldsStillInTheBackground)
{
    CVexilControlSelect& picker = OpenPicker(Ids({"City", "Notes"}));
    const TControlSetRef person = Background(QStringLiteral("Person"));
    gStack->DeleteControl(Field(QStringLiteral("Person"), QStringLiteral("City"))->Id(), *person);
    ASSERT_EQ(SelectedLines(*picker.fControlBox), (QStringList{"City", "Notes"})) << "the list is not refreshed";
    QTest::mouseClick(picker.fDoneBut, Qt::LeftButton);

    ASSERT_EQ(PickerCaller::iControls.size(), 1U);
    EXPECT_EQ(Names(PickerCaller::iControls[0].first.get()), QStringList{"Notes"});
}

TEST_F(ControlSelectTest, ClosedAndOpenedAgainItBuildsItsListAnewAtItsPlace)
{
    CVexilControlSelect* picker = &OpenPicker(Ids({"Age"}));
    picker->move(picker->pos() + QPoint(40, 30));
    const QPoint placed = picker->pos();
    picker->close();
    FlushDeletes();
    EXPECT_FALSE(CVexilWinMan::IsFormLoaded(CVexilControlSelect::KClassName));

    picker = &OpenPicker(Ids({"Name"}));
    EXPECT_EQ(picker->pos(), placed);
    EXPECT_EQ(SelectedLines(*picker->fControlBox), QStringList{"Name"});
    QTest::mouseClick(picker->fDoneBut, Qt::LeftButton);
    EXPECT_EQ(Names(PickerCaller::iControls.at(0).first.get()), QStringList{"Name"});

    // Closing the stack unloads it.
    OpenPicker(nullptr);
    CloseStack();
    EXPECT_FALSE(CVexilWinMan::IsFormLoaded(CVexilControlSelect::KClassName));
}
}  // namespace
