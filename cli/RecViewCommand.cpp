#include "RecViewCommand.h"

#include "CliContext.h"
#include "camera/TOIShare.h"
#include "liveview/TRecordViewAction.h"

#include <QJsonObject>
#include <QSaveFile>

int RecViewCommand::run(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1String("--")))
        return context.usage(QStringLiteral("recview takes one FILE"));
    const QString path = arguments.first();
    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    TRecordViewAction action(TCameraLink::ToHost(context.cameraHost()));
    if (const TCGIFunction* function = commandList.Functions.Find(action.CGIName))
        action.Probe(*function);
    if (!action.Enabled)
        return context.fail(QStringLiteral("the camera offers no record view"));
    // The camera keeps the record view only in recording mode, after a shot; it is not switched here,
    // since a mode switch would discard it.
    if (!action.Execute() || action.Data.isEmpty())
        return context.fail(
            QStringLiteral("the camera sent no record view (is it in recording mode after a shot?)"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(action.Data) != action.Data.size() || !file.commit())
        return context.fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    if (context.json())
        context.printJson(QJsonDocument(QJsonObject {
            { QStringLiteral("file"), path }, { QStringLiteral("bytes"), qint64(action.Data.size()) } }));
    else
        context.print(QStringLiteral("record view saved in %1 (%2 bytes)").arg(path).arg(action.Data.size()));
    return CliContext::Success;
}
