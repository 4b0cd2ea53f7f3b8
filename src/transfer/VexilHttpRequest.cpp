#include "transfer/VexilHttpRequest.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilLowLevel.h"

#include <QStringDecoder>

#include <algorithm>

namespace
{
const QByteArray kEmptyLine = QByteArrayLiteral("\r\n\r\n");

bool IsUtf8(const QByteArray& aBytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = decoder(aBytes);
    return !decoder.hasError();
}

// The path of a request line after the method word: up to the next blank, then
// percent-decoded to bytes, which must be UTF-8.
std::optional<QString> DecodePath(const QString& aRest)
{
    QString path;
    QString version;
    CVexilLib::SplitAt(aRest, QStringLiteral(" "), path, version);
    const QByteArray bytes = CVexilCodePage::FromStr(CVexilLib::UrlDecode(path));
    if (!IsUtf8(bytes))
        return std::nullopt;
    return CVexilLowLevel::FromUtf8(bytes);
}

QString WithoutLeadingBlanks(const QString& aText)
{
    qsizetype i = 0;
    while (i < aText.size() && (aText[i] == QLatin1Char(' ') || aText[i] == QLatin1Char('\t')))
        ++i;
    return aText.mid(i);
}
}  // namespace

CVexilHeadReader::EHeadState CVexilHeadReader::Add(const QByteArray& aData)
{
    const qsizetype oldSize = iData.size();
    iData.append(aData);
    if (iState != EHeadIncomplete)
        return iState;

    // The empty line may have begun in an earlier arrival.
    const qsizetype end = iData.indexOf(kEmptyLine, std::max<qsizetype>(0, oldSize - 3));
    // Count the line ends of the head lines; the last one is the first half of the empty line.
    const qsizetype countTo = end < 0 ? iData.size() : end + 2;
    for (qsizetype i = std::max<qsizetype>(iScanned, 1); i < countTo; ++i)
    {
        if (iData[i] == '\n' && iData[i - 1] == '\r')
            ++iLineEnds;
    }
    iScanned = countTo;

    if (iLineEnds > kMaxHeadLines)
        iState = EHeadTooLong;
    else if (end < 0)
        iState = iData.size() >= kMaxHeadBytes ? EHeadTooLong : EHeadIncomplete;
    else if (end + kEmptyLine.size() > kMaxHeadBytes)
        iState = EHeadTooLong;
    else
    {
        iHeadLen = end;
        iState = EHeadComplete;
    }
    return iState;
}

QByteArray CVexilHeadReader::TakeRest()
{
    if (iState != EHeadComplete)
        return {};
    const qsizetype restStart = iHeadLen + kEmptyLine.size();
    QByteArray rest = iData.mid(restStart);
    iData.truncate(restStart);
    return rest;
}

void CVexilHeadReader::Clear()
{
    *this = CVexilHeadReader();
}

CVexilHttpRequest::CVexilHttpRequest(const QByteArray& aHead)
{
    const QString text = CVexilCodePage::ToStr(aHead);
    int count = 0;
    iLines = QStringList(text.count(CVexilGenDef::EolStr()) + 1);
    CVexilLib::SplitLines(text, iLines, count);
    iLines.resize(count);
    if (!iLines.isEmpty())
        iRequestLine = iLines.first();

    struct TMethodWord
    {
        QLatin1StringView Word;
        EHttpMethod Method;
    };
    static constexpr TMethodWord kMethods[] = {
        {QLatin1StringView("GET "), EHttpGet},
        {QLatin1StringView("HEAD "), EHttpHead},
        {QLatin1StringView("PUT "), EHttpPut},
    };
    for (const TMethodWord& m : kMethods)
    {
        if (CVexilLib::StartsWith(iRequestLine, m.Word))
        {
            iMethod = m.Method;
            iPath = DecodePath(iRequestLine.mid(m.Word.size()));
            break;
        }
    }
}

std::optional<QString> CVexilHttpRequest::GetHeader(const QString& aName) const
{
    // Line 0 is the request line, never a header.
    for (qsizetype i = 1; i < iLines.size(); ++i)
    {
        if (iLines[i].startsWith(aName, Qt::CaseInsensitive))
            return WithoutLeadingBlanks(iLines[i].mid(aName.size()));
    }
    return std::nullopt;
}

std::optional<int64_t> CVexilHttpRequest::ContentLength() const
{
    const std::optional<QString> value = GetHeader(QStringLiteral("Content-Length:"));
    if (!value)
        return std::nullopt;
    const QString digits = value->trimmed();
    const bool allDigits = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    bool ok = false;
    const qlonglong length = allDigits ? digits.toLongLong(&ok) : 0;
    if (!ok || length > kMaxContentLength)
        return std::nullopt;
    return length;
}
