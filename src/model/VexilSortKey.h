#pragma once

#include "foundation/VexilArray.h"
#include "foundation/VexilStoredObj.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>

class CVexilCard;

// One part of a sort key: a field, its type, the direction and its place in the key string.
struct TKeyPart
{
    int32_t Type = 0;       // EConType of the field (text to Boolean)
    int32_t ControlId = 0;  // the field's id
    int32_t Way = 0;        // 1 descending, anything else ascending
    int16_t Len = 0;        // characters in the key string
    int16_t Pos = 0;        // 0-based offset in the key string
};

// Orders the cards of one background by up to six of its fields. A card's key string is its
// parts back to back, each cut or padded to its length and upper-cased, followed by the card
// id in 10 characters; a key index is a string-keyed array ordered by compare.
class CVexilSortKey : public CVexilStoredObj, public IVexilKeyCompare
{
public:
    static constexpr int32_t KMaxParts = 6;
    static constexpr int32_t KIdWidth = 10;

    void Contruct(int32_t aId, const QString& aName, int32_t aBackgroundId);
    QString ObjDescr() const override;

    int32_t Id() const override { return iId; }
    const QString& Name() const { return iName; }
    void SetName(const QString& aName) { iName = aName; }
    int32_t BackgroundId() const { return iBackgroundId; }
    bool Changed() const override { return iChanged; }
    void SetChanged(bool aChanged) override { iChanged = aChanged; }

    int32_t NumParts() const { return iCount; }
    // The length of every key string: the parts and the card id.
    int32_t KeyLen() const;
    // A seventh part is refused with the subscript error before anything changes.
    void AddKeyPart(int32_t aType, int32_t aControlId, int32_t aWay, int16_t aLen);
    void Clear();
    bool GetFirstKeyPart(TKeyPart& aPart, int32_t& aCursor) const;
    bool GetNextKeyPart(TKeyPart& aPart, int32_t& aCursor) const;
    bool ControlOccurs(int32_t aControlId) const;

    // 0 when aKey1 sorts before aKey2, 1 when equal, 2 when after.
    int32_t compare(const QString& aKey1, const QString& aKey2) const override;
    // Hints from a first part of text, which decides most comparisons.
    uint64_t Hint(const QString& aKey) const override;
    uint64_t HintLayout() const override;
    QString BuildKey(CVexilCard& aCard) const;

    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    // Negative, 0 or positive as the first piece sorts before, with or after the second.
    int ComparePiece(const TKeyPart& aPart, QStringView aPiece1, QStringView aPiece2) const;
    // The parts read from a file must lie back to back from 0 on, as AddKeyPart places them;
    // the fault found, or empty.
    QString PartsFault(int32_t aCount) const;

    int32_t iId = UndefLong;
    QString iName;
    int32_t iBackgroundId = UndefLong;
    std::array<TKeyPart, KMaxParts> iParts{};
    int16_t iCount = 0;
    bool iChanged = false;
};

using TSortKeyRef = std::shared_ptr<CVexilSortKey>;
