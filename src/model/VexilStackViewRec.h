#pragma once

#include "foundation/VexilRect.h"
#include "foundation/VexilStoredObj.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// The stored part of the stack view: its name, whether the card window and the card list were
// open, and where both stood. Both stack file forms hold it behind the stack; the stack view
// of the card presentation keeps one and updates its rectangles before a save.
class CVexilStackViewRec : public CVexilStoredObj
{
public:
    // The outer size in twips of a window whose client area is aWidth by aHeight units of 20
    // twips. The platform installs its measure; without one the frame counts nothing.
    using TWindowSizer = std::function<void(int16_t aWidth, int16_t aHeight, float& aOuterWidth, float& aOuterHeight)>;
    static void SetWindowSizer(TWindowSizer aSizer);

    // The card window's default client area, in units of 20 twips.
    static constexpr int16_t KCardViewUnitsWide = 208;
    static constexpr int16_t KCardViewUnitsHigh = 255;

    CVexilStackViewRec();

    // So spelled, as the stack view's constructor.
    void Contruct(const QString& aName);
    QString ObjDescr() const override;

    const QString& Name() const { return iName; }
    bool CardViewOpen() const { return iCardViewOpen; }
    void SetCardViewOpen(bool aOpen) { iCardViewOpen = aOpen; }
    bool CardListOpen() const { return iCardListOpen; }
    void SetCardListOpen(bool aOpen) { iCardListOpen = aOpen; }
    // The rectangles themselves, not copies; never none.
    const std::shared_ptr<CVexilRect>& CardViewRect() const { return iCardViewRect; }
    void SetCardViewRect(std::shared_ptr<CVexilRect> aRect);
    const std::shared_ptr<CVexilRect>& CardListRect() const { return iCardListRect; }
    void SetCardListRect(std::shared_ptr<CVexilRect> aRect);

    // Both windows to their default places.
    void InitRects();
    // What the readers' SetStack does to the record: whatever was stored, no window is open.
    void MarkClosed();

    // The record carries no change flag of its own: the stack's decides whether to save.
    bool Changed() const override { return false; }
    void SetChanged(bool) override {}

    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    // A record stored before any window was placed holds a null card-window rectangle: both
    // windows get their default places. A rectangle with a part that is no finite number is no
    // place on any screen and could not be written again: it gets its own default place.
    void DefaultsForUnplacedRects();

    QString iName;
    bool iCardViewOpen = false;
    std::shared_ptr<CVexilRect> iCardViewRect;
    bool iCardListOpen = false;
    std::shared_ptr<CVexilRect> iCardListRect;
};

using TStackViewRecRef = std::shared_ptr<CVexilStackViewRec>;
