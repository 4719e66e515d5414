#include "camera/TDCFFileCountAction.h"

#include "camera/CameraEndpoints.h"

TDCFFileCountAction::TDCFFileCountAction(TCameraLink link, const QString& cgiName)
    : TBaseInfoAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TDCFFileCountAction"));
}

bool TDCFFileCountAction::Probe(const TCGIFunction& function)
{
    return probeGet(function);
}

bool TDCFFileCountAction::Execute(QString& text)
{
    return executeRequest(Link.url(Endpoint::DcfFileNum), text);
}

bool TDCFFileCountAction::ParseResult(QString& text)
{
    return parseElementText(QStringLiteral("dcffile"), text);
}
