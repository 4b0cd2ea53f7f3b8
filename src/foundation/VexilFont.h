#pragma once

#include "foundation/VexilStoredObj.h"

#include <QString>

#include <cstdint>

enum EFontFlags : int32_t
{
    EFontBold = 1,
    EFontItalic = 2,
    EFontUnderline = 4,
};

// A font definition in which every part may be unset (empty face name, UndefInt size,
// UndefLong colour, no flags). Fonts are laid over one another from the general to the
// specific, each level filling in only what it sets.
class CVexilFont : public CVexilStoredObj
{
public:
    static constexpr int16_t KDefaultSize = 220;  // 11 points, in twips

    QString ObjDescr() const override;
    void Construct(const QString& aFaceName, int16_t aSize, int32_t aForeColor);

    const QString& FaceName() const { return iFaceName; }
    // Twentieths of a point.
    int16_t Size() const { return iSize; }
    int32_t ForeColor() const { return iForeColor; }
    void SetForeColor(int32_t aColor);
    int32_t Flags() const { return iFlags; }
    void SetFlags(int32_t aFlags);
    bool Changed() const override { return iChanged; }
    void SetChanged(bool aChanged) override { iChanged = aChanged; }

    // Lays aFont over this one: each part it sets replaces this one's (the flags as a whole).
    void AddFont(const CVexilFont* aFont);
    // Arial, 11 points and black for the parts not set.
    void SetDefaults();
    float PointSize() const;
    // Empty when the size is unset; the user's decimal separator.
    QString PointSizeStr() const;
    // The default size shows at 8 points in the program's own windows unless aTrueSize.
    float DisplayPointSize(bool aTrueSize) const;
    // The face name followed by " Bold", " Italic" and " Underline" as set.
    QString FaceNameWithFlags() const;

    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    QString iFaceName;
    int16_t iSize = UndefInt;
    int32_t iForeColor = UndefLong;
    int32_t iFlags = 0;
    bool iChanged = false;
};
