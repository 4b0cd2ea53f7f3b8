#pragma once

#include "editors/VexilControlTypeRules.h"
#include "foundation/VexilObject.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilFont;
class CVexilStack;

// What the field editor shows, as the writer reads it: the texts as typed, the lines chosen
// (with their objects) and the ticked flag boxes.
struct TControlInput
{
    QString Name;
    QString Label;
    QString Descr;
    int32_t ConType = -1;  // the selected type line (= type code), -1 for none
    int32_t Flags = 0;     // the ticked flag boxes
    // The number boxes as typed; only editable boxes are checked. The numbers are read
    // after the checks (an empty box gives UndefInt).
    std::array<QString, KNumNumberBoxes> NumberTexts;
    std::array<bool, KNumNumberBoxes> NumberEditable{};
    std::array<int16_t, KNumNumberBoxes> Numbers{UndefInt, UndefInt, UndefInt, UndefInt, UndefInt};
    QString ListColTitle;
    QString DefaultVal;
    bool DefaultEditable = false;  // read-only for Command and Picture: the empty text is written
    QString ListCol;
    TControlSetRef SelBackground;  // "Background of cards to list", or none
    TControlRef RefControl;        // "Field giving selecting value", none for "(None)" or no line
    TControlRef SelControl;        // "Field to check for selecting value", none for "(None)" or no line
    int32_t StdCmdLine = -1;       // 0 "(None)", k the command k - 1, -1 no line
    TCardRef DestCard;             // the destination card picked, or none
    std::shared_ptr<CVexilFont> Font;
    int32_t BackColor = UndefLong;
    int32_t BeforeLine = -1;    // 0 "(At the end)", -1 no line
    TControlRef BeforeControl;  // the field of any other line
};

// The number of a background's cards and of those that hold a value of a field.
struct TValueCount
{
    int32_t Cards = 0;
    int32_t SetValues = 0;
};

// Writes fields of one background of a stack as the field editor defines them: creates a
// field at its insert position with its combo partner and the cards' initial values,
// rewrites a field (breaking or making its combo pair, taking the card names from it) and
// moves it, and deletes a field with its values and its partner.
//
// Guarantees: everything a write could fail on is checked first, so that a refused input
// leaves the stack untouched: CheckInput refuses what cannot be written (with its message),
// CheckDelete refuses to delete a field that others refer to. A background keeps at most
// one card-name field, a move never takes a field out of its background, and a field
// without partner (PartnerId UndefLong) has no pair to break.
class CVexilControlWriter
{
public:
    CVexilControlWriter(CVexilStack& aStack, CVexilControlSet& aBackground);

    // The checks of Create (aControl none) and Modify (aControl the field shown), in the
    // order the user meets the inputs: the name, the number boxes, the destination card,
    // the card list and its columns, the card-name flag. The first failure shows its
    // message (class Critical) and gives the control name of the input to focus.
    bool CheckInput(const TControlInput& aInput, const CVexilControl* aControl, QString& aFocus) const;

    // Creates the field of a checked input: a new id, inserted before the field of the
    // insert position (at the end for "(At the end)"), its list field right after it when it
    // is a combo text, and each card's initial value.
    TControlRef CreateControl(const TControlInput& aInput);
    // Writes a checked input into a field of the background and moves it when a line of the
    // insert position was chosen; its own line keeps its place.
    void ModifyControl(CVexilControl& aControl, const TControlInput& aInput);

    // The field's combo partner in the background, or none.
    TControlRef Partner(const CVexilControl& aControl) const;

    TValueCount CountValues(const CVexilControl& aControl) const;
    // A field (or its partner) that a sort key part or another field's card-list definition
    // (the listed fields, the selecting fields) names cannot be deleted: shows
    // EMsgControlNotUsable naming the user and gives false.
    bool CheckDelete(const CVexilControl& aControl) const;
    // Delete: refuses as CheckDelete does, asks about the set values (when there are any)
    // and the partner (when there is one), then deletes the field's values and the field,
    // and the partner's. False when nothing was deleted.
    bool DeleteControl(const CVexilControl& aControl);

private:
    // The properties in their fixed order; aNew while the field is being created.
    void WriteControl(CVexilControl& aControl, const TControlInput& aInput, bool aNew);
    void CreateComboPartner(CVexilControl& aControl, int32_t aBeforeId);
    void TakeCardNames(CVexilControl& aControl, bool aNew);
    bool CheckName(const TControlInput& aInput, const CVexilControl* aControl, bool aNew) const;
    bool CheckCardList(const TControlInput& aInput, QString& aFocus) const;
    bool CheckCardName(const TControlInput& aInput, const CVexilControl* aControl) const;
    // The user of a field that keeps it from being deleted, as the reason text; empty for none.
    QString UserOf(const CVexilControl& aControl, const CVexilControl* aPartner) const;

    CVexilStack& iStack;
    CVexilControlSet& iBackground;
};
