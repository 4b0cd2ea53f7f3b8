#pragma once

#include <QHostAddress>
#include <QObject>

#include <cstdint>
#include <map>

class QTcpServer;
class QTcpSocket;

// What State() reports; 0 is closed.
enum ESockState : int32_t
{
    ESckClosed = 0,
    ESckListening = 2,
    ESckConnected = 7,
};

// One TCP socket that either listens or holds one open connection, single-threaded on the
// event loop. A connection request that is not accepted inside its event is refused.
// Events: ConnectionRequest, DataArrival, SendComplete, Closed (by the peer), Error.
class CVexilSocket : public QObject
{
    Q_OBJECT

public:
    explicit CVexilSocket(QObject* aParent = nullptr);
    ~CVexilSocket() override;

    // 0 lets the system choose a free port; after listening LocalPort is the port in use.
    void SetLocalPort(uint16_t aPort) { iLocalPort = aPort; }
    uint16_t LocalPort() const { return iLocalPort; }
    // False (with ErrorString) when the port cannot be bound.
    bool Listen(const QHostAddress& aAddress = QHostAddress::Any);
    // Takes the connection of a request as the open connection; false when it is gone.
    bool Accept(int32_t aRequestId);
    // Stops listening and closes the open connection; no events of it follow.
    void Close();
    ESockState State() const;
    QString ErrorString() const { return iErrorString; }

    // Bytes received and not yet taken.
    qint64 BytesReceived() const;
    // All waiting bytes, or no more than aMaxLen of them; the rest stays waiting.
    QByteArray GetData(qint64 aMaxLen = -1);
    void SendData(const QByteArray& aData);

signals:
    void ConnectionRequest(int32_t aRequestId);
    void DataArrival(qint64 aBytesTotal);
    // Everything handed to SendData has gone to the network.
    void SendComplete();
    // The peer closed the connection.
    void Closed();
    void Error(int32_t aNumber, const QString& aDescription);

private:
    void OnNewConnection();
    void OnBytesWritten();
    void OnDisconnected();
    void OnConnError();
    void DropConnection();

    QTcpServer* iServer;
    QTcpSocket* iConn = nullptr;
    std::map<int32_t, QTcpSocket*> iRequests;  // connections offered in a ConnectionRequest
    int32_t iNextRequestId = 0;
    uint16_t iLocalPort = 0;
    QString iErrorString;
};
