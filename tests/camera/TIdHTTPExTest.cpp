#include "camera/TIdHTTPEx.h"
#include "base/TBaseObserver.h"
#include "base/TLogger.h"
#include "camera/CameraEndpoints.h"
#include "camera/TIdHTTPBuilder.h"
#include "common/TestHttpServer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using lumivar::test::TestHttpServer;

// Readable failure messages for Qt strings.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toStdString() << '"';
}

namespace {

class LineCollector : public TBaseObserver
{
public:
    void Update(const QString& line) override { lines.append(line); }
    QStringList lines;
};

// Processes events until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

class TIdHTTPExTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TLogger::SetInstance(&logger);
        logger.Attach(&collector);
        answer.open(QIODevice::ReadWrite);
    }
    void TearDown() override
    {
        logger.Detach(&collector);
        TLogger::SetInstance(nullptr);
    }

    // Log lines without their time stamp.
    QStringList messages() const
    {
        static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d: "));
        QStringList result;
        for (QString line : collector.lines)
            result.append(line.remove(stamp));
        return result;
    }
    bool logContains(const QString& text) const
    {
        for (const QString& line : collector.lines)
            if (line.contains(text))
                return true;
        return false;
    }

    TLogger logger { nullptr };
    LineCollector collector;
    TestHttpServer server;
    QBuffer answer;
};

TEST_F(TIdHTTPExTest, EveryStatusIsAnAnswerWithItsBody)
{
    struct Case
    {
        int code;
        QByteArray reason;
        QByteArray body;
    };
    const QList<Case> cases {
        { 200, "OK", "<caminfo><model>E-M10</model></caminfo>" },
        { 202, "Accepted", "" },
        { 404, "Not Found", "no such folder" },
        // A real camera error: the body is not even well-formed XML.
        { 520, "Vendor Internal Error", "<?xml version=\"1.0\"?>1000</errorcode>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        server.respondStatus(c.code, c.reason, c.body);
        TIdHTTPEx http(5000, true);
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        EXPECT_TRUE(http.Get(server.url("/get_caminfo.cgi"), &buffer));
        EXPECT_EQ(http.ResponseCode(), c.code);
        EXPECT_EQ(buffer.data(), c.body);
        EXPECT_TRUE(http.LastError().isEmpty()) << http.LastError().toStdString();
    }
}

TEST_F(TIdHTTPExTest, NoAnswerGivesMinusOneAndALogLine)
{
    TIdHTTPEx http(2000, false);
    const QString refused
        = QStringLiteral("http://127.0.0.1:%1/get_connectmode.cgi").arg(TestHttpServer::closedPort());
    EXPECT_FALSE(http.Get(refused, &answer));
    EXPECT_EQ(http.ResponseCode(), -1);
    EXPECT_FALSE(http.LastError().isEmpty());
    EXPECT_TRUE(logContains(QStringLiteral("TIdHTTPEx.Get: ") + refused + QStringLiteral(": ")));

    // Accepted, then closed without a byte.
    server.respond("");
    EXPECT_FALSE(http.Get(server.url("/get_connectmode.cgi"), &answer));
    EXPECT_EQ(http.ResponseCode(), -1);

    // Something that is not HTTP at all.
    server.respond("hello camera\r\n\r\n");
    EXPECT_FALSE(http.Get(server.url("/get_connectmode.cgi"), &answer));
    EXPECT_EQ(http.ResponseCode(), -1);

    EXPECT_FALSE(http.Get(QStringLiteral("ftp://127.0.0.1/x"), &answer));
    EXPECT_EQ(http.ResponseCode(), -1);
    EXPECT_TRUE(logContains(QStringLiteral("TIdHTTPEx.Get: ftp://127.0.0.1/x: ")));
}

TEST_F(TIdHTTPExTest, ReadTimeOutCountsSilenceNotTotalTime)
{
    constexpr int timeoutMs = 400;
    TIdHTTPEx http(timeoutMs, false);

    server.neverAnswer();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(http.Get(server.url("/get_connectmode.cgi"), &answer));
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(http.ResponseCode(), -1);
    EXPECT_GE(elapsed, timeoutMs * 9 / 10);
    EXPECT_LT(elapsed, timeoutMs + 5000);
    EXPECT_TRUE(logContains(QStringLiteral("no data for 400 ms")));

    // Slower than the time-out in total, but never silent for that long.
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\n";
    server.enqueue({ { { 0, head }, { 200, "ab" }, { 200, "cd" }, { 200, "ef" } }, true, 0 });
    QBuffer slow;
    slow.open(QIODevice::ReadWrite);
    EXPECT_TRUE(http.Get(server.url("/get_imglist.cgi?DIR=/DCIM"), &slow)) << http.LastError().toStdString();
    EXPECT_EQ(slow.data(), "abcdef");

    // An answer that takes a while, but well within the time-out.
    TIdHTTPEx patient(3000, false);
    server.respondStatus(200, "OK", "late", "text/xml", 600);
    QBuffer late;
    late.open(QIODevice::ReadWrite);
    EXPECT_TRUE(patient.Get(server.url("/get_caminfo.cgi"), &late));
    EXPECT_EQ(late.data(), "late");
}

TEST_F(TIdHTTPExTest, AbortFlagEndsTheWaitAndTheLateAnswerGoesNowhere)
{
    server.respondStatus(200, "OK", "too late", "text/xml", 800);
    TIdHTTPEx http(0, false);
    auto stream = std::make_unique<QBuffer>();
    stream->open(QIODevice::ReadWrite);
    bool abort = false;
    QElapsedTimer sinceAbort;
    QTimer::singleShot(100, [&] {
        abort = true;
        sinceAbort.start();
    });
    EXPECT_FALSE(http.GetAbortable(server.url("/get_connectmode.cgi"), stream.get(), abort));
    ASSERT_TRUE(sinceAbort.isValid());
    EXPECT_LT(sinceAbort.elapsed(), 500);
    EXPECT_EQ(http.ResponseCode(), -1);

    // The caller frees its stream at once; the answer still arrives and must not be written anywhere.
    stream.reset();
    QTest::qWait(1200);
    EXPECT_EQ(http.ResponseCode(), -1);

    // The client stays usable for the next request.
    server.respondStatus(200, "OK", "next");
    EXPECT_TRUE(http.Get(server.url("/get_connectmode.cgi"), &answer));
    EXPECT_EQ(answer.data(), "next");
}

TEST_F(TIdHTTPExTest, ExchangeRecordMatchesByteForByte)
{
    server.respondStatus(200, "OK", "<caminfo><model>E-M10</model></caminfo>");
    std::unique_ptr<TIdHTTPEx> withBody(TIdHTTPBuilder::CreateHTTP(Timeout::Info, true));
    QBuffer first;
    first.open(QIODevice::ReadWrite);
    ASSERT_TRUE(withBody->Get(cameraUrl(server.hostAndPort(), Endpoint::CamInfo), &first));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages().last(),
        QStringLiteral(
            "GET /get_caminfo.cgi\r\nResponse-Code: 200\r\n<caminfo><model>E-M10</model></caminfo>\r\n"));

    server.respondStatus(404, "Not Found", "gone");
    std::unique_ptr<TIdHTTPEx> noBody(TIdHTTPBuilder::CreateHTTP(Timeout::ConnectionCheck, false));
    ASSERT_TRUE(noBody->Get(server.url("/get_imglist.cgi?DIR=/DCIM/100OLYMP"), &answer));
    EXPECT_EQ(messages().last(),
        QStringLiteral("GET /get_imglist.cgi?DIR=/DCIM/100OLYMP\r\nResponse-Code: 404\r\n"));

    // A failed exchange: the reason first, then the record with -1.
    collector.lines.clear();
    const QString refused
        = QStringLiteral("http://127.0.0.1:%1/get_caminfo.cgi").arg(TestHttpServer::closedPort());
    EXPECT_FALSE(noBody->Get(refused, &answer));
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(
        messages().first().startsWith(QStringLiteral("TIdHTTPEx.Get: ") + refused + QStringLiteral(": ")));
    EXPECT_EQ(messages().last(), QStringLiteral("GET /get_caminfo.cgi\r\nResponse-Code: -1\r\n"));

    // Files are not logged even with the flag, and no request line means no first line.
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("binary");
    EXPECT_EQ(TIdHTTPBuilder::ExchangeRecord(
                  QStringLiteral("GET"), QStringLiteral("/DCIM/100OLYMP/P1.JPG"), true, 200, &file),
        QStringLiteral("GET /DCIM/100OLYMP/P1.JPG\r\nResponse-Code: 200\r\n"));
    EXPECT_EQ(TIdHTTPBuilder::ExchangeRecord(QString(), QString(), false, -1, nullptr),
        QStringLiteral("Response-Code: -1\r\n"));
}

TEST_F(TIdHTTPExTest, PostBodyAndContentType)
{
    EXPECT_EQ(
        TIdHTTPEx::PostBody({ QStringLiteral("  <?xml version=\"1.0\"?><set><value>800</value></set> \t") }),
        "<?xml version=\"1.0\"?><set><value>800</value></set>");
    EXPECT_EQ(
        TIdHTTPEx::PostBody({ QStringLiteral(" a=1 "), QStringLiteral("b=2"), QStringLiteral("  c=%2B3") }),
        "a=1&b=2&c=%2B3");
    EXPECT_EQ(TIdHTTPEx::PostBody({}), "");

    std::unique_ptr<TIdHTTPEx> http(TIdHTTPBuilder::CreateHTTP(Timeout::CamProp, true));
    http->ContentType = QStringLiteral("text/xml");
    server.respondStatus(200, "OK", "");
    const QString url = cameraUrl(server.hostAndPort(), Endpoint::SetCamProp)
        + QStringLiteral("?com=set&propname=isospeedvalue");
    ASSERT_TRUE(http->Post(
        url, { QStringLiteral(" <?xml version=\"1.0\"?><set><value>800</value></set> ") }, &answer));
    EXPECT_EQ(server.lastRequestLine(), "POST /set_camprop.cgi?com=set&propname=isospeedvalue HTTP/1.1");
    EXPECT_EQ(server.lastBody(), "<?xml version=\"1.0\"?><set><value>800</value></set>");
    EXPECT_EQ(server.lastHeader("Content-Type"), "text/xml");
    EXPECT_EQ(server.lastHeader("Content-Length"), QByteArray::number(server.lastBody().size()));
    EXPECT_EQ(messages().last(),
        QStringLiteral("POST /set_camprop.cgi?com=set&propname=isospeedvalue\r\nResponse-Code: 200\r\n\r\n"));

    TIdHTTPEx plain(5000, false);
    server.respondStatus(200, "OK", "");
    ASSERT_TRUE(
        plain.Post(server.url("/form.cgi"), { QStringLiteral(" a=1"), QStringLiteral("b=2 ") }, &answer));
    EXPECT_EQ(server.lastBody(), "a=1&b=2");
    EXPECT_EQ(server.lastHeader("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(TIdHTTPExTest, RequestGoesOutAsWritten)
{
    const QList<QByteArray> targets {
        "/set_utctimediff.cgi?utctime=20150227T103539&diff=%2B0200",
        "/get_imglist.cgi?DIR=/DCIM/100OLYMP",
        "/exec_takemotion.cgi?com=assignafframe&point=0160x0120",
        "/get_camprop.cgi?com=desc&propname=desclist",
        "/x.cgi?a=b+c&d=%26%3D%25,e",
        "/DCIM/100OLYMP/PA220001.JPG",
    };
    TIdHTTPEx http(5000, false);
    http.OnLog = [](TIdHTTPEx*, const QString&, const QString&, bool, int, QIODevice*) {};
    for (const QByteArray& target : targets) {
        SCOPED_TRACE(target.toStdString());
        server.respondStatus(200, "OK", "");
        QString logged;
        http.OnLog = [&logged](TIdHTTPEx*, const QString&, const QString& path, bool, int, QIODevice*) {
            logged = path;
        };
        ASSERT_TRUE(http.Get(server.url(target), &answer));
        EXPECT_EQ(server.lastRequestLine(), "GET " + target + " HTTP/1.1");
        EXPECT_EQ(logged.toLatin1(), target);
    }
    EXPECT_EQ(server.lastHeader("User-Agent"), "OI.Share v2");
    EXPECT_EQ(server.lastHeader("Host"), server.hostAndPort().toLatin1());
    EXPECT_TRUE(server.lastHeader("Cookie").isEmpty());
    EXPECT_TRUE(server.lastHeader("Content-Type").isEmpty());
}

TEST_F(TIdHTTPExTest, IncompleteOrOversizedBodiesFail)
{
    TIdHTTPEx http(5000, false);
    server.respond("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nonly ten b");
    EXPECT_FALSE(http.Get(server.url("/DCIM/100OLYMP/P1.JPG"), &answer));
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_TRUE(logContains(QStringLiteral("TIdHTTPEx.Get: ")));

    constexpr qint64 huge = 50 * 1024 * 1024;
    // Declared too large: refused before the body is read.
    collector.lines.clear();
    server.respondHuge(huge, true);
    QBuffer declared;
    declared.open(QIODevice::ReadWrite);
    EXPECT_FALSE(http.Get(server.url("/DCIM/100OLYMP/BIG.MOV"), &declared));
    EXPECT_LE(declared.size(), TIdHTTPEx::DefaultMaxBodySize);
    EXPECT_TRUE(logContains(QStringLiteral("limit")));

    // Not declared: cut off once the limit is passed.
    collector.lines.clear();
    server.respondHuge(huge, false);
    QBuffer undeclared;
    undeclared.open(QIODevice::ReadWrite);
    EXPECT_FALSE(http.Get(server.url("/get_imglist.cgi?DIR=/DCIM/100OLYMP"), &undeclared));
    EXPECT_LE(undeclared.size(), TIdHTTPEx::DefaultMaxBodySize);
    EXPECT_LT(server.hugeBytesSent(), huge); // the client stopped reading
    EXPECT_TRUE(logContains(QStringLiteral("limit")));

    // A download into a file lifts the limit and streams the whole body.
    constexpr qint64 movie = 20 * 1024 * 1024;
    server.respondHuge(movie, true);
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    http.MaxBodySize = -1;
    EXPECT_TRUE(http.Get(server.url("/DCIM/100OLYMP/P1.MOV"), &file)) << http.LastError().toStdString();
    EXPECT_EQ(file.size(), movie);
}

// A stream whose writes let events run, as a progress display on the way does.
class EventfulBuffer : public QBuffer
{
protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        QCoreApplication::processEvents();
        return QBuffer::writeData(data, length);
    }
};

TEST_F(TIdHTTPExTest, AStreamWhoseWritesRunEventsGetsTheWholeBody)
{
    TIdHTTPEx http(5000, false);
    http.MaxBodySize = -1;
    constexpr qint64 size = 12 * 1024 * 1024;
    for (int i = 0; i < 3; ++i) {
        server.respondHuge(size, true);
        EventfulBuffer stream;
        stream.open(QIODevice::ReadWrite);
        EXPECT_TRUE(http.Get(server.url("/DCIM/100OLYMP/P1.ORF"), &stream)) << http.LastError().toStdString();
        EXPECT_EQ(stream.size(), size);
    }
}

TEST_F(TIdHTTPExTest, EventsAreProcessedDuringAWaitedRequest)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    server.respondStatus(200, "OK", "ok", "text/xml", 500);
    TIdHTTPEx http(5000, false);
    EXPECT_TRUE(http.Get(server.url("/get_connectmode.cgi"), &answer));
    EXPECT_GE(ticks, 3);
}

TEST_F(TIdHTTPExTest, SecondRequestOnABusyClientIsRefused)
{
    server.respondStatus(200, "OK", "outer", "text/xml", 300);
    TIdHTTPEx http(5000, false);
    bool innerResult = true;
    QBuffer inner;
    inner.open(QIODevice::ReadWrite);
    // Tried as soon as the outer request has reached the server, long before its answer.
    QObject::connect(&server, &TestHttpServer::requestReceived, &http, [&] {
        if (server.requests().size() == 1)
            innerResult = http.Get(server.url("/inner"), &inner);
    });
    EXPECT_TRUE(http.Get(server.url("/outer"), &answer));
    EXPECT_FALSE(innerResult);
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_EQ(answer.data(), "outer");
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(TIdHTTPExTest, AsynchronousGetReportsOnceThroughOnDone)
{
    const QByteArray body(300 * 1024, 'j');
    server.respondStatus(200, "OK", body, "image/jpeg", 100);
    TIdHTTPEx http(5000, true);
    int calls = 0;
    bool success = false;
    http.OnDone = [&](TIdHTTPEx* sender, bool ok) {
        EXPECT_EQ(sender, &http);
        ++calls;
        success = ok;
    };
    bool logged = false;
    http.OnLog
        = [&logged](TIdHTTPEx*, const QString&, const QString&, bool, int, QIODevice*) { logged = true; };
    EXPECT_TRUE(http.Get(server.url("/DCIM/100OLYMP/P1.JPG"), &answer));
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(waitUntil([&] { return calls > 0; }));
    QTest::qWait(100);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(success);
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_EQ(answer.data(), body);
    EXPECT_FALSE(logged);

    // A cancelled transfer reports its failure once, too.
    calls = 0;
    server.neverAnswer();
    QBuffer cancelled;
    cancelled.open(QIODevice::ReadWrite);
    ASSERT_TRUE(http.Get(server.url("/DCIM/100OLYMP/P2.JPG"), &cancelled));
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2; }));
    http.Abort();
    ASSERT_TRUE(waitUntil([&] { return calls > 0; }));
    QTest::qWait(100);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(success);
    EXPECT_TRUE(logContains(QStringLiteral("aborted")));
}

TEST_F(TIdHTTPExTest, FreeingTheClientAtAnyMomentIsSafe)
{
    // Freed from its own OnDone, as a finished download does.
    {
        server.respondStatus(200, "OK", "done");
        QPointer<TIdHTTPEx> http = new TIdHTTPEx(5000, false);
        int calls = 0;
        http->OnDone = [&calls](TIdHTTPEx* sender, bool) {
            ++calls;
            delete sender;
        };
        ASSERT_TRUE(http->Get(server.url("/a"), &answer));
        ASSERT_TRUE(waitUntil([&] { return http.isNull(); }));
        EXPECT_EQ(calls, 1);
    }
    // Freed with an asynchronous request in flight: no OnDone afterwards.
    {
        server.respondStatus(200, "OK", "late", "text/xml", 200);
        auto* http = new TIdHTTPEx(5000, false);
        int calls = 0;
        http->OnDone = [&calls](TIdHTTPEx*, bool) { ++calls; };
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        ASSERT_TRUE(http->Get(server.url("/b"), &stream));
        ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2; }));
        delete http;
        QTest::qWait(400);
        EXPECT_EQ(calls, 0);
        EXPECT_TRUE(stream.data().isEmpty());
    }
    // Freed by a timer while its own waited request runs.
    {
        server.neverAnswer();
        QPointer<TIdHTTPEx> http = new TIdHTTPEx(0, false);
        QTimer::singleShot(100, [&http] { delete http.data(); });
        EXPECT_FALSE(http->Get(server.url("/c"), &answer));
        EXPECT_TRUE(http.isNull());
    }
    // Freed right after an abandoned wait whose answer is still on its way.
    {
        server.respondStatus(200, "OK", "late", "text/xml", 600);
        auto* http = new TIdHTTPEx(0, false);
        bool abort = false;
        QTimer::singleShot(50, [&abort] { abort = true; });
        EXPECT_FALSE(http->GetAbortable(server.url("/d"), &answer, abort));
        delete http;
        QTest::qWait(800);
    }
}

TEST(CameraEndpoints, TakeTimeOutAddsTheMarginOnlyWithoutAPoint)
{
    EXPECT_EQ(Timeout::takeTimeout(5000, false), 7000);
    EXPECT_EQ(Timeout::takeTimeout(0, false), 0);
    EXPECT_EQ(Timeout::takeTimeout(5000, true), 5000);
    EXPECT_EQ(cameraUrl(QStringLiteral("192.168.0.10"), Endpoint::CommandList),
        QStringLiteral("http://192.168.0.10/get_commandlist.cgi"));
}

} // namespace
