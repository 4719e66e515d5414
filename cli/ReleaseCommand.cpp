#include "ReleaseCommand.h"

#include "CliContext.h"
#include "ModeCommand.h"
#include "PlayModeOnExit.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/TReleaseAction.h"

#include <QJsonObject>

int ReleaseCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return context.usage(QStringLiteral("release takes no arguments"));
    TOIShare commandList;
    QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TReleaseAction release(TCameraLink::ToHost(context.cameraHost()));
    if (!ModeCommand::ProbeAction(release, commandList))
        return context.fail(QStringLiteral("the camera offers no shutter button"));
    TCameraModeAction mode(context.cameraLink());
    ModeCommand::ProbeAction(mode, commandList);
    const PlayModeOnExit backToPlay(mode);
    if (!ModeCommand::EnterMode(context, commandList, TCameraModeAction::ModeShutter, error))
        return context.fail(error);
    const bool pressed = release.Release(0, TReleaseAction::FirstSecondPush);
    const bool released = pressed && release.Release(0, TReleaseAction::SecondFirstRelease);
    if (context.json())
        context.printJson(QJsonDocument(QJsonObject { { QStringLiteral("ok"), released },
            { QStringLiteral("pressed"), pressed }, { QStringLiteral("released"), released } }));
    else if (released)
        context.print(QStringLiteral("shutter released"));
    if (!pressed)
        return context.fail(QStringLiteral("the camera did not take the shutter press"));
    return released ? CliContext::Success
                    : context.fail(QStringLiteral("the camera did not let go of the shutter"));
}
