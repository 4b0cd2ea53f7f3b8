#pragma once

#include "model/VexilListBoxLink.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class CVexilComboBox;
class CVexilFont;
class CVexilListView;
class QTreeWidgetItem;

// One model in front of a multi-column list view (ELisSingle) or a combo box (ELisCombo):
// text lines, each with an object attached (or none), a column definition and a font.
//
// Guarantees: the lines and their objects always have the same count; while the box is
// shown, the widget's items are exactly the lines in their order. Lines reach the widget only
// through Show, except that AddLine, CreateLineAt and ModifyLineAt write through to a list
// view that is shown (a combo box is refilled by Show alone). Tab separates the columns of a
// line in a list view; surplus columns are dropped and missing ones shown empty. A list view
// that is filled and shown has its first line selected; a combo box has none.
// The widgets belong to their window; the box only points at them.
class CVexilListBox final : public CVexilObject, public IVexilListBoxLink
{
public:
    static constexpr int32_t KMaxCols = 101;
    // Items of a column list and of a comma list.
    static constexpr int KMaxListCols = 21;
    static constexpr int KMaxCommaItems = 101;

    QString ObjDescr() const override;
    // Kind ELisSingle or ELisCombo; the widget may come later through SetBaseObj. One
    // full-width column, no flags and the default font.
    void Construct(int32_t aLisType, QObject* aWidget = nullptr);

    // The object of a line; -1 and indexes outside the lines give none.
    TObjRef Obj(int32_t aIndex) const override;
    QString Line(int32_t aIndex) const override;
    // The selected line, -1 when none.
    int32_t SelIndex() const;
    int32_t LisType() const override { return iLisType; }
    int32_t Flags() const { return iFlags; }
    // Replaces the flags as a whole and applies nothing.
    void SetFlags(int32_t aFlags) { iFlags = aFlags; }
    bool Flag(int32_t aMask) const override { return (iFlags & aMask) > 0; }
    // Changing ELbfTrueFontSize applies the font again at once.
    void SetFlag(int32_t aMask, bool aOn) override;
    std::shared_ptr<CVexilFont> Font() const override { return iFontRec; }
    // None gives the default font (Arial, 11 points, black).
    void SetFont(const std::shared_ptr<CVexilFont>& aFont) override;
    // A list view for ELisSingle (given one blank-titled column), a combo box for ELisCombo.
    void SetBaseObj(QObject* aWidget) override;
    QObject* BaseObj() const override;

    int32_t NumLines() const override { return int32_t(iLines.size()); }
    // None, or the empty string, when no line is selected.
    TObjRef SelObj() const;
    QString SelLine() const;

    // Columns of fixed widths in twips (list view only).
    void DefineColumns(const QStringList& aTitles, const std::vector<float>& aWidths) override;
    // One column over the usable width.
    void Define1Column(const QString& aTitle);
    // Columns as fractions of the usable width; they follow the width on Resize.
    void DefineColumnsFrac(const QStringList& aTitles, const std::vector<float>& aFractions) override;
    // "title:width,title:width...": fractions when every width is at most 1, else twips.
    void DefineColumnsList(const QString& aSpec);

    void AddLine(const QString& aLine, const TObjRef& aObj) override;
    void CreateLineAt(const QString& aLine, const TObjRef& aObj, int32_t aIndex);
    void ModifyLineAt(const QString& aLine, const TObjRef& aObj, int32_t aIndex);
    // A line without object for each comma-separated item.
    void AddCommaList(const QString& aText);
    // Combo box only: selects the first line equal to the text, case and all; leaves the
    // selection alone when there is none.
    void SetComboText(const QString& aText) override;
    // The first line equal to the text without regard to case.
    bool FindInList(const QString& aText, int32_t& aIndex) const;
    bool IsInList(const QString& aText) const;
    // Empties the lines; the widget keeps its items until the next Show.
    void Clear() override;
    void ClearAndShow();
    // Combo box only: no line selected.
    void SetEmpty() override;
    // Selects the line and yields to the event loop; -1 clears the selection.
    void SetSelIndex(int32_t aIndex);
    // The line of that text (without regard to case), else the first; an empty box is
    // cleared and shown.
    void SetSelIndexByLine(const QString& aLine);
    // The line whose object is that very object.
    bool GetObjIndex(const CVexilObject* aObj, int32_t& aIndex) const;
    void SetSelIndexByObj(const CVexilObject* aObj);
    // SetSelIndex, or ClearAndShow when the index is past the last line.
    void SetSelIndexOrClear(int32_t aIndex);
    void Show() override;
    // List view only: stretches it to the window that holds it by the fill flags, leaving a
    // 1 mm margin and keeping at least 15 mm, and re-applies fractional columns.
    void Resize();

private:
    void ApplyFontToBase();
    // Writes line into a new last item (KNewItem) or into the item of that index.
    void ShowLineInBase(const QString& aLine, int32_t aIndex);
    void FillItem(QTreeWidgetItem& aItem, const QString& aLine) const;
    QTreeWidgetItem* NewItem(const QString& aLine) const;
    void SelectFirstItem();
    bool CheckIndex(int32_t aIndex, const QString& aContext) const;

    static constexpr int32_t KNewItem = UndefLong;

    int32_t iLisType = ELisSingle;
    int32_t iFlags = 0;
    QPointer<CVexilListView> iListView;
    QPointer<CVexilComboBox> iComboBox;
    std::vector<QString> iLines;
    std::vector<TObjRef> iObjs;
    std::shared_ptr<CVexilFont> iFontRec;
    QFont iStdFont;
    int32_t iForeColor = 0;
    QStringList iColTitles;
    std::vector<float> iColSizes;
    bool iColsFrac = true;
    bool iShown = false;
};
