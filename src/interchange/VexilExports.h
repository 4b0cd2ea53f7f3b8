#pragma once

#include "foundation/VexilValueDef.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"

#include <QString>

// The exports: the cards of one background as CSV. A file is written beside the old one and
// replaces it only when complete, so a failure leaves the old file as it was.
class CVexilExports
{
public:
    // Sets the quote strings; the start procedure calls it once.
    static void InitExports();
    // The text in double quotes, its quotes doubled and each CR LF written as "&eol;".
    static QString CsvQuote(const QString& aText);
    static QString ValueCsvText(const TValue& aVal, const CVexilControl& aField);
    // A header of field names, then one line per card of the background in stack order. The
    // file is in the system code page when every text fits it, else UTF-8 with a byte-order
    // mark. A background that aStack no longer holds is refused (1082) before the file is touched.
    static void ExportCsv(const QString& aFile, const CVexilStack& aStack, const TControlSetRef& aBackground,
                          const QString& aDelim);

    // ---- Card-list XML (VexilImportsFormats.cpp): every card of aStack written beside the
    // file, which it replaces when complete (CVexilXmlCardList).
    static void ExportXml(CVexilStack& aStack, const QString& aFileName);

private:
    // CsvQuote of aText, appended to aLine.
    static void AppendQuoted(const QString& aText, QString& aLine);

    static inline QString gQuote;
    static inline QString gQuote2;
};
