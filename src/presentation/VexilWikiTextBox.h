#pragma once

#include "foundation/VexilScanner.h"
#include "model/VexilWikiTextLink.h"
#include "presentation/VexilRichText.h"

#include <QString>

#include <cstdint>
#include <vector>

// One link of a rendered wiki text: where its shown text stands in the rendered text (a
// break counts two characters, a paragraph gap four, as the rich text counts them) and the
// target it goes to.
struct TWikiLink
{
    int32_t Start = 0;
    int32_t Length = 0;
    QString Target;
    QString Text;
};

// The renderer of a wiki text field: turns the field's mark-up into an RTF document (bold,
// italic and underlined stretches, breaks, paragraph gaps, green underlined links) and keeps
// the table of the links of the last text rendered, so that a position in the shown text
// gives the link under it. Any number of links and texts of any length.
class CVexilWikiTextBox final : public IVexilWikiTextLink
{
public:
    // Links are underlined in this colour (red 0, green 128, blue 0).
    static constexpr int32_t KWikiLinkColor = 32768;

    CVexilWikiTextBox();

    void SetFont(const std::shared_ptr<CVexilFont>& aFont) override;
    // Renders the mark-up and rebuilds the table of links.
    void SetStr(const QString& aText) override;
    // The RTF document of the last SetStr.
    QString TextStr() const override { return iRichText.TextStr(); }
    // A link covers its shown characters, and one position more when it is shorter than
    // three, so that a short link is easier to hit. The first link that covers aPosition wins.
    bool GetLink(int32_t aPosition, QString& aTarget) const override;

    const std::vector<TWikiLink>& Links() const { return iLinks; }

private:
    void NextSym();
    // Switches one of the three styles of the mark-up.
    void Toggle(bool& aOn, void (CVexilRichText::*aBegin)(), void (CVexilRichText::*aEnd)());
    void AddLink(int32_t aPosition);

    std::vector<TWikiLink> iLinks;
    CVexilScanner iScanner;
    CVexilRichText iRichText;
    bool iBoldOn = false;
    bool iItalicOn = false;
    bool iUnderlineOn = false;
    ESymKind iSym = ESymEol;
    QString iSymText;
};
