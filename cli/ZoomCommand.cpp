#include "ZoomCommand.h"

#include "CliContext.h"
#include "ModeCommand.h"
#include "PlayModeOnExit.h"
#include "camera/TCameraModeAction.h"
#include "camera/TCtrlZoomAction.h"
#include "camera/TOIShare.h"

#include <QJsonObject>

int ZoomCommand::run(CliContext& context, const QStringList& arguments)
{
    const QString direction = arguments.size() == 1 ? arguments.first() : QString();
    quint8 move = 0;
    QString moveName;
    if (direction == QLatin1String("wide")) {
        move = TCtrlZoomAction::WideMove;
        moveName = QStringLiteral("widemove");
    } else if (direction == QLatin1String("tele")) {
        move = TCtrlZoomAction::TeleMove;
        moveName = QStringLiteral("telemove");
    } else if (direction == QLatin1String("off")) {
        move = TCtrlZoomAction::Off;
        moveName = QStringLiteral("off");
    } else {
        return context.usage(QStringLiteral("zoom needs wide, tele or off"));
    }
    TOIShare commandList;
    QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TCtrlZoomAction zoom(TCameraLink::ToHost(context.cameraHost()));
    if (!ModeCommand::ProbeAction(zoom, commandList))
        return context.fail(QStringLiteral("the camera offers no zoom control"));
    TCameraModeAction modes(context.cameraLink());
    ModeCommand::ProbeAction(modes, commandList);
    PlayModeOnExit backToPlay(modes);
    if (!ModeCommand::EnterMode(context, commandList, TCameraModeAction::ModeRec, error))
        return context.fail(error);
    if (!zoom.Zoom(move))
        return context.fail(QStringLiteral("the camera refused the zoom move %1").arg(moveName));
    // The lens moves only in recording mode; "zoom off" stops it and puts play back.
    if (move != TCtrlZoomAction::Off)
        backToPlay.Keep();
    if (context.json())
        context.printJson(QJsonDocument(
            QJsonObject { { QStringLiteral("ok"), true }, { QStringLiteral("move"), moveName } }));
    else
        context.print(move == TCtrlZoomAction::Off ? QStringLiteral("zoom stopped")
                                                   : QStringLiteral("zoom moving: %1").arg(moveName));
    return CliContext::Success;
}
