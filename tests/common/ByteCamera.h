#pragma once

#include "camera/TCameraLink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QIODevice>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

namespace lumivar::test {

// A camera made of byte buffers behind both forms of the transport seam, with no network: each
// path answers as its entry says, and keeps the transport's promises about failure kinds.
class ByteCamera
{
public:
    struct Answer
    {
        int Code = 200;
        QByteArray Body;
        qsizetype CutAfter = -1; // the connection breaks after this many body bytes
        bool Refused = false; // nobody listens
        bool Hangs = false; // no answer until the caller aborts
    };

    // By path, such as "/get_connectmode.cgi"; an entry for path and query ("/x.cgi?com=a") comes
    // first.
    QHash<QString, Answer> answers;
    QStringList requests; // the paths asked for, in order
    QStringList queries; // the same with their queries
    int abortedWaits = 0;
    // Called with each path and query before it is answered; may change the answers.
    std::function<void(const QString& withQuery)> Seen;

    void answer(const QString& path, int code, const QByteArray& body = {})
    {
        answers[path] = { code, body };
    }
    void refuse(const QString& path) { answers[path].Refused = true; }

    TCameraLink link()
    {
        TCameraLink link = TCameraLink::ToHost(QStringLiteral("cam"));
        link.Transport = [this](const TCameraRequest& request) { return send(request); };
        link.StreamTransport = [this](const TCameraStreamRequest& request) {
            return std::unique_ptr<TCameraStream>(new Stream(*this, request));
        };
        return link;
    }

private:
    Answer lookUp(const QString& url)
    {
        const QUrl parsed(url);
        const QString path = parsed.path();
        const QString withQuery = parsed.hasQuery() ? path + QLatin1Char('?') + parsed.query() : path;
        requests.append(path);
        queries.append(withQuery);
        if (Seen)
            Seen(withQuery);
        if (answers.contains(withQuery))
            return answers.value(withQuery);
        return answers.value(path, Answer { 404, "<?xml version=\"1.0\"?><error/>" });
    }

    static TCameraAnswer failed(TCameraFailure kind, const QString& why, int code = -1)
    {
        TCameraAnswer answer;
        answer.Code = code;
        answer.Error = why;
        answer.Failure = kind;
        return answer;
    }

    TCameraAnswer send(const TCameraRequest& request)
    {
        // The camera object may go away during the wait, and this function's closure with it.
        ByteCamera* self = this;
        const Answer entry = lookUp(request.Url);
        if (entry.Refused)
            return failed(TCameraFailure::NoAnswer, QStringLiteral("Connection refused"));
        if (entry.Hangs) {
            const QDeadlineTimer limit(30000); // a safety net, not an expectation
            while (!(request.IsAborted && request.IsAborted()) && !limit.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (limit.hasExpired())
                return failed(TCameraFailure::NoAnswer, QStringLiteral("no data"));
            ++self->abortedWaits;
            return failed(TCameraFailure::Cancelled, QStringLiteral("the caller stopped waiting"));
        }
        TCameraAnswer answer;
        answer.Code = entry.Code;
        if (entry.CutAfter >= 0) {
            answer.Body = entry.Body.left(entry.CutAfter);
            answer.Error = QStringLiteral("connection closed");
            answer.Failure = TCameraFailure::NoAnswer;
            return answer;
        }
        answer.Completed = true;
        answer.Body = entry.Body;
        return answer;
    }

    // Writes the body into the sink in pieces, as a network would.
    class Stream final : public TCameraStream
    {
    public:
        Stream(ByteCamera& camera, const TCameraStreamRequest& request)
            : m_camera(camera)
            , m_request(request)
        { }

        TCameraAnswer run() override
        {
            const Answer entry = m_camera.lookUp(m_request.Url);
            if (entry.Refused)
                return failed(TCameraFailure::NoAnswer, QStringLiteral("Connection refused"));
            if (m_request.MaxBodySize >= 0 && entry.Body.size() > m_request.MaxBodySize)
                return failed(TCameraFailure::Unreadable, QStringLiteral("over the limit"), entry.Code);
            const qsizetype end = entry.CutAfter >= 0 ? entry.CutAfter : entry.Body.size();
            constexpr qsizetype piece = 64 * 1024;
            for (qsizetype at = 0; at < end; at += piece) {
                if (m_aborted)
                    return failed(TCameraFailure::Cancelled, QStringLiteral("aborted"), entry.Code);
                const QByteArray bytes = entry.Body.mid(at, qMin(piece, end - at));
                if (m_request.Sink->write(bytes) != bytes.size())
                    return failed(TCameraFailure::LocalWrite,
                        QStringLiteral("cannot store the answer: ") + m_request.Sink->errorString(),
                        entry.Code);
            }
            if (end < entry.Body.size())
                return failed(TCameraFailure::NoAnswer, QStringLiteral("connection closed"), entry.Code);
            TCameraAnswer answer;
            answer.Completed = true;
            answer.Code = entry.Code;
            return answer;
        }

        bool start(Done done, QString&) override
        {
            std::weak_ptr<bool> alive = m_alive;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [this, alive, done] {
                    if (!alive.expired())
                        done(run()); // may free this stream
                },
                Qt::QueuedConnection);
            return true;
        }

        void abort() override { m_aborted = true; }

    private:
        ByteCamera& m_camera;
        TCameraStreamRequest m_request;
        bool m_aborted = false;
        std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    };
};

} // namespace lumivar::test
