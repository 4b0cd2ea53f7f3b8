#pragma once

#include "foundation/VexilObject.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class CVexilFont;
class QObject;

// The two kinds of list box.
enum ELisType : int32_t
{
    ELisSingle = 0,  // multi-column list view
    ELisCombo = 1,   // one-column combo box
};

// List box flags.
enum ELbfFlags : int32_t
{
    ELbfFillHeight = 1,
    ELbfFillWidth = 2,
    ELbfTrueFontSize = 4,  // the font size is used unchanged
};

// What a field needs of its list box: lines with attached objects, columns and showing.
// The card presentation implements it on its widgets; without a presentation the model
// keeps the lines in memory (CVexilControlWidgets).
class IVexilListBoxLink
{
public:
    virtual ~IVexilListBoxLink() = default;

    virtual int32_t LisType() const = 0;
    virtual void SetFlag(int32_t aMask, bool aOn) = 0;
    virtual bool Flag(int32_t aMask) const = 0;
    // Binds the widget that shows the lines (none unbinds); the widget is owned by its window.
    virtual void SetBaseObj(QObject* aWidget) = 0;
    // The bound widget, or none.
    virtual QObject* BaseObj() const = 0;
    // None stands for the default font.
    virtual void SetFont(const std::shared_ptr<CVexilFont>& aFont) = 0;
    virtual std::shared_ptr<CVexilFont> Font() const = 0;

    virtual void Clear() = 0;
    virtual void AddLine(const QString& aLine, const TObjRef& aObj) = 0;
    virtual int32_t NumLines() const = 0;
    virtual QString Line(int32_t aIndex) const = 0;
    virtual TObjRef Obj(int32_t aIndex) const = 0;

    // Columns of fixed width in twips, or as fractions of the usable width (list view only).
    virtual void DefineColumns(const QStringList& aTitles, const std::vector<float>& aWidths) = 0;
    virtual void DefineColumnsFrac(const QStringList& aTitles, const std::vector<float>& aFractions) = 0;
    // Loads the lines into the widget when it does not hold them yet.
    virtual void Show() = 0;
    // Combo box: selects the first line equal to the text (case and all), else nothing changes.
    virtual void SetComboText(const QString& aText) = 0;
    // Combo box: no line selected.
    virtual void SetEmpty() = 0;
};
