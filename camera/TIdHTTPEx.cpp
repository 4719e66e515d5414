#include "camera/TIdHTTPEx.h"

#include "base/TLogger.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <exception>

namespace {

// The waiting caller looks at its abort flag this often; events are processed all the time.
constexpr int kWaitSliceMs = 50;
// Answers are moved into the stream in pieces of this size, so memory stays bounded.
constexpr qint64 kChunkSize = 256 * 1024;
// The network layer stops reading the socket while this much is waiting for us, so a slow disk
// holds back the camera instead of filling memory with a multi-gigabyte movie.
constexpr qint64 kReadBufferSize = 2 * 1024 * 1024;

// The network layer reports an HTTP error status as a reply error. For the camera protocol that is an
// ordinary answer with a code and a body; only transport failures count as errors.
bool isStatusError(QNetworkReply::NetworkError error, int status)
{
    if (status < 400)
        return false;
    switch (error) {
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::ContentOperationNotPermittedError:
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ContentReSendError:
    case QNetworkReply::ContentConflictError:
    case QNetworkReply::ContentGoneError:
    case QNetworkReply::UnknownContentError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::InternalServerError:
    case QNetworkReply::OperationNotImplementedError:
    case QNetworkReply::ServiceUnavailableError:
    case QNetworkReply::UnknownServerError:
        return true;
    default:
        return false;
    }
}

// The request target exactly as the network layer puts it into the request line.
QString requestTarget(const QUrl& url)
{
    QUrl::FormattingOptions format(
        QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment | QUrl::FullyEncoded);
    QUrl copy(url);
    if (copy.path().isEmpty())
        copy.setPath(QStringLiteral("/"));
    else
        format |= QUrl::NormalizePathSegments;
    return QString::fromLatin1(copy.toEncoded(format));
}

} // namespace

TIdHTTPEx::TIdHTTPEx(int readTimeoutMs, bool logBody, QObject* parent)
    : QObject(parent)
    , ReadTimeout(readTimeoutMs)
    , LogBody(logBody)
    , m_manager(new QNetworkAccessManager(this))
{
    // The camera is on the local link: a system proxy could never reach it, and redirects or
    // error statuses are answers the caller judges, not something to follow.
    m_manager->setProxy(QNetworkProxy::NoProxy);
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

TIdHTTPEx::~TIdHTTPEx()
{
    if (m_loop)
        m_loop->quit();
    // Replies (also abandoned ones) die with the manager; none may call back into this object.
    const auto replies = m_manager->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies) {
        reply->disconnect(this);
        reply->abort();
    }
    m_reply = nullptr;
    m_stream = nullptr;
    delete m_manager;
}

bool TIdHTTPEx::Get(const QString& url, QIODevice* response)
{
    return GetAbortable(url, response, std::function<bool()>());
}

bool TIdHTTPEx::GetAbortable(const QString& url, QIODevice* response, const bool& abort)
{
    return GetAbortable(url, response, [&abort] { return abort; });
}

bool TIdHTTPEx::GetAbortable(const QString& url, QIODevice* response, const std::function<bool()>& isAborted)
{
    const bool async = static_cast<bool>(OnDone);
    if (!startRequest("GET", url, response, nullptr, async))
        return false;
    if (async)
        return true;

    QPointer<TIdHTTPEx> self(this);
    const bool ok = waitForEnd(isAborted);
    if (!self)
        return false;
    if (auto log = OnLog)
        log(this, QStringLiteral("GET"), m_pathAndQuery, LogBody, m_responseCode, response);
    return ok;
}

bool TIdHTTPEx::Post(const QString& url, const QStringList& requestLines, QIODevice* response)
{
    const QByteArray body = PostBody(requestLines);
    if (!startRequest("POST", url, response, &body, false))
        return false;

    QPointer<TIdHTTPEx> self(this);
    const bool ok = waitForEnd({});
    if (!self)
        return false;
    if (auto done = OnDone) {
        done(this, ok);
        return ok;
    }
    if (auto log = OnLog)
        log(this, QStringLiteral("POST"), m_pathAndQuery, LogBody, m_responseCode, response);
    return ok;
}

void TIdHTTPEx::Abort()
{
    if (m_reply)
        failRunning(TCameraFailure::Cancelled, QStringLiteral("aborted"));
}

QByteArray TIdHTTPEx::PostBody(const QStringList& requestLines)
{
    QStringList lines;
    lines.reserve(requestLines.size());
    for (const QString& line : requestLines)
        lines.append(line.trimmed());
    return lines.join(QLatin1Char('&')).toUtf8();
}

bool TIdHTTPEx::startRequest(
    const QByteArray& method, const QString& url, QIODevice* response, const QByteArray* body, bool async)
{
    const QString operation = method == "POST" ? QStringLiteral("Post") : QStringLiteral("Get");
    if (m_reply) {
        // The running request's state belongs to its own caller; leave it untouched.
        logFailure(operation, url, QStringLiteral("another request of this client is still running"));
        return false;
    }
    m_method = method;
    m_async = async;
    m_url = url;
    m_responseCode = -1;
    m_received = 0;
    m_expected = -1;
    m_success = false;
    m_finishDeferred = false;
    m_failure.clear();
    m_failureKind = TCameraFailure::None;
    m_lastError.clear();
    m_lastFailure = TCameraFailure::None;

    // Taken as encoded: the caller's escapes such as "%2B" reach the camera as written.
    const QUrl target = QUrl::fromEncoded(url.toUtf8(), QUrl::TolerantMode);
    m_pathAndQuery = requestTarget(target);
    if (!target.isValid() || target.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0
        || target.host().isEmpty()) {
        m_lastError = QStringLiteral("not an http URL");
        m_lastFailure = TCameraFailure::NoAnswer; // nobody can be asked
    } else if (!response || !response->isWritable()) {
        m_lastError = QStringLiteral("the response stream is not open for writing");
        m_lastFailure = TCameraFailure::LocalWrite;
    }
    if (!m_lastError.isEmpty()) {
        logFailure(operation, url, m_lastError);
        return false;
    }

    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    request.setTransferTimeout(qMax(0, ReadTimeout));
    // The camera speaks plain HTTP/1.1 and sets no cookies worth returning.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);

    QNetworkReply* reply = nullptr;
    if (body) {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
            ContentType.isEmpty() ? QString::fromLatin1(DefaultContentType) : ContentType);
        reply = m_manager->post(request, *body);
    } else {
        reply = m_manager->get(request);
    }
    reply->setReadBufferSize(kReadBufferSize);
    m_reply = reply;
    m_stream = response;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { onMetaData(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { readAvailable(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
    return true;
}

bool TIdHTTPEx::waitForEnd(const std::function<bool()>& isAborted)
{
    QPointer<TIdHTTPEx> self(this);
    QEventLoop loop;
    QTimer slice;
    slice.setInterval(kWaitSliceMs);
    connect(&slice, &QTimer::timeout, &loop, [&loop, &isAborted] {
        if (isAborted && isAborted())
            loop.quit();
    });
    m_loop = &loop;
    slice.start();
    QString handlerError;
    if (m_reply && !(isAborted && isAborted())) {
        try {
            loop.exec();
        } catch (const std::exception& e) {
            handlerError = QString::fromLocal8Bit(e.what());
        } catch (...) {
            handlerError = QStringLiteral("unknown error");
        }
    }
    if (!self)
        return false;
    m_loop = nullptr;
    if (!handlerError.isEmpty()) {
        // An event handler that ran during the wait threw; the wait ends, the request is left.
        m_lastError = QStringLiteral("an event handler failed during the wait: ") + handlerError;
        logFailure(m_method == "POST" ? QStringLiteral("Post") : QStringLiteral("Get"), m_url, m_lastError);
        if (m_reply) {
            m_reply = nullptr;
            m_stream = nullptr;
        }
        m_lastFailure = TCameraFailure::Internal;
        return false;
    }
    if (m_reply) {
        // Given up by the caller: the request runs on, but its answer goes nowhere.
        m_reply = nullptr;
        m_stream = nullptr;
        m_lastError = QStringLiteral("the caller stopped waiting");
        m_lastFailure = TCameraFailure::Cancelled;
        return false;
    }
    return m_success;
}

void TIdHTTPEx::onMetaData(QNetworkReply* reply)
{
    if (reply != m_reply)
        return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        m_responseCode = status.toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    // A coded body arrives decoded, so its declared length cannot be compared.
    m_expected = length.isValid() && !reply->hasRawHeader("Content-Encoding") ? length.toLongLong() : -1;
    if (MaxBodySize >= 0 && m_expected > MaxBodySize)
        failRunning(TCameraFailure::Unreadable,
            QStringLiteral("the answer of %1 bytes exceeds the limit of %2 bytes")
                .arg(QString::number(m_expected), QString::number(MaxBodySize)));
}

void TIdHTTPEx::readAvailable(QNetworkReply* reply)
{
    if (reply != m_reply) {
        // Abandoned or failed: drain it so the network layer does not keep the data.
        reply->readAll();
        return;
    }
    if (m_reading)
        return; // the outer call reads on
    const QPointer<TIdHTTPEx> self(this);
    m_reading = true;
    while (reply->bytesAvailable() > 0) {
        const QByteArray chunk = reply->read(kChunkSize);
        if (chunk.isEmpty())
            break;
        if (MaxBodySize >= 0 && m_received + chunk.size() > MaxBodySize) {
            failRunning(TCameraFailure::Unreadable,
                QStringLiteral("the answer exceeds the limit of %1 bytes").arg(MaxBodySize));
            break;
        }
        const qint64 written = m_stream->write(chunk);
        if (!self)
            return;
        if (reply != m_reply) {
            // Given up or freed by the caller while the write ran events.
            m_reading = false;
            readAvailable(reply);
            return;
        }
        if (written != chunk.size()) {
            failRunning(TCameraFailure::LocalWrite,
                QStringLiteral("cannot store the answer: ") + m_stream->errorString());
            break;
        }
        m_received += chunk.size();
    }
    m_reading = false;
    if (m_finishDeferred) {
        m_finishDeferred = false;
        onFinished(reply);
    }
}

void TIdHTTPEx::onFinished(QNetworkReply* reply)
{
    if (reply != m_reply) {
        reply->deleteLater();
        return;
    }
    if (m_reading) {
        // Ends once the chunk on its way is in the stream.
        m_finishDeferred = true;
        return;
    }
    if (m_failure.isEmpty())
        readAvailable(reply);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        m_responseCode = status.toInt();

    QString reason = m_failure;
    const QNetworkReply::NetworkError error = reply->error();
    if (!reason.isEmpty()) {
        // ended by us
    } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        // Nobody else cancels our replies: this is the transfer time-out.
        reason = QStringLiteral("no data for %1 ms").arg(ReadTimeout);
    } else if (error != QNetworkReply::NoError && !isStatusError(error, m_responseCode)) {
        reason = reply->errorString();
    } else if (m_expected >= 0 && m_received < m_expected) {
        reason = QStringLiteral("connection closed after %1 of %2 bytes")
                     .arg(QString::number(m_received), QString::number(m_expected));
    } else if (m_responseCode < 0) {
        reason = QStringLiteral("no status line in the answer");
    }

    const bool ok = reason.isEmpty();
    m_success = ok;
    m_lastError = reason;
    m_lastFailure = ok        ? TCameraFailure::None
        : m_failure.isEmpty() ? TCameraFailure::NoAnswer
                              : m_failureKind;
    m_reply = nullptr;
    m_stream = nullptr;
    reply->deleteLater();
    if (!ok)
        logFailure(m_method == "POST" ? QStringLiteral("Post") : QStringLiteral("Get"), m_url, reason);
    if (m_loop)
        m_loop->quit();
    if (m_async) {
        // Delivered from the event loop, not from inside the reply's signal, so the handler may free
        // this client; a client freed before then drops the call with its own queue entry.
        QMetaObject::invokeMethod(
            this,
            [this, ok] {
                if (auto done = OnDone)
                    done(this, ok);
            },
            Qt::QueuedConnection);
    }
}

void TIdHTTPEx::failRunning(TCameraFailure kind, const QString& reason)
{
    if (!m_reply || !m_failure.isEmpty())
        return;
    m_failure = reason;
    m_failureKind = kind;
    // A finished reply is already on its way to onFinished, which reads the reason.
    if (!m_reply->isFinished())
        m_reply->abort();
}

void TIdHTTPEx::logFailure(const QString& operation, const QString& url, const QString& reason) const
{
    TLogger::LogAlways(QStringLiteral("TIdHTTPEx.") + operation + QStringLiteral(": ") + url
        + QStringLiteral(": ") + reason);
}
