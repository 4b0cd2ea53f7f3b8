#pragma once

#include "foundation/VexilStoredObj.h"

// A window rectangle in twips, kept by the stack view for its windows.
class CVexilRect : public CVexilStoredObj
{
public:
    QString ObjDescr() const override;
    void Construct(float aX, float aY, float aWidth, float aHeight);

    float X() const { return iX; }
    void SetX(float aX);
    float Y() const { return iY; }
    void SetY(float aY);
    float Height() const { return iHeight; }
    void SetHeight(float aHeight);
    float Width() const { return iWidth; }
    void SetWidth(float aWidth);
    bool Changed() const override { return iChanged; }
    void SetChanged(bool aChanged) override { iChanged = aChanged; }
    // True when no rectangle was ever stored: all four parts 0.
    bool IsNull() const;
    // All four parts are finite numbers. A rectangle read from a file may hold others (the XML
    // reader gives an infinity for a number beyond the range of a Single); its user decides.
    bool IsFinite() const;

    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    float iX = 0;
    float iY = 0;
    float iWidth = 0;
    float iHeight = 0;
    bool iChanged = false;
};
