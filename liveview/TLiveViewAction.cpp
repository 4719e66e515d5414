#include "liveview/TLiveViewAction.h"

#include "camera/CameraEndpoints.h"

TLiveViewAction::TLiveViewAction(TCameraLink link, const TSetup* setup, const QString& cgiName)
    : TBaseLiveViewAction(cgiName, Endpoint::TakeMisc, std::move(link), setup)
{
    setClassName(QStringLiteral("TLiveViewAction"));
}
