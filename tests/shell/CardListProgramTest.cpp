// The card list in the running program: it opens in the document area beside the card window,
// and the close box of its frame leaves the stack through the save prompt.

#include "../presentation/CardWindowUser.h"
#include "ProgramFixture.h"
#include "presentation/VexilCardListForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

namespace
{
using namespace CardWindowUser;

class CardListProgramTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        Start({MakeStack(QStringLiteral("People.Quorvan"))});
        ASSERT_NE(gStack, nullptr);
        ASSERT_NE(ListWindow(), nullptr);
        Activate(Frame());
    }

    static CVexilCardListForm* ListWindow()
    {
        return static_cast<CVexilCardListForm*>(Loaded(CVexilCardListForm::KClassName));
    }
    static QStringList Names()
    {
        QStringList names;
        for (int i = 0; i < ListWindow()->fCardBox->topLevelItemCount(); ++i)
            names += ListWindow()->fCardBox->topLevelItem(i)->text(0);
        return names;
    }
};

TEST_F(CardListProgramTest, TheListOpensInTheDocumentAreaWithALinePerCard)
{
    ASSERT_NE(ListWindow()->SubWindow(), nullptr);
    EXPECT_EQ(ListWindow()->SubWindow()->mdiArea(), Frame()->DocumentArea());
    EXPECT_TRUE(ListWindow()->isVisible());
    EXPECT_EQ(ListWindow()->SubWindow()->windowTitle(), QStringLiteral("Card List"));
    EXPECT_EQ(Names(), QStringList({"Anna", "Bert", "Cleo"}));
}

TEST_F(CardListProgramTest, TheCloseBoxAsksToSaveAndBackToStackKeepsTheList)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    gStack->SetChanged(true);
    const QPointer<CVexilCardListForm> form = ListWindow();
    prompts.ExpectSaveChanges(2);
    EXPECT_FALSE(form->SubWindow()->close());
    EXPECT_EQ(prompts.Pending(), 0);
    ASSERT_NE(gStack, nullptr);
    EXPECT_EQ(ListWindow(), form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Names(), QStringList({"Anna", "Bert", "Cleo"}));

    // Discard: the stack goes, and the window with it once its close is over.
    prompts.ExpectSaveChanges(1);
    form->SubWindow()->close();
    EXPECT_EQ(prompts.Pending(), 0);
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(ListWindow(), nullptr);
    EXPECT_EQ(CardWindow(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    // The frames follow their windows.
    EXPECT_TRUE(QTest::qWaitFor([] { return Frame()->DocumentArea()->subWindowList().isEmpty(); }));
}
}  // namespace
