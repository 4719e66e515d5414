#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace lumivar::test {

// A scripted HTTP server on 127.0.0.1 and an ephemeral port, living on the thread that creates it.
// Each accepted connection takes the next queued script; without one it is closed unanswered.
// A script runs once the whole request (headers and Content-Length body) has arrived.
class TestHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Step
    {
        int delayMs = 0; // after the previous step
        QByteArray bytes;
    };
    struct Script
    {
        QList<Step> steps;
        bool closeAfter = true; // false: keep the connection open and silent
        qint64 hugeBodyBytes = 0; // after the steps, stream this many filler bytes
    };

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    quint16 port() const;
    QString hostAndPort() const; // "127.0.0.1:PORT"
    QString url(const QByteArray& pathAndQuery) const;

    void enqueue(const Script& script);
    // Raw answer bytes, written after delayMs, then the connection is closed.
    void respond(const QByteArray& raw, int delayMs = 0);
    // A complete answer with Content-Length and "Connection: close".
    void respondStatus(int code, const QByteArray& reason, const QByteArray& body,
        const QByteArray& contentType = "text/xml", int delayMs = 0);
    // Accepts, reads the request and never answers.
    void neverAnswer();
    // A 200 answer whose body of the given size is produced while the socket drains; without a
    // declared length the end of the body is the end of the connection.
    void respondHuge(qint64 bodyBytes, bool declareLength = true);

    QList<QByteArray> requests() const { return m_requests; }
    QByteArray lastRequest() const { return m_requests.isEmpty() ? QByteArray() : m_requests.last(); }
    // The request line of the last request, without "\r\n".
    QByteArray lastRequestLine() const;
    // Value of a header of the last request; empty when absent.
    QByteArray lastHeader(const QByteArray& name) const;
    QByteArray lastBody() const;
    int connectionCount() const { return m_connections; }
    // Bytes of filler actually handed to sockets by respondHuge scripts.
    qint64 hugeBytesSent() const { return m_hugeSent; }

    // A port on 127.0.0.1 that was free a moment ago and has no listener now.
    static quint16 closedPort();

signals:
    void requestReceived();

private:
    struct Connection;
    void onNewConnection();
    void onReadyRead(Connection* connection);
    void runStep(Connection* connection, int index);
    void pumpHuge(Connection* connection);

    QTcpServer* m_server = nullptr;
    QList<Script> m_scripts;
    QList<QByteArray> m_requests;
    int m_connections = 0;
    qint64 m_hugeSent = 0;
};

} // namespace lumivar::test
