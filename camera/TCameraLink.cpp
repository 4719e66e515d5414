#include "camera/TCameraLink.h"

#include "base/TLogger.h"
#include "camera/CameraEndpoints.h"
#include "camera/TIdHTTPBuilder.h"
#include "camera/TIdHTTPEx.h"

#include <QBuffer>

#include <exception>

namespace {

TCameraAnswer failedAnswer(const QString& operation, const QString& url, const QString& why)
{
    TLogger::LogAlways(QStringLiteral("TCameraLink.%1: %2: %3").arg(operation, url, why));
    TCameraAnswer answer;
    answer.Error = why;
    answer.Failure = TCameraFailure::Internal;
    return answer;
}

TCameraAnswer answerOf(const TIdHTTPEx& http, bool completed)
{
    TCameraAnswer answer;
    answer.Completed = completed;
    answer.Code = http.ResponseCode();
    if (!completed) {
        answer.Error = http.LastError();
        answer.Failure = http.LastFailure();
    }
    return answer;
}

// Stands in for a stream the transport could not make: it fails in either form.
class FailedStream final : public TCameraStream
{
public:
    explicit FailedStream(const QString& why)
        : m_why(why)
    { }
    TCameraAnswer run() override
    {
        TCameraAnswer answer;
        answer.Error = m_why;
        answer.Failure = TCameraFailure::Internal;
        return answer;
    }
    bool start(Done, QString& why) override
    {
        why = m_why;
        return false;
    }
    void abort() override { }

private:
    QString m_why;
};

class HttpStream final : public TCameraStream
{
public:
    explicit HttpStream(const TCameraStreamRequest& request)
        : m_request(request)
        , m_client(TIdHTTPBuilder::CreateHTTP(request.ReadTimeoutMs, request.LogBody))
    {
        m_client->MaxBodySize = request.MaxBodySize;
    }
    ~HttpStream() override
    {
        // A background exchange's client may still be inside the completion call that frees us.
        if (m_reported)
            m_client.release()->deleteLater();
    }
    HttpStream(const HttpStream&) = delete;
    HttpStream& operator=(const HttpStream&) = delete;

    TCameraAnswer run() override
    {
        const bool completed = m_client->Get(m_request.Url, m_request.Sink);
        return answerOf(*m_client, completed);
    }

    bool start(Done done, QString& why) override
    {
        m_client->OnDone = [this, done = std::move(done)](TIdHTTPEx* client, bool completed) {
            m_reported = true;
            done(answerOf(*client, completed)); // may free this stream
        };
        if (m_client->Get(m_request.Url, m_request.Sink))
            return true;
        m_client->OnDone = nullptr;
        why = m_client->LastError();
        return false;
    }

    void abort() override { m_client->Abort(); }

private:
    TCameraStreamRequest m_request;
    std::unique_ptr<TIdHTTPEx> m_client;
    bool m_reported = false;
};

} // namespace

TCameraLink TCameraLink::ToHost(const QString& host)
{
    TCameraLink link;
    link.Host = [host] { return host; };
    return link;
}

QString TCameraLink::url(const char* endpointFormat) const
{
    return cameraUrl(host(), endpointFormat);
}

TCameraAnswer TCameraLink::send(const TCameraRequest& request) const
{
    TCameraAnswer answer;
    try {
        answer = Transport ? Transport(request) : SendHttp(request);
    } catch (const std::exception& e) {
        answer = failedAnswer(QStringLiteral("send"), request.Url, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        answer = failedAnswer(QStringLiteral("send"), request.Url, QStringLiteral("unknown error"));
    }
    if (!answer.Completed && answer.Failure == TCameraFailure::None)
        answer.Failure = TCameraFailure::NoAnswer;
    return answer;
}

std::unique_ptr<TCameraStream> TCameraLink::stream(const TCameraStreamRequest& request) const
{
    QString why;
    try {
        if (auto made = StreamTransport ? StreamTransport(request) : StreamHttp(request))
            return made;
        why = QStringLiteral("the transport made no stream");
    } catch (const std::exception& e) {
        why = QString::fromLocal8Bit(e.what());
    } catch (...) {
        why = QStringLiteral("unknown error");
    }
    TLogger::LogAlways(QStringLiteral("TCameraLink.stream: %1: %2").arg(request.Url, why));
    return std::make_unique<FailedStream>(why);
}

TCameraAnswer TCameraLink::SendHttp(const TCameraRequest& request)
{
    std::unique_ptr<TIdHTTPEx> http(TIdHTTPBuilder::CreateHTTP(request.ReadTimeoutMs, request.LogBody));
    QByteArray body;
    QBuffer stream(&body);
    stream.open(QIODevice::WriteOnly);
    bool completed = false;
    if (request.Method == "POST") {
        if (!request.ContentType.isEmpty())
            http->ContentType = request.ContentType;
        completed = http->Post(request.Url, QStringList { QString::fromUtf8(request.Body) }, &stream);
    } else {
        completed = http->GetAbortable(request.Url, &stream, request.IsAborted);
    }
    stream.close();
    TCameraAnswer answer = answerOf(*http, completed);
    answer.Body = body;
    return answer;
}

std::unique_ptr<TCameraStream> TCameraLink::StreamHttp(const TCameraStreamRequest& request)
{
    return std::make_unique<HttpStream>(request);
}
