#include "presentation/VexilWikiTextBox.h"

#include <utility>

CVexilWikiTextBox::CVexilWikiTextBox()
{
    iRichText.Construct();
}

void CVexilWikiTextBox::SetFont(const std::shared_ptr<CVexilFont>& aFont)
{
    iRichText.SetFont(aFont);
}

void CVexilWikiTextBox::NextSym()
{
    iScanner.GetWikiSym(iSym, iSymText);
}

void CVexilWikiTextBox::Toggle(bool& aOn, void (CVexilRichText::*aBegin)(), void (CVexilRichText::*aEnd)())
{
    aOn = !aOn;
    (iRichText.*(aOn ? aBegin : aEnd))();
}

void CVexilWikiTextBox::AddLink(int32_t aPosition)
{
    // Without "|" the text is its own target.
    const qsizetype bar = iSymText.indexOf(QLatin1Char('|'));
    TWikiLink link;
    link.Start = aPosition;
    link.Target = bar < 0 ? iSymText : iSymText.left(bar);
    link.Text = bar < 0 ? iSymText : iSymText.mid(bar + 1);
    link.Length = int32_t(link.Text.size());
    iRichText.BeginUnderline();
    iRichText.BeginColor(KWikiLinkColor);
    iRichText.AddStr(link.Text);
    iRichText.EndColor();
    iRichText.EndUnderline();
    iLinks.push_back(std::move(link));
}

void CVexilWikiTextBox::SetStr(const QString& aText)
{
    iScanner.SetLine(aText);
    NextSym();
    iLinks.clear();
    int32_t position = 0;
    iBoldOn = false;
    iItalicOn = false;
    iUnderlineOn = false;
    iRichText.BeginText();
    iRichText.BeginPara();
    while (iSym != ESymEol && iSym != ESymEof)
    {
        switch (iSym)
        {
        case ESymWikiBold: Toggle(iBoldOn, &CVexilRichText::BeginBold, &CVexilRichText::EndBold); break;
        case ESymWikiItalic: Toggle(iItalicOn, &CVexilRichText::BeginItalic, &CVexilRichText::EndItalic); break;
        case ESymWikiUnderline:
            Toggle(iUnderlineOn, &CVexilRichText::BeginUnderline, &CVexilRichText::EndUnderline);
            break;
        case ESymLink:
            AddLink(position);
            position += iLinks.back().Length;
            break;
        case ESymWikiNewLine:
            iRichText.AddStr(QStringLiteral(" "));
            position += 1;
            break;
        case ESymWikiBreak:
            iRichText.EndPara();
            iRichText.BeginPara();
            position += 2;
            // The line end that follows a break at once is the break's own.
            NextSym();
            if (iSym != ESymWikiNewLine)
                continue;
            break;
        case ESymWikiPara:
            for (auto [on, end] : {std::pair{&iBoldOn, &CVexilRichText::EndBold},
                                   std::pair{&iItalicOn, &CVexilRichText::EndItalic},
                                   std::pair{&iUnderlineOn, &CVexilRichText::EndUnderline}})
                if (*on)
                {
                    (iRichText.*end)();
                    *on = false;
                }
            iRichText.EndPara();
            iRichText.AddSmallPara();
            iRichText.BeginPara();
            position += 4;
            break;
        default:
            iRichText.AddStr(iSymText);
            position += int32_t(iSymText.size());
            break;
        }
        NextSym();
    }
    iRichText.EndPara();
    iRichText.EndText();
}

bool CVexilWikiTextBox::GetLink(int32_t aPosition, QString& aTarget) const
{
    for (const TWikiLink& link : iLinks)
    {
        const int32_t end = link.Start + link.Length + (link.Length < 3 ? 1 : 0);
        if (aPosition >= link.Start && aPosition < end)
        {
            aTarget = link.Target;
            return true;
        }
    }
    return false;
}
