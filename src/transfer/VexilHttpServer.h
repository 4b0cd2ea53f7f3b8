#pragma once

#include "foundation/VexilObject.h"
#include "transfer/VexilHttpReply.h"
#include "transfer/VexilHttpRequest.h"
#include "transfer/VexilSocket.h"
#include "transfer/VexilStatusPanels.h"

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>

class CVexilUpload;

// The port the program's transfer server listens on.
inline constexpr uint16_t HttpServerPort = 7777;

// The stack transfer server: HTTP/1.0 for phones that list, fetch and store the stack files of
// gStackFolder. One connection at a time, one request per connection, driven by the events
// of its socket on the event loop. It reports in the three status panels.
//
// No client holds it for long: a request head must be complete soon after the connection
// opens, however slowly it trickles in, and a connection that stays idle is closed. When the
// port cannot be bound (another program holds it), listening is tried again until it works.
class CVexilHttpServer : public QObject, public CVexilObject
{
    Q_OBJECT

public:
    // Listens at once on aPort (0: any free port) of aAddress (every interface by default).
    explicit CVexilHttpServer(IVexilStatusPanels& aPanels, uint16_t aPort = HttpServerPort,
                              const QHostAddress& aAddress = QHostAddress::Any);
    ~CVexilHttpServer() override;

    QString ObjDescr() const override { return QStringLiteral("CVexilHttpServer"); }
    // The port in use.
    uint16_t Port() const { return iSocket.LocalPort(); }
    // Whether the server waits for a connection now: false while it serves one, and while its
    // port cannot be bound.
    bool Listening() const { return iSocket.State() == ESckListening; }

    // The server's time limits; tests shorten them.
    struct TLimits
    {
        // The head of a request must be complete this long after the connection opened.
        std::chrono::milliseconds Head{30000};
        // A connection that neither sends nor takes anything for this long is closed.
        std::chrono::milliseconds Idle{30000};
        // Listening that failed is tried again after this long, as often as it fails.
        std::chrono::milliseconds ListenRetry{1000};
    };
    void SetLimits(const TLimits& aLimits);

private:
    enum EPhase
    {
        EReadingHead,
        EReceivingBody,
        EReplying,
    };

    void OnConnectionRequest(int32_t aRequestId);
    void OnDataArrival();
    void OnSendComplete();
    void OnError(const QString& aDescription);

    void StartRequest(const CVexilHttpRequest& aRequest, const QByteArray& aRest);
    void ReceiveBody(const QByteArray& aBytes);
    void SendReply(TReply aReply);
    // Closes the connection, abandoning an unfinished upload, and listens again.
    void CloseConnection();
    // False, shown in panel 3, when the port cannot be bound; then it is tried again later.
    bool Listen();
    // Listens and, when that works, shows that the server waits.
    void StartListening();
    // Runs an event handler; nothing it raises leaves the handler, the connection is closed.
    template <typename F>
    void Guarded(F aHandler);

    IVexilStatusPanels& iPanels;
    QHostAddress iAddress;
    CVexilSocket iSocket;
    QTimer iHeadTimer;
    QTimer iIdleTimer;
    QTimer iListenTimer;
    EPhase iPhase = EReadingHead;
    CVexilHeadReader iHead;
    std::unique_ptr<CVexilUpload> iUpload;
    CVexilReplyBody iBody;
};
