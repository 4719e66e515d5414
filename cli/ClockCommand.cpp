#include "ClockCommand.h"

#include "CliContext.h"
#include "base/TSetup.h"
#include "camera/TOIShare.h"
#include "camera/TSetTimeAction.h"

#include <QJsonObject>

int ClockCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return context.usage(QStringLiteral("clock takes no arguments"));
    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    TSetTimeAction action(TCameraLink::ToHost(context.cameraHost()));
    if (const TCGIFunction* function = commandList.Functions.Find(action.CGIName))
        action.Probe(*function);
    if (!action.Enabled)
        return context.fail(QStringLiteral("the camera offers no clock setting"));
    const bool ok = action.Execute();
    if (ok)
        context.setup().NoteClockSet(); // the connection check judges the clock from here on
    if (context.json()) {
        context.printJson(QJsonDocument(
            QJsonObject { { QStringLiteral("ok"), ok }, { QStringLiteral("utctime"), action.LastUtcTime },
                { QStringLiteral("diff"), action.LastDiff } }));
    } else if (ok) {
        context.print(QStringLiteral("clock set: UTC ") + action.LastUtcTime + QStringLiteral(", offset ")
            + action.LastDiff);
    }
    return ok ? CliContext::Success : context.fail(QStringLiteral("the camera did not take the time"));
}
