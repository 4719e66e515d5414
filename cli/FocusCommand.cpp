#include "FocusCommand.h"

#include "CliContext.h"
#include "ListCommand.h"
#include "ModeCommand.h"
#include "camera/AFPoint.h"
#include "camera/TAssignAFFrameAction.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

bool coordinate(const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= 0 && value <= 65535;
}

} // namespace

int FocusCommand::run(CliContext& context, const QStringList& arguments)
{
    int x = 0;
    int y = 0;
    if (arguments.size() != 2 || !coordinate(arguments.at(0), x) || !coordinate(arguments.at(1), y))
        return context.usage(QStringLiteral("focus needs X and Y, two numbers from 0 to 65535"));
    TOIShare commandList;
    QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TAssignAFFrameAction focus(TCameraLink::ToHost(context.cameraHost()));
    if (!ModeCommand::ProbeAction(focus, commandList))
        return context.fail(QStringLiteral("the camera offers no touch focus"));
    if (!ModeCommand::EnterMode(context, commandList, TCameraModeAction::ModeRec, error))
        return context.fail(error);
    if (!focus.Assign(x, y))
        return context.fail(
            QStringLiteral("the camera refused the focus point %1").arg(AFPoint::Format(x, y)));

    const bool focused = focus.AFFocus.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0;
    const QPoint& point = focus.AFFramePoint;
    const QSize& size = focus.AFFrameSize;
    if (context.json()) {
        context.printJson(QJsonDocument(
            QJsonObject { { QStringLiteral("ok"), focused }, { QStringLiteral("affocus"), focus.AFFocus },
                { QStringLiteral("point"), QJsonArray { point.x(), point.y() } },
                { QStringLiteral("size"), QJsonArray { size.width(), size.height() } } }));
    } else {
        context.print(
            QStringLiteral("affocus %1, frame at %2 size %3")
                .arg(ListCommand::Printable(focus.AFFocus.isEmpty() ? QStringLiteral("-") : focus.AFFocus),
                    AFPoint::Format(point.x(), point.y()), AFPoint::Format(size.width(), size.height())));
    }
    return focused ? CliContext::Success : context.fail(QStringLiteral("the camera did not focus there"));
}
