#include "LiveViewTestSupport.h"

#include "liveview/TImageBuffer.h"
#include "liveview/TMjpegServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>

using namespace lvtest;

namespace {

// Runs the event loop until done() holds; false when it never does (a hang, not a speed limit).
bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 20000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A picture of its own for each number, large enough that a few fill a socket's buffers.
QByteArray picture(int number)
{
    QImage image = gradient(640, 480);
    for (int y = 0; y < 480; y += 2)
        for (int x = (y * 7 + number * 13) % 5; x < 640; x += 3)
            image.setPixel(x, y, qRgb((x * number) & 255, (y + number * 31) & 255, (x ^ y) & 255));
    QByteArray jpeg = encode(image, 0 /* TJSAMP_444 */, 95);
    // As the camera sends it: the quantisation table right after the start of image, no JFIF header.
    if (jpeg.startsWith(QByteArray::fromHex("FFD8FFE0")))
        jpeg.remove(2, 2 + (quint8(jpeg[4]) << 8 | quint8(jpeg[5])));
    return jpeg;
}

// A client of the server: one request, the answer collected; "/stream" answers are cut into pictures.
struct Client
{
    QTcpSocket socket;
    QByteArray received;
    std::vector<QByteArray> pictures;
    qsizetype parsed = -1; // where the next part starts, once the header is through

    // readBuffer > 0 keeps the socket from taking more than that from the system: a viewer that
    // does not read.
    void open(quint16 port, const QByteArray& request, qint64 readBuffer = 0)
    {
        socket.setReadBufferSize(readBuffer);
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write(request);
        if (readBuffer == 0)
            QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
                received += socket.readAll();
                cut();
            });
    }

    void cut()
    {
        const QByteArray boundary = QByteArrayLiteral("\r\n--") + TMjpegServer::Boundary + "\r\n";
        if (parsed < 0) {
            const qsizetype header = received.indexOf("\r\n\r\n");
            if (header < 0 || !received.contains("multipart/x-mixed-replace"))
                return;
            parsed = received.indexOf(boundary.mid(2), header) + boundary.size() - 2;
        }
        for (;;) {
            const qsizetype length = received.indexOf("Content-Length: ", parsed);
            const qsizetype body = received.indexOf("\r\n\r\n", parsed);
            if (length < 0 || body < 0)
                return;
            const qsizetype size = received.mid(length + 16, body - length - 16).trimmed().toLongLong();
            if (received.size() < body + 4 + size + boundary.size())
                return;
            pictures.push_back(received.mid(body + 4, size));
            EXPECT_EQ(received.mid(body + 4 + size, boundary.size()), boundary);
            parsed = body + 4 + size + boundary.size();
        }
    }
};

// The whole answer to one request; the server closes every connection but the stream's.
QByteArray fetch(quint16 port, const QByteArray& request)
{
    Client client;
    client.open(port, request);
    EXPECT_TRUE(waitFor([&] { return client.socket.state() == QAbstractSocket::UnconnectedState; }));
    return client.received;
}

// Cuts a JPEG into the datagrams of one frame and lets the buffer reassemble it.
void sendFrame(TImageBuffer& buffer, quint32 timestamp, const QByteArray& jpeg)
{
    constexpr int kChunk = 1400;
    const int blocks = int((jpeg.size() + kChunk - 1) / kChunk);
    for (int i = 0; i < blocks; ++i) {
        const quint16 kind = i == 0 ? TImageBlock::FirstBlock
            : i == blocks - 1       ? TImageBlock::LastBlock
                                    : TImageBlock::MiddleBlock;
        buffer.AddData(datagram(kind, quint16(timestamp * 100 + i), timestamp, 7,
            jpeg.mid(i * kChunk, kChunk), i == 0 ? informationBlock() : QByteArray()));
    }
}

class TMjpegServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Listen(QHostAddress::LocalHost, 0)) << server.ErrorText().toStdString();
    }
    TMjpegServer server;
};

} // namespace

TEST_F(TMjpegServerTest, PageSnapshotAndEverythingElse)
{
    EXPECT_EQ(server.Url(), QStringLiteral("http://127.0.0.1:%1/").arg(server.Port()));
    const QByteArray page = fetch(server.Port(), "GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_TRUE(page.startsWith("HTTP/1.1 200 OK\r\n")) << page.constData();
    EXPECT_TRUE(page.contains("Content-Type: text/html")) << page.constData();
    EXPECT_TRUE(page.contains("<img src=\"/stream\"")) << page.constData();

    EXPECT_TRUE(fetch(server.Port(), "GET /snapshot.jpg HTTP/1.0\r\n\r\n").startsWith("HTTP/1.1 503"));
    const QByteArray jpeg = picture(1);
    server.Publish(jpeg);
    const QByteArray snapshot = fetch(server.Port(), "GET /snapshot.jpg?t=5 HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(snapshot.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(snapshot.contains("Content-Type: image/jpeg\r\n"));
    EXPECT_EQ(snapshot.mid(snapshot.indexOf("\r\n\r\n") + 4), jpeg);
    const QByteArray head = fetch(server.Port(), "HEAD /snapshot.jpg HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(
        head.endsWith("\r\n\r\n") && head.contains("Content-Length: " + QByteArray::number(jpeg.size())));

    EXPECT_TRUE(fetch(server.Port(), "GET /stream/x HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 404"));
    EXPECT_TRUE(fetch(server.Port(), "GET /../etc/passwd HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 404"));
    EXPECT_TRUE(fetch(server.Port(), "POST /stream HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 405"));
    EXPECT_TRUE(fetch(server.Port(), "nonsense\r\n\r\n").startsWith("HTTP/1.1 400"));
    EXPECT_TRUE(
        fetch(server.Port(), "GET / HTTP/1.1\r\nX: " + QByteArray(9000, 'a')).startsWith("HTTP/1.1 431"));
    EXPECT_EQ(server.ViewerCount(), 0);
}

TEST_F(TMjpegServerTest, StreamCarriesTheReassembledBytesAndASlowViewerNeverHoldsUpTheOthers)
{
    TImageBuffer buffer;
    std::vector<QByteArray> completed;
    buffer.SetImageHandler([&](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData&) {
        completed.push_back(stream.data());
        server.Publish(stream.data());
    });
    Client fast;
    Client stalled;
    fast.open(server.Port(), "GET /stream HTTP/1.1\r\n\r\n");
    stalled.open(server.Port(), "GET /stream HTTP/1.1\r\n\r\n", 4096);
    ASSERT_TRUE(waitFor([&] { return server.ViewerCount() == 2; }));

    constexpr int kFrames = 40;
    for (int i = 1; i <= kFrames; ++i) {
        const QByteArray jpeg = picture(i);
        sendFrame(buffer, quint32(i), jpeg);
        ASSERT_EQ(completed.size(), size_t(i));
        ASSERT_EQ(completed.back(), jpeg);
        ASSERT_TRUE(waitFor([&] { return fast.pictures.size() == size_t(i); })) << "picture " << i;
    }
    // Every picture reached the fast viewer byte for byte, in order.
    EXPECT_EQ(fast.pictures, completed);
    // The stalled one took the first few until its buffers were full and was skipped from then on.
    const quint64 stalledGot = server.PicturesServed() - quint64(kFrames);
    EXPECT_GE(stalledGot, 1u);
    EXPECT_LT(stalledGot, quint64(kFrames / 2));
    EXPECT_EQ(server.PicturesPublished(), quint64(kFrames));

    // Once it reads again it gets the newest picture, not the ones it missed.
    stalled.socket.setReadBufferSize(0);
    QObject::connect(&stalled.socket, &QTcpSocket::readyRead, [&] {
        stalled.received += stalled.socket.readAll();
        stalled.cut();
    });
    stalled.received += stalled.socket.readAll();
    ASSERT_TRUE(waitFor([&] {
        stalled.cut();
        return !stalled.pictures.empty() && stalled.pictures.back() == completed.back();
    }));
    EXPECT_EQ(stalled.pictures.size(), size_t(stalledGot + 1));
    EXPECT_EQ(server.PicturesServed(), quint64(kFrames) + stalledGot + 1);
}

TEST_F(TMjpegServerTest, ViewerThatGoesAwayIsForgottenAtOnce)
{
    int lastCount = -1;
    QObject::connect(&server, &TMjpegServer::ViewersChanged, [&](int count) { lastCount = count; });
    server.Publish(picture(2));
    {
        Client viewer;
        viewer.open(server.Port(), "GET /stream HTTP/1.1\r\n\r\n");
        ASSERT_TRUE(waitFor([&] { return viewer.pictures.size() == 1; }));
        EXPECT_EQ(server.ViewerCount(), 1);
        EXPECT_EQ(lastCount, 1);
        viewer.socket.abort();
    }
    ASSERT_TRUE(waitFor([&] { return server.ViewerCount() == 0; }));
    EXPECT_EQ(lastCount, 0);
    server.Publish(picture(3)); // nobody left to write to
    EXPECT_EQ(server.PicturesServed(), 1u);

    // Closing the server ends the streams of those still watching.
    Client viewer;
    viewer.open(server.Port(), "GET /stream HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(waitFor([&] { return viewer.pictures.size() == 1; }));
    server.Close();
    EXPECT_EQ(lastCount, 0);
    EXPECT_FALSE(server.IsListening());
    EXPECT_TRUE(waitFor([&] { return viewer.socket.state() == QAbstractSocket::UnconnectedState; }));
}

TEST(TMjpegServerAddressTest, TakenPortAndAddressTexts)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::LocalHost, 0));
    TMjpegServer server;
    EXPECT_FALSE(server.Listen(QHostAddress::LocalHost, other.serverPort()));
    EXPECT_FALSE(server.IsListening());
    EXPECT_TRUE(server.ErrorText().contains(QStringLiteral("127.0.0.1:%1").arg(other.serverPort())))
        << server.ErrorText().toStdString();

    QHostAddress address;
    quint16 port = 1;
    QString error;
    const auto parse = [&](const char* text) {
        return TMjpegServer::ParseAddress(QString::fromLatin1(text), &address, &port, &error);
    };
    ASSERT_TRUE(parse("8488"));
    EXPECT_EQ(address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(port, 8488);
    ASSERT_TRUE(parse("0.0.0.0:0"));
    EXPECT_EQ(address, QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_EQ(port, 0);
    ASSERT_TRUE(parse("[::1]:9000"));
    EXPECT_EQ(address, QHostAddress(QHostAddress::LocalHostIPv6));
    ASSERT_TRUE(parse("LOCALHOST:80"));
    EXPECT_EQ(address, QHostAddress(QHostAddress::LocalHost));
    ASSERT_TRUE(parse("192.168.1.20:8080"));
    EXPECT_FALSE(address.isLoopback());
    for (const char* bad : { "camera:80", "70000", "1.2.3.4:", ":80", "80x", "[::1:80", "" })
        EXPECT_FALSE(parse(bad)) << bad;
    EXPECT_TRUE(error.contains(QStringLiteral("PORT"))) << error.toStdString();
}
