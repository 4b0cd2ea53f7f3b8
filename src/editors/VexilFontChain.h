#pragma once

#include "foundation/VexilObject.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class CVexilCard;
class CVexilControl;
class CVexilControlSet;
class CVexilFont;
class CVexilStack;

// The levels of the font chain, from the general to the specific.
enum EFontLevel : int32_t
{
    ELevelStack = 0,
    ELevelBackground = 1,
    ELevelCard = 2,
    ELevelControl = 3,
};

// The font as the user typed it: face name, point size as text, colour and flags 1, 2, 4.
struct TFontInput
{
    QString FaceName;
    QString SizeText;
    int32_t Color = UndefLong;
    int32_t Flags = 0;
};

// The typed font and the checks on it.
class CVexilFontInput
{
public:
    // The greatest size a font can have, in twentieths of a point.
    static constexpr int32_t KMaxSize = 32767;

    // Reads a point size in the user's number format. An empty text (blanks only) is no size:
    // aSize UndefInt. A positive number whose twentieths, rounded, lie from 1 to KMaxSize gives
    // them. Gives 0 then, else the message that refuses the text: EMsgNotNum or EMsgNumTooHigh.
    static int32_t ReadSize(const QString& aText, int16_t& aSize);
    // Shows the message of ReadSize for the "Point size" box (class Critical); true when
    // the text is accepted.
    static bool CheckSize(const QString& aText);
    // A new font of the input; a size that ReadSize refuses is left unset.
    static std::shared_ptr<CVexilFont> InputFont(const TFontInput& aInput);
    // Whether a phone shows the face only after the user installed it: any face but none and
    // "Sans-Serif Latin" in any case.
    static bool NeedsInstalledFont(const QString& aFaceName);
};

// What the font picker shows for one level of the chain.
struct TFontLevelRow
{
    QString Label;                 // the level's name, the object's name in quotes, ":"
    bool Visible = false;          // levels up to the edited one
    QString FaceName;              // with the attribute words
    QString Size;                  // points
    int32_t Color = UndefLong;     // the colour sample; UndefLong leaves it empty
};

// The font chain stack > background > card > field as seen from one edited level: each level
// below it adds its object's own font, the edited level adds the typed font, the levels above
// add nothing and are hidden; what no level sets is Arial, 11 points, black.
class CVexilFontChain
{
public:
    static constexpr const char* KNoObject = "<no card>";

    // The objects of the chain; each may be none.
    struct TObjects
    {
        const CVexilStack* Stack = nullptr;
        const CVexilControlSet* Background = nullptr;
        const CVexilCard* Card = nullptr;
        const CVexilControl* Control = nullptr;
    };
    struct TResult
    {
        std::array<TFontLevelRow, 4> Rows;
        std::shared_ptr<CVexilFont> Font;  // the resulting font, every part set
    };

    static TResult Evaluate(int32_t aEditedLevel, const TObjects& aObjects, const TFontInput& aInput);
};
