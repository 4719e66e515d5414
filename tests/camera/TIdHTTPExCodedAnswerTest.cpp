// Answers in a content coding. No camera sends one, but the network layer asks for it, so a server
// that does (a proxy, a camera mock) must still get through the length check.
#include "camera/TIdHTTPEx.h"
#include "common/TestHttpServer.h"

#include <QBuffer>
#include <QtEndian>

#include <gtest/gtest.h>

using lumivar::test::TestHttpServer;

namespace {

const QByteArray kCaminfo = "<?xml version=\"1.0\"?><caminfo><model>E-M10</model></caminfo>";

QByteArray littleEndian32(quint32 v)
{
    QByteArray out(4, '\0');
    qToLittleEndian(v, out.data());
    return out;
}

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// One stored deflate block: the coded answer is longer than the text it carries.
QByteArray storedBlock(const QByteArray& data)
{
    const auto length = quint16(data.size());
    QByteArray block(1, '\x01');
    block += char(length & 0xFF);
    block += char(length >> 8);
    block += char(~length & 0xFF);
    block += char((~length >> 8) & 0xFF);
    return block + data;
}

QByteArray gzip(const QByteArray& data)
{
    return QByteArray("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\xFF", 10) + storedBlock(data)
        + littleEndian32(crc32(data)) + littleEndian32(quint32(data.size()));
}

QByteArray zlibDeflate(const QByteArray& data)
{
    // qCompress is a zlib stream behind a four-byte length; level 0 stores.
    return qCompress(data, 0).mid(4);
}

} // namespace

TEST(TIdHTTPExCodedAnswer, IsDecodedAndNotHeldToItsCodedLength)
{
    TestHttpServer server;
    for (const auto& [coding, coded] : { std::pair { QByteArray("gzip"), gzip(kCaminfo) },
             std::pair { QByteArray("deflate"), zlibDeflate(kCaminfo) } }) {
        SCOPED_TRACE(coding.toStdString());
        ASSERT_GT(coded.size(), kCaminfo.size());
        server.respond("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Encoding: " + coding
            + "\r\nContent-Length: " + QByteArray::number(coded.size()) + "\r\nConnection: close\r\n\r\n"
            + coded);
        TIdHTTPEx http(5000, false);
        QBuffer answer;
        answer.open(QIODevice::ReadWrite);
        EXPECT_TRUE(http.Get(server.url("/get_caminfo.cgi"), &answer)) << http.LastError().toStdString();
        EXPECT_EQ(http.ResponseCode(), 200);
        EXPECT_EQ(answer.data(), kCaminfo);
    }
}
