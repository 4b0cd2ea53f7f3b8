#include "transfer/VexilHttpServer.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilStackFolder.h"
#include "transfer/VexilServedFolder.h"
#include "transfer/VexilUpload.h"

#include <exception>

CVexilHttpServer::CVexilHttpServer(IVexilStatusPanels& aPanels, uint16_t aPort, const QHostAddress& aAddress)
    : iPanels(aPanels), iAddress(aAddress)
{
    iSocket.SetLocalPort(aPort);
    connect(&iSocket, &CVexilSocket::ConnectionRequest, this, &CVexilHttpServer::OnConnectionRequest);
    connect(&iSocket, &CVexilSocket::DataArrival, this, &CVexilHttpServer::OnDataArrival);
    connect(&iSocket, &CVexilSocket::SendComplete, this, &CVexilHttpServer::OnSendComplete);
    connect(&iSocket, &CVexilSocket::Closed, this, [this] { Guarded([this] { CloseConnection(); }); });
    connect(&iSocket, &CVexilSocket::Error, this,
            [this](int32_t, const QString& aDescription) { OnError(aDescription); });
    for (QTimer* timer : {&iHeadTimer, &iIdleTimer, &iListenTimer})
        timer->setSingleShot(true);
    SetLimits(TLimits());
    for (QTimer* timer : {&iHeadTimer, &iIdleTimer})
        connect(timer, &QTimer::timeout, this, [this] { Guarded([this] { CloseConnection(); }); });
    connect(&iListenTimer, &QTimer::timeout, this, [this] { Guarded([this] { StartListening(); }); });

    StartListening();
}

CVexilHttpServer::~CVexilHttpServer() = default;

void CVexilHttpServer::SetLimits(const TLimits& aLimits)
{
    iHeadTimer.setInterval(aLimits.Head);
    iIdleTimer.setInterval(aLimits.Idle);
    iListenTimer.setInterval(aLimits.ListenRetry);
}

template <typename F>
void CVexilHttpServer::Guarded(F aHandler)
{
    try
    {
        aHandler();
    }
    catch (const std::exception&)
    {
        CloseConnection();
    }
}

bool CVexilHttpServer::Listen()
{
    if (iSocket.Listen(iAddress))
    {
        iListenTimer.stop();
        return true;
    }
    iPanels.SetStatusPanel3(QStringLiteral("Socket error: ") + iSocket.ErrorString());
    // The server must not stay deaf for good: phones would find another program there.
    iListenTimer.start();
    return false;
}

void CVexilHttpServer::StartListening()
{
    if (Listen())
        iPanels.SetStatusPanel3(QStringLiteral("Stack transfer server waiting"));
}

void CVexilHttpServer::OnConnectionRequest(int32_t aRequestId)
{
    Guarded([&] {
        // Stop listening: further connections are refused while this one is served.
        iSocket.Close();
        if (!iSocket.Accept(aRequestId))
        {
            CloseConnection();
            return;
        }
        iPhase = EReadingHead;
        // The head's time runs from the connection: bytes that trickle in do not extend it.
        iHeadTimer.start();
        iIdleTimer.start();
        iPanels.SetStatusPanel3(QStringLiteral("Connection opened"));
    });
}

void CVexilHttpServer::OnDataArrival()
{
    Guarded([&] {
        iIdleTimer.start();
        switch (iPhase)
        {
        case EReadingHead:
            switch (iHead.Add(iSocket.GetData()))
            {
            case CVexilHeadReader::EHeadIncomplete: break;
            case CVexilHeadReader::EHeadTooLong: CloseConnection(); break;
            case CVexilHeadReader::EHeadComplete:
            {
                const QByteArray rest = iHead.TakeRest();
                StartRequest(CVexilHttpRequest(iHead.Head()), rest);
                break;
            }
            }
            break;
        case EReceivingBody:
            // Bytes beyond the announced length stay unread.
            ReceiveBody(iSocket.GetData(iUpload->Remaining()));
            break;
        case EReplying:
            // One request per connection: anything more is dropped.
            iSocket.GetData();
            break;
        }
    });
}

void CVexilHttpServer::StartRequest(const CVexilHttpRequest& aRequest, const QByteArray& aRest)
{
    iHeadTimer.stop();
    iPanels.SetStatusPanel1(aRequest.RequestLine());
    const CVexilServedFolder folder(gStackFolder);
    auto action = CVexilRequestHandler(folder).Handle(aRequest);
    if (auto* reply = std::get_if<TReply>(&action))
    {
        SendReply(std::move(*reply));
        return;
    }
    iUpload = std::make_unique<CVexilUpload>(folder.TempPath(), std::get<TUploadRequest>(std::move(action)));
    iPhase = EReceivingBody;
    ReceiveBody(aRest.left(iUpload->Remaining()));
}

void CVexilHttpServer::ReceiveBody(const QByteArray& aBytes)
{
    iUpload->Write(aBytes);
    if (iUpload->Remaining() > 0)
    {
        iPanels.SetStatusPanel3(QString::number(iUpload->Received()) + QStringLiteral(" bytes received"));
        return;
    }
    // The reply waits until the file is in place, so that 200 means stored.
    const bool stored = iUpload->Finish();
    const int64_t length = iUpload->Length();
    iUpload.reset();
    SendReply(CVexilRequestHandler::HeaderOnly(stored ? CVexilHttpStatus::Ok : CVexilHttpStatus::InternalError));
    iPanels.SetStatusPanel3(QStringLiteral("Receiving of all ") + QString::number(length) +
                            QStringLiteral(" bytes completed"));
}

void CVexilHttpServer::SendReply(TReply aReply)
{
    iPhase = EReplying;
    QString header = aReply.Head.Text();
    iSocket.SendData(CVexilCodePage::FromStr(header));
    header.replace(CVexilGenDef::EolStr(), QStringLiteral(", "));
    iPanels.SetStatusPanel2(header);
    iBody = std::move(aReply.Body);
    if (!iBody.AtEnd())
    {
        iSocket.SendData(iBody.NextChunk());
        iPanels.SetStatusPanel3(QStringLiteral("Sending ") + QString::number(iBody.Length()) +
                                QStringLiteral(" bytes"));
    }
}

void CVexilHttpServer::OnSendComplete()
{
    Guarded([&] {
        if (iPhase != EReplying)
            return;
        iIdleTimer.start();
        if (iBody.AtEnd())
            CloseConnection();
        else
            iSocket.SendData(iBody.NextChunk());
    });
}

void CVexilHttpServer::OnError(const QString& aDescription)
{
    iPanels.SetStatusPanel3(QStringLiteral("Socket error: ") + aDescription);
    Guarded([this] { CloseConnection(); });
}

void CVexilHttpServer::CloseConnection()
{
    iHeadTimer.stop();
    iIdleTimer.stop();
    iSocket.Close();
    iUpload.reset();
    iBody = CVexilReplyBody();
    iHead.Clear();
    iPhase = EReadingHead;
    iPanels.SetStatusPanel3(QStringLiteral("Connection closed"));
    Listen();
}
