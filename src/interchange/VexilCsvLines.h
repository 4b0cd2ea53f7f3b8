#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// The lines of a CSV file as read. Each line holds only its own items (at most
// KMaxItems); an item a line lacks reads as "". The texts of all items stand back to back in
// one buffer, so a million lines cost their text and one offset an item.
class CVexilCsvLines
{
public:
    static constexpr int KMaxItems = 20;

    void Clear();
    int32_t Count() const { return int32_t(iLineStart.size()) - 1; }
    int16_t NumItems(int32_t aLine) const { return int16_t(iLineStart[aLine + 1] - iLineStart[aLine]); }
    QStringView Item(int32_t aLine, int aItem) const
    {
        const int64_t item = iLineStart[aLine] + aItem;
        if (aItem < 0 || item >= iLineStart[aLine + 1])
            return {};
        return QStringView(iText).mid(iItemStart[item], iItemStart[item + 1] - iItemStart[item]);
    }

    // Building: the items go to the line being built, which EndLine stores.
    QString& Text() { return iText; }
    // Ends the item whose characters were appended to Text() since the previous one.
    void EndItem() { iItemStart.push_back(iText.size()); }
    void EndLine() { iLineStart.push_back(int64_t(iItemStart.size()) - 1); }
    int16_t PendingItems() const { return int16_t(int64_t(iItemStart.size()) - 1 - iLineStart.back()); }

private:
    QString iText;
    std::vector<qsizetype> iItemStart{0};  // item i is iText[iItemStart[i], iItemStart[i + 1])
    std::vector<int64_t> iLineStart{0};    // line l has the items [iLineStart[l], iLineStart[l + 1])
};
