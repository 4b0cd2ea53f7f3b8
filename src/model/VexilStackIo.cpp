#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilObjHead.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "model/VexilStackCheck.h"

#include <functional>
#include <vector>

namespace
{
const QString kXmlName = QStringLiteral("Stack");
const QString kIdGenXmlName = QStringLiteral("IdGen");
const QString kReadContext = QStringLiteral("CVexilStack.Internalize");
const QString kXmlContext = QStringLiteral("CVexilStack.InternalizeXml");

// The common head of the stack's record, read and written through the stack's own properties.
class TStackHead : public IVexilBaseObj
{
public:
    explicit TStackHead(CVexilStack& aStack) : iStack(aStack) {}
    QString Name() const override { return iStack.Name(); }
    void SetName(const QString& aName) override { iStack.SetName(aName); }
    int32_t Id() const override { return iStack.Id(); }
    void SetId(int32_t aId) override { iStack.SetId(aId); }
    int32_t Flags() const override { return iStack.Flags(); }
    void SetFlags(int32_t aFlags) override { iStack.SetFlags(aFlags); }
    QString ScriptSource() const override { return iStack.ScriptSource(); }
    void SetScriptSource(const QString& aSource) override { iStack.SetScriptSource(aSource); }
    std::shared_ptr<CVexilArray> Script() const override { return iStack.Script(); }
    void SetScript(std::shared_ptr<CVexilArray> aScript) override { iStack.SetScript(std::move(aScript)); }
    std::shared_ptr<CVexilFont> Font() const override { return iStack.Font(); }
    void SetFont(std::shared_ptr<CVexilFont> aFont) override { iStack.SetFont(std::move(aFont)); }
    int32_t BackColor() const override { return iStack.BackColor(); }
    void SetBackColor(int32_t aColor) override { iStack.SetBackColor(aColor); }

private:
    CVexilStack& iStack;
};

// While a stack is read, sort-key-ordered arrays find their sort keys in that stack, never in
// another stack that is open at the same time, and only once the sort keys read are checked:
// an array ordered before that finds none, which makes it a structural error.
class TSortKeyScope
{
public:
    explicit TSortKeyScope(CVexilArray::TSortKeyLookup aLookup)
        : iPrevious(CVexilArray::SortKeyLookup()), iLookup(std::move(aLookup))
    {
        CVexilArray::SetSortKeyLookup(
            [this](int32_t aId) { return iChecked ? iLookup(aId) : CVexilArray::TSortKeyLookup::result_type(); });
    }
    ~TSortKeyScope() { CVexilArray::SetSortKeyLookup(std::move(iPrevious)); }
    TSortKeyScope(const TSortKeyScope&) = delete;
    TSortKeyScope& operator=(const TSortKeyScope&) = delete;

    void SortKeysChecked() { iChecked = true; }

private:
    CVexilArray::TSortKeyLookup iPrevious;
    CVexilArray::TSortKeyLookup iLookup;
    bool iChecked = false;
};

std::shared_ptr<CVexilArray> ReadArray(CVexilFile& aFile)
{
    auto array = std::make_shared<CVexilArray>();
    array->Internalize(aFile);
    return array;
}

std::shared_ptr<CVexilArray> ReadArrayXml(CVexilXmlParser& aParser, const QString& aDetail)
{
    auto array = std::make_shared<CVexilArray>();
    CVexilStoredObj::ReadXmlChild(aParser, *array, kXmlContext, aDetail);
    return array;
}

// A name index of an older file was ordered case-insensitively: it takes the exact comparison
// and is sorted by it, so that its searches find every name. The stack then reports Changed.
void UpgradeNameIndex(CVexilArray& aNameIndex)
{
    if (aNameIndex.BinaryCompare())
        return;
    aNameIndex.SetFlags(aNameIndex.Flags() | EArrBinaryCompare);
    aNameIndex.CheckOrder();
    aNameIndex.SetChanged(true);
}

// Key strings are derived from the cards' values. A stored key that differs from the one the
// card gives (a damaged file, or another program's) would not be found when the card changes,
// which would leave an entry for a card that is gone; such an index is built anew from its
// cards and reports Changed.
void RekeyIndex(CVexilArray& aKeyIndex, const CVexilSortKey& aSortKey,
                const std::function<CVexilCard*(int32_t)>& aCard)
{
    aKeyIndex.SortKey();
    const auto keyOf = [&](int32_t aIndex) { return aSortKey.BuildKey(*aCard(aKeyIndex.IntValAt(aIndex))); };
    int32_t same = 0;
    while (same < aKeyIndex.Count() && aKeyIndex.ElemAt(same).StrKey == keyOf(same))
        ++same;
    if (same == aKeyIndex.Count())
        return;
    // The keys before the first difference were just found equal to the cards' own.
    std::vector<TArrayElem> rekeyed(size_t(aKeyIndex.Count()));
    for (int32_t i = 0; i < aKeyIndex.Count(); ++i)
    {
        rekeyed[size_t(i)] = aKeyIndex.ElemAt(i);
        if (i >= same)
            rekeyed[size_t(i)].StrKey = keyOf(i);
    }
    aKeyIndex.Clear();
    for (const TArrayElem& elem : rekeyed)
        aKeyIndex.CreateStrKey(elem);
}
}  // namespace

// ---- CVexilIdGen

int32_t CVexilIdGen::ExtLen()
{
    return CVexilBinObj::ExtBinObjStartLen() + CVexilBinObj::ExtIntLen();
}

void CVexilIdGen::Externalize(CVexilFile& aFile)
{
    CVexilBinObj::WriteBinObjStart(aFile, EObjIdGen);
    aFile.WriteInt(iNextId);
}

void CVexilIdGen::Internalize(CVexilFile& aFile)
{
    CVexilBinObj::ReadBinObjStart(aFile, EObjIdGen);
    iNextId = aFile.ReadInt();
    iChanged = false;
}

bool CVexilIdGen::IsInXml(const QString& aName) const
{
    return aName == kIdGenXmlName;
}

void CVexilIdGen::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    aWriter.BeginElem(kIdGenXmlName);
    aWriter.AddIntAttr(QStringLiteral("nextId"), iNextId);
    aWriter.EndEmptyElem();
}

void CVexilIdGen::InternalizeXml(CVexilXmlParser& aParser)
{
    aParser.ReadAttrTerm();
    iNextId = aParser.IntAttr(QStringLiteral("nextId"));
    iChanged = false;
}

// ---- CVexilStack

int32_t CVexilStack::ExtLen()
{
    int32_t len = CVexilObjHead::ExtLenBaseObj(TStackHead(*this)) + CVexilFile::ExtStrLen(iDescr) +
                  CVexilBinObj::ExtShortLen() + iIdGen->ExtLen();
    if (iListFont)
        len += iListFont->ExtLen();
    for (const auto& array : {iBackground, iCard, iOrderIndex, iNameIndex, iSortKey, iKeyIndex})
        len += array->ExtLen();
    return len;
}

void CVexilStack::Externalize(CVexilFile& aFile)
{
    CVexilObjHead::ExternalizeBaseObj(TStackHead(*this), aFile, EObjStack);
    aFile.WriteStr(iDescr);
    aFile.WriteBoolean(iListFont != nullptr);
    if (iListFont)
        iListFont->Externalize(aFile);
    iIdGen->Externalize(aFile);
    for (const auto& array : {iBackground, iCard, iOrderIndex, iNameIndex, iSortKey, iKeyIndex})
        array->Externalize(aFile);
}

void CVexilStack::Internalize(CVexilFile& aFile)
{
    TStackHead head(*this);
    CVexilObjHead::InternalizeBaseObj(head, aFile, EObjStack);
    iDescr = aFile.ReadStr();
    iListFont.reset();
    if (aFile.ReadBoolean())
    {
        iListFont = std::make_shared<CVexilFont>();
        iListFont->Internalize(aFile);
    }
    iIdGen = std::make_shared<CVexilIdGen>();
    iIdGen->Internalize(aFile);
    TSortKeyScope scope([this](int32_t aId) { return FindSortKey(aId); });
    iBackground = ReadArray(aFile);
    iCard = ReadArray(aFile);
    iOrderIndex = ReadArray(aFile);
    iNameIndex = ReadArray(aFile);
    iSortKey = ReadArray(aFile);
    CVexilStackCheck::CheckSortKeys(*this, aFile, kReadContext);
    scope.SortKeysChecked();
    iKeyIndex = ReadArray(aFile);
    UpgradeNameIndex(*iNameIndex);
    FinishRead(aFile, kReadContext);
}

bool CVexilStack::IsInXml(const QString& aName) const
{
    return aName == kXmlName;
}

void CVexilStack::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    const TStackHead head(*this);
    aWriter.BeginElem(kXmlName);
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjStack).Written);
    aWriter.AddAttr(QStringLiteral("name"), iName);
    aWriter.AddAttr(QStringLiteral("descr"), iDescr);
    aWriter.AddIntAttr(QStringLiteral("backColor"), iBackColor);
    CVexilObjHead::AddHeadAttrs(head, aWriter);
    aWriter.AddBooleanAttr(QStringLiteral("listFontDef"), iListFont != nullptr);
    aWriter.BeginStruct();
    iIdGen->ExternalizeXml(aWriter);
    for (const auto& array : {iBackground, iCard, iOrderIndex, iNameIndex, iSortKey, iKeyIndex})
        array->ExternalizeXml(aWriter);
    iBlobStore->ExternalizeXml(aWriter);
    CVexilObjHead::ExternalizeHeadXml(head, aWriter);
    if (iListFont)
        iListFont->ExternalizeXml(aWriter);
    aWriter.EndElem(kXmlName);
}

void CVexilStack::InternalizeXml(CVexilXmlParser& aParser)
{
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, kXmlContext, QStringLiteral("InternalizeXml term"));
    CheckXml(aParser, aParser.ShortAttr(QStringLiteral("gen")) == CVexilBinObj::Generations(EObjStack).Written,
             kXmlContext, QStringLiteral("InternalizeXml gen"));
    // The XML form holds neither the id nor the flags.
    iId = 0;
    iFlags = 0;
    iName = aParser.Attr(QStringLiteral("name"));
    iDescr = aParser.Attr(QStringLiteral("descr"));
    iBackColor = aParser.IntAttr(QStringLiteral("backColor"));
    const TXmlHeadAttrs headAttrs = CVexilObjHead::ReadHeadAttrs(aParser);
    const bool listFontDef = aParser.BooleanAttr(QStringLiteral("listFontDef"));
    iIdGen = std::make_shared<CVexilIdGen>();
    ReadXmlChild(aParser, *iIdGen, kXmlContext, QStringLiteral("InternalizeXml iIdGen"));
    TSortKeyScope scope([this](int32_t aId) { return FindSortKey(aId); });
    iBackground = ReadArrayXml(aParser, QStringLiteral("InternalizeXml iBackground"));
    iCard = ReadArrayXml(aParser, QStringLiteral("InternalizeXml iCard"));
    iOrderIndex = ReadArrayXml(aParser, QStringLiteral("InternalizeXml iOrderIndex"));
    iNameIndex = ReadArrayXml(aParser, QStringLiteral("InternalizeXml iNameIndex"));
    iSortKey = ReadArrayXml(aParser, QStringLiteral("InternalizeXml iSortKey"));
    CVexilStackCheck::CheckSortKeys(*this, aParser, kXmlContext);
    scope.SortKeysChecked();
    iKeyIndex = ReadArrayXml(aParser, QStringLiteral("InternalizeXml iKeyIndex"));
    UpgradeNameIndex(*iNameIndex);
    auto store = std::make_shared<CVexilBlobStore>();
    ReadXmlChild(aParser, *store, kXmlContext, QStringLiteral("InternalizeXml iBlobStore"));
    iBlobStore = std::move(store);
    TStackHead head(*this);
    CVexilObjHead::InternalizeHeadXml(head, aParser, headAttrs);
    iListFont.reset();
    if (listFontDef)
    {
        iListFont = std::make_shared<CVexilFont>();
        ReadXmlChild(aParser, *iListFont, kXmlContext, QStringLiteral("InternalizeXml iListFont"));
    }
    aParser.ReadTheNext(kXmlName, true);
    FinishRead(aParser, kXmlContext);
}

void CVexilStack::FinishRead(const CVexilObject& aSource, const QString& aContext)
{
    CVexilStackCheck::CheckStructure(*this, aSource, aContext);
    for (int32_t slot = 0; slot < iCard->Count(); ++slot)
        if (CVexilCard* card = CardPtr(slot))
            card->SetStack(this);
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool more = GetFirstBackground(background, cursor); more; more = GetNextBackground(background, cursor))
        background->SetStack(this);
    // Each key index keeps its sort key, found in this stack while the readers' look-up is on.
    std::shared_ptr<CVexilArray> keyIndex;
    for (bool more = GetFirstKeyIndex(keyIndex, cursor); more; more = GetNextKeyIndex(keyIndex, cursor))
        RekeyIndex(*keyIndex, *FindSortKey(keyIndex->SortKeyId()), [this](int32_t aId) { return CardPtr(aId); });
    ResetChangeInfo();
    SetControlDynFlags();
    iChanged = false;
    CheckAllOrderIndexes();
}
