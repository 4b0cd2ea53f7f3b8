// The search window in the running program: opened from the Stack menu, searching one second
// after the last change of its text, showing one line per card, and following the cards that
// other windows delete.

#include "PlacesProgram.h"
#include "presentation/VexilSearchForm.h"

#include <QElapsedTimer>
#include <QMdiArea>
#include <QTreeWidget>

namespace
{
class SearchFormTest : public PlacesProgram
{
protected:
    void SetUp() override
    {
        PlacesProgram::SetUp();
        // Every search shows the wait cursor once: the searches are counted by it.
        CVexilDialogLib::SetCursorHook([this](bool aWait) { iSearches += aWait ? 1 : 0; });
        Choose(QStringLiteral("fStack"), QStringLiteral("fSearch"));
        ASSERT_NE(Window(), nullptr);
        ASSERT_TRUE(Window()->isVisible());
    }

    static CVexilSearchForm* Window()
    {
        return static_cast<CVexilSearchForm*>(Loaded(CVexilSearchForm::KClassName));
    }

    // Types the text over the box's text as the user does, key by key without pause.
    static void Type(const QString& aText)
    {
        QLineEdit* box = Window()->fText;
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        for (const QChar c : aText)
            if (c.unicode() < 128)
                QTest::keyClick(box, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Waits until the search the delay holds has run: the timer stops as the search starts.
    static void AwaitSearch()
    {
        ASSERT_TRUE(Window()->fUpdateTimer->isActive());
        ASSERT_TRUE(QTest::qWaitFor([] { return !Window()->fUpdateTimer->isActive(); }, 5000));
    }
    void Search(const QString& aText)
    {
        Type(aText);
        AwaitSearch();
    }

    static QStringList Lines()
    {
        QStringList lines;
        const QTreeWidget* list = Window()->fCardList;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
        {
            QStringList columns;
            for (int column = 0; column < list->columnCount(); ++column)
                columns += list->topLevelItem(i)->text(column);
            lines += columns.join(QLatin1Char('|'));
        }
        return lines;
    }
    static void ClickLine(int aIndex)
    {
        QTreeWidget* list = Window()->fCardList;
        const QRect line = list->visualItemRect(list->topLevelItem(aIndex));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
    }

    int iSearches = 0;
};

TEST_F(SearchFormTest, TheWindowShowsItsFourColumnsAndAnEmptyList)
{
    EXPECT_EQ(Window()->windowTitle(), QStringLiteral("Search"));
    const QTreeWidget* list = Window()->fCardList;
    ASSERT_EQ(list->columnCount(), 4);
    const QStringList titles = {"Card Name", "Background", "Control", "Value"};
    const double widths[] = {0.2, 0.2, 0.2, 0.4};
    const int usable = list->viewport()->width();
    for (int column = 0; column < 4; ++column)
    {
        EXPECT_EQ(list->headerItem()->text(column), titles[column]);
        EXPECT_NEAR(list->columnWidth(column), widths[column] * usable, usable * 0.03) << column;
    }
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_FALSE(Window()->fShow->isEnabled());
    EXPECT_FALSE(Window()->fUpdateTimer->isActive());
}

// What the user types right after the window opened goes into the search text.
TEST_F(SearchFormTest, TheSearchTextTakesTheKeysTypedRightAfterTheWindowOpens)
{
    ASSERT_TRUE(QTest::qWaitFor([] { return Frame()->DocumentArea()->activeSubWindow() == Window()->SubWindow(); }));
    EXPECT_TRUE(Window()->fText->hasFocus());
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, QStringLiteral("zur"));
    EXPECT_EQ(Window()->fText->text(), QStringLiteral("zur"));
    AwaitSearch();
    EXPECT_EQ(Lines(), QStringList({"Zurich|City|Name|Zurich", "Memo|Note|Text|Trip to Zurich"}));
}

TEST_F(SearchFormTest, TypingQuicklyRunsOneSearchASecondAfterTheLastKey)
{
    QTest::keyClicks(Window()->fText, QStringLiteral("zu"));
    QElapsedTimer sinceLastKey;
    sinceLastKey.start();
    QTest::keyClick(Window()->fText, Qt::Key_R);
    EXPECT_EQ(iSearches, 0);
    AwaitSearch();
    EXPECT_GE(sinceLastKey.elapsed(), CVexilSearchForm::KSearchDelay);
    EXPECT_EQ(Lines(), QStringList({"Zurich|City|Name|Zurich", "Memo|Note|Text|Trip to Zurich"}));
    // No search is left for the keys before.
    QTest::qWait(200);
    EXPECT_EQ(iSearches, 1);
    EXPECT_FALSE(Window()->fUpdateTimer->isActive());
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0);
}

TEST_F(SearchFormTest, EachCardGetsOneLineForItsFirstFieldShowingTheText)
{
    const struct
    {
        const char* Text;
        QStringList Lines;
    } cases[] = {
        // Case does not matter.
        {"zUR", {"Zurich|City|Name|Zurich", "Memo|Note|Text|Trip to Zurich"}},
        // Geneva shows it in its name and its country: the name comes first.
        {"GEN", {"Geneva|City|Name|Geneva"}},
        {"genève", {"Geneva|City|Country|Switzerland (Genève)"}},
        // A Real by its text with the grouping, a date by its short date.
        {"415,36", {"Zurich|City|Population|415,367.5"}},
        {"5/21/1536", {"Geneva|City|Founded|5/21/1536"}},
        {"Atlantis", {}},
    };
    for (const auto& c : cases)
    {
        Search(QString::fromUtf8(c.Text));
        EXPECT_EQ(Lines(), c.Lines) << c.Text;
        EXPECT_EQ(Window()->fShow->isEnabled(), c.Lines.size() == 1) << c.Text;
    }
}

TEST_F(SearchFormTest, ShowPutsTheOneCardsNameIntoTheBoxAndShowsIt)
{
    Search(QStringLiteral("norw"));
    ASSERT_EQ(Lines(), QStringList{"Oslo|City|Country|Norway"});
    ASSERT_TRUE(Window()->fShow->isEnabled());
    QTest::mouseClick(Window()->fShow, Qt::LeftButton);
    EXPECT_EQ(Window()->fText->text(), QStringLiteral("Oslo"));
    EXPECT_EQ(CurCardName(), QStringLiteral("Oslo"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(CardWindow()));
    // The name is a change of the text like any other: it is searched a second later.
    AwaitSearch();
    EXPECT_EQ(Lines(), QStringList{"Oslo|City|Name|Oslo"});
}

TEST_F(SearchFormTest, AClickOnALineShowsItsCard)
{
    Search(QStringLiteral("swi"));
    ASSERT_EQ(Lines().size(), 3);
    EXPECT_FALSE(Window()->fShow->isEnabled());
    ClickLine(1);
    EXPECT_EQ(CurCardName(), QStringLiteral("Bern"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(CardWindow()));
    ClickLine(2);
    EXPECT_EQ(CurCardName(), QStringLiteral("Geneva"));
}

TEST_F(SearchFormTest, DeletedCardsAndBackgroundsLoseTheirLines)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    Search(QStringLiteral("r"));
    const QString zurich = QStringLiteral("Zurich|City|Name|Zurich");
    const QString geneva = QStringLiteral("Geneva|City|Country|Switzerland (Genève)");
    const QString oslo = QStringLiteral("Oslo|City|Country|Norway");
    const QString memo = QStringLiteral("Memo|Note|Text|Trip to Zurich");
    ASSERT_EQ(Lines(), QStringList({zurich, "Bern|City|Name|Bern", geneva, oslo, memo}));

    // The main window's Delete of the card on view.
    gStackView->GoToCard(Card(QStringLiteral("Bern")));
    prompts.ExpectMessage(true);
    Item(QStringLiteral("fDeleteCard"))->trigger();
    EXPECT_EQ(prompts.Pending(), 0);
    EXPECT_EQ(Lines(), QStringList({zurich, geneva, oslo, memo}));

    // A background deleted as the background editor deletes it.
    const TControlSetRef note = Background(QStringLiteral("Note"));
    CVexilWinMan::NotifyAll(EChgDeletingBackground, note);
    gStackView->DeleteBackground(note, false);
    EXPECT_EQ(Lines(), QStringList({zurich, geneva, oslo}));
    EXPECT_FALSE(Window()->fUpdateTimer->isActive());

    // A card that went without a word keeps its line, but a click on it shows nothing.
    gStackView->GoToCard(Card(QStringLiteral("Zurich")));
    gStackView->DeleteCard(Card(QStringLiteral("Oslo")), nullptr);
    ClickLine(2);
    EXPECT_EQ(CurCardName(), QStringLiteral("Zurich"));
    EXPECT_EQ(prompts.Pending(), 0);
}

TEST_F(SearchFormTest, ChangesOfCardsFieldsAndTypesSearchAgain)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    Search(QStringLiteral("oslo"));
    ASSERT_EQ(Lines(), QStringList{"Oslo|City|Name|Oslo"});
    for (const int32_t event : {EChgStructure, EChgValueType})
    {
        CVexilWinMan::NotifyAll(event);
        AwaitSearch();
        EXPECT_EQ(Lines(), QStringList{"Oslo|City|Name|Oslo"});
    }
    // Delete all: no cards, no lines, no Show.
    prompts.ExpectMessage(true);
    Item(QStringLiteral("fEmptyStack"))->trigger();
    EXPECT_EQ(prompts.Pending(), 0);
    AwaitSearch();
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_FALSE(Window()->fShow->isEnabled());
}

TEST_F(SearchFormTest, ClosingTheStackClosesTheWindow)
{
    Search(QStringLiteral("zur"));
    Item(QStringLiteral("fCloseStack"))->trigger();
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Window(), nullptr);
}
}  // namespace
