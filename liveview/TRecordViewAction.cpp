#include "liveview/TRecordViewAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

#include <exception>

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
    BusyGuard busy(*this);
    Data.clear();
    Document.Clear();
    if (!Enabled)
        return true;
    try {
        TCameraRequest request;
        request.Url = Link.url(Endpoint::TakeMisc) + QStringLiteral("?com=getrecview");
        request.ReadTimeoutMs = Timeout::LiveView;
        const quint64 resets = resetCount();
        const TCameraAnswer answer = Link.send(request);
        if (resets != resetCount()) {
            logTrace(QStringLiteral("TRecordViewAction.Execute: reset while waiting, answer dropped"));
            return false;
        }
        if (!answer.Completed)
            logError(QStringLiteral("TRecordViewAction.Execute: %1").arg(answer.Error));
        // The body is a JPEG, not XML: it goes to Data only.
        const bool result = answer.Code == 200;
        if (result)
            Data = answer.Body;
        if (OnDone)
            OnDone(this, result);
        return result;
    } catch (const std::exception& e) {
        logError(QStringLiteral("TRecordViewAction.Execute (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        logError(QStringLiteral("TRecordViewAction.Execute (Ex): unknown error"));
    }
    return false;
}
