#include "camera/TActivateAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TActivateAction::TActivateAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TActivateAction"));
}

bool TActivateAction::Probe(const TCGIFunction& function)
{
    Enabled = function.Methods.HasMethod(THTTPMethod::Kind::Get);
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TActivateAction::Execute()
{
    return executeRequest(Link.url(Endpoint::Activate), Timeout::PowerActivateClock, false);
}
