#pragma once

#include "foundation/VexilObjHead.h"
#include "foundation/VexilStoredObj.h"
#include "model/VexilControl.h"

#include <QString>

#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilFile;
class CVexilFont;
class CVexilStack;
class CVexilXmlParser;
class CVexilXmlWriter;

// The bits of a background's Flags.
enum ECseFlags : int32_t
{
    ECseCardNameInList = 1,
    ECseKeepCardsSorted = 2,
    ECseShowWallPaper = 4,
    ECseTileWallPaper = 8,
    ECseShowCardName = 16,
    ECseScrollable = 32,
    ECseDenseLayout = 64,
};

// A background: the fields shared by a set of cards, in display order, with an index by
// field id, display flags, wallpaper, script, font and the key index that keeps its cards
// sorted.
class CVexilControlSet : public CVexilStoredObj, public IVexilBaseObj
{
public:
    static constexpr int32_t KDefaultFlags = ECseCardNameInList + ECseShowCardName;

    CVexilControlSet();
    ~CVexilControlSet() override;

    void Construct(const QString& aName, int32_t aId);
    QString ObjDescr() const override;

    // The stack the background belongs to (not owned); key indexes are resolved there.
    CVexilStack* Stack() const { return iStack; }
    void SetStack(CVexilStack* aStack) { iStack = aStack; }

    QString Name() const override { return iName; }
    void SetName(const QString& aName) override;
    const QString& Descr() const { return iDescr; }
    void SetDescr(const QString& aDescr);
    int32_t Id() const override { return iId; }
    void SetId(int32_t aId) override { iId = aId; }

    int16_t NumControls() const;
    // The number of fields without the limit NumControls checks: room for a card's values.
    int32_t ControlCount() const;

    int32_t Flags() const override { return iFlags; }
    void SetFlags(int32_t aFlags) override { iFlags = aFlags; }
    bool Flag(int32_t aMask) const { return (iFlags & aMask) != 0; }
    void SetFlag(int32_t aMask, bool aOn);

    int32_t KeyIndexId() const { return iKeyIndexId; }
    // Stores the id and forgets the key index fetched for the old one.
    void SetKeyIndexId(int32_t aId);
    // The stack's key index that keeps the cards sorted; the background must keep its cards
    // sorted and name a key index.
    std::shared_ptr<CVexilArray> KeyIndex();

    int32_t WallPaperId() const { return iWallPaperId; }
    void SetWallPaperId(int32_t aId);
    int32_t BackColor() const override { return iBackColor; }
    void SetBackColor(int32_t aColor) override;
    QString ScriptSource() const override { return iScriptSource; }
    void SetScriptSource(const QString& aSource) override;
    std::shared_ptr<CVexilArray> Script() const override { return iScript; }
    void SetScript(std::shared_ptr<CVexilArray> aScript) override;
    std::shared_ptr<CVexilFont> Font() const override { return iFont; }
    void SetFont(std::shared_ptr<CVexilFont> aFont) override;

    bool Changed() const override;
    void SetChanged(bool aChanged) override;

    // Walk in display order: aCursor is the position of the next field.
    bool GetFirstControl(TControlRef& aControl, int32_t& aCursor) const;
    bool GetNextControl(TControlRef& aControl, int32_t& aCursor) const;
    bool GetControl(int32_t aId, TControlRef& aControl) const;
    // Exact, case-sensitive name.
    bool GetControlByName(const QString& aName, TControlRef& aControl) const;
    // The first field in display order with any bit of aMask.
    bool GetControlByFlag(int32_t aMask, TControlRef& aControl) const;
    bool GetControlByNum(int32_t aNum, TControlRef& aControl) const;
    bool WithCardList() const;

    // Before the field aBeforeId, or at the end with UndefLong.
    void AddControl(const TControlRef& aControl, int32_t aBeforeId);
    // Removes the field only; the stack removes the cards' values.
    void DeleteControl(int32_t aId);

    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    TControlRef ControlAt(int32_t aPos) const;
    void NewArrays();
    // Both readers end here: the two arrays must agree (error 1006 naming aSource otherwise).
    void CheckRead(const CVexilObject& aSource, const QString& aContext) const;
    void FinishRead(const CVexilObject& aSource, const QString& aContext);

    CVexilStack* iStack = nullptr;
    QString iName;
    QString iDescr;
    int32_t iId = UndefLong;
    std::shared_ptr<CVexilArray> iControls;
    std::shared_ptr<CVexilArray> iIdIndex;
    int32_t iFlags = KDefaultFlags;
    int32_t iKeyIndexId = UndefLong;
    std::shared_ptr<CVexilArray> iKeyIndex;
    bool iChanged = true;
    int32_t iWallPaperId = UndefLong;
    int32_t iBackColor = UndefLong;
    QString iScriptSource;
    std::shared_ptr<CVexilArray> iScript;
    std::shared_ptr<CVexilFont> iFont;
};

using TControlSetRef = std::shared_ptr<CVexilControlSet>;
