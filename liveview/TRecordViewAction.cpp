#include "liveview/TRecordViewAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TRecordViewAction::TRecordViewAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TRecordViewAction"));
}

bool TRecordViewAction::Probe(const TCGIFunction& function)
{
    Reset();
    const TCGIParam* com = function.Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("com"));
    Enabled = com && com->Values.Find(QStringLiteral("getrecview"));
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TRecordViewAction::Execute()
{
    Data.clear();
    Document.Clear();
    RequestFrame frame;
    frame.Enabled = Enabled;
    frame.Prepare = [this] {
        TCameraRequest request;
        request.Url = Link.url(Endpoint::TakeMisc) + QStringLiteral("?com=getrecview");
        request.ReadTimeoutMs = Timeout::LiveView;
        return request;
    };
    frame.Judge = [this](const TCameraAnswer& answer) {
        if (answer.Code != 200)
            return TCameraFailure::Status;
        Data = answer.Body; // a JPEG, not XML: no document
        return TCameraFailure::None;
    };
    frame.Done = reportDone();
    return runRequest(frame);
}
