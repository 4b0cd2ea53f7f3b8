#include "transfer/VexilSocket.h"

#include <QTcpServer>
#include <QTcpSocket>

CVexilSocket::CVexilSocket(QObject* aParent) : QObject(aParent), iServer(new QTcpServer(this))
{
    connect(iServer, &QTcpServer::newConnection, this, &CVexilSocket::OnNewConnection);
    connect(iServer, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError aError) {
        emit Error(aError, iServer->errorString());
    });
}

CVexilSocket::~CVexilSocket()
{
    Close();
}

bool CVexilSocket::Listen(const QHostAddress& aAddress)
{
    if (!iServer->listen(aAddress, iLocalPort))
    {
        iErrorString = iServer->errorString();
        return false;
    }
    iLocalPort = iServer->serverPort();
    return true;
}

void CVexilSocket::OnNewConnection()
{
    while (iServer->isListening() && iServer->hasPendingConnections())
    {
        QTcpSocket* socket = iServer->nextPendingConnection();
        socket->setParent(this);
        const int32_t id = ++iNextRequestId;
        iRequests[id] = socket;
        emit ConnectionRequest(id);
        // Not accepted by the handler: refused.
        if (const auto it = iRequests.find(id); it != iRequests.end())
        {
            it->second->abort();
            it->second->deleteLater();
            iRequests.erase(it);
        }
    }
}

bool CVexilSocket::Accept(int32_t aRequestId)
{
    const auto it = iRequests.find(aRequestId);
    if (it == iRequests.end() || iConn)
        return false;
    iConn = it->second;
    iRequests.erase(it);
    connect(iConn, &QTcpSocket::readyRead, this, [this] { emit DataArrival(iConn->bytesAvailable()); });
    connect(iConn, &QTcpSocket::bytesWritten, this, &CVexilSocket::OnBytesWritten);
    connect(iConn, &QTcpSocket::disconnected, this, &CVexilSocket::OnDisconnected);
    connect(iConn, &QTcpSocket::errorOccurred, this, &CVexilSocket::OnConnError);
    return iConn->state() == QAbstractSocket::ConnectedState;
}

void CVexilSocket::Close()
{
    iServer->close();
    DropConnection();
}

void CVexilSocket::DropConnection()
{
    if (!iConn)
        return;
    iConn->disconnect(this);
    iConn->abort();
    iConn->deleteLater();
    iConn = nullptr;
}

ESockState CVexilSocket::State() const
{
    if (iConn)
        return ESckConnected;
    return iServer->isListening() ? ESckListening : ESckClosed;
}

qint64 CVexilSocket::BytesReceived() const
{
    return iConn ? iConn->bytesAvailable() : 0;
}

QByteArray CVexilSocket::GetData(qint64 aMaxLen)
{
    if (!iConn)
        return {};
    return aMaxLen < 0 ? iConn->readAll() : iConn->read(aMaxLen);
}

void CVexilSocket::SendData(const QByteArray& aData)
{
    if (iConn)
        iConn->write(aData);
}

void CVexilSocket::OnBytesWritten()
{
    if (iConn && iConn->bytesToWrite() == 0)
        emit SendComplete();
}

void CVexilSocket::OnDisconnected()
{
    DropConnection();
    emit Closed();
}

void CVexilSocket::OnConnError()
{
    // A peer that closes is reported by Closed, not as an error.
    if (!iConn || iConn->error() == QAbstractSocket::RemoteHostClosedError)
        return;
    emit Error(iConn->error(), iConn->errorString());
}
