#include "AssertAnswers.h"
#include "foundation/VexilFont.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

// An object to attach to lines.
class TTag final : public CVexilObject
{
public:
    explicit TTag(QString aName) : iName(std::move(aName)) {}
    QString ObjDescr() const override { return iName; }
    QString iName;
};

// A window with a list view, a combo box and a list view of several selectable lines.
class ListForm : public CVexilForm
{
public:
    ListForm()
    {
        fList = Add<CVexilListView>(QStringLiteral("fList"));
        fCombo = Add<CVexilComboBox>(QStringLiteral("fCombo"));
        fMulti = Add<CVexilListView>(QStringLiteral("fMulti"));
        fMulti->setSelectionMode(QAbstractItemView::MultiSelection);
        resize(600, 400);
        fList->Move(150, 300, 3050, 2000);
        fMulti->Move(150, 3000, 3050, 2000);
    }
    CVexilListView* fList;
    CVexilComboBox* fCombo;
    CVexilListView* fMulti;
};

class ListBoxTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CVexilLibUi::InitLib(); }

    // A box of that kind bound to the form's widget.
    std::unique_ptr<CVexilListBox> Box(int32_t aLisType)
    {
        auto box = std::make_unique<CVexilListBox>();
        box->Construct(aLisType);
        if (aLisType == ELisSingle)
            box->SetBaseObj(iForm.fList);
        else
            box->SetBaseObj(iForm.fCombo);
        return box;
    }

    // What the widget shows: items separated by ";", the columns of a list item by "|".
    QString Shown(int32_t aLisType) const
    {
        QStringList items;
        if (aLisType == ELisCombo)
        {
            for (int i = 0; i < iForm.fCombo->count(); ++i)
                items.append(iForm.fCombo->itemText(i));
            return items.join(u';');
        }
        for (int i = 0; i < iForm.fList->topLevelItemCount(); ++i)
        {
            QStringList columns;
            for (int c = 0; c < iForm.fList->columnCount(); ++c)
                columns.append(iForm.fList->topLevelItem(i)->text(c));
            items.append(columns.join(u'|'));
        }
        return items.join(u';');
    }

    static QStringList ColumnKeys(const CVexilListView& aView)
    {
        QStringList keys;
        for (int c = 0; c < aView.columnCount(); ++c)
            keys.append(aView.headerItem()->data(c, Qt::UserRole).toString());
        return keys;
    }

    ListForm iForm;
};

TObjRef Tag(const char* aName)
{
    return std::make_shared<TTag>(QString::fromLatin1(aName));
}

}  // namespace

// What the user sees after each operation, and what the box answers.
TEST_F(ListBoxTest, WidgetAndSelectionAfterEachOperation)
{
    const TObjRef tagB = Tag("b");
    struct TCase
    {
        const char* Name;
        int32_t LisType;
        std::function<void(CVexilListBox&)> Do;
        const char* Shown;  // the widget's items
        int32_t SelIndex;
        int32_t NumLines;
    };
    const TCase cases[] = {
        {"three columns in two", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.DefineColumns({QStringLiteral("A"), QStringLiteral("B")}, {1000, 1000});
             aBox.AddLine(QStringLiteral("a\tb\tc"), nullptr);
             aBox.AddLine(QStringLiteral("d"), nullptr);
             aBox.Show();
         },
         "a|b;d|", 0, 2},
        {"three columns in a combo", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("a\tb\tc"), nullptr);
             aBox.Show();
         },
         "a\tb\tc", -1, 1},
        {"added before Show: widget untouched", ELisSingle,
         [](CVexilListBox& aBox) { aBox.AddLine(QStringLiteral("x"), nullptr); }, "", -1, 1},
        {"added after Show: list view appends at once", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("x"), nullptr);
             aBox.Show();
             aBox.AddLine(QStringLiteral("y"), nullptr);
         },
         "x;y", 0, 2},
        {"added after Show: a combo box waits for Show", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("x"), nullptr);
             aBox.Show();
             aBox.AddLine(QStringLiteral("y"), nullptr);
         },
         "x", -1, 2},
        {"inserted and replaced lines written through", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("x"), nullptr);
             aBox.Show();
             aBox.CreateLineAt(QStringLiteral("w"), nullptr, 0);
             aBox.ModifyLineAt(QStringLiteral("z"), nullptr, 1);
         },
         "w;z", 1, 2},
        {"inserted before Show: widget untouched", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.CreateLineAt(QStringLiteral("w"), nullptr, 0);
             aBox.ModifyLineAt(QStringLiteral("z"), nullptr, 0);
         },
         "", -1, 1},
        {"Clear keeps the items until Show", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("x"), nullptr);
             aBox.Show();
             aBox.Clear();
         },
         "x", 0, 0},
        {"ClearAndShow empties the widget", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("x"), nullptr);
             aBox.Show();
             aBox.ClearAndShow();
         },
         "", -1, 0},
        {"line not found selects the first", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("p,q,r"));
             aBox.Show();
             aBox.SetSelIndex(2);
             aBox.SetSelIndexByLine(QStringLiteral("s"));
         },
         "p;q;r", 0, 3},
        {"line found without regard to case", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("p,q,r"));
             aBox.Show();
             aBox.SetSelIndexByLine(QStringLiteral("Q"));
         },
         "p;q;r", 1, 3},
        {"line asked of an empty box clears and shows it", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("x"), nullptr);
             aBox.Show();
             aBox.Clear();
             aBox.SetSelIndexByLine(QStringLiteral("x"));
         },
         "", -1, 0},
        {"index past the end empties the box", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("a,b,c,d,e"));
             aBox.Show();
             aBox.SetSelIndexOrClear(5);
         },
         "", -1, 0},
        {"index within selects", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("a,b,c,d,e"));
             aBox.Show();
             aBox.SetSelIndexOrClear(4);
         },
         "a;b;c;d;e", 4, 5},
        {"combo text is exact", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("ABC,abc,abc"));
             aBox.Show();
             aBox.SetComboText(QStringLiteral("abc"));
         },
         "ABC;abc;abc", 1, 3},
        {"combo text of another case selects nothing", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("ABC,x"));
             aBox.Show();
             aBox.SetComboText(QStringLiteral("abc"));
         },
         "ABC;x", -1, 2},
        {"combo text not found leaves the selection", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("ABC,x"));
             aBox.Show();
             aBox.SetSelIndex(1);
             aBox.SetComboText(QStringLiteral("y"));
         },
         "ABC;x", 1, 2},
        {"SetEmpty clears the combo's selection", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("ABC,x"));
             aBox.Show();
             aBox.SetComboText(QStringLiteral("x"));
             aBox.SetEmpty();
         },
         "ABC;x", -1, 2},
        {"-1 clears a list view's selection", ELisSingle,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("a,b"));
             aBox.Show();
             aBox.SetSelIndex(-1);
         },
         "a;b", -1, 2},
        {"-1 clears a combo's selection", ELisCombo,
         [](CVexilListBox& aBox) {
             aBox.AddCommaList(QStringLiteral("a,b"));
             aBox.Show();
             aBox.SetSelIndex(0);
             aBox.SetSelIndex(-1);
         },
         "a;b", -1, 2},
        {"line of an object", ELisSingle,
         [&](CVexilListBox& aBox) {
             aBox.AddLine(QStringLiteral("a"), Tag("a"));
             aBox.AddLine(QStringLiteral("b"), tagB);
             aBox.Show();
             aBox.SetSelIndexByObj(tagB.get());
         },
         "a;b", 1, 2},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        const std::unique_ptr<CVexilListBox> box = Box(c.LisType);
        c.Do(*box);
        EXPECT_EQ(Shown(c.LisType), QString::fromUtf8(c.Shown));
        EXPECT_EQ(box->SelIndex(), c.SelIndex);
        EXPECT_EQ(box->NumLines(), c.NumLines);
        // Leave the shared widgets empty for the next case.
        box->ClearAndShow();
    }
}

TEST_F(ListBoxTest, ShowLoadsTheItemsOnce)
{
    const auto box = Box(ELisSingle);
    box->AddCommaList(QStringLiteral("a,b"));
    box->Show();
    iForm.fList->topLevelItem(0)->setText(0, QStringLiteral("changed"));
    box->Show();
    EXPECT_EQ(Shown(ELisSingle), QStringLiteral("changed;b"));
    // A column definition makes the next Show load them again.
    box->Define1Column(QStringLiteral("T"));
    box->Show();
    EXPECT_EQ(Shown(ELisSingle), QStringLiteral("a;b"));
}

TEST_F(ListBoxTest, SelectedLineAndObject)
{
    const TObjRef tagA = Tag("a");
    const auto box = Box(ELisSingle);
    EXPECT_EQ(box->SelObj(), nullptr);
    EXPECT_EQ(box->SelLine(), QString());
    box->AddLine(QStringLiteral("a\t1"), tagA);
    box->AddLine(QStringLiteral("b\t2"), nullptr);
    box->Show();
    // Filled and shown: the first line is selected.
    EXPECT_EQ(box->SelObj(), tagA);
    EXPECT_EQ(box->SelLine(), QStringLiteral("a\t1"));
    box->SetSelIndex(1);
    EXPECT_EQ(box->SelObj(), nullptr);
    EXPECT_EQ(box->SelLine(), QStringLiteral("b\t2"));
    EXPECT_TRUE(iForm.fList->topLevelItem(1)->isSelected());
    EXPECT_FALSE(iForm.fList->topLevelItem(0)->isSelected());

    int32_t index = 0;
    EXPECT_TRUE(box->GetObjIndex(tagA.get(), index));
    EXPECT_EQ(index, 0);
    // The very object, not an equal one.
    const TObjRef otherA = Tag("a");
    EXPECT_FALSE(box->GetObjIndex(otherA.get(), index));
    EXPECT_TRUE(box->FindInList(QStringLiteral("B\t2"), index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(box->IsInList(QStringLiteral("c")));
    EXPECT_EQ(box->ObjDescr(), QStringLiteral("CVexilListBox type=0,numLines=2"));
}

TEST_F(ListBoxTest, SeveralSelectableLinesAddToTheSelection)
{
    auto box = std::make_unique<CVexilListBox>();
    box->Construct(ELisSingle);
    box->SetBaseObj(iForm.fMulti);
    box->AddCommaList(QStringLiteral("a,b,c"));
    box->Show();
    box->SetSelIndex(2);
    EXPECT_TRUE(iForm.fMulti->topLevelItem(0)->isSelected());
    EXPECT_TRUE(iForm.fMulti->topLevelItem(2)->isSelected());
    EXPECT_EQ(box->SelIndex(), 2);
    box->SetSelIndex(-1);
    EXPECT_TRUE(iForm.fMulti->selectedItems().isEmpty());
    EXPECT_EQ(box->SelIndex(), -1);
}

TEST_F(ListBoxTest, IndexesOutsideTheLinesAreChecked)
{
    const auto box = Box(ELisSingle);
    box->AddCommaList(QStringLiteral("a,b,c"));
    box->Show();
    // -1 is "no line" for Obj, without a check.
    EXPECT_EQ(box->Obj(-1), nullptr);
    struct TCase
    {
        const char* Detail;
        std::function<void()> Do;
    };
    const TCase cases[] = {
        {"index -2,3", [&] { EXPECT_EQ(box->Obj(-2), nullptr); }},
        {"index 3,3", [&] { EXPECT_EQ(box->Obj(3), nullptr); }},
        {"Get Line index", [&] { EXPECT_EQ(box->Line(-1), QString()); }},
        {"Get Line index", [&] { EXPECT_EQ(box->Line(3), QString()); }},
        {"SetSelIndex index", [&] { box->SetSelIndex(-2); }},
        {"SetSelIndex index", [&] { box->SetSelIndex(3); }},
        {"found", [&] { box->SetSelIndexByObj(Tag("x").get()); }},
        {"combo", [&] { box->SetEmpty(); }},
        {"SetComboText combo", [&] { box->SetComboText(QStringLiteral("a")); }},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Detail);
        IgnoredAssert expected(QString::fromUtf8(c.Detail));
        c.Do();
    }
    // Going on past them changed nothing.
    EXPECT_EQ(box->SelIndex(), 0);
    EXPECT_EQ(Shown(ELisSingle), QStringLiteral("a;b;c"));
}

TEST_F(ListBoxTest, WrongKindsAreAsserted)
{
    auto box = std::make_unique<CVexilListBox>();
    {
        IgnoredAssert expected(QStringLiteral("Construct TypeOf"));
        box->Construct(2, iForm.fList);
    }
    EXPECT_EQ(box->BaseObj(), nullptr);

    box->Construct(ELisSingle);
    {
        IgnoredAssert expected(QStringLiteral("SetObj ListView"));
        box->SetBaseObj(iForm.fCombo);
    }
    EXPECT_EQ(box->BaseObj(), nullptr);

    box->Construct(ELisCombo, iForm.fCombo);
    EXPECT_EQ(box->BaseObj(), iForm.fCombo);
    {
        IgnoredAssert expected(QStringLiteral("SetObj ComboBox"));
        box->SetBaseObj(iForm.fList);
    }
    {
        IgnoredAssert expected(QStringLiteral("DefineColums ELisSingle"));
        box->DefineColumns({QStringLiteral("A")}, {100});
    }
    // None unbinds without a question.
    box->SetBaseObj(nullptr);
    EXPECT_EQ(box->BaseObj(), nullptr);
}

TEST_F(ListBoxTest, ColumnsFixedFractionalAndListed)
{
    const auto box = Box(ELisSingle);
    // Bound: one column titled with a blank over the usable width.
    const float usable = iForm.fList->Width() - CVexilLibUi::ListBorderWidth();
    ASSERT_EQ(iForm.fList->columnCount(), 1);
    EXPECT_EQ(iForm.fList->headerItem()->text(0), QStringLiteral(" "));
    EXPECT_EQ(iForm.fList->columnWidth(0), CVexilCtl::TwipsToPixels(usable));

    struct TCase
    {
        const char* Spec;
        QStringList Titles;
        std::vector<float> Twips;
    };
    const TCase cases[] = {
        {"Name:0.5,Value:0.5", {QStringLiteral("Name"), QStringLiteral("Value")}, {usable * 0.5F, usable * 0.5F}},
        {"Name:2000,Value:1", {QStringLiteral("Name"), QStringLiteral("Value")}, {2000, 1}},
        {"Id:0,Name:1", {QStringLiteral("Id"), QStringLiteral("Name")}, {0, usable}},
        {"Only", {QStringLiteral("Only")}, {0}},
        {"A:0.2,B:0.3,C:x", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, {usable * 0.2F, usable * 0.3F, 0}},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Spec);
        box->DefineColumnsList(QString::fromUtf8(c.Spec));
        ASSERT_EQ(iForm.fList->columnCount(), c.Titles.size());
        QStringList keys;
        for (int i = 0; i < c.Titles.size(); ++i)
        {
            EXPECT_EQ(iForm.fList->headerItem()->text(i), c.Titles[i]);
            EXPECT_EQ(iForm.fList->columnWidth(i), CVexilCtl::TwipsToPixels(c.Twips[size_t(i)])) << i;
            keys.append(QStringLiteral("X") + QString::number(i + 1));
        }
        EXPECT_EQ(ColumnKeys(*iForm.fList), keys);
    }
}

TEST_F(ListBoxTest, ResizeFillsTheWindowByItsFlags)
{
    const auto box = Box(ELisSingle);
    box->DefineColumnsList(QStringLiteral("A:0.5,B:0.5"));
    box->AddLine(QStringLiteral("a\tb"), nullptr);
    box->Show();
    const float margin = CVexilLibUi::MmToTwips(1);

    struct TCase
    {
        const char* Name;
        int32_t Flags;
        int WindowWidth;  // pixels
        int WindowHeight;
        float Width;  // twips expected; 0 = unchanged
        float Height;
    };
    const TCase cases[] = {
        {"no flags", 0, 600, 400, 0, 0},
        {"height only", ELbfFillHeight, 600, 400, 0, 400 * 15 - 300 - margin},
        {"width only", ELbfFillWidth, 500, 400, 500 * 15 - 150 - margin, 0},
        {"both", ELbfFillHeight | ELbfFillWidth, 700, 500, 700 * 15 - 150 - margin, 500 * 15 - 300 - margin},
        // Smaller than the view's position plus 16 mm: 15 mm in both directions.
        {"too small", ELbfFillHeight | ELbfFillWidth, 60, 60, 850.5F, 850.5F},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        iForm.fList->Move(150, 300, 3050, 2000);
        iForm.resize(c.WindowWidth, c.WindowHeight);
        box->SetFlags(c.Flags);
        box->Resize();
        EXPECT_FLOAT_EQ(iForm.fList->Width(), c.Width != 0 ? c.Width : 3050);
        EXPECT_FLOAT_EQ(iForm.fList->Height(), c.Height != 0 ? c.Height : 2000);
        // The half columns follow the new width, and the items are loaded again on Show.
        const float half = (iForm.fList->Width() - CVexilLibUi::ListBorderWidth()) * 0.5F;
        EXPECT_EQ(iForm.fList->columnWidth(0), CVexilCtl::TwipsToPixels(half));
        EXPECT_EQ(iForm.fList->columnWidth(1), CVexilCtl::TwipsToPixels(half));
        box->Show();
        EXPECT_EQ(Shown(ELisSingle), QStringLiteral("a|b"));
    }

    // A combo box is left alone.
    const auto combo = Box(ELisCombo);
    const QRect before = iForm.fCombo->geometry();
    combo->SetFlags(ELbfFillHeight | ELbfFillWidth);
    combo->Resize();
    EXPECT_EQ(iForm.fCombo->geometry(), before);
}

TEST_F(ListBoxTest, ColumnsWithinTheInnerWidthShowNoHorizontalScrollBar)
{
    const auto box = Box(ELisSingle);
    const CVexilListView& view = *iForm.fList;
    const float usable = iForm.fList->Width() - CVexilLibUi::ListBorderWidth();
    const auto settled = [&] {
        return QTest::qWaitFor([&] { return view.verticalScrollBar()->isVisible() == (box->NumLines() > 5); });
    };
    struct TCase
    {
        const char* Spec;
        std::vector<float> Twips;
        bool Fits;
    };
    const TCase cases[] = {
        {"Value:1", {usable}, true},
        {"Name:0.5,Value:0.5", {usable * 0.5F, usable * 0.5F}, true},
        {"Id:0,Name:1", {0, usable}, true},
        {"Name:1000,Value:1500", {1000, 1500}, true},
        {"Name:2000,Value:2000", {2000, 2000}, false},
    };
    iForm.show();
    for (const TCase& c : cases)
    {
        // Defined on the shown view, and on the hidden view shown afterwards.
        for (const bool hidden : {false, true})
        {
            SCOPED_TRACE(std::string(c.Spec) + (hidden ? " hidden" : " shown"));
            iForm.setVisible(!hidden);
            box->Clear();
            for (int i = 0; i < 30; ++i)
                box->AddLine(QStringLiteral("line %1").arg(i), nullptr);
            box->DefineColumnsList(QString::fromUtf8(c.Spec));
            box->Show();
            iForm.show();
            ASSERT_TRUE(settled());
            EXPECT_EQ(view.horizontalScrollBar()->isVisible(), !c.Fits);
            const int last = view.columnCount() - 1;
            for (int i = 0; i < last; ++i)
                EXPECT_EQ(view.columnWidth(i), CVexilCtl::TwipsToPixels(c.Twips[size_t(i)])) << i;
            if (c.Fits)
                EXPECT_LE(view.header()->length(), view.viewport()->width());
            else
                EXPECT_EQ(view.columnWidth(last), CVexilCtl::TwipsToPixels(c.Twips.back()));

            // Without the vertical scroll bar the last column has its width again.
            box->Clear();
            box->AddLine(QStringLiteral("one"), nullptr);
            box->Show();
            ASSERT_TRUE(settled());
            EXPECT_EQ(view.horizontalScrollBar()->isVisible(), !c.Fits);
            EXPECT_EQ(view.columnWidth(last), CVexilCtl::TwipsToPixels(c.Twips.back()));
        }
    }
}

TEST_F(ListBoxTest, FontAndTrueSize)
{
    const auto box = Box(ELisSingle);
    // The default font: Arial 11 points shown in 8 without the true-size flag.
    EXPECT_EQ(iForm.fList->font().family(), QFont(QStringLiteral("Arial")).family());
    EXPECT_EQ(iForm.fList->font().pointSizeF(), 8.0);
    ASSERT_NE(box->Font(), nullptr);
    EXPECT_EQ(box->Font()->Size(), 220);
    box->SetFlag(ELbfTrueFontSize, true);
    EXPECT_EQ(iForm.fList->font().pointSizeF(), 11.0);
    box->SetFlag(ELbfTrueFontSize, false);
    EXPECT_EQ(iForm.fList->font().pointSizeF(), 8.0);
    // Flags replaced as a whole apply nothing.
    box->SetFlags(ELbfTrueFontSize);
    EXPECT_EQ(iForm.fList->font().pointSizeF(), 8.0);
    EXPECT_TRUE(box->Flag(ELbfTrueFontSize));

    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Courier"), 300, 0x0000FF);
    font->SetFlags(EFontBold | EFontUnderline);
    box->SetFont(font);
    EXPECT_EQ(iForm.fList->font().pointSizeF(), 15.0);
    EXPECT_TRUE(iForm.fList->font().bold());
    EXPECT_FALSE(iForm.fList->font().italic());
    EXPECT_TRUE(iForm.fList->font().underline());
    EXPECT_EQ(iForm.fList->ForeColor(), 0x0000FF);

    // A font without colour shows black; a widget bound later gets the font.
    auto plain = std::make_shared<CVexilFont>();
    plain->Construct(QStringLiteral("Courier"), 200, UndefLong);
    auto combo = std::make_unique<CVexilListBox>();
    combo->Construct(ELisCombo);
    combo->SetFont(plain);
    combo->SetBaseObj(iForm.fCombo);
    EXPECT_EQ(iForm.fCombo->font().pointSizeF(), 10.0);
    EXPECT_EQ(iForm.fCombo->ForeColor(), 0);
}

TEST_F(ListBoxTest, RebindingLoadsTheNewWidget)
{
    // A combo list shown in one combo box and then given another one.
    ListForm other;
    auto box = std::make_unique<CVexilListBox>();
    box->Construct(ELisCombo, iForm.fCombo);
    box->AddCommaList(QStringLiteral("a,b"));
    box->Show();
    box->SetBaseObj(other.fCombo);
    box->Show();
    EXPECT_EQ(other.fCombo->count(), 2);
}
