#include "PlayTimeCommand.h"

#include "CliContext.h"
#include "camera/TCameraInfo.h"
#include "camera/TOIShare.h"

#include <QJsonObject>

QString PlayTimeCommand::belowDcim(const QString& path)
{
    QString result = path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
    if (result.startsWith(QLatin1String("/DCIM/"), Qt::CaseInsensitive))
        result = result.mid(5);
    return result;
}

int PlayTimeCommand::run(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 1)
        return context.usage(QStringLiteral("playtime needs exactly one PATH"));
    const QString path = belowDcim(arguments.first());
    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    TCameraInfo info(TCameraLink::ToHost(context.cameraHost()));
    info.Probe(commandList);
    if (!info.MovPlayTime.Enabled)
        return context.fail(QStringLiteral("the camera offers no play times"));
    QString playTime;
    const bool ok = info.MovPlayTime.Execute(path, playTime);
    if (context.json()) {
        context.printJson(QJsonDocument(QJsonObject { { QStringLiteral("ok"), ok },
            { QStringLiteral("path"), QStringLiteral("/DCIM") + path },
            { QStringLiteral("playtime"), playTime } }));
    } else if (ok) {
        context.print(playTime);
    }
    return ok ? CliContext::Success
              : context.fail(QStringLiteral("no play time for /DCIM%1 (--verbose shows why)").arg(path));
}
