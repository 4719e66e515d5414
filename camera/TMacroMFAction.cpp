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
    const TCGIParamValue* macro = AFPoint::FindCom(function, QStringLiteral("supermacromfinaflock"));
    const TCGIParam* move = macro ? macro->Params.Find(QStringLiteral("move")) : nullptr;
    Enabled = move != nullptr;
    for (const char* name : kMoves)
        Enabled = Enabled && move->Values.Find(QString::fromLatin1(name));
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TMacroMFAction::Execute()
{
    return false;
}
