#include "liveview/TBaseLiveViewAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

#include <exception>

TBaseLiveViewAction::TBaseLiveViewAction(
    const QString& cgiName, const char* endpointFormat, TCameraLink link, const TSetup* setup)
    : TBaseRemoteAction(cgiName, std::move(link))
    , m_endpoint(endpointFormat)
    , m_processor(setup)
{
    TBaseLiveViewAction::Reset();
}

void TBaseLiveViewAction::Reset()
{
    TBaseRemoteAction::Reset();
    LiveViewState = NotStarted;
}

bool TBaseLiveViewAction::Probe(const TCGIFunction& function)
{
    Reset();
    const TCGIParam* com = function.Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("com"));
    const TCGIParamValue* start = com ? com->Values.Find(QStringLiteral("startliveview")) : nullptr;
    Enabled = start && start->Params.Find(QStringLiteral("port"))
        && com->Values.Find(QStringLiteral("stopliveview"));
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TBaseLiveViewAction::Execute(quint8 kind, quint16 port)
{
    if (kind != KindStart && kind != KindStop)
        return false;
    BusyGuard busy(*this);
    ErrorText.clear();
    Document.Clear();
    if (!Enabled)
        return true;
    try {
        return kind == KindStart ? start(port) : stop();
    } catch (const std::exception& e) {
        logError(QStringLiteral("%1.Execute (Ex): %2").arg(className(), QString::fromLocal8Bit(e.what())));
    } catch (...) {
        logError(QStringLiteral("%1.Execute (Ex): unknown error").arg(className()));
    }
    return false;
}

bool TBaseLiveViewAction::start(quint16 port)
{
    // The camera is asked even when the port could not be opened (then with port 0), so that it
    // answers for itself; the receiver's reason travels in the error text.
    const quint16 bound = m_processor.Start(port);
    TCameraRequest request;
    request.Url = Link.url(m_endpoint) + QStringLiteral("?com=startliveview&port=") + QString::number(bound);
    request.ReadTimeoutMs = Timeout::LiveView;
    const quint64 resets = resetCount();
    const TCameraAnswer answer = Link.send(request);
    if (resets != resetCount()) {
        logTrace(QStringLiteral("%1.Execute: reset while waiting, answer dropped").arg(className()));
        return false;
    }
    const QString receiverError = m_processor.ErrorText();
    if (answer.Code == 200) {
        LiveViewState = Started;
        ErrorText = receiverError;
    } else {
        LiveViewState = NotStarted;
        ErrorText = QStringLiteral("Response code = %1").arg(answer.Code);
        if (!receiverError.isEmpty())
            ErrorText += QStringLiteral("\r\n") + receiverError;
    }
    return finish(answer);
}

bool TBaseLiveViewAction::stop()
{
    TCameraRequest request;
    request.Url = Link.url(m_endpoint) + QStringLiteral("?com=stopliveview");
    request.ReadTimeoutMs = Timeout::LiveView;
    const TCameraAnswer answer = Link.send(request);
    // Closed whatever the camera said: a camera that no longer answers must not keep the port.
    m_processor.Stop();
    LiveViewState = Stopped;
    // The panel shows this text when the stop fails; without it the failure would show nothing.
    if (answer.Code != 200)
        ErrorText = QStringLiteral("Response code = %1").arg(answer.Code);
    return finish(answer);
}

bool TBaseLiveViewAction::finish(const TCameraAnswer& answer)
{
    if (!answer.Completed)
        logError(QStringLiteral("%1.Execute: %2").arg(className(), answer.Error));
    const bool result = answer.Code == 200;
    // The answer's meaning is not used; an unreadable one is no failure.
    if (result && !Document.TryLoad(answer.Body))
        Document.Clear();
    if (OnDone)
        OnDone(this, result);
    return result;
}
