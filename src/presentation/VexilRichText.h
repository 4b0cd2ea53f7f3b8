#pragma once

#include "foundation/VexilFont.h"
#include "foundation/VexilLowLevel.h"
#include "foundation/VexilObject.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// Builds an RTF document as a string, one call at a time: a header with one font, the colour
// table of every colour used, paragraphs in one font size, nested bold, italic and
// underline of which only the outermost begin and end are written, a stack of open colours
// and the escaped text. The colour table belongs to the builder: a colour keeps its number
// for every later document it builds, and the table and the open colours have no limit.
// An end without its begin is an assertion.
class CVexilRichText : public CVexilObject
{
public:
    // Arial, 10 points.
    void Construct();
    QString ObjDescr() const override { return QStringLiteral("CVexilRichText"); }

    // The document built so far; complete after EndText.
    const QString& TextStr() const { return iText; }
    // Face, size, styles and colour of the documents that follow; none keeps the face and
    // size taken last.
    void SetFont(const std::shared_ptr<CVexilFont>& aFont);

    void BeginText();
    void EndText();
    void BeginPara();
    void EndPara();
    // An empty paragraph at half the size: a small gap.
    void AddSmallPara();
    void AddStr(const QString& aStr);
    // aColor holds red in its lowest byte.
    void BeginColor(int32_t aColor);
    void EndColor();
    void BeginBold();
    void EndBold();
    void BeginItalic();
    void EndItalic();
    void BeginUnderline();
    void EndUnderline();

private:
    // One of the three nested styles: its counter and its two control words.
    struct TStyle
    {
        int32_t Depth = 0;
        const char* On;
        const char* Off;
        const char* Check;
        const char* Context;
    };

    void Begin(TStyle& aStyle);
    void End(TStyle& aStyle);
    // The table index of the colour, added at the end when new.
    int32_t ColorIndex(const TRgb& aRgb);
    void InsertColorTable();
    void AppendColorNumber(int32_t aIndex);
    // Appends the text escaped for RTF.
    void AppendRtf(const QString& aStr);

    QString iText;
    std::vector<TRgb> iColors;
    qsizetype iColorTablePos = 0;
    QString iFaceName;
    int32_t iSize = 0;
    std::shared_ptr<CVexilFont> iFont;
    TStyle iBold{0, "\\b1 ", "\\b0 ", "iBold>0", "EndBold"};
    TStyle iItalic{0, "\\i1 ", "\\i0 ", "iItalic>0", "EndItalic"};
    TStyle iUnderline{0, "\\ul1 ", "\\ul0 ", "iUnderline>0", "EndUnderline"};
    std::vector<int32_t> iCurColors;
};
