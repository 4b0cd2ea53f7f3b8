// The main window as the user sees and uses it: its menus and toolbar, the enabling of their
// items, the caption, the change broadcast, the status panels of the transfer server, and the
// windows it opens in its document area.

#include "../presentation/CardWindowUser.h"
#include "AssertAnswers.h"
#include "ProgramFixture.h"
#include "editors/VexilBackgroundEdit.h"
#include "editors/VexilCardEdit.h"
#include "editors/VexilCardSelect.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilSortKeyEdit1.h"
#include "editors/VexilValueEdit.h"
#include "foundation/VexilRect.h"
#include "importexport/VexilExportOptions.h"
#include "importexport/VexilImportOptions.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilCtls.h"
#include "platform/VexilImageList.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilFrameParts.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWelcome.h"
#include "transfer/VexilHttpServer.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QMdiArea>
#include <QTcpSocket>
#include <QToolBar>
#include <QToolButton>

namespace
{
using namespace CardWindowUser;

class FrameTest : public ProgramFixture
{
protected:
    // The program with a stack of three cards from the command line.
    void StartWithStack()
    {
        iPath = MakeStack(QStringLiteral("People.Quorvan"));
        Start({iPath});
        ASSERT_NE(gStack, nullptr);
        Activate(Frame());
    }

    static TControlRef Field(const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(gStack->Background(0)->GetControlByName(aName, field));
        return field;
    }

    static QToolBar* Toolbar() { return Frame()->findChild<QToolBar*>(QStringLiteral("fToolbar")); }
    static void ClickButton(const QString& aKey)
    {
        QTest::mouseClick(Toolbar()->widgetForAction(Item(aKey)), Qt::LeftButton);
    }

    QString iPath;
};

TEST_F(FrameTest, MenusAndItemsByTheirControlNames)
{
    Start();
    QStringList bar;
    for (const QAction* menu : Frame()->findChild<QMenuBar*>(QStringLiteral("fMenuBar"))->actions())
        bar.append(menu->objectName());
    EXPECT_EQ(bar, QStringList({"fStack", "fBackground", "fCard", "fField", "fCmd", "fQuorvans", "fDebug"}));
    // The Debug menu is the developer's.
    EXPECT_FALSE(Item(QStringLiteral("fDebug"))->isVisible());

    const std::pair<const char*, const char*> captions[] = {
        {"fStack", "&Stack"},
        {"fOpenStack", "&Open..."},
        {"fOpenRecent", "Open &Recent"},
        {"fSaveStack", "&Save"},
        {"fSaveStackAs", "Save &as..."},
        {"fNewStack", "&New..."},
        {"fImport", "I&mport..."},
        {"fExport", "&Export..."},
        {"fEditStack", "&Info..."},
        {"fSearch", "Searc&h..."},
        {"fEditBackgrounds", "&Backgrounds..."},
        {"fEditCards", "&Cards..."},
        {"fEditControls", "&Fields && Controls"},
        {"fEditSortKeys", "Sort &Keys..."},
        {"fEditValues", "Field &Values..."},
        {"fCloseStack", "C&lose"},
        {"fBackground", "&Background"},
        {"fEditBackground", "&Info..."},
        {"fEditBackgroundControls", "&Fields && Controls..."},
        {"fCard", "&Card"},
        {"fSelectCard", "Sele&ct..."},
        {"fNewCard", "&New..."},
        {"fDeleteCard", "&Delete"},
        {"fEmptyStack", "Delete &all"},
        {"fEditCard", "&Info..."},
        {"fField", "&Field"},
        {"fPicture", "&Picture"},
        {"fImportPicFile", "I&mport..."},
        {"fShowPicture", "&Show..."},
        {"fEditField", "&Info..."},
        {"fCmd", "&Cmds"},
        {"fQuorvans", "&Quorvans"},
        {"fOptions", "&Options..."},
        {"fHelp", "&Help..."},
        {"fAbout", "&About..."},
        {"fClose", "&Close"},
        {"fDebug", "&Debug"},
        {"fHttpServer", "HTTP Server"},
        {"fMainForm", "&MainForm"},
        {"fSize", "&Size 208x255"},
    };
    for (const auto& [name, caption] : captions)
    {
        const QAction* item = Item(QLatin1String(name));
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->text(), QLatin1String(caption)) << name;
        EXPECT_TRUE(item->shortcut().isEmpty()) << name;
    }
    // The separators sit where the design has them.
    const QStringList stackItems = [] {
        QStringList names;
        for (const QAction* item : Menu(QStringLiteral("fStack"))->actions())
            names.append(item->isSeparator() ? QStringLiteral("-") : item->objectName());
        return names;
    }();
    EXPECT_EQ(stackItems.indexOf(QStringLiteral("-")), stackItems.indexOf(QStringLiteral("fExport")) + 1);
    EXPECT_EQ(stackItems.lastIndexOf(QStringLiteral("-")), stackItems.indexOf(QStringLiteral("fCloseStack")) - 1);
}

TEST_F(FrameTest, TheToolbarsThirteenButtonsWithTheirTipsPicturesAndSeparators)
{
    Start();
    QStringList keys;
    for (const QAction* button : Toolbar()->actions())
        keys.append(button->isSeparator() ? QStringLiteral("|") : button->objectName());
    EXPECT_EQ(keys, QStringList({"NewStack", "OpenStack", "SaveStack", "|", "FirstCard", "PrevCard", "NextCard",
                                 "LastCard", "|", "BackInHistory", "ForwInHistory", "|", "EditStack",
                                 "EditBackgrounds", "EditCards", "EditControls"}));
    const std::pair<const char*, const char*> tips[] = {
        {"NewStack", "New Stack"},         {"OpenStack", "Open Stack"},      {"SaveStack", "Save Stack"},
        {"FirstCard", "First Card"},       {"PrevCard", "Previous Card"},    {"NextCard", "Next Card"},
        {"LastCard", "Last Card"},         {"BackInHistory", "Back in History"},
        {"ForwInHistory", "Forward in History"}, {"EditStack", "Edit Stack"},
        {"EditBackgrounds", "Edit Backgrounds"}, {"EditCards", "Edit Cards"}, {"EditControls", "Edit Controls"},
    };
    const CVexilImageList& icons = CVexilFrameParts::ToolbarIcons();
    int position = 0;
    for (const auto& [key, tip] : tips)
    {
        const QAction* button = Item(QLatin1String(key));
        EXPECT_EQ(button->toolTip(), QLatin1String(tip)) << key;
        // The picture at the button's place in the image list.
        EXPECT_EQ(button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
                  icons.Picture(icons.Key(position++)).convertToFormat(QImage::Format_ARGB32))
            << key;
    }
    IgnoredAssert asked(QStringLiteral("fToolbar_ButtonClick Button.Key ShowCardList"));
    Frame()->fToolbar_ButtonClick(QStringLiteral("ShowCardList"));
}

TEST_F(FrameTest, AStackOpensInTheAreaAndTheMenusFollowTheCardAndTheField)
{
    StartWithStack();
    EXPECT_EQ(Frame()->Caption(), KTitle + QStringLiteral(" - ") + iPath);
    EXPECT_EQ(EnabledButtons().size(), 13);
    EXPECT_TRUE(Item(QStringLiteral("fCmd"))->isEnabled());
    CVexilGenForm* cards = CardWindow();
    ASSERT_NE(cards, nullptr);
    ASSERT_NE(cards->SubWindow(), nullptr);
    EXPECT_EQ(cards->SubWindow()->mdiArea(), Frame()->DocumentArea());
    EXPECT_EQ(cards->Caption(), QStringLiteral("Anna - 1 of 3"));

    EXPECT_EQ(EnabledItems(QStringLiteral("fBackground")), QStringList({"fEditBackground", "fEditBackgroundControls"}));
    EXPECT_EQ(EnabledItems(QStringLiteral("fCard")),
              QStringList({"fSelectCard", "fNewCard", "fDeleteCard", "fEmptyStack", "fEditCard"}));
    EXPECT_EQ(EnabledSubItems(QStringLiteral("fPicture")), QStringList({"fImportPicFile", "fShowPicture"}));
    EXPECT_EQ(EnabledItems(QStringLiteral("fQuorvans")), QStringList({"fOptions", "fHelp", "fAbout", "fClose"}));

    // A text field of the card window has the focus: its Info, but no picture.
    ClickInto(Field(QStringLiteral("Age")));
    EXPECT_EQ(EnabledItems(QStringLiteral("fField")), QStringList({"fEditField"}));

    // The toolbar moves through the stack.
    ClickButton(QStringLiteral("LastCard"));
    EXPECT_EQ(cards->Caption(), QStringLiteral("Cleo - 3 of 3"));
    ClickButton(QStringLiteral("BackInHistory"));
    EXPECT_EQ(cards->Caption(), QStringLiteral("Anna - 1 of 3"));
    ClickButton(QStringLiteral("NextCard"));
    EXPECT_EQ(cards->Caption(), QStringLiteral("Bert - 2 of 3"));

    // Closed through the menu: the caption, the toolbar and the menus go back.
    Item(QStringLiteral("fCloseStack"))->trigger();
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Frame()->Caption(), KTitle);
    EXPECT_EQ(EnabledButtons(), QStringList({"NewStack", "OpenStack"}));
    EXPECT_FALSE(Item(QStringLiteral("fCmd"))->isEnabled());
    EXPECT_EQ(EnabledItems(QStringLiteral("fCard")), QStringList());
    EXPECT_EQ(CardWindow(), nullptr);
    EXPECT_TRUE(iEnded.empty());
}

TEST_F(FrameTest, AChangedFieldTypeLaysTheCardOutAgain)
{
    StartWithStack();
    const TControlRef age = Field(QStringLiteral("Age"));
    EXPECT_NE(qobject_cast<CVexilTextBox*>(age->BaseControl()), nullptr);
    // As the value type editor changes it (no card holds an age).
    age->SetConType(EConTypeBoolean);
    CVexilWinManLink::NotifyAll(EChgValueType, age);
    auto* box = qobject_cast<QCheckBox*>(age->BaseControl());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(CardWindow()->Caption(), QStringLiteral("Anna - 1 of 3"));
}

TEST_F(FrameTest, TheTransferServerWritesTheThreePanels)
{
    Start();
    ASSERT_NE(gHttpServer, nullptr);
    QTcpSocket phone;
    phone.connectToHost(QHostAddress::LocalHost, gHttpServer->Port());
    ASSERT_TRUE(phone.waitForConnected(2000));
    phone.write("GET / HTTP/1.0\r\n\r\n");
    EXPECT_TRUE(QTest::qWaitFor([] { return Frame()->StatusPanel(3) == QStringLiteral("Connection closed"); }, 5000));
    EXPECT_EQ(Frame()->StatusPanel(1), QStringLiteral("GET / HTTP/1.0"));
    EXPECT_TRUE(Frame()->StatusPanel(2).startsWith(QStringLiteral("HTTP/1.0 200 OK, "))) << Frame()->StatusPanel(2).toStdString();
    EXPECT_FALSE(Frame()->StatusPanel(2).contains(u'\n'));
}

TEST_F(FrameTest, TheRecentFilesOpenFromTheirSubmenu)
{
    const QString path = MakeStack(QStringLiteral("R&D.Quorvan"));
    Start();
    gFileHistory = {path};
    const QStringList enabled = EnabledSubItems(QStringLiteral("fOpenRecent"));
    EXPECT_EQ(enabled, QStringList({"fHistory0"}));
    EXPECT_EQ(Item(QStringLiteral("fHistory0"))->text(), QStringLiteral("R&&D.Quorvan"));
    EXPECT_EQ(Item(QStringLiteral("fHistory6"))->text(), QStringLiteral("()"));
    Item(QStringLiteral("fHistory0"))->trigger();
    ASSERT_NE(gStack, nullptr);
    EXPECT_EQ(gStack->Filename(), path);
    EXPECT_EQ(Frame()->Caption(), KTitle + QStringLiteral(" - ") + path);
}

TEST_F(FrameTest, StackImportAndExportOpenTheirOptions)
{
    StartWithStack();
    const std::pair<const char*, QString> items[] = {{"fImport", CVexilImportOptions::KClassName},
                                                     {"fExport", CVexilExportOptions::KClassName}};
    for (const auto& [item, window] : items)
    {
        Item(QLatin1String(item))->trigger();
        EXPECT_NE(Loaded(window), nullptr) << item;
    }
}

TEST_F(FrameTest, TheFieldEditorAndTheCardPickerOpenOnWhatTheCardWindowShows)
{
    StartWithStack();
    const TControlSetRef people = gStack->Background(0);

    Item(QStringLiteral("fEditBackgroundControls"))->trigger();
    auto* editor = qobject_cast<CVexilControlEdit*>(Loaded(CVexilControlEdit::KClassName));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->SubWindow()->mdiArea(), Frame()->DocumentArea());
    EXPECT_EQ(editor->Background(), people);
    EXPECT_EQ(editor->CurControl(), nullptr);

    // Field > Info shows the field that has the focus in the card window.
    Activate(CardWindow());
    ClickInto(Field(QStringLiteral("Age")));
    ASSERT_EQ(EnabledItems(QStringLiteral("fField")), QStringList({"fEditField"}));
    Item(QStringLiteral("fEditField"))->trigger();
    EXPECT_EQ(editor->Background(), people);
    EXPECT_EQ(editor->CurControl(), Field(QStringLiteral("Age")));

    // Card > Select...: the card picked goes to the card window, and the picker stays.
    Item(QStringLiteral("fSelectCard"))->trigger();
    auto* picker = qobject_cast<CVexilCardSelect*>(Loaded(CVexilCardSelect::KClassName));
    ASSERT_NE(picker, nullptr);
    auto* cardBox = picker->findChild<QTreeWidget*>(QStringLiteral("fCardBox"));
    ASSERT_NE(cardBox, nullptr);
    const QList<QTreeWidgetItem*> cleo = cardBox->findItems(QStringLiteral("Cleo"), Qt::MatchExactly);
    ASSERT_EQ(cleo.size(), 1);
    const QPoint at = cardBox->visualItemRect(cleo.front()).center();
    QTest::mouseClick(cardBox->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(cardBox->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(CardWindow()->Caption(), QStringLiteral("Cleo - 3 of 3"));
    EXPECT_NE(Loaded(CVexilCardSelect::KClassName), nullptr);

    // The stack's editors that need nothing to start on.
    const struct
    {
        const char* Item;
        QString Window;
    } shows[] = {{"fEditSortKeys", CVexilSortKeyEdit1::KClassName},
                 {"fEditValues", CVexilValueEdit::KClassName}};
    for (const auto& show : shows)
    {
        Item(QLatin1String(show.Item))->trigger();
        const CVexilForm* window = Loaded(show.Window);
        ASSERT_NE(window, nullptr) << show.Item;
        EXPECT_EQ(window->SubWindow()->mdiArea(), Frame()->DocumentArea()) << show.Item;
    }
}

TEST_F(FrameTest, TheBackgroundEditorOpensOnTheBackgroundsOrOnTheCurrentCardsOne)
{
    StartWithStack();
    const TControlSetRef person = gStack->Background(0);
    for (const char* item : {"fEditBackgrounds", "EditBackgrounds"})
    {
        Item(QLatin1String(item))->trigger();
        auto* editor = qobject_cast<CVexilBackgroundEdit*>(Loaded(CVexilBackgroundEdit::KClassName));
        ASSERT_NE(editor, nullptr) << item;
        EXPECT_EQ(editor->SubWindow()->mdiArea(), Frame()->DocumentArea()) << item;
        EXPECT_EQ(editor->Background(), person) << item;
        editor->UnloadForm();
    }

    // Background > Info...: the current card's background, also after the editor went on to a new one.
    Item(QStringLiteral("fEditBackgrounds"))->trigger();
    auto* editor = qobject_cast<CVexilBackgroundEdit*>(Loaded(CVexilBackgroundEdit::KClassName));
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(editor->fNewBut, Qt::LeftButton);
    ASSERT_EQ(editor->Mode(), EModeNew);
    Item(QStringLiteral("fEditBackground"))->trigger();
    EXPECT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->Background(), person);
    EXPECT_EQ(editor->fName->text(), QStringLiteral("Person"));
}

TEST_F(FrameTest, TheCardEditorOpensPlainlyOnTheCurrentCardOrForANewCardOfItsBackground)
{
    StartWithStack();
    const TCardRef current = gStackView->CurCard();
    ASSERT_NE(current, nullptr);

    ClickButton(QStringLiteral("EditCards"));
    auto* editor = qobject_cast<CVexilCardEdit*>(Loaded(CVexilCardEdit::KClassName));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->SubWindow()->mdiArea(), Frame()->DocumentArea());
    EXPECT_EQ(editor->Mode(), EModeNone);

    Item(QStringLiteral("fEditCard"))->trigger();
    EXPECT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->Card(), current);

    Item(QStringLiteral("fNewCard"))->trigger();
    EXPECT_EQ(editor->Mode(), EModeNew);
    EXPECT_EQ(editor->Background(), current->Background());

    Item(QStringLiteral("fEditCards"))->trigger();
    EXPECT_EQ(Loaded(CVexilCardEdit::KClassName), editor);
}

TEST_F(FrameTest, AboutShowsTheWelcomeWindowUntilTheUserClosesIt)
{
    CVexilReg::SetFileName(SettingsFile());
    CVexilOptions::PutBoolOption(QStringLiteral("ShowWelcome"), false);
    Start();
    EXPECT_EQ(Loaded(CVexilWelcome::KClassName), nullptr);
    Item(QStringLiteral("fAbout"))->trigger();
    auto* welcome = qobject_cast<CVexilWelcome*>(Loaded(CVexilWelcome::KClassName));
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->isVisible());
    EXPECT_EQ(welcome->SubWindow()->mdiArea(), Frame()->DocumentArea());
    QTest::qWait(3 * KWelcomeInterval);
    EXPECT_EQ(Loaded(CVexilWelcome::KClassName), welcome);
}

TEST_F(FrameTest, TheDebugSizeGivesTheCardWindowItsClientSizeInPoints)
{
    StartWithStack();
    Item(QStringLiteral("fSize"))->trigger();
    // 208 x 255 points of 20 twips, to the pixel.
    EXPECT_NEAR(CardWindow()->InnerWidth(), 208 * 20, 15);
    EXPECT_NEAR(CardWindow()->InnerHeight(), 255 * 20, 15);
}
TEST_F(FrameTest, PlacementsOfWindowsInTheAreaAreRelativeToItAndChecked)
{
    // A managed window that no menu shows, standing in for a dialog.
    const QString name = QStringLiteral("CVexilFontSelect");
    Start();
    CVexilFormRegistry::Register(name, [] { return new CVexilForm; });
    Frame()->Move(0, 0, 12000, 9000);
    const QSize area = Frame()->DocumentArea()->viewport()->size();
    const QRect design(300, 150, 200, 150);
    const struct
    {
        const char* Stored;
        QRect Expected;
    } cases[] = {
        {"1500,1500,4500,3000", {100, 100, 300, 200}},
        {"30000,150,3000,2250", {0, 10, 200, 150}},
        {"0,0,500000,400000", {QPoint(0, 0), area}},
        {"-100000,0,100001,5000", design},
        {"0,-150,3000,3000", design},
    };
    for (const auto& c : cases)
    {
        CVexilReg::PutVal(CVexilReg::KWindows, name, QLatin1String(c.Stored));
        CVexilForm* form = CVexilWinMan::NameToForm(name);
        ASSERT_NE(form, nullptr);
        form->Move(CVexilCtl::PixelsToTwips(design.x()), CVexilCtl::PixelsToTwips(design.y()),
                   CVexilCtl::PixelsToTwips(design.width()), CVexilCtl::PixelsToTwips(design.height()));
        CVexilFormPlacement::Restore(*form);
        ASSERT_NE(form->SubWindow(), nullptr);
        EXPECT_EQ(form->SubWindow()->geometry(), c.Expected) << c.Stored;
        CVexilFormRegistry::Unload(name);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
TEST_F(FrameTest, ATerminationRequestWaitsWhileAStackIsBeingLeftOrOpened)
{
    StartWithStack();
    {
        const CVexilStackCmds::TBusy busy;
        CVexilFrame::TerminationRequest();
        QTest::qWait(300);
        EXPECT_TRUE(iEnded.empty());
        EXPECT_NE(gStack, nullptr);
    }
    // Then it runs the close query: the unchanged stack is left and the program ends.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !iEnded.empty(); }, 2000));
    EXPECT_EQ(iEnded, std::vector<int>{0});
    EXPECT_EQ(gStack, nullptr);
}
TEST_F(FrameTest, ACardWindowPlacementOutsideTheAreaGivesTheDefaultOne)
{
    // Enough of it on the screen, but right of the main window's area.
    const int screen = QGuiApplication::primaryScreen()->geometry().width();
    iPath = MakeStack(QStringLiteral("Far.Quorvan"), false, [screen](CVexilStackViewRec& aView) {
        auto far = std::make_shared<CVexilRect>();
        far->Construct(CVexilCtl::PixelsToTwips(screen - 50), 600, 4500, 6000);
        aView.SetCardViewRect(far);
    });
    Start({iPath});
    ASSERT_NE(CardWindow(), nullptr);
    CVexilStackViewRec defaults;
    defaults.InitRects();
    // The default placement, moved left as far as it takes to lie wholly in the area.
    EXPECT_LE(CardWindow()->Left(), defaults.CardViewRect()->X());
    EXPECT_EQ(CardWindow()->Top(), defaults.CardViewRect()->Y());
    const QRect area(QPoint(0, 0), Frame()->DocumentArea()->viewport()->size());
    EXPECT_TRUE(area.contains(CardWindow()->SubWindow()->geometry()));
}
}  // namespace
