#include "camera/TReleaseAction.h"

#include "camera/AFPoint.h"
#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

#include <array>

namespace {

// In the order of the command numbers.
constexpr std::array<const char*, 6> kCommands
    = { "1stpush", "2ndpush", "1st2ndpush", "2nd1strelease", "2ndrelease", "1strelease" };

} // namespace

TReleaseAction::TReleaseAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TReleaseAction"));
}

void TReleaseAction::Reset()
{
    TBaseRemoteAction::Reset();
    LastCommand = 0;
    ShutterResult.clear();
    AFFocus.clear();
}

bool TReleaseAction::Probe(const TCGIFunction& function)
{
    Enabled = true;
    for (const char* command : kCommands)
        Enabled = Enabled && AFPoint::FindCom(function, QString::fromLatin1(command));
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TReleaseAction::Execute()
{
    return Release(0, FirstSecondPush) && Release(0, SecondFirstRelease);
}

bool TReleaseAction::Release(int timeoutMs, quint8 command)
{
    ShutterResult.clear();
    AFFocus.clear();
    if (!Enabled || command < FirstPush || command > FirstRelease)
        return false;
    const QString url
        = Link.url(Endpoint::Shutter) + QStringLiteral("?com=") + QString::fromLatin1(kCommands[command - 1]);
    if (!executeRequest(url, timeoutMs, false))
        return false;
    LastCommand = command;
    if (command >= SecondFirstRelease) {
        ShutterResult = QStringLiteral("ok");
        AFFocus = QStringLiteral("ok");
        return true;
    }
    for (const auto& [name, text] : AFPoint::ResponseItems(Document)) {
        if (name == QLatin1String("shutter"))
            ShutterResult = text;
        else if (name == QLatin1String("affocus"))
            AFFocus = text;
    }
    return true;
}
