#include "transfer/VexilHttpReply.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilLowLevel.h"

#include <QDateTime>

#include <algorithm>

const QString CVexilHttpStatus::Ok = QStringLiteral("200 OK");
const QString CVexilHttpStatus::BadRequest = QStringLiteral("400 Bad Request");
const QString CVexilHttpStatus::NotFound = QStringLiteral("404 Not Found");
const QString CVexilHttpStatus::InternalError = QStringLiteral("500 Internal Server Error");
const QString CVexilHttpStatus::NotImplemented = QStringLiteral("501 Not Implemented");

QString TReplyHead::Text() const
{
    const QString eol = CVexilGenDef::EolStr();
    QString text = QStringLiteral("HTTP/1.0 ") + Status + eol + QStringLiteral("Server: Quorvans 0.9") + eol;
    if (!ContentType.isEmpty())
    {
        text += QStringLiteral("Content-Type: ") + ContentType + eol;
        // The length keeps the leading blank of its number: two blanks after the colon.
        text += QStringLiteral("Content-Length:  ") + QString::number(Length) + eol;
        text += QStringLiteral("Last-Modified: ") + CVexilLowLevel::HttpDateStrGmt(Date) + eol;
    }
    return text + eol;
}

CVexilReplyBody::CVexilReplyBody() = default;
CVexilReplyBody::CVexilReplyBody(QByteArray aBytes) : iBytes(std::move(aBytes)), iLength(iBytes.size()) {}
CVexilReplyBody::CVexilReplyBody(std::unique_ptr<CVexilFile> aFile, int64_t aLength)
    : iFile(std::move(aFile)), iLength(aLength)
{
}
CVexilReplyBody::CVexilReplyBody(CVexilReplyBody&&) noexcept = default;
CVexilReplyBody& CVexilReplyBody::operator=(CVexilReplyBody&&) noexcept = default;
CVexilReplyBody::~CVexilReplyBody() = default;

QByteArray CVexilReplyBody::NextChunk()
{
    const int64_t count = std::min(kChunkSize, iLength - iSent);
    if (count <= 0)
        return {};
    QByteArray chunk =
        iFile ? iFile->ReadRawBytes(static_cast<int32_t>(count)) : iBytes.mid(iSent, count);
    iSent += count;
    return chunk;
}

double CVexilRequestHandler::NowGmt()
{
    static const QDate kDayZero(1899, 12, 30);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return static_cast<double>(kDayZero.daysTo(now.date())) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

TReply CVexilRequestHandler::HeaderOnly(const QString& aStatus)
{
    return {{aStatus, {}, 0, 0}, {}};
}

std::variant<TReply, TUploadRequest> CVexilRequestHandler::Handle(const CVexilHttpRequest& aRequest) const
{
    if (aRequest.Method() == EHttpOther)
        return HeaderOnly(CVexilHttpStatus::NotImplemented);
    if (!aRequest.Path())
        return HeaderOnly(CVexilHttpStatus::NotFound);
    switch (aRequest.Method())
    {
    case EHttpGet: return Get(*aRequest.Path());
    case EHttpHead: return Head(*aRequest.Path());
    default: return Put(aRequest);
    }
}

TReply CVexilRequestHandler::Get(const QString& aPath) const
{
    if (aPath == QLatin1String("/"))
    {
        QByteArray list = iFolder.StackList();
        const int64_t length = list.size();
        return {{CVexilHttpStatus::Ok, QStringLiteral("text/plain; charset=utf-8"), length, NowGmt()},
                CVexilReplyBody(std::move(list))};
    }
    const std::optional<QString> path = iFolder.ExistingFile(aPath);
    if (!path)
        return HeaderOnly(CVexilHttpStatus::NotFound);
    auto file = std::make_unique<CVexilFile>();
    int64_t size = 0;
    try
    {
        file->Construct(*path, EFilRead);
        file->OpenFile();
        size = file->Size();
    }
    catch (const CVexilException&)
    {
        return HeaderOnly(CVexilHttpStatus::InternalError);
    }
    const double date = CVexilLowLevel::FileModTimeGmt(*path).value_or(NowGmt());
    return {{CVexilHttpStatus::Ok, QStringLiteral("application/octet-stream"), size, date},
            CVexilReplyBody(std::move(file), size)};
}

TReply CVexilRequestHandler::Head(const QString& aPath) const
{
    const std::optional<QString> path = iFolder.ExistingFile(aPath);
    if (!path)
        return HeaderOnly(CVexilHttpStatus::NotFound);
    const double date = CVexilLowLevel::FileModTimeGmt(*path).value_or(NowGmt());
    return {{CVexilHttpStatus::Ok, QStringLiteral("text/html"), 0, date}, {}};
}

std::variant<TReply, TUploadRequest> CVexilRequestHandler::Put(const CVexilHttpRequest& aRequest) const
{
    const std::optional<QString> target = iFolder.TargetPath(*aRequest.Path());
    if (!target)
        return HeaderOnly(CVexilHttpStatus::NotFound);
    const std::optional<int64_t> length = aRequest.ContentLength();
    if (!length)
        return HeaderOnly(CVexilHttpStatus::BadRequest);
    std::optional<double> time;
    if (const std::optional<QString> date = aRequest.GetHeader(QStringLiteral("Last-Modified:")))
        time = CVexilLowLevel::HeaderTimeGmt(*date);
    return TUploadRequest{*target, *length, time};
}
