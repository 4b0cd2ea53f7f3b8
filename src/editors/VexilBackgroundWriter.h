#pragma once

#include "foundation/VexilObject.h"
#include "model/VexilBlob.h"
#include "model/VexilControlSet.h"
#include "model/VexilSortKey.h"

#include <QString>

#include <cstdint>
#include <memory>

class CVexilFont;
class CVexilStack;

// What the background editor's inputs hold for Create and Modify.
struct TBackgroundInput
{
    QString Name;
    QString Descr;
    // The bits of the seven flag boxes.
    int32_t Flags = 0;
    // The key chosen to keep the cards sorted; none when no line is selected.
    TSortKeyRef SortKey;
    // None: inherited from the stack.
    std::shared_ptr<CVexilFont> Font;
    int32_t BackColor = UndefLong;
};

// Creates, rewrites and deletes the backgrounds of a stack, and attaches and detaches their
// wallpapers.
//
// Guarantees: a name is refused (with its message) when it has no characters, when it is
// blank, or when another background has it exactly (letter case counts). A background kept
// sorted always has a key index of one of its own sort keys: checking "Keep cards sorted?"
// without such a key is refused, the key index is rebuilt only when the key changes and
// deleted (the cards keeping their order) when the flag goes. A wallpaper's blob is counted
// once for the background that shows it; the blob it replaces loses that count (and goes
// when nothing else holds it). The caller broadcasts the changes.
class CVexilBackgroundWriter
{
public:
    explicit CVexilBackgroundWriter(CVexilStack& aStack);

    // EMsgEmptyName, EMsgEmptyField (blank), EMsgDuplicateName, or 0 when the name may be
    // used. aBackground is the background being modified (its own name is allowed), none for
    // a new one.
    int32_t NameFault(const QString& aName, const CVexilControlSet* aBackground) const;
    // The checks of Create and Modify, each fault shown with its message; aFocus names the
    // input refused ("fName" or "fSortKeyCombo").
    bool CheckInput(const TBackgroundInput& aInput, const CVexilControlSet* aBackground, QString& aFocus) const;

    // The background is still one of the stack's.
    bool Holds(const CVexilControlSet& aBackground) const;
    // The key is one of the stack's keys, made for the background.
    bool HoldsKey(const CVexilSortKey& aKey, const CVexilControlSet& aBackground) const;
    // The sort key of the background's key index; none when it does not keep its cards sorted.
    TSortKeyRef KeptKey(CVexilControlSet& aBackground) const;

    // A new background of the stack with the input written into it.
    TControlSetRef Create(const TBackgroundInput& aInput);
    // Writes name, description, flags, key index, font and colour.
    void Modify(CVexilControlSet& aBackground, const TBackgroundInput& aInput);

    int32_t NumCards(const CVexilControlSet& aBackground) const;
    // The first field, backgrounds in id order and fields in display order, that lists the
    // cards of the background; false with its message (EMsgBackgroundUsed) when there is one.
    bool CheckNotUsed(const CVexilControlSet& aBackground) const;

    // The blob becomes the background's wallpaper; the old one's count goes down.
    void SetWallPaper(CVexilControlSet& aBackground, const TBlobRef& aBlob);
    // The background has no wallpaper afterwards; the old one's count goes down.
    void ClearWallPaper(CVexilControlSet& aBackground);

private:
    void ReleaseWallPaper(CVexilControlSet& aBackground);

    CVexilStack& iStack;
};
