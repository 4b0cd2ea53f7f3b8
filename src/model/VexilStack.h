#pragma once

#include "foundation/VexilObject.h"
#include "foundation/VexilStoredObj.h"
#include "model/VexilCard.h"
#include "model/VexilControlSet.h"
#include "model/VexilSortKey.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class CVexilArray;
class CVexilBlobStore;
class CVexilFont;
class CVexilIdGen;

// The stack's flags.
enum EStkFlags : int32_t
{
    EStkBinary = 1,          // saved in the binary form
    EStkOpenFullScreen = 2,  // stored and edited only
    EStkOpenLandscape = 4,   // stored and edited only
};

// What the card list must redraw since the stack view last looked.
struct TStackChangeInfo
{
    bool CardsChanged = false;     // a card's name or values changed
    bool CardListChanged = false;  // cards were added, deleted, moved or re-ordered
    int32_t NumChangedCards = 0;   // changes of a card other than the previous one
    std::weak_ptr<CVexilObject> LastChangedCard;

    TCardRef LastCard() const { return std::static_pointer_cast<CVexilCard>(LastChangedCard.lock()); }
};

// Hears every change of the stack order or of the number of cards (added, deleted, moved or
// sorted cards), once the order is whole again: at the change itself, or when the outermost
// TOrderBroadcastHold is released. It is told before the change is broadcast and may not yield.
class IVexilCardOrderWatch
{
public:
    virtual ~IVexilCardOrderWatch() = default;
    virtual void CardOrderChanged() = 0;
};

// The root of the card model: backgrounds, cards, sort keys, key indexes, the id generator and
// the pictures. The cards stand in one stack order (order numbers as keys of the order index)
// and are found by name through the name index. Card ids are slots of the card array.
class CVexilStack : public CVexilStoredObj
{
public:
    static constexpr int32_t KOrderNumStep = 100;

    // Holds the card-order broadcast and the order watch back until the outermost holder is
    // released, so that windows (which may run other edits while the broadcast yields) never
    // meet the indexes half updated. Without Release (an error) nothing is broadcast.
    class TOrderBroadcastHold
    {
    public:
        explicit TOrderBroadcastHold(CVexilStack& aStack);
        ~TOrderBroadcastHold();
        TOrderBroadcastHold(const TOrderBroadcastHold&) = delete;
        TOrderBroadcastHold& operator=(const TOrderBroadcastHold&) = delete;
        void Release();

    private:
        CVexilStack& iStack;
        bool iHeld = true;
    };

    CVexilStack();
    ~CVexilStack() override;

    void Construct(const QString& aName);
    QString ObjDescr() const override;

    const QString& Name() const { return iName; }
    void SetName(const QString& aName);
    const QString& Descr() const { return iDescr; }
    void SetDescr(const QString& aDescr);
    int32_t Id() const { return iId; }
    void SetId(int32_t aId);
    int32_t Flags() const { return iFlags; }
    void SetFlags(int32_t aFlags);
    const QString& Filename() const { return iFilename; }
    void SetFilename(const QString& aFilename);
    int32_t BackColor() const { return iBackColor; }
    void SetBackColor(int32_t aColor);
    const QString& ScriptSource() const { return iScriptSource; }
    void SetScriptSource(const QString& aSource);
    const std::shared_ptr<CVexilArray>& Script() const { return iScript; }
    void SetScript(std::shared_ptr<CVexilArray> aScript);
    const std::shared_ptr<CVexilFont>& Font() const { return iFont; }
    void SetFont(std::shared_ptr<CVexilFont> aFont);
    const std::shared_ptr<CVexilFont>& ListFont() const { return iListFont; }
    void SetListFont(std::shared_ptr<CVexilFont> aFont);

    int32_t NumCards() const;
    CVexilIdGen& IdGen() const { return *iIdGen; }
    const std::shared_ptr<CVexilBlobStore>& BlobStore() const { return iBlobStore; }
    // Only for a stack built without Construct (the binary reader); leaves Changed alone.
    void SetBlobStore(std::shared_ptr<CVexilBlobStore> aStore);

    bool Changed() const override;
    void SetChanged(bool aChanged) override;
    // Clears the own flag only.
    void ResetChanged() { iChanged = false; }
    int32_t OrderCorrections() const { return iOrderCorrections; }
    const TStackChangeInfo& GetChangeInfo() const { return iChangeInfo; }
    void ResetChangeInfo();
    void ChangeCard(CVexilCard& aCard);
    // Not owned; none (the default) for nobody. A watch unsets itself before it goes.
    void SetOrderWatch(IVexilCardOrderWatch* aWatch) { iOrderWatch = aWatch; }
    IVexilCardOrderWatch* OrderWatch() const { return iOrderWatch; }

    // Backgrounds, sort keys and key indexes: walks in id order with a cursor the caller holds.
    void AddBackground(const TControlSetRef& aBackground);
    TControlSetRef Background(int32_t aId) const;
    bool GetFirstBackground(TControlSetRef& aBackground, int32_t& aCursor) const;
    bool GetNextBackground(TControlSetRef& aBackground, int32_t& aCursor) const;
    // Exact name, case counts.
    bool GetBackgroundByName(const QString& aName, TControlSetRef& aBackground) const;

    void AddSortKey(const TSortKeyRef& aSortKey);
    void DeleteSortKey(const CVexilSortKey& aSortKey);
    TSortKeyRef SortKey(int32_t aId) const;
    bool GetFirstSortKey(TSortKeyRef& aSortKey, int32_t& aCursor) const;
    bool GetNextSortKey(TSortKeyRef& aSortKey, int32_t& aCursor) const;
    bool GetSortKeyByName(int32_t aBackgroundId, const QString& aName, TSortKeyRef& aSortKey) const;

    // The key index is ordered by this stack's sort key of its SortKeyId.
    void AddKeyIndex(const std::shared_ptr<CVexilArray>& aKeyIndex);
    void DeleteKeyIndex(const CVexilArray& aKeyIndex);
    std::shared_ptr<CVexilArray> KeyIndex(int32_t aId) const;
    bool GetFirstKeyIndex(std::shared_ptr<CVexilArray>& aKeyIndex, int32_t& aCursor) const;
    bool GetNextKeyIndex(std::shared_ptr<CVexilArray>& aKeyIndex, int32_t& aCursor) const;

    // Card operations (VexilCardOrder.cpp). aBeforeCard of AddCard may be replaced by the
    // first card of a sorted run; DeleteCard leaves aCard none.
    void AddCard(const TCardRef& aCard, TCardRef& aBeforeCard, bool aInitVals);
    void DeleteCard(TCardRef& aCard);
    void DeleteAllCards();
    void RenameCard(CVexilCard& aCard, const QString& aNewName);
    void MoveCard(CVexilCard& aCard, const CVexilCard* aBeforeCard);
    void MoveAllCardsOfBackground(const CVexilControlSet& aBackground, const CVexilCard* aBeforeCard);
    void DeleteBackground(const TControlSetRef& aBackground, bool aCardsOnly);
    void Sort(const CVexilControlSet& aBackground, const TSortKeyRef& aSortKey, const CVexilCard* aAnchorCard,
              bool aUseKeyIndex);
    void NewIndexForSortKey(const TSortKeyRef& aSortKey);
    // Puts a card of a kept-sorted background at its place; its key aKey is in the key index.
    void AdjustCardPos(CVexilCard& aCard, bool aIsNew, const QString& aKey);
    // The order check after a read: makes each sorted background's run follow its key index
    // and counts the swaps in OrderCorrections.
    void CheckAllOrderIndexes();

    // Look-ups and walks in stack order.
    bool GetCard(const QString& aName, TCardRef& aCard) const;
    bool GetFirstCard(TCardRef& aCard, int32_t& aCursor) const;
    bool GetNextCard(TCardRef& aCard, int32_t& aCursor) const;
    void GetCardIndex(const CVexilCard& aCard, int32_t& aIndex, int32_t& aNumCards) const;
    bool GetCardByNum(int32_t aNum, TCardRef& aCard) const;
    // None for an id outside the slots or a free slot (ids come from files and list text).
    TCardRef GetCardById(int32_t aId) const;
    bool GetFirstCardInBackground(int32_t aBackgroundId, TCardRef& aCard, int32_t& aCursor) const;
    bool GetNextCardInBackground(int32_t aBackgroundId, TCardRef& aCard, int32_t& aCursor) const;
    bool GetLastCardInBackground(int32_t aBackgroundId, TCardRef& aCard) const;
    int32_t NumBackgroundCards(int32_t aBackgroundId) const;
    bool OrderFirst(TCardRef& aCard) const;
    bool OrderLast(TCardRef& aCard) const;
    bool OrderNext(const CVexilCard& aCurCard, TCardRef& aNext) const;
    bool OrderPrev(const CVexilCard& aCurCard, TCardRef& aPrev) const;

    // Field roles and card lists (VexilCardList.cpp).
    void SetControlDynFlags();
    bool FindBySelControl(const CVexilControl& aControl, TControlRef& aCardListControl,
                          TControlSetRef& aBackground) const;
    // None marks the cards of every background with a card-list field.
    void SetCardListsDirty(const CVexilControlSet* aBackground);
    void PrepareForSave();
    void DeleteControl(int32_t aControlId, CVexilControlSet& aBackground);
    void AdjustVisChar();

    // The stack's record in both forms (VexilStackIo.cpp). The readers check the whole graph
    // they read (error 1006 naming the file) before the order check runs on it.
    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    friend class CVexilCard;
    friend class CVexilStackCheck;

    // For SetControlVal: a key index whose sort key uses a field, with the card's
    // key in it before the value changes.
    struct TCardKey
    {
        std::shared_ptr<CVexilArray> KeyIndex;
        TSortKeyRef SortKey;
        QString Key;
    };
    std::vector<TCardKey> KeysUsingControl(CVexilCard& aCard, int32_t aControlId) const;
    // Moves the card's elements from the old keys to its present ones and the card to its
    // sorted place; a key index that does not hold the old key is left alone.
    void ReKey(CVexilCard& aCard, const std::vector<TCardKey>& aOldKeys);

    void NewParts();
    // The end of both readers: links the parts read to this stack, checks the graph (error
    // 1006 naming aSource), computes the field roles and repairs the order.
    void FinishRead(const CVexilObject& aSource, const QString& aContext);
    CVexilCard* CardPtr(int32_t aId) const;
    TSortKeyRef FindSortKey(int32_t aId) const;
    std::shared_ptr<CVexilArray> FindKeyIndex(int32_t aId) const;
    // The key index that keeps the background's cards sorted and its sort key, or false.
    bool SortedIndexOf(const CVexilControlSet& aBackground, std::shared_ptr<CVexilArray>& aKeyIndex,
                       TSortKeyRef& aSortKey) const;
    // The background of the card at that position of the stack order; UndefLong for a free slot.
    int32_t BackgroundIdAt(int32_t aPos) const;
    // The position of the order element of that order number, or false.
    bool OrderPos(int32_t aOrderNum, int32_t& aPos) const;
    void AddNameEntry(const CVexilCard& aCard, const QString& aName);
    // Removes the entry of this card, not another one of the same name.
    void DeleteNameEntry(const CVexilCard& aCard, const QString& aName);
    void NotifyCardOrder();
    // Every change of the order or of the number of cards passes here: the change record
    // notes it for the card list, and the order watch hears it.
    void OrderChanged();
    void TellOrderWatch();

    // Card order (VexilCardOrder.cpp).
    void SetOrderNums();
    void RenumberOrder(int32_t aStep);
    void InsertIntoOrderIndex(CVexilCard& aCard, const CVexilCard* aBeforeCard);
    // AdjustCardPos with the key's position in the key index known.
    void PlaceSortedCard(CVexilCard& aCard, bool aIsNew, const CVexilArray& aKeyIndex, int32_t aKeyPos);
    void CheckOrderIndexFor(int32_t aBackgroundId);

    QString iName;
    QString iDescr;
    std::shared_ptr<CVexilArray> iCard;
    std::shared_ptr<CVexilArray> iOrderIndex;
    std::shared_ptr<CVexilArray> iNameIndex;
    std::shared_ptr<CVexilArray> iBackground;
    std::shared_ptr<CVexilArray> iKeyIndex;
    std::shared_ptr<CVexilIdGen> iIdGen;
    QString iFilename;
    int32_t iId = 0;
    int32_t iFlags = 0;
    bool iChanged = false;
    TStackChangeInfo iChangeInfo;
    std::shared_ptr<CVexilArray> iSortKey;
    std::shared_ptr<CVexilBlobStore> iBlobStore;
    QString iScriptSource;
    std::shared_ptr<CVexilArray> iScript;
    std::shared_ptr<CVexilFont> iFont;
    std::shared_ptr<CVexilFont> iListFont;
    int32_t iBackColor = UndefLong;
    int32_t iOrderCorrections = 0;
    int32_t iHoldDepth = 0;
    bool iOrderBroadcastPending = false;
    bool iOrderWatchPending = false;
    IVexilCardOrderWatch* iOrderWatch = nullptr;
};

using TStackRef = std::shared_ptr<CVexilStack>;
