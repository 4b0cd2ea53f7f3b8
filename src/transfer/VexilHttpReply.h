#pragma once

#include "transfer/VexilHttpRequest.h"
#include "transfer/VexilServedFolder.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

class CVexilFile;

// Status texts of the replies.
struct CVexilHttpStatus
{
    static const QString Ok;
    static const QString BadRequest;
    static const QString NotFound;
    static const QString InternalError;
    static const QString NotImplemented;
};

// The header of a reply. Without a content type it is the status and banner lines only.
struct TReplyHead
{
    QString Status;
    QString ContentType;
    int64_t Length = 0;
    double Date = 0;  // GMT date and time

    QString Text() const;
};

// The body of a reply, handed out in chunks: the stack list from memory or a file from disk.
class CVexilReplyBody
{
public:
    static constexpr int64_t kChunkSize = 64 * 1024;

    CVexilReplyBody();
    explicit CVexilReplyBody(QByteArray aBytes);
    // Takes the open file; sends aLength bytes of it.
    CVexilReplyBody(std::unique_ptr<CVexilFile> aFile, int64_t aLength);
    CVexilReplyBody(CVexilReplyBody&&) noexcept;
    CVexilReplyBody& operator=(CVexilReplyBody&&) noexcept;
    ~CVexilReplyBody();

    int64_t Length() const { return iLength; }
    bool AtEnd() const { return iSent >= iLength; }
    // The next bytes, no more than kChunkSize; a failing read raises the file's error.
    QByteArray NextChunk();

private:
    QByteArray iBytes;
    std::unique_ptr<CVexilFile> iFile;
    int64_t iLength = 0;
    int64_t iSent = 0;
};

struct TReply
{
    TReplyHead Head;
    CVexilReplyBody Body;
};

// A PUT that may store: where, how many bytes, and the time the stored file gets.
struct TUploadRequest
{
    QString Target;
    int64_t Length = 0;
    std::optional<double> Time;  // GMT; none keeps the time of storing
};

// Chooses what the server does with one request head.
class CVexilRequestHandler
{
public:
    explicit CVexilRequestHandler(const CVexilServedFolder& aFolder) : iFolder(aFolder) {}

    // The reply to the request; a PUT that may store yields its upload instead.
    std::variant<TReply, TUploadRequest> Handle(const CVexilHttpRequest& aRequest) const;
    // A reply of the status and banner lines only.
    static TReply HeaderOnly(const QString& aStatus);
    // The current GMT date and time.
    static double NowGmt();

private:
    TReply Get(const QString& aPath) const;
    TReply Head(const QString& aPath) const;
    std::variant<TReply, TUploadRequest> Put(const CVexilHttpRequest& aRequest) const;

    const CVexilServedFolder& iFolder;
};
