#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class CVexilArray;
class CVexilCard;
class CVexilControlSet;
class CVexilCtl;
class CVexilFont;
class CVexilLabel;
class CVexilListBox;
class CVexilStack;
class QLineEdit;

// The procedures the dialogs share: the busy cursor of long operations, list fillers, number
// boxes, fonts and colours, field name lists, read-only inputs and the checks of typed input.
//
// One class for all of them, declared here because the foundation and the model use the busy
// cursor. Only the busy cursor is defined in the foundation; the other members work on the
// model and on widgets and are defined in the window libraries (src/presentation, and
// src/shell for leaving the stack), so that code of the lower libraries cannot link a call
// to them.
class CVexilDialogLib
{
public:
    // --- busy cursor (foundation) ---
    static void BeginWait();
    // Ends one level; never fails, never goes below zero.
    static void EndWait();
    static int WaitLevel();
    // Called with true when the hourglass must show, false when it must go.
    static void SetCursorHook(std::function<void(bool)> aHook);

    // --- everything else (src/presentation) ---
    // Start-up, before any dialog: makes the scanner of the number check.
    static void InitDialogLib();

    // Each filler empties the list, adds its lines and shows them. A first line, when not
    // empty, has no object; every other line has the object it names.
    // No stack gives the one line "(No stack available)"; the excluded background (compared by
    // identity) is left out.
    static void FillBackgroundList(CVexilListBox& aList, const CVexilStack* aStack, const QString& aFirstLine,
                                   const CVexilControlSet* aExcluded);
    // The fields in display order, with their type after two blanks in parentheses in a combo
    // box or in a second column in a list view; only Text, Integer and Real fields on request.
    static void FillControlList(CVexilListBox& aList, const CVexilControlSet& aBackground, const QString& aFirstLine,
                                bool aWithTypes, bool aOnlyComboCapable);
    // The sort keys of the background's stack made for that background.
    static void FillSortKeyList(CVexilListBox& aList, const CVexilControlSet& aBackground, const QString& aFirstLine);
    // The cards of the background in the stack's card order; the excluded card (compared by
    // identity) is left out.
    static void FillCardList(CVexilListBox& aList, const CVexilControlSet& aBackground,
                             const CVexilCard* aExcluded = nullptr);
    // The field types, line index = type code.
    static void FillTypeList(CVexilListBox& aList);
    // "(None)" for no standard command, then line k for command k - 1.
    static void FillStdCmdList(CVexilListBox& aList);

    // Number boxes: an empty box stands for UndefInt. A box of blanks is empty; otherwise the
    // number at the start of the trimmed text, rounded half to even (0 when there is none); a
    // number outside 16 bits raises the overflow error (6) instead of being cut.
    static int16_t GetTextBoxInt(const QLineEdit& aBox);
    static void SetTextBoxInt(QLineEdit& aBox, int16_t aValue);

    // Shows the face name with its flags, the size in points and the colour; none empties all.
    static void ShowFont(const CVexilFont* aFont, QLineEdit& aNameBox, QLineEdit& aSizeBox, CVexilLabel& aSample);
    // The sample takes the colour, or for UndefLong its container's back colour, and no caption.
    static void ShowColor(CVexilLabel& aSample, int32_t aColor);
    // Runs the colour chooser on aColor; a choice changes aColor and the sample, a cancel (or
    // any failure of the chooser) changes nothing.
    static void SelectColor(CVexilLabel& aSample, int32_t& aColor);

    // "Stack", "Background", "Card", "Control"; another level fails an assertion and gives "".
    static QString LevelToStr(int32_t aLevel);

    // The ids of a comma-separated list of field names of the background: none for an empty
    // text. A name no field has as typed is looked up without the blanks around it. A name no
    // field has raises error 1083 (EMsgControlNotFound) with the name, more than 21 names run-
    // time error 9; both before anything is made, so a caller that checks first writes nothing.
    static std::shared_ptr<CVexilArray> ControlNameListToArray(const QString& aNames,
                                                               const CVexilControlSet& aBackground);
    // The names of the fields of the ids joined by "," without blanks; "" for none. An id of no
    // field fails an assertion and is left out.
    static QString ArrayToControlNameList(const CVexilArray* aIds, const CVexilControlSet& aBackground);

    // Read-only text and combo boxes are locked on grey, editable ones unlocked on white; a
    // read-only text box is emptied when aClear is set, a combo box never. A label whose name
    // holds "Color" is a colour sample: grey or white, its caption emptied as a text box is.
    // Any other control is disabled or enabled.
    static void SetEditable(CVexilCtl& aCtl, bool aEditable, bool aClear);

    // Checks of typed input as its window leaves it: the message is shown (class Critical) and
    // aBad set when the input is refused. Both trim the text first.
    static void CheckEmptyName(const QString& aLabel, const QString& aText, bool& aBad);
    // A 16-bit whole number from aMin to aMax (UndefInt for no limit), or empty when allowed.
    static void CheckNumberField(const QString& aLabel, const QString& aText, bool aAllowEmpty, bool& aBad,
                                 int16_t aMin, int16_t aMax);

    // --- leaving the current stack (src/shell) ---
    // The save question alone: asked only when a stack is open and changed. aProceed is false
    // when the user goes back to the stack, aSaveFirst true when the stack is to be saved
    // before it is left. Saves nothing; yields once at the end.
    static void CheckLeaveStack(bool& aProceed, bool& aSaveFirst);
    // Leaves the current stack (the main window's Close) and tells whether a stack is still
    // open: the user went back to it, the save asked for failed, or another command is
    // leaving, opening, saving or making a stack just now (the request is refused).
    static bool CloseCurrentStack();
};
