#include "SetCommand.h"

#include "CliContext.h"
#include "PropsCommand.h"
#include "base/TLanguageModule.h"
#include "camera/TCameraParams.h"
#include "camera/TOIShare.h"
#include "remote/TRemoteControl.h"

#include <QJsonObject>

int SetCommand::run(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 2)
        return context.usage(QStringLiteral("set needs NAME and VALUE"));
    const QString& propertyName = arguments.at(0);
    const QString& wanted = arguments.at(1);
    const auto languages = PropsCommand::startLanguage();
    TCameraParams params(TCameraLink::ToHost(context.cameraHost()));
    TCameraParam* param = params.Find(propertyName);
    if (!param)
        return context.usage(QStringLiteral("unknown property \"%1\" (one of: %2)")
                                 .arg(propertyName, TCameraParams::Names().join(QStringLiteral(", "))));

    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    if (!PropsCommand::switchMode(context, commandList, QStringLiteral("rec")))
        return context.fail(QStringLiteral("the camera did not switch to recording mode"));

    QString error;
    bool ok = false;
    params.Probe(commandList);
    if (!param->Valid)
        error = QStringLiteral("%1 is not offered by this camera").arg(param->Name);
    else if (!param->CanSet)
        error = QStringLiteral("%1 cannot be set").arg(param->Name);
    else if (param->IndexOf(wanted) < 0)
        error = QStringLiteral("\"%1\" is not an allowed value of %2 (allowed: %3)")
                    .arg(wanted, param->Name, param->DisplayValues.join(QStringLiteral(", ")));
    else if (!TRemoteControl::SetProperty(*param, wanted))
        error = QStringLiteral("the camera refused %1 for %2 (--verbose shows why)").arg(wanted, param->Name);
    else
        ok = true;
    // Read back what the camera now holds.
    if (ok && param->CanGet && !param->Refresh())
        error = QStringLiteral("%1 was set but could not be read back").arg(param->Name);
    if (!PropsCommand::switchMode(context, commandList, QStringLiteral("play")))
        context.fail(QStringLiteral("the camera did not switch back to play mode"));

    if (context.json()) {
        QJsonObject result = PropsCommand::toJson(*param);
        result.insert(QStringLiteral("ok"), ok);
        context.printJson(QJsonDocument(result));
    } else if (ok) {
        context.print(QStringLiteral("%1: %2 (%3)").arg(param->Name, param->Value, param->RawValue));
    }
    return ok && error.isEmpty() ? CliContext::Success : context.fail(error);
}
