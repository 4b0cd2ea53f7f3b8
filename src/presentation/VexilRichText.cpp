#include "presentation/VexilRichText.h"

#include "foundation/VexilError.h"
#include "foundation/VexilNumText.h"

#include <cmath>

namespace
{
const QString KCrLf = QStringLiteral("\r\n");
const char KHexDigits[] = "0123456789ABCDEF";
}  // namespace

void CVexilRichText::Construct()
{
    iFaceName = QStringLiteral("Arial");
    iSize = 20;
}

void CVexilRichText::SetFont(const std::shared_ptr<CVexilFont>& aFont)
{
    iFont = aFont;
    if (!aFont)
        return;
    if (!aFont->FaceName().isEmpty())
        iFaceName = aFont->FaceName();
    if (aFont->Size() != UndefInt)
        iSize = CVexilNumText::RoundToInt32(2.0 * double(aFont->DisplayPointSize(true)));
}

void CVexilRichText::BeginText()
{
    iText = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2055{\\fonttbl {\\f0\\fswiss\\fprq2\\fcharset0 ");
    iText.append(iFaceName);
    iText.append(QStringLiteral(";}}"));
    iText.append(KCrLf);
    iColorTablePos = iText.size();
    iBold.Depth = 0;
    iItalic.Depth = 0;
    iUnderline.Depth = 0;
    iCurColors.clear();
    if (!iFont)
        return;
    if (iFont->Flags() & EFontBold)
        BeginBold();
    if (iFont->Flags() & EFontItalic)
        BeginItalic();
    if (iFont->Flags() & EFontUnderline)
        BeginUnderline();
    if (iFont->ForeColor() != UndefLong)
        BeginColor(iFont->ForeColor());
}

void CVexilRichText::EndText()
{
    iText.append(QLatin1Char('}'));
    InsertColorTable();
}

void CVexilRichText::InsertColorTable()
{
    QString table = QStringLiteral("{\\colortbl ;");
    for (const TRgb& rgb : iColors)
    {
        table.append(QStringLiteral("\\red"));
        table.append(QString::number(rgb.Red));
        table.append(QStringLiteral("\\green"));
        table.append(QString::number(rgb.Green));
        table.append(QStringLiteral("\\blue"));
        table.append(QString::number(rgb.Blue));
        table.append(QLatin1Char(';'));
    }
    table.append(QLatin1Char('}'));
    table.append(KCrLf);
    iText.insert(iColorTablePos, table);
}

void CVexilRichText::BeginPara()
{
    iText.append(QStringLiteral("\\uc1\\pard\\fi-0\\li0\\tx0\\f0\\fs"));
    iText.append(QString::number(iSize));
    iText.append(QLatin1Char(' '));
}

void CVexilRichText::EndPara()
{
    iText.append(QStringLiteral("\\par "));
}

void CVexilRichText::AddSmallPara()
{
    const int32_t size = iSize;
    iSize = int32_t(std::nearbyint(double(size) / 2.0));
    BeginPara();
    EndPara();
    iSize = size;
}

void CVexilRichText::AddStr(const QString& aStr)
{
    AppendRtf(aStr);
}

void CVexilRichText::AppendRtf(const QString& aStr)
{
    for (const QChar ch : aStr)
    {
        const char16_t code = ch.unicode();
        if (code == '\\' || code == '{' || code == '}')
        {
            iText.append(QLatin1Char('\\'));
            iText.append(ch);
        }
        else if (code < 128)
            iText.append(ch);
        else if (code < 256)
        {
            iText.append(QStringLiteral("\\'"));
            iText.append(QLatin1Char(KHexDigits[code >> 4]));
            iText.append(QLatin1Char(KHexDigits[code & 15]));
        }
        else
        {
            iText.append(QStringLiteral("{\\u"));
            iText.append(QString::number(code));
            iText.append(QLatin1Char('}'));
        }
    }
}

int32_t CVexilRichText::ColorIndex(const TRgb& aRgb)
{
    for (size_t i = 0; i < iColors.size(); ++i)
        if (CVexilLowLevel::RgbEqual(iColors[i], aRgb))
            return int32_t(i);
    iColors.push_back(aRgb);
    return int32_t(iColors.size() - 1);
}

void CVexilRichText::AppendColorNumber(int32_t aIndex)
{
    // Number 0 is the automatic colour, so table entry i is number i + 1.
    iText.append(QStringLiteral("\\cf"));
    iText.append(QString::number(aIndex + 1));
    iText.append(QLatin1Char(' '));
}

void CVexilRichText::BeginColor(int32_t aColor)
{
    const int32_t index = ColorIndex(CVexilLowLevel::LongToRgb(aColor));
    AppendColorNumber(index);
    iCurColors.push_back(index);
}

void CVexilRichText::EndColor()
{
    CVexilError::CheckFailed(!iCurColors.empty(), this, QStringLiteral("EndColor"), QStringLiteral("iNumCurColors>0"));
    if (iCurColors.empty())
        return;
    iText.append(QStringLiteral("\\cf0 "));
    iCurColors.pop_back();
    // The enclosing colour goes on.
    if (!iCurColors.empty())
        AppendColorNumber(iCurColors.back());
}

void CVexilRichText::Begin(TStyle& aStyle)
{
    if (aStyle.Depth == 0)
        iText.append(QLatin1String(aStyle.On));
    ++aStyle.Depth;
}

void CVexilRichText::End(TStyle& aStyle)
{
    CVexilError::CheckFailed(aStyle.Depth > 0, this, QLatin1String(aStyle.Context), QLatin1String(aStyle.Check));
    if (aStyle.Depth == 0)
        return;
    --aStyle.Depth;
    if (aStyle.Depth == 0)
        iText.append(QLatin1String(aStyle.Off));
}

void CVexilRichText::BeginBold()
{
    Begin(iBold);
}

void CVexilRichText::EndBold()
{
    End(iBold);
}

void CVexilRichText::BeginItalic()
{
    Begin(iItalic);
}

void CVexilRichText::EndItalic()
{
    End(iItalic);
}

void CVexilRichText::BeginUnderline()
{
    Begin(iUnderline);
}

void CVexilRichText::EndUnderline()
{
    End(iUnderline);
}
