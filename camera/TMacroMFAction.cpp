#include "camera/TMacroMFAction.h"

#include "camera/AFPoint.h"
#include "camera/TCGIFunction.h"

#include <array>

TMacroMFAction::TMacroMFAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TMacroMFAction"));
}

bool TMacroMFAction::Probe(const TCGIFunction& function)
{
    static constexpr std::array<const char*, 5> kMoves = { "nearstep", "farstep", "near", "far", "stop" };
    Enabled = AFPoint::ComKeyListsAll(
        function, QStringLiteral("supermacromfinaflock"), QStringLiteral("move"), kMoves);
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TMacroMFAction::Execute()
{
    return false;
}
