// The HTTP head reader and the request reader on arbitrary bytes arriving in pieces, and the
// request handler's answer over a small served folder, without sockets. The head reader keeps
// every byte: the head, the empty line and the rest are what arrived. An upload goes only to a
// plain name inside the served folder. Nothing raises.

#include "FuzzEnv.h"

#include "transfer/VexilHttpReply.h"
#include "transfer/VexilHttpRequest.h"
#include "transfer/VexilServedFolder.h"

#include <QDir>
#include <QFileInfo>

#include <variant>

namespace
{
const QByteArray kEmptyLine = "\r\n\r\n";

// A folder with a stack file, a hidden one and a subfolder.
const CVexilServedFolder& ServedFolder()
{
    static const CVexilServedFolder folder = [] {
        const QString path = FuzzPath(QStringLiteral("served"));
        QDir().mkpath(path + QStringLiteral("/sub"));
        WriteFuzzFile(QStringLiteral("served/A.Quorvan"), "Quorvan stack bytes");
        WriteFuzzFile(QStringLiteral("served/.hidden.Quorvan"), "hidden");
        WriteFuzzFile(QStringLiteral("served/sub/B.Quorvan"), "below");
        return CVexilServedFolder(path);
    }();
    return folder;
}

void CheckUpload(const TUploadRequest& aUpload)
{
    const QFileInfo target(aUpload.Target);
    if (target.absolutePath() != QFileInfo(FuzzPath(QStringLiteral("served"))).absoluteFilePath() ||
        !CVexilServedFolder::IsValidName(target.fileName()))
        Finding("an upload outside the served folder", aUpload.Target);
    if (aUpload.Length < 0 || aUpload.Length > CVexilHttpRequest::kMaxContentLength)
        Finding("an upload of a length out of range", QString::number(aUpload.Length));
}

void Answer(const CVexilHttpRequest& aRequest)
{
    aRequest.Method();
    aRequest.Path();
    aRequest.GetHeader(QStringLiteral("Last-Modified"));
    const std::optional<int64_t> length = aRequest.ContentLength();
    if (length && (*length < 0 || *length > CVexilHttpRequest::kMaxContentLength))
        Finding("a Content-Length out of range", QString::number(*length));
    std::variant<TReply, TUploadRequest> answer = CVexilRequestHandler(ServedFolder()).Handle(aRequest);
    if (auto* upload = std::get_if<TUploadRequest>(&answer))
    {
        CheckUpload(*upload);
        return;
    }
    TReply& reply = std::get<TReply>(answer);
    reply.Head.Text();
    int64_t sent = 0;
    while (!reply.Body.AtEnd())
        sent += reply.Body.NextChunk().size();
    if (sent != reply.Body.Length())
        Finding("a reply body of another length than announced");
}
}  // namespace

// The first byte is the size of the pieces the rest arrives in (0: all at once).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    if (aSize == 0)
        return 0;
    const QByteArray data = InputBytes(aData + 1, aSize - 1);
    const qsizetype piece = aData[0] == 0 ? data.size() + 1 : aData[0];
    CVexilHeadReader reader;
    for (qsizetype at = 0; at < data.size(); at += piece)
    {
        const CVexilHeadReader::EHeadState before = reader.State();
        const CVexilHeadReader::EHeadState state = reader.Add(data.mid(at, piece));
        if (before != CVexilHeadReader::EHeadIncomplete && state != before)
            Finding("the head reader changed its mind", QString::number(at));
    }
    if (reader.State() != CVexilHeadReader::EHeadComplete)
        return 0;
    const QByteArray head = reader.Head();
    if (head.contains(kEmptyLine) || head.size() + kEmptyLine.size() > CVexilHeadReader::kMaxHeadBytes ||
        head + kEmptyLine + reader.TakeRest() != data)
        Finding("the head and the rest are not the bytes that arrived");
    Answer(CVexilHttpRequest(head));
    return 0;
}
