#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

// Hands the live view pictures on to other programs over HTTP, exactly as the camera sent them:
// "/stream" is a multipart/x-mixed-replace MJPEG stream, "/snapshot.jpg" the newest picture, "/" a
// page that shows the stream; anything else is 404. Each viewer gets the newest picture whenever it
// has taken the previous one, so a slow viewer skips pictures and never holds up the camera side or
// the other viewers; nothing is queued per viewer beyond the picture being written. Main thread only.
class TMjpegServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 8488;
    // Connections at one time; more are answered 503 and closed.
    static constexpr int kMaxConnections = 32;
    static constexpr int kMaxRequestBytes = 8192;
    // The kernel's send buffer of a viewer: a slow viewer waits for at most about one picture there.
    static constexpr int kSendBufferBytes = 128 * 1024;
    static constexpr const char* Boundary = "lumivarframe";

    explicit TMjpegServer(QObject* parent = nullptr);
    ~TMjpegServer() override;

    // Port 0 lets the system choose. False with ErrorText when the address cannot be taken.
    bool Listen(const QHostAddress& address, quint16 port);
    // Closes the listener and every connection.
    void Close();
    bool IsListening() const;
    QString ErrorText() const { return m_errorText; }
    QHostAddress Address() const;
    quint16 Port() const;
    // "http://ADDRESS:PORT/", the page a browser opens; the stream is at Url() + "stream".
    QString Url() const;

    // The next picture: the JPEG bytes of one completed frame. Shared, not copied.
    void Publish(const QByteArray& jpeg);
    QByteArray Newest() const { return m_newest; }

    // Viewers of "/stream" connected now.
    int ViewerCount() const;
    quint64 PicturesPublished() const { return m_published; }
    // Pictures written to stream viewers, summed over them.
    quint64 PicturesServed() const { return m_served; }

    // "[ADDR:]PORT" with ADDR an IP address (IPv6 in brackets) or "localhost"; no name is looked up.
    // Without ADDR the address is 127.0.0.1. False with a reason in *error.
    static bool ParseAddress(const QString& text, QHostAddress* address, quint16* port, QString* error);

signals:
    // A stream viewer came or went.
    void ViewersChanged(int count);

private:
    struct Connection;

    void accept();
    void readRequest(Connection& connection);
    void answer(Connection& connection, const QByteArray& method, const QByteArray& path);
    void respond(Connection& connection, const QByteArray& status, const QByteArray& type,
        const QByteArray& body, bool withBody);
    void sendNewest(Connection& connection);
    void forget(QTcpSocket* socket);
    Connection* find(QTcpSocket* socket);

    QTcpServer* m_server;
    std::vector<std::unique_ptr<Connection>> m_connections;
    QByteArray m_newest;
    QByteArray m_part; // m_newest as one part of the stream, written to every viewer unchanged
    quint64 m_generation = 0;
    quint64 m_published = 0;
    quint64 m_served = 0;
    QString m_errorText;
};
