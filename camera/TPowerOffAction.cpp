#include "camera/TPowerOffAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TPowerOffAction::TPowerOffAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TPowerOffAction"));
}

bool TPowerOffAction::Probe(const TCGIFunction& function)
{
    Enabled = function.Methods.HasMethod(THTTPMethod::Kind::Get);
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TPowerOffAction::Execute()
{
    return executeRequest(Link.url(Endpoint::PowerOff), Timeout::PowerActivateClock, true);
}
