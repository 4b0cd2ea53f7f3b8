#pragma once

#include <QString>

class QTextDocument;

// Reads the rich text that the program writes (CVexilRichText) into a QTextDocument: the
// font and colour tables, paragraphs (\par) with their font and size (\f, \fs), bold,
// italic and underline (\b, \i, \ul), colours (\cf) and the escaped characters (\\, \{, \},
// \'hh, \u). Other control words are passed over. A paragraph end is one character of the
// document but two of the rich text; RtfPosition maps a document position to the latter.
class CVexilRtfReader
{
public:
    // Replaces the document's content; its undo history is cleared.
    static void Read(const QString& aRtf, QTextDocument& aDoc);
    // The position in the rich text's counting of the document position aPosition.
    static int RtfPosition(const QTextDocument& aDoc, int aPosition);
};
