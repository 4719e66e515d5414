#include "camera/TBaseAction.h"

#include "base/TLogger.h"
#include "camera/CameraEndpoints.h"
#include "camera/TIdHTTPBuilder.h"
#include "camera/TIdHTTPEx.h"

#include <QBuffer>

#include <exception>
#include <memory>

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
    try {
        return Transport ? Transport(request) : SendHttp(request);
    } catch (const std::exception& e) {
        TCameraAnswer answer;
        answer.Error = QString::fromLocal8Bit(e.what());
        return answer;
    } catch (...) {
        TCameraAnswer answer;
        answer.Error = QStringLiteral("unknown error");
        return answer;
    }
}

TCameraAnswer TCameraLink::SendHttp(const TCameraRequest& request)
{
    TCameraAnswer answer;
    std::unique_ptr<TIdHTTPEx> http(TIdHTTPBuilder::CreateHTTP(request.ReadTimeoutMs, request.LogBody));
    QBuffer stream(&answer.Body);
    stream.open(QIODevice::WriteOnly);
    if (request.Method == "POST") {
        if (!request.ContentType.isEmpty())
            http->ContentType = request.ContentType;
        answer.Completed = http->Post(request.Url, QStringList { QString::fromUtf8(request.Body) }, &stream);
    } else {
        answer.Completed = http->Get(request.Url, &stream);
    }
    stream.close();
    answer.Code = http->ResponseCode();
    if (!answer.Completed)
        answer.Error = http->LastError();
    return answer;
}

TBaseAction::TBaseAction(TCameraLink link)
    : Link(std::move(link))
{ }

TBaseAction::~TBaseAction() = default;

void TBaseAction::Reset()
{
    Busy = false;
    ++m_resets;
}

void TBaseAction::logTrace(const QString& message)
{
    TLogger::LogTrace(message);
}

void TBaseAction::logError(const QString& message)
{
    TLogger::LogAlways(message);
}
