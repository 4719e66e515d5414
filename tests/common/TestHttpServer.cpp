#include "common/TestHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace lumivar::test {

namespace {
constexpr qint64 kHugeChunk = 64 * 1024;
constexpr qint64 kHugeBacklog = 256 * 1024;

// Splits a raw request into its head (without the blank line) and body.
QByteArray requestHead(const QByteArray& raw)
{
    const qsizetype end = raw.indexOf("\r\n\r\n");
    return end < 0 ? raw : raw.left(end);
}
} // namespace

struct TestHttpServer::Connection
{
    QTcpSocket* socket = nullptr;
    QByteArray received;
    Script script;
    bool started = false;
    qint64 hugeLeft = 0;
};

TestHttpServer::TestHttpServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, &TestHttpServer::onNewConnection);
}

TestHttpServer::~TestHttpServer()
{
    m_server->close();
}

quint16 TestHttpServer::port() const
{
    return m_server->serverPort();
}

QString TestHttpServer::hostAndPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

QString TestHttpServer::url(const QByteArray& pathAndQuery) const
{
    return QStringLiteral("http://") + hostAndPort() + QString::fromLatin1(pathAndQuery);
}

void TestHttpServer::enqueue(const Script& script)
{
    m_scripts.append(script);
}

void TestHttpServer::respond(const QByteArray& raw, int delayMs)
{
    enqueue(Script { { Step { delayMs, raw } }, true, 0 });
}

void TestHttpServer::respondStatus(
    int code, const QByteArray& reason, const QByteArray& body, const QByteArray& contentType, int delayMs)
{
    QByteArray raw = "HTTP/1.1 " + QByteArray::number(code) + ' ' + reason + "\r\n";
    raw += "Content-Type: " + contentType + "\r\n";
    raw += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    raw += "Connection: close\r\n\r\n";
    raw += body;
    respond(raw, delayMs);
}

void TestHttpServer::neverAnswer()
{
    enqueue(Script { {}, false, 0 });
}

void TestHttpServer::respondHuge(qint64 bodyBytes, bool declareLength)
{
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n";
    if (declareLength)
        head += "Content-Length: " + QByteArray::number(bodyBytes) + "\r\n";
    head += "Connection: close\r\n\r\n";
    enqueue(Script { { Step { 0, head } }, true, bodyBytes });
}

QByteArray TestHttpServer::lastRequestLine() const
{
    const QByteArray raw = lastRequest();
    const qsizetype end = raw.indexOf("\r\n");
    return end < 0 ? raw : raw.left(end);
}

QByteArray TestHttpServer::lastHeader(const QByteArray& name) const
{
    const QList<QByteArray> lines = requestHead(lastRequest()).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QByteArray TestHttpServer::lastBody() const
{
    const QByteArray raw = lastRequest();
    const qsizetype end = raw.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : raw.mid(end + 4);
}

quint16 TestHttpServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void TestHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        ++m_connections;
        auto* connection = new Connection;
        connection->socket = socket;
        if (!m_scripts.isEmpty())
            connection->script = m_scripts.takeFirst();
        connect(socket, &QObject::destroyed, [connection] { delete connection; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, connection] { onReadyRead(connection); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, connection] { pumpHuge(connection); });
        onReadyRead(connection);
    }
}

void TestHttpServer::onReadyRead(Connection* connection)
{
    connection->received += connection->socket->readAll();
    if (connection->started)
        return;
    const qsizetype headEnd = connection->received.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    qint64 bodyLength = 0;
    const QList<QByteArray> lines = connection->received.left(headEnd).split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.toLower().startsWith("content-length:"))
            bodyLength = line.mid(15).trimmed().toLongLong();
    }
    if (connection->received.size() < headEnd + 4 + bodyLength)
        return;
    connection->started = true;
    m_requests.append(connection->received.left(headEnd + 4 + bodyLength));
    emit requestReceived();
    runStep(connection, 0);
}

void TestHttpServer::runStep(Connection* connection, int index)
{
    QTcpSocket* socket = connection->socket;
    if (index >= connection->script.steps.size()) {
        if (connection->script.hugeBodyBytes > 0) {
            connection->hugeLeft = connection->script.hugeBodyBytes;
            pumpHuge(connection);
        } else if (connection->script.closeAfter) {
            socket->disconnectFromHost();
        }
        return;
    }
    const Step step = connection->script.steps[index];
    QTimer::singleShot(step.delayMs, socket, [this, connection, index, step] {
        connection->socket->write(step.bytes);
        runStep(connection, index + 1);
    });
}

void TestHttpServer::pumpHuge(Connection* connection)
{
    QTcpSocket* socket = connection->socket;
    if (connection->hugeLeft <= 0 || socket->state() != QAbstractSocket::ConnectedState)
        return;
    while (connection->hugeLeft > 0 && socket->bytesToWrite() < kHugeBacklog) {
        const qint64 size = qMin(kHugeChunk, connection->hugeLeft);
        socket->write(QByteArray(size, 'x'));
        connection->hugeLeft -= size;
        m_hugeSent += size;
    }
    if (connection->hugeLeft == 0)
        socket->disconnectFromHost();
}

} // namespace lumivar::test
