#pragma once

#include "model/VexilStack.h"

#include <QString>

#include <utility>
#include <vector>

// The card-list XML: a flat list of cards under the root "quorvan" version "1.0", each naming
// its background and giving its field values as display text by field name. The import reads
// and checks the whole file before the stack changes: a wrong version, an unexpected tag or
// bad XML is error 1007 naming the file, a background or field the stack lacks is 1082 or
// 1083 with its name, and nothing is added. Values of picture and command fields are skipped;
// the import reads back exactly the display text the export wrote.
class CVexilXmlCardList
{
public:
    // One card of the file, checked against the stack.
    struct TCardEntry
    {
        QString Name;
        TControlSetRef Background;
        std::vector<std::pair<int32_t, TValue>> Values;  // field id, value (later ones win)
    };

    // Writes every card of the stack in stack order beside the file, then replaces the file
    // with it; after a failure the old file is unchanged.
    static void ExportXml(CVexilStack& aStack, const QString& aFileName);

    // The reading step: touches no stack.
    static std::vector<TCardEntry> ReadCards(const CVexilStack& aStack, const QString& aFileName);
    // The building step: appends the cards with initial values, then stores their values.
    // The card-order broadcast waits until all are in.
    static void AddCards(CVexilStack& aStack, const std::vector<TCardEntry>& aCards);
    // Both steps; errors go to the caller with the context "CVexilImports.ImportXml".
    static void ImportXml(CVexilStack& aStack, const QString& aFileName);
};
