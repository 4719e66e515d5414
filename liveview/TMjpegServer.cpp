#include "liveview/TMjpegServer.h"

#include "base/TLogger.h"

#include <QMetaObject>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace {

const QByteArray kPage = QByteArrayLiteral(
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Lumivar live view</title>\n"
    "<style>html,body{margin:0;height:100%;background:#000}"
    "img{display:block;width:100%;height:100%;object-fit:contain}</style></head>\n"
    "<body><img src=\"/stream\" alt=\"Lumivar live view\"></body></html>\n");

QByteArray boundaryLine()
{
    return QByteArrayLiteral("--") + TMjpegServer::Boundary + QByteArrayLiteral("\r\n");
}

} // namespace

struct TMjpegServer::Connection
{
    QPointer<QTcpSocket> socket;
    QByteArray request;
    bool streaming = false;
    bool gone = false;
    quint64 sent = 0; // generation of the picture written last
};

TMjpegServer::TMjpegServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    m_server->setMaxPendingConnections(kMaxConnections);
    connect(m_server, &QTcpServer::newConnection, this, &TMjpegServer::accept);
}

TMjpegServer::~TMjpegServer()
{
    Close();
}

bool TMjpegServer::Listen(const QHostAddress& address, quint16 port)
{
    Close();
    m_errorText.clear();
    if (!m_server->listen(address, port)) {
        m_errorText = QStringLiteral("cannot serve live view on %1:%2: %3")
                          .arg(address.toString())
                          .arg(port)
                          .arg(m_server->errorString());
        return false;
    }
    TLogger::LogAlways(QStringLiteral("TMjpegServer: serving live view at %1").arg(Url()));
    return true;
}

void TMjpegServer::Close()
{
    const bool wasListening = m_server->isListening();
    m_server->close();
    const bool hadViewers = ViewerCount() > 0;
    std::vector<std::unique_ptr<Connection>> connections;
    connections.swap(m_connections);
    for (const std::unique_ptr<Connection>& connection : connections) {
        if (QTcpSocket* socket = connection->socket) {
            socket->disconnect(this);
            socket->abort();
            socket->deleteLater();
        }
    }
    m_newest.clear();
    m_part.clear();
    if (wasListening)
        TLogger::LogAlways(QStringLiteral("TMjpegServer: stopped after %1 pictures, %2 served")
                               .arg(m_published)
                               .arg(m_served));
    if (hadViewers)
        emit ViewersChanged(0);
}

bool TMjpegServer::IsListening() const
{
    return m_server->isListening();
}

QHostAddress TMjpegServer::Address() const
{
    return m_server->serverAddress();
}

quint16 TMjpegServer::Port() const
{
    return m_server->serverPort();
}

QString TMjpegServer::Url() const
{
    const QHostAddress address = Address();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
        ? QStringLiteral("[%1]").arg(address.toString())
        : address.toString();
    return QStringLiteral("http://%1:%2/").arg(host).arg(Port());
}

int TMjpegServer::ViewerCount() const
{
    return int(std::count_if(m_connections.cbegin(), m_connections.cend(),
        [](const std::unique_ptr<Connection>& c) { return c->streaming && !c->gone; }));
}

void TMjpegServer::Publish(const QByteArray& jpeg)
{
    if (jpeg.isEmpty())
        return;
    m_newest = jpeg;
    // Built once for all viewers; a socket keeps the shared bytes rather than copying them, and one
    // block goes out in one system call.
    m_part = QByteArrayLiteral("Content-Type: image/jpeg\r\nContent-Length: ")
        + QByteArray::number(jpeg.size()) + QByteArrayLiteral("\r\n\r\n") + jpeg + QByteArrayLiteral("\r\n")
        + boundaryLine();
    ++m_generation;
    ++m_published;
    for (const std::unique_ptr<Connection>& connection : m_connections)
        sendNewest(*connection);
}

void TMjpegServer::sendNewest(Connection& connection)
{
    QTcpSocket* socket = connection.socket;
    // A viewer still taking an earlier picture gets the newest one when it is done with it.
    if (!connection.streaming || connection.gone || !socket || connection.sent == m_generation
        || m_newest.isEmpty() || socket->bytesToWrite() > 0)
        return;
    connection.sent = m_generation;
    ++m_served;
    // The boundary right after the picture tells a browser the picture is whole.
    socket->write(m_part);
    // Out now rather than at the next turn of the event loop: the viewer gets it sooner, and an error
    // seen here only marks the connection (forget), which the loops over m_connections allow.
    socket->flush();
}

void TMjpegServer::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        Connection* raw = connection.get();
        if (std::count_if(m_connections.cbegin(), m_connections.cend(),
                [](const std::unique_ptr<Connection>& c) { return !c->gone; })
            >= kMaxConnections) {
            m_connections.push_back(std::move(connection));
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] { forget(socket); });
            respond(*raw, "503 Service Unavailable", "text/plain", "too many viewers\n", true);
            continue;
        }
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kSendBufferBytes);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_connections.push_back(std::move(connection));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (Connection* c = find(socket))
                readRequest(*c);
        });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
            if (Connection* c = find(socket))
                sendNewest(*c);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { forget(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { forget(socket); });
    }
}

TMjpegServer::Connection* TMjpegServer::find(QTcpSocket* socket)
{
    const auto it = std::find_if(m_connections.begin(), m_connections.end(),
        [socket](const std::unique_ptr<Connection>& c) { return c->socket == socket && !c->gone; });
    return it == m_connections.end() ? nullptr : it->get();
}

void TMjpegServer::forget(QTcpSocket* socket)
{
    Connection* connection = find(socket);
    if (!connection)
        return;
    // Marked now, removed once the signal that brought us here has returned.
    connection->gone = true;
    const bool wasViewer = connection->streaming;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    QMetaObject::invokeMethod(
        this,
        [this] {
            std::erase_if(m_connections, [](const std::unique_ptr<Connection>& c) { return c->gone; });
        },
        Qt::QueuedConnection);
    if (wasViewer)
        emit ViewersChanged(ViewerCount());
}

void TMjpegServer::readRequest(Connection& connection)
{
    QTcpSocket* socket = connection.socket;
    if (connection.streaming) {
        socket->readAll(); // a viewer has nothing more to say
        return;
    }
    connection.request += socket->readAll();
    qsizetype end = connection.request.indexOf("\r\n\r\n");
    if (end < 0)
        end = connection.request.indexOf("\n\n");
    if (end < 0) {
        if (connection.request.size() > kMaxRequestBytes)
            respond(
                connection, "431 Request Header Fields Too Large", "text/plain", "request too large\n", true);
        return;
    }
    const qsizetype lineEnd = connection.request.indexOf('\n');
    const QList<QByteArray> words = connection.request.left(lineEnd).trimmed().split(' ');
    if (words.size() != 3 || !words[2].startsWith("HTTP/")) {
        respond(connection, "400 Bad Request", "text/plain", "bad request\n", true);
        return;
    }
    QByteArray path = words[1];
    if (const qsizetype query = path.indexOf('?'); query >= 0)
        path.truncate(query);
    answer(connection, words[0], path);
}

void TMjpegServer::answer(Connection& connection, const QByteArray& method, const QByteArray& path)
{
    const bool head = method == "HEAD";
    if (method != "GET" && !head) {
        respond(connection, "405 Method Not Allowed", "text/plain", "only GET and HEAD\n", true);
        return;
    }
    if (path == "/" || path == "/index.html") {
        respond(connection, "200 OK", "text/html; charset=utf-8", kPage, !head);
    } else if (path == "/snapshot.jpg") {
        if (m_newest.isEmpty())
            respond(connection, "503 Service Unavailable", "text/plain", "no picture yet\n", !head);
        else
            respond(connection, "200 OK", "image/jpeg", m_newest, !head);
    } else if (path == "/stream") {
        QTcpSocket* socket = connection.socket;
        socket->write(
            QByteArrayLiteral("HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=")
            + Boundary
            + QByteArrayLiteral(
                "\r\nCache-Control: no-cache, no-store, must-revalidate\r\nPragma: no-cache\r\n"
                "Connection: close\r\n\r\n")
            + boundaryLine());
        if (head) {
            socket->disconnectFromHost();
            return;
        }
        connection.request.clear();
        connection.streaming = true;
        emit ViewersChanged(ViewerCount());
        // The newest picture follows once the header has gone out (bytesWritten).
    } else {
        respond(connection, "404 Not Found", "text/plain", "not found\n", !head);
    }
}

void TMjpegServer::respond(Connection& connection, const QByteArray& status, const QByteArray& type,
    const QByteArray& body, bool withBody)
{
    QTcpSocket* socket = connection.socket;
    connection.request.clear();
    socket->write(QByteArrayLiteral("HTTP/1.1 ") + status + QByteArrayLiteral("\r\nContent-Type: ") + type
        + QByteArrayLiteral("\r\nContent-Length: ") + QByteArray::number(body.size())
        + QByteArrayLiteral("\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n"));
    if (withBody)
        socket->write(body);
    // Closes once everything is written; "disconnected" then forgets the connection.
    socket->disconnectFromHost();
}

bool TMjpegServer::ParseAddress(const QString& text, QHostAddress* address, quint16* port, QString* error)
{
    static const QRegularExpression pattern(QStringLiteral("^(?:(\\[[^\\]]*\\]|[^:\\[\\]]+):)?(\\d{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    const uint number = m.hasMatch() ? m.captured(2).toUInt() : 70000;
    if (number > 65535) {
        *error = QStringLiteral("expected [ADDRESS:]PORT with PORT 0 to 65535, not \"%1\"").arg(text);
        return false;
    }
    QString host = m.captured(1);
    if (host.startsWith(u'['))
        host = host.mid(1, host.size() - 2);
    QHostAddress parsed(QHostAddress::LocalHost);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0 && !host.isEmpty()
        && !parsed.setAddress(host)) {
        *error = QStringLiteral("\"%1\" is no IP address (names are not looked up)").arg(host);
        return false;
    }
    *address = parsed;
    *port = quint16(number);
    return true;
}
