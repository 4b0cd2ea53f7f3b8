#include "interchange/VexilCsvReader.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilError.h"

#include <fcntl.h>

#include <cerrno>

namespace
{
const QString kContext = QStringLiteral("CVexilImports.ImportCsv1");
constexpr int kDeviceIoError = 57;

// The characters of the system code page, by byte.
struct TCodePageTable
{
    char16_t Char[256];
    TCodePageTable()
    {
        for (int byte = 0; byte < 256; ++byte)
            Char[byte] = CVexilCodePage::ByteToChar(uint8_t(byte)).unicode();
    }
};
}  // namespace

CVexilCsvReader::CVexilCsvReader(QChar aDelim, EFilCoding aCoding, int aMaxLen)
    : iDelim(aDelim.unicode() < 0x80 ? aDelim.unicode() : kEof)
    , iCoding(aCoding)
    , iMaxLen(aMaxLen)
    // No character takes more than three bytes of UTF-8 for one UTF-16 code unit.
    , iMaxBytes(int64_t(aMaxLen) * 3)
{
}

bool CVexilCsvReader::Read(const QString& aFile, CVexilCsvLines& aLines)
{
    iFileName = aFile;
    if (!iFile.Open(aFile, O_RDONLY))
    {
        const int error = iFile.LastError();
        const bool refused = error == EACCES || error == EPERM;
        CVexilError::Throw(refused ? EErrNoFileAccess : EErrFileNotFound, kContext, aFile);
    }
    aLines.Clear();
    if (Peek() == 0xEF && iEnd - iNext >= 3 && uint8_t(iNext[1]) == 0xBB && uint8_t(iNext[2]) == 0xBF)
    {
        iNext += 3;
        iCoding = EFilUtf8;
    }
    if (Peek() == kEof)
    {
        iFile.Close();
        return false;
    }
    while (Peek() != kEof)
        ReadLine(aLines);
    iFile.Close();
    return true;
}

bool CVexilCsvReader::Refill()
{
    // The window is taken whole at once; its bytes stay valid until the next call.
    const auto window = iFile.Window();
    if (window.empty())
    {
        if (iFile.LastError() != 0)
            CVexilError::RaiseRunError(kDeviceIoError, kContext);
        iNext = iEnd = nullptr;
        return false;
    }
    iNext = window.data();
    iEnd = window.data() + window.size();
    iFile.Consume(int64_t(window.size()));
    return true;
}

void CVexilCsvReader::SkipLineEnd()
{
    const int ch = Peek();
    if (ch == kEof)
        return;
    Skip();
    if (ch == '\r' && Peek() == '\n')
        Skip();
}

void CVexilCsvReader::ReadLine(CVexilCsvLines& aLines)
{
    for (;;)
    {
        while (Peek() == ' ')
            Skip();
        const int ch = Peek();
        if (AtLineEnd(ch))
            break;
        iItem.resize(0);
        if (ch == iDelim)
            Skip();
        else if (ch == '"')
            ReadQuoted();
        else
            ReadPlain();
        EndItem(aLines);
    }
    SkipLineEnd();
    aLines.EndLine();
}

void CVexilCsvReader::ReadQuoted()
{
    Skip();  // the opening quote
    for (;;)
    {
        const int ch = Peek();
        if (ch == '"')
        {
            Skip();
            if (Peek() != '"')
            {
                if (Peek() == iDelim)
                    Skip();
                return;
            }
            Skip();
            AddByte('"');
        }
        else if (ch == kEof)
        {
            Refuse(QStringLiteral("The file ends inside a quoted item."));
        }
        else if (ch == '\r' || ch == '\n')
        {
            SkipLineEnd();
            if (Peek() == kEof)
                Refuse(QStringLiteral("The file ends inside a quoted item."));
            AddByte('\r');
            AddByte('\n');
        }
        else
        {
            Skip();
            AddByte(char(ch));
        }
    }
}

void CVexilCsvReader::ReadPlain()
{
    for (int ch = Peek(); ch != iDelim && !AtLineEnd(ch); ch = Peek())
    {
        Skip();
        AddByte(char(ch));
    }
    if (Peek() == iDelim)
        Skip();
}

void CVexilCsvReader::AddByte(char aByte)
{
    if (iItem.size() >= iMaxBytes)
        Refuse(QStringLiteral("An item is longer than %1 characters.").arg(iMaxLen));
    iItem.append(aByte);
}

void CVexilCsvReader::EndItem(CVexilCsvLines& aLines)
{
    if (aLines.PendingItems() >= CVexilCsvLines::KMaxItems)
    {
        iTooManyItems = true;
        return;
    }
    QString& text = aLines.Text();
    const qsizetype start = text.size();
    if (iCoding == EFilUtf8)
    {
        text.append(QString::fromUtf8(iItem));
    }
    else
    {
        static const TCodePageTable table;
        text.resize(start + iItem.size());
        char16_t* out = reinterpret_cast<char16_t*>(text.data()) + start;
        for (const char byte : std::as_const(iItem))
            *out++ = table.Char[uint8_t(byte)];
    }
    if (text.size() - start > iMaxLen)
        Refuse(QStringLiteral("An item is longer than %1 characters.").arg(iMaxLen));
    aLines.EndItem();
}

void CVexilCsvReader::Refuse(const QString& aWhy) const
{
    CVexilError::Throw(EErrWrongFormat, kContext, iFileName, aWhy);
}
