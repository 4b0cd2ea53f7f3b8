// The background editor as the user works it: new backgrounds and their names, Delete and
// Delete Cards with their questions and refusals, the wallpaper and its pictures, font and
// colour, the kept sort key together with the sort key editor, the card buttons on cards
// deleted meanwhile, and the windows that open the editor on a background.

#include "KeysAndTypesFixture.h"
#include "PictureBytes.h"
#include "TestFiles.h"
#include "editors/VexilBackgroundEdit.h"
#include "editors/VexilScriptEdit.h"
#include "foundation/VexilFont.h"

#include <QRegularExpression>

#include <optional>

namespace
{
// Stands in for the card editor: records the cards it is asked to show.
class CardEditStandIn final : public CVexilForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilCardEdit");

    static void Register()
    {
        Shown().clear();
        CVexilFormRegistry::Register(KClassName, [] { return new CardEditStandIn; });
    }
    static QStringList& Shown()
    {
        static QStringList shown;
        return shown;
    }

    Q_INVOKABLE void SetAndShowCard(const TCardRef& aCard) { Shown() += aCard->Name(); }
};

class BackgroundEdit : public KeysAndTypesFixture
{
protected:
    static void SetUpTestSuite()
    {
        KeysAndTypesFixture::SetUpTestSuite();
        CVexilBackgroundEdit::Register();
        CVexilScriptEdit::Register();
    }

    void TearDown() override
    {
        CVexilFormRegistry::Unload(CVexilBackgroundEdit::KClassName);
        CVexilFormRegistry::Unload(CardEditStandIn::KClassName);
        KeysAndTypesFixture::TearDown();
    }

    // "Item": Name (the card name), Title (Text); the cards I1 to I5. "Other": Name, with its
    // card O1 standing between I2 and I3. "Bg": no fields, no cards.
    static TStackRef BgStack()
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Shop"));
        const TControlSetRef item = stack->Background(0);
        item->SetName(QStringLiteral("Item"));
        const TControlRef name = AddField(*stack, *item, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef title = AddField(*stack, *item, QStringLiteral("Title"), EConTypeText);
        const TControlSetRef other = NewBackground(*stack, QStringLiteral("Other"));
        const TControlRef otherName = AddField(*stack, *other, QStringLiteral("Name"), EConTypeText, EConCardName);
        NewBackground(*stack, QStringLiteral("Bg"));
        const QStringList titles = {"delta", "alpha", "echo", "bravo", "charlie"};
        for (int i = 0; i < titles.size(); ++i)
        {
            const QString cardName = QStringLiteral("I%1").arg(i + 1);
            const TCardRef card = NewCard(*stack, cardName, item);
            card->SetControlVal(name->Id(), Val::Str(cardName));
            card->SetControlVal(title->Id(), Val::Str(titles[i]));
            if (i == 1)
                NewCard(*stack, QStringLiteral("O1"), other)->SetControlVal(otherName->Id(), Val::Str("O1"));
        }
        return stack;
    }

    void OpenWith(const std::function<void(CVexilStack&)>& aChange = {})
    {
        TStackRef stack = BgStack();
        if (aChange)
            aChange(*stack);
        Open(stack);
        RecordingWindow::Load();
    }

    static CVexilBackgroundEdit* BgEditor()
    {
        auto* editor = Window<CVexilBackgroundEdit>(CVexilBackgroundEdit::KClassName);
        // Back from another window: the focus checks need this one active.
        if (!editor->isActiveWindow())
        {
            editor->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(editor));
        }
        return editor;
    }

    static TControlSetRef Bg(const QString& aName)
    {
        TControlSetRef background;
        return gStack->GetBackgroundByName(aName, background) ? background : nullptr;
    }

    static QStringList Lines(const QTreeWidget& aList)
    {
        QStringList lines;
        for (int i = 0; i < aList.topLevelItemCount(); ++i)
            lines += aList.topLevelItem(i)->text(0);
        return lines;
    }

    static QStringList BackgroundNames()
    {
        QStringList names;
        TControlSetRef background;
        int32_t cursor = 0;
        for (bool more = gStack->GetFirstBackground(background, cursor); more;
             more = gStack->GetNextBackground(background, cursor))
            names += background->Name();
        return names;
    }

    static int NumKeyIndexes()
    {
        int count = 0;
        std::shared_ptr<CVexilArray> keyIndex;
        int32_t cursor = 0;
        for (bool more = gStack->GetFirstKeyIndex(keyIndex, cursor); more;
             more = gStack->GetNextKeyIndex(keyIndex, cursor))
            ++count;
        return count;
    }

    // The background's line clicked: it is shown for changing.
    static CVexilBackgroundEdit* ShowBg(const QString& aName)
    {
        CVexilBackgroundEdit* editor = BgEditor();
        ClickLine(editor->fBackgroundBox, aName);
        EXPECT_EQ(editor->Mode(), EModeModify);
        return editor;
    }

    QString WritePng(const QString& aName, int aWidth)
    {
        return SetFileContent(iDir.File(aName), QtPictureBytes(QuarterImage(aWidth, 10), "PNG"));
    }
};

// ---- new backgrounds and names

TEST_F(BackgroundEdit, OpensOnTheFirstBackgroundWithItsCardsAndWithoutAStackShowsNothing)
{
    OpenWith();
    CVexilBackgroundEdit* editor = BgEditor();
    EXPECT_EQ(Lines(*editor->fBackgroundBox), (QStringList{"Item", "Other", "Bg"}));
    EXPECT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("Item"));
    EXPECT_EQ(editor->fName->text(), QStringLiteral("Item"));
    EXPECT_EQ(Lines(*editor->fCardBox), (QStringList{"I1", "I2", "I3", "I4", "I5"}));
    EXPECT_TRUE(editor->fCardNameInList->isChecked());
    EXPECT_TRUE(editor->fShowCardName->isChecked());
    EXPECT_FALSE(editor->fScrollable->isChecked());
    EXPECT_FALSE(editor->fCreateBut->isEnabled());
    // "Script..." opens the script editor on the shown background.
    QTest::mouseClick(editor->fScriptBut, Qt::LeftButton);
    auto* script = qobject_cast<CVexilScriptEdit*>(CVexilFormRegistry::Loaded(CVexilScriptEdit::KClassName));
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->Obj(), TObjRef(gStack->Background(0)));
    CVexilFormRegistry::Unload(CVexilScriptEdit::KClassName);
    CVexilFormRegistry::Unload(CVexilBackgroundEdit::KClassName);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    gStackView->Release();
    CVexilStackViewLink::Install(nullptr);
    gStackView.reset();
    gStack.reset();
    editor = BgEditor();
    EXPECT_EQ(Lines(*editor->fBackgroundBox), QStringList{QStringLiteral("(No stack available)")});
    ClickLine(editor->fBackgroundBox, QStringLiteral("(No stack available)"));
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_FALSE(editor->fNewBut->isEnabled());
    EXPECT_FALSE(editor->fModifyBut->isEnabled());
    EXPECT_TRUE(editor->fName->isReadOnly());
}

TEST_F(BackgroundEdit, NewGivesFlags17AndCreateMakesTheBackgroundWithoutKeyIndex)
{
    OpenWith();
    CVexilBackgroundEdit* editor = BgEditor();
    Click(editor->fNewBut);
    EXPECT_EQ(editor->Mode(), EModeNew);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("<new>"));
    EXPECT_EQ(FocusName(), QStringLiteral("fName"));
    // The cards of the background shown before stay listed; its sort keys do not.
    EXPECT_EQ(Lines(*editor->fCardBox).size(), 5);
    EXPECT_EQ(editor->fSortKeyCombo->count(), 0);
    Type(editor->fName, QStringLiteral("Extra"));
    Type(editor->fDescr, QStringLiteral("made here"));
    Click(editor->fCreateBut);

    const TControlSetRef extra = Bg(QStringLiteral("Extra"));
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->Flags(), 17);
    EXPECT_EQ(extra->Descr(), QStringLiteral("made here"));
    EXPECT_EQ(extra->KeyIndexId(), UndefLong);
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("1 Extra")});
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_EQ(FocusName(), QStringLiteral("fBackgroundBox"));
    EXPECT_EQ(Lines(*editor->fBackgroundBox), (QStringList{"Item", "Other", "Bg", "Extra"}));
    EXPECT_TRUE(Lines(*editor->fCardBox).isEmpty());
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(BackgroundEdit, CreateAndModifyCheckTheNameExactlyAndRefuseWithTheFocusOnIt)
{
    const struct
    {
        const char* Case;
        const char* Shown;  // none: New
        const char* Name;
        QStringList Messages;
        QStringList Backgrounds;
    } cases[] = {
        {"a name beside one in other letter case", nullptr, "bg", {}, {"Item", "Other", "Bg", "bg"}},
        {"a name taken", nullptr, "Bg", {"1 background"}, {"Item", "Other", "Bg"}},
        {"no name, Create clicked at once", nullptr, "", {"2 background"}, {"Item", "Other", "Bg"}},
        {"a blank name, Create clicked at once", nullptr, "  ", {"8 Name"}, {"Item", "Other", "Bg"}},
        {"the own name kept", "Other", "Other", {}, {"Item", "Other", "Bg"}},
        {"renamed in letter case", "Other", "other", {}, {"Item", "other", "Bg"}},
        {"renamed to another's name", "Other", "Item", {"1 background"}, {"Item", "Other", "Bg"}},
        {"renamed to no name", "Other", "", {"2 background"}, {"Item", "Other", "Bg"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Case);
        OpenWith();
        CVexilBackgroundEdit* editor = BgEditor();
        const QByteArray before = Saved();
        const bool isNew = c.Shown == nullptr;
        if (isNew)
            Click(editor->fNewBut);
        else
            ShowBg(QLatin1String(c.Shown));
        // Typed, and the button clicked without leaving the box.
        QTest::mouseClick(editor->fName, Qt::LeftButton);
        QTest::keyClick(editor->fName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor->fName, Qt::Key_Delete);
        QTest::keyClicks(editor->fName, QLatin1String(c.Name));
        for (int i = 0; i < c.Messages.size(); ++i)
            ScriptedPrompts::Instance().ExpectMessage();
        Click(isNew ? editor->fCreateBut : editor->fModifyBut);

        EXPECT_EQ(Shown(), c.Messages);
        EXPECT_EQ(BackgroundNames(), c.Backgrounds);
        if (!c.Messages.isEmpty())
        {
            EXPECT_EQ(FocusName(), QStringLiteral("fName"));
            EXPECT_EQ(editor->Mode(), isNew ? EModeNew : EModeModify);
            EXPECT_EQ(Saved(), before);
            EXPECT_TRUE(RecordingWindow::Heard().isEmpty());
        }
        TearDown();
        ScriptedPrompts::Instance().Reset();
    }
}

TEST_F(BackgroundEdit, ABlankNameKeepsTheFocusAsTheBoxIsLeft)
{
    OpenWith();
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Other"));
    Type(editor->fName, QStringLiteral("   "));
    ScriptedPrompts::Instance().ExpectMessage();
    Tab();
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("8 Name")});
    EXPECT_EQ(FocusName(), QStringLiteral("fName"));

    Type(editor->fName, QStringLiteral("Renamed"));
    Tab();
    EXPECT_EQ(Shown().size(), 1);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("Renamed"));
    // Nothing is written before Modify.
    EXPECT_TRUE(Bg(QStringLiteral("Other")));
}

// ---- Delete and Delete Cards

TEST_F(BackgroundEdit, DeleteAsksWithTheNumberOfCardsAndTakesTheCardsAlong)
{
    OpenWith();
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Item"));
    const QByteArray before = Saved();
    ScriptedPrompts::Instance().ExpectMessage(false);
    Click(editor->fDeleteBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("21 5")});
    EXPECT_EQ(Saved(), before);
    EXPECT_TRUE(RecordingWindow::Heard().isEmpty());
    EXPECT_EQ(editor->Mode(), EModeModify);

    ScriptedPrompts::Instance().ExpectMessage(true);
    Click(editor->fDeleteBut);
    EXPECT_EQ(BackgroundNames(), (QStringList{"Other", "Bg"}));
    EXPECT_EQ(StackOrder(), QStringList{QStringLiteral("O1")});
    EXPECT_EQ(RecordingWindow::Heard(), (QStringList{"6 Item", "1"}));
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_EQ(Lines(*editor->fBackgroundBox), (QStringList{"Other", "Bg"}));
    EXPECT_EQ(FocusName(), QStringLiteral("fBackgroundBox"));

    // Without cards nothing is asked.
    ShowBg(QStringLiteral("Bg"));
    Click(editor->fDeleteBut);
    EXPECT_EQ(BackgroundNames(), QStringList{QStringLiteral("Other")});
    EXPECT_EQ(Shown().size(), 2);
}

TEST_F(BackgroundEdit, DeleteOfABackgroundThatACardListFieldListsIsRefused)
{
    const struct
    {
        const char* Case;
        const char* ListingBackground;
    } cases[] = {
        {"a field of another background", "Other"},
        {"a field of the background itself", "Item"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Case);
        OpenWith([&c](CVexilStack& aStack) {
            TControlSetRef item;
            TControlSetRef listing;
            ASSERT_TRUE(aStack.GetBackgroundByName(QStringLiteral("Item"), item));
            ASSERT_TRUE(aStack.GetBackgroundByName(QLatin1String(c.ListingBackground), listing));
            const TControlRef list = AddField(aStack, *listing, QStringLiteral("Items"), EConTypeList, EConCardList);
            list->SetSelBackgroundId(item->Id());
        });
        CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Item"));
        const QByteArray before = Saved();
        ScriptedPrompts::Instance().ExpectMessage(true);
        ScriptedPrompts::Instance().ExpectMessage();
        Click(editor->fDeleteBut);

        EXPECT_EQ(Shown(), (QStringList{"21 5", QStringLiteral("4 Items %1").arg(QLatin1String(c.ListingBackground))}));
        EXPECT_EQ(Saved(), before);
        // The others hear of it all the same, and the window shows nothing.
        EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("1")});
        EXPECT_EQ(editor->Mode(), EModeNone);
        TearDown();
        ScriptedPrompts::Instance().Reset();
    }
}

TEST_F(BackgroundEdit, DeleteRemovesTheBackgroundOfTheClickWhenAnotherLineIsClickedMeanwhile)
{
    OpenWith();
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Item"));
    RecordingWindow::During() = [editor](int32_t aEvent) {
        if (aEvent == EChgDeletingBackground)
            ClickLine(editor->fBackgroundBox, QStringLiteral("Other"));
    };
    ScriptedPrompts::Instance().ExpectMessage(true);
    Click(editor->fDeleteBut);

    EXPECT_EQ(BackgroundNames(), (QStringList{"Other", "Bg"}));
    EXPECT_EQ(StackOrder(), QStringList{QStringLiteral("O1")});
    EXPECT_EQ(RecordingWindow::Heard(), (QStringList{"6 Item", "1"}));
}

TEST_F(BackgroundEdit, DeleteCardsAsksAlsoWithoutCardsAndKeepsTheBackground)
{
    OpenWith();
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Bg"));
    ScriptedPrompts::Instance().ExpectMessage(false);
    Click(editor->fDeleteCardsBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("19")});
    EXPECT_TRUE(RecordingWindow::Heard().isEmpty());
    EXPECT_EQ(editor->Mode(), EModeModify);

    ShowBg(QStringLiteral("Item"));
    ScriptedPrompts::Instance().ExpectMessage(true);
    Click(editor->fDeleteCardsBut);
    EXPECT_EQ(Shown(), (QStringList{"19", "19"}));
    EXPECT_EQ(StackOrder(), QStringList{QStringLiteral("O1")});
    EXPECT_EQ(BackgroundNames(), (QStringList{"Item", "Other", "Bg"}));
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("3")});
    EXPECT_EQ(editor->Mode(), EModeNone);
}

// ---- wallpaper, font and colour

TEST_F(BackgroundEdit, ANewWallpaperReplacesTheOldPictureAndACancelChangesNothing)
{
    OpenWith();
    const QString first = WritePng(QStringLiteral("first.png"), 20);
    const QString second = WritePng(QStringLiteral("second.png"), 30);
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Item"));
    ScriptedPrompts::Instance().ExpectFile(first);
    Click(editor->fWallPaperBut);
    const int32_t firstId = Item()->WallPaperId();
    ASSERT_NE(firstId, UndefLong);
    EXPECT_EQ(editor->fWallPaperId->text(), QString::number(firstId));
    EXPECT_TRUE(editor->fShowWallPaper->isChecked());
    const TFileDialogPrompt& dialog = ScriptedPrompts::Instance().FileDialogs().back();
    EXPECT_EQ(dialog.Title, QStringLiteral("Import Picture"));
    EXPECT_EQ(dialog.Flags & 0x1800, 0x1800);
    EXPECT_FALSE(dialog.Save);

    ScriptedPrompts::Instance().ExpectFile(second);
    Click(editor->fWallPaperBut);
    const int32_t secondId = Item()->WallPaperId();
    EXPECT_NE(secondId, firstId);
    EXPECT_EQ(gStack->BlobStore()->ReadBlob(secondId)->RefCount(), 1);
    EXPECT_FALSE(gStack->BlobStore()->HasBlob(firstId));
    // At once, without a broadcast; the flag waits for Modify.
    EXPECT_TRUE(RecordingWindow::Heard().isEmpty());
    EXPECT_FALSE(Item()->Flag(ECseShowWallPaper));

    const QByteArray saved = Saved();
    EXPECT_EQ(saved.count("<Blob "), 1);
    EXPECT_TRUE(saved.contains("second.png"));
    EXPECT_FALSE(saved.contains("first.png"));

    ScriptedPrompts::Instance().ExpectFile(std::nullopt);
    Click(editor->fWallPaperBut);
    EXPECT_EQ(Saved(), saved);
    EXPECT_EQ(editor->fWallPaperId->text(), QString::number(secondId));

    Click(editor->fModifyBut);
    EXPECT_TRUE(Item()->Flag(ECseShowWallPaper));
    ShowBg(QStringLiteral("Item"));
    Click(editor->fClearWallPaperBut);
    EXPECT_EQ(Item()->WallPaperId(), UndefLong);
    EXPECT_TRUE(editor->fWallPaperId->text().isEmpty());
    EXPECT_FALSE(editor->fShowWallPaper->isChecked());
    EXPECT_EQ(Saved().count("<Blob "), 0);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(BackgroundEdit, FontAndColourReachTheBackgroundOnlyThroughModify)
{
    OpenWith();
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Other"));
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QStringLiteral("Courier"), 240, UndefLong);
    // The font picker's answer.
    editor->SetFont(font, 0);
    EXPECT_EQ(editor->fFontName->text(), QStringLiteral("Courier"));
    ScriptedPrompts::Instance().ExpectColor(0x123456);
    Click(editor->fSelectColorBut);
    ScriptedPrompts::Instance().ExpectColor(std::nullopt);
    Click(editor->fSelectColorBut);
    EXPECT_EQ(Bg(QStringLiteral("Other"))->BackColor(), UndefLong);
    EXPECT_FALSE(Bg(QStringLiteral("Other"))->Font());

    Click(editor->fModifyBut);
    const TControlSetRef other = Bg(QStringLiteral("Other"));
    EXPECT_EQ(other->BackColor(), 0x123456);
    ASSERT_TRUE(other->Font());
    EXPECT_EQ(other->Font()->FaceName(), QStringLiteral("Courier"));

    ShowBg(QStringLiteral("Other"));
    Click(editor->fClearColorBut);
    Click(editor->fModifyBut);
    EXPECT_EQ(other->BackColor(), UndefLong);
    EXPECT_TRUE(other->Font());
    EXPECT_TRUE(Shown().isEmpty());
}

// ---- the kept sort key

TEST_F(BackgroundEdit, AKeptKeyKeepsTheOrderUntilTheBoxIsUnticked)
{
    OpenWith([](CVexilStack& aStack) {
        const TControlSetRef item = aStack.Background(0);
        TControlRef title;
        ASSERT_TRUE(item->GetControlByName(QStringLiteral("Title"), title));
        AddKey(aStack, *item, QStringLiteral("ByTitle"), {{title, 0}});
    });
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Item"));
    EXPECT_EQ(editor->fSortKeyCombo->currentIndex(), -1);
    EXPECT_TRUE(editor->fSortKeyCombo->Locked());
    Tick(editor->fKeepCardsSorted, true);
    EXPECT_EQ(editor->fSortKeyCombo->currentText(), QStringLiteral("ByTitle"));
    EXPECT_FALSE(editor->fSortKeyCombo->Locked());
    Click(editor->fModifyBut);

    ASSERT_TRUE(Item()->Flag(ECseKeepCardsSorted));
    EXPECT_EQ(Item()->KeyIndex()->SortKeyId(), Key(QStringLiteral("ByTitle"))->Id());
    EXPECT_EQ(StackOrder(), (QStringList{"O1", "I2", "I4", "I5", "I1", "I3"}));
    // A later value goes to its place.
    gStackView->SetValue(Card(QStringLiteral("I2")), Field(QStringLiteral("Title"))->Id(), Val::Str("foxtrot"));
    EXPECT_EQ(StackOrder(), (QStringList{"O1", "I4", "I5", "I1", "I3", "I2"}));

    // Shown again: the kept key is chosen; Modify keeps the index.
    ShowBg(QStringLiteral("Item"));
    EXPECT_EQ(editor->fSortKeyCombo->currentText(), QStringLiteral("ByTitle"));
    const int32_t keyIndexId = Item()->KeyIndexId();
    Click(editor->fModifyBut);
    EXPECT_EQ(Item()->KeyIndexId(), keyIndexId);

    // The key rewritten in the sort key editor, its way flipped: sorted again.
    RecordingWindow::Heard().clear();
    CVexilSortKeyEdit1* keys = KeyEditor();
    ClickLine(keys->fSortKeyBox, QStringLiteral("ByTitle"));
    Pick(keys->fSortWayCombo[0], QStringLiteral("Descending"));
    Click(keys->fModifyBut);
    EXPECT_EQ(StackOrder(), (QStringList{"O1", "I2", "I3", "I1", "I5", "I4"}));
    EXPECT_TRUE(RecordingWindow::Heard().contains(QStringLiteral("5 Item")));
    ClickLine(keys->fSortKeyBox, QStringLiteral("ByTitle"));
    ScriptedPrompts::Instance().ExpectMessage();
    Click(keys->fDeleteBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("13")});
    EXPECT_TRUE(Key(QStringLiteral("ByTitle")));

    // Unticked: no key index, the order as it was.
    editor = ShowBg(QStringLiteral("Item"));
    Tick(editor->fKeepCardsSorted, false);
    EXPECT_TRUE(editor->fSortKeyCombo->Locked());
    Click(editor->fModifyBut);
    EXPECT_FALSE(Item()->Flag(ECseKeepCardsSorted));
    EXPECT_EQ(Item()->KeyIndexId(), 1999999999);
    EXPECT_EQ(NumKeyIndexes(), 0);
    EXPECT_EQ(StackOrder(), (QStringList{"O1", "I2", "I3", "I1", "I5", "I4"}));
    gStackView->SetValue(Card(QStringLiteral("I2")), Field(QStringLiteral("Title"))->Id(), Val::Str("able"));
    EXPECT_EQ(StackOrder(), (QStringList{"O1", "I2", "I3", "I1", "I5", "I4"}));
    EXPECT_EQ(Shown().size(), 1);
}

TEST_F(BackgroundEdit, KeepingCardsSortedWithoutAKeyIsRefused)
{
    OpenWith([](CVexilStack& aStack) {
        const TControlSetRef item = aStack.Background(0);
        TControlRef title;
        ASSERT_TRUE(item->GetControlByName(QStringLiteral("Title"), title));
        AddKey(aStack, *item, QStringLiteral("ByTitle"), {{title, 0}});
    });
    // No key for the background, or none for a background being made: the box unticks itself.
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Other"));
    ScriptedPrompts::Instance().ExpectMessage();
    Tick(editor->fKeepCardsSorted, true);
    EXPECT_FALSE(editor->fKeepCardsSorted->isChecked());
    Click(editor->fNewBut);
    Type(editor->fName, QStringLiteral("Made"));
    ScriptedPrompts::Instance().ExpectMessage();
    Tick(editor->fKeepCardsSorted, true);
    EXPECT_FALSE(editor->fKeepCardsSorted->isChecked());
    EXPECT_EQ(Shown(), (QStringList{"15", "15"}));

    // The box ticked, then a key made elsewhere: the refilled list has no key chosen.
    ShowBg(QStringLiteral("Item"));
    Tick(editor->fKeepCardsSorted, true);
    CVexilSortKeyEdit1* keys = KeyEditor();
    Click(keys->fNewBut);
    Type(keys->fName, QStringLiteral("Second"));
    Click(keys->fCreateBut);
    editor = BgEditor();
    EXPECT_TRUE(editor->fKeepCardsSorted->isChecked());
    EXPECT_EQ(editor->fSortKeyCombo->currentIndex(), -1);
    const QByteArray before = Saved();
    RecordingWindow::Heard().clear();
    ScriptedPrompts::Instance().ExpectMessage();
    Click(editor->fModifyBut);

    EXPECT_EQ(Shown(), (QStringList{"15", "15", "15"}));
    EXPECT_EQ(FocusName(), QStringLiteral("fSortKeyCombo"));
    EXPECT_EQ(Saved(), before);
    EXPECT_TRUE(RecordingWindow::Heard().isEmpty());
    EXPECT_EQ(editor->Mode(), EModeModify);
}

// ---- cards and other windows

TEST_F(BackgroundEdit, CardButtonsActOnlyOnACardStillInTheStack)
{
    OpenWith();
    CardEditStandIn::Register();
    CVexilBackgroundEdit* editor = ShowBg(QStringLiteral("Item"));
    ClickLine(editor->fCardBox, QStringLiteral("I3"));
    Click(editor->fShowCardBut);
    EXPECT_EQ(gStackView->CurCard(), Card(QStringLiteral("I3")));
    Click(editor->fEditCardBut);
    ClickLine(editor->fCardBox, QStringLiteral("I4"), true);
    EXPECT_EQ(CardEditStandIn::Shown(), (QStringList{"I3", "I4"}));

    // Deleted elsewhere; the list still shows it.
    gStackView->DeleteCard(Card(QStringLiteral("I4")), nullptr);
    editor = BgEditor();
    ASSERT_TRUE(Lines(*editor->fCardBox).contains(QStringLiteral("I4")));
    ClickLine(editor->fCardBox, QStringLiteral("I4"));
    Click(editor->fShowCardBut);
    Click(editor->fEditCardBut);
    ClickLine(editor->fCardBox, QStringLiteral("I4"), true);
    EXPECT_EQ(CardEditStandIn::Shown(), (QStringList{"I3", "I4"}));
    EXPECT_EQ(gStackView->CurCard(), Card(QStringLiteral("I3")));
}

TEST_F(BackgroundEdit, TheFieldEditorOpensItOnABackgroundAndFieldsOpensTheFieldEditor)
{
    OpenWith();
    ClickLine(Editor()->fBackgroundBox, QStringLiteral("Other"), true);
    auto* editor = static_cast<CVexilBackgroundEdit*>(CVexilFormRegistry::Loaded(CVexilBackgroundEdit::KClassName));
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Background(), Bg(QStringLiteral("Other")));
    EXPECT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->fName->text(), QStringLiteral("Other"));

    ShowBg(QStringLiteral("Bg"));
    Click(editor->fShowControlsBut);
    EXPECT_EQ(Editor()->Background(), Bg(QStringLiteral("Bg")));
}
}  // namespace

#include "BackgroundEditTest.moc"
