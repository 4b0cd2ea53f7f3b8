#include "presentation/VexilListBox.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilTextCompare.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "presentation/VexilLibUi.h"

#include <QHeaderView>
#include <QTreeWidgetItem>
#include <QVarLengthArray>

#include <algorithm>
#include <numeric>

namespace
{

QString ColumnKey(int aColumn)
{
    return QStringLiteral("X") + QString::number(aColumn + 1);
}

}  // namespace

QString CVexilListBox::ObjDescr() const
{
    return QStringLiteral("CVexilListBox type=") + QString::number(iLisType) + QStringLiteral(",numLines=") +
           QString::number(NumLines());
}

void CVexilListBox::Construct(int32_t aLisType, QObject* aWidget)
{
    iListView = nullptr;
    iComboBox = nullptr;
    if (aLisType == ELisSingle)
        iListView = qobject_cast<CVexilListView*>(aWidget);
    else if (aLisType == ELisCombo)
        iComboBox = qobject_cast<CVexilComboBox*>(aWidget);
    else
        CVexilError::Assert(false, QStringLiteral("Construct TypeOf"));
    iLisType = aLisType;
    iColTitles = QStringList{QString()};
    iColSizes = {1.0F};
    iColsFrac = true;
    iFlags = 0;
    iLines.clear();
    iObjs.clear();
    iShown = false;
    SetFont(nullptr);
}

bool CVexilListBox::CheckIndex(int32_t aIndex, const QString& aContext) const
{
    const bool ok = aIndex >= 0 && aIndex < NumLines();
    CVexilError::CheckFailed(ok, this, aContext,
                             QStringLiteral("index ") + QString::number(aIndex) + QStringLiteral(",") +
                                 QString::number(NumLines()));
    return ok;
}

TObjRef CVexilListBox::Obj(int32_t aIndex) const
{
    if (aIndex == -1 || !CheckIndex(aIndex, QStringLiteral("GetObj")))
        return nullptr;
    return iObjs[size_t(aIndex)];
}

QString CVexilListBox::Line(int32_t aIndex) const
{
    const bool ok = aIndex >= 0 && aIndex < NumLines();
    CVexilError::Assert(ok, QStringLiteral("Get Line index"));
    return ok ? iLines[size_t(aIndex)] : QString();
}

int32_t CVexilListBox::SelIndex() const
{
    if (iLisType == ELisCombo)
        return iComboBox ? iComboBox->currentIndex() : -1;
    CVexilError::Assert(iLisType == ELisSingle, QStringLiteral("SelIndex type"));
    if (!iListView)
        return -1;
    // The current item when it is selected, else the first selected one.
    QTreeWidgetItem* current = iListView->currentItem();
    if (current != nullptr && current->isSelected())
        return iListView->indexOfTopLevelItem(current);
    const QList<QTreeWidgetItem*> selected = iListView->selectedItems();
    return selected.isEmpty() ? -1 : iListView->indexOfTopLevelItem(selected.first());
}

void CVexilListBox::SetFlag(int32_t aMask, bool aOn)
{
    iFlags = aOn ? (iFlags | aMask) : (iFlags & ~aMask);
    if (aMask == ELbfTrueFontSize)
        SetFont(iFontRec);
}

void CVexilListBox::SetFont(const std::shared_ptr<CVexilFont>& aFont)
{
    iFontRec = aFont;
    if (!iFontRec)
    {
        iFontRec = std::make_shared<CVexilFont>();
        iFontRec->Construct(QString(), UndefInt, UndefLong);
        iFontRec->SetDefaults();
    }
    iStdFont = CVexilLibUi::MakeStdFont(*iFontRec, Flag(ELbfTrueFontSize));
    iForeColor = iFontRec->ForeColor() == UndefLong ? 0 : iFontRec->ForeColor();
    ApplyFontToBase();
}

void CVexilListBox::ApplyFontToBase()
{
    CVexilCtl* ctl = iLisType == ELisCombo ? static_cast<CVexilCtl*>(iComboBox.data())
                                           : static_cast<CVexilCtl*>(iListView.data());
    if (ctl == nullptr)
        return;
    ctl->Widget()->setFont(iStdFont);
    ctl->SetForeColor(iForeColor);
}

void CVexilListBox::SetBaseObj(QObject* aWidget)
{
    // The widget changes: it does not hold the lines yet.
    iShown = iShown && aWidget == BaseObj();
    if (iLisType == ELisCombo)
    {
        iComboBox = qobject_cast<CVexilComboBox*>(aWidget);
        // None unbinds the box.
        CVexilError::Assert(aWidget == nullptr || iComboBox, QStringLiteral("SetObj ComboBox"));
    }
    else
    {
        iListView = qobject_cast<CVexilListView*>(aWidget);
        CVexilError::Assert(aWidget == nullptr || iListView, QStringLiteral("SetObj ListView"));
        if (iListView)
            Define1Column(QStringLiteral(" "));
    }
    ApplyFontToBase();
}

QObject* CVexilListBox::BaseObj() const
{
    if (iLisType == ELisCombo)
        return iComboBox.data();
    return iListView.data();
}

TObjRef CVexilListBox::SelObj() const
{
    const int32_t index = SelIndex();
    return index >= 0 && index < NumLines() ? iObjs[size_t(index)] : nullptr;
}

QString CVexilListBox::SelLine() const
{
    const int32_t index = SelIndex();
    return index >= 0 && index < NumLines() ? iLines[size_t(index)] : QString();
}

void CVexilListBox::DefineColumns(const QStringList& aTitles, const std::vector<float>& aWidths)
{
    CVexilError::Assert(iLisType == ELisSingle, QStringLiteral("DefineColums ELisSingle"));
    const int count = int(std::min(size_t(aTitles.size()), aWidths.size()));
    if (count > KMaxCols)
        CVexilError::RaiseRunError(ERunSubscript);
    iColTitles = aTitles.mid(0, count);
    iColSizes.assign(aWidths.begin(), aWidths.begin() + count);
    if (iListView)
    {
        iListView->setColumnCount(count);
        iListView->setHeaderLabels(iColTitles);
        QTreeWidgetItem* header = iListView->headerItem();
        iListView->header()->setStretchLastSection(false);
        // A shown column is never narrower than its title; a column of width 0 is hidden.
        std::vector<float> shown(iColSizes);
        for (int i = 0; i < count; ++i)
        {
            header->setData(i, Qt::UserRole, ColumnKey(i));
            float& width = shown[size_t(i)];
            if (CVexilCtl::TwipsToPixels(width) > 0)
                width = std::max(width, CVexilCtl::PixelsToTwips(iListView->TitleWidth(i)));
            iListView->setColumnWidth(i, CVexilCtl::TwipsToPixels(width));
        }
        // Columns within the inner width stay within the visible width, also beside a
        // vertical scroll bar; wider ones scroll. A twip of slack for sums of fractions.
        const float total = std::accumulate(shown.cbegin(), shown.cend(), 0.0F);
        const bool fits = count > 0 && total <= CVexilLibUi::ListInnerWidth(iListView) + 1.0F;
        iListView->SetLastColumnFit(fits ? CVexilCtl::TwipsToPixels(shown.back()) : -1);
    }
    iColsFrac = false;
    iShown = false;
}

void CVexilListBox::Define1Column(const QString& aTitle)
{
    DefineColumns(QStringList{aTitle}, {CVexilLibUi::ListInnerWidth(iListView)});
}

void CVexilListBox::DefineColumnsFrac(const QStringList& aTitles, const std::vector<float>& aFractions)
{
    // A copy: Resize passes the box's own column definition.
    const std::vector<float> fractions = aFractions;
    const float usable = CVexilLibUi::ListInnerWidth(iListView);
    std::vector<float> widths;
    widths.reserve(fractions.size());
    for (const float fraction : fractions)
        widths.push_back(usable * fraction);
    DefineColumns(aTitles, widths);
    iColSizes.assign(fractions.begin(), fractions.begin() + std::ptrdiff_t(iColSizes.size()));
    iColsFrac = true;
}

void CVexilListBox::DefineColumnsList(const QString& aSpec)
{
    QStringList items(KMaxListCols);
    int count = 0;
    CVexilLib::SplitComma(aSpec, items, count);
    QStringList titles;
    std::vector<float> widths;
    bool fractions = true;
    for (int i = 0; i < count; ++i)
    {
        QString title;
        QString widthText;
        CVexilLib::SplitAt(items[i], QStringLiteral(":"), title, widthText);
        titles.append(title);
        widths.push_back(float(CVexilNumText::LeadingNumber(widthText)));
        fractions = fractions && widths.back() <= 1.0F;
    }
    if (fractions)
        DefineColumnsFrac(titles, widths);
    else
        DefineColumns(titles, widths);
}

void CVexilListBox::AddLine(const QString& aLine, const TObjRef& aObj)
{
    iLines.push_back(aLine);
    iObjs.push_back(aObj);
    if (iShown)
        ShowLineInBase(aLine, KNewItem);
}

void CVexilListBox::CreateLineAt(const QString& aLine, const TObjRef& aObj, int32_t aIndex)
{
    if (aIndex < 0 || aIndex > NumLines())
        CVexilError::RaiseRunError(ERunSubscript);
    iLines.insert(iLines.begin() + aIndex, aLine);
    iObjs.insert(iObjs.begin() + aIndex, aObj);
    if (iShown && iLisType == ELisSingle && iListView)
        iListView->insertTopLevelItem(aIndex, NewItem(aLine));
}

void CVexilListBox::ModifyLineAt(const QString& aLine, const TObjRef& aObj, int32_t aIndex)
{
    if (aIndex < 0 || aIndex >= NumLines())
        CVexilError::RaiseRunError(ERunSubscript);
    iLines[size_t(aIndex)] = aLine;
    iObjs[size_t(aIndex)] = aObj;
    if (iShown)
        ShowLineInBase(aLine, aIndex);
}

void CVexilListBox::AddCommaList(const QString& aText)
{
    QStringList items(KMaxCommaItems);
    int count = 0;
    CVexilLib::SplitComma(aText, items, count);
    for (int i = 0; i < count; ++i)
        AddLine(items[i], nullptr);
}

void CVexilListBox::SetComboText(const QString& aText)
{
    CVexilError::Assert(iLisType == ELisCombo, QStringLiteral("SetComboText combo"));
    const auto found = std::find(iLines.cbegin(), iLines.cend(), aText);
    if (found != iLines.cend() && iComboBox)
        iComboBox->setCurrentIndex(int(found - iLines.cbegin()));
}

bool CVexilListBox::FindInList(const QString& aText, int32_t& aIndex) const
{
    const auto found = std::find_if(iLines.cbegin(), iLines.cend(), [&](const QString& aLine) {
        return CVexilTextCompare::Compare(aLine, aText) == 0;
    });
    aIndex = found == iLines.cend() ? -1 : int32_t(found - iLines.cbegin());
    return aIndex >= 0;
}

bool CVexilListBox::IsInList(const QString& aText) const
{
    int32_t index = 0;
    return FindInList(aText, index);
}

void CVexilListBox::Clear()
{
    iLines.clear();
    iObjs.clear();
    iShown = false;
}

void CVexilListBox::ClearAndShow()
{
    Clear();
    Show();
}

void CVexilListBox::SetEmpty()
{
    const bool combo = iLisType == ELisCombo;
    CVexilError::CheckFailed(combo, this, QStringLiteral("SetEmpty"), QStringLiteral("combo"));
    if (combo && iComboBox)
        iComboBox->setCurrentIndex(-1);
}

void CVexilListBox::SetSelIndex(int32_t aIndex)
{
    const bool ok = aIndex >= -1 && aIndex < NumLines();
    CVexilError::Assert(ok, QStringLiteral("SetSelIndex index"));
    if (!ok)
        return;
    if (iLisType == ELisCombo && iComboBox)
    {
        iComboBox->setCurrentIndex(aIndex);
    }
    else if (iLisType == ELisSingle && iListView)
    {
        if (aIndex == -1)
        {
            iListView->clearSelection();
        }
        else if (QTreeWidgetItem* item = iListView->topLevelItem(aIndex))
        {
            // A list view of several selectable lines adds the line to the selection.
            const auto command = iListView->selectionMode() == QAbstractItemView::SingleSelection
                                     ? QItemSelectionModel::ClearAndSelect
                                     : QItemSelectionModel::Select;
            iListView->setCurrentItem(item, 0, command);
            iListView->scrollToItem(item);
        }
    }
    DoEvents();
}

void CVexilListBox::SetSelIndexByLine(const QString& aLine)
{
    if (NumLines() == 0)
    {
        ClearAndShow();
        return;
    }
    int32_t index = 0;
    if (!FindInList(aLine, index))
        index = 0;
    SetSelIndex(index);
}

bool CVexilListBox::GetObjIndex(const CVexilObject* aObj, int32_t& aIndex) const
{
    const auto found =
        std::find_if(iObjs.cbegin(), iObjs.cend(), [&](const TObjRef& aLineObj) { return aLineObj.get() == aObj; });
    aIndex = found == iObjs.cend() ? -1 : int32_t(found - iObjs.cbegin());
    return aIndex >= 0;
}

void CVexilListBox::SetSelIndexByObj(const CVexilObject* aObj)
{
    int32_t index = 0;
    const bool found = GetObjIndex(aObj, index);
    CVexilError::CheckFailed(found, this, QStringLiteral("SetSelIndexByObj"), QStringLiteral("found"));
    if (found)
        SetSelIndex(index);
}

void CVexilListBox::SetSelIndexOrClear(int32_t aIndex)
{
    if (aIndex < NumLines())
        SetSelIndex(aIndex);
    else
        ClearAndShow();
}

void CVexilListBox::Show()
{
    if (iShown)
        return;
    if (iLisType == ELisSingle)
    {
        if (iListView)
        {
            iListView->clear();
            QList<QTreeWidgetItem*> items;
            items.reserve(NumLines());
            for (const QString& line : iLines)
                items.append(NewItem(line));
            iListView->insertTopLevelItems(0, items);
            SelectFirstItem();
        }
    }
    else if (iLisType == ELisCombo)
    {
        if (iComboBox)
        {
            iComboBox->clear();
            QStringList items;
            items.reserve(NumLines());
            for (const QString& line : iLines)
                items.append(line);
            iComboBox->addItems(items);
            // Qt selects the first item added to an empty combo box; the program expects none.
            iComboBox->setCurrentIndex(-1);
        }
    }
    else
    {
        CVexilError::Assert(false, QStringLiteral("Show type"));
    }
    iShown = true;
}

void CVexilListBox::SelectFirstItem()
{
    if (QTreeWidgetItem* first = iListView->topLevelItem(0))
        iListView->setCurrentItem(first, 0, QItemSelectionModel::ClearAndSelect);
}

void CVexilListBox::Resize()
{
    if (iLisType != ELisSingle || !iListView)
        return;
    const CVexilForm* container = CVexilForm::FormOf(*iListView);
    if (container == nullptr)
        return;
    const float margin = CVexilLibUi::MmToTwips(1);
    const float minimum = CVexilLibUi::MmToTwips(15);
    const float height = std::max(container->InnerHeight() - iListView->Top() - margin, minimum);
    const float width = std::max(container->InnerWidth() - iListView->Left() - margin, minimum);
    if (Flag(ELbfFillHeight))
        iListView->SetHeight(height);
    if (Flag(ELbfFillWidth))
        iListView->SetWidth(width);
    if (iColsFrac)
        DefineColumnsFrac(iColTitles, iColSizes);
}

void CVexilListBox::ShowLineInBase(const QString& aLine, int32_t aIndex)
{
    if (iLisType != ELisSingle || !iListView)
        return;
    if (aIndex == KNewItem)
        iListView->addTopLevelItem(NewItem(aLine));
    else if (QTreeWidgetItem* item = iListView->topLevelItem(aIndex))
        FillItem(*item, aLine);
}

QTreeWidgetItem* CVexilListBox::NewItem(const QString& aLine) const
{
    auto* item = new QTreeWidgetItem;
    FillItem(*item, aLine);
    return item;
}

void CVexilListBox::FillItem(QTreeWidgetItem& aItem, const QString& aLine) const
{
    // Column c shows the text after the c-th Tab; the first column is shown even without columns.
    const int numCols = std::max(int(iColTitles.size()), 1);
    QVarLengthArray<QStringView, 32> parts;
    for (const QStringView part : QStringView(aLine).tokenize(u'\t'))
    {
        if (parts.size() == numCols)
            break;
        parts.append(part);
    }
    while (parts.size() < numCols)
        parts.append(QStringView());
    // The last column first: the item makes room for all columns at once.
    for (int column = numCols - 1; column >= 0; --column)
        aItem.setText(column, parts[column].toString());
}
