#include "camera/TCtrlZoomAction.h"

#include "camera/AFPoint.h"
#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

#include <array>

namespace {

// In the order of the move numbers.
constexpr std::array<const char*, 5> kMoves = { "off", "widemove", "wideterm", "telemove", "teleterm" };

} // namespace

TCtrlZoomAction::TCtrlZoomAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TCtrlZoomAction"));
}

void TCtrlZoomAction::Reset()
{
    TBaseRemoteAction::Reset();
    LastMove = 0;
}

bool TCtrlZoomAction::Probe(const TCGIFunction& function)
{
    Enabled = AFPoint::ComKeyListsAll(function, QStringLiteral("ctrlzoom"), QStringLiteral("move"), kMoves);
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TCtrlZoomAction::Execute()
{
    return Zoom(Off);
}

bool TCtrlZoomAction::Zoom(quint8 move)
{
    if (!Enabled || move < Off || move > TeleTerm)
        return false;
    const QString url = Link.url(Endpoint::TakeMisc) + QStringLiteral("?com=ctrlzoom&move=")
        + QString::fromLatin1(kMoves[move - 1]);
    if (!executeRequest(url, Timeout::Zoom, false))
        return false;
    LastMove = move;
    return true;
}
