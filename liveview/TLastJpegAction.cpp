#include "liveview/TLastJpegAction.h"

#include "camera/TCGIFunction.h"

TLastJpegAction::TLastJpegAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TLastJpegAction"));
}

bool TLastJpegAction::Probe(const TCGIFunction& function)
{
    Reset();
    const TCGIParam* com = function.Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("com"));
    Enabled = com && com->Values.Find(QStringLiteral("getlastjpg"));
    if (Enabled)
        CollectCommands(function);
    return true;
}
