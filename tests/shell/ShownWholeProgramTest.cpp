// What the user reads in the running program's windows: a text box without the focus shows the
// start of its value, so that a value longer than the box does not read as another value; the
// font box, the buttons and the card list's columns show their whole text; the picture import
// offers every picture file it takes.

#include "../presentation/CardWindowUser.h"
#include "ProgramFixture.h"
#include "TestFiles.h"
#include "WindowFit.h"
#include "editors/VexilCardEdit.h"
#include "editors/VexilSortKeyEdit1.h"
#include "editors/VexilStackEdit.h"
#include "foundation/VexilFont.h"
#include "importexport/VexilCsvImportOptions.h"
#include "importexport/VexilImportOptions.h"
#include "presentation/VexilCardListForm.h"
#include "shell/VexilOptionEdit.h"

#include <QLineEdit>
#include <QStyle>

#include <vector>

namespace
{
using namespace CardWindowUser;

const QString KLongName = QStringLiteral("Anastasia Montgomery-Fairweather Macintosh");
// A stack file name long enough that its path is wider than any path box.
const QString KLongFile =
    QStringLiteral("Household accounts of the Montgomery-Fairweather family kept since the year two thousand.Quorvan");

class ShownWholeProgram : public ProgramFixture
{
protected:
    // A stack of one card "Anastasia Montgomery-Fairweather Macintosh" whose Income is
    // 12345678.9: both wider than their boxes. The card sets a bold serif font of its own.
    QString MakeAccounts() const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Accounts"));
        const TControlSetRef person = stack->Background(0);
        person->SetName(QStringLiteral("Person"));
        const TControlRef name = ShownField(*stack, *person, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef income = ShownField(*stack, *person, QStringLiteral("Income"), EConTypeReal);
        income->SetVisChar(6);
        income->SetDigits(2);
        const TCardRef card = NewCard(*stack, KLongName, person);
        card->SetControlVal(name->Id(), Val::Str(KLongName));
        card->SetControlVal(income->Id(), Val::Real(12345678.9));
        ShownField(*stack, *person, QStringLiteral("Photo"), EConTypePicture);
        auto font = std::make_shared<CVexilFont>();
        font->Construct(QStringLiteral("DejaVu Serif"), UndefInt, UndefLong);
        font->SetFlags(EFontBold);
        card->SetFont(font);
        return SaveInFolder(stack, KLongFile);
    }

    static QLineEdit* FieldBox(const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(gStack->Background(0)->GetControlByName(aName, field)) << aName.toStdString();
        return field ? qobject_cast<QLineEdit*>(field->BaseControl()) : nullptr;
    }

    // Where the box draws its cursor now, in the box (its scroll is brought up to date first).
    static int CursorAt(QLineEdit& aBox)
    {
        aBox.grab();
        return aBox.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    }
    // The part of the box that shows text: inside its frame.
    static QRect TextArea(const QLineEdit& aBox)
    {
        const int frame = aBox.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &aBox);
        return aBox.rect().adjusted(frame, 0, -frame, 0);
    }
    // The box shows the start of its value: the cursor before the first character, and that
    // character's left edge inside the box.
    static void ExpectShowsStart(QLineEdit& aBox)
    {
        EXPECT_EQ(aBox.cursorPosition(), 0);
        EXPECT_GE(CursorAt(aBox), TextArea(aBox).left()) << "first character cut";
    }
};
}  // namespace

TEST_F(ShownWholeProgram, ABoxWithoutTheFocusShowsTheStartOfItsValueAndTheFocusedOneFollowsTheCursor)
{
    const QString file = MakeAccounts();
    Start({file});
    ASSERT_NE(gStack, nullptr);
    Activate(Frame());
    const struct
    {
        const char* Box;
        std::function<QLineEdit*()> Show;
        QString Starts;
    } cases[] = {
        {"card window: a long name", [] { return FieldBox(QStringLiteral("Name")); }, KLongName},
        {"card window: a long Real", [] { return FieldBox(QStringLiteral("Income")); }, QStringLiteral("12")},
        {"Edit Stack: its path",
         [] {
             Choose(QStringLiteral("fStack"), QStringLiteral("fEditStack"));
             auto* editor = static_cast<CVexilStackEdit*>(Loaded(CVexilStackEdit::KClassName));
             return editor ? editor->fFileName : nullptr;
         },
         file},
        {"Options: the auto-load stack",
         [file] {
             Choose(QStringLiteral("fQuorvans"), QStringLiteral("fOptions"));
             auto* options = static_cast<CVexilOptionEdit*>(Loaded(CVexilOptionEdit::KClassName));
             if (!options)
                 return static_cast<CVexilTextBox*>(nullptr);
             // The stack chosen with Select... fills the box.
             ScriptedPrompts::Instance().ExpectFile(file);
             QTest::mouseClick(options->fSelectAutoBut, Qt::LeftButton);
             return options->fAutoLoadName;
         },
         file},
    };
    // Each value as the program sets it.
    std::vector<QLineEdit*> boxes;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Box);
        QLineEdit* box = c.Show();
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box->window()));
        ASSERT_TRUE(box->text().startsWith(c.Starts)) << box->text().toStdString();
        ASSERT_GT(box->fontMetrics().horizontalAdvance(box->text()), TextArea(*box).width()) << "fits anyway";
        ExpectShowsStart(*box);
        boxes.push_back(box);
    }
    // The user's turn: focused, the box scrolls to the cursor; left, it shows its start again.
    for (size_t i = 0; i < boxes.size(); ++i)
    {
        SCOPED_TRACE(cases[i].Box);
        QLineEdit* box = boxes[i];
        Activate(box->window());
        QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([box] { return box->hasFocus(); }));
        QTest::keyClick(box, Qt::Key_End);
        EXPECT_EQ(box->cursorPosition(), box->text().size());
        const int end = CursorAt(*box);
        EXPECT_TRUE(end >= TextArea(*box).left() && end <= TextArea(*box).right()) << "the end is out of sight: " << end;
        QTest::keyClick(box, Qt::Key_Home);
        EXPECT_GE(CursorAt(*box), TextArea(*box).left());
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Tab);
        ASSERT_TRUE(QTest::qWaitFor([box] { return !box->hasFocus(); }));
        ExpectShowsStart(*box);
    }
}

TEST_F(ShownWholeProgram, TheFontBoxTheSortButtonAndANewListColumnShowTheirWholeText)
{
    Start({MakeAccounts()});
    ASSERT_NE(gStack, nullptr);
    Activate(Frame());

    Choose(QStringLiteral("fCard"), QStringLiteral("fEditCard"));
    auto* cardEditor = static_cast<CVexilCardEdit*>(Loaded(CVexilCardEdit::KClassName));
    ASSERT_NE(cardEditor, nullptr);
    ASSERT_EQ(cardEditor->fFontName->text(), QStringLiteral("DejaVu Serif Bold"));
    QString text;
    int need = 0;
    int room = 0;
    ASSERT_TRUE(WindowFit::TextRoom(*cardEditor->fFontName, text, need, room));
    EXPECT_LE(need, room) << "the font box cuts \"" << text.toStdString() << "\"";
    EXPECT_EQ(WindowFit::Faults(*cardEditor), QStringList());

    Choose(QStringLiteral("fStack"), QStringLiteral("fEditSortKeys"));
    auto* sortEditor = static_cast<CVexilSortKeyEdit1*>(Loaded(CVexilSortKeyEdit1::KClassName));
    ASSERT_NE(sortEditor, nullptr);
    ASSERT_EQ(sortEditor->fSortBut->text(), QStringLiteral("Sort Cards"));
    ASSERT_TRUE(WindowFit::CaptionRoom(*sortEditor->fSortBut, need, room));
    EXPECT_LE(need, room) << "\"Sort Cards\" touches the button's edges";
    EXPECT_EQ(WindowFit::Faults(*sortEditor), QStringList());
}

TEST_F(ShownWholeProgram, ANewCardListColumnAfterACsvImportShowsItsWholeTitle)
{
    Start();
    const QString csv = SetFileContent(iDir.File(QStringLiteral("recipes.csv")),
                                       "Recipe;Servings\r\nPancakes;4\r\nSoup;2\r\n");
    Choose(QStringLiteral("fStack"), QStringLiteral("fImport"));
    auto* import = static_cast<CVexilImportOptions*>(Loaded(CVexilImportOptions::KClassName));
    ASSERT_NE(import, nullptr);
    QTest::mouseClick(import->fCsv, Qt::LeftButton, {}, QPoint(8, import->fCsv->height() / 2));
    ASSERT_TRUE(import->fCsv->isChecked());
    ScriptedPrompts::Instance().ExpectFile(csv);
    QTest::mouseClick(import->fOkBut, Qt::LeftButton);
    auto* options = static_cast<CVexilCsvImportOptions*>(Loaded(CVexilCsvImportOptions::KClassName));
    ASSERT_NE(options, nullptr);
    QTest::mouseClick(options->fImportBut, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(gStack, nullptr);
    ASSERT_EQ(gStack->NumCards(), 2);

    auto* list = static_cast<CVexilCardListForm*>(Loaded(CVexilCardListForm::KClassName));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    QStringList titles;
    for (int column = 0; column < list->fCardBox->columnCount(); ++column)
        titles << list->fCardBox->headerItem()->text(column);
    ASSERT_TRUE(titles.contains(QStringLiteral("Servings"))) << titles.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(WindowFit::Faults(*list), QStringList());
}

TEST_F(ShownWholeProgram, ThePictureImportOffersPngAndJpegFiles)
{
    Start({MakeAccounts()});
    ASSERT_NE(gStack, nullptr);
    Activate(Frame());
    TControlRef photo;
    ASSERT_TRUE(gStack->Background(0)->GetControlByName(QStringLiteral("Photo"), photo));
    ClickInto(photo);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    prompts.ExpectFile(std::nullopt);
    ASSERT_TRUE(EnabledSubItems(QStringLiteral("fPicture")).contains(QStringLiteral("fImportPicFile")));
    Item(QStringLiteral("fImportPicFile"))->trigger();
    ASSERT_FALSE(prompts.FileDialogs().empty());
    const TFileDialogPrompt& dialog = prompts.FileDialogs().back();
    EXPECT_EQ(dialog.Title, QStringLiteral("Import Picture"));
    const QStringList parts = dialog.Filter.split(QLatin1Char('|'));
    ASSERT_EQ(parts.size(), 4) << dialog.Filter.toStdString();
    const QStringList patterns = parts[1].split(QLatin1Char(';'));
    for (const char* pattern : {"*.gif", "*.jpg", "*.jpeg", "*.png", "*.bmp"})
    {
        EXPECT_TRUE(patterns.contains(QLatin1String(pattern))) << pattern;
        EXPECT_TRUE(parts[0].contains(QLatin1String(pattern))) << "the caption misses " << pattern;
    }
    EXPECT_EQ(parts[2], QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(parts[3], QStringLiteral("*"));
}
