#pragma once

#include <QString>

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
};
