#include "MovieCommand.h"

#include "CliContext.h"
#include "ModeCommand.h"
#include "PlayModeOnExit.h"
#include "camera/AFPoint.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/TTakeAction.h"

#include <QJsonObject>

int MovieCommand::run(CliContext& context, const QStringList& arguments)
{
    const bool start = arguments == QStringList { QStringLiteral("start") };
    if (!start && arguments != QStringList { QStringLiteral("stop") })
        return context.usage(QStringLiteral("movie needs start or stop"));
    TOIShare commandList;
    QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TTakeAction take(TCameraLink::ToHost(context.cameraHost()));
    const TCGIFunction* function = commandList.Functions.Find(take.CGIName);
    // The take action needs only the picture commands; a movie needs its own two.
    if (!ModeCommand::ProbeAction(take, commandList)
        || !AFPoint::FindCom(*function, QStringLiteral("startmovietake"))
        || !AFPoint::FindCom(*function, QStringLiteral("stopmovietake")))
        return context.fail(QStringLiteral("the camera offers no movie recording"));
    // A camera already recording stays in its mode, so the movie runs on until it is stopped; a
    // stopped movie or one that did not start leaves the camera in play mode.
    TCameraModeAction modes(context.cameraLink());
    ModeCommand::ProbeAction(modes, commandList);
    PlayModeOnExit backToPlay(modes);
    if (!ModeCommand::EnterMode(context, commandList, TCameraModeAction::ModeRec, error))
        return context.fail(error);
    const bool ok
        = take.Take(0, start ? TTakeAction::StartMovieTake : TTakeAction::StopMovieTake) && take.IsOK();
    if (!ok)
        return context.fail(start ? QStringLiteral("the camera did not start the movie")
                                  : QStringLiteral("the camera did not stop the movie"));
    if (start)
        backToPlay.Keep();
    if (context.json())
        context.printJson(QJsonDocument(QJsonObject { { QStringLiteral("ok"), true },
            { QStringLiteral("movie"), start ? QStringLiteral("started") : QStringLiteral("stopped") } }));
    else
        context.print(start ? QStringLiteral("movie recording") : QStringLiteral("movie stopped"));
    return CliContext::Success;
}
