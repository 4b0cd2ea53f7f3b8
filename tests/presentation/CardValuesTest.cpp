#include "CardViewFixture.h"

#include "PictureBytes.h"
#include "ValueBuild.h"
#include "presentation/VexilListBox.h"

#include <QTreeWidgetItem>

#include <optional>

namespace
{
// Text as a card stores it: an empty text is no value.
TValue Str(const QString& aText)
{
    return CVexilValue::StrToVal(aText);
}

using Val::Bool;
using Val::Int;
using Val::Real;

// What the user sees of a field's widget: the text of a box, the value of a check box, the
// rows of a list view or the list and text of a combo box.
QString Shown(const CVexilControl& aField)
{
    QObject* widget = aField.BaseControl();
    if (auto* text = qobject_cast<QLineEdit*>(widget))
        return text->text();
    if (auto* rich = qobject_cast<QTextEdit*>(widget))
        return rich->toPlainText();
    if (auto* check = qobject_cast<CVexilCheckBox*>(widget))
        return QString::number(check->Value());
    if (auto* combo = qobject_cast<QComboBox*>(widget))
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items.join(u'|') + QStringLiteral(" [") + combo->currentText() + QLatin1Char(']');
    }
    if (auto* list = qobject_cast<QTreeWidget*>(widget))
    {
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
        {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(i)->text(c);
            rows << cells.join(u'/');
        }
        return rows.join(u'|');
    }
    return QStringLiteral("?");
}

class CardValuesTest : public CardViewFixture
{
protected:
    TValue Stored(const TControlRef& aField, const TCardRef& aCard = nullptr)
    {
        TValue value;
        (aCard ? aCard : iCard)->GetControlVal(aField->Id(), value, true);
        return value;
    }
};

TEST_F(CardValuesTest, EachTypeIsWrittenAndReadBack)
{
    struct TCase
    {
        TFieldDef Def;
        int16_t Digits;
        std::optional<TValue> Stored;  // none: the card holds no value
        QString Shown;
        TValue Read;
    };
    // A date or time field without value shows the card's creation stamp.
    const TValue created = Val::Date(kCreated.date());
    const TValue createdTime = Val::Time(kCreated.time());
    CVexilControl dateField;
    dateField.Construct(0, QStringLiteral("D"), EConTypeDate);
    CVexilControl timeField;
    timeField.Construct(0, QStringLiteral("T"), EConTypeTime);
    const std::vector<TCase> cases = {
        {{"Text"}, UndefInt, Str("abc"), "abc", Str("abc")},
        {{"NoInt", EConTypeInteger}, UndefInt, std::nullopt, "0", Int(0)},
        {{"Int", EConTypeInteger}, UndefInt, Int(-42), "-42", Int(-42)},
        {{"Real", EConTypeReal}, 2, Real(3.5), "3.50", Real(3.5)},
        {{"Date", EConTypeDate}, UndefInt, std::nullopt, CVexilValue::ValToExtText(created, dateField), created},
        {{"Time", EConTypeTime}, UndefInt, std::nullopt, CVexilValue::ValToExtText(createdTime, timeField),
         createdTime},
        {{"Bool", EConTypeBoolean}, UndefInt, Bool(true), "1", Bool(true)},
        {{"NoBool", EConTypeBoolean}, UndefInt, std::nullopt, "0", Bool(false)},
        {{"List", EConTypeList}, UndefInt, Str("a\r\nb\r\nc"), "a|b|c", Str("a\r\nb\r\nc")},
        {{"Lines", EConTypeText, 0, 3}, UndefInt, Str("one\r\n\r\ntwo\u00a0 "), "one\n\ntwo  ",
         Str("one\r\n\r\ntwo\u00a0 ")},
        {{"MultiInt", EConTypeInteger, 0, 3}, UndefInt, Int(7), "7", Int(7)},
        {{"MultiReal", EConTypeReal, EConMaxHeight}, 2, Real(-2.25), "-2.25", Real(-2.25)},
        {{"Picture", EConTypePicture}, UndefInt, std::nullopt, "?", TValue()},
    };
    std::vector<TControlRef> fields;
    for (const TCase& c : cases)
    {
        fields.push_back(AddField(c.Def));
        fields.back()->SetDigits(c.Digits);
        if (c.Stored)
            iCard->SetControlVal(fields.back()->Id(), *c.Stored);
    }
    Show();
    for (size_t i = 0; i < cases.size(); ++i)
    {
        const CVexilControl& field = *fields[i];
        SCOPED_TRACE(field.Name().toStdString());
        if (field.ConType() != EConTypePicture)
        {
            EXPECT_EQ(Shown(field), cases[i].Shown);
        }
        const TValue read = iView->GetBaseControlVal(field);
        EXPECT_TRUE(CVexilValue::Equal(read, cases[i].Read))
            << CVexilValue::ValToIntText(read).toStdString() << " type " << read.iType;
    }
}

TEST_F(CardValuesTest, ACheckBoxIsWrittenWhileTheWindowSaysItIsShowing)
{
    const TControlRef check = AddField({QStringLiteral("Done"), EConTypeBoolean});
    iCard->SetControlVal(check->Id(), Bool(true));
    std::vector<bool> showingAtChange;
    Show();
    QObject::connect(static_cast<QCheckBox*>(check->BaseControl()), &QCheckBox::stateChanged, iForm,
                     [&] { showingAtChange.push_back(iForm->iShowing); });
    iCard->SetControlVal(check->Id(), Bool(false));
    iView->ShowValues(iCard);
    EXPECT_EQ(showingAtChange, std::vector<bool>{true});
    EXPECT_FALSE(iForm->iShowing);
    // A value of another type is refused and the box shows False.
    IgnoredAssert asked(QStringLiteral("aVal.iType"));
    iView->SetBaseControlVal(*check, Str("T"), *iCard);
    EXPECT_EQ(Shown(*check), "0");
}

TEST_F(CardValuesTest, CardListLinesCarryTheirCardsInAListViewButNotInACombo)
{
    const TCardRef second = AddCard(QStringLiteral("Second"));
    const TControlRef cards = AddField({QStringLiteral("Cards"), EConTypeList, EConCardList});
    const TControlRef combo = AddComboPair(QStringLiteral("Pick"));
    TControlRef comboList;
    ASSERT_TRUE(iBg->GetControl(combo->PartnerId(), comboList));
    comboList->SetFlag(EConCardList, true);
    const QString lines = QStringLiteral("%1\tFirst\r\n%2\tSecond").arg(iCard->Id()).arg(second->Id());
    iCard->SetControlVal(cards->Id(), Str(lines));
    iCard->SetControlVal(comboList->Id(), Str(lines));
    Show();

    EXPECT_EQ(Shown(*cards), QStringLiteral("%1/First|%2/Second").arg(iCard->Id()).arg(second->Id()));
    EXPECT_EQ(cards->ListBox()->Obj(0), iCard);
    EXPECT_EQ(cards->ListBox()->Obj(1), second);
    EXPECT_EQ(comboList->ListBox()->Obj(1), nullptr);
    EXPECT_EQ(comboList->ListBox()->NumLines(), 2);
}

TEST_F(CardValuesTest, AComboPairShowsItsLinesAndSelectsTheTextField)
{
    struct TCase
    {
        const char* Name;
        int32_t Type;
        TValue Before;  // the text value of the card shown before, the first of the lines
        QString Lines;
        std::optional<TValue> Text;
        QString Shown;
        TValue Read;
    };
    // The lines are loaded anew for each card, so a text that is not among them (case
    // counts), or an empty list, leaves the box without selection.
    const TCase cases[] = {
        {"Text", EConTypeText, Str("red"), "red\r\ngreen\r\nblue", Str("green"), "red|green|blue [green]",
         Str("green")},
        {"Empty text", EConTypeText, Str("red"), "red\r\ngreen", std::nullopt, "red|green []", TValue()},
        {"Not in lines", EConTypeText, Str("red"), "red\r\ngreen", Str("Green"), "red|green []", TValue()},
        {"Empty list", EConTypeText, Str("red"), "", Str("red"), " []", TValue()},
        {"Integer", EConTypeInteger, Int(1), "1\r\n20\r\n300", Int(20), "1|20|300 [20]", Int(20)},
        {"Real", EConTypeReal, Real(0.5), "0.5\r\n1.5", Real(1.5), "0.5|1.5 [1.5]", Real(1.5)},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        const TControlSetRef bg = NewBackground(*iStack, QString::fromLatin1(c.Name));
        const TControlRef text = AddField({QStringLiteral("T"), c.Type, EConComboText}, bg);
        text->SetDigits(1);
        const TControlRef list = AddField({QStringLiteral("L"), EConTypeList, EConComboList, 1, 30, true}, bg);
        text->SetPartnerId(list->Id());
        list->SetPartnerId(text->Id());
        const TCardRef before = AddCard(QStringLiteral("Before"), bg);
        before->SetControlVal(list->Id(), Str(c.Lines.isEmpty() ? QStringLiteral("red") : c.Lines));
        before->SetControlVal(text->Id(), c.Before);
        Show(before);
        EXPECT_TRUE(CVexilValue::Equal(iView->GetBaseControlVal(*text), c.Before));
        const TCardRef card = AddCard(QStringLiteral("Card"), bg);
        card->SetControlVal(list->Id(), Str(c.Lines));
        if (c.Text)
            card->SetControlVal(text->Id(), *c.Text);
        Show(card);

        EXPECT_EQ(Shown(*text), c.Shown);
        EXPECT_EQ(text->BaseControl(), list->BaseControl());
        EXPECT_TRUE(CVexilValue::Equal(iView->GetBaseControlVal(*text), c.Read));
        const TValue lines = iView->GetBaseControlVal(*list);
        EXPECT_EQ(lines.iStr, c.Lines);
    }
}

TEST_F(CardValuesTest, TheHeaderFollowsTheCardNameField)
{
    iBg->SetFlag(ECseShowCardName, true);
    const TControlRef name = AddField({QStringLiteral("Name"), EConTypeText, EConCardName});
    iCard->SetControlVal(name->Id(), Str("First"));
    Show();
    auto* header = static_cast<QLabel*>(iForm->fGenLabel[0]);
    EXPECT_EQ(header->text(), QStringLiteral("First"));
    iView->SetBaseControlVal(*name, Str("Renamed"), *iCard);
    EXPECT_EQ(header->text(), QStringLiteral("Renamed"));
    EXPECT_EQ(Shown(*name), QStringLiteral("Renamed"));

    // Without the header the label pool's first label belongs to the field.
    iBg->SetFlag(ECseShowCardName, false);
    iView->ResetCurSet();
    Show();
    EXPECT_EQ(name->BaseLabel(), iForm->fGenLabel[0]);
    iView->SetBaseControlVal(*name, Str("Again"), *iCard);
    EXPECT_EQ(header->text(), QStringLiteral("Name"));
}

TEST_F(CardValuesTest, ClearEmptiesTheWindowAndTitlesIt)
{
    const TControlRef list = AddField({QStringLiteral("List"), EConTypeList});
    const TControlRef notes = AddField({QStringLiteral("Notes"), EConTypeText, 0, 3});
    const TControlRef text = AddField({QStringLiteral("Text"), EConTypeText});
    iCard->SetControlVal(list->Id(), Str("x\r\ny"));
    iCard->SetControlVal(notes->Id(), Str("n"));
    iCard->SetControlVal(text->Id(), Str("t"));
    Show();
    iView->SetTitle(QStringLiteral("First - 1 of 1"));
    EXPECT_EQ(iForm->windowTitle(), QStringLiteral("First - 1 of 1"));

    iView->Clear();
    EXPECT_EQ(iForm->windowTitle(), QStringLiteral("(No Card)"));
    EXPECT_EQ(iView->CurSet(), nullptr);
    for (CVexilCtl* ctl : iForm->Controls())
        EXPECT_FALSE(ctl->Visible()) << ctl->Name().toStdString();
    for (CVexilListView* view : iForm->fGenListView)
    {
        EXPECT_EQ(view->Left(), 10000);
        EXPECT_EQ(view->Top(), 10000);
        EXPECT_EQ(view->topLevelItemCount(), 0);
    }
    EXPECT_EQ(Shown(*notes), QString());
    EXPECT_EQ(Shown(*text), QStringLiteral("t"));  // kept, only hidden
}

class CardPicturesTest : public CardValuesTest
{
protected:
    TBlobRef AddPicture(int aWidth = 40, int aHeight = 20)
    {
        return NewBlob(*iStack, QtPictureBytes(QuarterImage(aWidth, aHeight), "PNG"));
    }
    static TValue BlobValue(const TBlobRef& aBlob) { return Val::Blob(aBlob->Id()); }
    static QString Tag(const TBlobRef& aBlob) { return QStringLiteral(" %1").arg(aBlob->Id()); }
    // Every picture box of the window whose Tag is not empty.
    QStringList Tagged() const
    {
        QStringList tagged;
        for (CVexilCtl* ctl : iForm->Controls())
            if (auto* box = qobject_cast<CVexilPictureBox*>(ctl->Widget()); box && !box->Tag().isEmpty())
                tagged << box->Name() + QLatin1Char('=') + box->Tag().trimmed();
        return tagged;
    }
};

TEST_F(CardPicturesTest, APictureIsHeldWhileShownAndReleasedOnce)
{
    const TControlRef photo = AddField({QStringLiteral("Photo"), EConTypePicture});
    const TBlobRef first = AddPicture(40, 20);
    const TBlobRef second = AddPicture();
    const TBlobRef wall = AddPicture();
    wall->IncRefCount();
    iBg->SetFlag(ECseShowWallPaper, true);
    iBg->SetWallPaperId(wall->Id());
    iCard->SetControlVal(photo->Id(), BlobValue(first));
    const TCardRef other = AddCard(QStringLiteral("Other"));
    other->SetControlVal(photo->Id(), BlobValue(second));
    Show();

    auto* box = static_cast<CVexilPictureBox*>(photo->BaseControl());
    EXPECT_EQ(box->Tag(), Tag(first));
    EXPECT_EQ(box->Picture().size(), QSize(40, 20));
    EXPECT_EQ(first->DynRefCount(), 2);  // the store's cache and the box
    EXPECT_EQ(wall->DynRefCount(), 2);
    Show(other);
    EXPECT_EQ(box->Tag(), Tag(second));
    EXPECT_EQ(first->DynRefCount(), 1);
    EXPECT_EQ(second->DynRefCount(), 2);

    // A picture whose value changed away stays while it is shown, and goes with its box.
    other->SetControlVal(photo->Id(), BlobValue(first));
    EXPECT_TRUE(iStack->BlobStore()->HasBlob(second->Id()));
    iView->ShowValues(other);
    EXPECT_FALSE(iStack->BlobStore()->HasBlob(second->Id()));
    EXPECT_EQ(box->Tag(), Tag(first));

    // A picture field without value empties its box.
    other->SetControlVal(photo->Id(), TValue());
    iView->ShowValues(other);
    EXPECT_EQ(box->Tag(), QString());
    EXPECT_TRUE(box->Picture().isNull());
    EXPECT_EQ(first->DynRefCount(), 1);
    other->SetControlVal(photo->Id(), BlobValue(first));
    iView->ShowValues(other);
    EXPECT_EQ(Tagged(), QStringList({"fGenPictureBox0=" + Tag(first).trimmed(), "fWallPaperBox=" + Tag(wall).trimmed()}));

    // Closing lets every box go; a later Clear releases nothing again.
    iView->PrepareClose(other);
    EXPECT_EQ(Tagged(), QStringList());
    EXPECT_TRUE(iForm->fWallPaperBox->Picture().isNull());
    EXPECT_EQ(first->DynRefCount(), 1);
    EXPECT_EQ(wall->DynRefCount(), 1);
    EXPECT_EQ(iView->CurSet(), nullptr);
    iView->Clear();
    EXPECT_EQ(first->DynRefCount(), 1);
    EXPECT_EQ(wall->DynRefCount(), 1);
}

TEST_F(CardPicturesTest, ClearReleasesEveryPictureAndTheWallpaper)
{
    std::vector<TBlobRef> blobs;
    for (int i = 0; i < 3; ++i)
    {
        const TControlRef photo = AddField({QStringLiteral("Photo%1").arg(i), EConTypePicture});
        blobs.push_back(AddPicture());
        iCard->SetControlVal(photo->Id(), BlobValue(blobs.back()));
    }
    blobs.push_back(AddPicture());
    blobs.back()->IncRefCount();  // the background's reference, as its editor counts it
    iBg->SetFlag(ECseShowWallPaper | ECseTileWallPaper, true);
    iBg->SetWallPaperId(blobs.back()->Id());
    Show();
    EXPECT_EQ(Tagged().size(), 4);

    iView->Clear();
    EXPECT_EQ(Tagged(), QStringList());
    EXPECT_TRUE(iForm->WallPaperPositions().empty());
    for (const TBlobRef& blob : blobs)
        EXPECT_EQ(blob->DynRefCount(), 1);
    // The next layout starts from empty boxes and takes each picture once.
    Show();
    for (const TBlobRef& blob : blobs)
        EXPECT_EQ(blob->DynRefCount(), 2);
}
}  // namespace
