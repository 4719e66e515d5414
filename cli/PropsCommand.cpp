#include "PropsCommand.h"

#include "CliContext.h"
#include "camera/CameraEndpoints.h"
#include "camera/TBaseAction.h"
#include "camera/TCameraParams.h"
#include "camera/TOIShare.h"

#include <QJsonObject>

bool PropsCommand::switchMode(CliContext& context, const TOIShare& commandList, const QString& mode)
{
    QString url = cameraUrl(context.cameraHost(), Endpoint::SwitchCamMode) + QStringLiteral("?mode=") + mode;
    // Recording mode runs with a live view size; the first one the camera offers will do.
    const TCGIFunction* function = commandList.Functions.Find(QStringLiteral("switch_cammode"));
    const TCGIParam* modes
        = function ? function->Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("mode")) : nullptr;
    const TCGIParamValue* value = modes ? modes->Values.Find(mode) : nullptr;
    const TCGIParam* sizes = value ? value->Params.Find(QStringLiteral("lvqty")) : nullptr;
    if (sizes && !sizes->Values.IsEmpty())
        url += QStringLiteral("&lvqty=") + sizes->Values.At(0)->Name;
    TCameraRequest request;
    request.Url = url;
    request.ReadTimeoutMs = Timeout::CamMode;
    const TCameraAnswer answer = TCameraLink::SendHttp(request);
    return answer.Code == 200;
}

bool PropsCommand::readProperties(
    CliContext& context, TOIShare& commandList, TCameraParams& params, int& exitCode)
{
    exitCode = CliContext::Success;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty()) {
        exitCode = context.fail(error);
        return false;
    }
    if (!switchMode(context, commandList, QStringLiteral("rec"))) {
        exitCode = context.fail(QStringLiteral("the camera did not switch to recording mode"));
        return false;
    }
    const bool read = params.Probe(commandList);
    if (!switchMode(context, commandList, QStringLiteral("play")))
        context.fail(QStringLiteral("the camera did not switch back to play mode"));
    if (!read)
        exitCode = context.fail(QStringLiteral("reading the properties failed (--verbose shows why)"));
    return true;
}

QJsonObject PropsCommand::toJson(const TCameraParam& param)
{
    return QJsonObject { { QStringLiteral("name"), param.Name }, { QStringLiteral("value"), param.Value },
        { QStringLiteral("raw"), param.RawValue },
        { QStringLiteral("values"), QJsonArray::fromStringList(param.DisplayValues) },
        { QStringLiteral("get"), param.CanGet }, { QStringLiteral("set"), param.CanSet },
        { QStringLiteral("valid"), param.Valid } };
}

QJsonArray PropsCommand::toJson(const TCameraParams& params)
{
    QJsonArray result;
    for (const auto& param : params)
        result.append(toJson(*param));
    return result;
}

QString PropsCommand::toText(const TCameraParams& params)
{
    QString out;
    for (const auto& param : params) {
        out += param->Name.leftJustified(17);
        if (!param->Valid) {
            out += QStringLiteral("(not offered by this camera)\n");
            continue;
        }
        QString value = param->Value;
        if (param->RawValue != param->Value)
            value += QStringLiteral(" (%1)").arg(param->RawValue);
        QString access = param->CanGet ? QStringLiteral("get") : QString();
        if (param->CanSet)
            access += access.isEmpty() ? QStringLiteral("set") : QStringLiteral("/set");
        out += value.leftJustified(22) + QLatin1Char(' ') + access.leftJustified(8)
            + param->DisplayValues.join(QStringLiteral(", ")) + QLatin1Char('\n');
    }
    return out;
}

int PropsCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return context.usage(QStringLiteral("props takes no arguments"));
    TOIShare commandList;
    TCameraParams params(context.cameraLink());
    int exitCode = CliContext::Success;
    if (!readProperties(context, commandList, params, exitCode))
        return exitCode;
    // What could be read is shown even when a property failed.
    if (context.json())
        context.printJson(QJsonDocument(toJson(params)));
    else
        context.print(toText(params));
    return exitCode;
}
