#include "presentation/VexilCardListView.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilValue.h"
#include "model/VexilWinManLink.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilStackView.h"

#include <QScopedValueRollback>
#include <QStringList>

#include <algorithm>

namespace
{
// Column widths in characters.
constexpr float KNameChars = 10;
constexpr float KMixedChars = 25;

// The first card of the background of aCard in stack order when that background keeps its
// cards sorted (aFirst) or the last one (!aFirst); else aCard itself.
TCardRef BlockEnd(const CVexilStack& aStack, const TCardRef& aCard, bool aFirst)
{
    const TControlSetRef background = aCard->Background();
    if (!background || !background->Flag(ECseKeepCardsSorted))
        return aCard;
    TCardRef end;
    int32_t cursor = 0;
    const bool found = aFirst ? aStack.GetFirstCardInBackground(background->Id(), end, cursor)
                              : aStack.GetLastCardInBackground(background->Id(), end);
    return found ? end : aCard;
}
}  // namespace

std::shared_ptr<CVexilCardListView> CVexilCardListView::Make(const TStackRef& aStack)
{
    auto view = std::make_shared<CVexilCardListView>();
    view->Construct(aStack, *CVexilCardListForm::Instance());
    return view;
}

void CVexilCardListView::Construct(const TStackRef& aStack, CVexilCardListForm& aForm)
{
    iForm = &aForm;
    iStack = aStack;
    iCardBox.Construct(ELisSingle, aForm.fCardBox);
    iCardBox.SetFlags(ELbfFillHeight | ELbfFillWidth);
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QString(), UndefInt, UndefLong);
    font->AddFont(iStack->ListFont().get());
    font->SetDefaults();
    iCardBox.SetFont(font);
    iBackgroundCombo.Construct(ELisCombo, aForm.fBackgroundCombo);
    FillBackgroundCombo();
    {
        QScopedValueRollback<bool> showing(aForm.iShowing, true);
        iBackgroundCombo.SetSelIndex(0);
    }
    iBackground.reset();
    aForm.SetView(weak_from_this());
}

CVexilForm* CVexilCardListView::Form() const
{
    return iForm.data();
}

void CVexilCardListView::FillBackgroundCombo()
{
    CVexilDialogLib::FillBackgroundList(iBackgroundCombo, iStack.get(), KAll, nullptr);
}

void CVexilCardListView::FillAndShowCardList(bool aForce)
{
    const auto selected = std::dynamic_pointer_cast<CVexilControlSet>(iBackgroundCombo.SelObj());
    if (!aForce && selected && iBackground && selected == iBackground)
        return;
    iBackground = selected;
    FillCardList();
}

void CVexilCardListView::FillCardList()
{
    iCardBox.Clear();
    iListFields.clear();
    iDateTexts.clear();
    iMixed = false;
    int32_t maxControls = 0;
    TControlSetRef first;
    if (!iBackground)
    {
        int32_t count = 0;
        TControlSetRef background;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstBackground(background, cursor); more;
             more = iStack->GetNextBackground(background, cursor))
        {
            if (count++ == 0)
                first = background;
            maxControls = std::max<int32_t>(maxControls, background->NumControls());
        }
        iMixed = count > 1;
    }
    const TControlSetRef columns = iBackground ? iBackground : first;
    if (!columns)
        iMixed = true;

    QStringList titles;
    std::vector<float> widths;
    const float avg = CVexilLibUi::AvgCharWidth();
    const float border = CVexilLibUi::ListBorderWidth();
    iShowName = columns && columns->Flag(ECseCardNameInList);
    if (iShowName)
    {
        titles += QStringLiteral("Card");
        widths.push_back(iMixed ? KMixedChars * avg : KNameChars * avg + border);
    }
    // Columns past the list's limit are not shown.
    const auto full = [&] { return titles.size() >= CVexilListBox::KMaxCols; };
    if (iMixed)
    {
        for (int32_t i = 0; i < maxControls && !full(); ++i)
        {
            titles += QStringLiteral("Field ") + QString::number(i);
            widths.push_back(KMixedChars * avg);
        }
    }
    else
    {
        TControlRef field;
        int32_t cursor = 0;
        for (bool more = columns->GetFirstControl(field, cursor); more && !full();
             more = columns->GetNextControl(field, cursor))
        {
            if (!field->InCardList())
                continue;
            titles += field->ListColTitle();
            widths.push_back(float(field->ListVisChar()) * avg + border);
        }
    }
    iMaxFieldCols = int(titles.size()) - (iShowName ? 1 : 0);
    iCardBox.DefineColumns(titles, widths);

    TCardRef card;
    int32_t cursor = 0;
    for (bool more = iStack->GetFirstCard(card, cursor); more; more = iStack->GetNextCard(card, cursor))
    {
        if (iMixed || !iBackground || card->BackgroundId() == iBackground->Id())
            iCardBox.AddLine(BuildCardLine(*card, ListFieldsOf(*card)), card);
    }
    iCardBox.Show();
}

const CVexilCardListView::TListFields& CVexilCardListView::ListFieldsOf(const CVexilCard& aCard)
{
    const int32_t id = aCard.BackgroundId();
    const auto known = std::find_if(iListFields.begin(), iListFields.end(),
                                    [id](const auto& aEntry) { return aEntry.first == id; });
    if (known != iListFields.end())
        return known->second;
    TListFields fields;
    if (const TControlSetRef background = aCard.Background())
    {
        TControlRef field;
        int32_t cursor = 0;
        for (bool more = background->GetFirstControl(field, cursor); more && int(fields.size()) < iMaxFieldCols;
             more = background->GetNextControl(field, cursor))
        {
            if (field->InCardList())
                fields.push_back(field);
        }
    }
    iListFields.emplace_back(id, std::move(fields));
    return iListFields.back().second;
}

QString CVexilCardListView::BuildCardLine(CVexilCard& aCard, const TListFields& aFields)
{
    QString line;
    // About as long as the line before.
    line.reserve(iLineLength);
    if (iShowName)
        line += aCard.Name();
    bool firstCol = !iShowName;
    for (const TControlRef& field : aFields)
    {
        if (!firstCol)
            line += QLatin1Char('\t');
        firstCol = false;
        TValue value;
        aCard.GetControlVal(field->Id(), value, true);
        line += ValueText(value, *field);
    }
    iLineLength = line.size() + 16;
    return line;
}

QString CVexilCardListView::ValueText(const TValue& aValue, const CVexilControl& aField)
{
    if (aValue.iType != EValDate)
        return CVexilValue::ValToExtText(aValue, aField);
    const std::pair<int32_t, double> key(aField.Id(), aValue.iDate);
    auto known = iDateTexts.constFind(key);
    if (known == iDateTexts.cend())
        known = iDateTexts.insert(key, CVexilValue::ValToExtText(aValue, aField));
    return *known;
}

void CVexilCardListView::UpdateCard(const TCardRef& aCard)
{
    int32_t index = 0;
    if (!aCard || !iCardBox.GetObjIndex(aCard.get(), index))
        return;
    // The fields of the card's background, and the texts of dates, may have changed since the
    // list was filled.
    iListFields.clear();
    iDateTexts.clear();
    iCardBox.ModifyLineAt(BuildCardLine(*aCard, ListFieldsOf(*aCard)), aCard, index);
}

void CVexilCardListView::ChangeNotify(int32_t aEvent)
{
    switch (aEvent)
    {
    case EChgStructure:
    case EChgDeletingBackground:
    {
        const QString shown = iBackgroundCombo.SelLine();
        FillBackgroundCombo();
        if (iForm)
        {
            QScopedValueRollback<bool> showing(iForm->iShowing, true);
            iBackgroundCombo.SetSelIndexByLine(shown);
        }
        FillAndShowCardList(true);
        break;
    }
    // Cards deleted or added elsewhere, and values shown by a changed type, would leave lines
    // of cards that are gone or texts of the old type.
    case EChgCardOrder:
    case EChgCards:
    case EChgValueType:
        FillAndShowCardList(true);
        break;
    default:
        break;
    }
}

bool CVexilCardListView::InStack(const TCardRef& aCard) const
{
    return aCard && aCard->Stack() == iStack.get() && iStack->GetCardById(aCard->Id()) == aCard;
}

void CVexilCardListView::MoveSelectedCard(bool aUp)
{
    const auto card = std::dynamic_pointer_cast<CVexilCard>(iCardBox.SelObj());
    if (!card)
        return;
    if (!InStack(card))
    {
        FillAndShowCardList(true);
        return;
    }
    if (!MoveInStack(*iStack, card, aUp))
        return;
    if (const TStackViewRef view = gStackView)
        view->RefreshViews(true, true);
    if (iForm)
        iForm->fCardBox->setFocus();
    iCardBox.SetSelIndexByObj(card.get());
}

bool CVexilCardListView::MoveInStack(CVexilStack& aStack, const TCardRef& aCard, bool aUp)
{
    const TControlSetRef own = aCard->Background();
    const bool block = own && own->Flag(ECseKeepCardsSorted);
    // The card, or the end of its block, that goes first in the direction of the move.
    const TCardRef leading = block ? BlockEnd(aStack, aCard, aUp) : aCard;
    TCardRef neighbour;
    if (!(aUp ? aStack.OrderPrev(*leading, neighbour) : aStack.OrderNext(*leading, neighbour)))
        return false;
    // A neighbour in a sorted block stands for the whole block.
    neighbour = BlockEnd(aStack, neighbour, aUp);
    TCardRef before = neighbour;
    if (!aUp && !aStack.OrderNext(*neighbour, before))
        before.reset();
    if (block)
        aStack.MoveAllCardsOfBackground(*own, before.get());
    else
        aStack.MoveCard(*aCard, before.get());
    return true;
}
