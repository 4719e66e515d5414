#include "PowerOffCommand.h"

#include "CliContext.h"
#include "camera/TOIShare.h"
#include "camera/TPowerOffAction.h"

#include <QJsonObject>

int PowerOffCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return context.usage(QStringLiteral("poweroff takes no arguments"));
    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    TPowerOffAction action(TCameraLink::ToHost(context.cameraHost()));
    if (const TCGIFunction* function = commandList.Functions.Find(action.CGIName))
        action.Probe(*function);
    if (!action.Enabled)
        return context.fail(QStringLiteral("the camera offers no power off"));
    const bool ok = action.Execute();
    if (context.json())
        context.printJson(QJsonDocument(QJsonObject { { QStringLiteral("ok"), ok } }));
    else if (ok)
        context.print(QStringLiteral("camera switched off"));
    return ok ? CliContext::Success : context.fail(QStringLiteral("the camera did not switch off"));
}
