#pragma once

#include "foundation/VexilObject.h"
#include "foundation/VexilValueDef.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class CVexilCtl;
class CVexilGenForm;
class CVexilLabel;
class QObject;

// The kind of card-window widget that shows a field, and the index of its pool.
enum EBasType : int32_t
{
    EBasTextBox = 0,
    EBasRichTextBox = 1,
    EBasComboBox = 2,
    EBasCheckBox = 3,
    EBasButton = 4,
    EBasListView = 5,
    EBasLabel = 6,
    EBasPictureBox = 7,
    EBasLine = 8,
};

// Shows the cards of one stack on the card window. A background is laid out from the
// window's fixed pools of widgets: each field that is in the card view gets its label and
// the widget of its type, sized from its width in characters and height in lines and placed
// in the top-down or the bottom-up flow; the field keeps links to them (BaseControl,
// BaseLabel, and BaseFunc for a command in the command menu). Values move between a card
// and the widgets by the field's BaseType.
//
// Guarantees: a new layout first forgets the links of the background's fields, so a field
// has widget links exactly when this layout placed it; a layout that runs out of a pool, or
// is handed more than 101 fields, stops there with a reportable run-time error, and the
// values of the fields placed before can still be shown. A picture box holds a Tag exactly
// while it holds a run-time reference on the blob it names.
class CVexilCardView : public CVexilObject
{
public:
    static constexpr int KNumPools = 9;
    static constexpr int KMaxControls = 101;

    QString ObjDescr() const override;
    void Construct(const TStackRef& aStack, const QString& aFormName);

    // The field whose widget this is; for a widget of no field of the layout the assertion
    // "VexilControl found " and none.
    TControlRef VexilControl(const QObject* aWidget) const;
    bool IsVexilControl(const QObject* aWidget) const;
    // Whether the card shown has the card-name header, where a running script's progress shows.
    bool HasHeader() const { return !iCardNameLabel.isNull(); }
    // The field whose widget has the focus on the card window, or none.
    TControlRef FocusControl() const;

    void DrawWallPaper(const TCardRef& aCard);
    // The next AssignControlSet lays out anew, even the same background.
    void ResetCurSet() { iCurSet.reset(); }
    // Lays the background out for the card; when it is laid out already, only the colours and
    // the wallpaper follow the card.
    void AssignControlSet(const TCardRef& aCard, const TControlSetRef& aBackground);
    // Writes every shown value of the card into its widget.
    void ShowValues(const TCardRef& aCard);
    // Hides every widget, releases the pictures shown, titles the window "(No Card)" and
    // forgets the laid-out background.
    void Clear();
    // Releases the pictures the window shows and forgets the laid-out background.
    void PrepareClose(const TCardRef& aCard);
    void SetTitle(const QString& aTitle);

    // The value transfer of one field; a field that the layout did not place is skipped.
    void SetBaseControlVal(CVexilControl& aField, const TValue& aVal, CVexilCard& aCard);
    TValue GetBaseControlVal(const CVexilControl& aField) const;
    // The text in the field's box (text box, rich-text box, combo box of a field that is no
    // list), which GetBaseControlVal reads by the field's type; false for other widgets.
    bool TypedText(const CVexilControl& aField, QString& aText) const;

    // The state of the layout, for the stack view and for tests.
    const TControlSetRef& CurSet() const { return iCurSet; }
    int16_t PoolCount(int32_t aBaseType) const { return iPoolCount.at(size_t(aBaseType)); }
    int16_t NumControls() const { return int16_t(iControls.size()); }
    int16_t NumMenuCmds() const { return int16_t(iMenuCmds.size()); }
    float LabelColX() const { return iLabelColX; }
    float MaxFieldWidth() const { return iMaxFieldWidth; }
    float Margin() const { return iMargin; }

private:
    enum EFlow
    {
        ETopDown = 0,
        EBottomUp = 1,
    };

    CVexilGenForm& GetForm() const;
    // The next widget of a pool, as its class; a used-up pool is a run-time error naming it.
    template <class T>
    T& GetBaseControl(int32_t aBaseType);
    void ShowBaseControl(const CVexilControl& aField, CVexilCtl& aWidget);
    static int16_t GetVisLines(const CVexilControl& aField);
    float LimitWidth(float aWidth) const;

    void RefreshColours(const CVexilCard& aCard);
    void ForgetLinks(const CVexilControlSet& aBackground);
    void HideAll();
    void StartFlows(float aInnerHeight);
    void FindLabelColumn(const CVexilCard& aCard, const CVexilControlSet& aBackground, float aInnerWidth);
    void PlaceHeader(const CVexilCard& aCard);
    void PlaceFields(const CVexilCard& aCard, const CVexilControlSet& aBackground);
    void StretchControls(const CVexilControlSet& aBackground);

    void AssignBaseControl(const CVexilCard& aCard, const CVexilControlSet& aBackground, const TControlRef& aField);
    void PlaceLabel(const CVexilCard& aCard, CVexilControl& aField, EFlow aFlow);
    void PlaceTextField(const CVexilCard& aCard, const CVexilControlSet& aBackground, CVexilControl& aField, EFlow aFlow);
    void PlaceCombo(const CVexilCard& aCard, const CVexilControlSet& aBackground, CVexilControl& aField, EFlow aFlow);
    void PlaceCheckBox(const CVexilCard& aCard, CVexilControl& aField, EFlow aFlow);
    void PlaceList(const CVexilCard& aCard, CVexilControl& aField, EFlow aFlow);
    void PlaceButton(CVexilControl& aField, EFlow aFlow);
    void PlacePicture(CVexilControl& aField, EFlow aFlow);
    // Places a widget of height aHeight at the flow's next place and moves the flow on;
    // gives the widget's top.
    float FlowPlace(EFlow aFlow, float aHeight);

    void AssignMenuItems(const CVexilControlSet& aBackground);
    QObject* ControlByName(const QString& aName) const;

    void WriteCombo(CVexilControl& aField, const TValue& aVal, CVexilCard& aCard);

    QString iFormName;
    std::array<int16_t, KNumPools> iPoolCount{};
    std::vector<TControlRef> iControls;
    std::vector<TControlRef> iMenuCmds;
    float iLabelColX = 0;
    float iMaxFieldWidth = 0;
    std::array<int32_t, 2> iLastType{UndefInt, UndefInt};
    std::array<float, 2> iFlowX{};
    std::array<float, 2> iFlowY{};
    std::array<float, 2> iRowX{};
    std::array<float, 2> iRowY{};
    float iDir = 1;
    float iMargin = 0;
    int16_t iNumStretch = 0;
    QPointer<CVexilLabel> iCardNameLabel;
    TControlSetRef iCurSet;
    TStackRef iStack;
};
