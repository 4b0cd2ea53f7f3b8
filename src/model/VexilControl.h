#pragma once

#include "foundation/VexilObjHead.h"
#include "foundation/VexilStoredObj.h"
#include "foundation/VexilValueDef.h"
#include "foundation/VexilValueField.h"

#include <QPointer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilCard;
class CVexilFile;
class CVexilFont;
class CVexilStack;
class CVexilXmlParser;
class CVexilXmlWriter;
class IVexilListBoxLink;
class IVexilWikiTextLink;

// The bits of a field's Flags.
enum EConFlags : int32_t
{
    EConWikiText = 1,
    EConComboText = 2,
    EConComboList = 4,
    EConInMenu = 8,
    EConAsButton = 16,
    EConInCardView = 32,
    EConInCardList = 64,
    EConDisabled = 128,
    EConReadOnly = 256,
    EConStdCmd = 512,
    EConCardList = 1024,
    EConFromBottom = 2048,
    EConPictButton = 4096,
    EConMaxHeight = 8192,
    EConCardName = 16384,
    EConPhoneNumber = 32768,
};

// The run-time roles of a field (DynFlags), computed for the whole stack.
enum EDynFlags : int32_t
{
    EDynRefControl = 1,  // the RefControlId of a card-list field of its background
    EDynSelControl = 2,  // the SelControlId of a card-list field that has a RefControlId
    EDynKeyPart = 4,     // used by a part of some sort key
    EDynListCol = 8,     // a list column of some card-list field
};

// The standard commands of a command field (StdCmd); UndefInt = none.
enum EStdCmd : int16_t
{
    EStdCmdFirstCard = 0,
    EStdCmdPrevCard = 1,
    EStdCmdNextCard = 2,
    EStdCmdLastCard = 3,
    EStdCmdBackInHistory = 4,
    EStdCmdForwInHistory = 5,
    EStdCmdGoToCard = 6,
    EStdCmdShowCardList = 7,
    EStdCmdSelectCard = 8,
};

class CVexilControl;
using TControlRef = std::shared_ptr<CVexilControl>;

// The definition of one field or control of a background, with its run-time links to the
// widgets that show it. Widgets are owned by their windows; the list box and the wiki text
// renderer are the field's own.
class CVexilControl : public CVexilStoredObj, public IVexilBaseObj, public IVexilKeyField
{
public:
    CVexilControl();
    ~CVexilControl() override;
    CVexilControl(const CVexilControl&) = delete;
    CVexilControl& operator=(const CVexilControl&) = delete;

    QString ObjDescr() const override;
    void Construct(int32_t aId, const QString& aName, int32_t aConType);

    int16_t VisLines() const { return iVisLines; }
    void SetVisLines(int16_t aLines);
    int16_t VisChar() const override { return iVisChar; }
    void SetVisChar(int16_t aChars);

    bool InCardView() const { return Flag(EConInCardView); }
    bool InCardList() const { return Flag(EConInCardList); }

    int16_t MaxChar() const override { return iMaxChar; }
    void SetMaxChar(int16_t aChars);
    int16_t Digits() const override { return iDigits; }
    void SetDigits(int16_t aDigits);

    // The effective width: the stored one, else VisChar, else 1.
    int16_t ListVisChar() const;
    int16_t TrueListVisChar() const { return iListVisChar; }
    void SetListVisChar(int16_t aChars);

    QString Name() const override { return iName; }
    void SetName(const QString& aName) override;
    const QString& Descr() const { return iDescr; }
    void SetDescr(const QString& aDescr);
    int32_t Id() const override { return iId; }
    void SetId(int32_t aId) override;
    int32_t ConType() const override { return iConType; }
    void SetConType(int32_t aConType);
    const QString& Label() const { return iLabel; }
    void SetLabel(const QString& aLabel);
    const QString& DefaultVal() const { return iDefaultVal; }
    void SetDefaultVal(const QString& aVal);

    int32_t Flags() const override { return iFlags; }
    // Also renews the list box and the wiki text renderer to fit the new flags.
    void SetFlags(int32_t aFlags) override;
    bool Flag(int32_t aMask) const { return (iFlags & aMask) != 0; }
    void SetFlag(int32_t aMask, bool aOn);

    int32_t DynFlags() const { return iDynFlags; }
    void SetDynFlags(int32_t aFlags) { iDynFlags = aFlags; }
    bool DynFlag(int32_t aMask) const { return (iDynFlags & aMask) != 0; }
    void SetDynFlag(int32_t aMask, bool aOn);

    // The effective title: the stored one, else Name.
    QString ListColTitle() const;
    const QString& TrueListColTitle() const { return iListColTitle; }
    void SetListColTitle(const QString& aTitle);

    int32_t PartnerId() const { return iPartnerId; }
    void SetPartnerId(int32_t aId);
    int32_t RefControlId() const { return iRefControlId; }
    void SetRefControlId(int32_t aId);
    int32_t SelBackgroundId() const { return iSelBackgroundId; }
    void SetSelBackgroundId(int32_t aId);
    int32_t SelControlId() const { return iSelControlId; }
    void SetSelControlId(int32_t aId);
    // Card-list field: the ids of its column fields; none = the card name only.
    const std::shared_ptr<CVexilArray>& ListCol() const { return iListCol; }
    void SetListCol(std::shared_ptr<CVexilArray> aListCol);
    int16_t StdCmd() const { return iStdCmd; }
    void SetStdCmd(int16_t aCmd);
    int32_t DestCardId() const { return iDestCardId; }
    void SetDestCardId(int32_t aId) { iDestCardId = aId; }

    bool Changed() const override;
    void SetChanged(bool aChanged) override;

    // Run-time links to widgets; never stored, never Changed.
    QObject* BaseControl() const { return iBaseControl; }
    void SetBaseControl(QObject* aControl, int32_t aBaseType);
    int32_t BaseType() const { return iBaseType; }
    QObject* BaseLabel() const { return iBaseLabel; }
    void SetBaseLabel(QObject* aLabel) { iBaseLabel = aLabel; }
    QObject* BaseFunc() const { return iBaseFunc; }
    void SetBaseFunc(QObject* aItem) { iBaseFunc = aItem; }

    IVexilListBoxLink* ListBox() const { return iListBox.get(); }
    IVexilWikiTextLink* WikiTextBox() const { return iWikiTextBox.get(); }

    int32_t BackColor() const override { return iBackColor; }
    void SetBackColor(int32_t aColor) override;
    QString ScriptSource() const override { return iScriptSource; }
    void SetScriptSource(const QString& aSource) override;
    std::shared_ptr<CVexilArray> Script() const override { return iScript; }
    void SetScript(std::shared_ptr<CVexilArray> aScript) override;
    std::shared_ptr<CVexilFont> Font() const override { return iFont; }
    void SetFont(std::shared_ptr<CVexilFont> aFont) override;

    // "Text", "Integer", ...; an unknown type fails an assertion and gives "".
    QString TypeStr() const;
    bool OkForListCol() const;
    bool AllowsCombo() const;
    // Whether the field is a card-list column and its width there (UndefInt when not).
    void GetListColInfo(bool& aInList, int16_t& aWidth) const;

    // Loads list text into the list box and defines its columns; with aIsCardList each line
    // gets the card whose id leads it.
    void SetList(CVexilStack& aStack, const QString& aText, bool aIsCardList);
    // The lines of the list box, joined by CR LF.
    QString GetList() const;

    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

    // For the cards: the list text of this card-list field for the selecting value.
    QString GetCardList(CVexilStack& aStack, const TValue& aSelVal) const;

private:
    void CreateListBox();
    void CreateWikiTextBox();
    int32_t NumListCol() const;
    // The columns of a list view for SetList.
    void DefineListColumns(CVexilStack& aStack, bool aIsCardList);
    // Both readers end here: the type and the list columns must be usable (error 1006 naming
    // aSource otherwise); run-time objects are made anew from type and flags.
    void FinishRead(const CVexilObject& aSource, const QString& aContext, int32_t aNumListCol);

    int32_t iId = UndefLong;
    QString iName;
    QString iDescr;
    QString iLabel;
    int32_t iConType = EConTypeText;
    int16_t iVisLines = 1;
    int16_t iVisChar = 30;
    QString iDefaultVal;
    int32_t iFlags = EConInCardView;
    int32_t iDynFlags = 0;
    int16_t iMaxChar = UndefInt;
    int16_t iDigits = UndefInt;
    int16_t iListVisChar = UndefInt;
    QString iListColTitle;
    int16_t iStdCmd = UndefInt;
    bool iChanged = true;
    std::unique_ptr<IVexilListBoxLink> iListBox;
    std::shared_ptr<CVexilArray> iListCol;
    int32_t iPartnerId = UndefLong;
    std::unique_ptr<IVexilWikiTextLink> iWikiTextBox;
    int32_t iRefControlId = UndefLong;
    int32_t iSelBackgroundId = UndefLong;
    int32_t iSelControlId = UndefLong;
    int32_t iDestCardId = UndefLong;
    QPointer<QObject> iBaseControl;
    int32_t iBaseType = UndefInt;
    QPointer<QObject> iBaseLabel;
    QPointer<QObject> iBaseFunc;
    QString iScriptSource;
    std::shared_ptr<CVexilArray> iScript;
    std::shared_ptr<CVexilFont> iFont;
    int32_t iBackColor = UndefLong;
};
