#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Gathers a request head over as many data arrivals as it takes, up to the empty line
// (CR LF CR LF). Bytes after the empty line stay bytes: they start a PUT body.
class CVexilHeadReader
{
public:
    static constexpr qsizetype kMaxHeadBytes = 8192;  // the empty line included
    static constexpr int kMaxHeadLines = 100;

    enum EHeadState
    {
        EHeadIncomplete,
        EHeadComplete,
        EHeadTooLong,
    };

    // Adds arrived bytes; once the head is complete further bytes join the rest.
    EHeadState Add(const QByteArray& aData);
    EHeadState State() const { return iState; }
    // The head without its empty line.
    QByteArray Head() const { return iData.left(iHeadLen); }
    // The bytes after the empty line, taken once.
    QByteArray TakeRest();
    void Clear();

private:
    QByteArray iData;
    qsizetype iScanned = 0;   // bytes searched for line ends so far
    int iLineEnds = 0;        // CR LF pairs before iScanned
    qsizetype iHeadLen = -1;  // set when complete
    EHeadState iState = EHeadIncomplete;
};

enum EHttpMethod : int32_t
{
    EHttpOther,
    EHttpGet,
    EHttpHead,
    EHttpPut,
};

// A request head: its lines (line 0 the request line), the method and the decoded path.
class CVexilHttpRequest
{
public:
    explicit CVexilHttpRequest(const QByteArray& aHead);

    const QString& RequestLine() const { return iRequestLine; }
    EHttpMethod Method() const { return iMethod; }
    // The path after percent- and UTF-8 decoding; no value when its bytes are not UTF-8.
    const std::optional<QString>& Path() const { return iPath; }
    // The value of the first header line that begins with aName (case ignored), leading
    // blanks removed; no value when no line does.
    std::optional<QString> GetHeader(const QString& aName) const;
    // The Content-Length: a decimal number of 0 up to 2 GiB; no value when missing or anything else.
    std::optional<int64_t> ContentLength() const;

    static constexpr int64_t kMaxContentLength = int64_t{1} << 31;

private:
    QStringList iLines;
    QString iRequestLine;
    EHttpMethod iMethod = EHttpOther;
    std::optional<QString> iPath;
};
