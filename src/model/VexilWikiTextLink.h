#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class CVexilFont;

// What a wiki text field needs of its renderer: mark-up in, rich text out.
// The card presentation implements it.
class IVexilWikiTextLink
{
public:
    virtual ~IVexilWikiTextLink() = default;

    // Renders the wiki mark-up and rebuilds the table of links.
    virtual void SetStr(const QString& aText) = 0;
    // The rich text (RTF) of the last SetStr.
    virtual QString TextStr() const = 0;
    virtual void SetFont(const std::shared_ptr<CVexilFont>& aFont) = 0;
    // The target of the link that covers the character position aPosition of the rendered
    // text, counted as the rich text counts (a paragraph end is two characters); false when
    // no link covers it. A renderer without a table of links has none.
    virtual bool GetLink(int32_t aPosition, QString& aTarget) const
    {
        (void)aPosition;
        (void)aTarget;
        return false;
    }
};
