#include "camera/TUnusedCapacityAction.h"

#include "camera/CameraEndpoints.h"

TUnusedCapacityAction::TUnusedCapacityAction(TCameraLink link, const QString& cgiName)
    : TBaseInfoAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TUnusedCapacityAction"));
}

bool TUnusedCapacityAction::Probe(const TCGIFunction& function)
{
    return probeGet(function);
}

bool TUnusedCapacityAction::Execute(QString& text)
{
    return executeRequest(Link.url(Endpoint::UnusedCapacity), text);
}

bool TUnusedCapacityAction::ParseResult(QString& text)
{
    return parseElementText(QStringLiteral("unused"), text);
}
