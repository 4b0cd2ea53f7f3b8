#pragma once

#include "foundation/VexilObjHead.h"
#include "foundation/VexilObject.h"
#include "foundation/VexilStoredObj.h"
#include "foundation/VexilValueDef.h"
#include "model/VexilCardValues.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"

#include <QString>

#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilFont;
class CVexilStack;

// A card: the values of its background's fields (one per field at most, keyed by field id),
// its name, its place in the stack order, stamps, script, font and colour. Values are read
// and written through GetControlVal and SetControlVal, which keep the key indexes, the sorted
// place, picture references, card lists and the card name in step.
class CVexilCard : public CVexilStoredObj, public IVexilBaseObj
{
public:
    CVexilCard();
    ~CVexilCard() override;

    void Construct(const QString& aName, const TControlSetRef& aBackground);
    QString ObjDescr() const override;

    int32_t Id() const override { return iId; }
    void SetId(int32_t aId) override;
    int32_t OrderNum() const { return iOrderNum; }
    void SetOrderNum(int32_t aNum);
    QString Name() const override { return iName; }
    // Also reports the change to the stack; the name index follows only through RenameCard.
    void SetName(const QString& aName) override;
    int32_t Flags() const override { return iFlags; }
    void SetFlags(int32_t aFlags) override;
    bool Flag(int32_t aMask) const { return (iFlags & aMask) != 0; }
    void SetFlag(int32_t aMask, bool aOn);

    // The owning stack (not owned).
    CVexilStack* Stack() const { return iStack; }
    void SetStack(CVexilStack* aStack) { iStack = aStack; }

    bool Changed() const override;
    void SetChanged(bool aChanged) override;
    // The card's card-list values are stale.
    bool Dirty() const { return iDirty; }
    void SetDirty(bool aDirty);

    int32_t BackColor() const override { return iBackColor; }
    void SetBackColor(int32_t aColor) override;
    QString ScriptSource() const override;
    void SetScriptSource(const QString& aSource) override;
    std::shared_ptr<CVexilArray> Script() const override;
    void SetScript(std::shared_ptr<CVexilArray> aScript) override;
    std::shared_ptr<CVexilFont> Font() const override;
    void SetFont(std::shared_ptr<CVexilFont> aFont) override;

    // Stamps as stored dates and times; their setters leave Changed alone.
    double CreDate() const { return iCreDate; }
    void SetCreDate(double aDate) { iCreDate = aDate; }
    double CreTime() const { return iCreTime; }
    void SetCreTime(double aTime) { iCreTime = aTime; }
    double ModDate() const { return iModDate; }
    void SetModDate(double aDate) { iModDate = aDate; }
    double ModTime() const { return iModTime; }
    void SetModTime(double aTime) { iModTime = aTime; }

    // The stored value of the field, without its default; false when there is none.
    bool StoredVal(int32_t aControlId, TValue& aVal) const;
    // Calls aVisit(const TCardValues::TEntry&) for each stored value, in field id order.
    template <class F>
    void ForEachValue(F&& aVisit) const
    {
        iValues.ForEach(aVisit);
    }
    int32_t ValueCount() const;
    // Stores a value as read into a card not yet in a stack: no picture counts, stamps or
    // index updates. An undefined value is an assertion, as for any stored element.
    void AddStoredVal(int32_t aControlId, const TValue& aVal);
    // The stack's background of the card, or none without a stack.
    TControlSetRef Background() const;
    void SetBackground(const CVexilControlSet& aBackground);
    int32_t BackgroundId() const { return iBackgroundId; }
    TControlRef ControlById(int32_t aControlId) const;
    bool ControlValDef(int32_t aControlId) const;

    // Recomputes the card's card-list values and clears Dirty.
    void UpdateCardLists();
    // The stored value, else the field's default; with aTyped an undefined value becomes the
    // zero of the field's type (a date or time field: the creation stamp).
    void GetControlVal(int32_t aControlId, TValue& aVal, bool aTyped);
    void SetControlVal(int32_t aControlId, const TValue& aVal);
    void DeleteControlVal(int32_t aControlId);
    void InitVal(const CVexilControl& aControl);
    void InitAllVal();

    // The card's record in both forms (VexilCardIo.cpp); the writers update stale card lists first.
    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    // The parts a common card lacks, kept apart so that such a card stays small.
    struct TRarePart
    {
        QString ScriptSource;
        std::shared_ptr<CVexilArray> Script;
        std::shared_ptr<CVexilFont> Font;
    };
    TRarePart& Rare();
    // Lowers the stored count of the picture with that id (the store may delete it).
    void ReleaseBlob(int32_t aBlobId) const;
    void AddBlobRef(int32_t aBlobId) const;
    // Stores the value and keeps the picture references right; false when nothing changed
    // (no element and an undefined value).
    bool StoreValue(int32_t aControlId, const TValue& aVal);
    void Stamp();
    // The modification stamp and the change report of every value change.
    void Touch();

    int32_t iId = UndefLong;
    int32_t iOrderNum = UndefLong;
    QString iName;
    int32_t iFlags = 0;
    CVexilStack* iStack = nullptr;
    int32_t iBackgroundId = UndefLong;
    TCardValues iValues;
    std::unique_ptr<TRarePart> iRare;
    bool iChanged = true;
    bool iDirty = false;
    bool iUpdatingLists = false;  // guards against a card list that selects by a card list
    int32_t iBackColor = UndefLong;
    double iCreDate = 0;
    double iCreTime = 0;
    double iModDate = 0;
    double iModTime = 0;
};

using TCardRef = std::shared_ptr<CVexilCard>;
