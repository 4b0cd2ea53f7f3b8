#include "AssertAnswers.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace
{
// A small design: two text boxes of one name (the first counts), a box holding a label,
// a list view, a check box and a line.
class TestForm : public CVexilForm
{
public:
    TestForm()
    {
        fFirst = Add<CVexilTextBox>(QStringLiteral("fText"));
        fSecond = Add<CVexilTextBox>(QStringLiteral("fText"));
        fBox = Add<CVexilPictureBox>(QStringLiteral("fBox"));
        fInBox = Add<CVexilLabel>(QStringLiteral("fInBox"), fBox);
        fList = Add<CVexilListView>(QStringLiteral("fList"));
        fCheck = Add<CVexilCheckBox>(QStringLiteral("fCheck"));
        fRich = Add<CVexilRichTextBox>(QStringLiteral("fRich"));
        fLine = Add<CVexilLine>(QStringLiteral("fLine"));
    }
    CVexilTextBox* fFirst;
    CVexilTextBox* fSecond;
    CVexilPictureBox* fBox;
    CVexilLabel* fInBox;
    CVexilListView* fList;
    CVexilCheckBox* fCheck;
    CVexilRichTextBox* fRich;
    CVexilLine* fLine;
};

QStringList TabOrderNames(const CVexilForm& aForm)
{
    QStringList names(int(aForm.Controls().size()));
    for (CVexilCtl* ctl : aForm.Controls())
        names[ctl->TabIndex()] = ctl->Name();
    return names;
}

TEST(Ctl, PositionsReadBackAsSetAndPlaceAtTheNearestPixel)
{
    struct TCase
    {
        float Twips;
        int Pixels;
    };
    const TCase cases[] = {{0, 0}, {15, 1}, {302, 20}, {315, 21}, {4685, 312}, {4692.5F, 313}, {-7.6F, -1}};
    TestForm form;
    for (const TCase& c : cases)
    {
        form.fFirst->Move(c.Twips, c.Twips, 1000, 1000);
        EXPECT_EQ(form.fFirst->Left(), c.Twips);
        EXPECT_EQ(form.fFirst->Top(), c.Twips);
        EXPECT_EQ(form.fFirst->x(), c.Pixels) << c.Twips;
        form.fFirst->SetHeight(c.Twips < 0 ? 0 : c.Twips);
        EXPECT_EQ(form.fFirst->Height(), c.Twips < 0 ? 0 : c.Twips);
        EXPECT_EQ(form.fFirst->Width(), 1000);
    }
}

TEST(Ctl, OneSideSetKeepsTheOthersAndASideMovedElsewhereReadsItsPixels)
{
    TestForm form;
    form.fList->Move(101, 202, 3001, 704);
    form.fList->SetTop(10000);
    EXPECT_EQ(form.fList->Left(), 101);
    EXPECT_EQ(form.fList->Top(), 10000);
    EXPECT_EQ(form.fList->Width(), 3001);
    EXPECT_EQ(form.fList->Height(), 704);

    // Resized by other means: the width follows the widget, the rest stays as set.
    form.fList->resize(50, form.fList->height());
    EXPECT_EQ(form.fList->Width(), 750);
    EXPECT_EQ(form.fList->Height(), 704);
    EXPECT_EQ(form.fList->Left(), 101);
}

TEST(Ctl, VisibleAndEnabledAreTheControlsOwnSettings)
{
    TestForm form;  // never shown
    EXPECT_TRUE(form.fFirst->Visible());
    EXPECT_FALSE(form.Visible());
    form.fBox->SetVisible(false);
    EXPECT_TRUE(form.fInBox->Visible());
    EXPECT_FALSE(form.fBox->Visible());

    form.fBox->SetEnabled(false);
    EXPECT_TRUE(form.fInBox->Enabled());
    EXPECT_FALSE(form.fInBox->isEnabled());
    form.fBox->SetEnabled(true);
    EXPECT_TRUE(form.fInBox->isEnabled());
}

TEST(Ctl, ColoursKeepRedInTheLowByte)
{
    TestForm form;
    form.fFirst->SetBackColor(0x00336699);
    EXPECT_EQ(form.fFirst->BackColor(), 0x00336699);
    EXPECT_EQ(form.fFirst->palette().color(QPalette::Base), QColor(0x99, 0x66, 0x33));
    form.fCheck->SetBackColor(0xFF);
    EXPECT_EQ(form.fCheck->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_TRUE(form.fCheck->autoFillBackground());
    form.fFirst->SetForeColor(0xFF0000);
    EXPECT_EQ(form.fFirst->ForeColor(), 0xFF0000);
    EXPECT_EQ(form.fFirst->palette().color(QPalette::Text), QColor(0, 0, 255));
    // Before any setting the back colour is the widget's own.
    EXPECT_EQ(form.fList->BackColor(), CVexilCtl::FromQColor(form.fList->palette().color(QPalette::Base)));
}

TEST(Form, ControlsAreFoundByNameInDesignOrder)
{
    TestForm form;
    EXPECT_EQ(form.Control(QStringLiteral("fText")), form.fFirst);
    EXPECT_EQ(form.Control(QStringLiteral("fInBox")), form.fInBox);
    EXPECT_EQ(form.Control(QStringLiteral("ftext")), nullptr);
    ASSERT_EQ(form.Controls().size(), 8U);
    EXPECT_EQ(form.Controls()[1], form.fSecond);
    EXPECT_EQ(CVexilCtl::Of(form.fInBox), form.fInBox);
    EXPECT_EQ(CVexilCtl::Of(form.fInBox->parent()), form.fBox);
    EXPECT_EQ(CVexilForm::FormOf(*form.fInBox), &form);
}

TEST(Form, TabIndexesStayARangeAndTheFocusFollows)
{
    TestForm form;
    EXPECT_EQ(TabOrderNames(form).join(' '), "fText fText fBox fInBox fList fCheck fRich fLine");
    form.fCheck->SetTabIndex(0);
    form.fRich->SetTabIndex(1);
    form.fFirst->SetTabIndex(99);  // beyond the end: last
    EXPECT_EQ(TabOrderNames(form).join(' '), "fCheck fRich fText fBox fInBox fList fLine fText");
    EXPECT_EQ(form.fFirst->TabIndex(), 7);

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.fCheck->setFocus();
    EXPECT_EQ(form.ActiveControl(), form.fCheck);
    QTest::keyClick(&form, Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), form.fRich);
    form.hide();
}

TEST(Form, OuterAndInnerSizes)
{
    TestForm form;
    form.Move(1500, 1500, 7000, 5000);
    EXPECT_EQ(form.Width(), 7000);
    EXPECT_EQ(form.Height(), 5000);
    const QSize frame = form.frameGeometry().size() - form.size();
    EXPECT_EQ(form.InnerWidth(), (467 - frame.width()) * 15.0F);
    EXPECT_EQ(form.InnerHeight(), (333 - frame.height()) * 15.0F);
    EXPECT_EQ(form.Left(), 1500);
}

TEST(RichTextBox, LineEndsAreCrLfOutsideAndLfInside)
{
    TestForm form;
    const QString text = QStringLiteral("one\r\ntwo\u00a0three\r\n\r\nend");
    form.fRich->SetText(text);
    EXPECT_EQ(form.fRich->toPlainText().count('\n'), 3);
    EXPECT_EQ(form.fRich->Text(), text);
    form.fRich->SetSelStart(5);
    EXPECT_EQ(form.fRich->SelStart(), 5);
    form.fRich->SetSelStart(0);
    EXPECT_EQ(form.fRich->SelStart(), 0);
}

TEST(CheckBox, ValuesZeroOneTwo)
{
    TestForm form;
    const std::pair<int, int> cases[] = {{1, 1}, {0, 0}, {2, 2}, {-1, 1}, {0, 0}};
    for (const auto& [set, read] : cases)
    {
        form.fCheck->SetValue(set);
        EXPECT_EQ(form.fCheck->Value(), read) << set;
    }
}

TEST(Line, EndsPlaceTheLine)
{
    TestForm form;
    form.fLine->SetEnds(0, 715, 6000, 715);
    EXPECT_EQ(form.fLine->X2(), 6000);
    EXPECT_EQ(form.fLine->Y1(), 715);
    EXPECT_EQ(form.fLine->geometry(), QRect(0, 48, 401, 1));
}

TEST(PictureBox, TagAndPictureAndInnerSize)
{
    TestForm form;
    EXPECT_TRUE(form.fBox->Tag().isEmpty());
    form.fBox->SetTag(QStringLiteral(" 7"));
    QImage picture(10, 5, QImage::Format_RGB32);
    picture.fill(Qt::red);
    form.fBox->SetPicture(picture);
    EXPECT_EQ(form.fBox->Picture().size(), QSize(10, 5));
    form.fBox->Move(0, 0, 1500, 1500);
    const int border = form.fBox->frameWidth();
    EXPECT_EQ(form.fBox->InnerWidth(), (100 - 2 * border) * 15.0F);
    form.fBox->SetBorder(false);
    EXPECT_EQ(form.fBox->InnerHeight(), 1500);
}

TEST(FormRegistry, OneInstancePerNameAndUnknownNamesFail)
{
    int made = 0;
    CVexilFormRegistry::Register(QStringLiteral("TestForm"), [&made] {
        ++made;
        return new TestForm;
    });
    EXPECT_EQ(CVexilFormRegistry::Loaded(QStringLiteral("TestForm")), nullptr);
    CVexilForm* form = CVexilFormRegistry::NameToForm(QStringLiteral("TestForm"));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(CVexilFormRegistry::NameToForm(QStringLiteral("TestForm")), form);
    EXPECT_EQ(CVexilFormRegistry::Loaded(QStringLiteral("TestForm")), form);
    EXPECT_EQ(made, 1);
    {
        IgnoredAssert asked(QStringLiteral("NameToForm name CVexilNoSuchForm"));
        EXPECT_EQ(CVexilFormRegistry::NameToForm(QStringLiteral("CVexilNoSuchForm")), nullptr);
    }
    CVexilFormRegistry::UnloadAll();
    EXPECT_EQ(CVexilFormRegistry::Loaded(QStringLiteral("TestForm")), nullptr);
}
}  // namespace
