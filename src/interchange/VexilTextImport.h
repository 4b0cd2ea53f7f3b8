#pragma once

#include "model/VexilStack.h"

#include <QString>
#include <QStringList>

#include <functional>

// Replaces the cards of one background by cards holding a plain text file, 50 lines a card,
// in the background's field "Text", named "1", "2", ... The field is checked and the whole
// file read before any card is deleted: a missing or unusable field is reported to the user
// (messages 22 and 23) and changes nothing, a file that cannot be read or (for a binary
// stack) holds a block too long for it is an error, and the cards stay.
class CVexilTextImport
{
public:
    static constexpr int32_t KLinesPerCard = 50;

    // The field "Text" of the background, or none after the message has been shown.
    static TControlRef TextField(const CVexilControlSet& aBackground);
    // The reading step: the blocks of the file (lines joined by CR LF). The file is
    // Windows-1252 unless it begins with a UTF-8 byte order mark; a lone LF ends a line too.
    static QStringList ReadBlocks(const CVexilStack& aStack, const QString& aFileName);
    // The building step: aDeleteCards removes the background's cards (the stack view's
    // DeleteBackground, which first leaves a card of them); the new cards take their place.
    static void Build(CVexilStack& aStack, const TControlSetRef& aBackground, int32_t aTextFieldId,
                      const QStringList& aBlocks, const std::function<void()>& aDeleteCards);
    // All steps; errors go to the caller with the context "CVexilImports.ImportTextFile".
    // Without aDeleteCards the stack deletes the cards itself.
    static void ImportTextFile(CVexilStack& aStack, const QString& aFileName, const TControlSetRef& aBackground,
                               const std::function<void()>& aDeleteCards = {});
};
