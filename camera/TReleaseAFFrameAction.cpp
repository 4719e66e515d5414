#include "camera/TReleaseAFFrameAction.h"

#include "camera/AFPoint.h"
#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TReleaseAFFrameAction::TReleaseAFFrameAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TReleaseAFFrameAction"));
}

bool TReleaseAFFrameAction::Probe(const TCGIFunction& function)
{
    Enabled = AFPoint::FindCom(function, QStringLiteral("releaseafframe")) != nullptr;
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TReleaseAFFrameAction::Execute()
{
    return Enabled
        && executeRequest(
            Link.url(Endpoint::TakeMotion) + QStringLiteral("?com=releaseafframe"), Timeout::CamMode, false);
}
