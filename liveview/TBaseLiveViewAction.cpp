#include "liveview/TBaseLiveViewAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

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
    ErrorText.clear();
    Document.Clear();
    return kind == KindStart ? start(port) : stop();
}

bool TBaseLiveViewAction::start(quint16 port)
{
    RequestFrame frame;
    frame.Enabled = Enabled;
    frame.Prepare = [this, port] {
        // The camera is asked even when the port could not be opened (then with port 0), so that
        // it answers for itself; the receiver's reason travels in the error text.
        const quint16 bound = m_processor.Start(port);
        TCameraRequest request;
        request.Url
            = Link.url(m_endpoint) + QStringLiteral("?com=startliveview&port=") + QString::number(bound);
        request.ReadTimeoutMs = Timeout::LiveView;
        return request;
    };
    frame.Judge = [this](const TCameraAnswer& answer) {
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
    };
    frame.Done = reportDone();
    return runRequest(frame);
}

bool TBaseLiveViewAction::stop()
{
    bool asked = false;
    RequestFrame frame;
    frame.Enabled = Enabled;
    frame.Prepare = [this, &asked] {
        asked = true;
        TCameraRequest request;
        request.Url = Link.url(m_endpoint) + QStringLiteral("?com=stopliveview");
        request.ReadTimeoutMs = Timeout::LiveView;
        return request;
    };
    frame.Judge = [this](const TCameraAnswer& answer) {
        m_processor.Stop();
        LiveViewState = Stopped;
        // The panel shows this text when the stop fails; without it the failure would show nothing.
        if (answer.Code != 200)
            ErrorText = QStringLiteral("Response code = %1").arg(answer.Code);
        return finish(answer);
    };
    frame.Done = reportDone();
    const bool result = runRequest(frame);
    // Closed whatever the camera said, also after a reset during the wait: a camera that no longer
    // answers must not keep the port.
    if (asked)
        m_processor.Stop();
    return result;
}

TCameraFailure TBaseLiveViewAction::finish(const TCameraAnswer& answer)
{
    if (answer.Code != 200)
        return TCameraFailure::Status;
    // The answer's meaning is not used; an unreadable one is no failure.
    if (!Document.TryLoad(answer.Body))
        Document.Clear();
    return TCameraFailure::None;
}
