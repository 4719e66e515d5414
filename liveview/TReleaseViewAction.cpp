#include "liveview/TReleaseViewAction.h"

#include "camera/CameraEndpoints.h"

TReleaseViewAction::TReleaseViewAction(TCameraLink link, const TSetup* setup, const QString& cgiName)
    : TBaseLiveViewAction(cgiName, Endpoint::ShutterMisc, std::move(link), setup)
{
    setClassName(QStringLiteral("TReleaseViewAction"));
}
