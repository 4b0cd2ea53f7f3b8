#include "interchange/VexilExports.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilFileReplace.h"

namespace
{
const QString kContext = QStringLiteral("CVexilExports.ExportCsv");
const QString kCrLf = QStringLiteral("\r\n");

// The text in the system code page, or empty when a character does not fit it.
bool ToCodePage(const QString& aText, QByteArray& aBytes)
{
    aBytes.resize(aText.size());
    char* out = aBytes.data();
    for (const QChar ch : aText)
    {
        const char16_t unit = ch.unicode();
        if (unit < 0x80)
        {
            *out++ = char(unit);
            continue;
        }
        if (ch.isSurrogate())
            return false;
        const uint8_t byte = CVexilCodePage::CharToByte(unit);
        if (byte == '?')
            return false;
        *out++ = char(byte);
    }
    return true;
}

QByteArray FileBytes(const QString& aText)
{
    QByteArray bytes;
    if (ToCodePage(aText, bytes))
        return bytes;
    return QByteArrayLiteral("\xEF\xBB\xBF") + aText.toUtf8();
}
}  // namespace

void CVexilExports::InitExports()
{
    gQuote = QStringLiteral("\"");
    gQuote2 = QStringLiteral("\"\"");
}

QString CVexilExports::CsvQuote(const QString& aText)
{
    QString item;
    AppendQuoted(aText, item);
    return item;
}

void CVexilExports::AppendQuoted(const QString& aText, QString& aLine)
{
    // Most texts hold neither a quote nor a line break and are copied as they are.
    if (!aText.contains(gQuote) && !aText.contains(u'\r'))
    {
        aLine += gQuote;
        aLine += aText;
        aLine += gQuote;
        return;
    }
    QString text = aText;
    CVexilLib::ReplaceAll(text, gQuote, gQuote2);
    CVexilLib::CrLfToEol(text);
    aLine += gQuote;
    aLine += text;
    aLine += gQuote;
}

QString CVexilExports::ValueCsvText(const TValue& aVal, const CVexilControl& aField)
{
    return CsvQuote(CVexilValue::ValToExtText(aVal, aField));
}

void CVexilExports::ExportCsv(const QString& aFile, const CVexilStack& aStack, const TControlSetRef& aBackground,
                              const QString& aDelim)
{
    if (!aBackground || aStack.Background(aBackground->Id()) != aBackground)
        CVexilError::Throw(EMsgBackgroundNotFound, kContext, aBackground ? aBackground->Name() : QString());
    std::vector<TControlRef> fields;
    TControlRef field;
    int32_t cursor = 0;
    for (bool found = aBackground->GetFirstControl(field, cursor); found;
         found = aBackground->GetNextControl(field, cursor))
        fields.push_back(field);

    QString text;
    for (size_t i = 0; i < fields.size(); ++i)
    {
        if (i > 0)
            text += aDelim;
        AppendQuoted(fields[i]->Name(), text);
    }
    text += kCrLf;
    TCardRef card;
    TValue val;
    for (bool found = aStack.GetFirstCardInBackground(aBackground->Id(), card, cursor); found;
         found = aStack.GetNextCardInBackground(aBackground->Id(), card, cursor))
    {
        for (size_t i = 0; i < fields.size(); ++i)
        {
            if (i > 0)
                text += aDelim;
            card->GetControlVal(fields[i]->Id(), val, true);
            AppendQuoted(CVexilValue::ValToExtText(val, *fields[i]), text);
        }
        text += kCrLf;
    }

    CVexilFileReplace target(aFile);
    CVexilFile file;
    file.Construct(target.NewName(), EFilWrite);
    file.OpenFile();
    file.WriteRawBytes(FileBytes(text));
    file.CloseFile();
    target.Commit();
}
