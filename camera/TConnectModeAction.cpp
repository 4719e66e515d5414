#include "camera/TConnectModeAction.h"

#include "camera/CameraEndpoints.h"

TConnectModeAction::TConnectModeAction(TCameraLink link, const QString& cgiName)
    : TBaseInfoAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TConnectModeAction"));
}

bool TConnectModeAction::Probe(const TCGIFunction& function)
{
    return probeGet(function);
}

bool TConnectModeAction::Execute(QString& text)
{
    return executeRequest(Link.url(Endpoint::ConnectMode), text);
}

bool TConnectModeAction::ParseResult(QString& text)
{
    return parseElementText(QStringLiteral("connectmode"), text);
}
